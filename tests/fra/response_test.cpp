// The sweep arithmetic: plans, checks, the reading of one capture, the -3 dB corner and
// the CSV table.
#include "fra/continuous.h"
#include "fra/response.h"

#include <gtest/gtest.h>

#include <cmath>

using fra::Point;

TEST(FraResponse, PlansAndChecks) {
    const std::string range = "The frequencies must lie within the generator's range, 5 Hz to "
                              "500000 Hz.";
    // Settings (from, to, per decade, point count, amplitude divisor), the frequencies,
    // or none and why.
    const std::tuple<fra::Settings, std::vector<long>, std::string> rows[] = {
        {{100, 10000, 2}, {100, 316, 1000, 3162, 10000}, ""},
        {{1000, 5000, 3}, {1000, 1710, 2924, 5000}, ""}, // a part decade rounds up
        {{5, 500000, 99, 3}, {5, 1581, 500000}, ""},     // a point count
        {{5, 6, 10}, {5, 6}, ""},                        // each whole hertz once
        {{4.9, 100}, {}, range},
        {{100, 500001}, {}, range},
        {{1000, 100}, {}, "The stop frequency must be above the start frequency."},
        {{NAN, 100}, {}, "The start and stop frequencies must be numbers."},
        {{100, 1000, 0}, {}, "Points per decade must be 1 to 100."},
        {{100, 1000, 5, 1}, {}, "The point count must be 2 to 1000."},
        {{100, 1000, 5, 0, 3}, {}, "The amplitude must be 2 V or 1 V peak to peak."},
    };
    for (const auto& [settings, freqs, error] : rows) {
        EXPECT_EQ(fra::check(settings), error) << settings.fromHz << " " << settings.toHz;
        EXPECT_EQ(fra::plannedFrequencies(settings), freqs) << settings.fromHz;
    }
}

TEST(FraResponse, OnePointFromACaptureStillSettling) {
    // 20 periods of 100 samples at 100 kHz: B at half A's units, 30 degrees behind, read 1
    // sample later than A, settling from 600 units off with a time constant of (tau)
    // 100 samples or 2000 (twice the capture), or with no response but noise.
    const long n = 2000;
    for (double tau : {100.0, 2000.0, 0.0}) {
        SCOPED_TRACE(tau);
        std::vector<int16_t> a(n), b(n);
        for (long k = 0; k < n; ++k) {
            a[size_t(k)] = int16_t(std::lround(1280 + 1000 * std::sin(2 * M_PI * k / 100)));
            const double tb = 2 * M_PI * double(k - 1) / 100 - M_PI / 6;
            b[size_t(k)] =
                int16_t(tau ? std::lround(1280 + 500 * std::sin(tb) - 600 * std::exp(-k / tau))
                            : 1280 + 10 * (k * 7919 % 3 - 1));
        }
        fra::Capture c{a.data(), b.data(), 0.001, 0.002, n, 100000, 20, -1, true};
        std::string why;
        std::optional<Point> p = fra::measurePoint(c, &why);
        if (!tau) {
            EXPECT_EQ(why, "the response is below its noise");
            continue;
        }
        ASSERT_TRUE(p) << why;
        EXPECT_DOUBLE_EQ(p->freqHz, 1000);
        EXPECT_NEAR(p->gainDb, 0, 0.01); // 500 x 0.002 V against 1000 x 0.001 V
        EXPECT_NEAR(p->phaseDeg, -30, 0.05);
        // Beside a playing generator every sample counts, and the settling shows, with
        // its time constant (1 ms at 100 samples), far above the code steps' noise.
        fra::Capture beside = c;
        beside.samplesPerCycle = 100;
        fra::Quality q;
        ASSERT_TRUE(fra::measurePoint(beside, &why, &q)) << why;
        EXPECT_GT(q.transient, 100);
        EXPECT_NEAR(q.tauS, tau / 1e5, tau < 1000 ? 2e-5 : 1);
        EXPECT_FALSE(p->clipped);
        if (tau > 1000) continue;
        b[1500] = 2550; // code 255 in the measured part of B, then code 0 in A's
        EXPECT_TRUE(fra::measurePoint(c)->clipped);
        std::tie(a[1999], b[1500]) = std::make_pair(0, 1280);
        EXPECT_TRUE(fra::measurePoint(c)->clipped);
        c.referenceIsChannel = false; // the generator wave: 0 is its lowest point
        EXPECT_FALSE(fra::measurePoint(c)->clipped);
    }
}

