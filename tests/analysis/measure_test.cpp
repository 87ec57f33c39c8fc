// Measurements and gain/phase against closed forms, on traces built from formulas.
#include "analysis/si_format.h"
#include "synth.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace analysis;
using namespace synth;

namespace {
using Signal = std::function<double(double)>;
Signal sine(double f, double peak, double dc = 0, double phase = 1) {
    return [=](double t) { return dc + peak * std::sin(2 * Pi * f * t + phase); };
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
        double noise, f, vpp, mean, rms, acRms, duty, rise;
    };
    // 10 % to 90 % of a sine: 2 asin(0.8) / (2 pi f); of a sampled step: 0.8 sample; of
    // an RC edge: ln 9 RC, also with 10 mV of noise on whole codes (the edge's levels
    // are its states, not its noisy extremes). The RC square's mean square is
    // 1 - 2 RC / (half period).
    const double sineRise = std::asin(0.8) / Pi, step = 0.8 / Rate, rc = 20e-6, r2 = std::sqrt(0.5);
    const Row rows[] = {
        {sine(1000, 1), 0, 1000, 2, 0, r2, r2, 50, sineRise / 1000},
        {sine(1234.5, 0.5, 0.3), 0, 1234.5, 1, 0.3, std::sqrt(0.215), std::sqrt(0.125), 50,
         sineRise / 1234.5},
        {square(1000, 0.25, 1, -1), 0, 1000, 2, -0.5, 1, std::sqrt(0.75), 25, step},
        {rcSquare(500, rc), 0, 500, 2, 0, std::sqrt(0.96), std::sqrt(0.96), 50, rc * std::log(9)},
        {rcSquare(500, rc), 0.01, 500, 2, 0, std::sqrt(0.96), std::sqrt(0.96), 50,
         rc * std::log(9)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.f << " Hz, noise " << r.noise);
        const std::vector<int16_t> x = r.noise ? captured(10000, r.v, r.noise) : wave(10000, r.v);
        const Measurements m = measure(trace(x));
        ASSERT_TRUE(m.frequencyHz.ok()) << m.frequencyHz.reason;
        EXPECT_NEAR(*m.frequencyHz, r.f, r.f * 2e-4);
        EXPECT_NEAR(*m.vppV, r.vpp, r.noise ? 0.03 : 2 * Vpu);
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
        bool partial;                   // mean and RMS over a part of a period
    } rows[] = {
        {{}, Rate, "no samples", "no samples", "no samples", false},
        {steps({1280}), Rate, "flat trace", "flat trace", "flat trace", false},
        {steps({1000, 2000}), Rate, "fewer than two crossings", nullptr, "no complete falling edge",
         true},
        {steps({2000, 1000, 2000}), Rate, "less than one period", nullptr, nullptr, true},
        {steps({1000, 2000, 1000, 2000}), 0, "unknown sample rate", "unknown sample rate",
         "unknown sample rate", false},
        {wave(600, sine(1000, 1, 0, 0.3)), Rate, "fewer than two crossings",
         "no complete rising edge", nullptr, true},
        {captured(4000, sine(1000, 0), 0.01), Rate, "no periodic signal", "no periodic signal",
         "no periodic signal", false},
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
        EXPECT_EQ(m.partialPeriod, r.partial);
    }
}

TEST(Measure, SineFrequencyUpToHalfTheSampleRateOrNone) {
    // Fraction of the sample rate, samples, peak volts, whether it must be measured; 10 mV
    // of noise on whole codes, five phases and noises: within 1e-3 or what timing to a
    // code step allows, 1 / (2 pi periods peak in codes), but never beyond 1 %.
    const std::tuple<double, size_t, double, bool> rows[] = {
        {0.44, 4096, 1, true},       {0.46, 4096, 1, true},      {0.49, 2048, 0.2, true},
        {0.499, 4096, 1, true},      {0.499, 32768, 0.05, true}, {0.3, 4096, 0.03, true},
        {2.2 / 4096, 4096, 1, true}, {1e-3, 4096, 0.02, true},   {5e-5, 32768, 0.02, true},
        {1e-3, 4096, 0.01, false},   {0.02, 2048, 0.015, false}};
    for (auto [ratio, n, peak, must] : rows)
        for (int seed = 0; seed < 5; ++seed) {
            SCOPED_TRACE(testing::Message() << ratio << " fs, " << peak << " V, seed " << seed);
            const double f = ratio * Rate, periods = ratio * double(n), codes = peak / (10 * Vpu);
            const Reading got =
                measure(trace(captured(n, sine(f, peak, 0, seed), 0.01, uint64_t(seed))))
                    .frequencyHz;
            ASSERT_TRUE(got.ok() || !must) << got.reason;
            const double tolerance = std::min(0.01, std::max(1e-3, 1 / (2 * Pi * periods * codes)));
            EXPECT_NEAR(got.value.value_or(f) / f, 1, tolerance);
        }
}

