#include "analysis/autoset.h"

#include "analysis/record.h"
#include "analysis/si_format.h"
#include "instrument/instrument.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace analysis {

namespace {

using C = Instrument::Channel;

constexpr double TimeoutS = 3;         // each probe's wait beyond its own length
constexpr double Fits = 0.9;           // of the low range: room for noise and drift
constexpr double MinSwingUnits = 50;   // 5 codes peak to peak: less is noise, not a period
constexpr double MaxSwingUnits = 1200; // of the 1280 from the centre: the magnified trace
constexpr double Periods = 3;          // on screen
constexpr int MaxCaptures = 8;
constexpr double LongestLevelCaptureS = 0.5;

// What one capture showed of a channel.
struct Seen {
    bool on = false, clipped = false, periodic = false;
    double frequencyHz = 0, vmax = 0, vmin = 0, vpu = 0;
    double peak() const { return std::max(std::abs(vmax), std::abs(vmin)); }
    double swing() const { return vmax - vmin; }
};

// The fundamental of a trace. Noise of a code or two around a small signal makes
// crossings of its own; the mean of every Smooth samples hides it, where the signal
// keeps its shape (most of its swing) through that mean.
std::optional<double> fundamental(const Trace& t, const Measurements& raw) {
    constexpr size_t Smooth = 16;
    std::vector<int16_t> mean(t.count / Smooth);
    for (size_t i = 0; i < mean.size(); ++i) {
        int sum = 0;
        for (size_t k = 0; k < Smooth; ++k)
            sum += t.data[i * Smooth + k];
        mean[i] = int16_t(sum / int(Smooth));
    }
    const Measurements m =
        measure({mean.data(), mean.size(), t.voltsPerUnit, t.sampleRateHz / Smooth});
    if (m.frequencyHz.ok() && m.vppV.ok() && raw.vppV.ok() && *m.vppV * 2 >= *raw.vppV)
        return m.frequencyHz.value;
    return raw.frequencyHz.value;
}

Seen look(const InstrumentState& s, Channel c, bool on) {
    Seen out;
    out.on = on;
    if (!on) return out;
    const Trace t = traceOf(s, c, 0, capturedCount(s));
    const Measurements m = measure(t);
    out.clipped = m.clipped;
    out.vpu = t.voltsPerUnit;
    out.vmax = m.vmaxV.value.value_or(0);
    out.vmin = m.vminV.value.value_or(0);
    const std::optional<double> f = fundamental(t, m);
    out.periodic = f && out.swing() >= MinSwingUnits * out.vpu;
    out.frequencyHz = f.value_or(0);
    return out;
}

// The channel's range button: 0 the low range, 1 the high one; the probe shifts both.
int rangeSel(const InstrumentState& s, int c) {
    return c == 0 ? s.rangeSelA() : s.rangeSelB();
}
int probe(const InstrumentState& s, int c) {
    return c == 0 ? s.probeA() : s.probeB();
}

class Autoset {
  public:
    explicit Autoset(Instrument& inst) : inst_(inst), s_(inst.state()) {}
    AutosetResult run();

  private:
    enum class Step { Fast, Slow, Final, Level };
    bool next(); // after each capture: false when done
    bool fixRanges(bool wholePeriods);
    void startFinal();
    void finishDisplay();
    int reference() const;
    C ch(int c) const { return c == 0 ? C::A : C::B; }

