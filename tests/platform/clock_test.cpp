// The virtual clock the tests run on, and timers that follow it.
#include "platform/clock.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

TEST(VirtualClock, ActionsTimersAndALimitForRunawayLoops) {
    plat::VirtualClock c;
    plat::setClock(&c);
    plat::Timer t;
    std::vector<int64_t> seen;
    c.at(250, [&] { seen.push_back(c.nowMs()); }); // runs in the pause that reaches it
    c.atDoEvents(2, [&] { seen.push_back(-1); });
    t.onTimer = [&] { seen.push_back(-c.nowMs()); };
    t.setInterval(250);
    t.setEnabled(true); // fires every interval from its last start
    for (int i = 0; i < 7; ++i) {
        Pause(100);
        DoEvents();
        if (i == 3) t.setEnabled(false), t.setEnabled(true); // at 400: due at 650, not 550
    }
    t.setEnabled(false);
    EXPECT_EQ(seen, (std::vector<int64_t>{-1, 300, -300, -700}));
    c.setLimitMs(1000);
    int pauses = 0;
    EXPECT_THROW(
        while (true) {
            Pause(10);
            ++pauses;
        },
        plat::ClockLimitExceeded);
    EXPECT_EQ(pauses, 30); // from 700 ms to the limit
    plat::setClock(nullptr);
}
