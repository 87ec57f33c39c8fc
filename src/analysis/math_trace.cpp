#include "analysis/math_trace.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis {

namespace {
constexpr double Mid = 1280, Step = 10; // the zero and one converter step, in buffer units
constexpr double NoPoint = std::numeric_limits<double>::quiet_NaN();
} // namespace

const std::vector<MathOpInfo>& mathOps() {
    static const std::vector<MathOpInfo> ops = {
        {MathOp::Sum, "A+B", "V"},
        {MathOp::Difference, "A-B", "V"},
        {MathOp::Product, "A*B", "V^2"},
        {MathOp::Ratio, "A/B", ""},
        {MathOp::NegA, "-A", "V"},
        {MathOp::NegB, "-B", "V"},
        {MathOp::AbsA, "|A|", "V"},
        {MathOp::AbsB, "|B|", "V"},
        {MathOp::IntegralA, "Int A", "V*s"},
        {MathOp::IntegralB, "Int B", "V*s"},
        {MathOp::DerivativeA, "d/dt A", "V/s"},
        {MathOp::DerivativeB, "d/dt B", "V/s"},
    };
    return ops;
}

const MathOpInfo& mathOpInfo(MathOp op) {
    return mathOps()[size_t(op)];
}

Wave voltsOf(const Trace& t) {
    Wave w;
    w.sampleRateHz = t.sampleRateHz;
    w.values.resize(t.count);
    for (size_t i = 0; i < t.count; ++i)
        w.values[i] = (t.data[i] - Mid) * t.voltsPerUnit;
    return w;
}

Wave mathTrace(MathOp op, const Trace& a, const Trace& b) {
    const size_t n = std::min(a.count, b.count);
    const Wave va = voltsOf({a.data, n, a.voltsPerUnit, a.sampleRateHz});
    const Wave vb = voltsOf({b.data, n, b.voltsPerUnit, a.sampleRateHz});
    Wave m;
    m.sampleRateHz = a.sampleRateHz;
    m.unit = mathOpInfo(op).unit;
    m.values.resize(n);
    const bool onA = op == MathOp::NegA || op == MathOp::AbsA || op == MathOp::IntegralA ||
                     op == MathOp::DerivativeA;
    const std::vector<double>& x = onA ? va.values : vb.values;
    const double dt = a.sampleRateHz > 0 ? 1 / a.sampleRateHz : 0;
    for (size_t i = 0; i < n; ++i) {
        double& out = m.values[i];
        switch (op) {
        case MathOp::Sum:
            out = va.values[i] + vb.values[i];
            break;
        case MathOp::Difference:
            out = va.values[i] - vb.values[i];
            break;
        case MathOp::Product:
            out = va.values[i] * vb.values[i];
            break;
        case MathOp::Ratio:
            // Under one step B is as good as zero: no point rather than a huge one.
            out = std::abs(b.data[i] - Mid) < Step ? NoPoint : va.values[i] / vb.values[i];
            break;
        case MathOp::NegA:
        case MathOp::NegB:
            out = -x[i];
            break;
        case MathOp::AbsA:
        case MathOp::AbsB:
            out = std::abs(x[i]);
            break;
        case MathOp::IntegralA:
        case MathOp::IntegralB:
            out = i == 0 ? 0 : m.values[i - 1] + (x[i - 1] + x[i]) / 2 * dt;
            break;
        case MathOp::DerivativeA:
        case MathOp::DerivativeB: {
            if (n < 2 || dt == 0) {
                out = NoPoint;
                break;
            }
            const size_t lo = i == 0 ? 0 : i - 1, hi = std::min(i + 1, n - 1);
            out = (x[hi] - x[lo]) / (double(hi - lo) * dt);
            break;
        }
        }
    }
    return m;
}

Measurements measureWave(const Wave& w, size_t first, size_t count) {
    first = std::min(first, w.values.size());
    count = std::min(count, w.values.size() - first);
    double peak = 0;
    for (size_t i = first; i < first + count; ++i)
        if (std::isfinite(w.values[i])) peak = std::max(peak, std::abs(w.values[i]));
    const double unit = peak > 0 ? peak / 1200 : 1;
    std::vector<int16_t> codes(count, int16_t(Mid));
    double held = 0;
    for (size_t i = 0; i < count; ++i) {
        const double v = w.values[first + i];
        if (std::isfinite(v)) held = v;
        codes[i] = int16_t(std::lround(Mid + held / unit));
    }
    Measurements m = measure({codes.data(), count, unit, w.sampleRateHz});
    m.clipped = false; // the codes are ours: they never reach the converter's ends
    return m;
}

double scaleStep(double perDiv, int steps) {
    static const double mantissa[3] = {1, 2, 5};
    // The index of the nearest 1-2-5 value: 3 per decade.
    const double decade = std::floor(std::log10(perDiv));
    const double m = perDiv / std::pow(10.0, decade);
    int k = m < 1.5 ? 0 : m < 3.5 ? 1 : m < 7.5 ? 2 : 3;
    int index = int(decade) * 3 + k + steps;
    const int d = int(std::floor(index / 3.0));
    return mantissa[index - 3 * d] * std::pow(10.0, d);
}

double scaleFor(double peak, double divs) {
    if (!(peak > 0) || !std::isfinite(peak)) return 1;
    double s = scaleStep(peak / divs, 0);
    while (s * divs < peak)
        s = scaleStep(s, 1);
    while (scaleStep(s, -1) * divs >= peak)
        s = scaleStep(s, -1);
    return s;
}

} // namespace analysis
