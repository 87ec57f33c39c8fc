// The named settings: each does what its button does to the record (the same values,
// refused while that button is locked, the same fields derived from it), then tells the
// view, which draws the panels again.
#include "display/display_util.h"
#include "display/scales.h"
#include "files/formats.h"
#include "generator/panel_logic.h"
#include "generator/synthesis.h"
#include "instrument/instrument.h"
#include "instrument/locks.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const Locked = "locked while the instrument runs or in this mode";

std::string outside(const char* what, long lo, long hi) {
    return std::string(what) + " must be within " + std::to_string(lo) + " and " +
           std::to_string(hi);
}

} // namespace

bool Instrument::enabled(const char* control) const {
    return view_->enabled(control, s);
}

std::string Instrument::changed(const char* control) {
    settle();
    view_->settingsChanged(control);
    return {};
}

std::string Instrument::setMode(modes::Mode mode) {
    if (mode < modes::Scope || mode > modes::FFT) return outside("the mode", 0, 3);
    if (s.mode() == mode) return {};
    if (mode == modes::FFT) {
        if (!enabled("FFTbutton")) return Locked;
        FFTbutton();
        return changed("FFTbutton");
    }
    if (!enabled("SCOPEMODE")) return Locked;
    if ((mode == modes::Generator || mode == modes::ScopeGen) && !s.genFitted())
        return "this instrument has no generator";
    // The mode button steps through the modes in turn, each with its own changes.
    for (int i = 0; i < 4 && s.mode() != mode; ++i) {
        modeStep();
        settle();
    }
    return changed("SCOPEMODE");
}

std::string Instrument::setChannelOn(Channel c, bool on) {
    const char* button = c == Channel::A ? "SCHAbutton" : "SCHBbutton";
    if (c == Channel::B && on && !s.chanBFitted()) return "this instrument has no channel B";
    if (!enabled(button)) return Locked;
    applyChannelOn(c, on);
    return changed(button);
}

std::string Instrument::setRange(Channel c, int sel) {
    const char* button = c == Channel::A ? "Command3" : "Command6";
    if (sel < 0 || sel > 1) return outside("the range", 0, 1);
    if (!enabled(button)) return Locked;
    applyRange(c, sel);
    return changed(button);
}

std::string Instrument::setCoupling(Channel c, bool dc) {
    const char* button = c == Channel::A ? "Command2" : "Command7";
    if (!enabled(button)) return Locked;
    applyCoupling(c, dc);
    return changed(button);
}

std::string Instrument::setProbe(Channel c, bool x10) {
    const char* button = c == Channel::A ? "Command4" : "Command5";
    if (!enabled(button)) return Locked;
    applyProbe(c, x10);
    return changed(button);
}

std::string Instrument::setSampleRate(int index) {
    if (index < 0 || index > acq::MaxIndex) return outside("the rate index", 0, acq::MaxIndex);
    if (!enabled("SRATEN")) return Locked;
    applySampleRate(index);
    return changed("SRATEN");
}

std::string Instrument::setSampleSize(int index) {
    if (index < 0 || index > acq::MaxIndex) return outside("the size index", 0, acq::MaxIndex);
    if (!enabled("SSIZEN")) return Locked;
    applySampleSize(index);
    return changed("SSIZEN");
}

std::string Instrument::setTriggerMode(int mode) {
    if (mode < 0 || mode > 1) return outside("the trigger mode", 0, 1);
    if (!enabled("TMODEBUTTON")) return Locked;
    applyTriggerMode(mode);
    return changed("TMODEBUTTON");
}

std::string Instrument::setTriggerSource(Channel c) {
    if (!enabled("TSOURCEBUTTON")) return Locked;
    applyTriggerSource(c);
    return changed("TSOURCEBUTTON");
}

std::string Instrument::setTriggerSlope(bool rising) {
    if (!enabled("TSLOPEBUTTON")) return Locked;
    applyTriggerSlope(rising);
    return changed("TSLOPEBUTTON");
}

std::string Instrument::setPretrigger(int index) {
    if (index < 0 || index > 2) return outside("the pretrigger index", 0, 2);
    if (!enabled("PRETRIGBUTTON")) return Locked;
    applyPretrigger(index);
    return changed("PRETRIGBUTTON");
}

