// The twelve procedures that enable or disable a panel of controls. The mode
// application and run control use them to lock panels.
#include "app/wqk.h"
#include "platform/colours.h"

namespace {
void enableAll(std::initializer_list<QWidget*> ws, bool on) {
    for (QWidget* w : ws)
        w->setEnabled(on);
}
} // namespace

void WQK::RANGEADISABLE() {
    enableAll({Command3, Command2, Command4}, false);
}
void WQK::RANGEAENABLE() {
    enableAll({Command3, Command2, Command4}, true);
}
void WQK::RANGEBDISABLE() {
    enableAll({Command6, Command7, Command5}, false);
}

void WQK::RANGEBENABLE() {
    if (!s.chanBFitted()) {
        RANGEBDISABLE();
        Command19->setEnabled(false);
    } else {
        enableAll({Command6, Command7, Command5}, true);
    }
}

void WQK::GENDISABLE() {
    enableAll({GENMODEBUTTON, GENSTYLEBUTTON, GENAMPBUTTON, SWRATIOBUTTON, GENUPDATEBUTTON,
               GENLFREQBUTTONN, GENLFREQBUTTONP, GENSFREQBUTTONN, GENSFREQBUTTONP, DCUP, DCDOWN},
              false);
    GENUPDATEBACK->setBackColor(colours::PaleGreen);
}

void WQK::GENENABLE() {
    enableAll({GENMODEBUTTON, GENSTYLEBUTTON, GENAMPBUTTON, SWRATIOBUTTON, GENUPDATEBUTTON,
               GENLFREQBUTTONN, GENLFREQBUTTONP, GENSFREQBUTTONN, GENSFREQBUTTONP, DCUP, DCDOWN},
              true);
}

void WQK::TRIGGERDISABLE() {
    enableAll({TMODEBUTTON, TSOURCEBUTTON, PRETRIGBUTTON, TSLOPEBUTTON, TriglevelBUTTON, TRLARGEN,
               TRSMALLN, TRLARGEP, TRSMALLP, TRESETBUTTON},
              false);
}

void WQK::TRIGGERENABLE() {
    // The level controls are left alone: the trigger panel enables them in TRIG mode only.
    enableAll({TMODEBUTTON, TSOURCEBUTTON, PRETRIGBUTTON, TSLOPEBUTTON, TRESETBUTTON}, true);
}

void WQK::SAMPLEDISABLE() {
    enableAll({SRATEN, SRATEP, SSIZEN, SSIZEP}, false);
}
void WQK::SAMPLEENABLE() {
    enableAll({SRATEN, SRATEP, SSIZEN, SSIZEP}, true);
}

void WQK::FILEDISABLE() {
    enableAll({Command22, Command1, helpbutton, fileloadbutton, filesavebutton, SETUP}, false);
}

void WQK::FILEENABLE() {
    enableAll({Command22, Command1, helpbutton, fileloadbutton, filesavebutton, SETUP}, true);
}
