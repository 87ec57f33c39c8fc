// The simulated instrument's sampling: rates, conversion, trigger, memory layout.
#include "rig.h"

#include <gtest/gtest.h>

using namespace seq;
using sim::InputSpec;
using simtest::Rig;

namespace {

InputSpec dc(double v) {
    return {InputSpec::Kind::Dc, 1000, 0, v};
}

sim::Options quiet(InputSpec a = InputSpec{}, InputSpec b = InputSpec{}) {
    sim::Options o;
    o.inputA = a;
    o.inputB = b;
    o.noise = 0;
    return o;
}

// Configuration bits: 1 A DC, 2 A 12 V, 4 B DC, 8 B 12 V.
constexpr int ADc = 1, A12 = 2, BDc = 4, B12 = 8;

} // namespace

TEST(SimCapture, CouplingRangeAndClipping) {
    const struct {
        const char* name;
        double volts; // on A, and -volts on B
        int config, codeA, codeB;
        bool chanB = true;
    } rows[] = {{"DC on 1.2 V: 0.5 / 0.009375 codes", 0.5, ADc | BDc, 181, 75},
                {"AC removes the dc level", 0.5, 0, 128, 128},
                {"DC on 12 V", 0.5, ADc | A12 | BDc | B12, 133, 123},
                {"A AC, B DC on 12 V", 0.5, BDc | B12, 128, 123},
                {"clipped at the top and the bottom", 2.0, ADc | BDc, 255, 0},
                {"channel B not fitted reads mid-scale", 0.8, ADc | BDc, 213, 128, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o = quiet(dc(row.volts), dc(-row.volts));
        o.channelB = row.chanB;
        Rig r(o);
        r.loadStop(2048);
        r.play(config(row.config));
        r.instant(1);
        ASSERT_FALSE(r.done()) << "2048 samples at 20 MHz take 102.4 us";
        r.waitMs(1);
        ASSERT_TRUE(r.done());
        EXPECT_TRUE(r.sim.memoryA()[32767] == row.codeA && r.sim.memoryB()[32767] == row.codeB &&
                    r.sim.memoryB()[100] == row.codeB);
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
    // A new start, without a reset in between, lowers the done line until it ends.
    r.play(arm(0, 250, 2));
    EXPECT_FALSE(r.done());
    EXPECT_TRUE(r.sim.misuse().empty()) << r.sim.misuse().front();

    // A slow capture goes on to its end through a re-arm after its trigger.
    InputSpec slow;
    slow.freq = 300;
    Rig s(quiet(slow));
    s.loadStop(4096); // 2.048 s at 2 kHz
    s.play(config(ADc));
    s.play(arm(0, 128, 5));
    s.waitMs(2000);
    EXPECT_TRUE(!s.done() && s.sim.capture().state() == sim::CaptureModel::State::Triggered);
    s.play(cw(Arm, 5)); // as the wait loop does every 2 s
    s.waitMs(60);
    EXPECT_TRUE(s.done());
}
