// What the measurements read from the record (scales, rates, B's window offset), and
// their accuracy on the simulated instrument through the real capture path.
#include "analysis/record.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace analysis;
using Kind = sim::InputSpec::Kind;

TEST(Record, BWindowOffsetFollowsTheReadOutSkips) {
    struct Row {
        const char* name;
        int mode, aOn, bOn, preTrig, rateIndex;
        std::optional<long> want;
        std::string_view why;
    } rows[] = {
        {"scope, pretrigger 10: B ends 10 later", modes::Scope, 1, 1, 10, 3, 10, ""},
        {"fft, pretrigger 100", modes::FFT, 1, 1, 100, 0, 100, ""},
        {"scope+gen, fastest step: A skips 4 more", modes::ScopeGen, 1, 1, 10, 4, -4, ""},
        {"scope+gen, other steps: A skips 1 more", modes::ScopeGen, 1, 1, 100, 3, -1, ""},
        {"A off: its buffer is older", modes::Scope, 0, 1, 10, 3, {}, "A was not captured with B"},
        {"B off", modes::Scope, 1, 0, 100, 3, {}, "B was not captured with A"},
        {"generator", modes::Generator, 1, 1, 0, 3, {}, "no capture in GENERATOR mode"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const WindowOffset o = bWindowOffset(r.mode, r.aOn, r.bOn, r.preTrig, r.rateIndex);
        EXPECT_EQ(o.samples, r.want);
        EXPECT_EQ(o.reason, r.why);
    }
}

TEST(Record, ScalesAndRatesOfTheCapture) {
    EXPECT_DOUBLE_EQ(voltsPerUnit(rangeCode(0, 1)), 0.009375); // x10 probe on 1.2 V
    EXPECT_DOUBLE_EQ(fullScaleVolts(rangeCode(1, 1)), 120);
    EXPECT_DOUBLE_EQ(sampleRateHz(4, 1.5), 30e6);
    EXPECT_EQ(sampleRateHz(5, 1), 0);
    EXPECT_EQ(generatorRateIndex(2, 4, 0, 1), 1); // CUSTOM

    // The captured-with fields decide, not the buttons' present settings; in FFT mode
    // the samples are in the save copies; a trace is cut to the buffer.
    InstrumentState s; // the Range buttons are at 12 V
    s.DataRangeA = 2;
    s.DataRateB = 1;
    s.RateFactor = 1.5f;
    s.ScopeMode = modes::FFT;
    EXPECT_DOUBLE_EQ(channelScale(s, Channel::A).voltsPerUnit, 0.09375);
    EXPECT_DOUBLE_EQ(channelScale(s, Channel::B).sampleRateHz, 30e3);
    EXPECT_EQ(&samplesOf(s, Channel::B), &s.SaveB);
    const Trace t = traceOf(s, Channel::A, 32760, 100);
    EXPECT_EQ(t.data, s.SaveA.data() + 32760);
    EXPECT_EQ(t.count, 8u);
}

namespace {

// One Single capture with no noise on the 1.2 V range at 2 MHz, 4K.
std::unique_ptr<testing_support::Harness> runOnce(sim::InputSpec a, sim::InputSpec b, int preTrig) {
    sim::Options o;
    o.inputA = a;
    o.inputB = b;
    o.noise = 0;
    auto h = std::make_unique<testing_support::Harness>(o);
    WQK& w = h->window();
    w.Command3_Click(); // A and B from the 12 V range to the 1.2 V range
    w.Command6_Click();
    w.state().PreTrig = preTrig;
    w.GOBUTTON_Click();
    EXPECT_EQ(w.state().CaptureStatus, 1);
    EXPECT_EQ(channelScale(w.state(), Channel::A).sampleRateHz, 2e6);
    return h;
}

} // namespace

class SinesOnAAndB : public ::testing::TestWithParam<int> {};

TEST_P(SinesOnAAndB, FrequencyLevelsGainAndPhase) {
    auto h = runOnce({Kind::Sine, 1000, 1}, {Kind::Sine, 1000, 0.5}, GetParam());
    const InstrumentState& s = h->s();
    const size_t n = capturedCount(s);
    const Trace a = traceOf(s, Channel::A, 0, n), b = traceOf(s, Channel::B, 0, n);
    const Measurements m = measure(a);
    ASSERT_TRUE(m.frequencyHz.ok()) << m.frequencyHz.reason;
    EXPECT_NEAR(*m.frequencyHz, 1000, 1);
    EXPECT_NEAR(*m.vppV, 2.0, 2 * 0.009375); // two codes
    EXPECT_NEAR(*m.rmsV, std::sqrt(0.5), std::sqrt(0.5) * 0.01);
    const WindowOffset off = bWindowOffset(s);
    ASSERT_EQ(off.samples, s.PreTrigCount);
    const GainPhase gp = gainPhase(a, b, *m.frequencyHz, *off.samples);
    EXPECT_NEAR(*gp.gainDb, -6.02, 0.2);
    EXPECT_NEAR(*gp.phaseDeg, 0, 2);
}

INSTANTIATE_TEST_SUITE_P(Pretrigger, SinesOnAAndB, ::testing::Values(0, 1, 2));
