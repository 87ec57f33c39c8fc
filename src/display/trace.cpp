// The single redraw of the signal display: scroll ranges, grid, axis numbers, traces,
// buffer bar, cursor and trigger-level line, all rebuilt from the record on every call.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/scales.h"
#include "display/trace_render.h"

#include <QSignalBlocker>
#include <cmath>

using display::colourOf;
using display::isOn;
using display::printAt;
using plat::RGB;
using vb::NumberText;

namespace {

const long GridGrey = RGB(128, 128, 128);
const long NumberGrey = RGB(64, 64, 64);
const long AmplitudeGrey = RGB(32, 32, 32);
const long UnitGreen = RGB(0, 128, 0);
const long DisplayBack = RGB(224, 224, 224);

struct Axis {
    double timeDiv = 0;
    display::FreqAxis freq;
    std::string unit;
};

} // namespace

void WQK::HScroll1_Change() {
    const int mode = display::modeOf(s);
    const bool fft = mode == 3;
    const bool scopeView = mode == 0 || mode == 2;
    const bool combined = display::combinedOn(s);
    const double FS = s.FullScale;

    // 1. The combined trace's arrows only make sense while it is shown.
    if (!combined) {
        Scrollup->hide();
        scrolldown->hide();
    }

    // 2. Scroll ranges. Set without their change events: this is the redraw.
    const double lmax = display::lastIndexOf(s);
    {
        QSignalBlocker b1(HScroll1), b2(HScroll2);
        HScroll1->setRange(0, int(lmax));
        HScroll2->setRange(std::min(256, int(lmax)), int(lmax));
    }

    // 3. The spectra are computed once per capture, by the redraw.
    if (fft) {
        s.FFTNumSamples = int32_t(2048) << std::clamp(int(s.SampleSizeIndex), 0, 4);
        FFTconvert();
    }

    // 4., 5. Per-channel position and magnification boxes.
    const bool perChannel = !combined && scopeView;
    for (QWidget* w : {static_cast<QWidget*>(scrollupA), static_cast<QWidget*>(scrolldownA),
                       static_cast<QWidget*>(scrollupB), static_cast<QWidget*>(scrolldownB),
                       static_cast<QWidget*>(YMagAbutton), static_cast<QWidget*>(YMagBbutton)})
        w->setVisible(perChannel);
    scrollcalca();
    scrollcalcB();

    // 8. and 14. The window clamp comes before any drawing, so grid, numbers and traces
    // are all drawn for the window that will be shown.
    const display::Window win = display::clampWindow(double(s.XMagnify), HScroll1->value(), lmax);
    if (win.xMagnify != double(s.XMagnify)) s.XMagnify = long(win.xMagnify);
    s.ScrollPos = long(win.scrollPos);
    {
        QSignalBlocker b1(HScroll1), b2(HScroll2);
        if (win.widened) HScroll2->setValue(int(win.xMagnify));
        HScroll1->setValue(int(win.scrollPos));
    }
    const double W = win.xMagnify, sp = win.scrollPos;

    // 6. Clear, scale, cursor steps. (The picture always keeps what is drawn in it, so
    // the AutoRedraw request of the print path needs nothing here.)
    if (Picture1->BackColor() != DisplayBack)
        Picture1->setBackColor(DisplayBack);
    else
        Picture1->Cls();
    Picture1->setScale(0, 10, W, FS);
    s.CursorStepLarge = display::cursorStepLarge(W);
    s.CursorStepSmall = int32_t(display::cursorStepSmall(W));
    if (s.CursorX.isEmpty()) s.CursorX = W / 16;
    s.CursorX = std::clamp(double(s.CursorX), 0.0, W);
    Picture1->ForeColor = GridGrey;
    Picture1->DrawMode = plat::DrawCopy;
    Picture1->DrawWidth = 1;
    HScroll1->setPageStep(std::max(1, int(vb::Nearest(W / 4))));

    // 7. Unit of the horizontal axis.
    const int R = display::rateIndex(s);
    Axis axis;
    if (!fft) {
        axis.timeDiv = display::timeDiv(W, s.RateFactor, R);
        axis.unit = display::timeUnit(R);
    } else {
        axis.freq = display::freqAxis(s.RateFactor, s.FFTNumSamples, R);
        axis.unit = axis.freq.unit;
    }

    // 9. - 13. Grid and numbers.
    const bool units = s.UnitsOn == 1;
    if (!isOn(s.GridOn)) {
        Command16->setEnabled(false);
    } else {
        Picture1->DrawStyle = plat::StyleDot;
        Command16->setEnabled(true);
        Picture1->FontSize = 7;
        const double step = W / 16.384;
        const double lastNumbered = W - vb::Int(W / 16.384 + 0.5);
        int k = 0;
        for (double gx = 0; gx <= W; gx += step) {
            if (gx != 0) Picture1->Line(gx, 0, gx, FS);
            if (units && gx != 0 && gx < lastNumbered) {
                ++k;
                Picture1->ForeColor = NumberGrey;
                double v = fft ? display::fftAxisNumber(gx, sp, axis.freq) : k * axis.timeDiv;
                printAt(Picture1, gx, 0.92 * FS, NumberText(v));
                Picture1->ForeColor = GridGrey;
            }
        }
        for (double gy = 0; gy <= FS; gy += FS / 8)
            if (gy > 0) Picture1->Line(0, gy, W, gy);
        Picture1->DrawStyle = plat::StyleSolid;

        if (units) {
            const int rangeA = int(double(s.DataRangeA)), rangeB = s.DataRangeB;
            const bool channels = scopeView && !combined;
            for (k = 0; k <= 6; ++k) {
                const double y = 0.82 * FS - k * FS / 8;
                if (channels && isOn(s.ShowA)) {
                    Picture1->ForeColor = colourOf(s.ColourA);
                    printAt(Picture1, 0, y,
                            NumberText(display::voltLabel(k, rangeA, double(s.YMagFactorA),
                                                          double(s.VoltOffsetA))));
                }
                if (channels && isOn(s.ShowB)) {
                    Picture1->ForeColor = colourOf(s.ColourB);
                    printAt(Picture1, (double(s.ShowA) + 1) * 1020 * W / 32768, y,
                            NumberText(display::voltLabel(k, rangeB, s.YMagFactorB,
                                                          double(s.VoltOffsetB))));
                }
                if (fft && k <= 4) {
                    Picture1->ForeColor = AmplitudeGrey;
                    double ya = 0.82 * FS - (2 * k - 1) * FS / 8;
                    if (k == 0) ya -= 60;
                    if (k == 4) ya += 150;
                    printAt(Picture1, k == 0 ? 2 : 0, ya, NumberText(k * 25));
                }
                if (combined && scopeView) {
                    Picture1->ForeColor = colourOf(s.ColourSum);
                    printAt(
                        Picture1, 0, y,
                        NumberText(display::voltLabel(k, display::combinedRange(rangeA, rangeB),
                                                      s.SumYMagFactor, double(s.VoltOffsetSum))));
                }
                if (isOn(s.ShowD)) {
                    Picture1->ForeColor = colourOf(s.ColourD);
                    printAt(Picture1, 31400 * W / 32768, y, NumberText(display::genLabel(k)));
                }
            }
            // 12. Unit text.
            Picture1->ForeColor = UnitGreen;
            printAt(Picture1, W / 32, 0.92 * FS, axis.unit);
            // 13. The zero of trace D.
            if (isOn(s.ShowD)) {
                Picture1->ForeColor = colourOf(s.ColourD);
                printAt(Picture1, 31600 * W / 32768, 2400, NumberText(0));
            }
        }
    }

    // 14. The buffer bar: marks every 50 samples, wide enough to merge into one bar.
    Picture2->Cls();
    {
        std::vector<double> marks;
        for (double x = sp; x <= sp + W; x += 50)
            marks.push_back(x);
        const double spacing = 50.0 * Picture2->width() / std::max(1.0, Picture2->ScaleWidth());
        display::drawMarks(*Picture2, marks, std::max(2, int(std::ceil(spacing)) + 1));
    }

    // 15. Baselines; in FFT mode the spectra are drawn unshifted at factor 1.
    Picture1->DrawMode = plat::DrawCopy;
    s.BaseSum = int16_t(FS / 2);
    if (!fft) {
        s.BaseA = int16_t(1280 + s.ShiftA);
        s.BaseB = int16_t(1280 + s.ShiftB);
    } else {
        s.BaseA = s.BaseB = 1280;
        s.SavedSumFactor = s.SumYMagFactor;
        s.SavedFactorA = s.YMagFactorA;
        s.SavedFactorB = s.YMagFactorB;
        s.SumYMagFactor = 1;
        s.YMagFactorA = 1;
        s.YMagFactorB = 1;
    }

    // 16., 17. Traces: one polyline each, reduced to what each pixel column shows.
    const bool join = isOn(s.JoinOn);
    const int first = int(sp);
    const int lastD = std::min(32767, int(std::floor(sp + W)));
    const int lastScope = std::min(lastD, int(lmax) - 1);
    const double x0 = first - sp;
    display::TraceDrawer drawer(*Picture1);
    if (isOn(s.ShowD)) {
        Picture1->ForeColor = colourOf(s.ColourD);
        const int16_t* d = s.GenWave.data() + first;
        drawer.draw(x0, lastD - first + 1, join, [d, FS](int i) { return FS - d[i]; });
    }
    if (mode != 1 && lastScope >= first) {
        const int n = lastScope - first + 1;
        const int16_t* a = s.ChanABuffer.data() + first;
        const int16_t* b = s.ChanBBuffer.data() + first;
        if (combined) {
            s.BaseSum =
                int16_t(1280 + display::baseMultiplier(int(double(s.SumYMag))) * s.ShiftSum);
            Picture1->ForeColor = colourOf(s.ColourSum);
            const display::Combiner sum(isOn(s.ShowAplusB) ? 1 : -1, int(double(s.DataRangeA)),
                                        s.DataRangeB);
            const double base = s.BaseSum, m = s.SumYMagFactor;
            drawer.draw(x0, n, join, [&](int i) { return base + m * sum(a[i], b[i]); });
        } else {
            if (isOn(s.ShowB)) {
                Picture1->ForeColor = colourOf(s.ColourB);
                const double base = s.BaseB, m = s.YMagFactorB;
                drawer.draw(x0, n, join, [=](int i) { return base + m * (base - b[i]); });
            }
            if (isOn(s.ShowA)) {
                Picture1->ForeColor = colourOf(s.ColourA);
                const double base = s.BaseA, m = double(s.YMagFactorA);
                drawer.draw(x0, n, join, [=](int i) { return base + m * (base - a[i]); });
            }
        }
    }

    // 18.
    if (fft) {
        s.SumYMagFactor = int16_t(double(s.SavedSumFactor));
        s.YMagFactorA = s.SavedFactorA;
        s.YMagFactorB = s.SavedFactorB;
    }

    // 19. The Cls has removed the cursor and level lines.
    s.CursorDrawn = 0;
    s.LevelDrawn = 0;
    curtest();
    cursdraw();

    // 20. Baselines for the level line: where code 128 lies with the magnification.
    s.BaseA = int16_t(1280 + display::baseMultiplier(int(double(s.YMagA))) * s.ShiftA);
    s.BaseB = int16_t(1280 + display::baseMultiplier(int(double(s.YMagB))) * s.ShiftB);
    s.TrigCursorMode = 0;
    trcursdraw();
    s.TrigCursorMode = 1;
}
