// The simulated instrument's decoder: counters, misuse reports, access log, options.
#include "port/select.h"
#include "rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace cmd;

using simtest::Rig;

namespace {
bool reported(const sim::Wqk01& w, const std::string& part) {
    for (const std::string& m : w.misuse())
        if (m.find(part) != std::string::npos) return true;
    return false;
}
} // namespace

TEST(SimCounters, StopAndConfigurationCountersTakePulses) {
    Rig r;
    r.loadStop(2047);
    EXPECT_EQ(r.sim.stopCounter(), 30721);
    EXPECT_EQ(r.sim.samplesToTake(), 2047);
    EXPECT_TRUE(r.sim.stopLoaded());
    r.loadStop(32768);
    EXPECT_EQ(r.sim.stopCounter(), 0);
    EXPECT_EQ(r.sim.samplesToTake(), 32768);
    r.config(11);
    EXPECT_EQ(r.sim.channelConfig(), 11);
    r.config(0);
    EXPECT_EQ(r.sim.channelConfig(), 0);
    EXPECT_TRUE(r.sim.misuse().empty());
}

TEST(SimMisuse, ReadingBeforeAChannelIsSelected) {
    Rig r;
    r.loadStop(2048);
    r.readClock();
    EXPECT_TRUE(reported(r.sim, "read clock before a channel memory was selected"));
    r.sim.clearMisuse();
    r.out(Rig::C, CtlRead);
    r.in(Rig::D);
    EXPECT_TRUE(reported(r.sim, "sample read before a channel memory was selected"));
}

TEST(SimMisuse, CaptureStartWithoutStopCounter) {
    Rig r;
    r.cw(0, Reset);
    r.pulse(); // reset: the stop counter is gone
    r.instant(2);
    EXPECT_TRUE(reported(r.sim, "sampling started with no stop counter loaded"));
    r.waitMs(100);
    EXPECT_FALSE(r.done());
    r.sim.clearMisuse();
    r.armTrigger(2, SourceB, 128);
    EXPECT_TRUE(reported(r.sim, "trigger armed with no stop counter loaded"));
}

TEST(SimMisuse, BadRateCodesAndBusyMemories) {
    Rig r;
    r.loadStop(2048);
    r.cw(0, Arm);
    EXPECT_TRUE(reported(r.sim, "trigger armed (10H) with rate code 00H"));
    r.cw(7, Start);
    EXPECT_TRUE(reported(r.sim, "sampling started (02H) with rate code 07H"));
    r.sim.clearMisuse();
    r.config(10);
    r.armTrigger(2, 0, 250); // never fires
    r.cw(0, SelectA);
    EXPECT_TRUE(reported(r.sim, "channel memory selected for reading while a capture is running"));
}

TEST(SimMisuse, CountersOverfilledAndStrayPulses) {
    Rig r;
    r.config(16);
    EXPECT_TRUE(reported(r.sim, "more than 15 configuration pulses"));
    EXPECT_EQ(r.sim.channelConfig(), 0); // a four-bit counter
    r.sim.clearMisuse();
    r.cw(0, LatchConfig);
    r.cw(0, EndLoad);
    r.cw(0, OpenCount);
    EXPECT_TRUE(reported(r.sim, "counter opened (06H) with no reset or clear before it"));
    r.cw(0, GenSelect);
    r.pulse();
    r.pulse();
    EXPECT_TRUE(reported(r.sim, "clock pulse after command 0BH with nothing to count it"));
}

TEST(SimMisuse, NoPowerNoCapture) {
    sim::Options o;
    o.power = false;
    Rig r(o);
    r.loadStop(2048);
    EXPECT_TRUE(r.done()); // after a reset the done line tells: no power
    r.instant(2);
    EXPECT_TRUE(reported(r.sim, "sampling started on an instrument without power"));
}

TEST(SimLog, OffByDefaultAndCountsAlways) {
    Rig r;
    r.loadStop(2048);
    EXPECT_TRUE(r.sim.log().empty());
    const uint64_t n = r.sim.accessCount();
    EXPECT_EQ(n, uint64_t(4 * 4 + 2 + 2 * 30720));
    r.sim.setLogging(true);
    r.out(Rig::D, 0x5A);
    r.in(Rig::S);
    ASSERT_EQ(r.sim.log().size(), 2u);
    EXPECT_TRUE(r.sim.log()[0].write);
    EXPECT_EQ(r.sim.log()[0].value, 0x5A);
    EXPECT_FALSE(r.sim.log()[1].write);
    EXPECT_EQ(r.sim.accessCount(), n + 2);
}

