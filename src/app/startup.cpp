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
    hideAtStart();
    resetDisplay();
    drawTitles();
    // Port configuration, detection (the port window when needed) and first commands.
    if (!inst_->configurePort()) return;
    drawPanels();
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

// The buttons and windows that start hidden, the run message box and the GO indicator.
void WQK::hideAtStart() {
    for (QWidget* b : std::initializer_list<QWidget*>{CopyAbutton, CopyBbutton, DCUP, DCDOWN,
                                                      FFTloadab, fftsaveab})
        b->hide();
    Trigwait->setBackColor(colours::LightYellow);
    Trigwait->setScale(0, 0, 100, 100);
    Trigwait->hide();
    for (PictureBox* p : {fileloadwindow, filesavewindow, helpwindow, CONFIGWINDOW, printwindow})
        p->hide();
    TRESETBUTTON->setCaption("Single");
    GOCOLOR->setBackColor(colours::Red); // stopped
    for (PictureBox* p : {Picture1, Picture3, Picture4, Picture5, Picture6, Picture7, samdisp,
                          GENPICTURE, CURSINFO, levelval, SRATEDISP, SSIZEDISP, GENFREQDISP})
        p->FontName = "Arial";
}

// The two scroll bars, the signal display and the buffer bar at their start.
void WQK::resetDisplay() {
    HScroll2->blockSignals(true);
    HScroll2->setRange(256, InstrumentState::LastIndex);
    HScroll2->setSingleStep(64);
    HScroll2->setPageStep(1024);
    HScroll2->setValue(512);
    HScroll2->blockSignals(false);
    HScroll1->blockSignals(true);
    HScroll1->setRange(0, InstrumentState::LastIndex);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1000);
    HScroll1->setValue(0);
    HScroll1->blockSignals(false);
    Picture1->setBackColor(colours::Panel);
    Picture1->setScale(0, 10, InstrumentState::LastIndex, s.FullScale);
    Picture2->setBackColor(colours::Navy);
    Picture2->setScale(0, 0, InstrumentState::LastIndex, 1);
    Picture2->ForeColor = colours::Yellow;
}

// The panel titles and fixed texts.
void WQK::drawTitles() {
    DelayWin->setBackColor(colours::LightGreen);
    DelayWin->CurrentX = 0;
    DelayWin->CurrentY = 20;
    DelayWin->Print("  Normal");
    title(Picture5, "TRIGGER", colours::Navy);
    title(Picture6, "DISPLAY", colours::Navy);
    Picture6->CurrentX = 40;
    Picture6->CurrentY = 460;
    Picture6->Print("Ch", false);
    Picture6->CurrentX = 1300;
    Picture6->Print("Dac", false);
    title(Picture3, "CH A", s.colourA());
    title(Picture4, "CH B", s.colourB());
    title(samdisp, " SAMPLING RATE         SAMPLING SIZE", colours::Navy, 0, 0, 6);
    title(GENPICTURE, "GENERATOR SETUP", colours::Navy);
}

// Every panel drawn from the state.
void WQK::drawPanels() {
    GENFREQDISP->FontSize = 9;
    Picture7->Cls();
    Picture7->CurrentX = 0;
    Picture7->CurrentY = 0;
    Picture7->FontSize = 8;
    Picture7->Print(" up-- X Magnify --down");
    HScroll1_Change();
    CHANA();
    CHANB();
    TRIGGER();
    DSAMPLE();
    SMODEDISP();
    SDISPLAY();
    TRIGGER();
    GENDISP();
    RANGEBENABLE();
}

void WQK::updateTitle() {
    std::string t = "WQK Scope & Generator";
    if (auto* b = plat::portBackend()) t += " - " + b->name();
    t += " - LPT" + std::to_string(s.LptNumber);
    setWindowTitle(QString::fromStdString(t));
}

void WQK::endProgram(int code) {
    if (!unloaded_) Form_Unload();
    ended_ = true;
    hide();
    if (onEnd) onEnd(code);
}
