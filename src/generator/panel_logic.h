#pragma once
// The generator panel's rules without the widgets: the texts it shows, the sweep start
// table, the custom amplitude ratio, the crops and the frequency steps.
#include "app/instrument_state.h"

#include <string>

namespace gen {

// Sweep start table: nominal start frequency (x RateFactor on screen), base flag
// (0: 400-step first cycle, 1: 200-step) and step clock index.
struct SweepStart {
    double nominal;
    int half;
    int rateIndex;
};
// false for an index outside 0..9.
bool sweepStart(int index, SweepStart& out);

// Everything GENDISP prints, in the panel's own words.
struct PanelTexts {
    std::string mode;      // "NORMAL ", "SWEEP   ", "CUSTOM "
    std::string amplitude; // "2V p-p", "1V p-p", or 13 blanks in CUSTOM
    std::string label;     // frequency label
    std::string freq;      // frequency display
    std::string secondary; // sweep factor, duty cycle, amplitude ratio or 13 blanks
};

// For a generator mode: brings the sweep fields (SWEEP) or the output wave (CUSTOM, from
// CustomWave by the amplitude ratio) in line with the settings, as the panel redraw
// does, and returns the texts to show.
PanelTexts applyPanelState(InstrumentState& s);

// Custom step-rate text for CustomRateIndex 0..4 ("" outside).
std::string customRateText(int index, float rateFactor);
// A number as text without the blank a non-negative number prints with.
std::string plainNumber(double v);

// Derives GenWave[0..last] from CustomWave by the amplitude ratio (0 x1, 1 x2, 2 x5,
// 3 MAX) and records the extremes, mid level and factor in the state.
void deriveCustomWave(InstrumentState& s, long last);

// Index of the last point as a buffer index (0..32767).
long lastIndex(const InstrumentState& s);
// The buffer position under the cursor.
long cursorBufferPos(const InstrumentState& s);
// Crops: return the new GenLast. At least ten points (0..9) remain; the wave never grows.
long cropLeft(std::vector<int16_t>& wave, std::vector<int16_t>& custom, long genLast, long pos);
long cropRight(long genLast, long pos);

// Frequency steps, clamped to 5..500000 Hz.
long stepFreq(long f, long delta);
// Step of a held large button: 5000 while above 200000 Hz, else 2500.
long largeRepeatStep(long f);

} // namespace gen
