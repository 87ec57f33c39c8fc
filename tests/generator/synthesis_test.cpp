#include "generator/synthesis.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::Harness;

namespace {

std::vector<int16_t> buffer() {
    return std::vector<int16_t>(32768, -7);
}

// Start indexes of the cycles of a ramp table: a ramp starts each cycle at 0 and only
// rises within it.
std::vector<long> cycleStarts(const std::vector<int16_t>& w, long last) {
    std::vector<long> starts;
    for (long i = 0; i < last; ++i)
        if (w[i] == 0) starts.push_back(i);
    return starts;
}

} // namespace

TEST(Settle, WorkedFrequencies) {
    struct Case {
        long in, out;
        int index;
    };
    for (Case c : {Case{1234, 1235, 2}, Case{150000, 150376, 4}, Case{300000, 298507, 4},
                   Case{5, 5, 0}, Case{20, 20, 1}, Case{1000, 1000, 2}, Case{500000, 500000, 4},
                   Case{19, 19, 0}, Case{200, 200, 2}}) {
        gen::Settled f = gen::settleFrequency(c.in, 1.0f);
        EXPECT_EQ(f.freq, c.out) << c.in;
        EXPECT_EQ(f.rateIndex, c.index) << c.in;
    }
    // Out-of-range settings (a hand-made profile) are held to 5..500000 Hz.
    EXPECT_EQ(gen::settleFrequency(0, 1.0f).freq, 5);
    EXPECT_EQ(gen::settleFrequency(-40, 1.0f).freq, 5);
    EXPECT_EQ(gen::settleFrequency(2000000, 1.0f).freq, 500000);
}

TEST(Settle, EveryWholeFrequencySettlesWithinFourRoundsToAFixedPoint) {
    for (float rf : {1.0f, 1.5f}) {
        int worst = 0;
        for (long f = 5; f <= 500000; f += (f < 30000 ? 1 : 7)) {
            const gen::Settled s = gen::settleFrequency(f, rf);
            worst = std::max(worst, s.rounds);
            ASSERT_EQ(gen::settleFrequency(s.freq, rf).rounds, 1) << f;
            ASSERT_NEAR(s.points, gen::stepClock(s.rateIndex, rf) / s.freq, 1e-9);
        }
        EXPECT_LE(worst, 4) << rf;
    }
}

TEST(Settle, CycleCountsFollowTheDecadeHalves) {
    for (long f : {10L, 19L, 100L, 199L, 1000L, 1999L, 10000L, 19999L, 100000L, 500000L})
        EXPECT_EQ(gen::cyclesFor(f), 40) << f;
    for (long f : {5L, 9L, 20L, 99L, 200L, 999L, 2000L, 9999L, 20000L, 99999L})
        EXPECT_EQ(gen::cyclesFor(f), 20) << f;
}

TEST(NormalTable, FiveHertzSine) {
    auto w = buffer();
    const gen::Settled f = gen::settleFrequency(5, 1.0f);
    EXPECT_EQ(f.rateIndex, 0);
    const long last = gen::synthNormal(w, gen::Sine, f, 1, 0);
    gen::sineTail(w, last, 1);
    EXPECT_EQ(last, 8000); // 20 cycles of 400 points
    EXPECT_EQ(w[0], 1275);
    EXPECT_EQ(w[100], 2550);
    EXPECT_EQ(w[300], 0);
    for (long i = 0; i < 7600; ++i)
        ASSERT_EQ(w[i], w[i + 400]) << i;
    for (long i = 8000; i < 32768; ++i)
        ASSERT_EQ(w[i], 1275) << i;
}

TEST(NormalTable, PointsPerCycle) {
    auto w = buffer();
    // 9 Hz: P = 222.2, so 223 points per cycle, one more than the 222 steps of settling.
    long last = gen::synthNormal(w, gen::Ramp, gen::settleFrequency(9, 1.0f), 1, 0);
    auto starts = cycleStarts(w, last);
    ASSERT_EQ(starts.size(), 20u);
    for (size_t k = 1; k < starts.size(); ++k)
        EXPECT_EQ(starts[k] - starts[k - 1], 223);
    EXPECT_EQ(last, 20 * 223);
    // 10 Hz: 40 cycles of 200.
    last = gen::synthNormal(w, gen::Ramp, gen::settleFrequency(10, 1.0f), 1, 0);
    EXPECT_EQ(cycleStarts(w, last).size(), 40u);
    EXPECT_EQ(last, 8000);
    // The largest tables: 20 Hz, 20 cycles of 1000 (20 MHz model) or 1500 (30 MHz) points.
    EXPECT_EQ(gen::synthNormal(w, gen::Sine, gen::settleFrequency(20, 1.0f), 1, 0), 20000);
    EXPECT_EQ(gen::synthNormal(w, gen::Sine, gen::settleFrequency(20, 1.5f), 1, 0), 30000);
}

