#include "cli/session.h"

#include "acquisition/acquisition.h"
#include "analysis/autoset.h"
#include "analysis/record.h"
#include "platform/msgbox.h"
#include "port/select.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

namespace cli {

namespace {

// A rate as the options write it: 2k, 20k, 2M, 3M ...
std::string rateWord(double hz) {
    const bool mega = hz >= 1e6;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, hz / (mega ? 1e6 : 1e3));
    return std::string(buf, r.ptr) + (mega ? "M" : "k");
}

std::string trimmed(std::string t) {
    t.erase(0, t.find_first_not_of(' '));
    t.erase(t.find_last_not_of(' ') + 1);
    return t;
}

} // namespace

Session::Session(const Settings& settings, std::ostream& err)
    : settings_(settings), err_(err), inst_(ports::makeBackend(settings.port)) {
    plat::setMessageHandler([this](const plat::Message& m) {
        err_ << who << ": " << m.text << "\n";
        return plat::Answer::OK;
    });
}

Session::~Session() {
    plat::setMessageHandler(nullptr);
}

Status Session::start() {
    if (!inst_.startUp()) return NoInstrument; // no port access: the message is out
    // The checks GO makes before a run, with its messages.
    const char* fault = inst_.hardwareFault();
    if (!fault) return Done;
    std::string lines(fault);
    const size_t nl = lines.find('\n');
    err_ << who << ": " << trimmed(lines.substr(0, nl)) << " " << trimmed(lines.substr(nl + 1))
         << "\n";
    return NoInstrument;
}

std::string Session::applySampling() {
    const InstrumentState& s = inst_.state();
    const Settings& o = settings_;
    std::string error;
    if (o.rateHz) {
        int index = -1;
        std::string valid;
        for (int i = 0; i <= acq::MaxIndex; ++i) {
            const double hz = analysis::sampleRateHz(i, s.RateFactor);
            if (std::abs(hz - *o.rateHz) < hz * 1e-9) index = i;
            valid += (i ? ", " : "") + rateWord(hz);
        }
        if (index < 0)
            error = "--rate must be one of " + valid + " on this model: " + rateWord(*o.rateHz);
        else
            error = inst_.setSampleRate(index);
    }
    if (o.sizeIndex && error.empty()) error = inst_.setSampleSize(*o.sizeIndex);
    return error;
}

std::string Session::applyChannels() {
    using C = Instrument::Channel;
    const InstrumentState& s = inst_.state();
    const Settings& o = settings_;
    const bool on[2] = {o.chanOn[0].value_or(true), o.chanOn[1].value_or(s.chanBFitted())};
    for (int c = 0; c < 2; ++c)
        if (std::string e = inst_.setChannelOn(c ? C::B : C::A, on[c]); !e.empty()) return e;
    std::string error;
    // The range code is the Range button (1.2 or 12 V) plus one for the x10 probe. A
    // channel that is off keeps its settings: its panel is locked.
    for (int c = 0; c < 2; ++c) {
        const C ch = c ? C::B : C::A;
        const int probe = o.probe[c].value_or(o.range[c] == 2 ? 1 : 0);
        const int sel = o.range[c] ? *o.range[c] - probe : 1;
        if (sel < 0 || sel > 1) {
            error = std::string("--range-") + (c ? "b" : "a") + "=" + (sel < 0 ? "1.2" : "120") +
                    " needs --probe-" + (c ? "b" : "a") + "=" + (sel < 0 ? "1" : "10");
            continue;
        }
        if (!on[c]) continue;
        const bool dc = o.dc[c].value_or(c ? s.dcB() : s.dcA());
        for (const std::string& e :
             {inst_.setProbe(ch, probe == 1), inst_.setRange(ch, sel), inst_.setCoupling(ch, dc)})
            if (!e.empty()) error = e;
    }
    return error;
}

std::string Session::applyTrigger() {
    const Settings& o = settings_;
    for (const std::string& e :
         {inst_.setTriggerMode(o.trigMode.value_or(0)),
          inst_.setTriggerSource(o.trigSource.value_or(0) == 1 ? Instrument::Channel::B
                                                               : Instrument::Channel::A),
          inst_.setTriggerSlope(o.rising.value_or(true)),
          inst_.setPretrigger(o.preTrig.value_or(0))})
        if (!e.empty()) return e;
    if (!o.levelV) return "";
    // The level is counted down from the top of the display in buffer units of the
    // source's range; the arrows keep it 10 units inside.
    const InstrumentState& s = inst_.state();
    const double vpu = analysis::voltsPerUnit(s.trigSourceB() ? s.RangeB : s.rangeA());
    const double limit = (InstrumentState::MidScale - 10) * vpu;
    if (std::abs(*o.levelV) <= limit + 1e-12)
        return inst_.setTriggerLevel(InstrumentState::MidScale - *o.levelV / vpu);
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::floor(limit * 100) / 100);
    const std::string l(buf, r.ptr);
    return "--level must be within -" + l + " and " + l + " V on the source's range";
}

Status Session::apply(bool fft) {
    if (settings_.chanOn[1].value_or(false) && !inst_.state().chanBFitted()) {
        err_ << who << ": --channels must be a on this instrument: channel B is not fitted\n";
        return Usage;
    }
    Status status = Done;
    for (const std::string& e : {applySampling(), applyChannels(), applyTrigger()})
        if (!e.empty()) {
            err_ << who << ": " << e << "\n";
            status = Usage;
        }
    if (status != Done) return status;
    inst_.setAutoTrigger(settings_.autoTrigger);
    if (settings_.autoset) {
        const analysis::AutosetResult r = analysis::autoset(inst_);
        if (!r.done || !r.periodic) err_ << who << ": auto-set: " << r.message << "\n";
        if (!r.done) return r.timedOut ? Timeout : NoInstrument;
    }
    if (fft) {
        if (std::string e = inst_.setMode(modes::FFT); !e.empty()) {
            err_ << who << ": " << e << "\n";
            return Usage;
        }
    }
    return Done;
}

Status Session::capture(int captures, const std::function<void()>& each) {
    return captureWhile(captures, [&each] {
        each();
        return true;
    });
}

Status Session::captureWhile(int captures, const std::function<bool()>& more,
                             const std::function<bool()>& cancelled) {
    const Instrument::RunResult r = inst_.captureRun(captures, settings_.timeoutS, more, cancelled);
    if (r.end == Instrument::RunEnd::Done) return Done;
    err_ << who << ": " << r.reason << "\n";
    return r.end == Instrument::RunEnd::TimedOut ? Timeout : NoInstrument;
}

} // namespace cli
