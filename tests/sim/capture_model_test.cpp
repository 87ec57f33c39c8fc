// The simulated instrument's sampling: rates, conversion, trigger, memory layout.
#include "rig.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cmd;

using sim::InputSpec;
using simtest::Rig;

namespace {

InputSpec dcSpec(double v) {
    InputSpec s;
    s.kind = InputSpec::Kind::Dc;
    s.peak = 0;
    s.offset = v;
    return s;
}

sim::Options quiet(InputSpec a = InputSpec{}, InputSpec b = InputSpec{}) {
    sim::Options o;
    o.inputA = a;
    o.inputB = b;
    o.noise = 0;
    return o;
}

// Config bits: 1 A DC, 2 A 12 V, 4 B DC, 8 B 12 V.
constexpr int ADc = 1, A12 = 2, BDc = 4;

} // namespace

TEST(SimRates, InstantCaptureEndsAfterItsSamplesAtEachRate) {
    for (int model : {20, 30}) {
        const double factor = model == 30 ? 1.5 : 1.0;
        for (int code = 1; code <= 5; ++code) {
            sim::Options o = quiet();
            o.model = model;
            Rig r(o);
            r.loadStop(2048);
            r.config(10);
            r.waitMs(3);
            r.instant(code);
            const double rate = factor * 2000 * std::pow(10.0, 5 - code);
            const auto takes = int64_t(2048 / rate * 1e9);
            r.clock.advanceNs(takes - 2000);
            EXPECT_FALSE(r.done()) << model << " MHz, code " << code;
            r.clock.advanceNs(4000);
            EXPECT_TRUE(r.done()) << model << " MHz, code " << code;
            EXPECT_TRUE(r.sim.misuse().empty());
        }
    }
}

TEST(SimRates, SineIsSampledAtTheCodedRateIntoTheEndOfMemory) {
    Rig r(quiet());
    r.loadStop(4096);
    r.config(ADc); // A DC on 1.2 V
    r.waitMs(7);
    const double origin = double(r.clock.nowNs()) * 1e-9;
    r.instant(3); // 200 kHz
    r.waitMs(25);
    ASSERT_TRUE(r.done());
    const auto& m = r.sim.memoryA();
    for (int p : {32768 - 4096, 32768 - 4000, 32767, 100}) {
        const double t = origin + double(p - (32768 - 4096)) / 200e3;
        const double expect = std::nearbyint(128 + std::sin(2 * M_PI * 1000 * t) / (1.2 / 128));
        EXPECT_EQ(m[p], int(expect)) << "position " << p;
    }
}

TEST(SimConversion, CouplingRangeAndClipping) {
    struct Case {
        double volts;
        int config;
        int codeA, codeB; // B sees -volts
    } cases[] = {
        {0.5, ADc, 181, 75},        // 128 +/- 0.5 / 0.009375 = 181.3, 74.7
        {0.5, 0, 128, 128},         // AC removes the dc level
        {0.5, ADc | A12, 133, 123}, // 12 V range: 128 +/- 5.3
        {2.0, ADc, 255, 0},         // clipped at the top and the bottom
        {-20.0, ADc | A12, 0, 255}, {11.0, ADc | A12, 245, 11},
    };
    for (const Case& c : cases) {
        Rig r(quiet(dcSpec(c.volts), dcSpec(-c.volts)));
        r.loadStop(2048);
        // B gets the same coupling and range bits as A.
        r.config(c.config | (c.config << 2));
        r.instant(1);
        r.waitMs(1);
        ASSERT_TRUE(r.done());
        EXPECT_EQ(r.sim.memoryA()[32767], c.codeA) << c.volts << " V, config " << c.config;
        EXPECT_EQ(r.sim.memoryB()[32767], c.codeB) << "B at " << -c.volts << " V";
    }
}

TEST(SimConversion, ChannelBNotFittedReadsMidScale) {
    sim::Options o = quiet(InputSpec{}, dcSpec(0.8));
    o.channelB = false;
    Rig r(o);
    r.loadStop(2048);
    r.config(BDc);
    r.instant(1);
    r.waitMs(1);
    ASSERT_TRUE(r.done());
    EXPECT_EQ(r.sim.memoryB()[32767], 128);
    EXPECT_EQ(r.sim.memoryB()[100], 128);
}

class SimTrigger : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SimTrigger, CrossingLandsAtTheStartPosition) {
    const int flags = std::get<0>(GetParam());
    const int level = std::get<1>(GetParam());
    Rig r(quiet());
    r.loadStop(2048); // 10.24 ms at 200 kHz
    r.config(ADc);    // 1 V peak on the 1.2 V range: codes 21..235
    r.waitMs(5);
    r.armTrigger(3, flags, level);
    EXPECT_EQ(r.sim.comparatorLevel(), level);
    int polls = 0;
    while (!r.done() && polls < 100) {
        r.waitMs(20);
        ++polls;
    }
    ASSERT_TRUE(r.done());
    EXPECT_EQ(polls, 1);
    const auto& m = r.sim.memoryA();
    const int p0 = 32768 - 2048;
    if (flags & Falling) {
        EXPECT_LT(m[p0], level);
        EXPECT_GE(m[p0 - 1], level);
    } else {
        EXPECT_GE(m[p0], level);
        EXPECT_LT(m[p0 - 1], level);
    }
    // The first crossing after arming: within one period of the 1 kHz sine.
    const int64_t k = r.sim.capture().triggerSample();
    EXPECT_GE(k, 1);
    EXPECT_LE(k, 200);
    EXPECT_TRUE(r.sim.misuse().empty());
}

