// GO/STOP and the run loop on the virtual clock and the simulated instrument.
#include "device/drawn_text.h"
#include "run_rig.h"

#include <gtest/gtest.h>

using namespace cmd;

using runtest::Rig;

namespace {
constexpr long Green = 65280, Red = 255;
}

TEST(GoButton, BothChannelsOffDoesNothingInAnyMode) {
    for (int mode : {0, 1, 2, 3}) {
        Rig r;
        r.s.ScopeMode = mode;
        r.s.ChanAOn = 0;
        r.s.ChanBOn = 0;
        r.sim.setLogging(true);
        r.sim.clearLog();
        const int64_t t0 = r.nowMs();
        r.w.GOBUTTON_Click();
        EXPECT_TRUE(r.sim.log().empty()) << "mode " << mode;
        EXPECT_EQ(r.s.RunState.num(), 0);
        EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");
        EXPECT_EQ(r.nowMs(), t0);
    }
}

TEST(GoButton, SingleCaptureLocksThenRestoresTheControls) {
    Rig r;
    struct During {
        std::string caption;
        double font = 0;
        long colour = 0;
        bool load = true, exit = true, port = true, mode = true, gen = true, rate = false,
             trig = false;
    } d;
    r.after(50, [&] { // inside the first 100 ms pause of the run
        d.caption = r.w.GOBUTTON->caption();
        d.font = r.w.GOBUTTON->fontSize();
        d.colour = r.w.GOCOLOR->BackColor();
        d.load = r.w.fileloadbutton->isEnabled();
        d.exit = r.w.Command22->isEnabled();
        d.port = r.w.SETUP->isEnabled();
        d.mode = r.w.SCOPEMODE->isEnabled();
        d.gen = r.w.GENMODEBUTTON->isEnabled();
        d.rate = r.w.SRATEP->isEnabled();
        d.trig = r.w.TMODEBUTTON->isEnabled();
    });
    r.w.GOBUTTON_Click();
    EXPECT_EQ(d.caption, "STOP");
    EXPECT_EQ(d.font, 8);
    EXPECT_EQ(d.colour, Green);
    EXPECT_FALSE(d.load || d.exit || d.port || d.mode || d.gen);
    EXPECT_TRUE(d.rate && d.trig); // SCOPE mode keeps sampling and trigger usable
    EXPECT_EQ(r.instantRates, std::vector<int>{2});
    EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");
    EXPECT_EQ(r.w.GOBUTTON->fontSize(), 10);
    EXPECT_EQ(r.w.GOCOLOR->BackColor(), Red);
    EXPECT_TRUE(r.w.fileloadbutton->isEnabled() && r.w.Command22->isEnabled() &&
                r.w.SETUP->isEnabled());
    EXPECT_TRUE(r.w.SCOPEMODE->isEnabled());
    EXPECT_TRUE(r.w.Command3->isEnabled() && r.w.Command6->isEnabled());
    EXPECT_FALSE(r.w.GENMODEBUTTON->isEnabled());
    EXPECT_EQ(r.s.RunState.num(), 0);
    EXPECT_EQ(r.s.CaptureStatus, 1);
    EXPECT_TRUE(r.sim.misuse().empty());
}

TEST(GoButton, CapturesTheSimulatedSine) {
    Rig r;
    r.w.GOBUTTON_Click();
    // 1 V peak on the 12 V range: about 10.7 codes either side of 128.
    const auto& a = r.s.ChanABuffer;
    int lo = 9999, hi = 0;
    for (int i = 0; i < 4095; ++i) {
        lo = std::min<int>(lo, a[i]);
        hi = std::max<int>(hi, a[i]);
    }
    // 1 kHz at 2 MHz: the wave repeats after 2000 samples and inverts after 1000.
    for (int i = 0; i + 2000 < 4095; ++i) {
        ASSERT_NEAR(a[i], a[i + 2000], 20) << i;
        ASSERT_NEAR(a[i] + a[i + 1000], 2560, 20) << i;
    }
}

TEST(GoButton, RepeatCapturesUntilStop) {
    Rig r;
    r.w.TRESETBUTTON_Click();
    EXPECT_EQ(r.w.TRESETBUTTON->caption(), "Repeat");
    const int64_t t0 = r.nowMs();
    r.after(1000, [&] { r.w.GOBUTTON_Click(); });
    r.w.GOBUTTON_Click();
    // 100 ms before the first capture, then 101 ms per capture; STOP comes during the 9th.
    EXPECT_EQ(r.instantRates.size(), 9u);
    EXPECT_EQ(r.nowMs() - t0, 100 + 9 * 101);
    EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");
    EXPECT_EQ(r.s.RunState.num(), 0);
    r.w.TRESETBUTTON_Click();
    EXPECT_EQ(r.w.TRESETBUTTON->caption(), "Single");
}

TEST(GoButton, BothChannelsSwitchedOffEndsARepeatRun) {
    Rig r;
    r.s.RunRepeat = 1;
    r.after(250, [&] {
        r.s.ChanAOn = 0;
        r.s.ChanBOn = 0;
    });
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.instantRates.size(), 2u);
    EXPECT_EQ(r.s.RunState.num(), 0);
}

TEST(GoButton, CouplingChangeResendsTheConfigurationProbeDoesNot) {
    Rig r;
    r.s.RunRepeat = 1;
    r.after(150, [&] { r.s.CouplingA = 1; }); // during the first capture
    r.after(450, [&] { r.s.ProbeA = 1; });
    r.after(700, [&] { r.w.GOBUTTON_Click(); });
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.configClears, 2); // at the start and once after the change
    EXPECT_EQ(r.sim.channelConfig(), 11);
    EXPECT_EQ(r.s.chanConfig(), 11);
    EXPECT_EQ(r.s.chanConfigPrev(), 11);
}

