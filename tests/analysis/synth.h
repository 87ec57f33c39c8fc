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
// As wave(), plus triangular noise of +/- noiseV (as on the simulated inputs), a fixed
// function of the sample and the seed, and rounded to whole converter codes.
inline std::vector<int16_t> captured(size_t n, const std::function<double(double)>& volts,
                                     double noiseV, uint64_t seed = 0) {
    return wave(n, [&](double t) {
        uint64_t h = (uint64_t(std::llround(t * Rate)) + (seed << 32)) * 0x9E3779B97F4A7C15ull;
        h = (h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 32;
        const double u = (double(h & 0xFFFF) + double((h >> 16) & 0xFFFF)) / 65535.0 - 1;
        return 10 * Vpu * std::round((volts(t) + u * noiseV) / (10 * Vpu));
    });
}
inline analysis::Trace trace(const std::vector<int16_t>& x, double rate = Rate) {
    return {x.data(), x.size(), Vpu, rate};
}

} // namespace synth
