// What a run delivers: trigger positions, the captured-with record, mode branches.
#include "run_rig.h"

#include <gtest/gtest.h>

using runtest::Rig;

class TriggeredRun : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(TriggeredRun, CrossingLandsAtThePretriggerIndex) {
    const int slope = std::get<0>(GetParam());
    const int preTrig = std::get<1>(GetParam());
    sim::Options o;
    o.inputB = o.inputA; // the same sine on both inputs
    Rig r(o);
    r.s.TrigMode = 1;
    r.s.TrigSlope = slope;
    r.s.PreTrig = preTrig;
    r.s.TrigLevel = 1280; // code 128
    r.w.GOBUTTON_Click(); // the first capture still reads with the start-up count
    r.w.GOBUTTON_Click();
    const long pre = preTrig == 0 ? 0 : preTrig == 1 ? 10 : 100;
    ASSERT_EQ(r.s.PreTrigCount, pre);
    ASSERT_EQ(r.s.ReadCount, 4096 - pre);
    const auto& a = r.s.ChanABuffer;
    // The sample before the trigger: in the buffer, or just before its window in memory.
    const int before = pre > 0 ? a[pre - 1] : 10 * r.sim.memoryA()[32768 - r.s.ReadCount - 1];
    if (slope > 0) {
        EXPECT_GE(a[pre], 1280);
        EXPECT_LT(before, 1280);
    } else {
        EXPECT_LT(a[pre], 1280);
        EXPECT_GE(before, 1280);
    }
    // Channel B's window ends `pre` samples after A's.
    for (int i = 0; i < r.s.ReadCount - pre; ++i)
        ASSERT_NEAR(r.s.ChanBBuffer[i], a[i + pre], 10) << i;
    EXPECT_EQ(r.arms.size(), 2u);
    EXPECT_TRUE(r.sim.misuse().empty());
}

INSTANTIATE_TEST_SUITE_P(SlopesAndPretriggers, TriggeredRun,
                         ::testing::Combine(::testing::Values(1, -1), ::testing::Values(0, 1, 2)));

// The same fast sine on both inputs: each memory is read from its own start, so B[i] is
// A[i + offset], the offset being the pretrigger (in SCOPE+GEN -1, at its fastest -4).
TEST(ReadOutOffset, BFollowsAByTheReadOutRules) {
    const struct {
        const char* name;
        int mode, preTrig, genFreq, offset;
    } rows[] = {{"pretrigger off", 0, 0, 0, 0},
                {"pretrigger 10", 0, 1, 0, 10},
                {"pretrigger 100", 0, 2, 0, 100},
                {"SCOPE+GEN", 2, 0, 1000, -1},
                {"SCOPE+GEN at the fastest rate", 2, 0, 50000, -4}};
    for (const auto& row : rows) {
        sim::Options o;
        o.inputA.freq = 37000;
        o.inputB = o.inputA;
        o.noise = 0;
        Rig r(o);
        r.s.RangeSelA = r.s.RangeSelB = 0;
        r.s.PreTrig = row.preTrig;
        for (int m = 0; m < row.mode; ++m)
            r.w.SCOPEMODE_Click();
        r.s.GenFreq = row.genFreq;
        r.s.GenDirty = 1;
        r.w.GOBUTTON_Click(); // the first capture still reads with the start-up count
        r.w.GOBUTTON_Click();
        ASSERT_EQ(r.s.CaptureStatus, 1) << row.name;
        const long n = row.mode == 2 ? r.s.GenCount : r.s.ReadCount;
        for (long i = std::max(0, -row.offset); i < n - std::max(0, row.offset); ++i)
            ASSERT_EQ(r.s.ChanBBuffer[i], r.s.ChanABuffer[i + row.offset]) << row.name << " " << i;
    }
}

TEST(RunRecord, CapturedWithSettingsAreCopied) {
    Rig r;
    r.s.RangeA = 2;
    r.s.RangeB = 1;
    r.w.SRATEN_MouseDown(); // rate index 2
    r.w.SSIZEN_MouseDown(); // size index 0
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.s.dataRangeA(), 2);
    EXPECT_EQ(r.s.DataRangeB, 1);
    EXPECT_EQ(r.s.dataRateA(), 2);
    EXPECT_EQ(r.s.DataRateB, 2);
    EXPECT_EQ(r.s.DataSizeA.num(), 0);
    EXPECT_EQ(r.s.DataSizeB, 0);
    EXPECT_EQ(r.instantRates, std::vector<int>{3});
    EXPECT_EQ(r.s.ReadCount, 2047);
}

