#pragma once
// What the display handlers derive from the record: pure functions of the state.
#include "acquisition/acquisition.h"
#include "app/instrument_state.h"
#include "display/scales.h"
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

} // namespace display
