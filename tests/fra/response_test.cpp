// The sweep arithmetic: plans, checks, the reading of one capture, the -3 dB corner and
// the CSV table.
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

TEST(FraResponse, OnePointFromTheSettledHalfOfACapture) {
    // 20 periods of 100 samples at 100 kHz: B at half A's units, 30 degrees behind, read 1
    // sample later than A; a transient in its first half must be left out.
    const long n = 2000;
    std::vector<int16_t> a(n), b(n);
    for (long k = 0; k < n; ++k) {
        a[size_t(k)] = int16_t(std::lround(1280 + 1000 * std::sin(2 * M_PI * k / 100)));
        const double tb = 2 * M_PI * double(k - 1) / 100 - M_PI / 6;
        b[size_t(k)] = int16_t(std::lround(1280 + 500 * std::sin(tb) + 900 * std::exp(-k / 100.0)));
    }
    fra::Capture c{a.data(), b.data(), 0.001, 0.002, n, 100000, 20, -1, true};
    std::optional<Point> p = fra::measurePoint(c);
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->freqHz, 1000);
    EXPECT_NEAR(p->gainDb, 0, 0.01); // 500 x 0.002 V against 1000 x 0.001 V
    EXPECT_NEAR(p->phaseDeg, -30, 0.05);
    EXPECT_FALSE(p->clipped);
    b[1500] = 2550; // code 255 in the measured half of B, then code 0 in A's
    EXPECT_TRUE(fra::measurePoint(c)->clipped);
    std::tie(a[1999], b[1500]) = std::make_pair(0, 1280);
    EXPECT_TRUE(fra::measurePoint(c)->clipped);
    c.referenceIsChannel = false; // the generator wave: 0 is its lowest point
    EXPECT_FALSE(fra::measurePoint(c)->clipped);
}

TEST(FraResponse, CornerCsvAndTimeLeft) {
    // The points; the corner's frequency and phase, 0 for none.
    const std::tuple<std::vector<Point>, double, double> rows[] = {
        {{{100, 0, -1}, {1000, -1, -30}, {10000, -5, -60}}, std::pow(10.0, 3.5), -45},
        // From the peak, not the first point; the phase across 180 degrees the short way.
        {{{100, -6, 80}, {1000, 0, 0}, {10000, -4, -80}}, std::pow(10.0, 3.75), -60},
        {{{100, 0, 170}, {1000, -6, -170}}, std::pow(10.0, 2.5), 180},
        {{{100, 0, 0}, {200, -3, -45}}, 200, -45},
        {{{100, 0, 0}, {1000, -2.9, -40}}, 0, 0},
    };
    for (const auto& [points, freq, phase] : rows) {
        const std::optional<fra::Corner> c = fra::findCorner(points);
        ASSERT_EQ(c.has_value(), freq > 0) << freq;
        EXPECT_NEAR(c.value_or(fra::Corner{}).freqHz, freq, 1e-6 * freq);
        EXPECT_NEAR(c.value_or(fra::Corner{}).phaseDeg, phase, 1e-9);
    }
    EXPECT_EQ(
        fra::toCsv({{100, -0.0004, -0.004}, {15873.015873, -5.4656, -57.789}, {0.5, 12, 180}}),
        "frequency_hz,gain_db,phase_deg\n100.0000,0.000,0.00\n15873.0159,-5.466,-57.79\n"
        "0.5000,12.000,180.00\n");
    EXPECT_DOUBLE_EQ(fra::secondsLeft(6, 4, 16, 1.1), 18);
}
