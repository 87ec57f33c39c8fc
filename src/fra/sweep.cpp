#include "fra/sweep.h"

#include "analysis/record.h"
#include "generator/synthesis.h"
#include "instrument/instrument.h"
#include "platform/clock.h"

#include <algorithm>

namespace fra {

namespace {

// Wall time of a point before any was measured: the run's 100 ms wait before its
// capture, the combined run's fixed 1 s pause and its first 100 ms poll.
constexpr double FirstGuessS = 1.2;
// Volts per unit of the generator wave: 2 V at 2550 (DAC code 255 x 10).
constexpr double GenVoltsPerUnit = 2.0 / 2550;

} // namespace

Sweep::Sweep(Instrument& inst, QObject* parent) : QObject(parent), inst_(inst) {}
Sweep::~Sweep() = default;

double Sweep::plannedS(const Settings& settings) const {
    if (settings.reference == Reference::D)
        return FirstGuessS * double(plannedFrequencies(settings).size());
    const double rf = inst_.state().RateFactor;
    const std::vector<Step> plan = planContinuous(settings, rf);
    double s = plan.empty() ? 0 : clearingSeconds();
    for (size_t i = 0; i < plan.size(); ++i)
        s += plannedSeconds(plan[i], i == 0 || plan[i].cycles != plan[i - 1].cycles, rf);
    return s;
}

void Sweep::cancel() {
    if (!running_) return;
    cancelled_ = true;
    // STOP, as the user would press it: the capture in progress ends without data.
    inst_.stop();
}

std::string Sweep::setUp(const Settings& settings) {
    using C = Instrument::Channel;
    // AC coupling on the finest range: the 0..2 V stimulus swings +/- 1 V about its mean.
    for (const std::string& e :
         {inst_.setMode(modes::ScopeGen), inst_.setGenMode(0), inst_.setGenStyle(gen::Sine),
          inst_.setGenAmplitude(settings.ampDiv), inst_.setChannelOn(C::A, true),
          inst_.setChannelOn(C::B, true), inst_.setCoupling(C::A, false),
          inst_.setCoupling(C::B, false), inst_.setRange(C::A, 0), inst_.setRange(C::B, 0),
          inst_.setRepeat(false)})
        if (!e.empty()) return "The sweep cannot start: " + e + ".";
    return "";
}

std::string Sweep::measureAt(long freqHz, const Settings& settings) {
    const InstrumentState& s = inst_.state();
    if (const std::string e = inst_.setGenFrequency(freqHz); !e.empty())
        return "No reading at " + std::to_string(freqHz) + " Hz: " + e + ".";
    const long before = inst_.captureCount();
    inst_.goStop(); // GO synthesises the new wave, uploads it and captures once
    if (cancelled_) return "";
    if (inst_.captureCount() == before)
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
    keep(*p);
    return "";
}

void Sweep::keep(const Point& p) {
    // In frequency order, whichever order they were measured in.
    const auto at = std::upper_bound(points_.begin(), points_.end(), p.freqHz,
                                     [](double f, const Point& q) { return f < q.freqHz; });
    points_.insert(at, p);
}

std::string Sweep::run(const Settings& settings) {
    if (running_) return "A sweep is already running.";
    const InstrumentState& s = inst_.state();
    std::string error = check(settings);
    if (!error.empty()) return error;
    if (s.running()) return "Stop the running capture first.";
    if (s.ModelCode == 0) return "No instrument is connected.";
    if (!s.genFitted()) return "This instrument has no generator.";
    if (!s.chanBFitted()) return "This instrument has no channel B.";

    const bool beside = settings.reference == Reference::A;
    const std::vector<Step> plan =
        beside ? planContinuous(settings, s.RateFactor) : std::vector<Step>();
    const std::vector<long> freqs = beside ? std::vector<long>() : plannedFrequencies(settings);
    points_.clear();
    total_ = int(beside ? plan.size() : freqs.size());
    running_ = true;
    cancelled_ = false;
    waitedS_ = 0;
    const InstrumentState saved = inst_.snapshot();
    error = beside ? setUpBeside() : setUp(settings);
    emit started(total_);
    if (beside && error.empty()) error = runBeside(plan, settings);
    const int64_t t0 = plat::clock().nowNs();
    for (long f : freqs) {
        if (!error.empty()) break;
        error = measureAt(f, settings);
        if (cancelled_ || !error.empty()) break;
        const double elapsed = double(plat::clock().nowNs() - t0) / 1e9;
        const int done = int(points_.size());
        emit measured(points_.back(), done, total_,
                      secondsLeft(elapsed, done, total_, FirstGuessS));
    }
    inst_.endOutputRun();
    inst_.restore(saved);
    running_ = false;
    emit finished();
    return error;
}

} // namespace fra
