// Measurements and gain/phase against closed forms, on traces built from formulas.
#include "analysis/si_format.h"
#include "synth.h"

#include <gtest/gtest.h>

using namespace analysis;
using namespace synth;

namespace {
using Signal = std::function<double(double)>;
Signal sine(double f, double peak, double dc = 0) {
    return [=](double t) { return dc + peak * std::sin(2 * Pi * f * t + 1); };
}
Signal square(double f, double duty, double hi, double lo) {
    return [=](double t) { return std::fmod(t * f, 1.0) < duty ? hi : lo; };
}
// A square of frequency f through a first-order low-pass of time constant tau, settled,
// between -1 and +1 V.
Signal rcSquare(double f, double tau) {
    return [=](double t) {
        const double half = 0.5 / f, x = std::fmod(t + 0.25 / f, 2 * half);
        return x < half ? 1 - 2 * std::exp(-x / tau) : -1 + 2 * std::exp(-(x - half) / tau);
    };
}
} // namespace

TEST(Measure, ClosedForms) {
    struct Row {
        Signal v;
        double f, vpp, mean, rms, acRms, duty, rise;
    };
    // 10 % to 90 % of a sine: 2 asin(0.8) / (2 pi f); of a sampled step: 0.8 sample; of
    // an RC edge: ln 9 RC. The RC square's mean square is 1 - 2 RC / (half period).
    const double sineRise = std::asin(0.8) / Pi, step = 0.8 / Rate, rc = 20e-6, r2 = std::sqrt(0.5);
    const Row rows[] = {
        {sine(1000, 1), 1000, 2, 0, r2, r2, 50, sineRise / 1000},
        {sine(1234.5, 0.5, 0.3), 1234.5, 1, 0.3, std::sqrt(0.215), std::sqrt(0.125), 50,
         sineRise / 1234.5},
        {square(1000, 0.25, 1, -1), 1000, 2, -0.5, 1, std::sqrt(0.75), 25, step},
        {rcSquare(500, rc), 500, 2, 0, std::sqrt(0.96), std::sqrt(0.96), 50, rc * std::log(9)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.f);
        const std::vector<int16_t> x = wave(10000, r.v);
        const Measurements m = measure(trace(x));
        ASSERT_TRUE(m.frequencyHz.ok()) << m.frequencyHz.reason;
        EXPECT_NEAR(*m.frequencyHz, r.f, r.f * 2e-4);
        EXPECT_NEAR(*m.vppV, r.vpp, 2 * Vpu);
        EXPECT_NEAR(*m.meanV, r.mean, 0.002);
        EXPECT_NEAR(*m.rmsV, r.rms, 0.002);
        EXPECT_NEAR(*m.acRmsV, r.acRms, 0.002);
        EXPECT_NEAR(*m.dutyPct, r.duty, 0.2);
        EXPECT_NEAR(*m.riseS, r.rise, r.rise * 0.01);
        EXPECT_NEAR(*m.fallS, r.rise, r.rise * 0.01);
    }
}

TEST(Measure, ReasonsWhenAValueCannotBeMeasured) {
    const auto steps = [](std::vector<int16_t> levels) { // 50 samples at each level
        std::vector<int16_t> x;
        for (int16_t l : levels)
            x.insert(x.end(), 50, l);
        return x;
    };
    struct Row {
        std::vector<int16_t> x;
        double rate;
        const char *freq, *rise, *fall; // nullptr: measured
    } rows[] = {
        {{}, Rate, "no samples", "no samples", "no samples"},
        {steps({1280}), Rate, "flat trace", "flat trace", "flat trace"},
        {steps({1000, 2000}), Rate, "fewer than two crossings", nullptr,
         "no complete falling edge"},
        {steps({2000, 1000, 2000}), Rate, "less than one period", nullptr, nullptr},
        {steps({1000, 2000, 1000, 2000}), 0, "unknown sample rate", "unknown sample rate",
         "unknown sample rate"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.x.size());
        const Measurements m = measure(trace(r.x, r.rate));
        const std::pair<Reading, const char*> readings[] = {
            {m.frequencyHz, r.freq}, {m.periodS, r.freq}, {m.riseS, r.rise}, {m.fallS, r.fall}};
        for (auto [got, why] : readings) {
            EXPECT_EQ(got.reason, why ? why : "");
            EXPECT_EQ(formatSI(got, "s") == "-", why != nullptr);
        }
    }
}

TEST(Measure, ClippedAndCombinedTraces) {
    const std::vector<int16_t> a = wave(4000, sine(1000, 2));
    const Measurements m = measure(trace(a));
    EXPECT_TRUE(m.clipped);
    EXPECT_DOUBLE_EQ(*m.vmaxV, 1270 * Vpu);
    EXPECT_DOUBLE_EQ(*m.vminV, -1280 * Vpu);
    // A - B with B at 0.46875 V on the 12 V range: in units of the coarser range.
    const std::vector<int16_t> b(4000, 1280 + 50);
    const Combined diff = combine(trace(a), {b.data(), b.size(), Vpu * 10, Rate}, -1);
    EXPECT_TRUE(diff.clipped);
    EXPECT_NEAR(*measure(diff.trace()).meanV, -0.46875, 0.005);
}

TEST(GainPhase, ClosedForms) {
    const double f = 1234.5;
    const std::vector<int16_t> a = wave(8192, sine(f, 1)), flat(8192, 1280);
    const std::tuple<double, double, long> rows[] = {
        {0.5, 0, 0}, {1.1, 45, 0}, {1, -90, 100}, {0.5, 30, -4}, {1, 170, 7}}; // gain, deg, offset
    for (auto [gain, deg, offset] : rows) {
        SCOPED_TRACE(testing::Message() << gain << " " << deg << " " << offset);
        // B's sample j is taken with A's sample j + offset.
        const double g = gain, phase = deg * Pi / 180, dt = double(offset) / Rate;
        const std::vector<int16_t> b =
            wave(8192, [&](double t) { return g * std::sin(2 * Pi * f * (t + dt) + 1 + phase); });
        const GainPhase gp = gainPhase(trace(a), trace(b), f, offset);
        EXPECT_NEAR(*gp.gainDb, 20 * std::log10(gain), 0.02);
        EXPECT_NEAR(*gp.phaseDeg, deg, 0.3);
    }
    EXPECT_EQ(gainPhase(trace(a), trace(a), 0, 0).gainDb.reason, "no frequency on A");
    EXPECT_EQ(gainPhase(trace(a), trace(a), f, 9000).phaseDeg.reason, "A and B do not overlap");
    EXPECT_EQ(gainPhase(trace(a), trace(flat), f, 0).gainDb.reason,
              "no signal on B at A's frequency");
}

TEST(Format, SiPrefixesAndFixedDecimals) {
    EXPECT_EQ(formatSI(0.70710678, "V"), "707.1 mV");
    EXPECT_EQ(formatSI(999.96, "Hz"), "1.000 kHz"); // rounds up into the next prefix
    EXPECT_EQ(formatSI(3.3e-13, "s"), "0.330 ps");  // below the smallest prefix
    EXPECT_EQ(formatSI(std::nan(""), "V"), "-");
    EXPECT_EQ(formatFixed(-6.0206, 2, "dB"), "-6.02 dB");
}