std::string Instrument::setTriggerLevel(double units) {
    // The arrows move the level in steps of 10 units and keep it 10 units inside the
    // display; they work while the trigger panel is usable.
    const double lo = 10, hi = s.FullScale - 10;
    if (!(units >= lo - 5 && units <= hi + 5)) return outside("the level", long(lo), long(hi));
    if (!enabled("TMODEBUTTON")) return Locked;
    applyTriggerLevel(std::clamp(std::round(units / 10) * 10, lo, hi));
    return changed("TRLARGEN");
}

std::string Instrument::setRepeat(bool repeat) {
    if (!enabled("TRESETBUTTON")) return Locked;
    applyRepeat(repeat);
    return changed("TRESETBUTTON");
}

std::string Instrument::setDisplay(Toggle t, bool on) {
    static const char* const buttons[] = {"Command13", "Command15", "Command16", "Command17",
                                          "Command18", "Command19", "Command20", "Command21"};
    const char* button = buttons[int(t)];
    if (!enabled(button)) return Locked;
    applyDisplay(t, on);
    return changed(button);
}

std::string Instrument::setYMagnification(Trace t, int step) {
    if (step < 0 || step > 2) return outside("the magnification step", 0, 2);
    if (s.mode() == modes::Generator || s.mode() == modes::FFT)
        return "no magnification in this mode";
    const char* button = t == Trace::A   ? "YMagAbutton"
                         : t == Trace::B ? "YMagBbutton"
                                         : "Command12";
    if (!enabled(button)) return Locked;
    applyYMagnification(t, step);
    if (t == Trace::Sum) applyPositionSum();
    return changed(button);
}

std::string Instrument::setTracePosition(Trace t, int pos) {
    const display::PositionStep p = display::positionStep(t == Trace::A   ? s.yMagA()
                                                          : t == Trace::B ? s.yMagB()
                                                                          : s.sumYMag());
    const int limit = t == Trace::Sum ? p.limitSum : p.limit;
    if (pos < -limit || pos > limit) return outside("the position", -limit, limit);
    const char* button = t == Trace::A ? "scrollupA" : t == Trace::B ? "scrollupB" : "Scrollup";
    if (!enabled(button)) return Locked;
    applyTracePosition(t, pos);
    if (t == Trace::Sum) applyPositionSum();
    return changed(button);
}

std::string Instrument::setDelayMode(bool delay) {
    if (!enabled("DelayWin")) return Locked;
    applyDelayMode(delay);
    return changed("DelayWin");
}

std::string Instrument::setDisplayWindow(long width, long first) {
    if (width < 256 || width > InstrumentState::LastIndex)
        return outside("the display window", 256, InstrumentState::LastIndex);
    if (first < 0 || first > InstrumentState::LastIndex)
        return outside("the first sample", 0, InstrumentState::LastIndex);
    if (!enabled("HScroll2")) return Locked;
    s.XMagnify = width;
    s.ScrollPos = first;
    return changed("HScroll2");
}

std::string Instrument::setGenMode(int mode) {
    if (mode < 0 || mode > 2) return outside("the generator mode", 0, 2);
    if (!s.genFitted()) return "this instrument has no generator";
    if (!enabled("GENMODEBUTTON")) return Locked;
    // MODE steps NORMAL, SWEEP, CUSTOM in turn: CUSTOM takes the wave over.
    for (int i = 0; i < 3 && s.genMode() != mode; ++i) {
        genModeStep();
        applyGeneratorPanel();
    }
    return changed("GENMODEBUTTON");
}

std::string Instrument::setGenStyle(int style) {
    if (style < 0 || style > 3) return outside("the wave style", 0, 3);
    if (s.genMode() == 2) return "a custom wave has no style";
    if (!enabled("GENSTYLEBUTTON")) return Locked;
    applyGenStyle(style);
    return changed("GENSTYLEBUTTON");
}

std::string Instrument::setGenFrequency(long hz) {
    if (hz < gen::MinFreq || hz > gen::MaxFreq)
        return outside("the frequency", gen::MinFreq, gen::MaxFreq);
    if (s.genMode() != 0) return "the frequency is set in NORMAL mode";
    if (!enabled("GENLFREQBUTTONN")) return Locked;
    applyGenFrequency(hz);
    return changed("GENLFREQBUTTONN");
}

std::string Instrument::setGenAmplitude(int ampDiv) {
    if (ampDiv < 1 || ampDiv > 2) return outside("the amplitude divider", 1, 2);
    if (s.genMode() == 2) return "a custom wave's amplitude is its ratio";
    if (!enabled("GENAMPBUTTON")) return Locked;
    applyGenAmplitude(ampDiv);
    return changed("GENAMPBUTTON");
}

