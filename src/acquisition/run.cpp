// The window's side of a run: GO turns STOP and the panels that must not change during
// the run are locked; at its end GO comes back and they unlock as the mode allows. The
// run itself is the instrument's.
#include "app/wqk.h"
#include "instrument/instrument.h"
#include "platform/colours.h"

void WQK::GOBUTTON_Click() {
    inst_->goStop();
}

void WQK::GOMODE() {
    inst_->GOMODE();
}

void WQK::TRESETBUTTON_Click() {
    inst_->applyRepeat(s.RunRepeat == 0);
    TRIGGER();
}

void WQK::lockForRun() {
    GOCOLOR->setBackColor(colours::Green);
    GOBUTTON->setFontSize(8);
    GOBUTTON->setCaption("STOP");
    if (s.mode() != modes::Scope) {
        RANGEADISABLE();
        RANGEBDISABLE();
        SAMPLEDISABLE();
        TRIGGERDISABLE();
        if (s.mode() == modes::ScopeGen) TRESETBUTTON->setEnabled(true);
    }
    FILEDISABLE();
    GENDISABLE();
    SCOPEMODE->setEnabled(false);
}

void WQK::unlockAfterRun() {
    const modes::Mode mode = s.mode();
    GOBUTTON->setFontSize(10);
    GOBUTTON->setCaption("GO");
    GOCOLOR->setBackColor(colours::Red);
    if (mode == modes::Scope || mode == modes::FFT) {
        TRIGGERENABLE();
        SAMPLEENABLE();
    }
    if (mode != modes::Generator) {
        if (s.chanAOn())
            RANGEAENABLE();
        else
            RANGEADISABLE();
        if (s.chanBOn())
            RANGEBENABLE();
        else
            RANGEBDISABLE();
    }
    SAMPLEENABLE();
    FILEENABLE();
    if (mode == modes::Generator || mode == modes::ScopeGen) GENENABLE();
    SCOPEMODE->setEnabled(true);
}
