// The generator in the started program: frequency buttons and their repeat, mode, style
// and ratio buttons, crop and copy, UPDATE, and GENERATOR and SCOPE+GEN runs end to end
// on the simulated instrument.
#include "device/drawn_text.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using plat::RGB;
using testing_support::Harness;

namespace {
const long Red = RGB(255, 0, 0), Green = RGB(128, 255, 128);
constexpr double Tau = 1e9 / (2 * M_PI * 10000); // RC of channel B's input, in ns

int dacCode(int v) {
    return std::clamp(int(std::nearbyint(v / 10.0)), 0, 255);
}

// A shown window in the given scope mode (GENERATOR unless told) and generator mode.
struct Panel {
    Harness h;
    WQK& w;
    InstrumentState& s;
    explicit Panel(int genMode = 0, int mode = 1) : w(drawn::shown(h.window())), s(w.state()) {
        h.sim().clearMisuse();
        while (int(s.mode()) != mode)
            w.SCOPEMODE_Click();
        for (int i = 0; i < genMode; ++i)
            w.GENMODEBUTTON_MouseDown();
    }
    // Presses the button and lets it go `ms` of virtual time later.
    void hold(void (WQK::*down)(), void (WQK::*up)(), int64_t ms) {
        h.clock().at(h.clock().nowMs() + ms, [this, up] { (w.*up)(); });
        (w.*down)();
    }
};
} // namespace

TEST(FrequencyButtons, StepsRepeatsAndLimitsInNormalMode) {
    using W = WQK;
    // clang-format off
    const struct { const char* name; double from; void (WQK::*down)(); void (WQK::*up)();
                   int64_t heldMs; double to; } rows[] = {
        {"large up clamps at the top", 499700, &W::GENLFREQBUTTONP_MouseDown,
         &W::GENLFREQBUTTONP_MouseUp, 20, 500000},
        // +500 at once, then at 350 and 400 ms: 2500 below 200 kHz, 5000 above.
        {"held large up", 199000, &W::GENLFREQBUTTONP_MouseDown, &W::GENLFREQBUTTONP_MouseUp, 425,
         199500 + 2500 + 5000},
        {"small down stops at 5 Hz", 5, &W::GENSFREQBUTTONN_MouseDown, &W::GENSFREQBUTTONN_MouseUp,
         10, 5},
    };
    // clang-format on
    Panel p;
    for (const auto& r : rows) {
        p.s.GenFreq = r.from;
        p.s.GenDirty = 0;
        p.hold(r.down, r.up, r.heldMs);
        EXPECT_EQ(p.s.genFreq(), r.to) << r.name;
        EXPECT_TRUE(p.s.GenDirty == 1 &&
                    p.w.control<PictureBox>("GENUPDATEBACK")->BackColor() == Red &&
                    p.s.ButtonHeld.num() == 0)
            << r.name;
    }
}

TEST(FrequencyButtons, SweepPicksTheStartAndCustomTheStepClock) {
    Panel p(1);
    const int64_t t0 = p.h.clock().nowMs();
    p.s.GenDirty = 0;
    for (int i = 0; i < 12; ++i)
        p.w.GENLFREQBUTTONP_MouseDown();
    EXPECT_EQ(p.h.clock().nowMs(), t0); // no auto-repeat here
    // A new start needs a new table.
    EXPECT_TRUE(p.s.sweepStartIndex() == 9 && p.s.sweepStartFreq() == 100000 && p.s.GenDirty == 1);
    p.s.GenDirty = 0;
    for (int i = 0; i < 12; ++i)
        p.w.GENLFREQBUTTONN_MouseDown();
    EXPECT_TRUE(p.s.sweepStartIndex() == 0 && p.s.SweepHalf.num() == 0 && p.s.GenDirty == 1);
    const double freq = p.s.genFreq();
    p.w.GENSFREQBUTTONP_MouseDown();
    EXPECT_EQ(p.s.genFreq(), freq);

    p.w.GENMODEBUTTON_MouseDown(); // CUSTOM
    p.s.GenDirty = 0;
    p.s.UnitsOn = 1;
    for (int i = 0; i < 6; ++i)
        p.w.GENLFREQBUTTONP_MouseDown();
    // The rate is not part of a custom wave.
    EXPECT_TRUE(p.s.customRateIndex() == 4 && p.s.UnitsOn == -1 && p.s.GenDirty == 0);
    for (int i = 0; i < 6; ++i)
        p.w.GENLFREQBUTTONN_MouseDown();
    EXPECT_EQ(p.s.customRateIndex(), 0);
}