TEST(NormalTable, SquareDutyCycleAndClosingPoints) {
    auto w = buffer();
    const gen::Settled f = gen::settleFrequency(5, 1.0f); // 400 points per cycle
    const double angle = gen::squareSwitchAngle(20);
    EXPECT_DOUBLE_EQ(angle, 288);
    long last = gen::synthNormal(w, gen::Square, f, 1, angle);
    for (long c = 0; c < 20; ++c)
        for (long i = 0; i < 400; ++i)
            ASSERT_EQ(w[c * 400 + i], i < 320 ? 0 : 2550) << c << " " << i;
    EXPECT_EQ(w[last], 0);
    last = gen::synthNormal(w, gen::Square, f, 2, angle);
    EXPECT_EQ(w[399], 1275);

    // Triangle at half amplitude: peak 1275, closing point 1280 undivided.
    last = gen::synthNormal(w, gen::Triangle, f, 2, 0);
    EXPECT_EQ(*std::max_element(w.begin(), w.begin() + last), 1275);
    EXPECT_EQ(*std::min_element(w.begin(), w.begin() + last), 0);
    EXPECT_EQ(w[0], 638); // 1275 / 2 = 637.5, rounded to even
    EXPECT_EQ(w[last], 1280);
    EXPECT_EQ(w[last + 1], 0);

    last = gen::synthNormal(w, gen::Ramp, f, 1, 0);
    EXPECT_EQ(w[0], 0);
    EXPECT_EQ(w[399], 2544); // 2550 x 359.1 / 360
    EXPECT_EQ(w[last], 0);
}

TEST(NormalTable, SineTailAtHalfAmplitudeRoundsToEven) {
    auto w = buffer();
    gen::sineTail(w, 32000, 2);
    EXPECT_EQ(w[31999], -7);
    EXPECT_EQ(w[32000], 638);
    EXPECT_EQ(w[32767], 638);
}

TEST(SweepTable, EveryRowFirstAndLastCycleAndTotal) {
    struct Row {
        int half, ratio, first, end;
        long minTotal, maxTotal;
        size_t minCycles, maxCycles;
    };
    for (Row r :
         {Row{0, 0, 398, 200, 30000, 31500, 100, 202}, Row{0, 1, 396, 80, 30000, 31500, 100, 202},
          Row{0, 2, 396, 40, 30000, 31500, 100, 202},
          Row{0, 3, 396, 20, 30000, 31500, 202, 202}, // X20 gives 202 cycles
          Row{1, 0, 199, 100, 14900, 20000, 50, 200}, Row{1, 1, 199, 40, 14900, 20000, 50, 200},
          Row{1, 2, 199, 20, 14900, 20000, 50, 200}}) {
        auto w = buffer();
        const long last = gen::synthSweep(w, gen::Ramp, r.half, r.ratio, 1);
        const auto starts = cycleStarts(w, last);
        const std::string at = std::to_string(r.half) + "/" + std::to_string(r.ratio);
        ASSERT_GE(starts.size(), 2u) << at;
        EXPECT_EQ(starts[0], 0) << at;
        EXPECT_EQ(starts[1] - starts[0], r.first) << at;
        EXPECT_EQ(last - starts.back(), r.end) << at;
        EXPECT_GE(last, r.minTotal) << at;
        EXPECT_LE(last, r.maxTotal) << at;
        EXPECT_LT(last, 32768) << at;
        EXPECT_GE(starts.size(), r.minCycles) << at;
        EXPECT_LE(starts.size(), r.maxCycles) << at;
        // Each cycle is shorter than the one before by Int(P / K + c) steps.
        const gen::SweepRow row = gen::sweepRow(r.half, r.ratio);
        long prev = row.base;
        for (size_t k = 0; k < starts.size(); ++k) {
            const long len = (k + 1 < starts.size() ? starts[k + 1] : last) - starts[k];
            ASSERT_EQ(len, prev - long(std::floor(double(prev) / row.k + row.c))) << at << " " << k;
            prev = len;
        }
    }
}

TEST(SweepTable, SquareIsAlwaysHalfAndTriangleClosesAtMid) {
    auto w = buffer();
    long last = gen::synthSweep(w, gen::Square, 1, 0, 1);
    // First cycle of 199 points: theta < 180 for the first 100 of them.
    for (long i = 0; i < 199; ++i)
        ASSERT_EQ(w[i], i < 100 ? 0 : 2550) << i;
    EXPECT_EQ(w[last], 0);
    last = gen::synthSweep(w, gen::Triangle, 0, 2, 1);
    EXPECT_EQ(w[last], 1280);
    EXPECT_EQ(w[396], 1275); // the next cycle overwrote the first cycle's closing point
    // X20 from a 200-step base does not exist: it plays as X10.
    auto x10 = buffer();
    EXPECT_EQ(gen::synthSweep(w, gen::Sine, 1, 3, 1), gen::synthSweep(x10, gen::Sine, 1, 2, 1));
    EXPECT_EQ(w, x10);
}

