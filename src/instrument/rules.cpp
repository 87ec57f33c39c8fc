// The record's side of the panels: the fields each panel derives from the settings
// when it is drawn (the range code from range and probe, the trace offsets from the
// positions, the captured-with copies of the sampling settings, ...). The window runs
// them as it draws; without a window settle() runs them all.
#include "display/display_util.h"
#include "display/scales.h"
#include "generator/panel_logic.h"
#include "generator/synthesis.h"
#include "instrument/instrument.h"

void Instrument::applyChannelA() {
    s.RangeA = s.probeA() + s.rangeSelA();
}

void Instrument::applyChannelB() {
    s.RangeB = int16_t(s.probeB() + s.rangeSelB());
}

void Instrument::applyPositionA() {
    const display::PositionStep p = display::positionStep(s.yMagA());
    s.YMagFactorA = p.factor;
    s.VoltOffsetA = s.tracePosA() * p.volts;
    s.ShiftA = int16_t(vb::Nearest(s.tracePosA() * p.shift));
}

void Instrument::applyPositionB() {
    const display::PositionStep p = display::positionStep(s.yMagB());
    s.YMagFactorB = int16_t(p.factor);
    s.VoltOffsetB = s.TracePosB * p.volts;
    s.ShiftB = int16_t(vb::Nearest(s.TracePosB * p.shift));
}

void Instrument::applyPositionSum() {
    const display::PositionStep p = display::positionStep(s.sumYMag());
    s.VoltOffsetSum = s.TracePosSum * p.volts;
    s.ShiftSum = int16_t(vb::Nearest(s.TracePosSum * p.shift));
}

void Instrument::takeSampling() {
    if (s.mode() != modes::Scope && s.mode() != modes::FFT) return;
    s.RateA = s.SampleRateIndex;
    s.RateB = int16_t(s.sampleRateIndex());
    s.SizeA = s.SampleSizeIndex;
    s.SizeB = int16_t(s.SampleSizeIndex);
}

void Instrument::applyTriggerPanel() {
    if (s.mode() == modes::Generator || s.mode() == modes::ScopeGen) return;
    s.LevelLineColour = s.levelSetOn() ? (s.trigSourceB() ? s.ColourB : s.ColourA) : 0;
}

void Instrument::applyModeGroups() {
    const modes::Mode mode = s.mode();
    if (mode == modes::Scope || mode == modes::FFT) {
        s.ShowD = -1;
        if (s.genMode() != 2) takeSampling();
    } else {
        s.LevelSetMode = 0;
    }
    if (mode == modes::Generator) s.ShowD = 1;
}

void Instrument::applyDisplayPanel() {
    s.CursorMode = display::checkCursorMode(s.cursorMode(), display::shownOf(s));
    s.CursorColour = display::cursorColour(s.cursorMode(), s);
    const bool scopeModes = s.mode() == modes::Scope || s.mode() == modes::ScopeGen;
    if (scopeModes && display::combinedOn(s)) {
        const int step = s.sumYMag();
        s.SumYMagFactor = int16_t(display::positionStep(step == 1 || step == 2 ? step : 0).factor);
    } else {
        s.SumYMagFactor = 1;
    }
    takeSampling();
}

void Instrument::applyGeneratorPanel() {
    if (s.mode() == modes::Scope || s.mode() == modes::FFT) return;
    gen::applyPanelState(s);
}

void Instrument::settle() {
    applyChannelA();
    applyChannelB();
    applyTriggerPanel();
    takeSampling();
    applyModeGroups();
    applyDisplayPanel();
    applyGeneratorPanel();
    applyPositionA();
    applyPositionB();
}

void Instrument::updateWave() {
    // A profile may carry anything; the tables only know amplitudes 1 and 2.
    const int ampDiv = s.AmpDiv == 2 ? 2 : 1;
    const int style = s.genStyle();
    long last;
    if (s.genMode() == 1) {
        last = gen::synthSweep(s.GenWave, style, s.sweepHalf() ? 1 : 0, s.sweepRatio(), ampDiv);
    } else {
        const gen::Settled f = gen::settleFrequency(s.genFreq(), s.RateFactor);
        s.GenFreq = f.freq;
        s.GenRateIndex = f.rateIndex;
        double angle = 0;
        if (style == gen::Square) {
            angle = gen::squareSwitchAngle(s.dutyCycle());
            s.SquareSwitchAngle = angle;
        }
        last = gen::synthNormal(s.GenWave, style, f, ampDiv, angle);
    }
    s.GenLast = float(last);
    if (style == gen::Sine) gen::sineTail(s.GenWave, last, ampDiv);
    s.GenDirty = 0;
    takeSampling();
    applyGeneratorPanel();
}

void Instrument::updateGenerator() {
    if (s.genMode() == 2) {
        view_->loadCustomWave();
        return;
    }
    updateWave();
    view_->waveUpdated();
}

void Instrument::modeStepRecord() {
    int mode = s.mode() + 1;
    // Without a generator there are no generator modes.
    if (mode == modes::Generator && !s.genFitted()) mode = modes::FFT;
    if (mode == modes::FFT + 1) {
        // Leaving FFT: the samples saved on entry come back.
        std::copy(s.SaveA.begin(), s.SaveA.end(), s.ChanABuffer.begin());
        std::copy(s.SaveB.begin(), s.SaveB.end(), s.ChanBBuffer.begin());
        s.FFTDoneA = 0;
        s.FFTDoneB = 0;
    }
    if (mode > modes::FFT) mode = modes::Scope;
    s.ScopeMode = mode;
    if (mode == modes::Generator) s.CapturedSizeIndex = s.SampleSizeIndex;
    if (mode == modes::FFT) {
        std::copy(s.ChanABuffer.begin(), s.ChanABuffer.end(), s.SaveA.begin());
        std::copy(s.ChanBBuffer.begin(), s.ChanBBuffer.end(), s.SaveB.begin());
        s.BufBase = 1024;
        s.ShowAplusB = -1;
        s.ShowAminusB = -1;
    } else {
        s.BufBase = 2048;
    }
}

void Instrument::modeStep() {
    modeStepRecord();
    applyModeGroups();
    s.CursorMode = 0;
    // Entering GENERATOR recomputes a built-in wave at once; a custom wave stays as loaded.
    if (s.mode() == modes::Generator && s.genMode() < 2) updateWave();
}

void Instrument::FFTbutton() {
    if (s.mode() != modes::FFT) s.ScopeMode = modes::ScopeGen;
    modeStep();
}

void Instrument::genModeStep() {
    if (s.genMode() == 2) s.GenStyle = s.SavedStyle;
    s.GenMode = s.genMode() + 1 > 2 ? 0 : s.genMode() + 1;
    if (s.genMode() == 2) {
        s.SavedStyle = s.GenStyle;
        s.GenStyle = int(gen::Custom);
        // The last built-in wave becomes the starting custom wave.
        const long last = gen::lastIndex(s.GenLast);
        std::copy(s.GenWave.begin(), s.GenWave.begin() + last + 1, s.CustomWave.begin());
    }
    if (s.genMode() < 2 && s.genStyle() == gen::Custom) s.GenStyle = 0;
    s.GenDirty = 1;
}
