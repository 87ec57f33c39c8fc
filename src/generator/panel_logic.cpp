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

long lastIndex(const InstrumentState& s) {
    return std::clamp(long(vb::CLng(double(s.GenLast))), 0L, 32767L);
}

long cursorBufferPos(const InstrumentState& s) {
    return std::clamp(long(vb::CLng(double(s.ScrollPos) + double(s.CursorX))), 0L, 32767L);
}

void deriveCustomWave(InstrumentState& s, long last) {
    double mx = 0, mn = 2550;
    for (long i = 0; i <= last; ++i) {
        mx = std::max(mx, double(s.CustomWave[i]));
        mn = std::min(mn, double(s.CustomWave[i]));
    }
    s.CustomMax = mx;
    s.CustomMin = mn;
    s.CustomMid = saturate((mn + mx) / 2);
    const int ratio = int(s.AmpRatio.whole());
    if (ratio == 0) {
        s.AmpFactor = 1;
        std::copy(s.CustomWave.begin(), s.CustomWave.begin() + last + 1, s.GenWave.begin());
    } else if (ratio == 1 || ratio == 2) {
        s.AmpFactor = ratio == 1 ? 2.0f : 5.0f;
        for (long i = 0; i <= last; ++i)
            s.GenWave[i] =
                saturate(float(s.CustomWave[i] - s.CustomMid) * s.AmpFactor + s.CustomMid);
    } else if (ratio == 3 && mx - mn > 0) {
        // Worked out in double and held in single precision.
        s.AmpFactor = float(2550.0 / (mx - mn));
        for (long i = 0; i <= last; ++i)
            s.GenWave[i] = saturate(float(s.CustomWave[i] - mn) * s.AmpFactor);
    }
}

PanelTexts applyPanelState(InstrumentState& s) {
    PanelTexts t;
    const int mode = int(s.GenMode.whole());
    static const char* names[3] = {"NORMAL ", "SWEEP   ", "CUSTOM "};
    static const char* labels[3] = {"Frequency (Hz)", "Start Freq (Hz) ", "   Step Freq       "};
    const int m = std::clamp(mode, 0, 2);
    t.mode = names[m];
    t.label = labels[m];
    t.amplitude = m == 2 ? Blank13 : (s.AmpDiv == 1 ? "2V p-p" : "1V p-p");
    t.secondary = Blank13;

    if (m == 0) {
        t.freq = vb::NumberText(double(s.GenFreq));
        if (double(s.GenStyle) == Square) t.secondary = plainNumber(double(s.DutyCycle)) + " %  ";
    } else if (m == 1) {
        s.SweepHalf = 0;
        const int index = int(s.SweepStartIndex.whole());
        SweepStart st{};
        if (sweepStart(index, st)) {
            s.SweepStartFreq = st.nominal * double(s.RateFactor);
            s.SweepHalf = st.half;
            s.SweepRateIndex = st.rateIndex;
        }
        t.freq = (index == 0 ? " " : "") + vb::NumberText(double(s.SweepStartFreq));
        const int ratio = int(s.SweepRatio.whole());
        if (ratio == 3 && double(s.SweepHalf) != 0) {
            // X20 is not offered from a 200-step base.
            s.SweepFactor = 10;
            s.SweepRatio = 2;
        } else {
            static const int factors[4] = {2, 5, 10, 20};
            if (ratio >= 0 && ratio <= 3) s.SweepFactor = factors[ratio];
        }
        t.secondary = plainNumber(double(s.SweepFactor)) + "      ";
    } else {
        static const char* ratios[4] = {"x 1   ", "x 2   ", "x 5   ", "MAX   "};
        const int ratio = int(s.AmpRatio.whole());
        if (ratio >= 0 && ratio <= 3) t.secondary = ratios[ratio];
        deriveCustomWave(s, lastIndex(s));
        t.freq = customRateText(int(s.CustomRateIndex.whole()), s.RateFactor);
    }
    return t;
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