std::string Instrument::setSweepStart(int index) {
    if (index < 0 || index > 9) return outside("the sweep start", 0, 9);
    if (s.genMode() != 1) return "the sweep start is set in SWEEP mode";
    if (!enabled("GENLFREQBUTTONN")) return Locked;
    applySweepStart(index);
    return changed("GENLFREQBUTTONN");
}

std::string Instrument::setSweepRatio(int ratio) {
    const int max = s.sweepHalf() ? 2 : 3;
    if (ratio < 0 || ratio > max) return outside("the sweep ratio", 0, max);
    if (s.genMode() != 1) return "the sweep ratio is set in SWEEP mode";
    if (!enabled("SWRATIOBUTTON")) return Locked;
    applySweepRatio(ratio);
    return changed("SWRATIOBUTTON");
}

std::string Instrument::setDutyCycle(int percent) {
    if (percent < 2 || percent > 98 || percent % 2 != 0)
        return "the duty cycle must be an even number within 2 and 98";
    if (s.genMode() != 0 || s.genStyle() != 3) return "the duty cycle is a NORMAL square's";
    if (!enabled("DCUP")) return Locked;
    applyDutyCycle(percent);
    return changed("DCUP");
}

std::string Instrument::setCustomRate(int index) {
    if (index < 0 || index > 4) return outside("the custom step rate", 0, 4);
    if (s.genMode() != 2) return "the step rate is set in CUSTOM mode";
    if (!enabled("GENLFREQBUTTONN")) return Locked;
    applyCustomRate(index);
    return changed("GENLFREQBUTTONN");
}

std::string Instrument::setCustomAmplitude(int ratio) {
    if (ratio < 0 || ratio > 3) return outside("the custom amplitude", 0, 3);
    if (s.genMode() != 2) return "the amplitude ratio is a custom wave's";
    if (!enabled("SWRATIOBUTTON")) return Locked;
    applyCustomAmplitude(ratio);
    return changed("SWRATIOBUTTON");
}

std::string Instrument::setCustomWave(const std::vector<int16_t>& wave) {
    if (wave.empty() || wave.size() > size_t(InstrumentState::BufferSize))
        return "a custom wave holds 1 to 32768 points";
    if (!s.genFitted()) return "this instrument has no generator";
    if (!enabled("GENUPDATEBUTTON")) return Locked;
    files::CustomWaveData d;
    d.points.reserve(wave.size());
    for (int16_t v : wave)
        d.points.push_back(int16_t(std::clamp<int>(v, 0, 2550)));
    files::applyCustom(s, d);
    return changed("GENUPDATEBUTTON");
}

std::string Instrument::loadProfile(std::string_view text) {
    if (s.running()) return "a run is in progress";
    files::ProfileData d;
    if (files::decodeProfile(text, d) != files::Outcome::Loaded) return "not a valid WQK profile";
    files::applyProfile(s, d);
    if (!view_->profileLoaded()) settle();
    return {};
}

InstrumentState Instrument::snapshot() const {
    return s;
}

std::string Instrument::restore(const InstrumentState& snap) {
    if (s.running()) return "a run is in progress";
    InstrumentState next = snap;
    // What the port and the instrument are, and the state of the program's loops, are
    // not settings: they stay as they are now.
    next.DataPort = s.DataPort;
    next.StatusPort = s.StatusPort;
    next.ControlPort = s.ControlPort;
    next.EcrPort = s.EcrPort;
    next.LptNumber = s.LptNumber;
    next.StatusDiff = s.StatusDiff;
    next.ChanBFitted = s.ChanBFitted;
    next.GenFitted = s.GenFitted;
    next.ModelCode = s.ModelCode;
    next.RateFactor = s.RateFactor;
    next.PowerFault = s.PowerFault;
    next.RunState = s.RunState;
    next.WaitingTrigger = s.WaitingTrigger;
    next.ButtonHeld = s.ButtonHeld;
    next.ChanConfig = s.ChanConfig;
    next.ChanConfigPrev = s.ChanConfigPrev;
    s = std::move(next);
    return changed("");
}

// ---- The record's side of each button ------------------------------------------------

void Instrument::applyChannelOn(Channel c, bool on) {
    if (c == Channel::A)
        s.ChanAOn = on ? 1 : 0;
    else
        s.ChanBOn = int16_t(on ? 1 : 0);
}

void Instrument::applyRange(Channel c, int sel) {
    (c == Channel::A ? s.RangeSelA : s.RangeSelB) = sel;
}

