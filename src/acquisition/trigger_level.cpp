// The four trigger-level arrows: one step on a press or a key, and auto-repeat while
// a button is held (first repeat after 300 ms, then every 50 ms).
#include "app/wqk.h"
#include "instrument/instrument.h"
#include "platform/clock.h"

namespace {

enum class Step { Large, Small };
enum class Way { Down, Up }; // Down: N buttons, the level value grows (lower voltage)

void oneStep(WQK& w, Step size, Way way) {
    InstrumentState& s = w.state();
    const double step = size == Step::Large ? s.levelStepLarge() : double(s.LevelStepSmall);
    double level = s.trigLevel();
    if (way == Way::Down) {
        level += step;
        if (level > s.FullScale - 10) level = s.FullScale - 10;
    } else {
        level -= step;
        if (level < 10) level = 10;
    }
    w.instrument().applyTriggerLevel(level);
    w.trcursdraw();
}

void press(WQK& w, Step size, Way way) {
    InstrumentState& s = w.state();
    if (!s.levelSetOn()) return;
    oneStep(w, size, way);
    s.ButtonHeld = 1;
    Pause(100);
    DoEvents();
    Pause(100);
    DoEvents();
    Pause(100);
    while (true) {
        DoEvents();
        if (!s.buttonHeld()) break;
        Pause(50);
        if (!s.buttonHeld()) break;
        // A release that never arrives (the button was disabled under the mouse, or
        // the window is going away) must not leave the level running.
        if (!s.levelSetOn() || w.ended()) break;
        oneStep(w, size, way);
    }
}

void key(WQK& w, Step size, Way way) {
    if (w.state().levelSetOn()) oneStep(w, size, way);
}

} // namespace

void WQK::TRLARGEN_MouseDown() {
    press(*this, Step::Large, Way::Down);
}
void WQK::TRSMALLN_MouseDown() {
    press(*this, Step::Small, Way::Down);
}
void WQK::TRLARGEP_MouseDown() {
    press(*this, Step::Large, Way::Up);
}
void WQK::TRSMALLP_MouseDown() {
    press(*this, Step::Small, Way::Up);
}
void WQK::TRLARGEN_KeyDown() {
    key(*this, Step::Large, Way::Down);
}
void WQK::TRSMALLN_KeyDown() {
    key(*this, Step::Small, Way::Down);
}
void WQK::TRLARGEP_KeyDown() {
    key(*this, Step::Large, Way::Up);
}
void WQK::TRSMALLP_KeyDown() {
    key(*this, Step::Small, Way::Up);
}
void WQK::TRLARGEN_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::TRSMALLN_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::TRLARGEP_MouseUp() {
    s.ButtonHeld = 0;
}
void WQK::TRSMALLP_MouseUp() {
    s.ButtonHeld = 0;
}
