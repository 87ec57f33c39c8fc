// The generator panel: its redraw GENDISP and the handlers of its buttons. Settings
// changes only mark the wave out of date; UPDATE (or the next run) recomputes it.
#include "app/wqk.h"
#include "generator/panel_logic.h"
#include "generator/synthesis.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/colours.h"
#include "platform/msgbox.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Text rows of GENPICTURE below its title, in its design twips.
constexpr double Row2 = 230, Row3 = 450, RowHeight = 210, RightColumn = 1280;

void clearRows(PictureBox* p) {
    p->Box(0, Row2, p->ScaleWidth(), Row3 + RowHeight, p->BackColor(), true);
}

void printAt(PictureBox* p, double x, double y, const std::string& text, bool bold = true) {
    p->FontBold = bold;
    p->ForeColor = colours::Navy;
    p->CurrentX = x;
    p->CurrentY = y;
    p->Print(text);
    p->FontBold = false;
}

void drawStyle(PictureBox* p, int style, double switchAngle, long colour) {
    p->setScale(0, 0, 360, 100);
    p->Cls();
    p->Line(0, 50, 360, 50, colours::MidGrey);
    p->ForeColor = colour;
    switch (style) {
    case gen::Sine:
        for (int t = 0; t <= 360; t += 2)
            p->PSet(t, 50 - 40 * std::sin(t * vb::Pi / 180));
        break;
    case gen::Triangle:
        p->Line(0, 50, 90, 10);
        p->Line(90, 10, 270, 90);
        p->Line(270, 90, 360, 50);
        break;
    case gen::Ramp:
        p->Line(0, 90, 355, 10);
        p->Line(355, 10, 355, 90);
        break;
    case gen::Square:
        p->Line(0, 90, switchAngle, 90);
        p->Line(switchAngle, 90, switchAngle, 10);
        p->Line(switchAngle, 10, 360, 10);
        break;
    default:
        p->CurrentX = 0;
        p->CurrentY = 0;
        p->Print("Custom");
        break;
    }
}

// A held frequency button repeats its step 20 times a second after 0.3 s, until the
// button is released (MouseUp clears ButtonHeld).
void autoRepeat(InstrumentState& s, const std::function<void()>& step) {
    s.ButtonHeld = 1;
    for (int k = 0; k < 3; ++k) {
        Pause(100);
        DoEvents();
    }
    while (true) {
        DoEvents();
        if (!s.buttonHeld()) break;
        Pause(50);
        if (!s.buttonHeld()) break;
        step();
    }
}

} // namespace

void WQK::GENDISP() {
    if (s.mode() == modes::Scope || s.mode() == modes::FFT) {
        for (VbButton* b : {GENSFREQBUTTONN, GENSFREQBUTTONP, SWRATIOBUTTON, GENAMPBUTTON})
            b->setEnabled(false);
        clearRows(GENPICTURE);
        STYLEDISP->Cls();
        GENFREQDISP->setBackColor(colours::Grey);
        return;
    }
    GENFREQDISP->setBackColor(colours::LightYellow);
    const gen::PanelTexts t = gen::applyPanelState(s);
    const int genMode = s.genMode();
    const int style = s.genStyle();

    clearRows(GENPICTURE);
    printAt(GENPICTURE, 40, Row2, t.mode);

    if (genMode == 2) {
        STYLEDISP->hide();
        GENSTYLEBUTTON->setCaption("CropL");
        GENAMPBUTTON->setCaption("CropR");
        SWRATIOBUTTON->setCaption("Amp");
    } else {
        GENSTYLEBUTTON->setCaption("Style");
        GENAMPBUTTON->setCaption("Amp");
        SWRATIOBUTTON->setCaption("Ratio");
        STYLEDISP->show();
    }
    SWRATIOBUTTON->setEnabled(genMode > 0);
    GENSFREQBUTTONN->setEnabled(genMode == 0);
    GENSFREQBUTTONP->setEnabled(genMode == 0);

    printAt(GENPICTURE, RightColumn, Row2, t.amplitude);

    const double switchAngle = genMode == 0 ? gen::squareSwitchAngle(s.dutyCycle()) : 180.0;
    drawStyle(STYLEDISP, style, switchAngle, s.colourD());

    if (style == gen::Square && genMode == 0) {
        DCUP->show();
        DCDOWN->show();
        SWRATIOBUTTON->setCaption("Dcycle");
        SWRATIOBUTTON->setEnabled(true);
    } else {
        DCUP->hide();
        DCDOWN->hide();
        if (style == gen::Square) SWRATIOBUTTON->setCaption("Ratio");
    }

    printAt(GENPICTURE, 40, Row3, t.label, false);
    GENFREQDISP->CurrentX = 0;
    GENFREQDISP->CurrentY = 0;
    GENFREQDISP->ForeColor = colours::Black;
    GENFREQDISP->Print(t.freq);
    printAt(GENPICTURE, RightColumn, Row3, t.secondary);

    if (s.GenDirty == 1) GENUPDATEBACK->setBackColor(colours::Red);
}

void WQK::GENMODEBUTTON_MouseDown() {
    inst_->genModeStep();
    GENDISP();
}

