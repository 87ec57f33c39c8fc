#include "device/commands.h"
#include "sim/generator_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using sim::GeneratorModel;

namespace {

constexpr double Tau = 1e9 / (2 * M_PI * 10000);

struct Model {
    GeneratorModel g;
    std::vector<std::string> misuse;
    GeneratorModel::Memory mem{};
    explicit Model(double rf = 1.0) : g(rf) {
        g.report = [this](const std::string& m) { misuse.push_back(m); };
    }
    // The generator's side of a start: reset, select, then the two 26H / 22H writes.
    void start(int64_t t, int rateCode, int lastIndex, bool sweep) {
        g.reset(t);
        g.select();
        const int c = sweep ? cmd::Sweep : cmd::Continuous;
        const int length = 32768 - lastIndex;
        EXPECT_FALSE(g.command(0, c, t, length, mem));
        EXPECT_EQ(g.command(sweep ? rateCode + 8 : rateCode, c, t, length, mem), sweep);
    }
};

double volts(int code) {
    return code * 2.0 / 255.0;
}

} // namespace

TEST(GeneratorModel, ContinuousPlaysUpToTheLoadedLengthAtTheStepRate) {
    for (double rf : {1.0, 1.5}) {
        Model m(rf);
        for (int i = 0; i < 32768; ++i)
            m.mem[i] = uint8_t(i % 251);
        m.start(1000, 3, 99, false); // 100 points at 200 kHz (300 kHz)
        EXPECT_EQ(m.g.mode(), GeneratorModel::Mode::Continuous);
        const double step = 1e9 / (200000 * rf);
        for (int k = 0; k < 1000; k += 7)
            ASSERT_EQ(m.g.outputCode(1000 + (k + 0.5) * step), k % 100) << rf << " " << k;
        EXPECT_FALSE(m.g.sweepDone(int64_t(1e12)));
        EXPECT_TRUE(m.misuse.empty());
    }
    EXPECT_DOUBLE_EQ(GeneratorModel(1.0).stepRate(1), 20e6);
    EXPECT_DOUBLE_EQ(GeneratorModel(1.5).stepRate(5), 3000);
    EXPECT_EQ(GeneratorModel(1.0).stepRate(6), 0);
}

TEST(GeneratorModel, LengthCounterLimits) {
    Model m;
    m.mem.fill(7);
    m.mem[9] = 200;
    m.mem[10] = 99;
    m.start(0, 1, 9, false); // the shortest custom wave: 10 points
    const double step = 50;
    EXPECT_EQ(m.g.outputCode(9.5 * step), 200);
    EXPECT_EQ(m.g.outputCode(10.5 * step), 7);
    m.mem[32767] = 33;
    m.start(0, 1, 32767, false);
    EXPECT_EQ(m.g.outputCode(32767.5 * step), 33);
    EXPECT_EQ(m.g.outputCode(32768.5 * step), 7);
}

TEST(GeneratorModel, ResetStopsAtZeroVoltsAndBadStartsAreReported) {
    Model m;
    m.mem.fill(255);
    m.start(0, 2, 999, false);
    EXPECT_EQ(m.g.outputCode(5e6), 255);
    m.g.reset(int64_t(5e6));
    EXPECT_EQ(m.g.mode(), GeneratorModel::Mode::Idle);
    EXPECT_EQ(m.g.outputCode(6e6), 0);
    EXPECT_EQ(m.g.output(6e6), 0.0);
    // The low-pass decays from 2 V to nothing within ten time constants.
    EXPECT_NEAR(m.g.filtered(5e6), 2.0, 1e-9);
    EXPECT_LT(m.g.filtered(5e6 + 10 * Tau), 2.0 * 1e-4);

    EXPECT_FALSE(m.g.command(6, cmd::Continuous, 7000000, 0, m.mem));
    EXPECT_FALSE(m.g.command(0x14, cmd::Sweep, 7000000, 0, m.mem));
    EXPECT_EQ(m.misuse.size(), 2u);
    EXPECT_EQ(m.g.mode(), GeneratorModel::Mode::Idle);
    // Started without the 0BH selection: it plays, and the slip is on record.
    m.g.command(2, cmd::Continuous, 8000000, 0, m.mem);
    EXPECT_EQ(m.misuse.size(), 3u);
    EXPECT_EQ(m.g.mode(), GeneratorModel::Mode::Continuous);
}

