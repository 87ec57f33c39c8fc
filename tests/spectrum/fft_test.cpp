#include "spectrum/fft.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

using testing_support::Harness;
using testing_support::MessageLog;

namespace {

struct Work {
    std::vector<double> ri = std::vector<double>(32801), ii = std::vector<double>(32801),
                        ro = std::vector<double>(32801), io = std::vector<double>(33001);
};

// Direct DFT with the transform's sign convention, e^(+i 2 pi n k / N).
std::vector<std::complex<double>> dft(const std::vector<double>& x, int n) {
    const double pi = M_PI;
    std::vector<std::complex<double>> out(n);
    for (int k = 0; k < n; ++k) {
        std::complex<double> acc = 0;
        for (int j = 0; j < n; ++j) {
            const double a = 2 * pi * double((long(j) * k) % n) / n;
            acc += x[j] * std::complex<double>(std::cos(a), std::sin(a));
        }
        out[k] = acc;
    }
    return out;
}

std::vector<int16_t> sineBuffer(int n, int cycles, double amp = 1000, double phase = 0.3) {
    std::vector<int16_t> b(32768, 777); // the tail must survive untouched
    for (int i = 0; i < n; ++i)
        b[i] = int16_t(1280 + std::lround(amp * std::sin(2 * M_PI * cycles * i / n + phase)));
    return b;
}

} // namespace

TEST(FftHelpers, BitsAndPowers) {
    EXPECT_EQ(ReverseBits(1, 3), 4);
    EXPECT_EQ(ReverseBits(6, 3), 3);
    EXPECT_EQ(ReverseBits(1, 15), 16384);
    EXPECT_EQ(ReverseBits(0x5, 1), 1); // only the lowest bit counts
    for (uint8_t bits = 1; bits <= 15; ++bits)
        for (int32_t i = 0; i < (1 << bits); i += 1 + (i >> 3))
            ASSERT_EQ(ReverseBits(ReverseBits(i, bits), bits), i) << int(bits) << " " << i;

    EXPECT_EQ(NumberOfBitsNeeded(32768), 15);
    EXPECT_EQ(NumberOfBitsNeeded(2048), 11);
    EXPECT_EQ(NumberOfBitsNeeded(65536), 16);
    EXPECT_EQ(NumberOfBitsNeeded(12), 2);      // the lowest set bit
    EXPECT_EQ(NumberOfBitsNeeded(1 << 17), 0); // beyond bit 16
    EXPECT_EQ(NumberOfBitsNeeded(0), 0);

    EXPECT_FALSE(IsPowerOfTwo(0));
    EXPECT_FALSE(IsPowerOfTwo(1));
    EXPECT_TRUE(IsPowerOfTwo(2));
    EXPECT_TRUE(IsPowerOfTwo(32768));
    EXPECT_FALSE(IsPowerOfTwo(1000));
    EXPECT_FALSE(IsPowerOfTwo(32767));
    EXPECT_FALSE(IsPowerOfTwo(-2147483647 - 1));
    EXPECT_FALSE(IsPowerOfTwo(-4));
}

TEST(Fourier, RejectsCountsThatAreNotPowersOfTwo) {
    MessageLog log;
    log.install();
    Work w;
    w.ro.assign(w.ro.size(), 9.5);
    w.io.assign(w.io.size(), -3.25);
    for (int32_t n : {1000, 1, 0, -8}) {
        int32_t count = n;
        EXPECT_FALSE(Fourier(count, w.ri, w.ii, w.ro, w.io));
    }
    ASSERT_EQ(log.shown.size(), 4u);
    EXPECT_EQ(log.shown[0].text, "Error in procedure Fourier:\r\n NumSamples is 1000, which is "
                                 "not a positive integer power of two.");
    EXPECT_EQ(log.shown[1].text, "Error in procedure Fourier:\r\n NumSamples is 1, which is not "
                                 "a positive integer power of two.");
    EXPECT_EQ(log.shown[0].title, "Error!");
    EXPECT_EQ(log.shown[0].buttons, plat::Buttons::OK);
    EXPECT_EQ(log.shown[0].icon, plat::Icon::None);
    for (size_t i = 0; i < w.ro.size(); ++i)
        ASSERT_EQ(w.ro[i], 9.5);
    for (size_t i = 0; i < w.io.size(); ++i)
        ASSERT_EQ(w.io[i], -3.25);

    // A power of two beyond the arrays is refused rather than run off their end.
    int32_t big = 65536;
    EXPECT_FALSE(Fourier(big, w.ri, w.ii, w.ro, w.io));
    ASSERT_EQ(log.shown.size(), 5u);
    EXPECT_EQ(log.shown[4].title, "Error!");
    EXPECT_NE(log.shown[4].text.find("65536"), std::string::npos);
    MessageLog::uninstall();
}