TEST(SimInputs, RcSquareIsContinuousAndFollowsItsFilter) {
    sim::InputSpec s;
    s.kind = sim::InputSpec::Kind::RcSquare;
    s.freq = 1000;
    s.peak = 1;
    s.offset = 1;
    s.cornerHz = 1000;
    auto in = sim::makeInput(s, 0, 1);
    const double tau = 1 / (2 * M_PI * 1000);
    // Continuous across both edges and periodic.
    EXPECT_NEAR(in->volts(0.5e-3 - 1e-9), in->volts(0.5e-3 + 1e-9), 1e-4);
    EXPECT_NEAR(in->volts(1e-9), in->volts(1e-3 + 1e-9), 1e-9);
    // dv/dt = (u - v) / tau with u = 2 V in the first half.
    const double t = 0.2e-3, h = 1e-8;
    const double slope = (in->volts(t + h) - in->volts(t - h)) / (2 * h);
    EXPECT_NEAR(slope, (2 - in->volts(t)) / tau, 1.0);
    EXPECT_NEAR(in->maxVolts(), in->volts(0.5e-3 - 1e-12), 1e-6);
    EXPECT_NEAR(in->minVolts(), in->volts(1e-3 - 1e-12), 1e-6);
    EXPECT_DOUBLE_EQ(in->dc(), 1);
}

TEST(SimInputs, NoiseStaysInItsBoundsAndRepeats) {
    auto in = sim::makeInput(sim::InputSpec{}, 0.05, 7);
    double lo = 1e9, hi = -1e9;
    for (int k = 0; k < 20000; ++k) {
        const double t = k * 1.3e-6;
        const double v = in->volts(t);
        EXPECT_EQ(v, in->volts(t));
        const double clean = std::sin(2 * M_PI * 1000 * t);
        lo = std::min(lo, v - clean);
        hi = std::max(hi, v - clean);
    }
    EXPECT_GE(lo, -0.05);
    EXPECT_LE(hi, 0.05);
    EXPECT_LT(lo, -0.02); // it is there
    EXPECT_GT(hi, 0.02);
    EXPECT_DOUBLE_EQ(in->maxVolts(), 1.05);
}

TEST(SimOptions, InputsFromTheCommandLine) {
    ports::Choice c =
        ports::parseArgs({"--input-a=square:500:0.5:0.1", "--input-b=dc:-0.3", "--noise=0"});
    ASSERT_TRUE(c.errors.empty());
    EXPECT_EQ(c.sim.inputA.kind, sim::InputSpec::Kind::Square);
    EXPECT_DOUBLE_EQ(c.sim.inputA.freq, 500);
    EXPECT_DOUBLE_EQ(c.sim.inputA.peak, 0.5);
    EXPECT_DOUBLE_EQ(c.sim.inputA.offset, 0.1);
    EXPECT_EQ(c.sim.inputB.kind, sim::InputSpec::Kind::Dc);
    EXPECT_DOUBLE_EQ(c.sim.inputB.offset, -0.3);
    EXPECT_DOUBLE_EQ(c.sim.noise, 0);

    c = ports::parseArgs({"--input-b=rc-square:2000:1:0:5000", "--input-a=off"});
    ASSERT_TRUE(c.errors.empty());
    EXPECT_DOUBLE_EQ(c.sim.inputB.cornerHz, 5000);
    EXPECT_EQ(c.sim.inputA.kind, sim::InputSpec::Kind::Dc);
    EXPECT_DOUBLE_EQ(c.sim.inputA.offset, 0);

    // Defaults: A a 1 kHz sine of 1 V, B the generator through its low-pass, a little noise.
    c = ports::parseArgs({});
    EXPECT_EQ(c.sim.inputA.kind, sim::InputSpec::Kind::Sine);
    EXPECT_DOUBLE_EQ(c.sim.inputA.freq, 1000);
    EXPECT_DOUBLE_EQ(c.sim.inputA.peak, 1);
    EXPECT_EQ(c.sim.inputB.kind, sim::InputSpec::Kind::Generator);
    EXPECT_GT(c.sim.noise, 0);
    c = ports::parseArgs({"--input-a=gen"});
    EXPECT_EQ(c.sim.inputA.kind, sim::InputSpec::Kind::Generator);
}

TEST(SimOptions, BadInputsAreRejected) {
    for (const char* bad :
         {"--input-a=sine:0:1", "--input-a=tri:100:1", "--input-b=sine:1000",
          "--input-a=sine:1e9:1", "--input-a=sine:100:-1", "--input-a=dc:1:2",
          "--input-a=sine:100:1:nan", "--input-b=square:100:1:0:5", "--input-a=", "--noise=-1",
          "--noise=abc", "--noise=", "--input-b=gen:0.001", "--input-b=gen:1e10",
          "--input-b=gen:1:2", "--input-b=gen:x", "--input-a=dac:1"}) {
        ports::Choice c = ports::parseArgs({bad});
        EXPECT_EQ(c.errors.size(), 1u) << bad;
    }
}