void WQK::GENSTYLEBUTTON_MouseDown() {
    if (s.genMode() == 2) {
        // Crop left of the cursor; a cursor on trace D is shown first.
        if (s.cursorMode() != 5) Command23_Click();
        if (plat::MsgBox("Crop Custom data left of cursor? (irreversible)", plat::Buttons::OKCancel,
                         "Crop Confirmation") != plat::Answer::OK)
            return;
        CropLeft();
        DSAMPLE();
        HScroll1_Change();
        GENDISP();
        return;
    }
    inst_->applyGenStyle(s.genStyle() + 1 > 3 ? 0 : s.genStyle() + 1);
    GENDISP();
}

void WQK::GENAMPBUTTON_Click() {
    if (s.genMode() == 2) {
        if (s.cursorMode() != 5) Command23_Click();
        if (plat::MsgBox("Crop Custom data right of cursor? (irreversible)",
                         plat::Buttons::OKCancel, "Crop Confirmation") != plat::Answer::OK)
            return;
        CropRight();
        s.CursorMode = 0;
        SDISPLAY();
        DSAMPLE();
        HScroll1_Change();
        GENDISP();
        return;
    }
    inst_->applyGenAmplitude(s.AmpDiv + 1 > 2 ? 1 : s.AmpDiv + 1);
    GENDISP();
}

void WQK::SWRATIOBUTTON_Click() {
    const int mode = s.genMode();
    if (mode == 1) {
        int r = s.sweepRatio() + 1;
        if ((r > 2 && s.sweepHalf()) || r > 3) r = 0;
        inst_->applySweepRatio(r);
    } else if (mode == 2) {
        inst_->applyCustomAmplitude(s.ampRatio() + 1 > 3 ? 0 : s.ampRatio() + 1);
        GENDISP();
        HScroll1_Change();
        return;
    }
    GENDISP();
}

void WQK::DCUP_Click() {
    inst_->applyDutyCycle(std::min(98, s.dutyCycle() + 2));
    GENDISP();
}

void WQK::DCDOWN_Click() {
    inst_->applyDutyCycle(std::max(2, s.dutyCycle() - 2));
    GENDISP();
}

namespace {
// The large frequency buttons: NORMAL steps 500 Hz (held: 2500 or 5000), SWEEP picks the
// start frequency, CUSTOM picks the step clock.
void largeFreq(WQK& w, int dir) {
    InstrumentState& s = w.state();
    const int mode = s.genMode();
    if (mode == 0) {
        Instrument& inst = w.instrument();
        inst.applyGenFrequency(gen::stepFreq(s.genFreq(), 500 * dir));
        w.GENDISP();
        autoRepeat(s, [&w, &s, &inst, dir] {
            inst.applyGenFrequency(
                gen::stepFreq(s.genFreq(), dir * gen::largeRepeatStep(s.genFreq())));
            w.GENDISP();
        });
        return;
    }
    if (mode == 1) {
        w.instrument().applySweepStart(std::clamp(s.sweepStartIndex() + dir, 0, 9));
    } else if (w.instrument().applyCustomRate(std::clamp(s.customRateIndex() + dir, 0, 4))) {
        w.SDISPLAY();
        w.HScroll1_Change();
    }
    w.GENDISP();
}

void smallFreq(WQK& w, int dir) {
    InstrumentState& s = w.state();
    const int mode = s.genMode();
    if (mode == 0) {
        Instrument& inst = w.instrument();
        inst.applyGenFrequency(gen::stepFreq(s.genFreq(), dir));
        w.GENDISP();
        autoRepeat(s, [&w, &s, &inst, dir] {
            inst.applyGenFrequency(gen::stepFreq(s.genFreq(), 10 * dir));
            w.GENDISP();
        });
        return;
    }
    if (mode == 1) s.GenDirty = 1;
    w.GENDISP();
}
} // namespace

void WQK::GENLFREQBUTTONN_MouseDown() {
    largeFreq(*this, -1);
}
void WQK::GENLFREQBUTTONP_MouseDown() {
    largeFreq(*this, +1);
}
void WQK::GENSFREQBUTTONN_MouseDown() {
    smallFreq(*this, -1);
}
void WQK::GENSFREQBUTTONP_MouseDown() {
    smallFreq(*this, +1);
}
void WQK::GENLFREQBUTTONN_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::GENLFREQBUTTONP_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::GENSFREQBUTTONN_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::GENSFREQBUTTONP_MouseUp() {
    s.ButtonHeld = 0;
}

void WQK::CopyAbutton_Click() {
    s.CopyARequest = 1;
}
void WQK::CopyBbutton_Click() {
    s.CopyBRequest = 1;
}
void WQK::keepcustombutton_Click() {
    s.KeepCustom = 1;
}

void WQK::CropLeft() {
    s.GenLast = float(gen::cropLeft(s.GenWave, s.CustomWave, gen::lastIndex(s.GenLast),
                                    gen::cursorBufferPos(s.scrollPos(), s.cursorX())));
}

void WQK::CropRight() {
    s.GenLast = float(gen::cropRight(gen::lastIndex(s.GenLast),
                                     gen::cursorBufferPos(s.scrollPos(), s.cursorX())));
}

namespace {
void copyToCustom(InstrumentState& s, const std::vector<int16_t>& from) {
    const long size = 2048L << std::clamp(s.CapturedSizeIndex, 0, 4);
    s.GenLast = float(size - 1);
    std::copy(from.begin(), from.begin() + size, s.GenWave.begin());
}
} // namespace

void WQK::CopyAToCustom() {
    copyToCustom(s, s.ChanABuffer);
}
void WQK::CopyBToCustom() {
    copyToCustom(s, s.ChanBBuffer);
}
