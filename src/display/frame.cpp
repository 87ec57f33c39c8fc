#include "display/frame.h"

#include "display/display_util.h"

#include "app/instrument_state.h"
#include "platform/colours.h"
#include "platform/vb.h"

#include <algorithm>
#include <cmath>

namespace display {

namespace {

constexpr double MidScale = InstrumentState::MidScale;
constexpr int LastIndex = InstrumentState::LastIndex;
// The numbers' places across the display are given in 32768ths of its width.
constexpr double Across = InstrumentState::BufferSize;

bool scopeView(modes::Mode m) {
    return m == modes::Scope || m == modes::ScopeGen;
}

void line(Frame& f, double x1, double y1, double x2, double y2) {
    GridOp op;
    op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
    f.grid.push_back(op);
}

void label(Frame& f, double x, double y, long colour, const std::string& text) {
    GridOp op;
    op.kind = GridOp::Kind::Label;
    op.x1 = x, op.y1 = y, op.colour = colour, op.text = text;
    f.grid.push_back(op);
}

// The vertical lines, each followed by its time or frequency number.
void verticalLines(Frame& f, const FrameInput& in, double W, double sp) {
    const bool fft = in.mode == modes::FFT;
    const double FS = in.fullScale;
    const double timeDivision = fft ? 0 : timeDiv(W, in.rateFactor, in.rateIndex);
    const FreqAxis freq =
        fft ? freqAxis(in.rateFactor, in.fftNumSamples, in.rateIndex) : FreqAxis{};
    f.unit = fft ? freq.unit : timeUnit(in.rateIndex);
    const double step = W / 16.384;
    const double lastNumbered = W - vb::Int(W / 16.384 + 0.5);
    int k = 0;
    for (double gx = 0; gx <= W; gx += step) {
        if (gx != 0) line(f, gx, 0, gx, FS);
        if (in.units && gx != 0 && gx < lastNumbered) {
            ++k;
            const double v = fft ? fftAxisNumber(gx, sp, freq) : k * timeDivision;
            label(f, gx, 0.92 * FS, colours::DarkGrey, vb::NumberText(v));
        }
    }
}

// The volt numbers of the traces on show, the spectrum's per cent and D's volts.
void voltNumbers(Frame& f, const FrameInput& in, double W) {
    const double FS = in.fullScale;
    const bool fft = in.mode == modes::FFT;
    const bool combined = in.plus || in.minus;
    const bool channels = scopeView(in.mode) && !combined;
    for (int k = 0; k <= 6; ++k) {
        const double y = 0.82 * FS - k * FS / 8;
        if (channels && in.showA)
            label(f, 0, y, in.colourA,
                  vb::NumberText(voltLabel(k, in.dataRangeA, in.factorA, in.offsetA)));
        if (channels && in.showB)
            label(f, (in.showA ? 2 : 0) * 1020 * W / Across, y, in.colourB,
                  vb::NumberText(voltLabel(k, in.dataRangeB, in.factorB, in.offsetB)));
        if (fft && k <= 4) {
            double ya = 0.82 * FS - (2 * k - 1) * FS / 8;
            if (k == 0) ya -= 60;
            if (k == 4) ya += 150;
            label(f, k == 0 ? 2 : 0, ya, colours::Charcoal, vb::NumberText(k * 25));
        }
        if (combined && scopeView(in.mode)) {
            const int range = combinedRange(in.dataRangeA, in.dataRangeB);
            label(f, 0, y, in.colourSum,
                  vb::NumberText(voltLabel(k, range, in.factorSum, in.offsetSum)));
        }
        if (in.showD) label(f, 31400 * W / Across, y, in.colourD, vb::NumberText(genLabel(k)));
    }
    label(f, W / 32, 0.92 * FS, colours::DarkGreen, f.unit);
    if (in.showD) label(f, 31600 * W / Across, 2400, in.colourD, vb::NumberText(0));
}

void grid(Frame& f, const FrameInput& in, double W, double sp) {
    f.unitsButton = in.grid;
    if (!in.grid) return;
    verticalLines(f, in, W, sp);
    for (double gy = 0; gy <= in.fullScale; gy += in.fullScale / 8)
        if (gy > 0) line(f, 0, gy, W, gy);
    if (in.units) voltNumbers(f, in, W);
}

// Marks every 50 samples, wide enough to merge into one bar.
void bufferBar(Frame& f, const FrameInput& in, double W, double sp) {
    for (double x = sp; x <= sp + W; x += 50)
        f.barMarks.push_back(x);
    const double spacing = 50.0 * in.barPixels / std::max(1.0, in.barScaleWidth);
    f.barThickness = std::max(2, int(std::ceil(spacing)) + 1);
}

// D first, then the combined trace or B and A. In FFT mode the spectra are drawn
// unshifted at factor 1.
void traces(Frame& f, const FrameInput& in, double W, double sp) {
    const bool fft = in.mode == modes::FFT;
    const double FS = in.fullScale;
    f.first = int(sp);
    f.x0 = f.first - sp;
    const int lastD = std::min(LastIndex, int(std::floor(sp + W)));
    const int lastScope = std::min(lastD, int(in.lmax) - 1);
    f.baseSum = int(FS / 2);
    if (in.showD) {
        TraceSpec d;
        d.source = TraceSpec::Source::D;
        d.colour = in.colourD;
        d.base = FS;
        d.count = lastD - f.first + 1;
        f.traces.push_back(d);
    }
    if (in.mode == modes::Generator || lastScope < f.first) return;
    const int n = lastScope - f.first + 1;
    if (in.plus || in.minus) {
        f.baseSum = int(MidScale + baseMultiplier(in.sumYMag) * in.shiftSum);
        TraceSpec t;
        t.source = TraceSpec::Source::Sum;
        t.colour = in.colourSum;
        t.base = f.baseSum;
        t.factor = fft ? 1 : in.factorSum;
        t.sign = in.plus ? 1 : -1;
        t.rangeA = in.dataRangeA;
        t.rangeB = in.dataRangeB;
        t.count = n;
        f.traces.push_back(t);
        return;
    }
    const auto channel = [&](TraceSpec::Source src, long colour, int shift, double factor) {
        TraceSpec t;
        t.source = src;
        t.colour = colour;
        t.base = fft ? MidScale : int(MidScale + shift);
        t.factor = fft ? 1 : factor;
        t.count = n;
        f.traces.push_back(t);
    };
    if (in.showB) channel(TraceSpec::Source::B, in.colourB, in.shiftB, in.factorB);
    if (in.showA) channel(TraceSpec::Source::A, in.colourA, in.shiftA, in.factorA);
}

} // namespace

long gridColour() {
    return colours::MidGrey;
}

Frame makeFrame(const FrameInput& in) {
    Frame f;
    f.scrollMax = int(in.lmax);
    f.magnifyMin = std::min(256, int(in.lmax));
    // The window is clamped before anything is drawn, so grid, numbers and traces are
    // all drawn for the window that is shown.
    f.window = clampWindow(in.xMagnify, in.scroll, in.lmax);
    const double W = f.window.xMagnify, sp = f.window.scrollPos;
    f.cursorStepLarge = cursorStepLarge(W);
    f.cursorStepSmall = cursorStepSmall(W);
    f.cursorX = std::clamp(in.cursorSet ? in.cursorX : W / 16, 0.0, W);
    f.pageStep = std::max(1, int(vb::Nearest(W / 4)));
    f.join = in.join;
    grid(f, in, W, sp);
    bufferBar(f, in, W, sp);
    traces(f, in, W, sp);
    // The level line's baselines: where code 128 lies with the magnification.
    f.baseA = int(MidScale + baseMultiplier(in.yMagA) * in.shiftA);
    f.baseB = int(MidScale + baseMultiplier(in.yMagB) * in.shiftB);
    return f;
}

FrameInput frameInputOf(const InstrumentState& s, int scroll) {
    FrameInput in;
    in.mode = s.mode();
    in.fullScale = s.FullScale;
    in.scroll = scroll;
    in.xMagnify = s.xMagnify();
    in.lmax = lastIndexOf(s);
    in.cursorSet = !s.CursorX.isEmpty();
    in.cursorX = s.cursorX();
    in.rateIndex = rateIndex(s);
    in.rateFactor = s.RateFactor;
    in.fftNumSamples = s.FFTNumSamples;
    in.grid = s.gridOn();
    in.units = s.unitsOn();
    in.join = s.joinOn();
    in.showA = s.showA();
    in.showB = s.showB();
    in.showD = s.showD();
    in.plus = s.showAplusB();
    in.minus = s.showAminusB();
    in.dataRangeA = s.dataRangeA();
    in.dataRangeB = s.DataRangeB;
    in.factorA = s.yMagFactorA();
    in.factorB = s.YMagFactorB;
    in.factorSum = s.SumYMagFactor;
    in.offsetA = s.voltOffsetA();
    in.offsetB = s.voltOffsetB();
    in.offsetSum = s.voltOffsetSum();
    in.shiftA = s.ShiftA;
    in.shiftB = s.ShiftB;
    in.shiftSum = s.ShiftSum;
    in.yMagA = s.yMagA();
    in.yMagB = s.yMagB();
    in.sumYMag = s.sumYMag();
    in.colourA = s.colourA();
    in.colourB = s.colourB();
    in.colourD = s.colourD();
    in.colourSum = s.colourSum();
    return in;
}

} // namespace display
