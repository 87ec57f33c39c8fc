// GO/STOP and the run loop: the hardware check, the capture (or generator) iterations
// and the end of a run. The controls that lock during a run are the view's.
#include "acquisition/acquisition.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/timer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

using modes::Mode;

// The settings in force when a capture starts. A button pressed while the capture
// waits changes the settings at once, so they are taken before the wait and become the
// captured-with record only when data arrives.
struct CaptureSettings {
    vb::Variant rangeA, rateA, sizeA;
    int16_t rangeB, rateB, sizeB;
};

namespace {
// SCOPE and FFT capture; GENERATOR and SCOPE+GEN play the generator.
bool scopeLike(Mode mode) {
    return mode != modes::Generator && mode != modes::ScopeGen;
}
} // namespace

void Instrument::goStop() {
    s.RunState = s.running() ? 0 : 1; // pressed during a run, the button stops it
    if (!s.chanAOn() && !s.chanBOn()) s.RunState = 0;
    if (s.running()) GOMODE();
}

void Instrument::stop() {
    if (s.running()) goStop();
}

const char* Instrument::hardwareFault() {
    if (s.ModelCode == 0) return "  No WQK Hardware !!! \n  Aborting Command ...";
    Testpower();
    if (s.PowerFault != 0) return " No Power to WQK  !!! \n Check Power to WQK   ";
    return nullptr;
}

bool Instrument::hardwareReady() {
    const char* fault = hardwareFault();
    if (!fault) return true;
    const std::string lines(fault);
    const size_t nl = lines.find('\n');
    view_->showRunMessage(lines.substr(0, nl).c_str(), lines.substr(nl + 1).c_str());
    s.RunState = 0;
    DoEvents();
    Pause(2000);
    view_->hideRunMessage();
    view_->redraw();
    return false;
}

void Instrument::GOMODE() {
    initport();
    if (!hardwareReady()) return;
    s.ChanConfig = proto::channelConfig(channelSettings());
    view_->runStarted();
    SETCHAB();
    SETMAXLOOP();
    {
        const Span span(timing_.pauseNs);
        Pause(100);
    }
    do {
        captureStep();
    } while (nextCapture());
    view_->hideRunMessage();
    s.RunState = 0;
    view_->runEnded();
}

int Instrument::prepareCapture() {
    int rateIndex;
    if (scopeLike(s.mode())) {
        rateIndex = s.rateA();
        const acq::ScopeCapture c =
            acq::scopeCapture(s.sizeA(), s.PreTrigCount, s.trigLevel(), s.FullScale, s.preTrig());
        s.ReadCount = int32_t(c.readCount);
        s.TrigLevelCode = int16_t(c.trigLevelCode);
        s.PreTrigCount = int32_t(c.preTrigCount);
    } else {
        if (s.GenDirty != 0) updateGenerator();
        s.GenCount = int32_t(vb::CLng(s.GenLast));
        rateIndex = acq::generatorRateIndex(s.genMode(), s.genRateIndex(), s.sweepRateIndex(),
                                            s.customRateIndex());
    }
    s.RateCode = acq::rateCode(rateIndex);
    s.CaptureStatus = 0;
    return rateIndex;
}

void Instrument::recordCapture(int rateIndex, const CaptureSettings& taken) {
    takeSampling();
    const Mode mode = s.mode();
    if (mode == modes::FFT) {
        if (s.chanAOn()) s.SaveA = s.ChanABuffer;
        if (s.chanBOn()) s.SaveB = s.ChanBBuffer;
    }
    if (scopeLike(mode) || mode == modes::ScopeGen) {
        const bool gen = mode == modes::ScopeGen;
        s.DataRangeA = taken.rangeA;
        s.DataRangeB = taken.rangeB;
        s.DataSizeA = taken.sizeA;
        s.DataSizeB = taken.sizeB;
        s.DataRateA = gen ? vb::Variant(rateIndex) : taken.rateA;
        s.DataRateB = gen ? int16_t(rateIndex) : taken.rateB;
    }
    // In Normal (not Delay) the display window goes back to the first sample.
    if (s.DelayMode == 0) s.ScrollPos = 0;
    view_->captureRecorded();
}

void Instrument::captureStep() {
    const int rateIndex = prepareCapture();
    const CaptureSettings taken{s.RangeA, s.RateA, s.SizeA, s.RangeB, s.RateB, s.SizeB};
    // The F button stays usable during a run, so every step reads the mode afresh.
    if (scopeLike(s.mode()))
        ADCconvert();
    else if (s.mode() == modes::Generator)
        DACGEN();
    else
        DACADC();
    if (s.CaptureStatus == 1) {
        recordCapture(rateIndex, taken);
        if (s.mode() != modes::Generator) {
            ++captures_;
            emit captured();
        }
    }
    view_->redraw();
}

bool Instrument::nextCapture() {
    if (s.RunRepeat == 0) s.RunState = 0;
    if (!s.chanAOn() && !s.chanBOn()) s.RunState = 0;
    if (!s.running() || view_->ended()) return false;
    s.ChanConfigPrev = s.ChanConfig;
    s.ChanConfig = proto::channelConfig(channelSettings());
    if (s.chanConfig() != s.chanConfigPrev()) {
        SETCHAB();
        SETMAXLOOP();
    } else {
        reloadloop();
    }
    return true;
}

Instrument::RunResult Instrument::captureRun(int captures, double timeoutS,
                                             const std::function<bool()>& more,
                                             const std::function<bool()>& cancelled) {
    if (s.running()) return {RunEnd::Refused, "a run is in progress"};
    if (std::string e = setRepeat(captures > 1); !e.empty()) return {RunEnd::Refused, e};
    // A capture reads the size less the pretrigger of the capture before it: start as if
    // that one had these settings too, so the first capture is as long as the rest.
    if (scopeLike(s.mode())) s.PreTrigCount = int32_t(acq::preTrigCount(s.preTrig()));
    int got = 0;
    bool enough = false, timedOut = false;
    plat::Timer timer;
    // The time-out counts beyond the capture's own length: 32K samples at 2 kHz take 16 s.
    const double rate = acq::rateHz(s.sampleRateIndex(), s.RateFactor);
    const double takes = rate > 0 ? double(2048 << std::clamp(s.SampleSizeIndex, 0, 4)) / rate : 0;
    timer.setInterval(int(std::lround((timeoutS + takes) * 1000)));
    timer.onTimer = [&] {
        timer.setEnabled(false);
        timedOut = true;
        stop();
    };
    const QMetaObject::Connection c = connect(this, &Instrument::captured, this, [&] {
        ++got;
        enough = more && !more();
        timer.setEnabled(false);
        if (got >= captures || enough)
            stop();
        else
            timer.setEnabled(true);
    });
    timer.setEnabled(true);
    goStop();
    disconnect(c);
    if (got >= captures || enough || (cancelled && cancelled())) return {};
    if (!timedOut) return {RunEnd::Stopped, "the run was stopped"};
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, timeoutS);
    return {RunEnd::TimedOut, std::string(s.trigMode() == 1 ? "no trigger" : "no end of capture") +
                                  " within " + std::string(buf, r.ptr) + " s"};
}
