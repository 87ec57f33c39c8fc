#pragma once
// What the display handlers derive from the record: pure functions of the state.
#include "acquisition/acquisition.h"
#include "app/instrument_state.h"
#include "display/scales.h"
#include "platform/colours.h"
#include "platform/vb.h"

#include <algorithm>
#include <string>

namespace display {

// The next value of a toggle: +1 and -1 take turns.
inline int flipped(bool on) {
    return on ? -1 : 1;
}
// Multi-step settings count up and wrap to 0 at `end`.
inline int stepWrap(int v, int end) {
    return v + 1 >= end ? 0 : v + 1;
}

// GENERATOR and SCOPE+GEN show the generator's data length and step rate.
inline bool generatorData(const InstrumentState& s) {
    return s.mode() == modes::Generator || s.mode() == modes::ScopeGen;
}
inline bool combinedOn(const InstrumentState& s) {
    return s.showAplusB() || s.showAminusB();
}

// Rate decade of the horizontal axis: that of the captured data, or in the generator
// modes the step rate of the current generator mode.
inline int rateIndex(const InstrumentState& s) {
    const int r = generatorData(s)
                      ? acq::generatorRateIndex(s.genMode(), s.genRateIndex(), s.sweepRateIndex(),
                                                s.customRateIndex())
                      : s.dataRateA();
    return std::clamp(r, 0, 4);
}

inline double lastIndexOf(const InstrumentState& s) {
    return lastIndex(generatorData(s), s.SampleSizeIndex, s.BufBase, s.GenLast);
}

inline Shown shownOf(const InstrumentState& s) {
    Shown v;
    v.a = s.showA();
    v.b = s.showB();
    v.d = s.showD();
    v.plus = s.showAplusB();
    v.minus = s.showAminusB();
    v.generator = s.mode() == modes::Generator;
    return v;
}

// The cursor line's colour for a cursor mode: the trace it measures.
inline long cursorColour(int mode, const InstrumentState& s) {
    switch (mode) {
    case 1:
        return colours::CursorBlue;
    case 2:
        return colours::CursorGreen;
    case 3:
    case 4:
        return s.colourSum();
    case 5:
        return s.colourD();
    default:
        return colours::Black;
    }
}

// The reading of the measured trace under the cursor: volts, or per cent in FFT mode.
inline double cursorValue(const InstrumentState& s, int mode, bool fft) {
    const int i =
        std::clamp(int(vb::Nearest(s.scrollPos() + s.cursorX())), 0, InstrumentState::LastIndex);
    const int a = s.ChanABuffer[size_t(i)], b = s.ChanBBuffer[size_t(i)];
    const double voltA = sampleVolts(a, s.dataRangeA());
    const double voltB = sampleVolts(b, s.DataRangeB);
    switch (mode) {
    case 1:
        return fft ? spectrumPercent(a) : voltA;
    case 2:
        return fft ? spectrumPercent(b) : voltB;
    case 3:
        return voltA + voltB;
    case 4:
        return voltA - voltB;
    case 5:
        return genVolts(s.GenWave[size_t(i)]);
    default:
        return 0;
    }
}

} // namespace display
