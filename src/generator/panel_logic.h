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

// The sweep fields as the panel brings them in line with the start index and ratio:
// the start frequency (x RateFactor), the base flag and step clock of the start table,
// and the factor of the ratio (X20 from a 200-step base is taken back to X10).
struct SweepFields {
    double startFreq = 0;
    int half = 1, rateIndex = 0, factor = 0, ratio = 0;
};
SweepFields sweepFields(SweepFields now, int startIndex, float rateFactor);

// The custom wave's levels and the factor of its amplitude ratio.
struct CustomLevels {
    double max = 0, min = 0;
    int16_t mid = 0;
    float factor = 1;
};
// Derives wave[0..last] from custom by the amplitude ratio (0 x1, 1 x2, 2 x5, 3 MAX);
// `now` is kept where the ratio changes nothing (MAX of a flat wave).
CustomLevels deriveCustomWave(const std::vector<int16_t>& custom, std::vector<int16_t>& wave,
                              int ratio, long last, CustomLevels now);

// What the panel shows.
struct PanelInput {
    int genMode = 0, genStyle = 0, ampDiv = 1;
    long genFreq = 0;
    int dutyCycle = 50;
    int sweepStartIndex = 0;
    double sweepStartFreq = 0;
    int sweepFactor = 0;
    int ampRatio = 0, customRateIndex = 0;
    float rateFactor = 1;
};
PanelTexts panelTexts(const PanelInput& in);

// The record's side of the panel redraw: for a generator mode, brings the sweep fields
// (SWEEP) or the output wave (CUSTOM) in line with the settings and returns the texts.
PanelTexts applyPanelState(InstrumentState& s);

// Custom step-rate text for CustomRateIndex 0..4 ("" outside).
std::string customRateText(int index, float rateFactor);
// A number as text without the blank a non-negative number prints with.
std::string plainNumber(double v);

// Index of the last point (GenLast) as a buffer index (0..32767).
long lastIndex(float genLast);
// The buffer position under the cursor.
long cursorBufferPos(int scrollPos, double cursorX);
// Crops: return the new GenLast. At least ten points (0..9) remain; the wave never grows.
long cropLeft(std::vector<int16_t>& wave, std::vector<int16_t>& custom, long genLast, long pos);
long cropRight(long genLast, long pos);

// Frequency steps, clamped to 5..500000 Hz.
long stepFreq(long f, long delta);
// Step of a held large button: 5000 while above 200000 Hz, else 2500.
long largeRepeatStep(long f);

} // namespace gen
