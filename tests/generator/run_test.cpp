// GENERATOR, SCOPE+GEN and FFT runs end to end: GO, the simulated instrument, the
// read-out and the redraw; and the simulated generator itself.
#include "device/drawn_text.h"
#include "sim/generator_model.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

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

TEST(GeneratorRun, ScopeGenWithChannelAOffLeavesItsBuffer) {
    Bench r;
    r.toMode(2);
    r.s.ChanAOn = 0;
    std::fill(r.s.ChanABuffer.begin(), r.s.ChanABuffer.end(), int16_t(77));
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.s.CaptureStatus, 1);
    EXPECT_TRUE(std::all_of(r.s.ChanABuffer.begin(), r.s.ChanABuffer.end(),
                            [](int16_t v) { return v == 77; }));
    EXPECT_TRUE(r.s.ChanBBuffer[size_t(r.s.GenCount)] == 0 && r.s.ChanBBuffer[10] != 0);
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

TEST(ModeCaption, PrintedInTheIndicator) {
    Bench r;
    for (int k = 0; k < 4; ++k) {
        r.w.SCOPEMODE_Click();
        const char* texts[4] = {"   GENERATOR", "   SCOPE+GEN", "            FFT", "        SCOPE"};
        EXPECT_TRUE(drawn::shows(r.w.SCOPEMODE, {texts[k]}, 0, 0, 60)) << k;
    }
    r.w.SCOPEMODE_Click();
    EXPECT_TRUE(drawn::shows(r.w.GENFREQDISP, {" 50000"}));
}

namespace {
// The simulated generator with a start as the program makes it: reset, select, then
// the two writes of the command.
struct Model {
    sim::GeneratorModel g;
    std::vector<std::string> misuse;
    sim::GeneratorModel::Memory mem{};
    explicit Model(double rf = 1.0) : g(rf) {
        g.report = [this](const std::string& m) { misuse.push_back(m); };
    }
    void start(int64_t t, int rateCode, int lastIndex, bool sweep) {
        g.reset(t);
        g.select();
        const int c = sweep ? cmd::Sweep : cmd::Continuous, length = 32768 - lastIndex;
        EXPECT_FALSE(g.command(0, c, t, length, mem));
        EXPECT_EQ(g.command(sweep ? rateCode + 8 : rateCode, c, t, length, mem), sweep);
    }
};
} // namespace

TEST(GeneratorModel, ContinuousPlaysTheLoadedLengthAtTheStepRate) {
    for (double rf : {1.0, 1.5}) {
        Model m(rf);
        for (int i = 0; i < 32768; ++i)
            m.mem[size_t(i)] = uint8_t(i % 251);
        m.start(1000, 3, 99, false); // 100 points at 200 kHz (300 kHz)
        const double step = 1e9 / (200000 * rf);
        for (int k = 0; k < 1000; k += 7)
            ASSERT_EQ(m.g.outputCode(1000 + (k + 0.5) * step), k % 100) << rf << " " << k;
        EXPECT_FALSE(m.g.sweepDone(int64_t(1e12)));
        EXPECT_TRUE(m.misuse.empty());
    }
    EXPECT_DOUBLE_EQ(sim::GeneratorModel(1.0).stepRate(1), 20e6);
    EXPECT_DOUBLE_EQ(sim::GeneratorModel(1.5).stepRate(5), 3000);
    EXPECT_EQ(sim::GeneratorModel(1.0).stepRate(6), 0);
    // The length counter: the shortest custom wave (10 points) and the whole memory.
    Model m;
    m.mem.fill(7);
    m.mem[9] = 200, m.mem[32767] = 33;
    m.start(0, 1, 9, false);
    EXPECT_TRUE(m.g.outputCode(9.5 * 50) == 200 && m.g.outputCode(10.5 * 50) == 7);
    m.start(0, 1, 32767, false);
    EXPECT_TRUE(m.g.outputCode(32767.5 * 50) == 33 && m.g.outputCode(32768.5 * 50) == 7);
    // Reset: 0 V at once, the low-pass decays; bad starts are reported.
    m.g.reset(int64_t(5e6));
    EXPECT_EQ(m.g.mode(), sim::GeneratorModel::Mode::Idle);
    EXPECT_EQ(m.g.output(6e6), 0.0);
    EXPECT_LT(m.g.filtered(5e6 + 10 * Tau), 2.0 * 1e-4);
    EXPECT_FALSE(m.g.command(6, cmd::Continuous, 7000000, 0, m.mem));
    EXPECT_FALSE(m.g.command(0x14, cmd::Sweep, 7000000, 0, m.mem));
    EXPECT_EQ(m.misuse.size(), 2u);
    m.g.command(2, cmd::Continuous, 8000000, 0, m.mem); // without the select: plays, noted
    EXPECT_EQ(m.misuse.size(), 3u);
    EXPECT_EQ(m.g.mode(), sim::GeneratorModel::Mode::Continuous);
}

