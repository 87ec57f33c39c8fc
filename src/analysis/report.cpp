#include "analysis/report.h"

#include "app/instrument_state.h"

#include <algorithm>
#include <cmath>

namespace analysis {

size_t recordCount(const InstrumentState& s, Origin origin) {
    switch (origin) {
    case Origin::Capture:
        return capturedCount(s);
    case Origin::SignalFile:
        return size_t(std::clamp(std::lround(s.GenLast), 0L, long(InstrumentState::BufferSize)));
    default:
        return 0;
    }
}

Span displaySpan(const InstrumentState& s, Origin origin) {
    const size_t n = recordCount(s, origin);
    if (s.mode() == modes::FFT) return {0, n};
    const size_t first = size_t(std::clamp(s.scrollPos(), 0, InstrumentState::LastIndex));
    if (first >= n) return {first, 0};
    // The display draws the samples from ScrollPos to ScrollPos + XMagnify.
    const size_t last = std::min(n - 1, first + size_t(std::max(0, s.xMagnify())));
    return {first, last - first + 1};
}

size_t fftPoints(const InstrumentState& s) {
    return size_t(2048) << std::clamp(InstrumentState::index(s.DataSizeA), 0, 4);
}

Channels shownChannels(const InstrumentState& s) {
    Channels c;
    c.a = s.showA();
    c.b = s.showB();
    if (s.mode() != modes::FFT) c.combined = s.showAplusB() ? 1 : s.showAminusB() ? -1 : 0;
    return c;
}

namespace {

// B against A at A's fundamental, on the common time base of the two windows.
GainPhase bAgainstA(const InstrumentState& s, const Trace& a, const Trace& b, Origin origin) {
    const Reading f = measure(a).frequencyHz;
    if (!f.ok()) return {Reading::none(f.reason), Reading::none(f.reason)};
    if (origin == Origin::SignalFile) {
        // The amplitudes do not depend on the offset; the phase does.
        const GainPhase gp = gainPhase(a, b, *f, 0);
        return {gp.gainDb, Reading::none("B's offset from A is not kept in a signal file")};
    }
    const WindowOffset off = bWindowOffset(s);
    if (!off.samples) return {Reading::none(off.reason), Reading::none(off.reason)};
    return gainPhase(a, b, *f, *off.samples);
}

} // namespace

Report report(const InstrumentState& s, Channels which, Span span, Origin origin) {
    Report r;
    r.span = span;
    const char* none = origin == Origin::Nothing        ? "nothing captured yet"
                       : origin == Origin::SpectrumFile ? "a spectrum file holds no samples"
                       : span.count == 0                ? "no samples in the window"
                                                        : nullptr;
    if (none) {
        r.reason = none;
        r.bOverA = {Reading::none(none), Reading::none(none)};
        return r;
    }
    const Trace a = traceOf(s, Channel::A, span.first, span.count);
    const Trace b = traceOf(s, Channel::B, span.first, span.count);
    if (which.a) r.channels.push_back({"A", measure(a)});
    if (which.b) r.channels.push_back({"B", measure(b)});
    if (which.combined != 0) {
        const Combined c = combine(a, b, which.combined);
        ChannelReport cr{which.combined > 0 ? "A+B" : "A-B", measure(c.trace())};
        cr.m.clipped = c.clipped;
        r.channels.push_back(std::move(cr));
    }
    r.bOverA = bAgainstA(s, a, b, origin);
    return r;
}

} // namespace analysis