TEST(Update, NormalSettlesTheFrequencyAndMarksTheWaveCurrent) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.GenMode = 0;
    s.GenStyle = 0;
    s.GenFreq = 1234;
    s.GenDirty = 1;
    w.GENUPDATEBUTTON_Click();
    EXPECT_EQ(s.genFreq(), 1235);
    EXPECT_EQ(s.genRateIndex(), 2);
    EXPECT_EQ(s.GenLast, 40 * 162);
    EXPECT_EQ(s.GenWave[32767], 1275);
    EXPECT_EQ(s.GenDirty, 0);
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), plat::RGB(128, 255, 128));

    // Square: the switch angle is kept in the record.
    s.GenStyle = 3;
    s.DutyCycle = 20;
    s.GenFreq = 5;
    w.GENUPDATEBUTTON_Click();
    EXPECT_EQ(s.SquareSwitchAngle.num(), 288);
    EXPECT_EQ(s.GenWave[319], 0);
    EXPECT_EQ(s.GenWave[320], 2550);
    EXPECT_EQ(s.GenWave[8001], 0); // no sine tail

    // Sweep: rate from the panel, table from the ratio.
    s.GenMode = 1;
    s.GenStyle = 2;
    s.SweepHalf = 1;
    s.SweepRatio = 2;
    w.GENUPDATEBUTTON_Click();
    EXPECT_EQ(s.GenLast, 19710);
}

TEST(Update, HostileSettingsStayInsideTheBuffer) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.GenMode = 0;
    s.GenFreq = 0; // would divide by zero
    s.AmpDiv = 0;  // likewise
    w.GENUPDATEBUTTON_Click();
    EXPECT_EQ(s.genFreq(), 5);
    EXPECT_EQ(s.GenLast, 8000);
    EXPECT_EQ(s.GenWave[100], 2550);
    s.GenFreq = 1;
    w.GENUPDATEBUTTON_Click(); // 20 cycles of 2000 points would not fit
    EXPECT_LE(s.GenLast, 32767);
    s.GenMode = 1;
    s.SweepHalf = 7;
    s.SweepRatio = -3;
    w.GENUPDATEBUTTON_Click();
    EXPECT_LT(s.GenLast, 32768);
}

TEST(Update, CustomOpensTheLoadWindowAndComputesNothing) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.ScopeMode = 1;
    s.GenMode = 2;
    s.GenStyle = 4;
    s.GenDirty = 1;
    w.GENUPDATEBACK->setBackColor(plat::RGB(255, 0, 0));
    std::fill(s.GenWave.begin(), s.GenWave.end(), int16_t(333));
    std::fill(s.CustomWave.begin(), s.CustomWave.end(), int16_t(333));
    s.GenLast = 99;
    bool windowShown = false;
    h.clock().atDoEvents(3, [&] {
        windowShown = w.fileloadwindow->isVisibleTo(&w) && w.keepcustombutton->isVisibleTo(&w);
        w.loadexitbutton_Click();
    });
    w.GENUPDATEBUTTON_Click();
    EXPECT_TRUE(windowShown);
    EXPECT_EQ(s.LoadFromButton, 0);
    EXPECT_EQ(s.GenLast, 99);
    EXPECT_EQ(s.GenWave[0], 333);
    EXPECT_EQ(s.GenWave[32767], 333);
    // Left without a load: the frame stays red.
    EXPECT_EQ(s.GenDirty, 1);
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), plat::RGB(255, 0, 0));

    // "Keep existing data" counts as a load: the wave is current.
    h.clock().atDoEvents(3, [&] { w.keepcustombutton_Click(); });
    w.GENUPDATEBUTTON_Click();
    EXPECT_EQ(s.LoadDone.num(), 1);
    EXPECT_EQ(s.GenDirty, 0);
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), plat::RGB(128, 255, 128));
    EXPECT_EQ(s.GenWave[0], 333);
}

TEST(Update, CopyOfACapturedChannelThroughTheLoadWindow) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.SampleSizeIndex = 1; // 4K
    s.SampleRateIndex = 3;
    w.SCOPEMODE_Click();
    ASSERT_EQ(s.CapturedSizeIndex, 1);
    s.GenMode = 2;
    s.GenStyle = 4;
    s.CustomRateIndex = 0;
    for (int i = 0; i < 32768; ++i)
        s.ChanABuffer[i] = int16_t(10 * (i % 256));
    h.clock().atDoEvents(3, [&] { w.CopyAbutton_Click(); });
    w.GENUPDATEBUTTON_Click();
    EXPECT_EQ(s.LoadDone.num(), 1);
    EXPECT_EQ(s.GenLast, 4095);
    EXPECT_EQ(s.customRateIndex(), 3); // replays at the capture's rate
    EXPECT_EQ(s.CustomWave[255], 2550);
    EXPECT_EQ(s.GenWave[4095], 2550);
    EXPECT_EQ(s.GenDirty, 0);
}
