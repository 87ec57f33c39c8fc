// Channel windows A and B: range, probe, coupling, sampling ON/OFF, and the position
// and magnification of each trace and of the combined trace.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/scales.h"
#include "platform/msgbox.h"

#include <algorithm>

using display::printAt;
using plat::RGB;

namespace {

const long Pink = RGB(255, 128, 128);
const long LightGreen = RGB(192, 255, 192);

// Range, probe and coupling texts of one channel window.
void showChannel(PictureBox* box, VbButton* coupling, int range, int probe, double couplingSign) {
    const long oldColour = box->ForeColor;
    box->FontSize = 8;
    box->FontTransparent = false; // each text overwrites the previous one
    const long c = probe == 0 ? RGB(25, 0, 0) : RGB(127, 0, 0);
    box->ForeColor = c;
    printAt(box, 690, 730, probe == 0 ? "x 1  " : "x10");
    static const char* ranges[3] = {"1.2V  ", " 12V  ", "120V  "};
    printAt(box, 675, 90, ranges[std::clamp(range, 0, 2)]);
    box->ForeColor = RGB(1, 0, 0);
    printAt(box, 790, 400, "X");
    box->ForeColor = oldColour;
    coupling->setCaption(couplingSign == -1 ? "AC" : "DC");
    box->FontSize = 10;
}

// The up and down arrow boxes: the arrow that has moved the trace off centre is pink.
void drawArrows(PictureBox* up, PictureBox* down, double pos) {
    display::setBack(up, pos < 0 ? Pink : LightGreen);
    display::setBack(down, pos > 0 ? Pink : LightGreen);
    for (PictureBox* p : {up, down}) {
        p->Cls();
        p->setScale(0, 0, 200, 200);
        p->ForeColor = 0;
        p->DrawWidth = 2;
        p->DrawMode = plat::DrawCopy;
        p->DrawStyle = plat::StyleSolid;
    }
    up->Line(10, 150, 95, 10);
    up->Line(95, 10, 190, 150);
    down->Line(10, 40, 95, 170);
    down->Line(95, 170, 190, 20);
}

// The magnification box of a channel shows its factor.
int showFactor(PictureBox* box, int step) {
    const int factor = display::positionStep(step).factor;
    box->Cls();
    box->FontBold = true;
    printAt(box, 40, 0, std::to_string(factor));
    return factor;
}

void sampling(PictureBox* box, VbButton* button, bool nowOn) {
    box->setBackColor(nowOn ? RGB(128, 128, 128) : RGB(64, 64, 64));
    // The caption names what the next click does.
    button->setCaption(nowOn ? "OFF" : "ON");
}

void probeWarning() {
    plat::MsgBox("DO NOT switch probe to X 1 unless the input voltage is less then 20 V",
                 plat::Buttons::OK, "WARNING", plat::Icon::Critical);
}

} // namespace

void WQK::CHANA() {
    s.RangeA = long(double(s.ProbeA) + double(s.RangeSelA));
    showChannel(Picture3, Command2, int(double(s.RangeA)), int(double(s.ProbeA)),
                double(s.CouplingA));
}

void WQK::CHANB() {
    s.RangeB = int16_t(double(s.ProbeB) + double(s.RangeSelB));
    showChannel(Picture4, Command7, s.RangeB, int(double(s.ProbeB)), double(s.CouplingB));
}

void WQK::scrollcalca() {
    const int step = int(double(s.YMagA));
    s.YMagFactorA = showFactor(YMagAbutton, step);
    drawArrows(scrollupA, scrolldownA, double(s.TracePosA));
    const display::PositionStep p = display::positionStep(step);
    s.VoltOffsetA = double(s.TracePosA) * p.volts;
    s.ShiftA = int16_t(vb::Nearest(double(s.TracePosA) * p.shift));
}

void WQK::scrollcalcB() {
    const int step = int(double(s.YMagB));
    s.YMagFactorB = int16_t(showFactor(YMagBbutton, step));
    drawArrows(scrollupB, scrolldownB, s.TracePosB);
    const display::PositionStep p = display::positionStep(step);
    s.VoltOffsetB = s.TracePosB * p.volts;
    s.ShiftB = int16_t(vb::Nearest(s.TracePosB * p.shift));
}

