#pragma once
// What the instrument tells whoever shows it. Every call does nothing here, so a
// caller without a window leaves it as it is; the window overrides what it shows.
#include "instrument/locks.h"

class InstrumentView {
  public:
    virtual ~InstrumentView() = default;

    // The two lines over the display during a run ("Waiting For Trigger", ...).
    virtual void showRunMessage(const char* /*line1*/, const char* /*line2*/) {}
    virtual void hideRunMessage() {}
    // A run has started: lock the controls that must not change during it. And ended:
    // unlock them as the mode allows.
    virtual void runStarted() {}
    virtual void runEnded() {}
    // The settings of a capture that has delivered data are in the record: the sampling
    // boxes and the display window follow.
    virtual void captureRecorded() {}
    // The record has changed what the display shows: draw it again.
    virtual void redraw() {}
    // A new generator wave is in the record (the generator panel follows it).
    virtual void waveUpdated() {}
    // CUSTOM mode takes its wave from a file: the window asks for one. Without a window
    // the wave in the record stays.
    virtual void loadCustomWave() {}
    // No valid port in the configuration, or no instrument on it: the window lets the
    // user choose one; without a window the port stays as it is.
    virtual void choosePort() {}
    // The port in use has changed (the window's title names it).
    virtual void portChanged() {}
    // The instrument has just been detected at start-up (the window shows the detection
    // byte for a moment).
    virtual void detected() {}
    // Whether the control named so takes a click now: the window's own controls say;
    // without a window, the rule of locks.h.
    virtual bool enabled(const char* control, const InstrumentState& s) const {
        return instrument::enabledWithoutWindow(control, s);
    }
    // A setting has been changed as the button named so would (empty for several): the
    // panels follow the record.
    virtual void settingsChanged(const char* /*control*/) {}
    // A profile has been taken into the record: the panels follow it as after LOAD.
    // False when nothing shows it (the instrument then derives the fields itself).
    virtual bool profileLoaded() { return false; }
    // The program is going away: a loop in progress ends as if STOP were pressed.
    virtual bool ended() const { return false; }
};
