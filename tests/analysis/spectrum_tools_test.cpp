// Windows, scales, averaging and peaks against closed forms; the default spectrum
// against the FFT display itself.
#include "analysis/spectrum_tools.h"
#include "support/fixture.h"
#include "synth.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace analysis;
using namespace synth;

namespace {

constexpr Window Windows[] = {Window::Rectangular, Window::Hann, Window::Hamming,
                              Window::BlackmanHarris, Window::FlatTop};

// n samples of a DC level and tones at (fractional) bins: {bin, volts peak}.
std::vector<int16_t> tones(size_t n, std::vector<std::pair<double, double>> ts, double dc = 0) {
    return wave(n, [&](double t) {
        double v = dc;
        for (auto [bin, volts] : ts)
            v += volts * std::sin(2 * Pi * bin * Rate / double(n) * t + 0.3);
        return v;
    });
}
Spectrum spectrum(const std::vector<int16_t>& x, Window w) {
    return spectrumOf(trace(x), w);
}

} // namespace

TEST(Spectrum, WindowGainsAndScalesOnABinCentredTone) {
    const double gains[] = {1, 0.5, 0.54, 0.35875, 0.21557895};
    const std::vector<int16_t> x = tones(4096, {{64, 0.6}}, 0.3);
    for (Window w : Windows) {
        SCOPED_TRACE(std::string(windowName(w)));
        EXPECT_EQ(windowFromName(windowName(w)), w);
        const std::vector<double> c = windowCoefficients(w, 4096);
        EXPECT_NEAR(std::accumulate(c.begin(), c.end(), 0.0) / 4096, gains[int(w)], 1e-12);
        const Spectrum s = spectrum(x, w);
        EXPECT_NEAR(s.amplitudeV(64), 0.6, 0.002);
        EXPECT_NEAR(s.amplitudeV(0), 0.3, 0.002);
        EXPECT_EQ(scaled(s, Scale::Normalised, 1.2)[64], 100);
        const std::vector<double> dbv = scaled(s, Scale::Dbv, 1.2);
        EXPECT_NEAR(scaled(s, Scale::Dbfs, 1.2)[64], -6.0206, 0.03); // half the range's peak
        EXPECT_NEAR(dbv[64], -7.4473, 0.03);                         // 0.424 V RMS
        EXPECT_NEAR(dbv[0], -10.457, 0.06);                          // the DC level, 0.3 V
    }
    EXPECT_FALSE(windowFromName("kaiser"));
    const std::vector<int16_t> flat(64, 1280); // reads 0 everywhere, as on the FFT display
    EXPECT_EQ(normalisedCodes(spectrum(flat, Window::Rectangular)), std::vector<int16_t>(32, 0));
    EXPECT_EQ(spectrum(std::vector<int16_t>(1000, 1280), Window::Hann).reason,
              "the sample count is not a power of two from 2 to 32768");
}

TEST(Spectrum, RectangularNormalisedIsWhatTheFftDisplayComputes) {
    testing_support::Harness h;
    WQK& w = h.window();
    for (int32_t n : {2048, 8192}) {
        // A clipped square plus a sine.
        const std::vector<int16_t> a = wave(size_t(n), [](double t) {
            return (int(t * 1e6) * 37 % 500 < 250 ? 1.5 : -0.4) + 0.3 * std::sin(12300 * t);
        });
        std::copy(a.begin(), a.end(), w.state().ChanABuffer.begin());
        w.state().FFTNumSamples = n;
        w.state().FFTDoneA = 0;
        w.FFTconvert();
        const Spectrum sa = spectrum(a, Window::Rectangular);
        const std::vector<int16_t> codes = normalisedCodes(sa);
        EXPECT_TRUE(std::equal(codes.begin(), codes.end(), w.state().ChanABuffer.begin())) << n;
        EXPECT_EQ(scaled(sa, Scale::Normalised, 1.2)[1], w.state().ChanABuffer[1] / 25.5);
    }
}

TEST(Spectrum, PeaksBetweenBinsForEveryWindow) {
    for (Window w : Windows)
        for (double bin : {300.0, 300.25, 300.5, 300.73}) {
            SCOPED_TRACE(testing::Message() << windowName(w) << " " << bin);
            const Spectrum s = spectrum(tones(4096, {{bin, 1}, {1000.4, 0.15}}), w);
            const std::vector<Peak> p = findPeaks(s, 2, Scale::Dbv, 1.2);
            ASSERT_EQ(p.size(), 2u);
            EXPECT_NEAR(p[0].bin, bin, 0.02);
            EXPECT_DOUBLE_EQ(p[0].frequencyHz, p[0].bin * s.binHz);
            EXPECT_NEAR(p[0].amplitudeV, 1, 0.005);
            EXPECT_NEAR(p[1].bin, 1000.4, 0.02);
            EXPECT_NEAR(p[1].amplitudeV, 0.15, 0.15 * 0.01);
            // The tone's level wherever it falls: 1 V peak is -3.01 dBV, 0.15 V -18.06 dBFS
            // on the 1.2 V range; the normalised scale keeps the display's value.
            EXPECT_NEAR(p[0].level, -3.0103, 0.1);
            EXPECT_NEAR(findPeaks(s, 2, Scale::Dbfs, 1.2)[1].level, -18.062, 0.1);
            EXPECT_EQ(findPeaks(s, 1, Scale::Normalised, 1.2)[0].level, 100);
            EXPECT_FALSE(s.clipped);
        }
    const Spectrum flat = spectrum(std::vector<int16_t>(4096, 1280), Window::Hann);
    EXPECT_TRUE(findPeaks(flat, 5, Scale::Dbfs, 1.2).empty());
}

TEST(Spectrum, PowerAveraging) {
    PowerAverager avg(4);
    double amp = 0;
    for (double v : {0.2, 0.4, 0.6, 0.8})
        amp = avg.add(spectrum(tones(2048, {{100, v}}), Window::Rectangular)).amplitudeV(100);
    EXPECT_NEAR(amp, std::sqrt(0.3), 0.002); // the mean of the powers
    const Spectrum zero = spectrum(std::vector<int16_t>(2048, 1280), Window::Rectangular);
    EXPECT_NEAR(avg.add(zero).amplitudeV(100), std::sqrt(0.3 * 0.75), 0.002); // then 1/4 each
    // Another length starts again, as do reset() and a new count (1..64).
    const Spectrum other = spectrum(tones(4096, {{100, 0.5}}), Window::Rectangular);
    EXPECT_EQ(avg.add(other).magnitude, other.magnitude);
    avg.setCount(0);
    avg.add(other);
    EXPECT_EQ(avg.add(zero).magnitude, zero.magnitude); // count 1: no averaging
    // A clipped spectrum marks the average it joins until the average starts again.
    const Spectrum clipped = spectrum(tones(2048, {{100, 1.5}}), Window::Rectangular);
    avg.setCount(2);
    EXPECT_EQ(avg.add(zero).clipped, false);
    EXPECT_EQ(avg.add(clipped).clipped, true);
    EXPECT_EQ(avg.add(zero).clipped, true);
    avg.reset();
    EXPECT_EQ(avg.add(zero).clipped, false);
}
