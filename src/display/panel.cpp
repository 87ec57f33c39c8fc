// The display panel: the toggle buttons GRID, JOIN, UNITS, A, B, D, A+B, A-B and Y Mag,
// and SDISPLAY, which brings their captions and the panels beside them in line.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/scales.h"

using display::isOn;
using plat::RGB;

namespace {
const long Pink = RGB(255, 128, 128);
const long LightGreen = RGB(192, 255, 192);
const long ReadoutOn = RGB(255, 255, 192);
const long ReadoutOff = RGB(192, 192, 192);

long cursorColourFor(int mode, const InstrumentState& s) {
    switch (mode) {
    case 1:
        return RGB(0, 0, 224);
    case 2:
        return RGB(0, 224, 0);
    case 3:
    case 4:
        return display::colourOf(s.ColourSum);
    case 5:
        return display::colourOf(s.ColourD);
    default:
        return 0;
    }
}
} // namespace

void WQK::SDISPLAY() {
    // 1.
    curtest();

    // 2. A toggle is bold while it is on.
    Command13->setFontBold(isOn(s.GridOn));
    Command15->setFontBold(isOn(s.JoinOn));
    Command16->setFontBold(s.UnitsOn == 1);
    Command17->setFontBold(isOn(s.ShowA));
    Command18->setFontBold(isOn(s.ShowB));
    Command19->setFontBold(isOn(s.ShowD));
    Command20->setFontBold(isOn(s.ShowAplusB));
    Command21->setFontBold(s.ShowAminusB == 1);
    const int cursorMode = int(double(s.CursorMode));
    Command23->setFontBold(cursorMode > 0);

    // 3. Cursor colour and the letter of the measured trace.
    s.CursorColour = cursorColourFor(cursorMode, s);
    if (cursorMode > 0) {
        Cursorch->Cls();
        Cursorch->show();
        display::printAt(Cursorch, 50, 0, display::cursorLetter(cursorMode));
    } else {
        Cursorch->hide();
    }

    // 4.
    display::setBack(CURSINFO, cursorMode > 0 ? ReadoutOn : ReadoutOff);
    display::setBack(YMagAbutton, double(s.YMagA) > 0 ? Pink : LightGreen);
    display::setBack(YMagBbutton, double(s.YMagB) > 0 ? Pink : LightGreen);

    // 5. The combined trace's magnification.
    const int mode = display::modeOf(s);
    const bool combined = display::combinedOn(s);
    Picture6->CurrentX = 765;
    Picture6->CurrentY = 460;
    Picture6->FontSize = 9;
    Picture6->FontBold = true;
    Picture6->ForeColor = 0;
    Picture6->FontTransparent = false; // the texts overwrite each other
    const std::string blanks = "       ";
    if (mode == 0 || mode == 2) {
        const int step = int(double(s.SumYMag));
        const bool arrows = combined && step > 0;
        Scrollup->setVisible(arrows);
        scrolldown->setVisible(arrows);
        if (combined) {
            TriglevelBUTTON->setEnabled(false);
            Command12->setEnabled(true);
            static const char* texts[3] = {" x 1 ", " x 2 ", " x 5 "};
            const int i = step == 1 || step == 2 ? step : 0;
            Picture6->Print(texts[i]);
            s.SumYMagFactor = int16_t(display::positionStep(i).factor);
        } else {
            TriglevelBUTTON->setEnabled(true);
            Command12->setEnabled(false);
            Picture6->Print(blanks);
            s.SumYMagFactor = 1;
        }
    } else {
        Command12->setEnabled(false);
        Picture6->Print(blanks);
        s.SumYMagFactor = 1;
    }
    Picture6->FontBold = false;

    // 6.
    cursdraw();
    DSAMPLE();
}

void WQK::Picture1_Click() {
    HScroll2_Change();
}

void WQK::Command12_Click() {
    const int mode = display::modeOf(s);
    if (mode == 1 || mode == 3) return;
    display::stepWrap(s.SumYMag, 3);
    if (double(s.SumYMag) == 0) {
        s.TracePosSum = 0;
        s.VoltOffsetSum = 0;
        s.ShiftSum = 0;
    }
    Scrollcalc();
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command13_Click() {
    display::flip(s.GridOn);
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command15_Click() {
    display::flip(s.JoinOn);
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command16_Click() {
    s.UnitsOn = int16_t(-s.UnitsOn);
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command17_Click() {
    display::flip(s.ShowA);
    SDISPLAY();
    HScroll2_Change();
}

void WQK::Command18_Click() {
    display::flip(s.ShowB);
    SDISPLAY();
    HScroll2_Change();
}

void WQK::Command19_Click() {
    display::flip(s.ShowD);
    SDISPLAY();
    HScroll2_Change();
}

void WQK::Command20_Click() {
    display::flip(s.ShowAplusB);
    if (isOn(s.ShowAplusB)) s.ShowAminusB = -1;
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command21_Click() {
    s.ShowAminusB = int16_t(-s.ShowAminusB);
    if (s.ShowAminusB == 1) s.ShowAplusB = -1;
    SDISPLAY();
    HScroll1_Change();
}