void Instrument::applyCoupling(Channel c, bool dc) {
    (c == Channel::A ? s.CouplingA : s.CouplingB) = dc ? 1 : -1;
}

void Instrument::applyProbe(Channel c, bool x10) {
    (c == Channel::A ? s.ProbeA : s.ProbeB) = x10 ? 1 : 0;
}

void Instrument::applySampleRate(int index) {
    s.SampleRateIndex = index;
}

void Instrument::applySampleSize(int index) {
    s.SampleSizeIndex = index;
}

void Instrument::applyTriggerMode(int mode) {
    s.TrigMode = mode;
    // INST has no level to set.
    if (mode == 0) s.LevelSetMode = 0;
}

void Instrument::applyTriggerSource(Channel c) {
    s.TrigSource = c == Channel::B ? 1 : -1;
}

void Instrument::applyTriggerSlope(bool rising) {
    s.TrigSlope = rising ? 1 : -1;
}

void Instrument::applyPretrigger(int index) {
    s.PreTrig = index;
}

void Instrument::applyLevelSetting(bool on) {
    // In INST mode the level setting stays off.
    s.LevelSetMode = s.trigMode() == 0 || !on ? 0 : 1;
}

void Instrument::applyTriggerLevel(double units) {
    s.TrigLevel = units;
}

void Instrument::applyRepeat(bool repeat) {
    s.RunRepeat = repeat ? 1 : 0;
}

void Instrument::applyDisplay(Toggle t, bool on) {
    const int v = on ? 1 : -1;
    switch (t) {
    case Toggle::Grid:
        s.GridOn = v;
        break;
    case Toggle::Join:
        s.JoinOn = v;
        break;
    case Toggle::Units:
        s.UnitsOn = int16_t(v);
        break;
    case Toggle::ShowA:
        s.ShowA = v;
        break;
    case Toggle::ShowB:
        s.ShowB = v;
        break;
    case Toggle::ShowD:
        s.ShowD = v;
        break;
    case Toggle::Sum:
        s.ShowAplusB = v;
        if (on) s.ShowAminusB = -1;
        break;
    case Toggle::Difference:
        s.ShowAminusB = int16_t(v);
        if (on) s.ShowAplusB = -1;
        break;
    }
}

void Instrument::applyYMagnification(Trace t, int step) {
    if (t == Trace::A) {
        s.YMagA = step;
        if (step == 0) s.TracePosA = std::clamp(s.tracePosA(), -3, 3);
    } else if (t == Trace::B) {
        s.YMagB = step;
        if (step == 0) s.TracePosB = int16_t(std::clamp<int>(s.TracePosB, -3, 3));
    } else {
        s.SumYMag = step;
        if (step == 0) {
            s.TracePosSum = 0;
            s.VoltOffsetSum = 0;
            s.ShiftSum = 0;
        }
    }
}

void Instrument::applyTracePosition(Trace t, int pos) {
    if (t == Trace::A)
        s.TracePosA = pos;
    else if (t == Trace::B)
        s.TracePosB = int16_t(pos);
    else
        s.TracePosSum = int16_t(pos);
}

void Instrument::applyDelayMode(bool delay) {
    s.DelayMode = int16_t(delay ? 1 : 0);
}

void Instrument::applyGenStyle(int style) {
    s.GenStyle = style;
    s.SavedStyle = s.GenStyle;
    s.GenDirty = 1;
}

void Instrument::applyGenFrequency(long hz) {
    s.GenFreq = hz;
    s.GenDirty = 1;
}

void Instrument::applyGenAmplitude(int ampDiv) {
    s.AmpDiv = int16_t(ampDiv);
    s.GenDirty = 1;
}

void Instrument::applySweepStart(int index) {
    s.SweepStartIndex = index;
    s.GenDirty = 1;
}

void Instrument::applySweepRatio(int ratio) {
    s.SweepRatio = ratio;
    s.GenDirty = 1;
}

void Instrument::applyDutyCycle(int percent) {
    s.DutyCycle = percent;
    s.GenDirty = 1;
}

bool Instrument::applyCustomRate(int index) {
    s.CustomRateIndex = index;
    // The custom rate has no units: UNITS goes off, as the rate button turns it.
    if (s.UnitsOn != 1) return false;
    s.UnitsOn = -1;
    return true;
}

void Instrument::applyCustomAmplitude(int ratio) {
    s.AmpRatio = ratio;
}
