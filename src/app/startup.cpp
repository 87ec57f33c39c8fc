// Start-up, EXIT and shutdown of the main window.
#include "app/wqk.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/colours.h"
#include "platform/msgbox.h"
#include "platform/port.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <algorithm>

void WQK::Form_Load() {
    move(0, 0);
    // 9650 x 6750 twips are 643 x 450 pixels at 15 twips per pixel; today's screens
    // take it half as large again, within the screen's room.
    int w = DesignWidth / 15 * 3 / 2, h = DesignHeight / 15 * 3 / 2;
    if (QScreen* sc = QGuiApplication::primaryScreen()) {
        QRect avail = sc->availableGeometry();
        double f = std::min({1.0, double(avail.width()) / w, double(avail.height()) / h});
        w = int(w * f);
        h = int(h * f);
    }
    resize(w, h);
    // Lay the controls out now: the window is not shown yet, and a picture drawn into a
    // box before it has its size is stretched to a grey block when the box gets it.
    if (layout()) layout()->activate();
    plat::relayoutChildren(form, DesignWidth, DesignHeight);
    Picture5->CurrentX = 1;
    Picture5->CurrentY = 1;
    Picture5->Print("TRIGGER");
}

namespace {
void title(PictureBox* p, const std::string& text, long colour, double x = 40, double y = 20,
           double size = 8) {
    p->Cls();
    p->FontName = "Arial";
    p->FontBold = true;
    p->FontSize = size;
    p->ForeColor = colour;
    // Drawn smaller where the box is too narrow for it at its size, rather than cut.
    while (p->FontSize > 1 && x + p->TextWidth(text) > p->ScaleWidth())
        p->FontSize -= 0.25;
    p->CurrentX = x;
    p->CurrentY = y;
    p->Print(text);
    p->FontBold = false;
}

// The buttons and windows that start hidden, the run message box and the GO indicator.
void hideAtStart(WQK& w) {
    for (QWidget* b : std::initializer_list<QWidget*>{w.CopyAbutton, w.CopyBbutton, w.DCUP,
                                                      w.DCDOWN, w.FFTloadab, w.fftsaveab})
        b->hide();
    w.Trigwait->setBackColor(colours::LightYellow);
    w.Trigwait->setScale(0, 0, 100, 100);
    w.Trigwait->hide();
    for (PictureBox* p :
         {w.fileloadwindow, w.filesavewindow, w.helpwindow, w.CONFIGWINDOW, w.printwindow})
        p->hide();
    w.TRESETBUTTON->setCaption("Single");
    w.GOCOLOR->setBackColor(colours::Red); // stopped
    for (PictureBox* p :
         {w.Picture1, w.Picture3, w.Picture4, w.Picture5, w.Picture6, w.Picture7, w.samdisp,
          w.GENPICTURE, w.CURSINFO, w.levelval, w.SRATEDISP, w.SSIZEDISP, w.GENFREQDISP})
        p->FontName = "Arial";
}

// The two scroll bars, the signal display and the buffer bar at their start.
void resetDisplay(WQK& w) {
    InstrumentState& s = w.state();
    w.HScroll2->blockSignals(true);
    w.HScroll2->setRange(256, InstrumentState::LastIndex);
    w.HScroll2->setSingleStep(64);
    w.HScroll2->setPageStep(1024);
    w.HScroll2->setValue(512);
    w.HScroll2->blockSignals(false);
    w.HScroll1->blockSignals(true);
    w.HScroll1->setRange(0, InstrumentState::LastIndex);
    w.HScroll1->setSingleStep(1);
    w.HScroll1->setPageStep(1000);
    w.HScroll1->setValue(0);
    w.HScroll1->blockSignals(false);
    w.Picture1->setBackColor(colours::Panel);
    w.Picture1->setScale(0, 10, InstrumentState::LastIndex, s.FullScale);
    w.Picture2->setBackColor(colours::Navy);
    w.Picture2->setScale(0, 0, InstrumentState::LastIndex, 1);
    w.Picture2->ForeColor = colours::Yellow;
}

// The panel titles and fixed texts.
void drawTitles(WQK& w) {
    const InstrumentState& s = w.state();
    w.DelayWin->setBackColor(colours::LightGreen);
    w.DelayWin->CurrentX = 0;
    w.DelayWin->CurrentY = 20;
    w.DelayWin->Print("  Normal");
    title(w.Picture5, "TRIGGER", colours::Navy);
    title(w.Picture6, "DISPLAY", colours::Navy);
    w.Picture6->CurrentX = 40;
    w.Picture6->CurrentY = 460;
    w.Picture6->Print("Ch", false);
    w.Picture6->CurrentX = 1300;
    w.Picture6->Print("Dac", false);
    title(w.Picture3, "CH A", s.colourA());
    title(w.Picture4, "CH B", s.colourB());
    title(w.samdisp, " SAMPLING RATE         SAMPLING SIZE", colours::Navy, 0, 0, 6);
    title(w.GENPICTURE, "GENERATOR SETUP", colours::Navy);
}

// Every panel drawn from the state.
void drawPanels(WQK& w) {
    w.GENFREQDISP->FontSize = 9;
    w.Picture7->Cls();
    w.Picture7->CurrentX = 0;
    w.Picture7->CurrentY = 0;
    w.Picture7->FontSize = 8;
    w.Picture7->Print(" up-- X Magnify --down");
    w.HScroll1_Change();
    w.CHANA();
    w.CHANB();
    w.TRIGGER();
    w.DSAMPLE();
    w.SMODEDISP();
    w.SDISPLAY();
    w.TRIGGER();
    w.GENDISP();
    w.RANGEBENABLE();
}
} // namespace

void WQK::showDetectionByte() {
    CURSINFO->Cls();
    CURSINFO->CurrentX = 0;
    CURSINFO->CurrentY = 0;
    CURSINFO->Print(vb::NumberText(s.StatusDiff));
    DoEvents();
    Pause(500);
    CURSINFO->Cls();
}

void WQK::Form_Activate() {
    if (!inst_->openPort()) {
        endProgram(1);
        return;
    }
    inst_->resetRecord();
    hideAtStart(*this);
    resetDisplay(*this);
    drawTitles(*this);
    // Port configuration, detection (the port window when needed) and first commands.
    if (!inst_->configurePort()) return;
    drawPanels(*this);
    GOBUTTON->setFocus();
    SCOPEMODE->setEnabled(true);
    scrollcalca();
    scrollcalcB();
}

void WQK::Command22_Click() {
    if (plat::MsgBox("EXIT Scope Program ?", plat::Buttons::OKCancel, "Exit Confirmation") ==
        plat::Answer::Cancel)
        return;
    endProgram();
}

void WQK::Form_Unload() {
    unloaded_ = true;
    inst_->shutdown();
}
