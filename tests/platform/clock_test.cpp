#include "platform/clock.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

TEST(VirtualClock, PausesCostNoRealTimeAndRunScheduledActions) {
    plat::VirtualClock c;
    plat::setClock(&c);
    std::vector<int64_t> seen;
    c.at(250, [&] { seen.push_back(c.nowMs()); });
    c.atDoEvents(2, [&] { seen.push_back(-1); });
    for (int i = 0; i < 5; ++i) {
        Pause(100);
        DoEvents();
    }
    // The timed action runs inside the pause that reaches 250 ms, at 300 ms.
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], -1);
    EXPECT_EQ(seen[1], 300);
    EXPECT_EQ(c.nowMs(), 500);
    EXPECT_EQ(c.doEventsCount(), 5);
    plat::setClock(nullptr);
}

TEST(VirtualClock, LimitStopsARunawayLoop) {
    plat::VirtualClock c;
    c.setLimitMs(1000);
    plat::setClock(&c);
    int pauses = 0;
    EXPECT_THROW(
        {
            while (true) {
                Pause(10);
                ++pauses;
            }
        },
        plat::ClockLimitExceeded);
    EXPECT_EQ(pauses, 100);
    plat::setClock(nullptr);
}

TEST(Timer, FiresOnTheVirtualClockUntilDisabled) {
    plat::VirtualClock c;
    plat::setClock(&c);
    plat::Timer t;
    int fired = 0;
    t.onTimer = [&] {
        ++fired;
        if (fired == 2) t.setEnabled(false);
    };
    t.setInterval(5000);
    t.setEnabled(true);
    Pause(4999);
    EXPECT_EQ(fired, 0);
    Pause(1);
    EXPECT_EQ(fired, 1);
    // Restarting moves the deadline: the interval counts from the restart.
    Pause(3000);
    t.setEnabled(false);
    t.setEnabled(true);
    Pause(4000);
    EXPECT_EQ(fired, 1);
    Pause(1000);
    EXPECT_EQ(fired, 2);
    Pause(20000);
    EXPECT_EQ(fired, 2);
    plat::setClock(nullptr);
}
