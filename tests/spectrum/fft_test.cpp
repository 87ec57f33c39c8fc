// The radix-2 transform, the scaled spectrum of a channel, and FFT
// mode's once-per-capture conversion.
#include "device/rig.h"
#include "spectrum/fft.h"

#include <cmath>
#include <gtest/gtest.h>

using testing_support::MessageLog;

namespace {

struct Work {
    std::vector<double> ri = std::vector<double>(32801), ii = std::vector<double>(32801),
                        ro = std::vector<double>(32801), io = std::vector<double>(33001);
};

std::vector<int16_t> sines(int n, std::initializer_list<std::pair<int, double>> lines) {
    std::vector<int16_t> b(32768, 777); // the tail must survive untouched
    for (int i = 0; i < n; ++i) {
        double v = 1280;
        for (auto [cycles, amp] : lines)
            v += amp * std::sin(2 * M_PI * cycles * i / n + 0.3);
        b[i] = int16_t(std::lround(v));
    }
    return b;
}

} // namespace

TEST(Fourier, RefusesCountsItCannotTransformAndTouchesNothing) {
    MessageLog log;
    log.install();
    Work w;
    w.ro.assign(w.ro.size(), 9.5);
    const auto before = w.ro;
    for (int32_t n : {1000, 1, 0, 65536}) {
        int32_t count = n;
        EXPECT_FALSE(Fourier(count, w.ri, w.ii, w.ro, w.io));
    }
    ASSERT_TRUE(w.ro == before && log.shown.size() == 4u);
    EXPECT_EQ(log.shown[0].text, "Error in procedure Fourier:\r\n NumSamples is 1000, which is "
                                 "not a positive integer power of two.");
    EXPECT_TRUE(log.shown[0].title == "Error!" && log.shown[0].buttons == plat::Buttons::OK);
    MessageLog::uninstall();
}

TEST(Fourier, PositiveExponentWithTheProgramsPi) {
    // x = 1, 1, 0, ...: X[2] = 1 + e^(+i Pi / 2) with the program's Pi of 3.1415926.
    Work w;
    w.ri[0] = w.ri[1] = 1;
    int32_t n = 8;
    ASSERT_TRUE(Fourier(n, w.ri, w.ii, w.ro, w.io));
    EXPECT_NEAR(w.ro[2] - 1, (M_PI - 3.1415926) / 2, 1e-15);
    EXPECT_NEAR(w.io[2], 1, 1e-12);
}

TEST(Spectrum, ScaledToTheLargestLineWithoutTheConstant) {
    // lines: bin and value; every other bin below 26
    // clang-format off
    const struct { const char* name; int n; std::vector<int16_t> in;
                   std::vector<std::pair<int, int>> lines; } rows[] = {
        {"flat", 4096, std::vector<int16_t>(32768, 1900), {{0, 0}}},
        {"all zero", 2048, std::vector<int16_t>(32768, 0), {{0, 0}}},
        {"1 cycle in 2048", 2048, sines(2048, {{1, 1000}}), {{1, 2550}}},
        {"1023 cycles in 2048", 2048, sines(2048, {{1023, 1000}}), {{1023, 2550}}},
        {"1000 in 32768", 32768, sines(32768, {{1000, 1000}}), {{1000, 2550}}},
        {"two lines keep their ratio", 4096, sines(4096, {{40, 800}, {300, 400}}),
         {{40, 2550}, {300, 1275}}},
    };
    // clang-format on
    Work w;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto b = row.in;
        ASSERT_TRUE(spectrum::convertChannel(b, row.n, w.ri, w.ii, w.ro, w.io));
        std::vector<int> want(row.n / 2, 0);
        for (auto [bin, value] : row.lines)
            want[bin] = value;
        for (int i = 0; i < row.n / 2; ++i)
            ASSERT_NEAR(b[i], want[i],
                        i == 0 || want[i] == 2550 ? 0
                        : want[i]                 ? 6
                                                  : 25)
                << "bin " << i;
        // Samples from n/2 on stay.
        EXPECT_TRUE(std::equal(b.begin() + row.n / 2, b.end(), row.in.begin() + row.n / 2));
    }
}

TEST(FFTconvert, OncePerCaptureAndOnlyChannelsWithSamples) {
    rig::Rig r;
    r.s.FFTNumSamples = 4096;
    const auto a = sines(4096, {{12, 1000}}), b = sines(4096, {{50, 1000}});
    r.s.ChanABuffer = a, r.s.ChanBBuffer = b;
    r.s.FFTDoneA = 0, r.s.FFTDoneB = 1;
    r.w.FFTconvert();
    EXPECT_TRUE(r.s.ChanABuffer[12] == 2550 && r.s.ChanBBuffer == b);
    EXPECT_EQ(r.s.FFTDoneA.num() + r.s.FFTDoneB, 2);
    const auto specA = r.s.ChanABuffer;
    r.w.FFTconvert();
    EXPECT_EQ(r.s.ChanABuffer, specA);
    r.s.FFTDoneB = 0; // a fresh capture of B only
    r.w.FFTconvert();
    EXPECT_TRUE(r.s.ChanABuffer == specA && r.s.ChanBBuffer[50] == 2550);
    EXPECT_TRUE(r.h.messages().shown.empty());
}
