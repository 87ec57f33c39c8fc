// Auto-set on the simulated instrument from the start-up settings: the settings it
// chooses for each kind of input, the fundamental it finds, the periods then on screen,
// and that it is done within 2 s.
#include "analysis/autoset.h"
#include "analysis/record.h"
#include "instrument/instrument.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;
using Kind = sim::InputSpec::Kind;

TEST(Autoset, SettingsAndPeriodsOnScreenForEachInput) {
    const sim::InputSpec off{Kind::Dc, 0, 0, 0};
    // Range: 0 the low range (1.2 V, 12 V with the x10 probe), 1 the high one; -1 a
    // channel that is off. Trigger: 0 instant, 'A' or 'B' rising at the middle of the
    // signal, 0 V but for the square. periods: on screen.
    // clang-format off
    const struct { const char* name; sim::InputSpec a, b; bool x10, bOn; int rangeA, rangeB;
                   int rate, size; long window; int trigger; int ymagA; double periods; } rows[] = {
        {"10 Hz, 1 V", {Kind::Sine, 10, 1}, off, false, false, 0, -1, 1, 2, 6000, 'A', 0, 3},
        {"1 kHz, 1 V, B 0.5 V", {Kind::Sine, 1000, 1}, {Kind::Sine, 1000, .5}, false, true, 0, 0,
         3, 2, 6000, 'A', 0, 3},
        {"100 kHz, 5 V", {Kind::Sine, 1e5, 5}, off, false, false, 1, -1, 4, 0, 600, 'A', 1, 3},
        {"5 MHz: the narrowest window", {Kind::Sine, 5e6, 1}, off, false, false, 0, -1, 4, 0, 256,
         'A', 0, 64},
        {"1 kHz, 20 mV", {Kind::Sine, 1000, .02}, off, false, false, 0, -1, 3, 2, 6000, 'A', 2, 3},
        {"1 kHz, 50 V with the x10 probe", {Kind::Sine, 1000, 5}, off, true, false, 1, -1, 3, 2,
         6000, 'A', 1, 3},
        {"square 20 kHz, 3 V around 2 V: the level at 2 V", {Kind::Square, 2e4, 3, 2}, off, false,
         false, 1, -1, 4, 1, 3000, 'A', 1, 3},
        {"rc-square 1 kHz", {Kind::RcSquare, 1000, 1, 0, 1000}, off, false, false, 0, -1, 3, 2,
         6000, 'A', 0, 3},
        {"DC 0.5 V", {Kind::Dc, 0, 0, .5}, off, false, false, 0, -1, 3, 1, 512, 0, 1, 0},
        {"off", off, off, false, false, 0, -1, 3, 1, 512, 0, 2, 0},
        {"A 0 V, B 2 kHz, 8 V", off, {Kind::Sine, 2000, 8}, false, true, 0, 1, 3, 1, 3000, 'B', 2,
         3},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.inputA = row.a;
        o.inputB = row.b;
        Harness h(o);
        Instrument inst;
        ASSERT_TRUE(inst.startUp());
        inst.setProbe(Instrument::Channel::A, row.x10);
        inst.setChannelOn(Instrument::Channel::B, row.bOn);
        const int64_t t0 = h.clock().nowMs();
        const analysis::AutosetResult r = analysis::autoset(inst);
        const int64_t took = h.clock().nowMs() - t0;
        const InstrumentState& s = inst.state();
        ASSERT_TRUE(r.done) << r.message;
        EXPECT_EQ(r.periodic, row.periods > 0) << r.message;
        EXPECT_LE(took, 2000);
        EXPECT_EQ(s.rangeSelA(), row.rangeA);
        EXPECT_EQ(row.rangeB < 0 ? -1 : s.rangeSelB(), row.rangeB);
        EXPECT_EQ(s.sampleRateIndex(), row.rate);
        EXPECT_EQ(s.SampleSizeIndex, row.size);
        EXPECT_NEAR(s.xMagnify(), row.window, row.window / 100.0);
        EXPECT_EQ(s.trigMode(), row.trigger ? 1 : 0);
        EXPECT_EQ(!row.trigger ? 0 : s.trigSourceB() ? int('B') : int('A'), row.trigger);
        // 2 V on the 12 V range is 213 units above the middle; noise moves it by one step.
        EXPECT_NEAR(s.trigLevel(), row.trigger && row.a.offset ? 1280 - 213 : 1280, 10);
        EXPECT_EQ(s.yMagA(), row.ymagA);
        EXPECT_TRUE(s.unitsOn() && s.dcA() && s.showA());
        // The fundamental found is the input's; the display window holds the periods asked for.
        const double f = r.reference == 'B' ? row.b.freq : row.a.freq;
        EXPECT_NEAR(r.frequencyHz, row.periods > 0 ? f : 0, f * 0.01);
        const double rate = analysis::sampleRateHz(s.sampleRateIndex(), s.RateFactor);
        EXPECT_NEAR(f * s.xMagnify() / rate, row.periods, row.periods * 0.02);
    }
}