    Instrument& inst_;
    const InstrumentState& s_;
    bool on_[2] = {};
    Seen seen_[2];
    Step step_ = Step::Fast;
    int repeats_ = 0; // probes taken again after a range change
    int ref_ = -1;
    double frequency_ = 0;
    int keepRate_ = 0, keepSize_ = 0;
};

int Autoset::reference() const {
    for (int c = 0; c < 2; ++c)
        if (seen_[c].periodic) return c;
    return -1;
}

// A low range that clipped goes up; with whole periods seen, a high range whose peak
// fits the low one comes down. True when a range changed.
bool Autoset::fixRanges(bool wholePeriods) {
    bool changed = false;
    for (int c = 0; c < 2; ++c) {
        if (!on_[c]) continue;
        const Seen& v = seen_[c];
        const int sel = rangeSel(s_, c);
        const double lowFs = fullScaleVolts(rangeCode(0, probe(s_, c)));
        if (sel == 0 && v.clipped) {
            inst_.setRange(ch(c), 1);
            changed = true;
        } else if (sel == 1 && wholePeriods && !v.clipped && v.peak() < Fits * lowFs) {
            inst_.setRange(ch(c), 0);
            changed = true;
        }
    }
    return changed;
}

void Autoset::startFinal() {
    const Timebase tb = timebaseFor(frequency_, s_.RateFactor);
    inst_.setSampleRate(tb.rateIndex);
    inst_.setSampleSize(tb.sizeIndex);
    inst_.setDisplayWindow(tb.window, 0);
    // The trigger on the larger periodic signal, rising through its middle.
    int src = ref_;
    for (int c = 0; c < 2; ++c)
        if (seen_[c].periodic && seen_[c].swing() > seen_[src].swing()) src = c;
    const Seen& v = seen_[src];
    inst_.setTriggerSource(ch(src));
    inst_.setTriggerSlope(true);
    const double vpu = voltsPerUnit(rangeCode(rangeSel(s_, src), probe(s_, src)));
    inst_.setTriggerLevel(InstrumentState::MidScale - (v.vmax + v.vmin) / 2 / vpu);
    inst_.setTriggerMode(1);
    step_ = Step::Final;
}

// Every channel on shown, centred, magnified as far as its swing allows; grid and units.
void Autoset::finishDisplay() {
    inst_.setDisplay(Instrument::Toggle::Grid, true);
    inst_.setDisplay(Instrument::Toggle::Units, true);
    for (int c = 0; c < 2; ++c) {
        if (!on_[c]) continue;
        inst_.setDisplay(c == 0 ? Instrument::Toggle::ShowA : Instrument::Toggle::ShowB, true);
        const Instrument::Trace t = c == 0 ? Instrument::Trace::A : Instrument::Trace::B;
        const double vpu = voltsPerUnit(rangeCode(rangeSel(s_, c), probe(s_, c)));
        const double units = seen_[c].peak() / vpu;
        inst_.setYMagnification(t, units * 5 <= MaxSwingUnits   ? 2
                                   : units * 2 <= MaxSwingUnits ? 1
                                                                : 0);
        inst_.setTracePosition(t, 0);
    }
}

bool Autoset::next() {
    for (int c = 0; c < 2; ++c)
        seen_[c] = look(s_, c == 0 ? Channel::A : Channel::B, on_[c]);
    switch (step_) {
    case Step::Fast: {
        // 32K at the fastest rate: fundamentals from about 1 kHz up; a signal too large
        // for the low range clips, and a clipped one may hide its period.
        const bool changed = fixRanges(false);
        if (changed && repeats_++ == 0) return true;
        if ((ref_ = reference()) >= 0) break;
        // Slower: 8K at the rate of 20 kHz, whole periods down to a few Hz.
        inst_.setSampleRate(1);
        inst_.setSampleSize(2);
        step_ = Step::Slow;
        repeats_ = 0;
        return true;
    }
    case Step::Slow: {
        const bool changed = fixRanges(true);
        ref_ = reference();
        if (ref_ < 0 && changed && repeats_++ == 0) return true;
        if (ref_ >= 0) break;
        // No periodic signal: the ranges hold the level; the rate is the user's again.
        inst_.setSampleRate(keepRate_);
        inst_.setSampleSize(keepSize_);
        finishDisplay();
        step_ = Step::Level;
        const double takes = double(2048 << keepSize_) / sampleRateHz(keepRate_, s_.RateFactor);
        return takes <= LongestLevelCaptureS;
    }
    case Step::Final:
        // Whole periods on screen now: the last word on the ranges.
        if (fixRanges(true) && repeats_++ == 0) {
            startFinal();
            return true;
        }
        finishDisplay();
        return false;
    case Step::Level:
        return false;
    }
    frequency_ = seen_[ref_].frequencyHz;
    repeats_ = 0;
    startFinal();
    finishDisplay();
    return true;
}

AutosetResult Autoset::run() {
    AutosetResult r;
    if (s_.mode() != modes::Scope) return {false, false, false, 0, 0, "it works in SCOPE mode"};
    if (s_.running()) return {false, false, false, 0, 0, "a run is in progress"};
    on_[0] = s_.chanAOn();
    on_[1] = s_.chanBOn();
    if (!on_[0] && !on_[1]) return {false, false, false, 0, 0, "both channels are off"};
    keepRate_ = s_.sampleRateIndex();
    keepSize_ = int(s_.SampleSizeIndex);
    const bool repeat = s_.RunRepeat != 0;
    inst_.setTriggerMode(0);
    for (int c = 0; c < 2; ++c)
        if (on_[c]) {
            inst_.setCoupling(ch(c), true);
            inst_.setRange(ch(c), 0);
        }
    inst_.setSampleRate(4);
    inst_.setSampleSize(4);
    const Instrument::RunResult run =
        inst_.captureRun(MaxCaptures, TimeoutS, [this] { return next(); });
    inst_.setRepeat(repeat);
    if (run.end != Instrument::RunEnd::Done) {
        r.timedOut = run.end == Instrument::RunEnd::TimedOut;
        r.message = run.reason;
        return r;
    }
    r.done = true;
    r.periodic = ref_ >= 0;
    if (!r.periodic) {
        r.message = "no periodic signal; ranges for the level, instant trigger, rate unchanged";
        return r;
    }
    r.frequencyHz = frequency_;
    r.reference = ref_ == 0 ? 'A' : 'B';
    r.message = std::string(1, r.reference) + " at " + formatSI(frequency_, "Hz") +
                ", trigger on " + (s_.trigSourceB() ? "B" : "A") + " rising";
    return r;
}

} // namespace

Timebase timebaseFor(double frequencyHz, double rateFactor) {
    constexpr long Largest = InstrumentState::LastIndex;
    for (int r = 4; r >= 0 && frequencyHz > 0; --r) {
        const double window = std::round(Periods * sampleRateHz(r, rateFactor) / frequencyHz);
        if (window > (r > 0 ? 8191 : Largest)) continue;
        const long w = std::max(256L, long(window));
        int size = 0;
        while ((2048L << size) - 1 < w)
            ++size;
        return {r, size, w};
    }
    return {0, 4, Largest};
}

AutosetResult autoset(Instrument& inst) {
    return Autoset(inst).run();
}

} // namespace analysis