TEST(FraContinuous, OneTableServesEveryDecade) {
    EXPECT_EQ(std::make_pair(fra::tableLength(1), fra::tableLength(1.5)),
              std::make_pair(32000L, 30000L));
    EXPECT_EQ(fra::sineTable(2, 8, 2),
              (std::vector<int16_t>{638, 1275, 638, 0, 638, 1275, 638, 0}));
    const std::vector<double> asked = fra::logSpaced({100, 100000, 10});
    const std::vector<fra::Step> plan = fra::planContinuous({100, 100000, 10}, 1);
    ASSERT_EQ(plan.size(), 31u);
    int uploads = 0;
    for (size_t i = 0; i < plan.size(); ++i) {
        const fra::Step& st = plan[i];
        SCOPED_TRACE(st.freqHz);
        // Table by table: the round decades (1600 cycles) first, then the next, ...
        uploads += i == 0 || st.cycles != plan[i - 1].cycles;
        EXPECT_TRUE(i >= 4 || (st.freqHz == 100 * std::pow(10, i) && st.cycles == 1600));
        const double clock = 2000 * std::pow(10, st.genRate),
                     rate = 2000 * std::pow(10, st.captureRate);
        // The nearest the table's length allows, 20 to 200 steps a cycle; the capture at
        // least ten times the step clock, the phase grid within 0.3 degrees but at the
        // fastest rate, a period and a half read.
        EXPECT_LE(
            std::abs(st.freqHz - asked[size_t(std::lround(std::log10(st.freqHz / 100) * 10))]),
            clock / 32000 / 2);
        EXPECT_TRUE(clock / st.freqHz >= 20 && clock / st.freqHz <= 200);
        EXPECT_GE(rate, 10 * clock);
        EXPECT_TRUE(180 * st.freqHz / rate <= 0.3 || st.captureRate == 4);
        EXPECT_TRUE(st.count >= 1.5 * rate / st.freqHz && st.count <= 31999);
    }
    EXPECT_EQ(uploads, 10);
    // Above 100 kHz the fastest step clock that leaves a ten times faster capture; points
    // that come out the same are taken once.
    const std::vector<fra::Step> top = fra::planContinuous({200000, 200100, 0, 4}, 1);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(std::make_tuple(top[0].genRate, top[1].freqHz, top[2].freqHz),
              std::make_tuple(3, 200062.5, 200125.0));
}

TEST(FraResponse, CornerCsvAndTimeLeft) {
    const auto lowPass = [](double f, double corner, double phase = 0) {
        return Point{f, -10 * std::log10(1 + f * f / (corner * corner)), phase};
    };
    // First-order low-passes swept from 100 Hz at 5 and 2 points per decade: the corner
    // within 1 % (at a 1 kHz corner the gain at 100 Hz already lies 0.04 dB below the
    // passband, which moves the -3 dB point 0.7 %), its phase within 5 degrees.
    for (int perDecade : {5, 2})
        for (double corner : {1000.0, 4700.0, 31000.0, 100000.0}) {
            std::vector<Point> points;
            for (long f : fra::plannedFrequencies({100, 100000, perDecade}))
                points.push_back(lowPass(double(f), corner, -std::atan(f / corner) * 180 / M_PI));
            const std::optional<fra::Corner> c = fra::findCorner(points);
            ASSERT_TRUE(c) << corner;
            EXPECT_NEAR(c->freqHz / corner, 1, 0.01) << corner << " at " << perDecade;
            EXPECT_NEAR(c->phaseDeg, -45, 5) << corner << " at " << perDecade;
        }
    // From the highest gain, not the first point's (3 dB below -0.46 dB at 1 kHz of a
    // 3 kHz corner); the phase across 180 degrees the short way (linear in log f);
    // exactly on a point; none.
    const double fromPeak =
        3000 * std::sqrt(std::pow(10, (3 - lowPass(1000, 3000).gainDb) / 10) - 1);
    const double across =
        100 * std::sqrt(std::pow(10, (3 - lowPass(100, 300).gainDb) / 10) - 1) * 3;
    const std::tuple<std::vector<Point>, double, double> rows[] = {
        {{{100, -6, 80}, lowPass(1000, 3000), lowPass(10000, 3000, -80)},
         fromPeak,
         -80 * std::log10(fromPeak / 1000)},
        {{lowPass(100, 300, 170), lowPass(1000, 300, -170)},
         across,
         170 + 20 * std::log10(across / 100) - 360},
        {{{100, 0, 0}, {200, -3, -45}}, 200, -45},
        {{{100, 0, 0}, {1000, -2.9, -40}}, 0, 0},
    };
    for (const auto& [points, freq, phase] : rows) {
        const std::optional<fra::Corner> c = fra::findCorner(points);
        ASSERT_EQ(c.has_value(), freq > 0) << freq;
        EXPECT_NEAR(c.value_or(fra::Corner{}).freqHz, freq, 1e-6 * freq);
        EXPECT_NEAR(c.value_or(fra::Corner{}).phaseDeg, phase, 1e-6);
    }
    EXPECT_EQ(
        fra::toCsv({{100, -0.0004, -0.004}, {15873.015873, -5.4656, -57.789}, {0.5, 12, 180}}),
        "frequency_hz,gain_db,phase_deg\n100.0000,0.000,0.00\n15873.0159,-5.466,-57.79\n"
        "0.5000,12.000,180.00\n");
    EXPECT_DOUBLE_EQ(fra::secondsLeft(6, 4, 16, 1.1), 18);
}
