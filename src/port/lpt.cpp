// The port-selection window and its buttons.
#include "app/wqk.h"
#include "platform/clock.h"
#include "platform/colours.h"
#include "port/config_file.h"

namespace {
// Places of the texts in the port-selection window (twips of the window).
constexpr int TitleX = 600, TitleY = 300;
constexpr int CurrentY0 = 900;
constexpr int StatusY = 1350;
constexpr int StatusX = 600;
constexpr int LptTextX = 1700;
} // namespace

void WQK::Configport() {
    PictureBox* w = CONFIGWINDOW;
    s.ConfigExitFlag = 0;
    w->setBackColor(colours::Panel);
    w->ForeColor = colours::MenuBlue;
    w->show();
    w->raise();
    w->Cls();

    w->FontBold = true;
    w->FontSize = 14;
    w->CurrentX = TitleX;
    w->CurrentY = TitleY;
    w->Print("Parallel port selection for WQK Scope");
    w->FontBold = false;
    w->FontSize = 12;
    w->CurrentX = TitleX;
    w->CurrentY = CurrentY0;
    w->Print("WQK is currently configured for  LPT" + vb::NumberText(s.LptNumber));
    w->CurrentX = StatusX;
    w->CurrentY = StatusY;
    w->Print("Status: ", false);
    const double statusTextX = w->CurrentX;
    w->FontSize = 10;
    const char* texts[3] = {"Click this if WQK is plugged into LPT1 (address 378H)",
                            "Click this if WQK is plugged into LPT2 (address 278H)",
                            "Click this if WQK is plugged into LPT3 (address 3BCH)"};
    VbButton* buttons[3] = {SETLPT1, SETLPT2, SETLPT3};
    for (int i = 0; i < 3; ++i) {
        QRect r = buttons[i]->property("designRect").toRect();
        w->CurrentX = LptTextX;
        w->CurrentY = r.y() + 100;
        w->Print(texts[i]);
    }
    w->FontSize = 12;

    initport();
    w->CurrentX = statusTextX;
    w->CurrentY = StatusY;
    if (s.ModelCode != 0) {
        w->Print(" FOUND ", false);
    } else {
        w->ForeColor = colours::Red;
        w->Print(" NOT FOUND ", false);
        w->ForeColor = colours::MenuBlue;
    }

    int shown = s.LptNumber;
    while (s.ConfigExitFlag == 0) {
        DoEvents();
        if (ended_) return; // the program was ended from inside this loop
        if (s.LptNumber != shown) {
            shown = s.LptNumber;
            w->FontTransparent = false;
            w->FontSize = 12;
            w->CurrentX = StatusX;
            w->CurrentY = StatusY;
            w->Print("Status: ", false);
            w->Print(" LPT" + vb::NumberText(s.LptNumber) + " ", false);
            initport();
            if (s.ModelCode != 0) {
                w->Print("  >>FOUND<<   ", false);
            } else {
                w->ForeColor = colours::Red;
                w->Print("  NOT FOUND ", false);
                w->ForeColor = colours::MenuBlue;
            }
            // Wipe what a longer earlier text left behind.
            w->Print("          ", false);
            w->FontTransparent = true;
        }
    }

    // Written on every exit from the window, changed or not; errors are not reported.
    portcfg::write(portcfg::FileName, s.LptNumber);
    w->hide();
}

void WQK::SETUP_Click() {
    Configport();
}
void WQK::SETLPT1_Click() {
    s.LptNumber = 1;
}
void WQK::SETLPT2_Click() {
    s.LptNumber = 2;
}
void WQK::SETLPT3_Click() {
    s.LptNumber = 3;
}
void WQK::CONFIGEXIT_Click() {
    s.ConfigExitFlag = 1;
}
