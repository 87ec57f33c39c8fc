// GO/STOP and the run loop: checks, control locking, the capture (or generator)
// iterations and the restore at the end of a run.
#include "acquisition/acquisition.h"
#include "app/wqk.h"
#include "device/protocol.h"
#include "platform/clock.h"
#include "platform/colours.h"

using modes::Mode;

namespace {

// The settings in force when a capture starts. A button pressed while the capture
// waits changes the settings at once, so they are taken before the wait and become the
// captured-with record only when data arrives.
struct CaptureSettings {
    vb::Variant rangeA, rateA, sizeA;
    int16_t rangeB, rateB, sizeB;
};

// SCOPE and FFT capture; GENERATOR and SCOPE+GEN play the generator.
bool scopeLike(Mode mode) {
    return mode != modes::Generator && mode != modes::ScopeGen;
}

// The hardware check before a run: the two lines of its message, or none.
bool hardwareMessage(WQK& w, const char*& line1, const char*& line2) {
    const InstrumentState& s = w.state();
    if (s.ModelCode == 0) {
        line1 = "  No WQK Hardware !!! ";
        line2 = "  Aborting Command ...";
        return true;
    }
    w.Testpower();
    if (s.PowerFault == 0) return false;
    line1 = " No Power to WQK  !!! ";
    line2 = " Check Power to WQK   ";
    return true;
}

// GO turns STOP and the panels that must not change during the run are locked.
void lockForRun(WQK& w) {
    InstrumentState& s = w.state();
    w.GOCOLOR->setBackColor(colours::Green);
    w.GOBUTTON->setFontSize(8);
    w.GOBUTTON->setCaption("STOP");
    s.ChanConfig = proto::channelConfig(w.channelSettings());
    if (s.mode() != modes::Scope) {
        w.RANGEADISABLE();
        w.RANGEBDISABLE();
        w.SAMPLEDISABLE();
        w.TRIGGERDISABLE();
        if (s.mode() == modes::ScopeGen) w.TRESETBUTTON->setEnabled(true);
    }
    w.FILEDISABLE();
    w.GENDISABLE();
    w.SCOPEMODE->setEnabled(false);
}

// The counts and codes of the next capture; returns its rate index.
int prepareCapture(WQK& w) {
    InstrumentState& s = w.state();
    int rateIndex;
    if (scopeLike(s.mode())) {
        rateIndex = s.rateA();
        const acq::ScopeCapture c =
            acq::scopeCapture(s.sizeA(), s.PreTrigCount, s.trigLevel(), s.FullScale, s.preTrig());
        s.ReadCount = int32_t(c.readCount);
        s.TrigLevelCode = int16_t(c.trigLevelCode);
        s.PreTrigCount = int32_t(c.preTrigCount);
    } else {
        if (s.GenDirty != 0) w.GENUPDATEBUTTON_Click();
        s.GenCount = int32_t(vb::CLng(s.GenLast));
        rateIndex = acq::generatorRateIndex(s.genMode(), s.genRateIndex(), s.sweepRateIndex(),
                                            s.customRateIndex());
    }
    s.RateCode = acq::rateCode(rateIndex);
    s.CaptureStatus = 0;
    return rateIndex;
}

// Fresh data: the settings it was captured with, and the FFT mode's sample copies.
void recordCapture(WQK& w, const CaptureSettings& taken, int rateIndex) {
    InstrumentState& s = w.state();
    w.DSAMPLE();
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
    if (s.DelayMode == 0) w.HScroll1->setValue(0);
}

// One capture (or generator output) with its redraw.
void captureStep(WQK& w) {
    InstrumentState& s = w.state();
    const int rateIndex = prepareCapture(w);
    const CaptureSettings taken{s.RangeA, s.RateA, s.SizeA, s.RangeB, s.RateB, s.SizeB};
    // The F button stays usable during a run, so every step reads the mode afresh.
    if (scopeLike(s.mode()))
        w.ADCconvert();
    else if (s.mode() == modes::Generator)
        w.DACGEN();
    else
        w.DACADC();
    if (s.CaptureStatus == 1) {
        recordCapture(w, taken, rateIndex);
        if (s.mode() != modes::Generator) emit w.captured();
    }
    w.HScroll1_Change();
}

// Single, both channels off or STOP end the run; otherwise the instrument is made
// ready for the next capture. True while the run goes on.
bool nextCapture(WQK& w) {
    InstrumentState& s = w.state();
    if (s.RunRepeat == 0) s.RunState = 0;
    if (!s.chanAOn() && !s.chanBOn()) s.RunState = 0;
    if (!s.running() || w.ended()) return false;
    s.ChanConfigPrev = s.ChanConfig;
    s.ChanConfig = proto::channelConfig(w.channelSettings());
    if (s.chanConfig() != s.chanConfigPrev()) {
        w.SETCHAB();
        w.SETMAXLOOP();
    } else {
        w.reloadloop();
    }
    return true;
}

// GO again, and the panels unlocked as the mode allows.
void endRun(WQK& w) {
    InstrumentState& s = w.state();
    const Mode mode = s.mode();
    w.Trigwait->hide();
    s.RunState = 0;
    w.GOBUTTON->setFontSize(10);
    w.GOBUTTON->setCaption("GO");
    w.GOCOLOR->setBackColor(colours::Red);
    if (mode == modes::Scope || mode == modes::FFT) {
        w.TRIGGERENABLE();
        w.SAMPLEENABLE();
    }
    if (mode != modes::Generator) {
        if (s.chanAOn())
            w.RANGEAENABLE();
        else
            w.RANGEADISABLE();
        if (s.chanBOn())
            w.RANGEBENABLE();
        else
            w.RANGEBDISABLE();
    }
    w.SAMPLEENABLE();
    w.FILEENABLE();
    if (mode == modes::Generator || mode == modes::ScopeGen) w.GENENABLE();
    w.SCOPEMODE->setEnabled(true);
}

} // namespace

void WQK::GOBUTTON_Click() {
    s.RunState = s.running() ? 0 : 1; // pressed during a run, the button stops it
    if (!s.chanAOn() && !s.chanBOn()) s.RunState = 0;
    if (s.running()) GOMODE();
}

void WQK::TRESETBUTTON_Click() {
    s.RunRepeat = int16_t(s.RunRepeat + 1);
    if (s.RunRepeat >= 2) s.RunRepeat = 0;
    TRIGGER();
}

void WQK::GOMODE() {
    initport();
    const char* line1 = nullptr;
    const char* line2 = nullptr;
    if (hardwareMessage(*this, line1, line2)) {
        showRunMessage(line1, line2);
        s.RunState = 0;
        DoEvents();
        Pause(2000);
        Trigwait->hide();
        HScroll1_Change();
        return;
    }
    lockForRun(*this);
    SETCHAB();
    SETMAXLOOP();
    Pause(100);
    do {
        captureStep(*this);
    } while (nextCapture(*this));
    endRun(*this);
}
