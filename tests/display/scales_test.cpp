// The numbers of the display, one table per rule family: each row names the case, the
// value computed and the value the display must show.
#include "display/scales.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace display;

namespace {
struct Num {
    const char* name;
    double got, want;
    template <class G, class W, class = std::enable_if_t<std::is_arithmetic_v<G>>>
    Num(const char* n, G g, W w) : name(n), got(double(g)), want(double(w)) {}
};
void check(std::initializer_list<Num> rows) {
    for (const Num& r : rows)
        EXPECT_DOUBLE_EQ(r.got, r.want) << r.name;
}
Reading time(double x, double pos, int R, double rf = 1.0) {
    return cursorTime(x, pos, R, rf, false, 0);
}
Reading freq(double x, double pos, int R) {
    return cursorTime(x, pos, R, 1.0, true, 2048);
}
Shown shown(const char* traces, bool generator = false) {
    const std::string t(traces);
    Shown s;
    s.a = t.find('A') != t.npos, s.b = t.find('B') != t.npos, s.d = t.find('D') != t.npos;
    s.plus = t.find('+') != t.npos, s.minus = t.find('-') != t.npos, s.generator = generator;
    return s;
}
} // namespace

TEST(Axes, TimeAndFrequencyPerDivision) {
    check({{"32K at 20 MHz: 100 uS", timeDiv(32768, 1.0, 4), 100},
           {"512 at 2 MHz rounds to 1/10", timeDiv(512, 1.0, 3), 15.6},
           {"30 MHz model to 1/100", timeDiv(32768, 1.5, 4), 66.67},
           {"FFT step 20 MHz / 2048", freqAxis(1.0, 2048, 4).step, 20.0 / 2048},
           {"FFT places MHz", freqAxis(1.0, 2048, 4).places, 100},
           {"FFT number at point 1024", fftAxisNumber(1000, 24, freqAxis(1.0, 2048, 4)), 10},
           {"FFT number to 1/100", fftAxisNumber(125, 0, freqAxis(1.0, 2048, 4)), 1.22}});
    std::string units = std::string(timeUnit(3)) + " " + timeUnit(2); // then R4, R2, R0 of FFT
    for (int r : {4, 2, 0})
        units += std::string(" ") + freqAxis(1.0, 2048, r).unit;
    EXPECT_EQ(units, "uS mS MHz KHz Hz");
}

TEST(VoltLabels, RangeMagnificationOffsetAndCombinedScale) {
    const double base[7] = {-0.9, -0.6, -0.3, 0, 0.3, 0.6, 0.9};
    for (int k = 0; k <= 6; ++k)
        for (int range = 0; range <= 2; ++range)
            EXPECT_DOUBLE_EQ(voltLabel(k, range, 1, 0), base[k] * std::pow(10, range)) << k;
    check({{"x5 top", voltLabel(6, 0, 5, 0), 0.18},
           {"x5 two steps: top", voltLabel(6, 0, 5, 0.12), 0.3},
           {"offset scales with 12 V range", voltLabel(3, 1, 1, 0.3), 3},
           {"generator top", genLabel(6), 1.75},
           {"combined range A larger", combinedRange(1, 0), 1},
           {"combined range B larger", combinedRange(0, 2), 2},
           {"A 12 V, B 1.2 V: B / 10", combinedValue(1280, 1780, 1, 1, 0), -50},
           {"A-B of the same", combinedValue(1280, 1780, -1, 1, 0), 50},
           {"A 1.2 V, B 120 V: A / 100", combinedValue(1780, 1280, 1, 0, 2), -5},
           {"equal ranges: sum", combinedValue(1380, 1380, 1, 0, 0), -200}});
}

TEST(Positions, StepTableLimitsAndMultipliers) {
    const struct {
        int step, factor, limit, limitSum, multiplier;
        double volts;
    } rows[] = {{0, 1, 3, 4, 2, 0.3}, {1, 2, 4, 8, 3, 0.15}, {2, 5, 16, 32, 6, 0.06}};
    for (const auto& r : rows) {
        const PositionStep p = positionStep(r.step);
        EXPECT_TRUE(p.factor == r.factor && p.limit == r.limit && p.limitSum == r.limitSum &&
                    baseMultiplier(r.step) == r.multiplier)
            << r.step;
        EXPECT_DOUBLE_EQ(p.volts, r.volts) << r.step;
        EXPECT_EQ((p.factor + 1) * p.shift, 318) << r.step; // one step moves 318 units
    }
    EXPECT_TRUE(positionStep(7).factor == 1 && positionStep(-1).limit == 3); // out of range
}

