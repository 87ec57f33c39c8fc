// The sweep with reference A: the generator plays on while A and B are captured beside
// it, and each point is measured once the circuit has settled.
#include "analysis/record.h"
#include "fra/sweep.h"
#include "instrument/instrument.h"
#include "platform/clock.h"

#include <algorithm>
#include <cmath>

namespace fra {

namespace {

// A settling the fit finds below twice the noise is none; after seven of its time
// constants one is down to 0.1 %.
constexpr double SettledNoise = 2;
constexpr double SettleTaus = 7;
// Captures of one point at the most, and the longest wait for a settling.
constexpr int MaxCaptures = 5;
constexpr double MaxWaitS = 2;
// Each point within 0.1 dB and 1 degree at three times its deviation, the phase less
// what A's samples leave of the DAC's steps (180 degrees x f / rate): a point noisier
// than that reads more of its capture, as far as the capture goes.
constexpr double GainLimit = 0.011513; // 0.1 dB as a relative amplitude (natural log)
constexpr double PhaseLimit = M_PI / 180;
constexpr double LeastUncertainty = 2e-4;
// Beyond its own length, how long a capture may take to report its end.
constexpr double TimeoutS = 1;

int64_t nowNs() {
    return plat::clock().nowNs();
}

std::string at(const Step& st) {
    return "at " + std::to_string(std::lround(st.freqHz)) + " Hz";
}

} // namespace

std::string Sweep::setUpBeside() {
    using C = Instrument::Channel;
    // AC coupling on the finest range, as with reference D; no pretrigger, so A and B
    // are read from the same sample.
    for (const std::string& e :
         {inst_.setMode(modes::Scope), inst_.setChannelOn(C::A, true),
          inst_.setChannelOn(C::B, true), inst_.setCoupling(C::A, false),
          inst_.setCoupling(C::B, false), inst_.setRange(C::A, 0), inst_.setRange(C::B, 0),
          inst_.setPretrigger(0), inst_.setRepeat(false), inst_.beginOutputRun()})
        if (!e.empty()) return "The sweep cannot start: " + e + ".";
    return "";
}

bool Sweep::waitUntil(int64_t tNs) {
    const int64_t t0 = nowNs();
    tNs = std::min(tNs, t0 + int64_t(MaxWaitS * 1e9));
    while (!cancelled_ && inst_.state().running()) {
        const int64_t left = tNs - nowNs();
        if (left <= 0) break;
        DoEvents();
        Pause(int(std::clamp<int64_t>(left / 1000000, 1, 10)));
    }
    waitedS_ += double(nowNs() - t0) / 1e9;
    return !cancelled_;
}

std::optional<Point> Sweep::readPoint(const Step& st, std::string* why, Quality* q) const {
    const InstrumentState& s = inst_.state();
    // A channel switched off during the sweep (its button stays usable in the run)
    // leaves its buffer from an older capture.
    const analysis::WindowOffset off = analysis::bWindowOffset(s);
    if (!off.samples) {
        *why = std::string(off.reason);
        return std::nullopt;
    }
    const analysis::ChannelScale a = analysis::channelScale(s, analysis::Channel::A);
    Capture c;
    c.reference = s.ChanABuffer.data();
    c.response = s.ChanBBuffer.data();
    c.referenceVoltsPerUnit = a.voltsPerUnit;
    c.responseVoltsPerUnit = analysis::channelScale(s, analysis::Channel::B).voltsPerUnit;
    c.count = long(analysis::capturedCount(s));
    c.stepRateHz = a.sampleRateHz;
    c.samplesPerCycle = a.sampleRateHz / st.freqHz;
    c.bOffset = *off.samples;
    std::optional<Point> p = measurePoint(c, why, q);
    if (p) p->freqHz = st.freqHz;
    return p;
}

std::string Sweep::measureStep(const Step& st, Point& out) {
    const InstrumentState& s = inst_.state();
    const long most = tableLength(s.RateFactor) - 1;
    const double grid = M_PI * st.freqHz / analysis::sampleRateHz(st.captureRate, s.RateFactor);
    const double target = std::max(LeastUncertainty, std::min(GainLimit, PhaseLimit - grid) / 3);
    const int64_t changed = nowNs();
    std::optional<Point> last;
    Quality lastQ;
    double tauS = 0; // the circuit's time constant, once a settling has shown it
    long count = st.count;
    for (int n = 1;; ++n) {
        const int64_t start = nowNs();
        if (inst_.captureBeside(st.captureRate, count, TimeoutS).end != Instrument::RunEnd::Done)
            return cancelled_ ? ""
                              : "No data " + at(st) + ": the capture was stopped or did not end.";
        std::string why;
        Quality q;
        std::optional<Point> p = readPoint(st, &why, &q);
        // A small response reads more of the same capture, as much as its noise needs.
        if (p && q.uncertainty > target && count < most) {
            const double more = std::pow(q.uncertainty / target, 2);
            count = std::min(most, long(std::ceil(double(count) * more)));
            inst_.readBeside(count);
            p = readPoint(st, &why, &q);
        }
        if (!p) return "No reading " + at(st) + ": " + why + ".";
        // Settled: no settling shows in this capture; or the time the last one's
        // estimate asked for had passed when it began; or it agrees with the one before.
        const bool settling = q.transient > SettledNoise;
        const bool waited = tauS > 0 && double(start - changed) / 1e9 >= SettleTaus * tauS;
        if ((!settling && !p->clipped) || waited || (last && agree(*last, lastQ, *p, q)) ||
            n == MaxCaptures) {
            out = *p;
            return "";
        }
        if (settling) tauS = q.tauS;
        last = p;
        lastQ = q;
        if (!waitUntil(changed + int64_t(SettleTaus * tauS * 1e9))) return "";
    }
}

std::string Sweep::runBeside(const std::vector<Step>& plan, const Settings& settings) {
    const double rf = inst_.state().RateFactor;
    const long length = tableLength(rf);
    // The time left: the plan's seconds, scaled by what the points so far took of theirs.
    const double planned = plannedS(settings);
    double plannedDone = 0;
    const int64_t t0 = nowNs();
    std::vector<int16_t> wave;
    int table = 0;
    for (const Step& st : plan) {
        const bool upload = st.cycles != table;
        if (upload) wave = sineTable(st.cycles, length, settings.ampDiv), table = st.cycles;
        if (const std::string e = inst_.playWave(wave, st.genRate); !e.empty())
            return cancelled_ ? "" : "No data " + at(st) + ": " + e + ".";
        Point p;
        const std::string e = measureStep(st, p);
        if (cancelled_ || !e.empty()) return e;
        keep(p);
        plannedDone += plannedSeconds(st, upload, rf);
        const double elapsed = double(nowNs() - t0) / 1e9;
        emit measured(p, int(points_.size()), total_,
                      std::max(0.0, planned - plannedDone) * elapsed / plannedDone);
    }
    return "";
}

} // namespace fra