INSTANTIATE_TEST_SUITE_P(SlopesAndLevels, SimTrigger,
                         ::testing::Combine(::testing::Values(0, Falling),
                                            ::testing::Values(40, 128, 200)));

TEST(SimTrigger, SourceBTriggersOnChannelB) {
    // A is flat, so only B can fire the trigger.
    Rig r(quiet(dcSpec(0), InputSpec{}));
    r.loadStop(2048);
    r.config(ADc | BDc);
    r.armTrigger(3, 0, 128);
    r.waitMs(100);
    EXPECT_FALSE(r.done());
    EXPECT_TRUE(r.sim.capture().unreachable());
    r.armTrigger(3, SourceB, 128);
    r.waitMs(20);
    EXPECT_TRUE(r.done());
    EXPECT_GE(r.sim.memoryB()[32768 - 2048], 128);
    EXPECT_LT(r.sim.memoryB()[32768 - 2049], 128);
}

TEST(SimTrigger, LevelOutsideTheSignalNeverFires) {
    Rig r; // default inputs with their noise
    r.loadStop(2048);
    r.config(10); // AC, 12 V: the 1 V sine spans about 117..139
    r.armTrigger(2, 0, 250);
    EXPECT_TRUE(r.sim.capture().unreachable());
    r.waitMs(10000);
    EXPECT_FALSE(r.done());
    r.armTrigger(2, Falling, 135);
    r.waitMs(20);
    EXPECT_TRUE(r.done());
}

TEST(SimTrigger, SlowCaptureSurvivesARearmAfterTheTrigger) {
    InputSpec slow;
    slow.freq = 300; // 2 kHz sampling of a 1 kHz sine would only see its zeros
    Rig r(quiet(slow));
    r.loadStop(4096); // 2.048 s at 2 kHz
    r.config(ADc);
    r.armTrigger(5, 0, 128);
    r.waitMs(2000);
    EXPECT_FALSE(r.done());
    EXPECT_EQ(r.sim.capture().state(), sim::CaptureModel::State::Triggered);
    r.cw(5, Arm); // re-arm, as the wait loop does every 2 s
    r.waitMs(60);
    EXPECT_TRUE(r.done());
}

TEST(SimTrigger, IdleCommandDropsAWaitingCapture) {
    Rig r;
    r.loadStop(2048);
    r.config(10);
    r.armTrigger(2, 0, 250);
    r.cw(0, Idle);
    EXPECT_EQ(r.sim.capture().state(), sim::CaptureModel::State::Idle);
    r.waitMs(50);
    EXPECT_FALSE(r.done());
}

TEST(SimReadout, EachMemoryIsReadFromItsStart) {
    Rig r;
    for (int p = 0; p < 32768; ++p) {
        r.sim.memoryA()[p] = uint8_t(p & 0xFF);
        r.sim.memoryB()[p] = uint8_t((p * 7 + 3) & 0xFF);
    }
    r.loadStop(2048);
    const std::vector<int> a = r.read(SelectA, 100, 50);
    EXPECT_EQ(r.sim.readPos(), 150);
    // B after A starts again from B's first sample.
    const std::vector<int> b = r.read(SelectB, 100, 50);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(a[i], (100 + i) & 0xFF);
        EXPECT_EQ(b[i], ((100 + i) * 7 + 3) & 0xFF);
    }
    EXPECT_TRUE(r.sim.misuse().empty());
}

TEST(SimReadout, BothChannelsOfOneCaptureAreOffsetByThePretrigger) {
    // The same sine on both inputs: read with the program's skips, B's window ends
    // `pre` samples after A's.
    Rig r(quiet(InputSpec{}, InputSpec{}));
    r.loadStop(4096 - 10);
    r.config(ADc | BDc);
    r.armTrigger(3, 0, 128);
    r.waitMs(40);
    ASSERT_TRUE(r.done());
    const int readCount = 4096 - 10, pre = 10;
    const std::vector<int> a = r.read(SelectA, 32768 - readCount - pre, readCount);
    const std::vector<int> b = r.read(SelectB, 32768 - readCount, readCount);
    for (int i = 0; i + pre < readCount; ++i)
        ASSERT_EQ(b[i], a[i + pre]) << i;
    EXPECT_GE(a[pre], 128);
    EXPECT_LT(a[pre - 1], 128);
}

TEST(SimReadout, PortReadsAndWholeMemoryAgree) {
    Rig r;
    r.loadStop(4096);
    r.config(10);
    r.instant(2);
    r.waitMs(5);
    ASSERT_TRUE(r.done());
    // Read through the port first, then look at the whole memory.
    const std::vector<int> tail = r.read(SelectA, 32768 - 4096, 4096);
    const std::vector<int> head = r.read(SelectB, 0, 600); // the address wrapped to 0
    const auto& a = r.sim.memoryA();
    const auto& b = r.sim.memoryB();
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(tail[i], a[32768 - 4096 + i]) << i;
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(head[i], b[i]) << i;
    // A new signal does not change what was recorded.
    const auto before = r.sim.memoryB();
    r.sim.setInput(1, sim::makeInput(dcSpec(0.3), 0, 9));
    EXPECT_EQ(r.sim.memoryB(), before);
}
