#include "display/scales.h"

#include "app/instrument_state.h"
#include "platform/vb.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using vb::Int;
using vb::Nearest;

namespace display {

namespace {
double pow10(double e) {
    return std::pow(10.0, e);
}
int clampStep(int magStep) {
    return magStep == 1 || magStep == 2 ? magStep : 0;
}
} // namespace

int timeDivisor(int R) {
    switch (R) {
    case 4:
        return 100;
    case 3:
        return 10;
    case 2:
        return 1000;
    case 1:
        return 100;
    default:
        return 10;
    }
}

const char* timeUnit(int R) {
    return R >= 3 ? "uS" : "mS";
}

double timeDiv(double W, double rateFactor, int R) {
    return Int(W * 0.5 / (1.6384 * rateFactor) + 0.5) / timeDivisor(R);
}

FreqAxis freqAxis(double rateFactor, double fftNumSamples, int R) {
    FreqAxis f;
    int j;
    if (R >= 3) {
        j = 0, f.unit = "MHz", f.places = 100;
    } else if (R >= 1) {
        j = 3, f.unit = "KHz", f.places = 1000;
    } else {
        j = 6, f.unit = "Hz", f.places = 10;
    }
    double den = 0.05 * fftNumSamples * pow10(4 - R);
    f.step = den != 0 ? rateFactor * pow10(j) / den : 0;
    return f;
}

double fftAxisNumber(double gx, double scrollPos, const FreqAxis& f) {
    return Int((gx + scrollPos) * f.step * f.places + 0.5) / f.places;
}

double voltLabel(int k, double range, double factor, double offset) {
    return Int(100 * pow10(range) * ((3.0 * k - 9) / (10 * factor) + offset) + 0.001) / 100;
}

double genLabel(int k) {
    return Int((k / 4.0 + 0.25) * 100) / 100;
}

int combinedRange(int rangeA, int rangeB) {
    return rangeB >= rangeA ? rangeB : rangeA;
}

Combiner::Combiner(int s, int rangeA, int rangeB)
    : s_(s), order_(rangeA > rangeB   ? 1
                    : rangeA < rangeB ? -1
                                      : 0),
      q_(pow10(std::abs(rangeA - rangeB))) {}

double combinedValue(int a, int b, int s, int rangeA, int rangeB) {
    return Combiner(s, rangeA, rangeB)(a, b);
}

PositionStep positionStep(int magStep) {
    static const PositionStep table[3] = {
        {1, 159, 0.3, 3, 4}, {2, 106, 0.15, 4, 8}, {5, 53, 0.06, 16, 32}};
    return table[clampStep(magStep)];
}

int baseMultiplier(int magStep) {
    return positionStep(magStep).factor + 1;
}

double lastIndex(bool generatorData, int sampleSizeIndex, int bufBase, double genLast) {
    double l = generatorData ? Nearest(genLast)
                             : std::ldexp(1.0, std::clamp(sampleSizeIndex, 0, 4)) * bufBase - 1;
    // Every buffer index stays inside 0..32767 whatever the record holds.
    return std::clamp(l, 0.0, double(InstrumentState::LastIndex));
}

Window clampWindow(double W, double sp, double lmax) {
    Window w{std::max(1.0, W), sp, false};
    if (w.xMagnify + w.scrollPos > lmax) w.scrollPos = lmax - w.xMagnify;
    if (w.xMagnify + w.scrollPos > InstrumentState::LastIndex)
        w.scrollPos = InstrumentState::LastIndex - w.xMagnify;
    if (w.scrollPos < 0) {
        // A window of at least one sample keeps the scale finite on tiny data.
        w.xMagnify = std::max(1.0, lmax);
        w.scrollPos = 0;
        w.widened = true;
    }
    return w;
}

double cursorStepLarge(double W) {
    return W / 16;
}

long cursorStepSmall(double W) {
    long step = long(W < 512 ? Nearest(W / 256) : Nearest(W / 512));
    // Below 128 samples the step would be 0 and the small buttons would do nothing.
    return std::max(1L, step);
}

double sampleVolts(int v, double range) {
    return Int((v - InstrumentState::MidScale) * 0.945 + 0.5) * pow10(range) / 1000;
}

double spectrumPercent(int v) {
    return Int(v / 0.255) / 100;
}

double genVolts(int d) {
    return Int(d / 12.8) / 100;
}

Reading scaleReading(double t, bool fft) {
    Reading r{t, fft ? "MHz" : "mS"};
    if (r.value < 0.1) {
        r.value *= 1000;
        r.unit = fft ? "KHz" : "uS";
    } else if (r.value > 100) {
        r.value /= 1000;
        r.unit = "S";
    }
    if (fft && r.value < 0.1) {
        r.value *= 1000;
        r.unit = "Hz";
    }
    r.value = r.value >= 10 ? Int(r.value * 1000) / 1000 : Int(r.value * 10000) / 10000;
    return r;
}

Reading cursorTime(double cursorX, double scrollPos, int R, double rateFactor, bool fft,
                   double fftNumSamples) {
    double t;
    if (fft) {
        double den = 0.05 * fftNumSamples * pow10(4 - R);
        t = den != 0 ? (scrollPos + cursorX) * rateFactor / den : 0;
    } else {
        t = cursorX * 0.5 / (pow10(R) * rateFactor);
    }
    return scaleReading(t, fft);
}

Reading reciprocal(const Reading& r) {
    Reading f;
    if (r.value == 0) return r;
    f.value = Int(1 / r.value * 10000) / 10000;
    if (r.unit == "mS")
        f.unit = "KHz";
    else if (r.unit == "uS")
        f.unit = "MHz";
    else if (r.unit == "S")
        f.unit = "Hz";
    else if (r.unit == "MHz")
        f.unit = "uS";
    else if (r.unit == "KHz")
        f.unit = "mS";
    else if (r.unit == "Hz")
        f.unit = "S";
    else
        f.unit = r.unit;
    return f;
}

double levelVolts(double trigLevel, double range) {
    return Int((InstrumentState::MidScale - trigLevel) / 10.67 + 0.5) / 100 * pow10(range);
}

int combinedMode(const Shown& s) {
    return s.plus ? 3 : s.minus ? 4 : 0;
}

int nextCursorMode(int mode, const Shown& s) {
    if (s.generator) return mode == 0 ? 5 : 0;
    int c = combinedMode(s);
    switch (mode) {
    case 0:
        if (c) return c;
        if (s.a) return 1;
        [[fallthrough]];
    case 1:
        if (c) return c;
        if (s.b) return 2;
        [[fallthrough]];
    case 2:
    case 3:
    case 4:
        return s.d ? 5 : 0;
    default:
        return 0;
    }
}

int checkCursorMode(int mode, const Shown& s) {
    int c = combinedMode(s);
    switch (mode) {
    case 1:
        return c ? c : s.a ? 1 : 0;
    case 2:
        return c ? c : s.b ? 2 : 0;
    case 3:
    case 4:
        return c;
    case 5:
        return s.d ? 5 : 0;
    default:
        return 0;
    }
}

const char* cursorLetter(int mode) {
    switch (mode) {
    case 1:
        return "A";
    case 2:
        return "B";
    case 3:
        return "+";
    case 4:
        return "-";
    case 5:
        return "D";
    default:
        return "";
    }
}

} // namespace display
