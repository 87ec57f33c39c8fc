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
    bool overPeriods; // taken over whole periods: marked when there was none
};
constexpr Quantity Quantities[] = {
    {"frequency_hz", "Frequency", &Measurements::frequencyHz, "Hz", false},
    {"period_s", "Period", &Measurements::periodS, "s", false},
    {"vpp_v", "Peak-to-peak", &Measurements::vppV, "V", false},
    {"vmax_v", "Maximum", &Measurements::vmaxV, "V", false},
    {"vmin_v", "Minimum", &Measurements::vminV, "V", false},
    {"mean_v", "Mean", &Measurements::meanV, "V", true},
    {"rms_v", "RMS", &Measurements::rmsV, "V", true},
    {"ac_rms_v", "AC RMS", &Measurements::acRmsV, "V", true},
    {"duty_pct", "Duty cycle", &Measurements::dutyPct, "%", false},
    {"rise_s", "Rise time", &Measurements::riseS, "s", false},
    {"fall_s", "Fall time", &Measurements::fallS, "s", false},
};
constexpr const char* PartialNote = "* over less than one whole period";

std::string model(const InstrumentState& s) {
    return s.RateFactor > 1 ? "30 MHz" : "20 MHz";
}

// A value for the table: "-" with its reason when there is none.
std::string cell(const Reading& r, std::string_view unit, int decimals = -1) {
    if (!r.ok()) return "- (" + std::string(r.reason) + ")";
    if (decimals >= 0) return analysis::formatFixed(r, decimals, unit);
    return unit == "%" ? analysis::formatFixed(r, 1, unit) : analysis::formatSI(r, unit);
}

// Why each value that is null has none, by the value's key.
void addReason(JsonObject& reasons, const char* key, const Reading& r) {
    if (!r.ok()) reasons.add(key, quoted(r.reason));
}

std::string json(const InstrumentState& s, const analysis::Report& r) {
    JsonObject channels;
    for (const analysis::ChannelReport& c : r.channels) {
        JsonObject o, reasons;
        for (const Quantity& q : Quantities) {
            o.add(q.key, number(c.m.*q.value));
            addReason(reasons, q.key, c.m.*q.value);
        }
        o.add("clipped", c.m.clipped ? "true" : "false");
        o.add("partial_period", c.m.partialPeriod ? "true" : "false");
        o.add("reasons", reasons.str());
        channels.add(c.name, o.str());
    }
    JsonObject b, reasons;
    addReason(reasons, "gain_db", r.bOverA.gainDb);
    addReason(reasons, "phase_deg", r.bOverA.phaseDeg);
    b.add("gain_db", number(r.bOverA.gainDb))
        .add("phase_deg", number(r.bOverA.phaseDeg))
        .add("reasons", reasons.str());
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
    bool partial = false;
    for (const Quantity& q : Quantities) {
        rows.push_back({q.label});
        for (const analysis::ChannelReport& c : r.channels) {
            const bool mark = q.overPeriods && c.m.partialPeriod && (c.m.*q.value).ok();
            rows.back().push_back(cell(c.m.*q.value, q.unit) + (mark ? " *" : ""));
            partial |= mark;
        }
    }
    rows.push_back({"Clipped"});
    for (const analysis::ChannelReport& c : r.channels)
        rows.back().push_back(c.m.clipped ? "yes" : "no");
    rows.push_back({"B / A gain", cell(r.bOverA.gainDb, "dB", 2)});
    rows.push_back({"B / A phase", cell(r.bOverA.phaseDeg, "deg", 1)});
    return out + "\n" + table(rows) + (partial ? std::string(PartialNote) + "\n" : "");
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
