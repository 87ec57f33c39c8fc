#include "fra/sweep.h"

#include "analysis/record.h"
#include "app/wqk.h"
#include "generator/synthesis.h"
#include "platform/clock.h"

namespace fra {

namespace {

// Presses `click` until `done`; every button here steps through at most four values.
template <class Done, class Click> void pressUntil(Done done, Click click) {
    for (int i = 0; i < 8 && !done(); ++i)
        click();
}

// Wall time of a point before any was measured: the run's 100 ms wait before its
// capture, the combined run's fixed 1 s pause and its first 100 ms poll.
constexpr double FirstGuessS = 1.2;
// Volts per unit of the generator wave: 2 V at 2550 (DAC code 255 x 10).
constexpr double GenVoltsPerUnit = 2.0 / 2550;

} // namespace

// What the sweep changes, as it was before.
struct Sweep::Saved {
    InstrumentState s; // a copy of the record: the fields below are put back from it
};

Sweep::Sweep(WQK& w, QObject* parent) : QObject(parent), w_(w) {}
Sweep::~Sweep() = default;

void Sweep::cancel() {
    if (!running_) return;
    cancelled_ = true;
    // STOP, as the user would press it: the capture in progress ends without data.
    if (w_.state().running()) w_.GOBUTTON_Click();
}

void Sweep::setUp(const Settings& settings) {
    InstrumentState& s = w_.state();
    // The generator straight to a NORMAL sine: the MODE button would pass through CUSTOM,
    // which takes the current wave over as the custom wave.
    s.GenMode = 0;
    s.GenStyle = gen::Sine;
    s.AmpDiv = int16_t(settings.ampDiv);
    pressUntil([&] { return s.mode() == modes::ScopeGen; }, [&] { w_.SCOPEMODE_Click(); });
    pressUntil([&] { return s.chanAOn(); }, [&] { w_.SCHAbutton_Click(); });
    pressUntil([&] { return s.chanBOn(); }, [&] { w_.SCHBbutton_Click(); });
    // AC coupling on the finest range: the 0..2 V stimulus swings +/- 1 V about its mean.
    pressUntil([&] { return !s.dcA(); }, [&] { w_.Command2_Click(); });
    pressUntil([&] { return !s.dcB(); }, [&] { w_.Command7_Click(); });
    pressUntil([&] { return s.rangeSelA() == 0; }, [&] { w_.Command3_Click(); });
    pressUntil([&] { return s.rangeSelB() == 0; }, [&] { w_.Command6_Click(); });
    pressUntil([&] { return s.RunRepeat == 0; }, [&] { w_.TRESETBUTTON_Click(); });
}

void Sweep::restore() {
    InstrumentState& s = w_.state();
    const InstrumentState& o = saved_->s;
    pressUntil([&] { return s.mode() == o.mode(); }, [&] { w_.SCOPEMODE_Click(); });
    pressUntil([&] { return s.chanAOn() == o.chanAOn(); }, [&] { w_.SCHAbutton_Click(); });
    pressUntil([&] { return s.chanBOn() == o.chanBOn(); }, [&] { w_.SCHBbutton_Click(); });
    pressUntil([&] { return s.dcA() == o.dcA(); }, [&] { w_.Command2_Click(); });
    pressUntil([&] { return s.dcB() == o.dcB(); }, [&] { w_.Command7_Click(); });
    pressUntil([&] { return s.rangeSelA() == o.rangeSelA(); }, [&] { w_.Command3_Click(); });
    pressUntil([&] { return s.rangeSelB() == o.rangeSelB(); }, [&] { w_.Command6_Click(); });
    pressUntil([&] { return s.RunRepeat == o.RunRepeat; }, [&] { w_.TRESETBUTTON_Click(); });
    // The generator as it was, wave included, and the last capture before the sweep.
    s.GenMode = o.GenMode;
    s.GenStyle = o.GenStyle;
    s.SavedStyle = o.SavedStyle;
    s.GenFreq = o.GenFreq;
    s.GenRateIndex = o.GenRateIndex;
    s.AmpDiv = o.AmpDiv;
    s.GenLast = o.GenLast;
    s.GenWave = o.GenWave;
    s.CustomWave = o.CustomWave;
    s.GenDirty = o.GenDirty;
    s.GenCount = o.GenCount;
    s.RateCode = o.RateCode;
    s.ChanABuffer = o.ChanABuffer;
    s.ChanBBuffer = o.ChanBBuffer;
    s.SaveA = o.SaveA;
    s.SaveB = o.SaveB;
    s.FFTDoneA = o.FFTDoneA;
    s.FFTDoneB = o.FFTDoneB;
    s.DataRangeA = o.DataRangeA;
    s.DataRangeB = o.DataRangeB;
    s.DataRateA = o.DataRateA;
    s.DataRateB = o.DataRateB;
    s.DataSizeA = o.DataSizeA;
    s.DataSizeB = o.DataSizeB;
    s.ReadCount = o.ReadCount;
    s.PreTrigCount = o.PreTrigCount;
    s.CaptureStatus = o.CaptureStatus;
    w_.GENDISP();
    w_.DSAMPLE();
    w_.HScroll1_Change();
}

std::string Sweep::measureAt(long freqHz, const Settings& settings) {
    InstrumentState& s = w_.state();
    s.GenFreq = freqHz;
    s.GenDirty = 1; // GO synthesises the table before it uploads it
    s.CaptureStatus = 0;
    w_.GOBUTTON_Click();
    if (cancelled_) return "";
    if (s.CaptureStatus != 1)
        return "No data at " + std::to_string(freqHz) +
               " Hz: the capture was stopped or did not end.";
    // A channel switched off during the sweep (its button stays usable in a run) leaves
    // its buffer from an older capture.
    const analysis::WindowOffset off = analysis::bWindowOffset(s);
    if (!off.samples)
        return "No reading at " + std::to_string(freqHz) + " Hz: " + std::string(off.reason) + ".";
    const bool d = settings.reference == Reference::D;
    Capture c;
    c.reference = d ? s.GenWave.data() : s.ChanABuffer.data();
    c.response = s.ChanBBuffer.data();
    c.referenceVoltsPerUnit =
        d ? GenVoltsPerUnit : analysis::channelScale(s, analysis::Channel::A).voltsPerUnit;
    c.responseVoltsPerUnit = analysis::channelScale(s, analysis::Channel::B).voltsPerUnit;
    c.count = long(analysis::capturedCount(s));
    c.stepRateHz = analysis::sampleRateHz(s.genRateIndex(), s.RateFactor);
    c.cycles = gen::cyclesFor(s.genFreq());
    c.bOffset = *off.samples;
    c.referenceIsChannel = !d;
    std::string why;
    const std::optional<Point> p = measurePoint(c, &why);
    if (!p) return "No reading at " + std::to_string(freqHz) + " Hz: " + why + ".";
    points_.push_back(*p);
    return "";
}

std::string Sweep::run(const Settings& settings) {
    if (running_) return "A sweep is already running.";
    InstrumentState& s = w_.state();
    std::string error = check(settings);
    if (!error.empty()) return error;
    if (s.running()) return "Stop the running capture first.";
    if (s.ModelCode == 0) return "No instrument is connected.";
    if (!s.genFitted()) return "This instrument has no generator.";
    if (!s.chanBFitted()) return "This instrument has no channel B.";

    const std::vector<long> freqs = plannedFrequencies(settings);
    points_.clear();
    total_ = int(freqs.size());
    running_ = true;
    cancelled_ = false;
    saved_ = std::make_unique<Saved>(Saved{s});
    setUp(settings);
    emit started(total_);
    const int64_t t0 = plat::clock().nowNs();
    for (long f : freqs) {
        error = measureAt(f, settings);
        if (cancelled_ || !error.empty()) break;
        const double elapsed = double(plat::clock().nowNs() - t0) / 1e9;
        const int done = int(points_.size());
        emit measured(points_.back(), done, total_,
                      secondsLeft(elapsed, done, total_, FirstGuessS));
    }
    restore();
    saved_.reset();
    running_ = false;
    emit finished();
    return error;
}

} // namespace fra
