// wqkscope bode: a frequency response sweep, printed as a table or JSON, and written as
// CSV with --out.
#include "analysis/si_format.h"
#include "cli/cli.h"
#include "cli/output.h"
#include "files/file_io.h"
#include "fra/sweep.h"
#include "platform/timer.h"

#include <charconv>
#include <cmath>
#include <ostream>
#include <stdexcept>

namespace cli {

namespace {

// An option kept in Settings::more once its value has been checked.
Option kept(const char* name, const char* value, const char* help,
            std::function<bool(const std::string&)> valid, const char* what) {
    return {name, value, help, [name, valid, what](Settings& s, const std::string& v) {
                if (!valid(v)) return std::string(name) + " must be " + what + ": " + v;
                s.more[name] = v;
                return std::string();
            }};
}

// The longest a point takes by itself: with reference D the run's fixed pauses (1.2 s)
// and the longest generator table, 20 cycles at 5 Hz (4 s); with A five captures of
// 1.6 s and four waits of at most 2 s for a circuit that is slow to settle.
constexpr double PointS = 16;

bool frequency(const std::string& v) {
    const auto f = number(v, true);
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
        kept("--from", "HZ", "start frequency, 5 to 500k Hz (1000 or 1k, say)", frequency,
             "5 to 500k Hz"),
        kept("--to", "HZ", "stop frequency, above --from, up to 500k Hz", frequency,
             "5 to 500k Hz"),
        kept(
            "--per-decade", "N", "points per decade, 1..100 (default 5)",
            [](const std::string& v) {
                const auto n = number(v);
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
        err << session.who << ": --from and --to are needed\n";
        return Usage;
    }
    fra::Settings set;
    set.fromHz = *number(o.more.at("--from"), true);
    set.toHz = *number(o.more.at("--to"), true);
    if (o.more.count("--per-decade")) set.perDecade = int(*number(o.more.at("--per-decade")));
    if (o.more.count("--amplitude")) set.ampDiv = o.more.at("--amplitude") == "1" ? 2 : 1;
    if (o.more.count("--reference") && o.more.at("--reference") == "d")
        set.reference = fra::Reference::D;
    if (const std::string e = fra::check(set); !e.empty()) {
        err << session.who << ": " << e << "\n";
        return Usage;
    }
    // A sweep takes its time: a file it could not write is found before it starts.
    std::string error;
    if (!o.out.empty() && o.out != "-" && !files::canSave(o.out, error)) {
        err << session.who << ": cannot write " << o.out << ": " << error << "\n";
        return WriteFailed;
    }
    const InstrumentState& s = session.state();
    fra::Sweep sweep(session.instrument());
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
    error = sweep.run(set);
    timer.setEnabled(false);
    if (!error.empty() || late) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, o.timeoutS);
        err << session.who << ": "
            << (late ? "no end of capture within " + std::string(buf, r.ptr) + " s" : error)
            << "\n";
        return s.genFitted() && s.chanBFitted() ? Timeout : NoInstrument;
    }
    // The points are printed whatever happens to the file: they took the sweep's time. A
    // CSV on standard output takes the table's place.
    if (o.out != "-") out << (o.json ? json(sweep, set) : text(sweep, set));
    if (!o.out.empty() && !writeOutput(session.who, o.out, fra::toCsv(sweep.points()), out, err))
        return WriteFailed;
    return Done;
}

} // namespace cli
