// GENERATOR, SCOPE+GEN and FFT runs end to end: GO, the simulated instrument, the
// read-out and the redraw.
#include "device/drawn_text.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using testing_support::Harness;

namespace {

constexpr double Tau = 1e9 / (2 * M_PI * 10000); // RC of channel B's input, in ns

int dacCode(int v) {
    return std::clamp(int(std::nearbyint(v / 10.0)), 0, 255);
}

struct Bench {
    Harness h;
    WQK& w;
    InstrumentState& s;
    Bench() : w(drawn::shown(h.window())), s(w.state()) { h.sim().clearMisuse(); }
    void toMode(int mode) {
        while (int(s.mode()) != mode)
            w.SCOPEMODE_Click();
    }
};

} // namespace

TEST(GeneratorRun, OutputRunsUntilStopThenFallsToZero) {
    Bench r;
    r.toMode(1);
    ASSERT_EQ(r.s.GenDirty, 0);
    ASSERT_EQ(r.s.GenLast, 8000); // 50 kHz: 20 cycles of 400 steps at 20 MHz
    bool playing = false, messageShown = false;
    int mismatches = 0;
    r.h.clock().atDoEvents(40, [&] {
        auto& g = r.h.sim().generator();
        playing = g.mode() == sim::GeneratorModel::Mode::Continuous;
        messageShown = r.w.Trigwait->isVisible();
        const double now = double(r.h.clock().nowNs());
        // The output steps through the wave at 20 MHz and starts over after 8001 points.
        for (int k = 0; k < 20000; k += 13) {
            const int code = g.outputCode(now + (k + 0.5) * 50);
            if (code != dacCode(r.s.GenWave[k % 8001])) ++mismatches;
        }
        r.w.GOBUTTON_Click(); // STOP
    });
    r.w.GOBUTTON_Click();
    EXPECT_TRUE(playing);
    EXPECT_TRUE(messageShown);
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(r.s.rateCode(), 1);
    EXPECT_EQ(r.s.GenCount, 8000);
    EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");
    EXPECT_FALSE(r.w.Trigwait->isVisible());
    const auto& mem = r.h.sim().generatorMemory();
    EXPECT_TRUE(std::all_of(mem.begin(), mem.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(r.h.sim().generator().output(double(r.h.clock().nowNs()) + 1e6), 0.0);
    EXPECT_TRUE(r.w.GENMODEBUTTON->isEnabled());
    EXPECT_TRUE(r.h.sim().misuse().empty()) << r.h.sim().misuse().front();
}

TEST(GeneratorRun, ScopeGenShowsTheLowPassResponseOfTheStimulus) {
    Bench r;
    r.toMode(2);
    r.s.GenStyle = 3; // square, 1 kHz: 200 steps per cycle at 200 kHz, 40 cycles
    r.s.GenFreq = 1000;
    r.s.GenDirty = 1;
    r.s.RangeSelB = 0; // B on the 1.2 V range, AC-coupled
    r.s.CouplingB = -1;
    r.w.GOBUTTON_Click();
    ASSERT_EQ(r.s.CaptureStatus, 1);
    ASSERT_EQ(r.s.GenCount, 8000);
    EXPECT_EQ(r.s.dataRateA(), 2);
    EXPECT_EQ(r.s.DataRateB, 2);
    EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");

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
    for (int i = 8000; i < 32768; ++i)
        ASSERT_EQ(r.s.ChanBBuffer[i], 0) << i;
    // A sampled its 1 kHz sine at the step rate: 200 samples a cycle.
    int crossings = 0;
    for (int k = 1; k < 8000; ++k)
        if (r.s.ChanABuffer[k - 1] < 1280 && r.s.ChanABuffer[k] >= 1280) ++crossings;
    EXPECT_NEAR(crossings, 40, 2);
    EXPECT_TRUE(r.h.sim().misuse().empty()) << r.h.sim().misuse().front();
}

TEST(GeneratorRun, RepeatedScopeGenStopsOnStop) {
    Bench r;
    r.toMode(2);
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
    EXPECT_EQ(r.s.CaptureStatus, 0);
    EXPECT_EQ(r.s.RunState.num(), 0);
    EXPECT_EQ(r.w.GOBUTTON->caption(), "GO");
}

TEST(FftRun, SimulatedSineGivesOneLineAtItsFrequency) {
    Bench r;
    r.s.SampleRateIndex = 1; // 20 kHz, 4K samples: 4.88 Hz per point
    r.s.RateA = 1;
    r.w.FFTbutton_Click();
    ASSERT_EQ(int(r.s.mode()), 3);
    r.w.GOBUTTON_Click();
    ASSERT_EQ(r.s.CaptureStatus, 1);
    EXPECT_EQ(r.s.FFTNumSamples, 4096);
    EXPECT_EQ(r.s.FFTDoneA.num(), 1);
    const auto& a = r.s.ChanABuffer;
    const auto peak = std::max_element(a.begin() + 1, a.begin() + 2048) - a.begin();
    EXPECT_EQ(a[peak], 2550);
    EXPECT_NEAR(double(peak), 1000.0 * 4096 / 20000, 1); // 204.8
    for (int i = 1; i < 2048; ++i)
        if (std::abs(i - peak) > 8) {
            ASSERT_LT(a[i], 255) << i;
        }
    // The cursor on that point reads 1 kHz.
    r.s.CursorMode = 1;
    r.s.CursorX = double(peak);
    r.s.ScrollPos = 0;
    r.w.cursdraw();
    EXPECT_EQ(r.s.CursorUnit, "KHz");
    EXPECT_NEAR(r.s.cursorTime(), 1.0, 0.005);
    // Leaving FFT brings the samples back.
    r.w.FFTbutton_Click();
    EXPECT_EQ(r.s.ChanABuffer, r.s.SaveA);
    EXPECT_NE(r.s.ChanABuffer[0], 0);
    EXPECT_GT(*std::max_element(r.s.ChanABuffer.begin(), r.s.ChanABuffer.begin() + 4096), 1330);
}
