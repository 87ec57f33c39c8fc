#include "cli/session.h"

#include "acquisition/acquisition.h"
#include "analysis/record.h"
#include "platform/msgbox.h"
#include "platform/port.h"
#include "platform/timer.h"

#include <QEvent>
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

// Presses `click` until `done` (each button steps or wraps through a few values).
template <class Done, class Click> void pressUntil(Done done, Click click) {
    for (int i = 0; i < 8 && !done(); ++i)
        click();
}

} // namespace

Session::Session(const Settings& settings, std::ostream& err)
    : settings_(settings), err_(err), backend_(ports::makeBackend(settings.port)),
      oldBackend_(plat::portBackend()) {
    plat::setPortBackend(backend_.get());
    w_ = std::make_unique<WQK>();
    plat::setMessageHandler([this](const plat::Message& m) {
        err_ << who << ": " << m.text << "\n";
        return plat::Answer::OK;
    });
    w_->onEnd = [this](int code) { endCode_ = code; };
    w_->writesPortConfig = false; // a subcommand reads the port file, never writes it
    w_->CONFIGWINDOW->installEventFilter(this);
}

Session::~Session() {
    w_->CONFIGWINDOW->removeEventFilter(this);
    w_.reset();
    plat::setMessageHandler(nullptr);
    plat::setPortBackend(oldBackend_);
}

bool Session::eventFilter(QObject* watched, QEvent* e) {
    // The port-selection window waits for a user: close it as it opens, port unchanged.
    if (watched == w_->CONFIGWINDOW && e->type() == QEvent::ShowToParent) w_->CONFIGEXIT_Click();
    return QObject::eventFilter(watched, e);
}

Status Session::start() {
    w_->activate();
    if (endCode_ >= 0) return NoInstrument; // no port access: the message is out
    const InstrumentState& s = w_->state();
    // The checks GO makes before a run, with its messages.
    const char* lines[2] = {nullptr, nullptr};
    if (s.ModelCode == 0) {
        lines[0] = "  No WQK Hardware !!! ";
        lines[1] = "  Aborting Command ...";
    } else {
        w_->Testpower();
        if (s.PowerFault != 0) {
            lines[0] = " No Power to WQK  !!! ";
            lines[1] = " Check Power to WQK   ";
        }
    }
    if (!lines[0]) return Done;
    err_ << who << ": " << trimmed(lines[0]) << " " << trimmed(lines[1]) << "\n";
    return NoInstrument;
}

std::string Session::applySampling() {
    WQK& w = *w_;
    InstrumentState& s = w.state();
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
        pressUntil([&] { return index < 0 || s.sampleRateIndex() <= index; },
                   [&] { w.SRATEN_MouseDown(); });
        pressUntil([&] { return index < 0 || s.sampleRateIndex() >= index; },
                   [&] { w.SRATEP_MouseDown(); });
    }
    if (o.sizeIndex) {
        pressUntil([&] { return s.SampleSizeIndex <= *o.sizeIndex; },
                   [&] { w.SSIZEN_MouseDown(); });
        pressUntil([&] { return s.SampleSizeIndex >= *o.sizeIndex; },
                   [&] { w.SSIZEP_MouseDown(); });
    }
    return error;
}

std::string Session::applyChannels() {
    WQK& w = *w_;
    InstrumentState& s = w.state();
    const Settings& o = settings_;
    std::string error;
    pressUntil([&] { return s.chanAOn() == o.chanOn[0].value_or(true); },
               [&] { w.SCHAbutton_Click(); });
    pressUntil([&] { return s.chanBOn() == o.chanOn[1].value_or(s.chanBFitted()); },
               [&] { w.SCHBbutton_Click(); });
    // The range code is the Range button (1.2 or 12 V) plus one for the x10 probe.
    for (int c = 0; c < 2; ++c) {
        const int probe = o.probe[c].value_or(o.range[c] == 2 ? 1 : 0);
        const int sel = o.range[c] ? *o.range[c] - probe : 1;
        if (sel < 0 || sel > 1) {
            error = std::string("--range-") + (c ? "b" : "a") + "=" + (sel < 0 ? "1.2" : "120") +
                    " needs --probe-" + (c ? "b" : "a") + "=" + (sel < 0 ? "1" : "10");
            continue;
        }
        (c ? s.ProbeB : s.ProbeA) = probe; // as the Probe button sets it, without its warning
        c ? w.CHANB() : w.CHANA();
        pressUntil([&] { return (c ? s.rangeSelB() : s.rangeSelA()) == sel; },
                   [&] { c ? w.Command6_Click() : w.Command3_Click(); });
        const bool dc = o.dc[c].value_or(c ? s.dcB() : s.dcA());
        pressUntil([&] { return (c ? s.dcB() : s.dcA()) == dc; },
                   [&] { c ? w.Command7_Click() : w.Command2_Click(); });
    }
    return error;
}