TEST(Window, LastIndexClampAndCursorSteps) {
    const auto w = [](double x, double pos, double lmax) { return clampWindow(x, pos, lmax); };
    check({{"32K buffer", lastIndex(false, 4, 2048, 0), 32767},
           {"generator data", lastIndex(true, 4, 2048, 8000), 8000},
           {"generator data past the buffer", lastIndex(true, 0, 2048, 50000), 32767},
           {"negative generator end", lastIndex(true, 0, 2048, -5), 0},
           {"size index out of range", lastIndex(false, 9, 2048, 0), 32767},
           {"past the 32K buffer", w(512, 40000, 32767).scrollPos, 32255},
           {"tiny generator data", w(512, 0, 9).xMagnify, 9},
           {"zero width", w(0, 0, 2047).xMagnify, 1},
           {"no data: width", w(512, 0, 0).xMagnify, 1},
           {"large step fraction", cursorStepLarge(1000), 62.5},
           {"small step at 32767", double(cursorStepSmall(32767)), 64},
           {"small 1.5 rounds to even", double(cursorStepSmall(384)), 2},
           {"small 2.5 rounds to even", double(cursorStepSmall(1280)), 2},
           {"small below 512 divides by 256", double(cursorStepSmall(448)), 2},
           {"small never 0", double(cursorStepSmall(100)), 1}});
}

TEST(Readout, VoltsTimesFrequenciesAndReciprocals) {
    check({{"sample bottom", sampleVolts(0, 0), -1.21},
           {"spectrum full", spectrumPercent(2550), 100},
           {"generator top", genVolts(2550), 1.99},
           {"level rounds", levelVolts(2550, 0), -1.19},
           {"level 120 V range", levelVolts(10, 2), 119},
           {"below 10: four decimals", scaleReading(1.23456789, false).value, 1.2345},
           {"from 10: three decimals", scaleReading(12.3456789, false).value, 12.345},
           {"mS below 0.1 becomes uS", scaleReading(0.0123456789, false).value, 12.345}});
    // clang-format off
    const struct { const char* name; Reading got; double value; const char* unit; } rows[] = {
        {"100 at 2 MHz", time(100, 0, 3), 50, "uS"},
        {"500 at 2 kHz above 100 mS", time(500, 0, 0), 0.25, "S"},
        {"window position does not count", time(100, 5000, 1), 5, "mS"},
        {"30 MHz model", time(7, 0, 3, 1.5), 2.3333, "uS"},
        {"FFT point 1024 with the window", freq(24, 1000, 4), 10, "MHz"},
        {"FFT point 5", freq(5, 0, 4), 48.828, "KHz"},
        {"FFT point 1 at 2 kHz", freq(1, 0, 0), 0.9765, "Hz"},
        {"1/0.5 mS", reciprocal({0.5, "mS"}), 2, "KHz"},
        {"1/3 uS", reciprocal({3, "uS"}), 0.3333, "MHz"},
        {"1/0.25 S", reciprocal({0.25, "S"}), 4, "Hz"},
        {"FFT: 1/10 MHz", reciprocal({10, "MHz"}), 0.1, "uS"},
        {"nothing to invert at 0", reciprocal({0, "uS"}), 0, "uS"},
    };
    // clang-format on
    for (const auto& r : rows) // to the sixth decimal
        EXPECT_EQ(std::to_string(r.got.value) + r.got.unit, std::to_string(r.value) + r.unit)
            << r.name;
}

TEST(CursorModes, NextAndCheckFollowWhatIsShown) {
    const struct {
        const char* traces;
        bool generator;
        int from, next, check;
    } rows[] = {{"A", false, 0, 1, 0},   {"A", false, 1, 0, 1},   {"AD", false, 1, 5, 1},
                {"AD", false, 5, 0, 5},  {"AB", false, 1, 2, 1},  {"AB", false, 2, 0, 2},
                {"AB+", false, 0, 3, 0}, {"AB+", false, 3, 0, 3}, {"AB+D", false, 3, 5, 3},
                {"-", false, 0, 4, 0},   {"-", false, 1, 4, 4},   {"", false, 0, 0, 0},
                {"B", false, 0, 2, 0},   {"AD", true, 0, 5, 0},   {"AD", true, 5, 0, 5},
                {"A", false, 2, 0, 0},   {"A+", false, 4, 0, 3},  {"A-", false, 3, 0, 4}};
    for (const auto& r : rows) {
        const Shown s = shown(r.traces, r.generator);
        EXPECT_EQ(nextCursorMode(r.from, s), r.next) << r.traces << " from " << r.from;
        EXPECT_EQ(checkCursorMode(r.from, s), r.check) << r.traces << " check " << r.from;
    }
    EXPECT_EQ(std::string(cursorLetter(3)) + cursorLetter(4) + "|" + cursorLetter(0), "+-|");
}
