// The simulated instrument's sampling: rates, conversion, trigger, memory layout.
#include "rig.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace seq;
using sim::InputSpec;
using simtest::Rig;

namespace {

InputSpec dc(double v) {
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

// Configuration bits: 1 A DC, 2 A 12 V, 4 B DC, 8 B 12 V.
constexpr int ADc = 1, A12 = 2, BDc = 4;

} // namespace

TEST(SimCapture, InstantCaptureEndsAfterItsSamplesAtEachRate) {
    for (int model : {20, 30})
        for (int code = 1; code <= 5; ++code) {
            SCOPED_TRACE(std::to_string(model) + " MHz, code " + std::to_string(code));
            sim::Options o = quiet();
            o.model = model;
            Rig r(o);
            r.loadStop(2048);
            r.instant(code);
            const double rate = (model == 30 ? 1.5 : 1.0) * 2000 * std::pow(10.0, 5 - code);
            r.clock.advanceNs(int64_t(2048 / rate * 1e9) - 2000);
            EXPECT_FALSE(r.done());
            r.clock.advanceNs(4000);
            EXPECT_TRUE(r.done());
            EXPECT_TRUE(r.sim.misuse().empty());
        }
}

TEST(SimCapture, SineIsSampledAtTheCodedRateIntoTheEndOfMemory) {
    Rig r(quiet());
    r.loadStop(4096);
    r.play(config(ADc)); // A DC on 1.2 V
    r.waitMs(7);
    const double origin = double(r.clock.nowNs()) * 1e-9;
    r.instant(3); // 200 kHz
    r.waitMs(25);
    ASSERT_TRUE(r.done());
    for (int p : {32768 - 4096, 32768 - 4000, 32767, 100}) {
        const double t = origin + double(p - (32768 - 4096)) / 200e3;
        const double expect = std::nearbyint(128 + std::sin(2 * M_PI * 1000 * t) / (1.2 / 128));
        EXPECT_EQ(r.sim.memoryA()[p], int(expect)) << "position " << p;
    }
    // A new signal does not change what was recorded.
    const auto before = r.sim.memoryB();
    r.sim.setInput(1, sim::makeInput(dc(0.3), 0, 9));
    EXPECT_EQ(r.sim.memoryB(), before);
}

TEST(SimCapture, CouplingRangeAndClipping) {
    const struct {
        const char* name;
        double volts; // on A, and -volts on B with the same coupling and range
        int config, codeA, codeB;
        bool chanB = true;
    } rows[] = {{"DC on 1.2 V: 0.5 / 0.009375 codes", 0.5, ADc, 181, 75},
                {"AC removes the dc level", 0.5, 0, 128, 128},
                {"DC on 12 V", 0.5, ADc | A12, 133, 123},
                {"clipped at the top and the bottom", 2.0, ADc, 255, 0},
                {"clipped on 12 V", -20.0, ADc | A12, 0, 255},
                {"11 V on 12 V", 11.0, ADc | A12, 245, 11},
                {"channel B not fitted reads mid-scale", 0.8, ADc, 213, 128, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o = quiet(dc(row.volts), dc(-row.volts));
        o.channelB = row.chanB;
        Rig r(o);
        r.loadStop(2048);
        r.play(config(row.config | (row.config << 2)));
        r.instant(1);
        r.waitMs(1);
        ASSERT_TRUE(r.done());
        EXPECT_EQ(r.sim.memoryA()[32767], row.codeA);
        EXPECT_EQ(r.sim.memoryB()[32767], row.codeB);
        EXPECT_EQ(r.sim.memoryB()[100], row.codeB);
    }
}

TEST(SimTrigger, TheCrossingLandsAtTheStartPosition) {
    const struct {
        int flags, level;
    } rows[] = {{0, 40}, {Falling, 200}, {SourceB, 128}, {SourceB | Falling, 200}};
    for (const auto& row : rows) {
        SCOPED_TRACE("flags " + std::to_string(row.flags) + ", level " + std::to_string(row.level));
        const bool b = row.flags & SourceB, falling = row.flags & Falling;
        Rig r(quiet(b ? dc(0) : InputSpec{})); // with B the source, A cannot fire
        r.loadStop(2048);                      // 10.24 ms at 200 kHz
        r.play(config(ADc | BDc));             // 1 V peak on the 1.2 V range: codes 21..235
        r.play(arm(row.flags, row.level, 3));
        EXPECT_EQ(r.sim.comparatorLevel(), row.level);
        r.waitMs(20);
        ASSERT_TRUE(r.done());
        const auto& m = b ? r.sim.memoryB() : r.sim.memoryA();
        EXPECT_EQ(m[32768 - 2048] >= row.level, !falling);
        EXPECT_EQ(m[32768 - 2049] >= row.level, falling);
        // The first crossing after arming: within one period of the 1 kHz sine.
        EXPECT_GE(r.sim.capture().triggerSample(), 1);
        EXPECT_LE(r.sim.capture().triggerSample(), 200);
        EXPECT_TRUE(r.sim.misuse().empty());
    }
}

TEST(SimTrigger, UnreachableLevelsIdleRearmsAndNewStarts) {
    Rig r; // the default inputs with their noise
    r.loadStop(2048);
    r.play(config(10)); // AC, 12 V: the 1 V sine spans about 117..139
    r.play(arm(0, 250, 2));
    EXPECT_TRUE(r.sim.capture().unreachable());
    r.waitMs(10000);
    EXPECT_FALSE(r.done());
    r.play(cw(Idle)); // drops the waiting capture
    EXPECT_EQ(r.sim.capture().state(), sim::CaptureModel::State::Idle);
    r.play(arm(Falling, 135, 2));
    r.waitMs(20);
    EXPECT_TRUE(r.done());
    // Any new start, without a reset in between, lowers the done line until it ends.
    r.play(arm(0, 250, 2));
    EXPECT_FALSE(r.done());
    r.instant(5);
    EXPECT_FALSE(r.done());
    r.waitMs(1100);
    EXPECT_TRUE(r.done());
    r.play(cat({cw(GenSelect), pulse(), cw(Sweep), cw(Sweep, 9)}));
    EXPECT_FALSE(r.done());
    r.waitMs(1);
    EXPECT_TRUE(r.done());
    EXPECT_TRUE(r.sim.misuse().empty()) << r.sim.misuse().front();

    // A slow capture goes on to its end through a re-arm after its trigger.
    InputSpec slow;
    slow.freq = 300;
    Rig s(quiet(slow));
    s.loadStop(4096); // 2.048 s at 2 kHz
    s.play(config(ADc));
    s.play(arm(0, 128, 5));
    s.waitMs(2000);
    EXPECT_FALSE(s.done());
    EXPECT_EQ(s.sim.capture().state(), sim::CaptureModel::State::Triggered);
    s.play(cw(Arm, 5)); // as the wait loop does every 2 s
    s.waitMs(60);
    EXPECT_TRUE(s.done());
}
