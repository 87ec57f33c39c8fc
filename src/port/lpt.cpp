// Port initialisation with instrument detection, the configuration file, the
// port-selection window and the power test.
#include "app/wqk.h"
#include "device/commands.h"
#include "device/protocol.h"
#include "platform/clock.h"
#include "platform/colours.h"
#include "platform/port.h"
#include "port/config_file.h"

void WQK::initport() {
    int base = portcfg::baseAddress(s.LptNumber);
    // LptNumber is kept within 1..3; should it ever not be, stay on LPT1 rather than
    // address a port that does not exist.
    if (base == 0) base = cmd::Lpt1Base;
    s.DataPort = base + cmd::DataOffset;
    s.StatusPort = base + cmd::StatusOffset;
    s.ControlPort = base + cmd::ControlOffset;
    s.EcrPort = base + cmd::EcrOffset;
    const int dataReg = s.dataPort(), statusReg = s.statusPort(), controlReg = s.controlPort();
    const int ecr = base + cmd::EcrOffset;

    vbOut(ecr, cmd::EcrByteMode);
    vbOut(dataReg, 0);
    vbOut(controlReg, cmd::CtlIdle);
    vbOut(dataReg, s.CmdPrefix);
    vbOut(controlReg, cmd::CtlCommand);
    vbOut(dataReg, cmd::Idle);
    vbOut(controlReg, cmd::CtlIdle);
    vbOut(ecr, cmd::EcrByteMode);
    // The status lines that follow data bit 7 tell the model and its options.
    vbOut(dataReg, 0);
    const int s0 = vbInp(statusReg);
    vbOut(dataReg, cmd::DetectBit);
    const int s1 = vbInp(statusReg);

    s.StatusDiff = int16_t(s0 ^ s1);
    s.ChanBFitted = s.StatusDiff & cmd::StatusChanB;
    s.GenFitted = s.StatusDiff & cmd::StatusGenerator;
    s.ModelCode = int16_t((s.StatusDiff & cmd::StatusModel) >> cmd::StatusModelShift);
    s.RateFactor = (s.ModelCode == 2 || s.ModelCode == 3) ? 1.5f : 1.0f;
}

void WQK::Checkconfig() {
    bool valid = false;
    if (auto n = portcfg::read(portcfg::FileName)) {
        // Only the whole numbers 1..3 are taken: anything else (0.5 would round to 0,
        // 3.5 to 4) leaves LptNumber as it is and the selection window lets the user
        // choose, so no port that does not exist is shown or written back.
        const double v = *n;
        valid = v == 1 || v == 2 || v == 3;
        if (valid) s.LptNumber = int16_t(v);
    }
    if (!valid) Configport();
}

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
    if (writesPortConfig) portcfg::write(portcfg::FileName, s.LptNumber);
    w->hide();
}

void WQK::Testpower() {
    proto::CommandPulse(link(), cmd::Reset);
    s.PowerFault = 0;
    s.PowerFault = int16_t(vbInp(s.statusPort()) & cmd::StatusDone);
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
