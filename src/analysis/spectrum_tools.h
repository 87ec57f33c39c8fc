#pragma once
// Spectrum options around the FFT display: window functions, vertical scales, power
// averaging and a peak table. The transform is the display's own (spectrum/fft.h), so
// with the rectangular window and the normalised scale the values are exactly those
// the FFT display puts in the channel buffer.
#include "analysis/measure.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace analysis {

// Cosine-sum windows, periodic (w[n] for n/N, N the transform length).
enum class Window { Rectangular, Hann, Hamming, BlackmanHarris, FlatTop };
// "rect", "hann", "hamming", "blackman-harris", "flattop" (the command line's names).
std::string_view windowName(Window w);
std::optional<Window> windowFromName(std::string_view name);
std::vector<double> windowCoefficients(Window w, size_t n);
// Mean of the coefficients: what a bin-centred tone keeps of its amplitude.
double coherentGain(Window w);

// Normalised: the display's 0..100, the largest line of bins 1..N/2-1 at 100 and bin 0
// at 0. Dbfs: 20 log10(amplitude / the range's peak), so a sine that just fills the
// range reads 0. Dbv: 20 log10(RMS / 1 V), so a 1 V peak sine reads -3.01. Bin 0
// reads its DC level on the dB scales. Nothing reads below MinDb.
enum class Scale { Normalised, Dbfs, Dbv };
constexpr double MinDb = -200;
// "linear", "dbfs", "dbv".
std::string_view scaleName(Scale s);
std::optional<Scale> scaleFromName(std::string_view name);

struct Spectrum {
    Window window = Window::Rectangular;
    size_t points = 0; // N, the samples transformed
    double binHz = 0;  // sample rate / N
    double voltsPerUnit = 0;
    double windowSum = 0; // sum of the window's coefficients
    // |X[k]| for k = 0..N/2 in the transform's units; bin 0 holds the DC level (the
    // mean less the 0 V value), whatever the window.
    std::vector<double> magnitude;
    std::string_view reason; // why magnitude is empty
    // A sample at code 0 or 255 (the input left the range: the levels are too low and
    // the spectrum holds harmonics the input has not); in an average, in any spectrum.
    bool clipped = false;

    bool ok() const { return !magnitude.empty(); }
    // Bins shown, 0..N/2-1.
    size_t bins() const { return points / 2; }
    // Volts peak of a sine centred on bin k (k >= 1); the DC level in volts for k = 0.
    double amplitudeV(size_t k) const;
};

// Magnitude spectrum of a trace. The count must be a power of two from 2 to 32768 (the
// display transforms 2048 x 2^size); otherwise the result is empty with a reason.
Spectrum spectrumOf(const Trace& t, Window w);

// The display's FFT buffer values for bins 0..N/2-1: bin 0 is 0, the largest line of
// 1..N/2-1 is 2550, each rounded to the nearest whole number, halves to even; all 0
// for a flat input.
std::vector<int16_t> normalisedCodes(const Spectrum& s);
// Bins 0..N/2-1 on a scale. fullScaleV: the peak of the channel's range (record.h
// fullScaleVolts), used by Dbfs.
std::vector<double> scaled(const Spectrum& s, Scale scale, double fullScaleV);

// Power average of the last spectra of one channel: the mean of |X|^2 over the first
// `count` spectra, then an exponential average in which each new spectrum weighs
// 1/count. Count 1 passes each spectrum through unchanged. A spectrum of another
// length, window or bin width starts the average again, as do reset() and setCount().
class PowerAverager {
  public:
    static constexpr int MaxCount = 64;
    explicit PowerAverager(int count = 1) { setCount(count); }
    void setCount(int count); // 1..64, clamped
    int count() const { return count_; }
    void reset();
    // Spectra in the average so far (at most count()).
    int averaged() const { return n_; }
    // Adds a spectrum and returns the average including it.
    const Spectrum& add(const Spectrum& s);

  private:
    int count_ = 1;
    int n_ = 0;
    std::vector<double> power_;
    Spectrum avg_;
};

struct Peak {
    double bin = 0;         // fractional bin of the tone, interpolated
    double frequencyHz = 0; // bin x binHz
    double amplitudeV = 0;  // volts peak, corrected for where the tone fell between bins
    // On the dB scales the tone's level, from amplitudeV; on the normalised scale the
    // value the display shows at the peak's bin.
    double level = 0;
};

// The `count` highest local maxima of bins 1..N/2-1, highest first. Each frequency is
// found from the ratio of the peak bin to its larger neighbour, matched against the
// window's own transform: a lone tone is placed to far better than 0.1 bin, and its
// amplitude is the peak bin over the window's transform at that offset, so a tone
// half-way between bins reads as high as one on a bin, whatever the window.
std::vector<Peak> findPeaks(const Spectrum& s, int count, Scale scale, double fullScaleV);

} // namespace analysis
