#pragma once
// Statistics of a measured value over a run of captures: the latest value, the least,
// the greatest, the mean and the standard deviation, and how many captures gave one.
#include "analysis/measure.h"

#include <cstddef>

namespace analysis {

class Statistic {
  public:
    // A capture's value; one without a value counts for nothing but clears `current`.
    void add(const Reading& r);
    void reset() { *this = Statistic(); }

    const Reading& current() const { return current_; }
    long count() const { return count_; }
    Reading minimum() const;
    Reading maximum() const;
    Reading mean() const;
    // The sample standard deviation (n - 1): it needs two values.
    Reading deviation() const;

  private:
    Reading current_ = Reading::none("no capture since the reset");
    long count_ = 0;
    double mean_ = 0, m2_ = 0, min_ = 0, max_ = 0; // running mean and squared deviations
};

} // namespace analysis
