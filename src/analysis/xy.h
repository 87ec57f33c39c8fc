#pragma once
// The XY view's points: B against A in volts, sample by sample on a common time base.
#include "analysis/measure.h"

#include <cstddef>
#include <vector>

namespace analysis {

struct XyPoints {
    std::vector<double> x, y; // A's and B's volts
    double largest() const;   // the largest magnitude on either axis
};

// A's samples first .. first + count - 1, each with B's sample taken at the same time:
// B's sample j was taken with A's j + bOffset (record.h bWindowOffset), so A's i pairs
// with B's i - bOffset. An A sample without its B sample is left out.
XyPoints xyPoints(const Trace& a, const Trace& b, size_t first, size_t count, long bOffset);

} // namespace analysis
