// The generator's wave tables: settled frequencies, NORMAL tables, SWEEP tables.
#include "generator/synthesis.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {
std::vector<int16_t> buffer() {
    return std::vector<int16_t>(32768, -7);
}
// Start indexes of the cycles of a ramp table: a ramp starts each cycle at 0.
std::vector<long> cycleStarts(const std::vector<int16_t>& w, long last) {
    std::vector<long> starts;
    for (long i = 0; i < last; ++i)
        if (w[size_t(i)] == 0) starts.push_back(i);
    return starts;
}
} // namespace

TEST(Settle, FrequencyRateIndexCyclesAndFixedPoint) {
    const struct {
        long in, out;
        int index;
    } rows[] = {{1234, 1235, 2}, {150000, 150376, 4}, {300000, 298507, 4}, {5, 5, 0},
                {19, 19, 0},     {20, 20, 1},         {500000, 500000, 4}, {0, 5, 0},
                {-40, 5, 0},     {2000000, 500000, 4}}; // held to 5..500k
    for (const auto& r : rows) {
        const gen::Settled f = gen::settleFrequency(r.in, 1.0f);
        EXPECT_TRUE(f.freq == r.out && f.rateIndex == r.index) << r.in << ": " << f.freq;
    }
    // 40 cycles in the lower half of each decade, 20 in the upper.
    for (long f : {10L, 19L, 100L, 199L, 1000L, 1999L, 10000L, 19999L, 100000L, 500000L})
        EXPECT_EQ(gen::cyclesFor(f), 40) << f;
    for (long f : {5L, 9L, 20L, 99L, 200L, 999L, 2000L, 9999L, 20000L, 99999L})
        EXPECT_EQ(gen::cyclesFor(f), 20) << f;
    // Every whole frequency settles within four rounds to a fixed point of the rule.
    for (float rf : {1.0f, 1.5f}) {
        int worst = 0;
        for (long f = 5; f <= 500000; f += (f < 30000 ? 1 : 7)) {
            const gen::Settled s = gen::settleFrequency(f, rf);
            worst = std::max(worst, s.rounds);
            ASSERT_EQ(gen::settleFrequency(s.freq, rf).rounds, 1) << f;
            ASSERT_NEAR(s.points, gen::stepClock(s.rateIndex, rf) / s.freq, 1e-9);
        }
        EXPECT_LE(worst, 4) << rf;
    }
}

TEST(NormalTable, LengthsAndPointsOfEachStyle) {
    const double angle20 = gen::squareSwitchAngle(20);
    EXPECT_DOUBLE_EQ(angle20, 288);
    constexpr long L = 1 << 20; // an index L + k stands for last + k
    const struct {
        const char* name;
        int style, ampDiv;
        double angle;
        std::vector<std::pair<long, int>> points; // index, value
    } rows[] = {
        {"sine", gen::Sine, 1, 0, {{0, 1275}, {100, 2550}, {300, 0}}},
        {"ramp", gen::Ramp, 1, 0, {{0, 0}, {399, 2544}, {L, 0}}},
        {"square 20 %, half", gen::Square, 2, angle20, {{319, 0}, {320, 1275}, {L, 0}}},
        {"triangle at half amplitude", gen::Triangle, 2, 0, {{0, 638}, {L, 1280}, {L + 1, 0}}}};
    for (const auto& r : rows) {
        auto w = buffer();
        const long last =
            gen::synthNormal(w, r.style, gen::settleFrequency(5, 1), r.ampDiv, r.angle);
        EXPECT_EQ(last, 8000) << r.name; // 5 Hz: 20 cycles of 400 points
        for (auto [i, v] : r.points)
            EXPECT_EQ(w[size_t(i >= L ? last + i - L : i)], v) << r.name << " at " << i;
        const auto [lo, hi] = std::minmax_element(w.begin(), w.begin() + last);
        EXPECT_EQ(*lo, 0) << r.name;
        if (r.style == gen::Ramp)
            EXPECT_TRUE(*hi > 2500 && *hi < 2550) << r.name; // 359.x degrees at most
        else
            EXPECT_EQ(*hi, 2550 / r.ampDiv) << r.name;
        for (long i = 0; i + 400 < last; ++i) // every cycle the same
            ASSERT_EQ(w[size_t(i)], w[size_t(i + 400)]) << r.name << " " << i;
    }
    auto w = buffer();
    gen::sineTail(w, 32000, 2); // the rest of the buffer at mid-level, rounded to even
    EXPECT_TRUE(w[31999] == -7 && w[32000] == 638 && w[32767] == 638);
}

TEST(SweepTable, BothBasesFirstAndLastCycleAndTotal) {
    struct Row {
        int half, ratio, first, end;
        long minTotal, maxTotal;
        size_t minCycles, maxCycles;
        double k, c; // each cycle shorter than the one before by Int(P / K + c) steps
    };
    // Both bases, their slowest and fastest ratio (X20 gives 202 cycles).
    for (Row r : {Row{0, 0, 398, 200, 30000, 31500, 100, 202, 200, 0.95},
                  Row{0, 3, 396, 20, 30000, 31500, 202, 202, 100, 0.8},
                  Row{1, 0, 199, 100, 14900, 20000, 50, 200, 800, 0.875},
                  Row{1, 2, 199, 20, 14900, 20000, 50, 200, 400, 0.95}}) {
        auto w = buffer();
        const long last = gen::synthSweep(w, gen::Ramp, r.half, r.ratio, 1);
        const auto starts = cycleStarts(w, last);
        const std::string at = std::to_string(r.half) + "/" + std::to_string(r.ratio);
        ASSERT_GE(starts.size(), 2u) << at;
        EXPECT_TRUE(starts[0] == 0 && starts[1] == r.first && last - starts.back() == r.end) << at;
        EXPECT_TRUE(last >= r.minTotal && last <= r.maxTotal && last < 32768) << at;
        EXPECT_TRUE(starts.size() >= r.minCycles && starts.size() <= r.maxCycles) << at;
        long prev = r.half ? 200 : 400;
        for (size_t k = 0; k < starts.size(); ++k) {
            const long len = (k + 1 < starts.size() ? starts[k + 1] : last) - starts[k];
            ASSERT_EQ(len, prev - long(std::floor(double(prev) / r.k + r.c))) << at << " " << k;
            prev = len;
        }
    }
    // The square is always half and half; the triangle closes at mid-level.
    auto w = buffer();
    long last = gen::synthSweep(w, gen::Square, 1, 0, 1);
    for (long i = 0; i < 199; ++i)
        ASSERT_EQ(w[size_t(i)], i < 100 ? 0 : 2550) << i;
    EXPECT_EQ(w[size_t(last)], 0);
    last = gen::synthSweep(w, gen::Triangle, 0, 2, 1);
    // The next cycle overwrote the first cycle's closing point.
    EXPECT_TRUE(w[size_t(last)] == 1280 && w[396] == 1275);
    // X20 from a 200-step base does not exist: it plays as X10.
    auto x10 = buffer();
    EXPECT_EQ(gen::synthSweep(w, gen::Sine, 1, 3, 1), gen::synthSweep(x10, gen::Sine, 1, 2, 1));
    EXPECT_EQ(w, x10);
}