TEST(PanelButtons, CaptionsAndControlsOfEachModeAndStyle) {
    const struct {
        int mode, style;
        const char *style_, *amp, *ratio;
        bool ratioOn, dutyOn, smallOn;
    } rows[] = {{0, 3, "Style", "Amp", "Dcycle", true, true, true}, // then back from "Dcycle"
                {0, 0, "Style", "Amp", "Ratio", false, false, true},
                {1, 3, "Style", "Amp", "Ratio", true, false, false},
                {2, 4, "CropL", "CropR", "Amp", true, false, false}};
    Panel p;
    for (const auto& r : rows) {
        p.s.GenMode = r.mode;
        p.s.GenStyle = r.style;
        p.w.GENDISP();
        const std::string at = std::to_string(r.mode) + "/" + std::to_string(r.style);
        EXPECT_EQ(p.w.control<VbButton>("GENSTYLEBUTTON")->caption() + " " +
                      p.w.control<VbButton>("GENAMPBUTTON")->caption() + " " +
                      p.w.control<VbButton>("SWRATIOBUTTON")->caption(),
                  std::string(r.style_) + " " + r.amp + " " + r.ratio)
            << at;
        EXPECT_TRUE(p.w.control<VbButton>("SWRATIOBUTTON")->isEnabled() == r.ratioOn &&
                    p.w.control<VbButton>("DCUP")->isVisibleTo(&p.w) == r.dutyOn &&
                    p.w.control<VbButton>("GENSFREQBUTTONP")->isEnabled() == r.smallOn &&
                    p.w.control<PictureBox>("STYLEDISP")->isVisibleTo(&p.w) == (r.mode != 2))
            << at;
    }
}

TEST(PanelButtons, StyleDutyAmplitudeRatiosAndTheCustomRoundTrip) {
    Panel p;
    for (int i = 0; i < 3; ++i)
        p.w.GENSTYLEBUTTON_MouseDown();
    EXPECT_TRUE(p.s.genStyle() == 3 && p.s.SavedStyle.num() == 3);
    for (int i = 0; i < 30; ++i)
        p.w.DCUP_Click();
    EXPECT_EQ(p.s.dutyCycle(), 98);
    for (int i = 0; i < 60; ++i)
        p.w.DCDOWN_Click();
    EXPECT_EQ(p.s.dutyCycle(), 2);
    p.w.GENSTYLEBUTTON_MouseDown();
    EXPECT_EQ(p.s.genStyle(), 0);
    p.w.GENAMPBUTTON_Click();
    EXPECT_EQ(p.s.AmpDiv, 2);
    p.w.GENAMPBUTTON_Click();
    EXPECT_EQ(p.s.AmpDiv, 1);
    // SWEEP: four ratios from a 400-step base, three from a 200-step base.
    p.s.GenStyle = 2;
    p.w.GENMODEBUTTON_MouseDown();
    for (auto [start, ratios] : {std::pair{4, 4}, {5, 3}}) {
        p.s.SweepStartIndex = start;
        p.s.SweepRatio = 0;
        std::vector<int> seen;
        for (int i = 0; i < ratios; ++i) {
            p.w.SWRATIOBUTTON_Click();
            seen.push_back(p.s.sweepRatio());
        }
        EXPECT_EQ(seen.back(), 0) << start;
        EXPECT_EQ(seen[size_t(ratios - 2)], ratios - 1) << start;
    }
    // CUSTOM takes the built-in wave over; leaving it restores the style.
    p.s.GenLast = 50;
    p.s.GenWave[50] = 999;
    p.s.GenWave[51] = 888;
    p.s.CustomWave[51] = 0;
    p.w.GENMODEBUTTON_MouseDown();
    EXPECT_TRUE(p.s.genMode() == 2 && p.s.genStyle() == 4 && p.s.SavedStyle.num() == 2);
    EXPECT_TRUE(p.s.CustomWave[50] == 999 && p.s.CustomWave[51] == 0);
    for (int i = 0; i < 4; ++i)
        p.w.SWRATIOBUTTON_Click();
    EXPECT_EQ(p.s.ampRatio(), 0);
    p.w.GENMODEBUTTON_MouseDown();
    EXPECT_TRUE(p.s.genMode() == 0 && p.s.genStyle() == 2);
    EXPECT_EQ(p.w.control<PictureBox>("GENUPDATEBACK")->BackColor(), Red);
}

