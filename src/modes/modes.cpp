// The operating modes: the mode step of the SCOPEMODE indicator and the F button, and
// the application of a mode to the window's control groups.
#include "app/wqk.h"
#include "instrument/instrument.h"
#include "modes/mode_names.h"
#include "platform/colours.h"

#include <algorithm>

void WQK::SCOPEMODE_Click() {
    inst_->modeStepRecord();
    showMode(true);
}

void WQK::showMode(bool fromButton) {
    const modes::Mode mode = s.mode();
    Command20->setEnabled(mode != modes::FFT);
    Command21->setEnabled(mode != modes::FFT);
    const bool noChannelButtons = mode == modes::Generator || mode == modes::FFT;
    for (PictureBox* p : {scrollupA, scrollupB, scrolldownA, scrolldownB})
        p->setVisible(!noChannelButtons);
    SMODEDISP();
    if (fromButton) s.CursorMode = 0;
    SDISPLAY();
    GENDISP();
    TRIGGER();
    CURSINFO->setBackColor(s.cursorMode() > 0 ? colours::LightYellow : colours::Grey);
    if (noChannelButtons) {
        Scrollup->hide();
        scrolldown->hide();
    }
    // Entering GENERATOR recomputes a built-in wave at once; a custom wave stays as loaded.
    if (fromButton && mode == modes::Generator && s.genMode() < 2) GENUPDATEBUTTON_Click();
    scrollcalca();
    scrollcalcB();
    emit modeChanged();
}

void WQK::FFTbutton_Click() {
    if (s.mode() != modes::FFT) s.ScopeMode = modes::ScopeGen;
    SCOPEMODE_Click();
}

void WQK::SMODEDISP() {
    const modes::Mode mode = s.mode();
    if (mode == modes::Scope || mode == modes::FFT)
        scopeGroups();
    else
        generatorGroups(mode);
    modeToggles(mode);
    SCOPEMODE->Cls();
    SCOPEMODE->CurrentX = 0;
    SCOPEMODE->CurrentY = 60;
    SCOPEMODE->FontBold = true;
    SCOPEMODE->FontSize = 10;
    SCOPEMODE->Print(modes::caption(mode));
}

// SCOPE and FFT: the channel groups follow their channels, the generator is locked.
void WQK::scopeGroups() {
    if (s.chanAOn())
        RANGEAENABLE();
    else
        RANGEADISABLE();
    if (!s.chanBOn())
        RANGEBDISABLE();
    else
        RANGEBENABLE();
    const int max = (1 << std::clamp(s.SampleSizeIndex, 0, 4)) * s.BufBase - 1;
    HScroll1->setMaximum(max);
    HScroll2->setMaximum(max);
    GENDISABLE();
    Command19->setEnabled(false);
    s.ShowD = -1;
    if (s.genMode() != 2) DSAMPLE();
}

// GENERATOR and SCOPE+GEN: GENERATOR has no channel groups; the generator is usable.
void WQK::generatorGroups(modes::Mode mode) {
    if (!s.chanAOn() || mode == modes::Generator)
        RANGEADISABLE();
    else
        RANGEAENABLE();
    if (!s.chanBOn() || mode == modes::Generator)
        RANGEBDISABLE();
    else
        RANGEBENABLE();
    s.LevelSetMode = 0;
    GENENABLE();
    Command19->setEnabled(true);
    SDISPLAY();
}

// The trigger and sampling groups, and the display toggles a mode allows.
void WQK::modeToggles(modes::Mode mode) {
    if (mode == modes::Generator || mode == modes::ScopeGen) {
        TRIGGERDISABLE();
        // Single or repeated generate-and-sample stays selectable.
        if (mode == modes::ScopeGen) TRESETBUTTON->setEnabled(true);
        SAMPLEDISABLE();
        SRATEDISP->Cls();
        SSIZEDISP->Cls();
        if (s.genMode() != 2) GENUPDATEBACK->setBackColor(colours::Red);
    } else {
        TRIGGERENABLE();
        SAMPLEENABLE();
    }
    if (mode == modes::Generator) {
        for (VbButton* b : {Command17, Command18, Command20, Command21})
            b->setEnabled(false);
        s.ShowD = 1;
    } else {
        Command20->setEnabled(true);
        Command21->setEnabled(true);
        Command17->setEnabled(true);
        Command18->setEnabled(s.chanBFitted());
    }
    HScroll2_Change();
    Command12->setEnabled(mode != modes::FFT);
    if (mode == modes::FFT) {
        Command20->setEnabled(false);
        Command21->setEnabled(false);
    }
}