TEST(Measure, ClippedAndCombinedTraces) {
    const std::vector<int16_t> a = wave(4000, sine(1000, 2));
    const Measurements m = measure(trace(a));
    EXPECT_TRUE(m.clipped);
    EXPECT_DOUBLE_EQ(*m.vmaxV, 1270 * Vpu);
    EXPECT_DOUBLE_EQ(*m.vminV, -1280 * Vpu);
    // A - B with B at 0.46875 V on the 12 V range.
    const std::vector<int16_t> b(4000, 1280 + 50);
    const Combined diff = combine(trace(a), {b.data(), b.size(), Vpu * 10, Rate}, -1);
    EXPECT_TRUE(diff.clipped);
    EXPECT_NEAR(*measure(diff.trace()).meanV, -0.46875, 0.005);

    // A+B and A-B read as the sum and difference of the two in volts, within a code step
    // of the finer channel, when B's range is 10 or 100 times A's.
    const std::vector<int16_t> fine = wave(4000, sine(1000, 0.3, 0.045));
    for (double ratio : {10, 100})
        for (int sign : {1, -1}) {
            SCOPED_TRACE(testing::Message() << ratio << " " << sign);
            std::vector<int16_t> coarse(4000);
            std::vector<double> volts(4000);
            for (size_t i = 0; i < coarse.size(); ++i) {
                coarse[i] = int16_t(1280 + 10 * std::lround(40 * std::sin(Pi * double(i) / 500)));
                volts[i] = (fine[i] - 1280) * Vpu + sign * (coarse[i] - 1280) * Vpu * ratio;
            }
            const Measurements sum = measure(
                combine(trace(fine), {coarse.data(), 4000, Vpu * ratio, Rate}, sign).trace());
            const auto [lo, hi] = std::minmax_element(volts.begin(), volts.end());
            EXPECT_NEAR(*sum.vmaxV, *hi, 10 * Vpu);
            EXPECT_NEAR(*sum.vminV, *lo, 10 * Vpu);
            EXPECT_NEAR(*sum.meanV, std::accumulate(volts.begin(), volts.end(), 0.0) / 4000,
                        10 * Vpu);
        }
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
    // Either channel's component at f must stand clear of its noise.
    const std::vector<int16_t> noise = captured(8192, sine(f, 0), 0.01);
    EXPECT_EQ(gainPhase(trace(a), trace(flat), f, 0).gainDb.reason,
              "B below its noise at A's frequency");
    EXPECT_EQ(gainPhase(trace(a), trace(noise), f, 0).phaseDeg.reason,
              "B below its noise at A's frequency");
    EXPECT_EQ(gainPhase(trace(noise), trace(a), f, 0).gainDb.reason,
              "A below its noise at its frequency");
}

TEST(Format, SiPrefixesAndFixedDecimals) {
    EXPECT_EQ(formatSI(0.70710678, "V"), "707.1 mV");
    EXPECT_EQ(formatSI(999.96, "Hz"), "1.000 kHz"); // rounds up into the next prefix
    EXPECT_EQ(formatSI(3.3e-13, "s"), "0.330 ps");  // below the smallest prefix
    EXPECT_EQ(formatSI(std::nan(""), "V"), "-");
    EXPECT_EQ(formatFixed(-6.0206, 2, "dB"), "-6.02 dB");
}
