// The UPDATE button: recompute the generator wave from the panel settings, or in CUSTOM
// mode fetch a custom wave through the load window.
#include "app/wqk.h"
#include "instrument/instrument.h"
#include "platform/colours.h"

void WQK::GENUPDATEBUTTON_Click() {
    inst_->updateGenerator();
}

void WQK::loadCustomWave() {
    s.LoadFromButton = 0;
    s.LoadDone = 0;
    FILELOAD(); // the load window in its custom-wave form, until it closes
    if (s.loadDone()) {
        s.GenDirty = 0;
        GENUPDATEBACK->setBackColor(colours::PaleGreen);
        DSAMPLE();
    }
    HScroll1_Change();
}

void WQK::showNewWave() {
    // D is +1 or -1, never 0: the display always follows the new wave.
    HScroll2_Change();
    GENUPDATEBACK->setBackColor(colours::PaleGreen);
    DSAMPLE();
    GENDISP();
}
