#pragma once
// The tools' own traces beside A and B: the math trace M (A*B, A/B, -A, |A|, the running
// integral and the derivative of A or B, A+B, A-B), the references R1-R4 and what the
// XY view plots. Plain arithmetic in volts over the channels' buffers, so the overlays,
// the panels and the tests share it.
#include "analysis/measure.h"

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

// A trace in its own unit, sample by sample at a known rate; NaN where it has no point
// (A/B where |B| is under one converter step).
struct Wave {
    std::vector<double> values;
    double sampleRateHz = 0;
    std::string unit = "V"; // "V", "V^2", "" (a ratio), "V*s", "V/s"
};

enum class MathOp {
    Sum,
    Difference,
    Product,
    Ratio,
    NegA,
    NegB,
    AbsA,
    AbsB,
    IntegralA,
    IntegralB,
    DerivativeA,
    DerivativeB
};
struct MathOpInfo {
    MathOp op;
    const char* name; // "A*B": the menus and the stored options
    const char* unit;
};
const std::vector<MathOpInfo>& mathOps();
const MathOpInfo& mathOpInfo(MathOp op);

// A Trace in volts: (value - 1280) x voltsPerUnit.
Wave voltsOf(const Trace& t);
// M from A and B at the same sample index, as the display draws A+B: the count is the
// shorter of the two, the rate A's. The integral runs from the first sample (trapezoids),
// the derivative is the central difference (one-sided at the ends).
Wave mathTrace(MathOp op, const Trace& a, const Trace& b);

// measure() over samples first .. first + count - 1 of a wave: its values in steps of a
// 1200th of its largest magnitude there, a sample without a point holding the one
// before. Levels come back in the wave's unit, times in seconds.
Measurements measureWave(const Wave& w, size_t first, size_t count);

// A trace's own vertical scale on the display of 8 divisions: units per division and
// the position of its zero in divisions above the middle.
struct TraceScale {
    double perDiv = 0.5, position = 0;
    double yOf(double v, double heightPx) const {
        return heightPx * (0.5 - (v / perDiv + position) / 8);
    }
};
// The 1-2-5 step `steps` away from perDiv (a value between steps goes to the nearer).
double scaleStep(double perDiv, int steps);
// The 1-2-5 step that holds a peak magnitude within `divs` divisions.
double scaleFor(double peak, double divs);

} // namespace analysis