TEST(Crop, AsksThenCutsRightOrLeftOfTheCursorKeepingTenPoints) {
    const struct {
        const char* name;
        bool left;
        double last, scroll, cursor, after;
        int first; // CustomWave[0] after
    } rows[] = {{"right: at least ten points", false, 100, 0, 3, 9, 0},
                {"right past the end: nothing", false, 100, 1000, 24, 100, 0},
                {"left shifts both waves", true, 100, 0, 30, 70, 300},
                {"left near the end: ten points", true, 100, 0, 95, 9, 910}};
    for (const auto& r : rows) {
        Panel p(2);
        for (int i = 0; i <= 100; ++i)
            p.s.CustomWave[size_t(i)] = p.s.GenWave[size_t(i)] = int16_t(10 * i);
        p.s.GenLast = r.last;
        p.s.ScrollPos = r.scroll;
        p.s.CursorX = r.cursor;
        p.s.CursorMode = 5;
        p.h.messages().answers.push_back(plat::Answer::Cancel);
        (r.left ? p.w.GENSTYLEBUTTON_MouseDown() : p.w.GENAMPBUTTON_Click());
        EXPECT_EQ(p.s.GenLast, r.last) << r.name << ": cancelled";
        ASSERT_TRUE(!p.h.messages().shown.empty() &&
                    p.h.messages().shown.back().buttons == plat::Buttons::OKCancel)
            << r.name;
        (r.left ? p.w.GENSTYLEBUTTON_MouseDown() : p.w.GENAMPBUTTON_Click());
        EXPECT_EQ(p.s.GenLast, r.after) << r.name; // at x1 the output follows
        EXPECT_TRUE(p.s.CustomWave[0] == r.first && p.s.GenWave[0] == r.first) << r.name;
        EXPECT_TRUE(r.left || r.after == r.last || p.s.cursorMode() == 0) << r.name;
    }
}

TEST(Update, NormalSweepAndHostileSettingsStayInsideTheBuffer) {
    Panel p;
    const struct {
        const char* name;
        int mode, style, amp, half, ratio;
        double freq, wantFreq, last;
    } rows[] = {{"1234 Hz sine settles", 0, 0, 1, 0, 0, 1234, 1235, 40 * 162},
                {"sweep triangle 200-step X10", 1, 2, 1, 1, 2, 5, 5, 19710},
                {"0 Hz and amplitude 0", 0, 0, 0, 0, 0, 0, 5, 8000},
                {"1 Hz would not fit", 0, 0, 1, 0, 0, 1, 5, 8000},
                {"sweep row out of range", 1, 0, 1, 7, -3, 5, 5, -1}};
    for (const auto& r : rows) {
        p.s.GenMode = r.mode, p.s.GenStyle = r.style, p.s.AmpDiv = int16_t(r.amp);
        p.s.SweepHalf = r.half, p.s.SweepRatio = r.ratio, p.s.GenFreq = r.freq;
        p.s.DutyCycle = 20;
        p.s.GenDirty = 1;
        p.w.GENUPDATEBUTTON_Click();
        EXPECT_TRUE(r.mode != 0 || p.s.genFreq() == r.wantFreq) << r.name << p.s.genFreq();
        EXPECT_TRUE(r.last < 0 || p.s.GenLast == r.last) << r.name << " " << p.s.GenLast;
        EXPECT_TRUE(p.s.GenLast <= 32767 && p.s.GenDirty == 0 &&
                    p.w.control<PictureBox>("GENUPDATEBACK")->BackColor() == Green)
            << r.name;
    }
    p.s.GenMode = 0, p.s.GenStyle = 3, p.s.GenFreq = 5;
    p.w.GENUPDATEBUTTON_Click();
    EXPECT_TRUE(p.s.SquareSwitchAngle.num() == 288 && p.s.GenWave[8001] == 0); // angle kept
}

