// The measurement cursor with its readout, the four move buttons, the 1/t display, and
// the trigger-level line with its value box.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/scales.h"
#include "platform/clock.h"

#include <algorithm>

using display::printAt;
using plat::RGB;
using vb::NumberText;

namespace {

const long ReadoutOn = RGB(255, 255, 192);
const long ReadoutOff = RGB(192, 192, 192);
const long Red = RGB(255, 0, 0);

// The readout positions are laid out on a box 1100 units wide.
void readoutScale(PictureBox* box) {
    const double w = 1100;
    box->setScale(0, 0, w, w * box->designHeight() / std::max(1, box->designWidth()));
    box->FontSize = 8;
    box->FontBold = true;
}

void printSigned(PictureBox* box, double x, double v, const std::string& text) {
    const long old = box->ForeColor;
    box->ForeColor = v < 0 ? Red : 0;
    printAt(box, x, 0, text);
    box->ForeColor = old;
}

void stepCursor(WQK& w, double delta) {
    InstrumentState& s = w.s;
    s.CursorX = std::clamp(double(s.CursorX) + delta, 0.0, std::max(0.0, double(s.XMagnify)));
    w.cursdraw();
}

double step(const InstrumentState& s, bool large) {
    return large ? double(s.CursorStepLarge) : double(s.CursorStepSmall);
}

// One step at once; while the button stays down, after 0.3 s, 20 steps a second.
void holdCursorButton(WQK& w, bool large, int dir) {
    InstrumentState& s = w.s;
    if (double(s.CursorMode) == 0) return;
    stepCursor(w, dir * step(s, large));
    s.ButtonHeld = 1;
    for (int i = 0; i < 3; ++i) {
        Pause(100);
        DoEvents();
    }
    for (;;) {
        DoEvents();
        if (double(s.ButtonHeld) != 1) break;
        Pause(50);
        if (double(s.ButtonHeld) == 0) break;
        stepCursor(w, dir * step(s, large));
    }
}

void keyCursorButton(WQK& w, int dir) {
    if (double(w.s.CursorMode) == 0) return;
    stepCursor(w, dir * step(w.s, false));
}

} // namespace

void WQK::curtest() {
    s.CursorMode = display::checkCursorMode(int(double(s.CursorMode)), display::shownOf(s));
}

void WQK::Command23_Click() {
    s.CursorMode = display::nextCursorMode(int(double(s.CursorMode)), display::shownOf(s));
    display::setBack(CURSINFO, double(s.CursorMode) > 0 ? ReadoutOn : ReadoutOff);
    SDISPLAY();
}

void WQK::cursdraw() {
    const int mode = int(double(s.CursorMode));
    if (mode == 0 && double(s.CursorDrawn) == 0) return;
    const double FS = s.FullScale;

    // Not-XOR: drawing the same line again restores the picture under it.
    Picture1->DrawMode = plat::DrawNotXor;
    Picture1->DrawWidth = 2;
    if (double(s.CursorDrawn) == 1) {
        const double x = double(s.CursorXDrawn);
        Picture1->Line(x, 0, x, FS, display::colourOf(double(s.CursorColourDrawn)));
    } else {
        s.CursorDrawn = 1;
    }
    if (mode > 0) {
        const double x = double(s.CursorX);
        Picture1->Line(x, 0, x, FS, display::colourOf(double(s.CursorColour)));
    } else {
        s.CursorDrawn = 0;
    }
    s.CursorXDrawn = s.CursorX;
    s.CursorColourDrawn = s.CursorColour;
    Picture1->DrawMode = plat::DrawCopy;
    Picture1->DrawWidth = 1;

    // Readout.
    CURSINFO->Cls();
    readoutScale(CURSINFO);
    const bool fft = display::modeOf(s) == 3;
    const int i = std::clamp(int(vb::Nearest(double(s.ScrollPos) + double(s.CursorX))), 0, 32767);
    const int a = s.ChanABuffer[size_t(i)], b = s.ChanBBuffer[size_t(i)];
    const int d = s.GenWave[size_t(i)];
    const double voltA = display::sampleVolts(a, double(s.DataRangeA));
    const double voltB = display::sampleVolts(b, s.DataRangeB);
    double v = 0;
    switch (mode) {
    case 1:
        v = fft ? display::spectrumPercent(a) : voltA;
        break;
    case 2:
        v = fft ? display::spectrumPercent(b) : voltB;
        break;
    case 3:
        v = voltA + voltB;
        break;
    case 4:
        v = voltA - voltB;
        break;
    case 5:
        v = display::genVolts(d);
        break;
    default:
        break;
    }
    if (mode > 0) {
        printSigned(CURSINFO, 0, v, NumberText(v));
        if (!fft) printAt(CURSINFO, 360, 0, "V");
    }
    const display::Reading r =
        display::cursorTime(double(s.CursorX), double(s.ScrollPos), display::rateIndex(s),
                            s.RateFactor, fft, s.FFTNumSamples);
    s.CursorTime = r.value;
    s.CursorUnit = r.unit;
    printAt(CURSINFO, fft ? 430 : 440, 0, NumberText(r.value));
    printAt(CURSINFO, fft ? 790 : 820, 0, r.unit);
}

