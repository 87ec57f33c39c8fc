// The operating modes: the mode step of the SCOPEMODE indicator and the F button, and
// the application of a mode to the window's control groups.
#include "app/wqk.h"
#include "modes/mode_names.h"

#include <algorithm>

using plat::RGB;

namespace modes {

std::string caption(int mode) {
    switch (mode) {
    case 1:
        return "   GENERATOR";
    case 2:
        return "   SCOPE+GEN";
    case 3:
        return "            FFT";
    default:
        return "        SCOPE";
    }
}

} // namespace modes

void WQK::SCOPEMODE_Click() {
    long mode = s.ScopeMode.whole() + 1;
    if (mode == 1 && double(s.GenFitted) == 0) mode = 3; // no generator: no generator modes
    if (mode == 4) {
        // Leaving FFT: the samples saved on entry come back.
        std::copy(s.SaveA.begin(), s.SaveA.end(), s.ChanABuffer.begin());
        std::copy(s.SaveB.begin(), s.SaveB.end(), s.ChanBBuffer.begin());
        s.FFTDoneA = 0;
        s.FFTDoneB = 0;
    }
    if (mode > 3) mode = 0;
    s.ScopeMode = mode;
    if (mode == 1) s.CapturedSizeIndex = s.SampleSizeIndex;
    if (mode == 3) {
        std::copy(s.ChanABuffer.begin(), s.ChanABuffer.end(), s.SaveA.begin());
        std::copy(s.ChanBBuffer.begin(), s.ChanBBuffer.end(), s.SaveB.begin());
        s.BufBase = 1024;
        s.ShowAplusB = -1;
        s.ShowAminusB = -1;
        Command20->setEnabled(false);
        Command21->setEnabled(false);
    } else {
        s.BufBase = 2048;
        Command20->setEnabled(true);
        Command21->setEnabled(true);
    }
    const bool noChannelButtons = mode == 1 || mode == 3;
    for (PictureBox* p : {scrollupA, scrollupB, scrolldownA, scrolldownB})
        p->setVisible(!noChannelButtons);
    SMODEDISP();
    s.CursorMode = 0;
    SDISPLAY();
    GENDISP();
    TRIGGER();
    CURSINFO->setBackColor(double(s.CursorMode) > 0 ? RGB(255, 255, 192) : RGB(192, 192, 192));
    if (noChannelButtons) {
        Scrollup->hide();
        scrolldown->hide();
    }
    // Entering GENERATOR recomputes a built-in wave at once; a custom wave stays as loaded.
    if (mode == 1 && double(s.GenMode) < 2) GENUPDATEBUTTON_Click();
    scrollcalca();
    scrollcalcB();
}

void WQK::FFTbutton_Click() {
    if (double(s.ScopeMode) != 3) s.ScopeMode = 2;
    SCOPEMODE_Click();
}

void WQK::SMODEDISP() {
    const int mode = int(s.ScopeMode.whole());
    if (mode == 0 || mode == 3) {
        if (double(s.ChanAOn) == 1)
            RANGEAENABLE();
        else
            RANGEADISABLE();
        if (s.ChanBOn != 1)
            RANGEBDISABLE();
        else
            RANGEBENABLE();
        const int max = (1 << std::clamp(s.SampleSizeIndex, 0, 4)) * s.BufBase - 1;
        HScroll1->setMaximum(max);
        HScroll2->setMaximum(max);
        GENDISABLE();
        Command19->setEnabled(false);
        s.ShowD = -1;
        if (double(s.GenMode) != 2) DSAMPLE();
    } else {
        if (double(s.ChanAOn) == 0 || mode == 1)
            RANGEADISABLE();
        else
            RANGEAENABLE();
        if (s.ChanBOn == 0 || mode == 1)
            RANGEBDISABLE();
        else
            RANGEBENABLE();
        s.LevelSetMode = 0;
        GENENABLE();
        Command19->setEnabled(true);
        SDISPLAY();
    }
    if (mode == 1 || mode == 2) {
        TRIGGERDISABLE();
        // Single or repeated generate-and-sample stays selectable.
        if (mode == 2) TRESETBUTTON->setEnabled(true);
        SAMPLEDISABLE();
        SRATEDISP->Cls();
        SSIZEDISP->Cls();
        if (double(s.GenMode) != 2) GENUPDATEBACK->setBackColor(RGB(255, 0, 0));
    } else {
        TRIGGERENABLE();
        SAMPLEENABLE();
    }
    if (mode == 1) {
        for (VbButton* b : {Command17, Command18, Command20, Command21})
            b->setEnabled(false);
        s.ShowD = 1;
        HScroll2_Change();
    } else {
        Command20->setEnabled(true);
        Command21->setEnabled(true);
        Command17->setEnabled(true);
        Command18->setEnabled(double(s.ChanBFitted) != 0);
        HScroll2_Change();
    }
    if (mode == 3) {
        Command12->setEnabled(false);
        Command20->setEnabled(false);
        Command21->setEnabled(false);
    } else {
        Command12->setEnabled(true);
    }
    SCOPEMODE->Cls();
    SCOPEMODE->CurrentX = 0;
    SCOPEMODE->CurrentY = 60;
    SCOPEMODE->FontBold = true;
    SCOPEMODE->FontSize = 10;
    SCOPEMODE->Print(modes::caption(mode));
}
