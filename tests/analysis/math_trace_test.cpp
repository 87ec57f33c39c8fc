// The math trace against closed forms, the references' files and their stored text.
#include "analysis/math_trace.h"
#include "analysis/reference.h"
#include "analysis/xy.h"
#include "files/formats.h"
#include "synth.h"

#include <gtest/gtest.h>

using analysis::MathOp;
using analysis::Wave;

namespace {
const double U = synth::Vpu;
} // namespace

TEST(MathTrace, EachOperationSampleBySampleWithItsUnit) {
    // A: +100, -200, 0 units; B: +50, +50, -10 (one step exactly: still a point).
    const std::vector<int16_t> a = {1380, 1080, 1280}, b = {1330, 1330, 1270};
    struct Row {
        MathOp op;
        const char* unit;
        std::vector<double> values;
    };
    const Row rows[] = {
        {MathOp::Sum, "V", {150 * U, -150 * U, -10 * U}},
        {MathOp::Difference, "V", {50 * U, -250 * U, 10 * U}},
        {MathOp::Product, "V^2", {5000 * U * U, -10000 * U * U, 0}},
        {MathOp::Ratio, "", {2, -4, 0}},
        {MathOp::NegA, "V", {-100 * U, 200 * U, 0}},
        {MathOp::NegB, "V", {-50 * U, -50 * U, 10 * U}},
        {MathOp::AbsA, "V", {100 * U, 200 * U, 0}},
        {MathOp::AbsB, "V", {50 * U, 50 * U, 10 * U}},
        {MathOp::IntegralA, "V*s", {0, -50 * U / synth::Rate, -150 * U / synth::Rate}},
        {MathOp::DerivativeB, "V/s", {0, -30 * U * synth::Rate, -60 * U * synth::Rate}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(analysis::mathOpInfo(r.op).name);
        const Wave m = analysis::mathTrace(r.op, synth::trace(a), synth::trace(b));
        EXPECT_EQ(m.unit, r.unit);
        ASSERT_EQ(m.values.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(m.values[i], r.values[i], 1e-9 * std::max(1.0, std::abs(r.values[i])));
    }
    // A/B: no point where |B| is under one converter step (10 units).
    const std::vector<int16_t> small = {1280, 1289, 1271, 1290};
    const Wave q = analysis::mathTrace(MathOp::Ratio, synth::trace({1380, 1380, 1380, 1380}),
                                       synth::trace(small));
    EXPECT_TRUE(std::isnan(q.values[0]) && std::isnan(q.values[1]) && std::isnan(q.values[2]));
    EXPECT_DOUBLE_EQ(q.values[3], 10);
}

TEST(MathTrace, ClosedFormsOfProductIntegralAndDerivative) {
    const double Pi = synth::Pi;
    // a sin x b sin(x + 60 deg): the mean over whole periods is a b cos(60 deg) / 2.
    const auto a = synth::wave(4000, [&](double t) { return std::sin(2 * Pi * 1000 * t); });
    const auto b =
        synth::wave(4000, [&](double t) { return 0.5 * std::sin(2 * Pi * 1000 * t + Pi / 3); });
    const Wave p = analysis::mathTrace(MathOp::Product, synth::trace(a), synth::trace(b));
    const analysis::Measurements m = analysis::measureWave(p, 0, p.values.size());
    ASSERT_TRUE(m.meanV.ok());
    EXPECT_NEAR(*m.meanV, 0.125, 0.002);
    EXPECT_NEAR(*m.frequencyHz, 2000, 1); // the product runs at twice the frequency

    // A +-1 V square of 1 kHz integrates to a triangle rising and falling 1 V*s/s.
    const auto sq = synth::wave(4000, [](double t) { return std::fmod(t, 1e-3) < 5e-4 ? 1 : -1; });
    const Wave in = analysis::mathTrace(MathOp::IntegralA, synth::trace(sq), synth::trace(sq));
    const double level = (sq[0] - 1280) * U; // 1 V within half a unit
    EXPECT_NEAR(in.values[400] - in.values[100], 300e-6 * level, 1e-12);
    EXPECT_NEAR(in.values[900] - in.values[600], -300e-6 * level, 1e-12);
    EXPECT_NEAR(*analysis::measureWave(in, 0, 4000).vppV, 500e-6, 2e-6);
    EXPECT_NEAR(in.values[3999], 0, 2e-6); // whole periods: back to the start

    // The derivative of sin(2 pi 1 kHz t) at 100 samples a period: 2 pi 1000 cos(...)
    // within a unit over two samples (47 V/s) and the central difference's own error.
    const auto s = synth::wave(1000, [&](double t) { return std::sin(2 * Pi * 10000 * t); });
    const Wave d =
        analysis::mathTrace(MathOp::DerivativeA, synth::trace(s, 1e5), synth::trace(s, 1e5));
    for (size_t i = 1; i + 1 < d.values.size(); ++i)
        ASSERT_NEAR(d.values[i], 2 * Pi * 1000 * std::cos(2 * Pi * 1000 * double(i) / 1e5), 55)
            << i;
}

TEST(References, SignalFilesCsvExportsAndTheirStoredTextRefusedWhenDamaged) {
    InstrumentState s;
    s.DataRateA = 2; // 200 kHz
    s.DataRangeA = 0;
    s.DataRangeB = 1; // 93.75 mV a code
    s.SampleSizeIndex = 0;
    for (size_t i = 0; i < 2048; ++i)
        s.ChanABuffer[i] = int16_t(1280 + 10 * (i % 7)), s.ChanBBuffer[i] = 1300;
    std::string signal;
    ASSERT_TRUE(files::encodeSignal(s, files::WqkSignal, signal));
    const std::string csv = files::encodeExport(s, true);
    const std::string* inputs[] = {&signal, &csv};
    for (const std::string* bytes : inputs) {
        Wave a, b;
        ASSERT_EQ(analysis::readReference(*bytes, analysis::Channel::A, a), "");
        ASSERT_EQ(analysis::readReference(*bytes, analysis::Channel::B, b), "");
        EXPECT_DOUBLE_EQ(a.sampleRateHz, 200000);
        // (the export rounds to whole millivolts of the 1.2 V range)
        EXPECT_NEAR(a.values[3], 30 * U, 0.0005);
        EXPECT_NEAR(b.values[5], 20 * 10 * U, 0.005);
        // Kept as text and read back to the float.
        Wave back;
        ASSERT_TRUE(analysis::decodeWave(analysis::encodeWave(a), back));
        EXPECT_EQ(back.values.size(), a.values.size());
        EXPECT_FLOAT_EQ(float(back.values[3]), float(a.values[3]));
    }
    const std::pair<std::string, std::string> refused[] = {
        {"garbage", "neither a signal file nor a CSV export of the signals"},
        {csv.substr(0, 36) + "Samples/Sec:,x\r\n", "no sampling rate on its second line"},
        {csv.substr(0, csv.find("Channel A")) + "Channel A, Channel B\r\n1,2\r\n1;2\r\n",
         "line 5 is no pair of numbers"},
    };
    for (const auto& [bytes, why] : refused) {
        Wave w;
        w.values = {7};
        EXPECT_EQ(analysis::readReference(bytes, analysis::Channel::A, w), why);
        EXPECT_EQ(w.values, std::vector<double>{7}); // left as it was
    }
    Wave w;
    for (const char* damaged : {"", "100 V 3\n1 2", "-5 V 1\n1", "100 V 1\n1x"})
        EXPECT_FALSE(analysis::decodeWave(damaged, w)) << damaged;
    // 1-2-5 scales that hold a peak in three divisions.
    EXPECT_DOUBLE_EQ(analysis::scaleFor(1.0, 3), 0.5);
    EXPECT_DOUBLE_EQ(analysis::scaleFor(0.125, 3), 0.05);
    EXPECT_DOUBLE_EQ(analysis::scaleStep(0.2, -2), 0.05);
}

TEST(Xy, TwoSinesNinetyDegreesApartAreAnEllipseOnTheirAmplitudes) {
    const double Pi = synth::Pi;
    const auto a = synth::wave(3000, [&](double t) { return std::sin(2 * Pi * 1000 * t); });
    const auto b = synth::wave(3000, [&](double t) { return 0.5 * std::cos(2 * Pi * 1000 * t); });
    // B's window 7 samples later than A's: B's j pairs with A's j + 7.
    std::vector<int16_t> late(b.begin() + 7, b.end());
    const analysis::XyPoints p =
        analysis::xyPoints(synth::trace(a), synth::trace(late), 100, 2000, 7);
    ASSERT_EQ(p.x.size(), 2000u);
    double xMax = 0, yMax = 0;
    for (size_t i = 0; i < p.x.size(); ++i) {
        // (x / 1 V)^2 + (y / 0.5 V)^2 = 1 within half a unit on each axis.
        ASSERT_NEAR(p.x[i] * p.x[i] + 4 * p.y[i] * p.y[i], 1, 4 * U) << i;
        xMax = std::max(xMax, std::abs(p.x[i])), yMax = std::max(yMax, std::abs(p.y[i]));
    }
    EXPECT_NEAR(xMax, 1, U); // the axes: 1 V along A, 0.5 V along B
    EXPECT_NEAR(yMax, 0.5, U);
    EXPECT_DOUBLE_EQ(p.largest(), xMax);
    // A's samples without B's (B's window starts later) are left out.
    EXPECT_EQ(analysis::xyPoints(synth::trace(a), synth::trace(late), 0, 10, 7).x.size(), 3u);
}