TEST(Update, CustomFetchesTheWaveThroughTheLoadWindow) {
    Panel p(2);
    p.s.GenDirty = 1;
    p.s.LoadDone = 1; // left from an earlier load: this one must count alone
    p.w.control<PictureBox>("GENUPDATEBACK")->setBackColor(Red);
    std::fill(p.s.GenWave.begin(), p.s.GenWave.end(), int16_t(333));
    p.s.GenLast = 99;
    bool windowShown = false;
    p.h.clock().atDoEvents(3, [&] {
        windowShown = p.w.control<PictureBox>("fileloadwindow")->isVisibleTo(&p.w) &&
                      p.w.control<VbButton>("keepcustombutton")->isVisibleTo(&p.w);
        p.w.loadexitbutton_Click();
    });
    p.w.GENUPDATEBUTTON_Click();
    EXPECT_TRUE(windowShown);
    EXPECT_TRUE(p.s.LoadFromButton == 0 && p.s.GenLast == 99 && p.s.GenWave[0] == 333);
    EXPECT_TRUE(p.s.GenDirty == 1 &&
                p.w.control<PictureBox>("GENUPDATEBACK")->BackColor() == Red); // no load: red
    // "Keep existing data" counts as a load.
    p.h.clock().atDoEvents(3, [&] { p.w.keepcustombutton_Click(); });
    p.w.GENUPDATEBUTTON_Click();
    EXPECT_TRUE(p.s.LoadDone.num() == 1 && p.s.GenDirty == 0 && p.s.GenWave[0] == 333 &&
                p.w.control<PictureBox>("GENUPDATEBACK")->BackColor() == Green);
    // A copy of channel A replays at the capture's rate.
    p.s.CapturedSizeIndex = 1;
    p.s.SampleRateIndex = 3;
    for (int i = 0; i < 32768; ++i)
        p.s.ChanABuffer[size_t(i)] = int16_t(10 * (i % 256));
    p.h.clock().atDoEvents(3, [&] { p.w.CopyAbutton_Click(); });
    p.w.GENUPDATEBUTTON_Click();
    EXPECT_TRUE(p.s.GenLast == 4095 && p.s.CustomWave[255] == 2550 && p.s.GenWave[4095] == 2550 &&
                p.s.customRateIndex() == 3);
}