TEST(GeneratorModel, SweepPlaysOnceWhereTheReadOutLooksThenReportsItsEnd) {
    for (int rateCode : {1, 4}) {
        Model m;
        for (int i = 0; i < 500; ++i)
            m.mem[size_t(i)] = uint8_t(i / 2);
        m.start(1000000, rateCode, 499, true);
        const auto& p = m.g.sweepPlan();
        const int delay = rateCode == 1 ? 4 : 1;
        EXPECT_TRUE(p.points == 500 && p.delay == delay && p.firstAddress == 32768 - 499);
        EXPECT_EQ(p.address(0), (32768 - 499 + delay) % 32768);
        const double step = 1e9 / m.g.stepRate(rateCode);
        const int64_t end = 1000000 + int64_t(std::ceil((500 + delay) * step));
        EXPECT_FALSE(m.g.sweepDone(end - 1));
        EXPECT_TRUE(m.g.sweepDone(end));
        EXPECT_EQ(m.g.outputCode(1000000 + 250.5 * step), 125);
        EXPECT_EQ(m.g.outputCode(1000000 + 900.5 * step), 249); // holds the last point
        m.g.reset(end + 10);
        EXPECT_FALSE(m.g.sweepDone(end + 20));
    }
    Model m;
    for (int i = 0; i < 300; ++i)
        m.mem[size_t(i)] = uint8_t(10 + i % 200);
    m.start(0, 3, 299, true);
    sim::GeneratorModel::Memory a{}, b{};
    a.fill(1), b.fill(1);
    m.g.fillSweep(a, b, [&](int ch, double t) {
        return uint8_t(ch == 0 ? m.g.outputCode(t) : 255 - m.g.outputCode(t));
    });
    const int skip = 32768 - 299 + 1; // the read-out skips this many, then reads 299
    for (int k = 0; k < 299; ++k) {
        ASSERT_EQ(a[size_t((skip + k) % 32768)], m.mem[size_t(k)]) << k;
        ASSERT_EQ(b[size_t((skip + k) % 32768)], 255 - m.mem[size_t(k)]) << k;
    }
    EXPECT_EQ(a[32768 - 299], 0); // the delay sample saw the idle output
    EXPECT_EQ(a[32768 - 300], 1); // untouched
}

TEST(GeneratorModel, LowPassMatchesAStepByStepFilter) {
    Model m;
    std::mt19937 rng(7);
    for (int i = 0; i < 64; ++i)
        m.mem[size_t(i)] = uint8_t(rng() % 256);
    m.g.reset(0);
    m.g.select();
    m.g.command(1, cmd::Continuous, 0, 32768 - 63, m.mem); // 64 points at 20 MHz
    const double h = 50, a = std::exp(-h / Tau);
    double y = 0;
    for (int n = 0; n < 20000; ++n) {
        const double x = m.mem[size_t(n % 64)] * 2.0 / 255.0;
        if (n % 97 == 0) {
            ASSERT_NEAR(m.g.filtered(n * h), y, 1e-9) << n;
            ASSERT_NEAR(m.g.filtered(n * h + 20), x + (y - x) * std::exp(-20 / Tau), 1e-9) << n;
        }
        y = x + (y - x) * a;
    }
}
