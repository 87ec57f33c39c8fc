#include "generator/panel_logic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const std::string Blank13(13, ' ');
} // namespace

TEST(PanelTexts, NormalMode) {
    InstrumentState s;
    gen::PanelTexts t = gen::applyPanelState(s);
    EXPECT_EQ(t.mode, "NORMAL ");
    EXPECT_EQ(t.amplitude, "2V p-p");
    EXPECT_EQ(t.label, "Frequency (Hz)");
    EXPECT_EQ(t.freq, " 50000");
    EXPECT_EQ(t.secondary, Blank13);
    s.AmpDiv = 2;
    s.GenStyle = 3;
    s.DutyCycle = 36;
    t = gen::applyPanelState(s);
    EXPECT_EQ(t.amplitude, "1V p-p");
    EXPECT_EQ(t.secondary, "36 %  ");
}

TEST(PanelTexts, SweepModeFollowsTheStartTable) {
    InstrumentState s;
    s.GenMode = 1;
    gen::PanelTexts t = gen::applyPanelState(s); // start-up: index 5
    EXPECT_EQ(t.mode, "SWEEP   ");
    EXPECT_EQ(t.label, "Start Freq (Hz) ");
    EXPECT_EQ(t.freq, " 1000");
    EXPECT_EQ(s.SweepHalf.num(), 1);
    EXPECT_EQ(s.sweepRateIndex(), 2);
    EXPECT_EQ(s.sweepFactor(), 2);
    EXPECT_EQ(t.secondary, "2      ");

    const double nominal[10] = {5, 10, 50, 100, 500, 1000, 5000, 10000, 50000, 100000};
    for (int i = 0; i < 10; ++i) {
        s.SweepStartIndex = i;
        t = gen::applyPanelState(s);
        EXPECT_EQ(s.sweepStartFreq(), nominal[i]);
        EXPECT_EQ(s.SweepHalf.num(), i % 2);
        EXPECT_EQ(s.sweepRateIndex(), i / 2);
        // Each start is the step clock over the first-cycle base.
        EXPECT_DOUBLE_EQ(nominal[i] * (i % 2 ? 200 : 400), 2000 * std::pow(10, i / 2));
    }
    s.SweepStartIndex = 0;
    EXPECT_EQ(gen::applyPanelState(s).freq, "  5");

    // X20 then a 200-step start: shown and kept as X10.
    s.SweepStartIndex = 8;
    s.SweepRatio = 3;
    t = gen::applyPanelState(s);
    EXPECT_EQ(t.secondary, "20      ");
    s.SweepStartIndex = 9;
    t = gen::applyPanelState(s);
    EXPECT_EQ(t.secondary, "10      ");
    EXPECT_EQ(s.sweepRatio(), 2);
    EXPECT_EQ(s.sweepFactor(), 10);

    // 30 MHz model: starts times 1.5.
    s.RateFactor = 1.5f;
    s.SweepStartIndex = 1;
    EXPECT_EQ(gen::applyPanelState(s).freq, " 15");
    s.SweepStartIndex = 0;
    EXPECT_EQ(gen::applyPanelState(s).freq, "  7.5");
}

TEST(PanelTexts, CustomStepRateAndAmplitudeRatio) {
    const char* rates20[5] = {"  2  KHz", " 20 KHz", " 200KHz", "  2  MHz", " 20 MHz"};
    const char* rates30[5] = {"  3  KHz", " 30 KHz", " 300KHz", "  3  MHz", " 30 MHz"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(gen::customRateText(i, 1.0f), rates20[i]);
        EXPECT_EQ(gen::customRateText(i, 1.5f), rates30[i]);
    }
    EXPECT_EQ(gen::customRateText(5, 1.0f), "");
    InstrumentState s;
    s.GenMode = 2;
    s.GenStyle = 4;
    const char* ratios[4] = {"x 1   ", "x 2   ", "x 5   ", "MAX   "};
    for (int r = 0; r < 4; ++r) {
        s.AmpRatio = r;
        gen::PanelTexts t = gen::applyPanelState(s);
        EXPECT_EQ(t.mode, "CUSTOM ");
        EXPECT_EQ(t.amplitude, Blank13);
        EXPECT_EQ(t.label, "   Step Freq       ");
        EXPECT_EQ(t.secondary, ratios[r]);
        EXPECT_EQ(t.freq, " 20 KHz");
    }
}

TEST(CustomAmplitude, RatiosWorkOnACopy) {
    InstrumentState s;
    s.GenMode = 2;
    s.GenLast = 3;
    const int16_t wave[4] = {1000, 1500, 2000, 1001};
    std::copy(wave, wave + 4, s.CustomWave.begin());
    s.GenWave[4] = 4444;

    s.AmpRatio = 1;
    gen::applyPanelState(s);
    EXPECT_EQ(s.CustomMax.num(), 2000);
    EXPECT_EQ(s.CustomMin.num(), 1000);
    EXPECT_EQ(s.CustomMid, 1500);
    EXPECT_EQ(s.GenWave[0], 500);
    EXPECT_EQ(s.GenWave[2], 2500);
    EXPECT_EQ(s.GenWave[3], 502);
    EXPECT_EQ(s.GenWave[4], 4444); // beyond GenLast nothing changes

    s.AmpRatio = 2; // no clipping: beyond 0..2550 both ways
    gen::applyPanelState(s);
    EXPECT_EQ(s.GenWave[0], -1000);
    EXPECT_EQ(s.GenWave[2], 4000);

    s.AmpRatio = 3;
    gen::applyPanelState(s);
    EXPECT_FLOAT_EQ(s.AmpFactor, 2.55f);
    EXPECT_EQ(s.GenWave[0], 0);
    EXPECT_EQ(s.GenWave[1], 1275);
    EXPECT_EQ(s.GenWave[2], 2550);
    EXPECT_EQ(s.GenWave[3], 3); // 1 x 2.55

    s.AmpRatio = 0; // back to x1: the unscaled wave again
    gen::applyPanelState(s);
    EXPECT_TRUE(std::equal(wave, wave + 4, s.GenWave.begin()));
}

TEST(CustomAmplitude, MidLevelRoundsHalvesToEvenAndMaxLeavesAFlatWave) {
    InstrumentState s;
    s.GenMode = 2;
    s.GenLast = 1;
    s.CustomWave[0] = 1001;
    s.CustomWave[1] = 1002;
    gen::applyPanelState(s);
    EXPECT_EQ(s.CustomMid, 1002); // 1001.5
    s.CustomWave[1] = 1004;
    gen::applyPanelState(s);
    EXPECT_EQ(s.CustomMid, 1002); // 1002.5

    std::fill(s.CustomWave.begin(), s.CustomWave.begin() + 10, int16_t(700));
    std::fill(s.GenWave.begin(), s.GenWave.begin() + 10, int16_t(123));
    s.GenLast = 9;
    s.AmpRatio = 3;
    s.AmpFactor = 7;
    gen::applyPanelState(s);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(s.GenWave[i], 123);
    EXPECT_EQ(s.AmpFactor, 7);
}
