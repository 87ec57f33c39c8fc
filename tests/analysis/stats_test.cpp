// Statistics over captures against their closed forms; a capture without a value counts
// for nothing but shows as the current one.
#include "analysis/stats.h"

#include <gtest/gtest.h>

#include <cmath>

using analysis::Reading;

TEST(Statistic, MeanExtremesDeviationAndCount) {
    analysis::Statistic s;
    EXPECT_EQ(s.mean().reason, "no value since the reset");
    for (double v : {4.0, 1.0, 3.0, 2.0})
        s.add(Reading::of(v));
    s.add(Reading::none("flat trace"));
    EXPECT_EQ(s.count(), 4);
    EXPECT_EQ(s.current().reason, "flat trace");
    EXPECT_DOUBLE_EQ(*s.mean(), 2.5);
    EXPECT_DOUBLE_EQ(*s.minimum(), 1.0);
    EXPECT_DOUBLE_EQ(*s.maximum(), 4.0);
    EXPECT_DOUBLE_EQ(*s.deviation(), std::sqrt(5.0 / 3)); // squares 2.25 + 0.25 + 0.25 + 2.25
    s.reset();
    s.add(Reading::of(7));
    EXPECT_EQ(s.deviation().reason, "needs two values");
    EXPECT_DOUBLE_EQ(*s.current(), 7);
}