TEST(GeneratorModel, SweepPlaysOnceThenReportsItsEnd) {
    for (int rateCode : {1, 4}) {
        Model m;
        for (int i = 0; i < 500; ++i)
            m.mem[i] = uint8_t(i / 2);
        m.start(1000000, rateCode, 499, true);
        const auto& p = m.g.sweepPlan();
        const int delay = rateCode == 1 ? 4 : 1;
        EXPECT_EQ(p.points, 500);
        EXPECT_EQ(p.delay, delay);
        EXPECT_EQ(p.firstAddress, 32768 - 499);
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
}

TEST(GeneratorModel, SweepSamplesLandWhereTheReadOutLooks) {
    Model m;
    for (int i = 0; i < 300; ++i)
        m.mem[i] = uint8_t(10 + i % 200);
    m.start(0, 3, 299, true);
    GeneratorModel::Memory a{}, b{};
    a.fill(1);
    b.fill(1);
    m.g.fillSweep(a, b, [&](int ch, double t) {
        return uint8_t(ch == 0 ? m.g.outputCode(t) : 255 - m.g.outputCode(t));
    });
    // Channel A read-out skips 32768 - 299 + 1 samples, then reads 299.
    const int skip = 32768 - 299 + 1;
    for (int k = 0; k < 299; ++k) {
        ASSERT_EQ(a[(skip + k) % 32768], m.mem[k]) << k;
        ASSERT_EQ(b[(skip + k) % 32768], 255 - m.mem[k]) << k;
    }
    // The delay sample before the sweep saw the idle output.
    EXPECT_EQ(a[32768 - 299], 0);
    EXPECT_EQ(a[32768 - 300], 1); // untouched
}

TEST(GeneratorModel, LowPassMatchesAStepByStepFilter) {
    Model m;
    std::mt19937 rng(7);
    for (int i = 0; i < 64; ++i)
        m.mem[i] = uint8_t(rng() % 256);
    m.g.reset(0);
    m.g.select();
    m.g.command(1, cmd::Continuous, 0, 32768 - 63, m.mem); // 64 points at 20 MHz
    const double h = 50, a = std::exp(-h / Tau);
    double y = 0;
    for (int n = 0; n < 20000; ++n) {
        const double x = volts(m.mem[n % 64]);
        if (n % 97 == 0) {
            ASSERT_NEAR(m.g.filtered(n * h), y, 1e-9) << n;
            ASSERT_NEAR(m.g.filtered(n * h + 20), x + (y - x) * std::exp(-20 / Tau), 1e-9) << n;
        }
        y = x + (y - x) * a;
    }
}

TEST(GeneratorModel, LowPassResponse) {
    // A constant 2 V switched on: 1 - 1/e of it after one time constant.
    Model m;
    m.mem.fill(255);
    m.start(0, 2, 99, false);
    EXPECT_NEAR(m.g.filtered(Tau), 2 * (1 - std::exp(-1.0)), 1e-9);

    // A sine at the corner frequency passes at 1/sqrt 2 of its amplitude.
    auto swing = [](double freqHz) {
        Model s;
        const int points = int(2000000 / freqHz); // 2 MHz step clock
        for (int i = 0; i < points; ++i)
            s.mem[i] = uint8_t(std::lround(127.5 + 127.5 * std::sin(2 * M_PI * i / points)));
        s.start(0, 2, points - 1, false);
        double lo = 9, hi = -9;
        const double period = 1e9 / freqHz;
        for (double t = 20 * Tau; t < 20 * Tau + 3 * period; t += period / 400) {
            lo = std::min(lo, s.g.filtered(t));
            hi = std::max(hi, s.g.filtered(t));
        }
        return (hi - lo) / 2.0;
    };
    EXPECT_NEAR(swing(1000), 1.0 / std::sqrt(1 + 0.01), 0.01);
    EXPECT_NEAR(swing(10000), 1.0 / std::sqrt(2.0), 0.02);
    EXPECT_NEAR(swing(50000), 1.0 / std::sqrt(26.0), 0.02);
}
