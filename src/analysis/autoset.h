#pragma once
// Auto-set: from a few probing captures, the settings that show the signals on the
// inputs. For each channel on the smallest range that holds its signal, DC coupled;
// the rate, size and display window that show about three periods of A's fundamental
// (else B's); the trigger on the larger periodic signal, rising, at its mid level;
// UNITS on. Without a periodic signal: the range for the level, instant trigger and
// the rate as it was. It works through the instrument's setters and captures only.
#include <string>

class Instrument;

namespace analysis {

// Rate, buffer size and display window for a fundamental: the fastest rate at which
// three periods fit an 8K buffer (so a Repeat run reads little over the port), the display window
// holding them (never below the 256 samples of the X Magnify bar) and the smallest buffer that
// holds the window.
struct Timebase {
    int rateIndex = 0, sizeIndex = 0;
    long window = 0;
};
Timebase timebaseFor(double frequencyHz, double rateFactor);

struct AutosetResult {
    bool done = false;     // false: refused, stopped or timed out; `message` says why
    bool timedOut = false; // a probing capture did not end in time
    bool periodic = false; // a fundamental was found
    double frequencyHz = 0;
    char reference = 0;  // 'A' or 'B': the channel whose fundamental set the rate
    std::string message; // what it did or why not, in one line ("no periodic signal; ...")
};

// Runs in SCOPE mode while stopped, with at least one channel on.
AutosetResult autoset(Instrument& inst);

} // namespace analysis
