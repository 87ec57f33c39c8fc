#include "analysis/xy.h"

#include <algorithm>
#include <cmath>

namespace analysis {

double XyPoints::largest() const {
    double peak = 0;
    for (const std::vector<double>* v : {&x, &y})
        for (double d : *v)
            peak = std::max(peak, std::abs(d));
    return peak;
}

XyPoints xyPoints(const Trace& a, const Trace& b, size_t first, size_t count, long bOffset) {
    XyPoints p;
    const size_t end = std::min(a.count, first + count);
    for (size_t i = first; i < end; ++i) {
        const long j = long(i) - bOffset;
        if (j < 0 || j >= long(b.count)) continue;
        p.x.push_back((a.data[i] - 1280) * a.voltsPerUnit);
        p.y.push_back((b.data[size_t(j)] - 1280) * b.voltsPerUnit);
    }
    return p;
}

} // namespace analysis