std::string Session::applyTrigger() {
    WQK& w = *w_;
    InstrumentState& s = w.state();
    const Settings& o = settings_;
    pressUntil([&] { return s.trigMode() == o.trigMode.value_or(0); },
               [&] { w.TMODEBUTTON_MouseDown(); });
    pressUntil([&] { return s.trigSourceB() == (o.trigSource.value_or(0) == 1); },
               [&] { w.TSOURCEBUTTON_MouseDown(); });
    pressUntil([&] { return s.risingSlope() == o.rising.value_or(true); },
               [&] { w.TSLOPEBUTTON_MouseDown(); });
    pressUntil([&] { return s.preTrig() == o.preTrig.value_or(0); },
               [&] { w.PRETRIGBUTTON_MouseDown(); });
    if (!o.levelV) return "";
    // The level is counted down from the top of the display in buffer units of the
    // source's range; the arrows keep it 10 units inside.
    const double vpu = analysis::voltsPerUnit(s.trigSourceB() ? s.RangeB : s.rangeA());
    const double limit = (InstrumentState::MidScale - 10) * vpu;
    s.TrigLevel = InstrumentState::MidScale - std::lround(*o.levelV / vpu);
    if (std::abs(*o.levelV) <= limit + 1e-12) return "";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::floor(limit * 100) / 100);
    const std::string l(buf, r.ptr);
    return "--level must be within -" + l + " and " + l + " V on the source's range";
}

Status Session::apply(bool fft) {
    WQK& w = *w_;
    InstrumentState& s = w.state();
    if (settings_.chanOn[1].value_or(false) && !s.chanBFitted()) {
        err_ << who << ": --channels must be a on this instrument: channel B is not fitted\n";
        return Usage;
    }
    std::string errors[3] = {applySampling(), applyChannels(), applyTrigger()};
    if (fft && s.mode() != modes::FFT) w.FFTbutton_Click();
    // A capture reads the size less the pretrigger of the capture before it; start as
    // if that one had these settings too.
    s.PreTrigCount = int32_t(acq::preTrigCount(s.preTrig()));
    w.TRIGGER();
    Status status = Done;
    for (const std::string& e : errors)
        if (!e.empty()) {
            err_ << who << ": " << e << "\n";
            status = Usage;
        }
    return status;
}

Status Session::capture(int captures, const std::function<void()>& each) {
    return captureWhile(captures, [&each] {
        each();
        return true;
    });
}

Status Session::captureWhile(int captures, const std::function<bool()>& more,
                             const std::function<bool()>& cancelled) {
    WQK& w = *w_;
    InstrumentState& s = w.state();
    s.RunRepeat = captures > 1 ? 1 : 0;
    w.TRIGGER();
    int got = 0;
    plat::Timer timer;
    // The time-out counts beyond the capture's own length: 32K samples at 2 kHz take 16 s.
    const double rate = analysis::sampleRateHz(s.sampleRateIndex(), s.RateFactor);
    const double takes = rate > 0 ? double(2048 << std::clamp(s.SampleSizeIndex, 0, 4)) / rate : 0;
    timer.setInterval(int(std::lround((settings_.timeoutS + takes) * 1000)));
    // Time out as a user would: STOP.
    timer.onTimer = [&] {
        timer.setEnabled(false);
        if (s.running()) w.GOBUTTON_Click();
    };
    bool enough = false;
    const QMetaObject::Connection c = connect(&w, &WQK::captured, this, [&] {
        ++got;
        enough = !more();
        timer.setEnabled(false);
        if (got >= captures || enough) {
            if (s.running()) w.GOBUTTON_Click();
        } else {
            timer.setEnabled(true);
        }
    });
    timer.setEnabled(true);
    w.GOBUTTON_Click();
    disconnect(c);
    if (got >= captures || enough || (cancelled && cancelled())) return Done;
    const std::string what = s.trigMode() == 1 ? "no trigger" : "no end of capture";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, settings_.timeoutS);
    err_ << who << ": " << what << " within " << std::string(buf, r.ptr) << " s\n";
    return Timeout;
}

} // namespace cli