TEST(GoButton, FirstCaptureReadsSizeMinusOne) {
    Rig r;
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.s.ReadCount, 4095);
    EXPECT_EQ(r.sim.samplesToTake(), 4095);
    EXPECT_EQ(r.s.PreTrigCount, 0);
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.s.ReadCount, 4096);
    EXPECT_EQ(r.sim.samplesToTake(), 4096);
}

TEST(GoButton, PretriggerChangeTakesOneCaptureToReachTheReadCount) {
    Rig r;
    r.w.GOBUTTON_Click();
    r.w.GOBUTTON_Click();
    r.s.PreTrig = 2;
    r.sim.setLogging(true);
    r.sim.clearLog();
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.s.ReadCount, 4096);
    EXPECT_EQ(r.s.PreTrigCount, 100);
    // Read clocks of channel A: the skip with the new count, then one per sample.
    const auto w = r.sim.writes();
    long clocksA = 0;
    bool inA = false;
    for (size_t i = 0; i + 3 < w.size(); ++i) {
        if (w[i] == std::make_pair(Lpt1Base, SelectA) && w[i + 1].second == CtlIdle) inA = true;
        if (w[i] == std::make_pair(Lpt1Base, SelectB)) inA = false;
        if (inA && w[i] == std::make_pair(Lpt1Base + ControlOffset, CtlReadClock)) ++clocksA;
    }
    EXPECT_EQ(clocksA, (32768 - 4096 - 100) + 4096);
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.s.ReadCount, 4096 - 100);
}

TEST(GoButton, StopDuringATriggeredWaitLeavesTheBuffers) {
    Rig r;
    r.s.TrigMode = 1;
    r.s.TrigLevel = 10; // far above the sine
    r.fill(r.s.ChanABuffer, 1);
    r.fill(r.s.ChanBBuffer, 2);
    const auto a = r.s.ChanABuffer, b = r.s.ChanBBuffer;
    r.s.SampleRateIndex = 1;
    r.w.DSAMPLE();
    bool waiting = false;
    r.after(2500, [&] {
        waiting = drawn::shows(r.w.Trigwait, {"   Waiting For Trigger", "  Press [STOP] to exit"});
    });
    r.after(3000, [&] { r.w.GOBUTTON_Click(); });
    r.w.GOBUTTON_Click();
    EXPECT_TRUE(waiting);
    EXPECT_EQ(r.arms.size(), 2u);
    EXPECT_EQ(r.s.ChanABuffer, a);
    EXPECT_EQ(r.s.ChanBBuffer, b);
    EXPECT_EQ(r.s.dataRateA(), 3); // the captured-with record is unchanged
    EXPECT_TRUE(r.w.Trigwait->isHidden());
    EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");
}

TEST(GoButton, CaptureEndingAtPoll199DeliversNothing) {
    for (int poll : {198, 199}) {
        Rig r;
        r.fill(r.s.ChanABuffer, 3);
        const auto a = r.s.ChanABuffer;
        r.s.SampleSizeIndex = 0;
        r.w.DSAMPLE();
        // 2047 samples at 2 MHz take 1.0235 ms; the done line rises between two polls.
        r.sim.capture().setDoneDelayNs((poll * 100 - 50) * 1000000LL - 1023500);
        r.w.GOBUTTON_Click();
        if (poll == 198) {
            EXPECT_NE(r.s.ChanABuffer, a);
            EXPECT_EQ(r.s.DataSizeA.num(), 0);
        } else {
            EXPECT_EQ(r.s.ChanABuffer, a);
            EXPECT_EQ(r.s.DataSizeA.num(), 1);
            EXPECT_EQ(r.s.CaptureStatus, 0);
        }
    }
}

TEST(GoButton, NoInstrumentShowsItsMessageAndDoesNotRun) {
    sim::Options o;
    o.present = false;
    testing_support::Harness h(o);
    WQK& w = h.window(false);
    h.clock().atDoEvents(1, [&] { w.CONFIGEXIT_Click(); }); // the port window at start-up
    drawn::shown(h.window(true));
    h.sim().setLogging(true);
    const int64_t t0 = h.clock().nowMs();
    bool shown = false, other = true;
    h.clock().at(t0 + 1900, [&] {
        shown = drawn::shows(w.Trigwait, {"  No WQK Hardware !!! ", "  Aborting Command ..."});
        other = drawn::shows(w.Trigwait, {" No Power to WQK  !!! ", " Check Power to WQK   "});
    });
    w.GOBUTTON_Click();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(other);
    EXPECT_EQ(h.clock().nowMs() - t0, 2000);
    EXPECT_TRUE(w.Trigwait->isHidden());
    EXPECT_EQ(w.state().RunState.num(), 0);
    EXPECT_EQ(w.GOBUTTON->caption(), "GO");
    EXPECT_NE(w.GOCOLOR->BackColor(), Green);
    EXPECT_EQ(h.sim().commandCount(OpenCount), 0); // no configuration, no stop counter
}

TEST(GoButton, NoPowerShowsItsMessageAndDoesNotRun) {
    sim::Options o;
    o.power = false;
    Rig r(o);
    bool shown = false;
    r.after(10, [&] {
        shown = drawn::shows(r.w.Trigwait, {" No Power to WQK  !!! ", " Check Power to WQK   "});
    });
    const int64_t t0 = r.nowMs();
    r.w.GOBUTTON_Click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(r.nowMs() - t0, 2000);
    EXPECT_TRUE(r.w.Trigwait->isHidden());
    EXPECT_EQ(r.s.RunState.num(), 0);
    EXPECT_TRUE(r.instantRates.empty());
    EXPECT_EQ(r.configClears, 0);
}