TEST(Fourier, HandWorkedEightPointCases) {
    Work w;
    int32_t n = 8;
    // A unit impulse at 0 has a flat spectrum; at 4 it alternates. Twiddles only ever
    // multiply zeros here, so the result is exact.
    w.ri.assign(w.ri.size(), 0);
    w.ri[0] = 1;
    ASSERT_TRUE(Fourier(n, w.ri, w.ii, w.ro, w.io));
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(w.ro[k], 1.0) << k;
        EXPECT_EQ(w.io[k], 0.0) << k;
    }
    w.ri[0] = 0;
    w.ri[4] = 1;
    ASSERT_TRUE(Fourier(n, w.ri, w.ii, w.ro, w.io));
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(w.ro[k], k % 2 ? -1.0 : 1.0) << k;

    // x = 1, 1, 0, ...: bit reversal puts the ones at 0 and 4, the first two stages copy
    // them, and the last stage gives X[m] = 1 + w^m and X[m+4] = 1 - w^m, w = e^(i Pi/4)
    // with Pi = 3.1415926. X[2] = 1 + cos(Pi/2) carries the difference from true pi.
    w.ri.assign(w.ri.size(), 0);
    w.ri[0] = 1;
    w.ri[1] = 1;
    ASSERT_TRUE(Fourier(n, w.ri, w.ii, w.ro, w.io));
    const double d = 2 * 3.1415926 / 8;
    for (int m = 0; m < 4; ++m) {
        EXPECT_NEAR(w.ro[m], 1 + std::cos(m * d), 1e-14) << m;
        EXPECT_NEAR(w.io[m], std::sin(m * d), 1e-14) << m;
        EXPECT_NEAR(w.ro[m + 4], 1 - std::cos(m * d), 1e-14) << m;
        EXPECT_NEAR(w.io[m + 4], -std::sin(m * d), 1e-14) << m;
    }
    EXPECT_NEAR(w.ro[2] - 1, (M_PI - 3.1415926) / 2, 1e-15);
    EXPECT_EQ(w.ri[1], 1.0); // the input is left alone
}

TEST(Fourier, MatchesADirectTransformOnRandomInput) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> u(-25.5, 25.5);
    for (int32_t n : {2, 16, 256, 2048}) {
        Work w;
        for (int i = 0; i < n; ++i)
            w.ri[i] = u(rng);
        int32_t count = n;
        ASSERT_TRUE(Fourier(count, w.ri, w.ii, w.ro, w.io));
        EXPECT_EQ(count, n);
        const auto exact = dft(w.ri, n);
        double norm = 0;
        for (auto& c : exact)
            norm = std::max(norm, std::abs(c));
        for (int k = 0; k < n; ++k) {
            const std::complex<double> got(w.ro[k], w.io[k]);
            // Pi is 3.1415926, so against true pi the two differ by about 1e-6 of the largest line.
            ASSERT_LT(std::abs(got - exact[k]) / norm, 1e-4) << n << " bin " << k;
        }
    }
}

TEST(Spectrum, FlatInputGivesAllZeros) {
    Work w;
    std::vector<int16_t> b(32768, 1900);
    ASSERT_TRUE(spectrum::convertChannel(b, 4096, w.ri, w.ii, w.ro, w.io));
    for (int i = 0; i < 2048; ++i)
        ASSERT_EQ(b[i], 0) << i;
    for (int i = 2048; i < 32768; ++i)
        ASSERT_EQ(b[i], 1900) << i;
}

