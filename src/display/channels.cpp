// Channel windows A and B: range, probe, coupling, sampling ON/OFF, and the position
// and magnification of each trace and of the combined trace.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/paint.h"
#include "display/scales.h"
#include "instrument/instrument.h"
#include "platform/colours.h"
#include "platform/msgbox.h"

#include <algorithm>

using display::printAt;

namespace {

// Range, probe and coupling texts of one channel window.
void showChannel(PictureBox* box, VbButton* coupling, int range, int probe, bool dc) {
    const long oldColour = box->ForeColor;
    box->FontSize = 8;
    box->FontTransparent = false; // each text overwrites the previous one
    const long c = probe == 0 ? colours::InkBrown : colours::InkMaroon;
    box->ForeColor = c;
    printAt(box, 690, 730, probe == 0 ? "x 1  " : "x10");
    static const char* ranges[3] = {"1.2V  ", " 12V  ", "120V  "};
    printAt(box, 675, 90, ranges[std::clamp(range, 0, 2)]);
    box->ForeColor = colours::InkDark;
    printAt(box, 790, 400, "X");
    box->ForeColor = oldColour;
    coupling->setCaption(dc ? "DC" : "AC");
    box->FontSize = 10;
}

// The up and down arrow boxes: the arrow that has moved the trace off centre is pink.
void drawArrows(PictureBox* up, PictureBox* down, int pos) {
    display::setBack(up, pos < 0 ? colours::Pink : colours::LightGreen);
    display::setBack(down, pos > 0 ? colours::Pink : colours::LightGreen);
    for (PictureBox* p : {up, down}) {
        p->Cls();
        p->setScale(0, 0, 200, 200);
        p->ForeColor = colours::Black;
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
void showFactor(PictureBox* box, int step) {
    box->Cls();
    box->FontBold = true;
    printAt(box, 40, 0, std::to_string(display::positionStep(step).factor));
}

void sampling(PictureBox* box, VbButton* button, bool nowOn) {
    box->setBackColor(nowOn ? colours::MidGrey : colours::DarkGrey);
    // The caption names what the next click does.
    button->setCaption(nowOn ? "OFF" : "ON");
}

void probeWarning() {
    plat::MsgBox("DO NOT switch probe to X 1 unless the input voltage is less then 20 V",
                 plat::Buttons::OK, "WARNING", plat::Icon::Critical);
}

} // namespace

void WQK::CHANA() {
    inst_->applyChannelA();
    showChannel(Picture3, Command2, s.rangeA(), s.probeA(), s.dcA());
}

void WQK::CHANB() {
    inst_->applyChannelB();
    showChannel(Picture4, Command7, s.RangeB, s.probeB(), s.dcB());
}

void WQK::scrollcalca() {
    inst_->applyPositionA();
    showFactor(YMagAbutton, s.yMagA());
    drawArrows(scrollupA, scrolldownA, s.tracePosA());
}

void WQK::scrollcalcB() {
    inst_->applyPositionB();
    showFactor(YMagBbutton, s.yMagB());
    drawArrows(scrollupB, scrolldownB, s.TracePosB);
}

void WQK::Scrollcalc() {
    drawArrows(Scrollup, scrolldown, s.TracePosSum);
    inst_->applyPositionSum();
}

void WQK::Command3_Click() {
    inst_->applyRange(Instrument::Channel::A, display::stepWrap(s.rangeSelA(), 2));
    CHANA();
    trcursdraw();
}

void WQK::Command4_Click() {
    inst_->applyProbe(Instrument::Channel::A, display::stepWrap(s.probeA(), 2) == 1);
    CHANA();
    if (s.probeA() == 1) probeWarning();
    trcursdraw();
}

void WQK::Command2_Click() {
    inst_->applyCoupling(Instrument::Channel::A, !s.dcA());
    CHANA();
}

void WQK::Command6_Click() {
    inst_->applyRange(Instrument::Channel::B, display::stepWrap(s.rangeSelB(), 2));
    CHANB();
    trcursdraw();
}

void WQK::Command5_Click() {
    inst_->applyProbe(Instrument::Channel::B, display::stepWrap(s.probeB(), 2) == 1);
    CHANB();
    if (s.probeB() == 1) probeWarning();
    trcursdraw();
}

void WQK::Command7_Click() {
    inst_->applyCoupling(Instrument::Channel::B, !s.dcB());
    CHANB();
}

void WQK::SCHAbutton_Click() {
    inst_->applyChannelOn(Instrument::Channel::A, !s.chanAOn());
    sampling(Picture3, SCHAbutton, s.chanAOn());
    CHANA();
    SMODEDISP();
    Picture3->ForeColor = s.colourA();
    printAt(Picture3, 40, 100, "CH A");
}

void WQK::SCHBbutton_Click() {
    inst_->applyChannelOn(Instrument::Channel::B, !s.chanBOn());
    sampling(Picture4, SCHBbutton, s.chanBOn());
    CHANB();
    SMODEDISP();
    Picture4->ForeColor = s.colourB();
    printAt(Picture4, 40, 100, "CH B");
    drawArrows(Scrollup, scrolldown, s.TracePosSum);
}

void WQK::showChannels() {
    sampling(Picture3, SCHAbutton, s.chanAOn());
    sampling(Picture4, SCHBbutton, s.chanBOn());
    CHANA();
    CHANB();
    Picture3->ForeColor = s.colourA();
    printAt(Picture3, 40, 100, "CH A");
    Picture4->ForeColor = s.colourB();
    printAt(Picture4, 40, 100, "CH B");
}

void WQK::scrollupA_Click() {
    const int limit = display::positionStep(s.yMagA()).limit;
    inst_->applyTracePosition(Instrument::Trace::A, std::max(-limit, s.tracePosA() - 1));
    scrollcalca();
    HScroll1_Change();
}

void WQK::scrolldownA_Click() {
    const int limit = display::positionStep(s.yMagA()).limit;
    inst_->applyTracePosition(Instrument::Trace::A, std::min(limit, s.tracePosA() + 1));
    scrollcalca();
    HScroll1_Change();
}

void WQK::scrollupB_Click() {
    const int limit = display::positionStep(s.yMagB()).limit;
    inst_->applyTracePosition(Instrument::Trace::B, std::max(-limit, s.TracePosB - 1));
    scrollcalcB();
    HScroll1_Change();
}

void WQK::scrolldownB_Click() {
    const int limit = display::positionStep(s.yMagB()).limit;
    inst_->applyTracePosition(Instrument::Trace::B, std::min(limit, s.TracePosB + 1));
    scrollcalcB();
    HScroll1_Change();
}

void WQK::Scrollup_Click() {
    const int limit = display::positionStep(s.sumYMag()).limitSum;
    inst_->applyTracePosition(Instrument::Trace::Sum, std::max(-limit, s.TracePosSum - 1));
    Scrollcalc();
    HScroll1_Change();
}

void WQK::scrolldown_Click() {
    const int limit = display::positionStep(s.sumYMag()).limitSum;
    inst_->applyTracePosition(Instrument::Trace::Sum, std::min(limit, s.TracePosSum + 1));
    Scrollcalc();
    HScroll1_Change();
}

void WQK::YMagAbutton_Click() {
    if (s.mode() == modes::Generator || s.mode() == modes::FFT) return;
    inst_->applyYMagnification(Instrument::Trace::A, display::stepWrap(s.yMagA(), 3));
    SDISPLAY();
    HScroll1_Change();
}

void WQK::YMagBbutton_Click() {
    if (s.mode() == modes::Generator || s.mode() == modes::FFT) return;
    inst_->applyYMagnification(Instrument::Trace::B, display::stepWrap(s.yMagB(), 3));
    SDISPLAY();
    HScroll1_Change();
}