void WQK::Scrollcalc() {
    drawArrows(Scrollup, scrolldown, s.TracePosSum);
    const display::PositionStep p = display::positionStep(int(double(s.SumYMag)));
    s.VoltOffsetSum = s.TracePosSum * p.volts;
    s.ShiftSum = int16_t(vb::Nearest(s.TracePosSum * p.shift));
}

void WQK::Command3_Click() {
    display::stepWrap(s.RangeSelA, 2);
    CHANA();
    trcursdraw();
}

void WQK::Command4_Click() {
    display::stepWrap(s.ProbeA, 2);
    CHANA();
    if (double(s.ProbeA) == 1) probeWarning();
    trcursdraw();
}

void WQK::Command2_Click() {
    display::flip(s.CouplingA);
    CHANA();
}

void WQK::Command6_Click() {
    display::stepWrap(s.RangeSelB, 2);
    CHANB();
    trcursdraw();
}

void WQK::Command5_Click() {
    display::stepWrap(s.ProbeB, 2);
    CHANB();
    if (double(s.ProbeB) == 1) probeWarning();
    trcursdraw();
}

void WQK::Command7_Click() {
    display::flip(s.CouplingB);
    CHANB();
}

void WQK::SCHAbutton_Click() {
    s.ChanAOn = double(s.ChanAOn) == 1 ? 0 : 1;
    sampling(Picture3, SCHAbutton, double(s.ChanAOn) == 1);
    CHANA();
    SMODEDISP();
    Picture3->ForeColor = display::colourOf(s.ColourA);
    printAt(Picture3, 40, 100, "CH A");
}

void WQK::SCHBbutton_Click() {
    s.ChanBOn = int16_t(s.ChanBOn == 1 ? 0 : 1);
    sampling(Picture4, SCHBbutton, s.ChanBOn == 1);
    CHANB();
    SMODEDISP();
    Picture4->ForeColor = display::colourOf(s.ColourB);
    printAt(Picture4, 40, 100, "CH B");
}

void WQK::scrollupA_Click() {
    const int limit = display::positionStep(int(double(s.YMagA))).limit;
    s.TracePosA = long(std::max(double(-limit), double(s.TracePosA) - 1));
    scrollcalca();
    HScroll1_Change();
}

void WQK::scrolldownA_Click() {
    const int limit = display::positionStep(int(double(s.YMagA))).limit;
    s.TracePosA = long(std::min(double(limit), double(s.TracePosA) + 1));
    scrollcalca();
    HScroll1_Change();
}

void WQK::scrollupB_Click() {
    const int limit = display::positionStep(int(double(s.YMagB))).limit;
    s.TracePosB = int16_t(std::max(-limit, s.TracePosB - 1));
    scrollcalcB();
    HScroll1_Change();
}

void WQK::scrolldownB_Click() {
    const int limit = display::positionStep(int(double(s.YMagB))).limit;
    s.TracePosB = int16_t(std::min(limit, s.TracePosB + 1));
    scrollcalcB();
    HScroll1_Change();
}

void WQK::Scrollup_Click() {
    const int limit = display::positionStep(int(double(s.SumYMag))).limitSum;
    s.TracePosSum = int16_t(std::max(-limit, s.TracePosSum - 1));
    Scrollcalc();
    HScroll1_Change();
}

void WQK::scrolldown_Click() {
    const int limit = display::positionStep(int(double(s.SumYMag))).limitSum;
    s.TracePosSum = int16_t(std::min(limit, s.TracePosSum + 1));
    Scrollcalc();
    HScroll1_Change();
}

void WQK::YMagAbutton_Click() {
    const int mode = display::modeOf(s);
    if (mode == 1 || mode == 3) return;
    display::stepWrap(s.YMagA, 3);
    if (double(s.YMagA) == 0) s.TracePosA = long(std::clamp(double(s.TracePosA), -3.0, 3.0));
    SDISPLAY();
    HScroll1_Change();
}

void WQK::YMagBbutton_Click() {
    const int mode = display::modeOf(s);
    if (mode == 1 || mode == 3) return;
    display::stepWrap(s.YMagB, 3);
    if (double(s.YMagB) == 0) s.TracePosB = int16_t(std::clamp<int>(s.TracePosB, -3, 3));
    SDISPLAY();
    HScroll1_Change();
}
