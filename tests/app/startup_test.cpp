#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;

TEST(Startup, ReachesIdleWithStartValues) {
    Harness h;
    WQK& w = h.window();
    EXPECT_FALSE(w.ended());
    EXPECT_EQ(w.state().RunState.num(), 0);
    EXPECT_EQ(w.GOBUTTON->text(), "GO");
    EXPECT_EQ(int(w.state().mode()), 0);
    EXPECT_EQ(w.state().sampleRateIndex(), 3);
    EXPECT_EQ(w.state().SampleSizeIndex, 1);
    EXPECT_EQ(w.state().ModelCode, 1);
}