void WQK::Command24_MouseDown() {
    holdCursorButton(*this, true, -1);
}
void WQK::Command25_MouseDown() {
    holdCursorButton(*this, true, +1);
}
void WQK::Command26_MouseDown() {
    holdCursorButton(*this, false, -1);
}
void WQK::Command27_MouseDown() {
    holdCursorButton(*this, false, +1);
}
void WQK::Command26_KeyPress() {
    keyCursorButton(*this, -1);
}
void WQK::Command27_KeyPress() {
    keyCursorButton(*this, +1);
}
void WQK::Command24_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::Command25_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::Command26_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::Command27_MouseUp() {
    s.ButtonHeld = 0;
}

void WQK::CURSINFO_Click() {
    if (double(s.CursorMode) == 0 || double(s.CursorTime) == 0) return;
    const display::Reading f = display::reciprocal({double(s.CursorTime), s.CursorUnit});
    s.CursorTime = f.value;
    s.CursorUnit = f.unit;
    CURSINFO->Cls();
    readoutScale(CURSINFO);
    printAt(CURSINFO, 140, 0, NumberText(f.value));
    printAt(CURSINFO, 620, 0, f.unit);
    Pause(800);
    cursdraw();
}

void WQK::trcursdraw() {
    if (double(s.LevelSetMode) != 0 || double(s.LevelDrawn) != 0) {
        const double W = double(s.XMagnify);
        Picture1->DrawMode = plat::DrawNotXor;
        Picture1->DrawWidth = 2;
        if (double(s.LevelDrawn) == 1) {
            const double y = double(s.TrigLevelPrev);
            Picture1->Line(0, y, W, y, display::colourOf(double(s.LevelColourDrawn)));
        } else {
            s.LevelDrawn = 1;
        }
        if (double(s.LevelSetMode) > 0) {
            const double level = double(s.TrigLevel) - 1280;
            const double y = double(s.TrigSource) == -1 ? s.BaseA + double(s.YMagFactorA) * level
                                                        : s.BaseB + s.YMagFactorB * level;
            Picture1->Line(0, y, W, y, display::colourOf(double(s.LevelLineColour)));
            s.TrigLevelPrev = y;
        } else {
            s.LevelDrawn = 0;
        }
        s.LevelColourDrawn = s.LevelLineColour;
        Picture1->DrawMode = plat::DrawCopy;
        Picture1->DrawWidth = 1;
    }

    // The level in volts of the source channel's range.
    if (double(s.TrigMode) == 0) {
        display::setBack(levelval, RGB(192, 192, 192));
        levelval->Cls();
    } else {
        levelval->Cls();
        const double range = double(s.TrigSource) == -1 ? double(s.RangeA) : s.RangeB;
        s.LevelVolts = display::levelVolts(double(s.TrigLevel), range);
        const double v = double(s.LevelVolts);
        levelval->FontSize = 8;
        levelval->FontBold = true;
        const long old = levelval->ForeColor;
        levelval->ForeColor = v < 0 ? Red : 0;
        printAt(levelval, 0, 0, NumberText(v) + " v");
        levelval->ForeColor = old;
    }

    if (s.TrigCursorMode == 1 && double(s.LevelSetMode) > 0) {
        Timer1->setEnabled(false);
        Timer1->setInterval(s.LevelTimeoutMs);
        Timer1->setEnabled(true);
    }
}
