#include "generator/panel_logic.h"

#include "generator/synthesis.h"
#include "platform/vb.h"

#include <algorithm>

namespace gen {

namespace {
const std::string Blank13(13, ' ');

int16_t saturate(double v) {
    return int16_t(std::clamp(vb::Nearest(v), -32768.0, 32767.0));
}
} // namespace

bool sweepStart(int index, SweepStart& out) {
    static const SweepStart table[10] = {{5, 0, 0},     {10, 1, 0},    {50, 0, 1},   {100, 1, 1},
                                         {500, 0, 2},   {1000, 1, 2},  {5000, 0, 3}, {10000, 1, 3},
                                         {50000, 0, 4}, {100000, 1, 4}};
    if (index < 0 || index > 9) return false;
    out = table[index];
    return true;
}

std::string plainNumber(double v) {
    std::string t = vb::NumberText(v);
    if (!t.empty() && t[0] == ' ') t.erase(0, 1);
    return t;
}

std::string customRateText(int index, float rateFactor) {
    const std::string t = vb::NumberText(2 * double(rateFactor));
    switch (index) {
    case 0:
        return " " + t + " " + " KHz";
    case 1:
        return t + "0 KHz";
    case 2:
        return t + "00KHz";
    case 3:
        return " " + t + " " + " MHz";
    case 4:
        return t + "0 MHz";
    default:
        return "";
    }
}

long lastIndex(float genLast) {
    return std::clamp(long(vb::CLng(genLast)), 0L, long(InstrumentState::LastIndex));
}

long cursorBufferPos(int scrollPos, double cursorX) {
    return std::clamp(long(vb::CLng(scrollPos + cursorX)), 0L, long(InstrumentState::LastIndex));
}

CustomLevels deriveCustomWave(const std::vector<int16_t>& custom, std::vector<int16_t>& wave,
                              int ratio, long last, CustomLevels now) {
    double mx = 0, mn = 2550;
    for (long i = 0; i <= last; ++i) {
        mx = std::max(mx, double(custom[i]));
        mn = std::min(mn, double(custom[i]));
    }
    CustomLevels c = now;
    c.max = mx;
    c.min = mn;
    c.mid = saturate((mn + mx) / 2);
    if (ratio == 0) {
        c.factor = 1;
        std::copy(custom.begin(), custom.begin() + last + 1, wave.begin());
    } else if (ratio == 1 || ratio == 2) {
        c.factor = ratio == 1 ? 2.0f : 5.0f;
        for (long i = 0; i <= last; ++i)
            wave[i] = saturate(float(custom[i] - c.mid) * c.factor + c.mid);
    } else if (ratio == 3 && mx - mn > 0) {
        // Worked out in double and held in single precision.
        c.factor = float(2550.0 / (mx - mn));
        for (long i = 0; i <= last; ++i)
            wave[i] = saturate(float(custom[i] - mn) * c.factor);
    }
    return c;
}

SweepFields sweepFields(SweepFields now, int startIndex, float rateFactor) {
    SweepFields f = now;
    f.half = 0;
    SweepStart st{};
    if (sweepStart(startIndex, st)) {
        f.startFreq = st.nominal * double(rateFactor);
        f.half = st.half;
        f.rateIndex = st.rateIndex;
    }
    if (f.ratio == 3 && f.half != 0) {
        // X20 is not offered from a 200-step base.
        f.factor = 10;
        f.ratio = 2;
    } else {
        static const int factors[4] = {2, 5, 10, 20};
        if (f.ratio >= 0 && f.ratio <= 3) f.factor = factors[f.ratio];
    }
    return f;
}

PanelTexts panelTexts(const PanelInput& in) {
    PanelTexts t;
    static const char* names[3] = {"NORMAL ", "SWEEP   ", "CUSTOM "};
    static const char* labels[3] = {"Frequency (Hz)", "Start Freq (Hz) ", "   Step Freq       "};
    const int m = std::clamp(in.genMode, 0, 2);
    t.mode = names[m];
    t.label = labels[m];
    t.amplitude = m == 2 ? Blank13 : (in.ampDiv == 1 ? "2V p-p" : "1V p-p");
    t.secondary = Blank13;
    if (m == 0) {
        t.freq = vb::NumberText(double(in.genFreq));
        if (in.genStyle == Square) t.secondary = plainNumber(in.dutyCycle) + " %  ";
    } else if (m == 1) {
        t.freq = (in.sweepStartIndex == 0 ? " " : "") + vb::NumberText(in.sweepStartFreq);
        t.secondary = plainNumber(in.sweepFactor) + "      ";
    } else {
        static const char* ratios[4] = {"x 1   ", "x 2   ", "x 5   ", "MAX   "};
        if (in.ampRatio >= 0 && in.ampRatio <= 3) t.secondary = ratios[in.ampRatio];
        t.freq = customRateText(in.customRateIndex, in.rateFactor);
    }
    return t;
}

PanelTexts applyPanelState(InstrumentState& s) {
    if (s.genMode() == 1) {
        const SweepFields now{s.sweepStartFreq(), s.sweepHalf() ? 1 : 0, s.sweepRateIndex(),
                              s.sweepFactor(), s.sweepRatio()};
        const SweepFields f = sweepFields(now, s.sweepStartIndex(), s.RateFactor);
        SweepStart known{};
        if (sweepStart(s.sweepStartIndex(), known)) {
            s.SweepStartFreq = f.startFreq;
            s.SweepRateIndex = f.rateIndex;
        }
        s.SweepHalf = f.half;
        s.SweepFactor = f.factor;
        s.SweepRatio = f.ratio;
    } else if (s.genMode() == 2) {
        const CustomLevels now{s.customMax(), s.customMin(), s.CustomMid, s.AmpFactor};
        const CustomLevels c =
            deriveCustomWave(s.CustomWave, s.GenWave, s.ampRatio(), lastIndex(s.GenLast), now);
        s.CustomMax = c.max;
        s.CustomMin = c.min;
        s.CustomMid = c.mid;
        s.AmpFactor = c.factor;
    }
    PanelInput in;
    in.genMode = s.genMode();
    in.genStyle = s.genStyle();
    in.ampDiv = s.AmpDiv;
    in.genFreq = s.genFreq();
    in.dutyCycle = s.dutyCycle();
    in.sweepStartIndex = s.sweepStartIndex();
    in.sweepStartFreq = s.sweepStartFreq();
    in.sweepFactor = s.sweepFactor();
    in.ampRatio = s.ampRatio();
    in.customRateIndex = s.customRateIndex();
    in.rateFactor = s.RateFactor;
    return panelTexts(in);
}

long cropLeft(std::vector<int16_t>& wave, std::vector<int16_t>& custom, long genLast, long pos) {
    long p = pos;
    if (genLast - p < 9) p = genLast - 9;
    if (p <= 0) return genLast; // nothing left of the cursor, or a wave of ten points
    for (long i = p; i <= genLast; ++i) {
        wave[i - p] = wave[i];
        custom[i - p] = custom[i];
    }
    return genLast - p;
}

long cropRight(long genLast, long pos) {
    long p = std::max(pos, 9L);
    // A cursor beyond the end would stretch the wave with stale points: keep it as is.
    return std::min(p, std::max(genLast, 9L));
}

long stepFreq(long f, long delta) {
    return std::clamp(f + delta, MinFreq, MaxFreq);
}

long largeRepeatStep(long f) {
    return f > 200000 ? 5000 : 2500;
}

} // namespace gen