TEST(Spectrum, WholeCyclesPeakAt2550InTheirBin) {
    Work w;
    struct Case {
        int n, k;
    };
    for (Case c :
         {Case{2048, 1}, Case{2048, 100}, Case{2048, 1023}, Case{32768, 1000}, Case{8192, 37}}) {
        auto b = sineBuffer(c.n, c.k);
        ASSERT_TRUE(spectrum::convertChannel(b, c.n, w.ri, w.ii, w.ro, w.io));
        EXPECT_EQ(b[0], 0);
        EXPECT_EQ(b[c.k], 2550) << c.n << "/" << c.k;
        for (int i = 1; i < c.n / 2; ++i)
            if (i != c.k) {
                ASSERT_LT(b[i], 26) << c.n << "/" << c.k << " bin " << i;
            }
        EXPECT_EQ(b[c.n / 2], sineBuffer(c.n, c.k)[c.n / 2]); // samples above N/2 stay
        if (c.n < 32768) {
            EXPECT_EQ(b[32767], 777);
        }
    }
}

TEST(Spectrum, TwoLinesKeepTheirRatio) {
    // Two sines, the second at half the amplitude: the smaller line reads about 1275.
    Work w;
    std::vector<int16_t> b(32768, 1280);
    for (int i = 0; i < 4096; ++i)
        b[i] = int16_t(1280 + std::lround(800 * std::sin(2 * M_PI * 40 * i / 4096) +
                                          400 * std::sin(2 * M_PI * 300 * i / 4096)));
    ASSERT_TRUE(spectrum::convertChannel(b, 4096, w.ri, w.ii, w.ro, w.io));
    EXPECT_EQ(b[40], 2550);
    EXPECT_NEAR(b[300], 1275, 6);
}

TEST(Spectrum, BadCountLeavesTheBufferAlone) {
    MessageLog log;
    log.install();
    Work w;
    std::vector<int16_t> b = sineBuffer(2048, 3);
    const auto before = b;
    EXPECT_FALSE(spectrum::convertChannel(b, 3000, w.ri, w.ii, w.ro, w.io));
    EXPECT_FALSE(spectrum::convertChannel(b, 65536, w.ri, w.ii, w.ro, w.io));
    EXPECT_EQ(b, before);
    EXPECT_EQ(log.shown.size(), 2u);
    MessageLog::uninstall();
}

TEST(FFTconvert, ComputesOnlyChannelsThatHoldSamples) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    s.FFTNumSamples = 4096;
    auto a = sineBuffer(4096, 12);
    auto b = sineBuffer(4096, 50);
    std::copy(a.begin(), a.end(), s.ChanABuffer.begin());
    std::copy(b.begin(), b.end(), s.ChanBBuffer.begin());

    // Channel B was off during the capture: its spectrum (here: its contents) stays.
    s.FFTDoneA = 0;
    s.FFTDoneB = 1;
    w.FFTconvert();
    EXPECT_EQ(s.ChanABuffer[12], 2550);
    EXPECT_EQ(s.ChanABuffer[0], 0);
    EXPECT_TRUE(std::equal(b.begin(), b.end(), s.ChanBBuffer.begin()));
    EXPECT_EQ(s.FFTDoneA.num(), 1);
    EXPECT_EQ(s.FFTDoneB, 1);

    // Once per capture: a second redraw changes nothing.
    const auto specA = s.ChanABuffer;
    w.FFTconvert();
    EXPECT_EQ(s.ChanABuffer, specA);

    // A fresh capture of B only.
    s.FFTDoneB = 0;
    w.FFTconvert();
    EXPECT_EQ(s.ChanABuffer, specA);
    EXPECT_EQ(s.ChanBBuffer[50], 2550);
    EXPECT_EQ(s.FFTDoneB, 1);
    EXPECT_TRUE(h.messages().shown.empty());
}
