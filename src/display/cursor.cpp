// The measurement cursor with its readout, the four move buttons, the 1/t display, and
// the trigger-level line with its value box.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/paint.h"
#include "display/scales.h"
#include "platform/clock.h"
#include "platform/colours.h"

#include <algorithm>

using display::printAt;
using vb::NumberText;

namespace {

// The readout positions are laid out on a box 1100 units wide.
void readoutScale(PictureBox* box) {
    const double w = 1100;
    box->setScale(0, 0, w, w * box->designHeight() / std::max(1, box->designWidth()));
    box->FontSize = 8;
    box->FontBold = true;
}

void printSigned(PictureBox* box, double x, double v, const std::string& text) {
    const long old = box->ForeColor;
    box->ForeColor = v < 0 ? colours::Red : colours::Black;
    printAt(box, x, 0, text);
    box->ForeColor = old;
}

void stepCursor(WQK& w, double delta) {
    InstrumentState& s = w.state();
    s.CursorX = std::clamp(s.cursorX() + delta, 0.0, std::max(0.0, double(s.xMagnify())));
    w.cursdraw();
}

double step(const InstrumentState& s, bool large) {
    return large ? s.cursorStepLarge() : double(s.CursorStepSmall);
}

// One step at once; while the button stays down, after 0.3 s, 20 steps a second.
void holdCursorButton(WQK& w, bool large, int dir) {
    InstrumentState& s = w.state();
    if (s.cursorMode() == 0) return;
    stepCursor(w, dir * step(s, large));
    s.ButtonHeld = 1;
    for (int i = 0; i < 3; ++i) {
        Pause(100);
        DoEvents();
    }
    for (;;) {
        DoEvents();
        if (!s.buttonHeld()) break;
        Pause(50);
        if (!s.buttonHeld()) break;
        stepCursor(w, dir * step(s, large));
    }
}

void keyCursorButton(WQK& w, int dir) {
    if (w.state().cursorMode() == 0) return;
    stepCursor(w, dir * step(w.state(), false));
}

} // namespace

void WQK::curtest() {
    s.CursorMode = display::checkCursorMode(s.cursorMode(), display::shownOf(s));
}

void WQK::Command23_Click() {
    s.CursorMode = display::nextCursorMode(s.cursorMode(), display::shownOf(s));
    display::setBack(CURSINFO, s.cursorMode() > 0 ? colours::LightYellow : colours::Grey);
    SDISPLAY();
}

void WQK::cursdraw() {
    const int mode = s.cursorMode();
    if (mode == 0 && !s.cursorDrawn()) return;
    const double FS = s.FullScale;

    // Not-XOR: drawing the same line again restores the picture under it.
    Picture1->DrawMode = plat::DrawNotXor;
    Picture1->DrawWidth = 2;
    if (s.cursorDrawn()) {
        const double x = s.cursorXDrawn();
        Picture1->Line(x, 0, x, FS, s.cursorColourDrawn());
    } else {
        s.CursorDrawn = 1;
    }
    if (mode > 0) {
        const double x = s.cursorX();
        Picture1->Line(x, 0, x, FS, s.cursorColour());
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
    const bool fft = s.mode() == modes::FFT;
    if (mode > 0) {
        const double v = display::cursorValue(s, mode, fft);
        printSigned(CURSINFO, 0, v, NumberText(v));
        if (!fft) printAt(CURSINFO, 360, 0, "V");
    }
    const display::Reading r = display::cursorTime(
        s.cursorX(), s.scrollPos(), display::rateIndex(s), s.RateFactor, fft, s.FFTNumSamples);
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
    if (s.cursorMode() == 0 || s.cursorTime() == 0) return;
    const display::Reading f = display::reciprocal({s.cursorTime(), s.CursorUnit});
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
    if (s.levelSetOn() || s.levelDrawn()) {
        const double W = s.xMagnify();
        Picture1->DrawMode = plat::DrawNotXor;
        Picture1->DrawWidth = 2;
        if (s.levelDrawn()) {
            const double y = s.trigLevelPrev();
            Picture1->Line(0, y, W, y, s.levelColourDrawn());
        } else {
            s.LevelDrawn = 1;
        }
        if (s.levelSetOn()) {
            const double level = s.trigLevel() - InstrumentState::MidScale;
            const double y = s.trigSourceB() ? s.BaseB + s.YMagFactorB * level
                                             : s.BaseA + s.yMagFactorA() * level;
            Picture1->Line(0, y, W, y, s.levelLineColour());
            s.TrigLevelPrev = y;
        } else {
            s.LevelDrawn = 0;
        }
        s.LevelColourDrawn = s.LevelLineColour;
        Picture1->DrawMode = plat::DrawCopy;
        Picture1->DrawWidth = 1;
    }

    // The level in volts of the source channel's range.
    if (s.trigMode() == 0) {
        display::setBack(levelval, colours::Grey);
        levelval->Cls();
    } else {
        levelval->Cls();
        const double range = s.trigSourceB() ? s.RangeB : s.rangeA();
        s.LevelVolts = display::levelVolts(s.trigLevel(), range);
        const double v = s.levelVolts();
        levelval->FontSize = 8;
        levelval->FontBold = true;
        const long old = levelval->ForeColor;
        levelval->ForeColor = v < 0 ? colours::Red : colours::Black;
        printAt(levelval, 0, 0, NumberText(v) + " v");
        levelval->ForeColor = old;
    }

    if (s.TrigCursorMode == 1 && s.levelSetOn()) {
        Timer1->setEnabled(false);
        Timer1->setInterval(s.LevelTimeoutMs);
        Timer1->setEnabled(true);
    }
}
