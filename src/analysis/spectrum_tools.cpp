#include "analysis/spectrum_tools.h"

#include "app/instrument_state.h"

#include "spectrum/fft.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace analysis {

namespace {

constexpr double Pi = M_PI;                     // measurements use the true pi
constexpr int Zero = InstrumentState::MidScale; // buffer value of 0 V
constexpr size_t MaxPoints = InstrumentState::BufferSize;
constexpr int CodeLow = 0, CodeHigh = 2550; // buffer values of codes 0 and 255

// w[n] = a0 - a1 cos(2 pi n / N) + a2 cos(4 pi n / N) - ...
struct CosineSum {
    int terms;
    double a[5];
};

CosineSum terms(Window w) {
    switch (w) {
    case Window::Hann:
        return {2, {0.5, 0.5}};
    case Window::Hamming:
        return {2, {0.54, 0.46}};
    case Window::BlackmanHarris: // 4-term, -92 dB side lobes
        return {4, {0.35875, 0.48829, 0.14128, 0.01168}};
    case Window::FlatTop:
        return {5, {0.21557895, 0.41663158, 0.277263158, 0.083578947, 0.006947368}};
    default:
        return {1, {1.0}};
    }
}

constexpr std::string_view WindowNames[] = {"rect", "hann", "hamming", "blackman-harris",
                                            "flattop"};
constexpr std::string_view ScaleNames[] = {"linear", "dbfs", "dbv"};

// sum over n < N of e^(-i 2 pi x n / N), the transform of the rectangular window at x bins.
std::complex<double> dirichlet(double x, size_t n) {
    const double s = std::sin(Pi * x / double(n));
    if (std::abs(s) < 1e-12) return double(n); // x a multiple of N: every term is 1
    return std::polar(std::sin(Pi * x) / s, -Pi * x * double(n - 1) / double(n));
}

// |W(d)|: the window's transform d bins from a tone, in the transform's units (W(0) is
// the sum of the coefficients).
double kernel(Window w, double d, size_t n) {
    const CosineSum c = terms(w);
    std::complex<double> sum = c.a[0] * dirichlet(d, n);
    for (int m = 1; m < c.terms; ++m) {
        const double cm = (m % 2 ? -c.a[m] : c.a[m]) / 2;
        sum += cm * (dirichlet(d - m, n) + dirichlet(d + m, n));
    }
    return std::abs(sum);
}

// Where between bins k and k + side the tone lies, 0..0.5 from k: the ratio of the two
// bins is matched against the window's transform by bisection.
double offsetFromRatio(Window w, size_t n, double ratio) {
    const auto g = [&](double delta) { return kernel(w, 1 - delta, n) / kernel(w, delta, n); };
    if (!(ratio > g(0))) return 0;
    if (ratio >= g(0.5)) return 0.5;
    double lo = 0, hi = 0.5;
    for (int i = 0; i < 50; ++i) {
        const double mid = (lo + hi) / 2;
        (g(mid) < ratio ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

double db(double x) {
    return x > 0 ? std::max(MinDb, 20 * std::log10(x)) : MinDb;
}

} // namespace

std::string_view windowName(Window w) {
    return WindowNames[int(w)];
}

std::optional<Window> windowFromName(std::string_view name) {
    for (int i = 0; i < 5; ++i)
        if (WindowNames[i] == name) return Window(i);
    return std::nullopt;
}

std::vector<double> windowCoefficients(Window w, size_t n) {
    const CosineSum c = terms(w);
    std::vector<double> out(n, c.a[0]);
    for (size_t i = 0; i < n && c.terms > 1; ++i) {
        double v = c.a[0];
        for (int m = 1; m < c.terms; ++m)
            v += (m % 2 ? -c.a[m] : c.a[m]) * std::cos(2 * Pi * double(m) * double(i) / double(n));
        out[i] = v;
    }
    return out;
}

double coherentGain(Window w) {
    return terms(w).a[0];
}

std::string_view scaleName(Scale s) {
    return ScaleNames[int(s)];
}

std::optional<Scale> scaleFromName(std::string_view name) {
    for (int i = 0; i < 3; ++i)
        if (ScaleNames[i] == name) return Scale(i);
    return std::nullopt;
}

double Spectrum::amplitudeV(size_t k) const {
    if (k >= magnitude.size() || !(windowSum > 0)) return 0;
    return (k == 0 ? 1 : 2) * magnitude[k] * 100 * voltsPerUnit / windowSum;
}

Spectrum spectrumOf(const Trace& t, Window w) {
    Spectrum s;
    s.window = w;
    s.voltsPerUnit = t.voltsPerUnit;
    if (!t.data || t.count > MaxPoints || !IsPowerOfTwo(int32_t(t.count))) {
        s.reason = "the sample count is not a power of two from 2 to 32768";
        return s;
    }
    const size_t n = t.count;
    s.points = n;
    s.binHz = t.sampleRateHz / double(n);
    const std::vector<double> coef = windowCoefficients(w, n);
    std::vector<double> realIn(n), imagIn(n, 0.0), realOut(n, 0.0), imagOut(n, 0.0);
    double dc = 0;
    for (size_t i = 0; i < n; ++i) {
        s.clipped |= t.data[i] <= CodeLow || t.data[i] >= CodeHigh;
        // The rectangular window feeds the transform exactly as the FFT display does;
        // the others take the 0 V value off first, or the window would spread it.
        realIn[i] =
            w == Window::Rectangular ? t.data[i] / 100.0 : (t.data[i] - Zero) / 100.0 * coef[i];
        dc += (t.data[i] - Zero) / 100.0 * coef[i];
        s.windowSum += coef[i];
    }
    int32_t count = int32_t(n);
    Fourier(count, realIn, imagIn, realOut, imagOut);
    s.magnitude.resize(n / 2 + 1);
    s.magnitude[0] = std::abs(dc);
    for (size_t k = 1; k <= n / 2; ++k)
        s.magnitude[k] = std::sqrt(imagOut[k] * imagOut[k] + realOut[k] * realOut[k]);
    return s;
}

std::vector<int16_t> normalisedCodes(const Spectrum& s) {
    std::vector<int16_t> out(s.bins(), 0);
    if (!s.ok()) return out;
    double max = 0;
    for (size_t k = 1; k < s.bins(); ++k)
        max = std::max(max, s.magnitude[k]);
    if (max == 0) max = 1;
    for (size_t k = 1; k < s.bins(); ++k)
        out[k] = int16_t(std::nearbyint(s.magnitude[k] * 2550 / max));
    return out;
}

std::vector<double> scaled(const Spectrum& s, Scale scale, double fullScaleV) {
    std::vector<double> out(s.bins(), 0.0);
    if (!s.ok()) return out;
    if (scale == Scale::Normalised) {
        const std::vector<int16_t> codes = normalisedCodes(s);
        for (size_t k = 0; k < out.size(); ++k)
            out[k] = codes[k] / 25.5;
        return out;
    }
    for (size_t k = 0; k < out.size(); ++k) {
        const double a = s.amplitudeV(k);
        out[k] = scale == Scale::Dbfs ? db(a / fullScaleV) : db(k == 0 ? a : a / std::sqrt(2.0));
    }
    return out;
}

void PowerAverager::setCount(int count) {
    count_ = std::clamp(count, 1, MaxCount);
    reset();
}

void PowerAverager::reset() {
    n_ = 0;
    power_.clear();
    avg_ = Spectrum{};
}

const Spectrum& PowerAverager::add(const Spectrum& s) {
    const bool same = n_ > 0 && s.ok() && s.points == avg_.points && s.window == avg_.window &&
                      s.binHz == avg_.binHz && s.voltsPerUnit == avg_.voltsPerUnit;
    if (count_ == 1 || !s.ok() || !same) {
        reset();
        avg_ = s;
        n_ = s.ok() ? 1 : 0;
        power_.resize(s.magnitude.size());
        for (size_t k = 0; k < power_.size(); ++k)
            power_[k] = s.magnitude[k] * s.magnitude[k];
        return avg_;
    }
    n_ = std::min(n_ + 1, count_);
    avg_.clipped |= s.clipped;
    const double weight = 1.0 / n_; // a running mean up to count, then exponential
    for (size_t k = 0; k < power_.size(); ++k) {
        power_[k] += (s.magnitude[k] * s.magnitude[k] - power_[k]) * weight;
        avg_.magnitude[k] = std::sqrt(power_[k]);
    }
    return avg_;
}

std::vector<Peak> findPeaks(const Spectrum& s, int count, Scale scale, double fullScaleV) {
    std::vector<Peak> peaks;
    if (!s.ok() || count <= 0) return peaks;
    const std::vector<double>& m = s.magnitude;
    std::vector<size_t> at;
    for (size_t k = 1; k < s.bins(); ++k)
        if (m[k] > 0 && m[k] > m[k - 1] && m[k] >= m[k + 1]) at.push_back(k);
    const size_t keep = std::min(at.size(), size_t(count));
    std::partial_sort(at.begin(), at.begin() + long(keep), at.end(),
                      [&](size_t x, size_t y) { return m[x] > m[y]; });
    at.resize(keep);
    const std::vector<double> shown =
        scale == Scale::Normalised ? scaled(s, scale, fullScaleV) : std::vector<double>();
    for (size_t k : at) {
        const int side = m[k + 1] >= m[k - 1] ? 1 : -1;
        const double delta = offsetFromRatio(s.window, s.points, m[k + side] / m[k]);
        Peak p;
        p.bin = double(k) + side * delta;
        p.frequencyHz = p.bin * s.binHz;
        p.amplitudeV = 2 * m[k] * 100 * s.voltsPerUnit / kernel(s.window, delta, s.points);
        p.level = scale == Scale::Normalised ? shown[k]
                  : scale == Scale::Dbfs     ? db(p.amplitudeV / fullScaleV)
                                             : db(p.amplitudeV / std::sqrt(2.0));
        peaks.push_back(p);
    }
    return peaks;
}

} // namespace analysis
