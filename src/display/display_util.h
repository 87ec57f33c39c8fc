#pragma once
// Small helpers shared by the display handlers.
#include "app/instrument_state.h"
#include "display/scales.h"
#include "platform/picturebox.h"
#include "platform/vb.h"

#include <algorithm>
#include <string>

namespace display {

// A toggle is on when it holds exactly 1.
inline bool isOn(double v) {
    return v == 1;
}
// Toggles are flipped by negation and stay whole numbers.
inline void flip(vb::Variant& v) {
    v = vb::Variant(long(-v.num()));
}
// Multi-step settings count up and wrap to 0 at `end`.
inline void stepWrap(vb::Variant& v, int end) {
    long n = long(v.num()) + 1;
    v = vb::Variant(n >= end ? 0L : n);
}
// Colours are kept as Single in the record and used as whole numbers.
inline long colourOf(double c) {
    return vb::CLng(c);
}

inline void printAt(plat::PictureBox* p, double x, double y, const std::string& text,
                    bool newline = true) {
    p->CurrentX = x;
    p->CurrentY = y;
    p->Print(text, newline);
}

// A new background colour clears the box; setting the colour it already has must not
// wipe what was drawn in it.
inline void setBack(plat::PictureBox* p, long colour) {
    if (p->BackColor() != colour) p->setBackColor(colour);
}

inline int modeOf(const InstrumentState& s) {
    return int(double(s.ScopeMode));
}
// GENERATOR and SCOPE+GEN show the generator's data length and step rate.
inline bool generatorData(const InstrumentState& s) {
    int m = modeOf(s);
    return m == 1 || m == 2;
}
inline bool combinedOn(const InstrumentState& s) {
    return isOn(s.ShowAplusB) || s.ShowAminusB == 1;
}

// Rate decade of the horizontal axis: that of the captured data, or in the generator
// modes the step rate of the current generator mode.
inline int rateIndex(const InstrumentState& s) {
    double r = double(s.DataRateA);
    if (generatorData(s)) {
        switch (int(double(s.GenMode))) {
        case 1:
            r = double(s.SweepRateIndex);
            break;
        case 2:
            r = double(s.CustomRateIndex);
            break;
        default:
            r = double(s.GenRateIndex);
            break;
        }
    }
    return std::clamp(int(r), 0, 4);
}

inline double lastIndexOf(const InstrumentState& s) {
    return lastIndex(generatorData(s), s.SampleSizeIndex, s.BufBase, s.GenLast);
}

inline Shown shownOf(const InstrumentState& s) {
    Shown v;
    v.a = isOn(s.ShowA);
    v.b = isOn(s.ShowB);
    v.d = isOn(s.ShowD);
    v.plus = isOn(s.ShowAplusB);
    v.minus = s.ShowAminusB == 1;
    v.generator = modeOf(s) == 1;
    return v;
}

} // namespace display
