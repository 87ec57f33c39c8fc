// wqkscope bode: a frequency response sweep, printed as a table or JSON, and written as
// CSV with --out.
#include "analysis/si_format.h"
#include "cli/cli.h"
#include "cli/output.h"
#include "fra/sweep.h"
#include "platform/timer.h"

#include <charconv>
#include <cmath>
#include <ostream>
#include <stdexcept>

namespace cli {

namespace {

std::optional<double> plain(const std::string& v) {
    double x = 0;
    const auto r = std::from_chars(v.data(), v.data() + v.size(), x);
    if (v.empty() || r.ec != std::errc() || r.ptr != v.data() + v.size() || !std::isfinite(x))
        return std::nullopt;
    return x;
}

// An option kept in Settings::more once its value has been checked.
Option kept(const char* name, const char* value, const char* help,
            std::function<bool(const std::string&)> valid, const char* what) {
    return {name, value, help, [name, valid, what](Settings& s, const std::string& v) {
                if (!valid(v)) return std::string(name) + " must be " + what + ": " + v;
                s.more[name] = v;
                return std::string();
            }};
}

// The longest a point takes by itself: the run's fixed pauses (1.2 s) and the longest
// generator table, 20 cycles at 5 Hz (4 s).
constexpr double PointS = 5.2;

bool frequency(const std::string& v) {
    const auto f = plain(v);
    return f && *f >= 5 && *f <= 500000;
}

const Option& timeoutOption() {
    for (const Option& o : captureOptions())
        if (o.name == "--timeout") return o;
    throw std::logic_error("--timeout");
}

std::string json(const fra::Sweep& sweep, const fra::Settings& set) {
    std::vector<std::string> points;
    for (const fra::Point& p : sweep.points())
        points.push_back(JsonObject()
                             .add("frequency_hz", number(p.freqHz))
                             .add("gain_db", number(p.gainDb))
                             .add("phase_deg", number(p.phaseDeg))
                             .add("clipped", p.clipped ? "true" : "false")
                             .str());
    const std::optional<fra::Corner> c = fra::findCorner(sweep.points());
    return JsonObject()
               .add("reference", quoted(set.reference == fra::Reference::A ? "a" : "d"))
               .add("amplitude_vpp", number(2.0 / set.ampDiv))
               .add("points", jsonArray(points))
               .add("corner", c ? JsonObject()
                                      .add("frequency_hz", number(c->freqHz))
                                      .add("phase_deg", number(c->phaseDeg))
                                      .str()
                                : "null")
               .str() +
           "\n";
}

std::string text(const fra::Sweep& sweep, const fra::Settings& set) {
    const std::optional<fra::Corner> c = fra::findCorner(sweep.points());
    std::string out = table({{"Reference", set.reference == fra::Reference::A ? "A" : "D"},
                             {"Stimulus", set.ampDiv == 1 ? "2 V p-p" : "1 V p-p"},
                             {"-3 dB", c ? analysis::formatSI(c->freqHz, "Hz") + ", " +
                                               analysis::formatFixed(c->phaseDeg, 1, "deg")
                                         : "-"}});
    std::vector<std::vector<std::string>> rows{{"Frequency", "Gain", "Phase"}};
    for (const fra::Point& p : sweep.points()) {
        rows.push_back({analysis::formatSI(p.freqHz, "Hz", 6),
                        analysis::formatFixed(p.gainDb, 2, "dB"),
                        analysis::formatFixed(p.phaseDeg, 1, "deg")});
        if (p.clipped) rows.back().push_back("clipped"); // an input left its range
    }
    return out + "\n" + table(rows);
}

} // namespace

const OptionList& bodeOptions() {
    static const OptionList list = {
        kept("--from", "HZ", "start frequency, 5..500000 Hz", frequency, "5..500000 Hz"),
        kept("--to", "HZ", "stop frequency, above --from, up to 500000 Hz", frequency,
             "5..500000 Hz"),
        kept(
            "--per-decade", "N", "points per decade, 1..100 (default 5)",
            [](const std::string& v) {
                const auto n = plain(v);
                return n && *n >= 1 && *n <= 100 && std::fmod(*n, 1) == 0;
            },
            "1..100"),
        kept(
            "--amplitude", "2|1", "stimulus in volts peak to peak (default 2)",
            [](const std::string& v) { return v == "2" || v == "1"; }, "2 or 1"),
        kept(
            "--reference", "a|d",
            "a (default): channel A, wired to the generator output; d: the generator's samples",
            [](const std::string& v) { return v == "a" || v == "d"; }, "a or d"),
        {"--out", "F.csv|-",
         "also write frequency_hz,gain_db,phase_deg as CSV (-: on standard output, instead of "
         "the report)",
         [](Settings& s, const std::string& v) -> std::string {
             if (v.empty()) return "--out needs a file name";
             s.out = v;
             return "";
         }},
        timeoutOption(),
    };
    return list;
}

Status runBode(Session& session, const Settings& o, std::ostream& out, std::ostream& err) {
    if (!o.more.count("--from") || !o.more.count("--to")) {
        err << "wqkscope bode: --from and --to are needed\nTry 'wqkscope bode --help'.\n";
        return Usage;
    }
    fra::Settings set;
    set.fromHz = *plain(o.more.at("--from"));
    set.toHz = *plain(o.more.at("--to"));
    if (o.more.count("--per-decade")) set.perDecade = int(*plain(o.more.at("--per-decade")));
    if (o.more.count("--amplitude")) set.ampDiv = o.more.at("--amplitude") == "1" ? 2 : 1;
    if (o.more.count("--reference") && o.more.at("--reference") == "d")
        set.reference = fra::Reference::D;
    if (const std::string e = fra::check(set); !e.empty()) {
        err << "wqkscope bode: " << e << "\n";
        return Usage;
    }
    const InstrumentState& s = session.state();
    fra::Sweep sweep(session.wqk());
    // Each point has --timeout beyond its own pauses and capture; past it the sweep stops.
    bool late = false;
    plat::Timer timer;
    timer.setInterval(int(std::lround((o.timeoutS + PointS) * 1000)));
    timer.onTimer = [&] {
        late = true;
        sweep.cancel();
    };
    QObject::connect(&sweep, &fra::Sweep::measured, [&] {
        timer.setEnabled(false);
        timer.setEnabled(true);
    });
    timer.setEnabled(true);
    const std::string error = sweep.run(set);
    timer.setEnabled(false);
    if (!error.empty() || late) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, o.timeoutS);
        err << "wqkscope: "
            << (late ? "no end of capture within " + std::string(buf, r.ptr) + " s" : error)
            << "\n";
        return s.genFitted() && s.chanBFitted() ? Timeout : NoInstrument;
    }
    if (!o.out.empty() && !writeOutput(o.out, fra::toCsv(sweep.points()), out, err))
        return WriteFailed;
    if (o.out == "-") return Done; // the CSV has taken standard output
    out << (o.json ? json(sweep, set) : text(sweep, set));
    return Done;
}

} // namespace cli
