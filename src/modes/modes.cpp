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

namespace {
// SCOPE and FFT: the channel groups follow their channels, the generator is locked.
void scopeGroups(WQK& w) {
    InstrumentState& s = w.state();
    if (s.chanAOn())
        w.RANGEAENABLE();
    else
        w.RANGEADISABLE();
    if (!s.chanBOn())
        w.RANGEBDISABLE();
    else
        w.RANGEBENABLE();
    const int max = (1 << std::clamp(s.SampleSizeIndex, 0, 4)) * s.BufBase - 1;
    w.HScroll1->setMaximum(max);
    w.HScroll2->setMaximum(max);
    w.GENDISABLE();
    w.Command19->setEnabled(false);
    s.ShowD = -1;
    if (s.genMode() != 2) w.DSAMPLE();
}

// GENERATOR and SCOPE+GEN: GENERATOR has no channel groups; the generator is usable.
void generatorGroups(WQK& w, modes::Mode mode) {
    InstrumentState& s = w.state();
    if (!s.chanAOn() || mode == modes::Generator)
        w.RANGEADISABLE();
    else
        w.RANGEAENABLE();
    if (!s.chanBOn() || mode == modes::Generator)
        w.RANGEBDISABLE();
    else
        w.RANGEBENABLE();
    s.LevelSetMode = 0;
    w.GENENABLE();
    w.Command19->setEnabled(true);
    w.SDISPLAY();
}

// The trigger and sampling groups, and the display toggles a mode allows.
void modeToggles(WQK& w, modes::Mode mode) {
    InstrumentState& s = w.state();
    if (mode == modes::Generator || mode == modes::ScopeGen) {
        w.TRIGGERDISABLE();
        // Single or repeated generate-and-sample stays selectable.
        if (mode == modes::ScopeGen) w.TRESETBUTTON->setEnabled(true);
        w.SAMPLEDISABLE();
        w.SRATEDISP->Cls();
        w.SSIZEDISP->Cls();
        if (s.genMode() != 2) w.GENUPDATEBACK->setBackColor(colours::Red);
    } else {
        w.TRIGGERENABLE();
        w.SAMPLEENABLE();
    }
    if (mode == modes::Generator) {
        for (VbButton* b : {w.Command17, w.Command18, w.Command20, w.Command21})
            b->setEnabled(false);
        s.ShowD = 1;
    } else {
        w.Command20->setEnabled(true);
        w.Command21->setEnabled(true);
        w.Command17->setEnabled(true);
        w.Command18->setEnabled(s.chanBFitted());
    }
    w.HScroll2_Change();
    w.Command12->setEnabled(mode != modes::FFT);
    if (mode == modes::FFT) {
        w.Command20->setEnabled(false);
        w.Command21->setEnabled(false);
    }
}
} // namespace

void WQK::SMODEDISP() {
    const modes::Mode mode = s.mode();
    if (mode == modes::Scope || mode == modes::FFT)
        scopeGroups(*this);
    else
        generatorGroups(*this, mode);
    modeToggles(*this, mode);
    SCOPEMODE->Cls();
    SCOPEMODE->CurrentX = 0;
    SCOPEMODE->CurrentY = 60;
    SCOPEMODE->FontBold = true;
    SCOPEMODE->FontSize = 10;
    SCOPEMODE->Print(modes::caption(mode));
}
