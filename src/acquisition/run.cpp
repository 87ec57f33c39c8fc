// GO/STOP and the run loop: checks, control locking, the capture (or generator)
// iterations and the restore at the end of a run.
#include "acquisition/acquisition.h"
#include "app/wqk.h"
#include "device/protocol.h"
#include "platform/clock.h"

namespace {

constexpr long Green = 65280, Red = 255;

// The settings in force when a capture starts. A button pressed while the capture
// waits changes the settings at once, so they are taken before the wait and become the
// captured-with record only when data arrives.
struct CaptureSettings {
    vb::Variant rangeA, rateA, sizeA;
    int16_t rangeB, rateB, sizeB;
};

void message(WQK& w, const char* line1, const char* line2) {
    w.Trigwait->show();
    w.Trigwait->raise();
    w.Trigwait->Cls();
    w.Trigwait->Print(line1);
    w.Trigwait->Print(line2);
}

// The F button stays usable during a run, so every step reads the mode afresh.
int modeOf(const InstrumentState& s) {
    return int(double(s.ScopeMode));
}
bool scopeLike(int mode) {
    return mode != 1 && mode != 2;
}

int generatorRateIndex(const InstrumentState& s) {
    switch (int(double(s.GenMode))) {
    case 1:
        return int(double(s.SweepRateIndex));
    case 2:
        return int(double(s.CustomRateIndex));
    default:
        return int(double(s.GenRateIndex));
    }
}

} // namespace

void WQK::GOBUTTON_Click() {
    s.RunState = double(s.RunState) + 1;
    if (double(s.RunState) > 1) s.RunState = 0;
    if (double(s.ChanAOn) == 0 && s.ChanBOn == 0) s.RunState = 0;
    if (double(s.RunState) == 1) GOMODE();
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
    if (s.ModelCode == 0) {
        line1 = "  No WQK Hardware !!! ";
        line2 = "  Aborting Command ...";
    } else {
        Testpower();
        if (s.PowerFault != 0) {
            line1 = " No Power to WQK  !!! ";
            line2 = " Check Power to WQK   ";
        }
    }
    if (line1) {
        message(*this, line1, line2);
        s.RunState = 0;
        DoEvents();
        Pause(2000);
        Trigwait->hide();
        HScroll1_Change();
        return;
    }

    GOCOLOR->setBackColor(Green);
    GOBUTTON->setFontSize(8);
    GOBUTTON->setCaption("STOP");
    s.ChanConfig = proto::channelConfig(s);
    if (modeOf(s) > 0) {
        RANGEADISABLE();
        RANGEBDISABLE();
        SAMPLEDISABLE();
        TRIGGERDISABLE();
        if (modeOf(s) == 2) TRESETBUTTON->setEnabled(true);
    }
    FILEDISABLE();
    GENDISABLE();
    SCOPEMODE->setEnabled(false);
    SETCHAB();
    SETMAXLOOP();
    Pause(100);

    while (true) {
        // Capture step.
        int rateIndex;
        if (scopeLike(modeOf(s))) {
            rateIndex = int(double(s.RateA));
            s.ReadCount = int32_t(acq::readCount(double(s.SizeA), s.PreTrigCount));
            s.TrigLevelCode = int16_t(acq::trigLevelCode(double(s.TrigLevel), s.FullScale));
            s.PreTrigCount = int32_t(acq::preTrigCount(double(s.PreTrig)));
        } else {
            if (s.GenDirty != 0) GENUPDATEBUTTON_Click();
            s.GenCount = int32_t(vb::CLng(s.GenLast));
            rateIndex = generatorRateIndex(s);
        }
        s.RateCode = 5 - rateIndex;
        s.CaptureStatus = 0;
        const CaptureSettings taken{s.RangeA, s.RateA, s.SizeA, s.RangeB, s.RateB, s.SizeB};

        if (scopeLike(modeOf(s)))
            ADCconvert();
        else if (modeOf(s) == 1)
            DACGEN();
        else
            DACADC();

        if (s.CaptureStatus == 1) {
            DSAMPLE();
            const int mode = modeOf(s);
            if (mode == 3) {
                const bool a = double(s.ChanAOn) == 1, b = s.ChanBOn == 1;
                if (a) s.SaveA = s.ChanABuffer;
                if (b) s.SaveB = s.ChanBBuffer;
            }
            if (scopeLike(mode) || mode == 2) {
                s.DataRangeA = taken.rangeA;
                s.DataRangeB = taken.rangeB;
                s.DataSizeA = taken.sizeA;
                s.DataSizeB = taken.sizeB;
                s.DataRateA = mode == 2 ? vb::Variant(rateIndex) : taken.rateA;
                s.DataRateB = mode == 2 ? int16_t(rateIndex) : taken.rateB;
            }
            if (s.DelayMode == 0) HScroll1->setValue(0);
        }
        HScroll1_Change();

        // End-of-iteration check.
        if (s.RunRepeat == 0) s.RunState = 0;
        if (double(s.ChanAOn) == 0 && s.ChanBOn == 0) s.RunState = 0;
        if (double(s.RunState) != 1 || ended()) break;
        s.ChanConfigPrev = s.ChanConfig;
        s.ChanConfig = proto::channelConfig(s);
        if (double(s.ChanConfig) != double(s.ChanConfigPrev)) {
            SETCHAB();
            SETMAXLOOP();
        } else {
            reloadloop();
        }
    }

    // End of run.
    const int mode = modeOf(s);
    Trigwait->hide();
    s.RunState = 0;
    GOBUTTON->setFontSize(10);
    GOBUTTON->setCaption("GO");
    GOCOLOR->setBackColor(Red);
    if (mode == 0 || mode == 3) {
        TRIGGERENABLE();
        SAMPLEENABLE();
    }
    if (mode != 1) {
        if (double(s.ChanAOn) == 1)
            RANGEAENABLE();
        else
            RANGEADISABLE();
        if (s.ChanBOn == 1)
            RANGEBENABLE();
        else
            RANGEBDISABLE();
    }
    SAMPLEENABLE();
    FILEENABLE();
    if (mode == 1 || mode == 2) GENENABLE();
    SCOPEMODE->setEnabled(true);
}
