// The sweep arithmetic: plans, checks, the reading of one capture, the -3 dB corner and
// the CSV table.
#include "fra/response.h"

#include <gtest/gtest.h>

#include <cmath>

using fra::Point;
using fra::Settings;

TEST(FraResponse, PlansAndChecks) {
    struct Row {
        const char* name;
        double from, to;
        int perDecade, points;
        std::vector<long> freqs; // empty: refused
        const char* error;
    } rows[] = {
        {"two decades at 2", 100, 10000, 2, 0, {100, 316, 1000, 3162, 10000}, ""},
        {"part decade rounds up", 1000, 5000, 3, 0, {1000, 1710, 2924, 5000}, ""},
        {"point count", 5, 500000, 99, 3, {5, 1581, 500000}, ""},
        {"same whole hertz once", 5, 6, 10, 0, {5, 6}, ""},
        {"below range",
         4.9,
         100,
         5,
         0,
         {},
         "The frequencies must lie within the generator's range, 5 Hz to 500000 Hz."},
        {"above range",
         100,
         500001,
         5,
         0,
         {},
         "The frequencies must lie within the generator's range, 5 Hz to 500000 Hz."},
        {"reversed", 1000, 100, 5, 0, {}, "The stop frequency must be above the start frequency."},
        {"not a number", NAN, 100, 5, 0, {}, "The start and stop frequencies must be numbers."},
        {"no points per decade", 100, 1000, 0, 0, {}, "Points per decade must be 1 to 100."},
        {"one point", 100, 1000, 5, 1, {}, "The point count must be 2 to 1000."},
        {"too many points", 100, 1000, 5, 1001, {}, "The point count must be 2 to 1000."},
    };
    for (const Row& r : rows) {
        Settings s;
        s.fromHz = r.from;
        s.toHz = r.to;
        s.perDecade = r.perDecade;
        s.points = r.points;
        EXPECT_EQ(fra::check(s), r.error) << r.name;
        EXPECT_EQ(fra::plannedFrequencies(s), r.freqs) << r.name;
    }
    Settings s;
    s.ampDiv = 3;
    EXPECT_EQ(fra::check(s), "The amplitude must be 2 V or 1 V peak to peak.");
}

TEST(FraResponse, OnePointFromTheSettledHalfOfACapture) {
    // 20 periods of 100 samples at 100 kHz (1 kHz): B at half A's amplitude, 30 degrees
    // behind, read 1 sample later than A; the first half of B is a transient that the
    // reading must leave out. Values are converter codes x 10 about 1280.
    const long n = 2000, off = -1;
    std::vector<int16_t> a(n), b(n);
    for (long k = 0; k < n; ++k) {
        const double w = 2 * M_PI * double(k) / 100;
        a[size_t(k)] = int16_t(std::lround(1280 + 1000 * std::sin(w)));
        const double tb = 2 * M_PI * double(k + off) / 100 - M_PI / 6;
        b[size_t(k)] = int16_t(std::lround(1280 + 500 * std::sin(tb) + (k < n / 2 ? 900 : 0)));
    }
    fra::Capture c{a.data(), b.data(), 0.001, 0.002, n, 100000, 20, off, true};
    std::optional<Point> p = fra::measurePoint(c);
    ASSERT_TRUE(p);
    EXPECT_DOUBLE_EQ(p->freqHz, 1000);
    EXPECT_NEAR(p->gainDb, 0, 0.01); // 500 x 0.002 V against 1000 x 0.001 V
    EXPECT_NEAR(p->phaseDeg, -30, 0.05);
    EXPECT_FALSE(p->clipped);

    b[1500] = 2550; // a code 255 in the measured half
    EXPECT_TRUE(fra::measurePoint(c)->clipped);
    a[1999] = 0;
    b[1500] = 1280;
    EXPECT_TRUE(fra::measurePoint(c)->clipped);
    c.referenceIsChannel = false; // the generator wave: its 0 is its lowest point
    EXPECT_FALSE(fra::measurePoint(c)->clipped);

    std::string why;
    c.cycles = 1;
    EXPECT_FALSE(fra::measurePoint(c, &why));
    EXPECT_EQ(why, "no generator table");
    c.cycles = 20;
    std::fill(b.begin(), b.end(), int16_t(1280));
    EXPECT_FALSE(fra::measurePoint(c, &why));
    EXPECT_EQ(why, "no signal on B at A's frequency");
}

TEST(FraResponse, CornerAtMinusThreeDecibels) {
    struct Row {
        const char* name;
        std::vector<Point> points;
        bool found;
        double freq, phase;
    } rows[] = {
        {"low-pass between two points",
         {{100, 0, -1}, {1000, -1, -30}, {10000, -5, -60}},
         true,
         std::pow(10.0, 3.5),
         -45},
        {"from the peak, not the first point",
         {{100, -6, 80}, {1000, 0, 0}, {10000, -4, -80}},
         true,
         std::pow(10.0, 3.75),
         -60},
        {"phase across 180 degrees",
         {{100, 0, 170}, {1000, -6, -170}},
         true,
         std::pow(10.0, 2.5),
         180},
        {"on a point", {{100, 0, 0}, {200, -3, -45}}, true, 200, -45},
        {"never 3 dB down", {{100, 0, 0}, {1000, -2.9, -40}}, false, 0, 0},
        {"one point", {{100, -10, 0}}, false, 0, 0},
    };
    for (const Row& r : rows) {
        const std::optional<fra::Corner> c = fra::findCorner(r.points);
        ASSERT_EQ(c.has_value(), r.found) << r.name;
        if (!c) continue;
        EXPECT_NEAR(c->freqHz, r.freq, 1e-6 * r.freq) << r.name;
        EXPECT_NEAR(c->phaseDeg, r.phase, 1e-9) << r.name;
    }
}

TEST(FraResponse, CsvAndTimeLeft) {
    EXPECT_EQ(fra::toCsv({}), "frequency_hz,gain_db,phase_deg\n");
    EXPECT_EQ(
        fra::toCsv({{100, -0.0004, -0.004}, {15873.015873, -5.4656, -57.789}, {0.5, 12, 180}}),
        "frequency_hz,gain_db,phase_deg\n"
        "100.0000,0.000,0.00\n"
        "15873.0159,-5.466,-57.79\n"
        "0.5000,12.000,180.00\n");
    EXPECT_DOUBLE_EQ(fra::secondsLeft(0, 0, 16, 1.1), 16 * 1.1);
    EXPECT_DOUBLE_EQ(fra::secondsLeft(6, 4, 16, 1.1), 18);
    EXPECT_DOUBLE_EQ(fra::secondsLeft(6, 16, 16, 1.1), 0);
}
