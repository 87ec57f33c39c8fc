#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;

TEST(Startup, ReachesIdleWithStartValues) {
    Harness h;
    WQK& w = h.window();
    EXPECT_FALSE(w.ended());
    EXPECT_EQ(double(w.s.RunState), 0);
    EXPECT_EQ(w.GOBUTTON->text(), "GO");
    EXPECT_EQ(double(w.s.ScopeMode), 0);
    EXPECT_EQ(double(w.s.SampleRateIndex), 3);
    EXPECT_EQ(w.s.SampleSizeIndex, 1);
    EXPECT_EQ(w.s.ModelCode, 1);
}
