// The display panel: the toggle buttons GRID, JOIN, UNITS, A, B, D, A+B, A-B and Y Mag,
// and SDISPLAY, which brings their captions and the panels beside them in line.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/paint.h"
#include "display/scales.h"
#include "instrument/instrument.h"
#include "platform/colours.h"

void WQK::SDISPLAY() {
    curtest();

    // A toggle is bold while it is on.
    Command13->setFontBold(s.gridOn());
    Command15->setFontBold(s.joinOn());
    Command16->setFontBold(s.unitsOn());
    Command17->setFontBold(s.showA());
    Command18->setFontBold(s.showB());
    Command19->setFontBold(s.showD());
    Command20->setFontBold(s.showAplusB());
    Command21->setFontBold(s.showAminusB());
    const int cursorMode = s.cursorMode();
    Command23->setFontBold(cursorMode > 0);

    // Cursor colour and the letter of the measured trace.
    s.CursorColour = display::cursorColour(cursorMode, s);
    if (cursorMode > 0) {
        Cursorch->Cls();
        Cursorch->show();
        display::printAt(Cursorch, 50, 0, display::cursorLetter(cursorMode));
    } else {
        Cursorch->hide();
    }

    display::setBack(CURSINFO, cursorMode > 0 ? colours::LightYellow : colours::Grey);
    display::setBack(YMagAbutton, s.yMagA() > 0 ? colours::Pink : colours::LightGreen);
    display::setBack(YMagBbutton, s.yMagB() > 0 ? colours::Pink : colours::LightGreen);
    showSumMagnification();
    cursdraw();
    DSAMPLE();
}

void WQK::Picture1_Click() {
    HScroll2_Change();
}

void WQK::Command12_Click() {
    if (s.mode() == modes::Generator || s.mode() == modes::FFT) return;
    inst_->applyYMagnification(Instrument::Trace::Sum, display::stepWrap(s.sumYMag(), 3));
    Scrollcalc();
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command13_Click() {
    inst_->applyDisplay(Instrument::Toggle::Grid, !s.gridOn());
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command15_Click() {
    inst_->applyDisplay(Instrument::Toggle::Join, !s.joinOn());
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command16_Click() {
    s.UnitsOn = int16_t(-s.UnitsOn);
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command17_Click() {
    inst_->applyDisplay(Instrument::Toggle::ShowA, !s.showA());
    SDISPLAY();
    HScroll2_Change();
}

void WQK::Command18_Click() {
    inst_->applyDisplay(Instrument::Toggle::ShowB, !s.showB());
    SDISPLAY();
    HScroll2_Change();
}

void WQK::Command19_Click() {
    inst_->applyDisplay(Instrument::Toggle::ShowD, !s.showD());
    SDISPLAY();
    HScroll2_Change();
}

void WQK::Command20_Click() {
    inst_->applyDisplay(Instrument::Toggle::Sum, !s.showAplusB());
    SDISPLAY();
    HScroll1_Change();
}

void WQK::Command21_Click() {
    s.ShowAminusB = int16_t(-s.ShowAminusB);
    if (s.showAminusB()) s.ShowAplusB = -1;
    SDISPLAY();
    HScroll1_Change();
}

// The combined trace's magnification beside the toggles, and the controls that go
// with it.
void WQK::showSumMagnification() {
    const bool combined = display::combinedOn(s);
    PictureBox* p = Picture6;
    p->CurrentX = 765;
    p->CurrentY = 460;
    p->FontSize = 9;
    p->FontBold = true;
    p->ForeColor = colours::Black;
    p->FontTransparent = false; // the texts overwrite each other
    const std::string blanks = "       ";
    if (s.mode() == modes::Scope || s.mode() == modes::ScopeGen) {
        const int step = s.sumYMag();
        const bool arrows = combined && step > 0;
        Scrollup->setVisible(arrows);
        scrolldown->setVisible(arrows);
        if (combined) {
            TriglevelBUTTON->setEnabled(false);
            Command12->setEnabled(true);
            static const char* texts[3] = {" x 1 ", " x 2 ", " x 5 "};
            const int i = step == 1 || step == 2 ? step : 0;
            p->Print(texts[i]);
            s.SumYMagFactor = int16_t(display::positionStep(i).factor);
        } else {
            TriglevelBUTTON->setEnabled(true);
            Command12->setEnabled(false);
            p->Print(blanks);
            s.SumYMagFactor = 1;
        }
    } else {
        Command12->setEnabled(false);
        p->Print(blanks);
        s.SumYMagFactor = 1;
    }
    p->FontBold = false;
}
