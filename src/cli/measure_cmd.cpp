// wqkscope measure: one capture, every measurement of each channel captured, and B
// against A.
#include "analysis/report.h"
#include "analysis/si_format.h"
#include "cli/cli.h"
#include "cli/output.h"

#include <ostream>

namespace cli {

namespace {

using analysis::Measurements;
using analysis::Reading;

struct Quantity {
    const char* key;   // JSON
    const char* label; // table
    Reading Measurements::*value;
    const char* unit; // "%": fixed decimals, else SI prefixes
};
constexpr Quantity Quantities[] = {
    {"frequency_hz", "Frequency", &Measurements::frequencyHz, "Hz"},
    {"period_s", "Period", &Measurements::periodS, "s"},
    {"vpp_v", "Peak-to-peak", &Measurements::vppV, "V"},
    {"vmax_v", "Maximum", &Measurements::vmaxV, "V"},
    {"vmin_v", "Minimum", &Measurements::vminV, "V"},
    {"mean_v", "Mean", &Measurements::meanV, "V"},
    {"rms_v", "RMS", &Measurements::rmsV, "V"},
    {"ac_rms_v", "AC RMS", &Measurements::acRmsV, "V"},
    {"duty_pct", "Duty cycle", &Measurements::dutyPct, "%"},
    {"rise_s", "Rise time", &Measurements::riseS, "s"},
    {"fall_s", "Fall time", &Measurements::fallS, "s"},
};

std::string model(const InstrumentState& s) {
    return s.RateFactor > 1 ? "30 MHz" : "20 MHz";
}

// A value for the table: "-" with its reason when there is none.
std::string cell(const Reading& r, std::string_view unit, int decimals = -1) {
    if (!r.ok()) return "- (" + std::string(r.reason) + ")";
    if (decimals >= 0) return analysis::formatFixed(r, decimals, unit);
    return unit == "%" ? analysis::formatFixed(r, 1, unit) : analysis::formatSI(r, unit);
}

std::string json(const InstrumentState& s, const analysis::Report& r) {
    JsonObject channels;
    for (const analysis::ChannelReport& c : r.channels) {
        JsonObject o;
        for (const Quantity& q : Quantities)
            o.add(q.key, number(c.m.*q.value));
        o.add("clipped", c.m.clipped ? "true" : "false");
        channels.add(c.name, o.str());
    }
    JsonObject b;
    b.add("gain_db", number(r.bOverA.gainDb)).add("phase_deg", number(r.bOverA.phaseDeg));
    JsonObject top;
    top.add("model", quoted(model(s)))
        .add("rate_hz", number(analysis::channelScale(s, analysis::Channel::A).sampleRateHz))
        .add("samples", number(double(r.span.count)))
        .add("channels", channels.str())
        .add("b_over_a", b.str());
    return top.str() + "\n";
}

std::string text(const InstrumentState& s, const analysis::Report& r) {
    const double rate = analysis::channelScale(s, analysis::Channel::A).sampleRateHz;
    std::string out = table({{"Model", model(s)},
                             {"Rate", analysis::formatSI(rate, "Hz")},
                             {"Samples", std::to_string(r.span.count)}});
    std::vector<std::vector<std::string>> rows{{""}};
    for (const analysis::ChannelReport& c : r.channels)
        rows[0].push_back(c.name);
    for (const Quantity& q : Quantities) {
        rows.push_back({q.label});
        for (const analysis::ChannelReport& c : r.channels)
            rows.back().push_back(cell(c.m.*q.value, q.unit));
    }
    rows.push_back({"Clipped"});
    for (const analysis::ChannelReport& c : r.channels)
        rows.back().push_back(c.m.clipped ? "yes" : "no");
    rows.push_back({"B / A gain", cell(r.bOverA.gainDb, "dB", 2)});
    rows.push_back({"B / A phase", cell(r.bOverA.phaseDeg, "deg", 1)});
    return out + "\n" + table(rows);
}

} // namespace

Status runMeasure(Session& session, const Settings& settings, std::ostream& out, std::ostream&) {
    if (const Status st = session.apply(false); st != Done) return st;
    if (const Status st = session.capture(1, [] {}); st != Done) return st;
    const InstrumentState& s = session.state();
    const analysis::Report r =
        analysis::report(s, {s.chanAOn(), s.chanBOn(), 0}, {0, analysis::capturedCount(s)},
                         analysis::Origin::Capture);
    out << (settings.json ? json(s, r) : text(s, r));
    return Done;
}

} // namespace cli
