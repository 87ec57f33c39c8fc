#pragma once
// Traces built from formulas: buffer values on the 1.2 V range, sampled at 1 MHz.
#include "analysis/measure.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace synth {

constexpr double Vpu = 0.0009375, Rate = 1e6;
const double Pi = std::acos(-1.0);

inline std::vector<int16_t> wave(size_t n, const std::function<double(double)>& volts) {
    std::vector<int16_t> x(n);
    for (size_t i = 0; i < n; ++i)
        x[i] = int16_t(std::clamp(std::lround(1280 + volts(double(i) / Rate) / Vpu), 0L, 2550L));
    return x;
}
inline analysis::Trace trace(const std::vector<int16_t>& x, double rate = Rate) {
    return {x.data(), x.size(), Vpu, rate};
}

} // namespace synth
