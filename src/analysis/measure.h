#pragma once
// Measurements of captured traces: the numbers a scope prints beside its display, and
// the gain and phase of B against A. Plain functions over buffer values (converter
// code x 10, 0..2550, 1280 = 0 V), so the panels, the command line and the tests run
// the same arithmetic. record.h turns the state record into the scales these need.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace analysis {

// A measured value, or the reason there is none ("fewer than two crossings", "flat
// trace", ...). The reason is always a string literal, so a Reading is cheap to copy.
struct Reading {
    std::optional<double> value;
    std::string_view reason; // empty when measured

    bool ok() const { return value.has_value(); }
    double operator*() const { return *value; }
    static Reading of(double v) { return {v, {}}; }
    static Reading none(std::string_view why) { return {std::nullopt, why}; }
};

// A stretch of one channel's buffer and how to read it.
struct Trace {
    const int16_t* data = nullptr;
    size_t count = 0;
    double voltsPerUnit = 0; // volts per buffer unit: record.h voltsPerUnit()
    double sampleRateHz = 0; // record.h sampleRateHz()
};

struct Measurements {
    // None ("no periodic signal") when the trace varies no more than its noise: its
    // AC power is less than twice the noise power (see measure()).
    Reading frequencyHz, periodS;
    Reading vppV, vmaxV, vminV;
    // Over the whole periods between the first and last crossing when a period was
    // found (so a part cycle does not bias them), else over every sample.
    Reading meanV, rmsV, acRmsV;
    Reading dutyPct; // time above the mid level per period, in percent
    // 10 % to 90 % between the two state levels (the modes of the lower and upper half
    // of the histogram, so noise and overshoot do not move them), the mean over every
    // complete edge in the trace. None for a trace within its noise.
    Reading riseS, fallS;
    bool clipped = false; // a sample at code 0 or 255: the input left the range
    // A signal with no whole period in the trace: mean and RMS are over a part of a
    // period, so they depend on where the trace starts and ends.
    bool partialPeriod = false;
};

// The noise is estimated from the samples themselves: the error of the best
// prediction of each sample from its two neighbours (x[k-1] + x[k+1] = c x[k], which
// any sine of any frequency obeys exactly), so a sine up to half the sample rate is not
// taken for noise. Frequency and duty come from crossings of the mid level (halfway
// between the lowest and highest sample) with a hysteresis of three times that noise
// (at most a quarter of the span), each crossing timed by a straight line through the
// samples of its way through the band. A period whose crossings were lost in the band
// (a sine near half the sample rate) shows as an interval of a whole multiple of the
// others and is counted as that many.
Measurements measure(const Trace& t);

// The combined trace A+B (sign +1) or A-B (sign -1) as the display draws it: sample by
// sample at the same index. Its unit is the finer channel's where the ranges differ by
// ten (both channels' codes then land on it exactly) and a tenth of the coarser one's
// beyond: its values then stay within 16 bits, a code of either channel still lands
// on a whole unit, and nothing is rounded to the coarser channel's steps.
// measure(combined.trace()) measures it; its clipped flag does not apply to these
// values, `clipped` here says whether A or B clipped.
struct Combined {
    std::vector<int16_t> values;
    double voltsPerUnit = 0, sampleRateHz = 0;
    bool clipped = false;
    Trace trace() const { return {values.data(), values.size(), voltsPerUnit, sampleRateHz}; }
};
Combined combine(const Trace& a, const Trace& b, int sign);

struct GainPhase {
    Reading gainDb;   // 20 log10 of B's amplitude over A's
    Reading phaseDeg; // B against A, -180 < phase <= 180, positive when B leads
};

// Gain and phase at frequencyHz (A's fundamental: measure(a).frequencyHz) from one
// bin of the discrete Fourier transform of each channel, mean removed, over the
// whole periods that both windows cover. None when a channel's component there is not
// 20 dB above the noise that falls into the same bin (the rest of the channel's
// power, spread over all bins). bOffset is how many samples later B's window
// starts than A's (record.h bWindowOffset), so B's sample j was taken with A's j +
// bOffset; the transform runs on that common time base.
GainPhase gainPhase(const Trace& a, const Trace& b, double frequencyHz, long bOffset);

} // namespace analysis
