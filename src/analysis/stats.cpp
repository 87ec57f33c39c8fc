#include "analysis/stats.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {
constexpr std::string_view None = "no value since the reset";
} // namespace

void Statistic::add(const Reading& r) {
    current_ = r;
    if (!r.ok()) return;
    const double v = *r;
    ++count_;
    if (count_ == 1) {
        min_ = max_ = v;
    } else {
        min_ = std::min(min_, v);
        max_ = std::max(max_, v);
    }
    // Welford's update keeps the sum of squares exact enough over long runs.
    const double d = v - mean_;
    mean_ += d / double(count_);
    m2_ += d * (v - mean_);
}

Reading Statistic::minimum() const {
    return count_ ? Reading::of(min_) : Reading::none(None);
}
Reading Statistic::maximum() const {
    return count_ ? Reading::of(max_) : Reading::none(None);
}
Reading Statistic::mean() const {
    return count_ ? Reading::of(mean_) : Reading::none(None);
}
Reading Statistic::deviation() const {
    if (count_ < 2) return Reading::none("needs two values");
    return Reading::of(std::sqrt(m2_ / double(count_ - 1)));
}

} // namespace analysis