TEST(RunRecord, RateChangedDuringACaptureDoesNotRelabelIt) {
    Rig r;
    r.s.SampleRateIndex = 0; // 2 kHz: 2047 samples take about 1 s
    r.s.SampleSizeIndex = 0;
    r.w.DSAMPLE();
    r.after(500, [&] { r.w.SRATEP_MouseDown(); });
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.instantRates, std::vector<int>{5});
    EXPECT_EQ(r.s.CaptureStatus, 1);
    EXPECT_EQ(r.s.dataRateA(), 0); // captured at 2 kHz
    EXPECT_EQ(r.s.DataRateB, 0);
    EXPECT_EQ(r.s.rateA(), 1); // the next capture uses the new rate
}

TEST(RunRecord, RateButtonDuringRepeatTakesEffectAtTheNextCapture) {
    Rig r;
    r.s.RunRepeat = 1;
    r.after(150, [&] { r.w.SRATEP_MouseDown(); });
    r.after(400, [&] { r.w.GOBUTTON_Click(); });
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.instantRates, (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(r.s.dataRateA(), 4);
}

TEST(RunRecord, FftModeKeepsSaveCopiesOfTheChannelsThatAreOn) {
    Rig r;
    r.s.ScopeMode = 3;
    r.s.ChanBOn = 0;
    r.fill(r.s.SaveB, 5);
    const auto saveB = r.s.SaveB;
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.s.CaptureStatus, 1);
    EXPECT_TRUE(r.w.TMODEBUTTON->isEnabled());
    EXPECT_TRUE(r.w.SRATEP->isEnabled());
    EXPECT_EQ(r.s.SaveB, saveB);
    // The redraw turned A into its spectrum; leaving FFT brings back the saved samples.
    EXPECT_EQ(r.s.FFTDoneA.num(), 1);
    EXPECT_EQ(r.s.ChanABuffer[0], 0);
    const auto saveA = r.s.SaveA;
    r.w.FFTbutton_Click();
    EXPECT_EQ(r.s.ChanABuffer, saveA);
    EXPECT_NE(saveA[0], 0);
}

TEST(RunRecord, DisplayReturnsToTheStartUnlessInDelayMode) {
    for (int delay : {0, 1}) {
        Rig r;
        r.s.DelayMode = int16_t(delay);
        r.w.HScroll1->setValue(500);
        r.w.GOBUTTON_Click();
        EXPECT_EQ(r.w.HScroll1->value(), delay ? 500 : 0);
    }
}

TEST(RunModes, GeneratorModeRunsOnceAtTheGeneratorRate) {
    struct Case {
        int genMode, rateCode;
    } cases[] = {{0, 1}, {1, 5}, {2, 4}}; // GenRateIndex 4, SweepRateIndex 0, CustomRateIndex 1
    for (const Case& c : cases) {
        Rig r;
        r.s.ScopeMode = 1;
        r.s.GenMode = c.genMode;
        r.s.GenLast = 4096.5f;
        r.s.GenDirty = 0; // the wave is current: no rebuild before the run
        // The output loop only processes events until STOP.
        r.h.clock().atDoEvents(3, [&] { r.s.RunState = 0; });
        r.w.GOBUTTON_Click();
        EXPECT_EQ(r.s.rateCode(), c.rateCode) << "GenMode " << c.genMode;
        EXPECT_EQ(r.s.GenCount, 4096); // 4096.5 to the even neighbour
        EXPECT_TRUE(r.instantRates.empty());
        EXPECT_EQ(r.s.RunState.num(), 0);
        EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");
        EXPECT_TRUE(r.w.GENMODEBUTTON->isEnabled());
        EXPECT_FALSE(r.w.Command3->isEnabled()); // the range groups stay locked
        EXPECT_TRUE(r.w.SRATEP->isEnabled());
        EXPECT_TRUE(r.w.SCOPEMODE->isEnabled());
    }
}

TEST(RunModes, ScopeGenLocksAllButSingleRepeat) {
    Rig r;
    r.s.ScopeMode = 2;
    bool reset = false, mode = true, rate = true, range = true;
    r.after(50, [&] {
        reset = r.w.TRESETBUTTON->isEnabled();
        mode = r.w.TMODEBUTTON->isEnabled();
        rate = r.w.SRATEP->isEnabled();
        range = r.w.Command3->isEnabled();
    });
    r.after(5000, [&] { r.s.RunState = 0; });
    r.w.GOBUTTON_Click();
    EXPECT_TRUE(reset);
    EXPECT_FALSE(mode || rate || range);
    EXPECT_TRUE(r.w.Command3->isEnabled());
    EXPECT_TRUE(r.w.GENMODEBUTTON->isEnabled());
    EXPECT_FALSE(
        r.w.TMODEBUTTON->isEnabled()); // the trigger panel stays locked outside SCOPE and FFT
    EXPECT_EQ(r.s.rateCode(), 1);
}
