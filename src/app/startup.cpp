// Start-up, EXIT and shutdown of the main window.
#include "app/wqk.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "platform/port.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <algorithm>

using plat::RGB;

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
}  // namespace

void WQK::Form_Activate() {
    // 1. Port access, with one retry.
    if (!InitializeWinIo() && !InitializeWinIo()) {
        plat::MsgBox(
            "Printer port initialisation problem. Administrator privileges required to run "
            "this program",
            plat::Buttons::OK, "", plat::Icon::Critical);
        endProgram(1);
        return;
    }
    // 2. Every field to its start value.
    s.reset();

    // 3. Controls.
    CopyAbutton->hide();
    CopyBbutton->hide();
    DCUP->hide();
    DCDOWN->hide();
    FFTloadab->hide();
    fftsaveab->hide();
    Trigwait->setBackColor(0xC0FFFF);
    Trigwait->setScale(0, 0, 100, 100);
    Trigwait->hide();
    for (PictureBox* p : {fileloadwindow, filesavewindow, helpwindow, CONFIGWINDOW, printwindow})
        p->hide();
    TRESETBUTTON->setCaption("Single");
    GOCOLOR->setBackColor(255);  // red: stopped
    for (PictureBox* p : {Picture1, Picture3, Picture4, Picture5, Picture6, Picture7, samdisp,
                          GENPICTURE, CURSINFO, levelval, SRATEDISP, SSIZEDISP, GENFREQDISP})
        p->FontName = "Arial";
    HScroll2->blockSignals(true);
    HScroll2->setRange(256, 32767);
    HScroll2->setSingleStep(64);
    HScroll2->setPageStep(1024);
    HScroll2->setValue(512);
    HScroll2->blockSignals(false);
    HScroll1->blockSignals(true);
    HScroll1->setRange(0, 32767);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1000);
    HScroll1->setValue(0);
    HScroll1->blockSignals(false);
    s.XMagnify = 512;
    s.ScrollPos = 0;
    Picture1->setBackColor(RGB(224, 224, 224));
    Picture1->setScale(0, 10, 32767, 2560);
    Picture2->setBackColor(RGB(0, 0, 128));
    Picture2->setScale(0, 0, 32767, 1);
    Picture2->ForeColor = RGB(255, 255, 0);

    DelayWin->setBackColor(RGB(192, 255, 192));
    DelayWin->CurrentX = 0;
    DelayWin->CurrentY = 20;
    DelayWin->Print("  Normal");
    title(Picture5, "TRIGGER", 0x800000);
    title(Picture6, "DISPLAY", 0x800000);
    Picture6->CurrentX = 40;
    Picture6->CurrentY = 460;
    Picture6->Print("Ch", false);
    Picture6->CurrentX = 1300;
    Picture6->Print("Dac", false);
    title(Picture3, "CH A", int(s.ColourA));
    title(Picture4, "CH B", int(s.ColourB));
    title(samdisp, " SAMPLING RATE         SAMPLING SIZE", 0x800000, 0, 0, 6);
    title(GENPICTURE, "GENERATOR SETUP", 0x800000);

    // 4..6. Port configuration and instrument detection.
    Checkconfig();
    if (ended_) return;
    initport();
    updateTitle();
    if (s.ModelCode == 0) {
        Configport();
        if (ended_) return;
        updateTitle();
    }

    // 7.
    s.ReadCount = 360;
    s.GenCount = 360;
    s.PreTrigCount = 1;

    // 8. The detection byte, shown briefly.
    CURSINFO->Cls();
    CURSINFO->CurrentX = 0;
    CURSINFO->CurrentY = 0;
    CURSINFO->Print(vb::NumberText(s.StatusDiff));
    DoEvents();
    Pause(500);
    CURSINFO->Cls();

    // 9. First commands to the instrument.
    ClearGeneratorMemory();
    SETCHAB();

    // 10.
    GENFREQDISP->FontSize = 9;
    Picture7->Cls();
    Picture7->CurrentX = 0;
    Picture7->CurrentY = 0;
    Picture7->FontSize = 8;
    Picture7->Print(" up-- X Magnify --down");

    // 11. Every panel from the state.
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

    // 12.
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
    // Nothing is sent to the instrument: a generator that is playing keeps playing.
    ShutdownWinIo();
}
