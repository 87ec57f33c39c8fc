// Horizontal position and magnification: the X Magnify bar and the Normal/Delay box.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/paint.h"
#include "instrument/instrument.h"
#include "platform/colours.h"

#include <QSignalBlocker>

void WQK::HScroll2_Change() {
    s.XMagnify = HScroll2->value();
    const int lmax = int(display::lastIndexOf(s));
    {
        // A maximum below the value moves the value; the window follows it here instead
        // of through a second change event.
        QSignalBlocker block(HScroll2);
        HScroll2->setRange(std::min(256, lmax), lmax);
    }
    if (HScroll2->value() != s.xMagnify()) s.XMagnify = HScroll2->value();
    HScroll1_Change();
}

void WQK::DelayWin_Click() {
    inst_->applyDelayMode(s.DelayMode == 0);
    DelayWin->Cls();
    const bool delay = s.DelayMode == 1;
    display::setBack(DelayWin, delay ? colours::Pink : colours::LightGreen);
    display::printAt(DelayWin, 0, 20, delay ? "   Delay" : "  Normal");
}