TEST(GeneratorRun, OutputRunsUntilStopThenFallsToZero) {
    Panel r;
    ASSERT_EQ(r.s.GenDirty, 0);
    ASSERT_EQ(r.s.GenLast, 8000); // 50 kHz: 20 cycles of 400 steps at 20 MHz
    bool playing = false, messageShown = false;
    int mismatches = 0;
    r.h.clock().atDoEvents(40, [&] {
        auto& g = r.h.sim().generator();
        playing = g.mode() == sim::GeneratorModel::Mode::Continuous;
        messageShown = r.w.control<PictureBox>("Trigwait")->isVisible();
        const double now = double(r.h.clock().nowNs());
        // The output steps through the wave at 20 MHz and starts over after 8001 points.
        for (int k = 0; k < 20000; k += 13) {
            const int code = g.outputCode(now + (k + 0.5) * 50);
            if (code != dacCode(r.s.GenWave[k % 8001])) ++mismatches;
        }
        r.w.GOBUTTON_Click(); // STOP
    });
    r.w.GOBUTTON_Click();
    EXPECT_TRUE(playing && messageShown && !r.w.control<PictureBox>("Trigwait")->isVisible());
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(r.s.GenCount, 8000);
    const auto& mem = r.h.sim().generatorMemory();
    EXPECT_TRUE(std::all_of(mem.begin(), mem.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(r.h.sim().generator().output(double(r.h.clock().nowNs()) + 1e6), 0.0);
    EXPECT_TRUE(r.h.sim().misuse().empty()) << r.h.sim().misuse().front();
}

TEST(GeneratorRun, ScopeGenShowsTheLowPassResponseOfTheStimulus) {
    Panel r(0, 2);
    r.s.GenStyle = 3; // square, 1 kHz: 200 steps per cycle at 200 kHz, 40 cycles
    r.s.GenFreq = 1000;
    r.s.GenDirty = 1;
    r.s.RangeSelB = 0; // B on the 1.2 V range, AC-coupled
    r.s.CouplingB = -1;
    r.w.GOBUTTON_Click();
    ASSERT_TRUE(r.s.CaptureStatus == 1 && r.s.GenCount == 8000);
    EXPECT_TRUE(r.s.dataRateA() == 2 && r.s.DataRateB == 2 &&
                r.w.control<VbButton>("GOBUTTON")->caption() == "GO");

    // Expected: the stepped DAC output through the RC filter, sampled mid-step, less its
    // mean (AC), on the 1.2 V range: 128 codes per 1.2 V.
    const int n = 8001;
    double sum = 0;
    for (int k = 0; k < n; ++k)
        sum += dacCode(r.s.GenWave[k]);
    const double mean = sum / n * 2 / 255;
    const double h = 5000, a = std::exp(-h / Tau), half = std::exp(-h / 2 / Tau);
    double y = 0; // the output sat at 0 V through the second before the sweep
    int worst = 0;
    // B lags A by a step at this rate: B[k + 1] was sampled while point k played.
    for (int k = -1; k < 7999; ++k) {
        const double x = k < 0 ? 0 : dacCode(r.s.GenWave[k]) * 2.0 / 255;
        const double mid = x + (y - x) * half;
        const int code = int(std::nearbyint(128 + (mid - mean) / (1.2 / 128)));
        worst = std::max(worst, std::abs(r.s.ChanBBuffer[k + 1] - 10 * std::clamp(code, 0, 255)));
        y = x + (y - x) * a;
    }
    EXPECT_LE(worst, 20); // the input's noise is worth a code either way
    // A sampled its 1 kHz sine at the step rate: 200 samples a cycle.
    int crossings = 0;
    for (int k = 1; k < 8000; ++k)
        if (r.s.ChanABuffer[k - 1] < 1280 && r.s.ChanABuffer[k] >= 1280) ++crossings;
    EXPECT_NEAR(crossings, 40, 2);
    EXPECT_TRUE(r.h.sim().misuse().empty()) << r.h.sim().misuse().front();
}

TEST(GeneratorRun, RepeatedScopeGenStopsOnStop) {
    Panel r(0, 2);
    r.w.TRESETBUTTON_Click();
    ASSERT_EQ(r.s.RunRepeat, 1);
    std::vector<int64_t> sweeps;
    r.h.sim().onCommand = [&, next = r.h.sim().onCommand](int first, int c) {
        if (c == cmd::Sweep && first != 0) sweeps.push_back(r.h.clock().nowMs());
        if (next) next(first, c);
    };
    const int64_t t0 = r.h.clock().nowMs();
    r.h.clock().at(t0 + 3500, [&] { r.w.GOBUTTON_Click(); });
    r.w.GOBUTTON_Click();
    // Each sweep waits a second, and its end is seen at the first poll 100 ms later. The
    // sweep under way when STOP comes still runs, and no data is taken from it.
    ASSERT_GE(sweeps.size(), 3u);
    for (size_t i = 1; i < sweeps.size(); ++i)
        EXPECT_EQ(sweeps[i] - sweeps[i - 1], 1100);
    EXPECT_LT(sweeps[sweeps.size() - 2], t0 + 3500);
    EXPECT_GT(sweeps.back(), t0 + 3500);
    EXPECT_TRUE(r.s.CaptureStatus == 0 && r.s.RunState.num() == 0);
    EXPECT_EQ(r.w.control<VbButton>("GOBUTTON")->caption(), "GO");
}
