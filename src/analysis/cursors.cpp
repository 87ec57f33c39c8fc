#include "analysis/cursors.h"

#include "app/instrument_state.h"

#include <cmath>

namespace analysis {

namespace {
constexpr double Top = 10, FullScale = 2560, Mid = InstrumentState::MidScale;
} // namespace

double DisplayMap::xOf(double sample) const {
    return (sample - first) * widthPx / window;
}
double DisplayMap::sampleAt(double x) const {
    return first + x * window / widthPx;
}
double DisplayMap::yOf(Channel c, double volts) const {
    const Scale& t = trace[int(c)];
    const double v = Mid + volts / t.voltsPerUnit;
    return (t.base + t.factor * (t.base - v) - Top) * heightPx / FullScale;
}
double DisplayMap::voltsAt(Channel c, double y) const {
    const Scale& t = trace[int(c)];
    const double units = y * FullScale / heightPx + Top;
    return (t.base - (units - t.base) / t.factor - Mid) * t.voltsPerUnit;
}

DisplayMap displayMap(const InstrumentState& s, double widthPx, double heightPx) {
    DisplayMap m;
    m.widthPx = std::max(1.0, widthPx);
    m.heightPx = std::max(1.0, heightPx);
    m.window = std::max(1, s.xMagnify());
    m.first = s.scrollPos();
    m.sampleRateHz = channelScale(s, Channel::A).sampleRateHz;
    m.trace[0] = {Mid + s.ShiftA, double(s.yMagFactorA()),
                  channelScale(s, Channel::A).voltsPerUnit};
    m.trace[1] = {Mid + s.ShiftB, double(s.YMagFactorB), channelScale(s, Channel::B).voltsPerUnit};
    return m;
}

bool showsSamples(const InstrumentState& s) {
    return s.mode() == modes::Scope || s.mode() == modes::ScopeGen;
}

CursorReadout cursorReadout(const InstrumentState& s, const Cursors& c, size_t samples) {
    CursorReadout r;
    const double rate = channelScale(s, Channel::A).sampleRateHz;
    for (int k = 0; k < 2; ++k) {
        r.t[k] = rate > 0 ? Reading::of(c.sample[k] / rate) : Reading::none("no sampling rate");
        r.v[k] = c.volts[k];
    }
    r.dt = rate > 0 ? Reading::of((c.sample[1] - c.sample[0]) / rate) : r.t[0];
    r.inverseDt = !r.dt.ok()     ? r.dt
                  : *r.dt == 0.0 ? Reading::none("the times are the same")
                                 : Reading::of(1 / std::abs(*r.dt));
    r.dv = c.volts[1] - c.volts[0];

    // A channel's volts at a time, as the display draws its trace there.
    const auto volts = [&](Channel ch, double sample) -> Reading {
        const long i = std::lround(sample);
        if (i < 0 || i >= long(samples)) return Reading::none("beyond the record");
        const int16_t v = samplesOf(s, ch)[size_t(i)];
        return Reading::of((v - Mid) * channelScale(s, ch).voltsPerUnit);
    };
    const int sign = s.showAplusB() ? 1 : s.showAminusB() ? -1 : 0;
    if (sign != 0) {
        TraceValues t{sign > 0 ? "A+B" : "A-B", {}};
        for (int k = 0; k < 2; ++k) {
            const Reading a = volts(Channel::A, c.sample[k]), b = volts(Channel::B, c.sample[k]);
            t.at[k] = a.ok() ? Reading::of(*a + sign * *b) : a;
        }
        r.traces.push_back(t);
        return r;
    }
    for (Channel ch : {Channel::A, Channel::B}) {
        if (!(ch == Channel::A ? s.showA() : s.showB())) continue;
        TraceValues t{ch == Channel::A ? "A" : "B", {}};
        for (int k = 0; k < 2; ++k)
            t.at[k] = volts(ch, c.sample[k]);
        r.traces.push_back(t);
    }
    return r;
}

} // namespace analysis
