// The generator panel's texts and the fields it brings in line, and the CUSTOM
// amplitude ratios, without widgets.
#include "generator/panel_logic.h"

#include <gtest/gtest.h>

namespace {
const std::string B13(13, ' ');
} // namespace

TEST(PanelTexts, EveryModeAndSetting) {
    // texts[5]: mode, amplitude, label, freq, secondary; "" is not checked
    // clang-format off
    const struct { const char* name; int mode, style, startIndex, ratio; std::string texts[5];
                   int ampDiv = 1, duty = 50, ampRatio = 0; float rf = 1; } rows[] = {
        {"normal", 0, 0, 5, 0, {"NORMAL ", "2V p-p", "Frequency (Hz)", " 50000", B13}},
        {"normal square 1 V", 0, 3, 5, 0, {"NORMAL ", "1V p-p", "", "", "36 %  "}, 2, 36},
        {"sweep start-up", 1, 0, 5, 0, {"SWEEP   ", "", "Start Freq (Hz) ", " 1000", "2      "}},
        {"sweep X20 on 400 steps", 1, 0, 8, 3, {"", "", "", "", "20      "}},
        {"sweep X20 on 200 steps: X10", 1, 0, 9, 3, {"", "", "", "", "10      "}},
        {"sweep 30 MHz", 1, 0, 1, 0, {"", "", "", " 15", ""}, 1, 50, 0, 1.5f},
        {"sweep 30 MHz lowest", 1, 0, 0, 0, {"", "", "", "  7.5", ""}, 1, 50, 0, 1.5f},
        {"custom x1", 2, 4, 5, 0, {"CUSTOM ", B13, "   Step Freq       ", " 20 KHz", "x 1   "}},
        {"custom MAX", 2, 4, 5, 0, {"", "", "", "", "MAX   "}, 1, 50, 3},
    };
    // clang-format on
    for (const auto& r : rows) {
        InstrumentState s;
        s.GenMode = r.mode, s.GenStyle = r.style, s.AmpDiv = int16_t(r.ampDiv);
        s.DutyCycle = r.duty, s.SweepStartIndex = r.startIndex, s.SweepRatio = r.ratio;
        s.AmpRatio = r.ampRatio, s.RateFactor = r.rf;
        const gen::PanelTexts t = gen::applyPanelState(s);
        const std::string got[5] = {t.mode, t.amplitude, t.label, t.freq, t.secondary};
        for (int k = 0; k < 5; ++k)
            EXPECT_TRUE(r.texts[k].empty() || got[k] == r.texts[k]) << r.name << ": " << got[k];
        EXPECT_TRUE(r.startIndex != 9 || s.sweepRatio() == 2) << "X20 is kept as X10";
    }
    // The start table: 5 Hz .. 100 kHz, each the step clock over a 400 or 200 step base.
    const double nominal[10] = {5, 10, 50, 100, 500, 1000, 5000, 10000, 50000, 100000};
    InstrumentState s;
    s.GenMode = 1;
    for (int i = 0; i < 10; ++i) {
        s.SweepStartIndex = i;
        gen::applyPanelState(s);
        EXPECT_TRUE(s.sweepStartFreq() == nominal[i] && s.SweepHalf.num() == i % 2 &&
                    s.sweepRateIndex() == i / 2)
            << i;
    }
    EXPECT_EQ(gen::customRateText(2, 1.5f) + "|" + gen::customRateText(5, 1.0f), " 300KHz|");
}

TEST(CustomAmplitude, RatiosScaleACopyAroundTheMidLevel) {
    InstrumentState s;
    s.GenMode = 2;
    s.GenLast = 3;
    const int16_t wave[4] = {1000, 1500, 2000, 1001};
    std::copy(wave, wave + 4, s.CustomWave.begin());
    s.GenWave[4] = 4444;
    const struct {
        int ratio;
        int16_t out[4];
    } rows[] = {{1, {500, 1500, 2500, 502}},
                {2, {-1000, 1500, 4000, -995}}, // no clipping either way
                {3, {0, 1275, 2550, 3}},        // MAX: minimum to 0, times 2550 / span
                {0, {1000, 1500, 2000, 1001}}}; // back to x1: the unscaled wave
    for (const auto& r : rows) {
        s.AmpRatio = r.ratio;
        gen::applyPanelState(s);
        EXPECT_TRUE(std::equal(r.out, r.out + 4, s.GenWave.begin())) << r.ratio;
        EXPECT_EQ(s.GenWave[4], 4444) << "beyond GenLast nothing changes";
    }
    EXPECT_TRUE(s.CustomMax.num() == 2000 && s.CustomMin.num() == 1000 && s.CustomMid == 1500);
    s.GenLast = 1;
    s.CustomWave[0] = 1001;
    for (int16_t second : {1002, 1004}) { // 1001.5 and 1002.5 round to even
        s.CustomWave[1] = second;
        gen::applyPanelState(s);
        EXPECT_EQ(s.CustomMid, 1002) << second;
    }
    // MAX of a flat wave leaves the wave and the factor alone.
    std::fill(s.CustomWave.begin(), s.CustomWave.begin() + 10, int16_t(700));
    std::fill(s.GenWave.begin(), s.GenWave.begin() + 10, int16_t(123));
    s.GenLast = 9;
    s.AmpRatio = 3;
    s.AmpFactor = 7;
    gen::applyPanelState(s);
    EXPECT_TRUE(s.AmpFactor == 7 && std::all_of(s.GenWave.begin(), s.GenWave.begin() + 10,
                                                [](int16_t v) { return v == 123; }));
}
