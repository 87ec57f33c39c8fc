#pragma once
// The numbers of the signal display: axis divisions and labels, trace positions, the
// window clamp, cursor steps and readouts. Pure functions, so each rule is tested alone.
#include <string>

namespace display {

// ---- Horizontal axis ---------------------------------------------------------------

// Divisor and unit of the time per division for rate decade R (0..4).
int timeDivisor(int R);
const char* timeUnit(int R);
// Time of one grid division (W / 16.384 samples), rounded to 1/divisor of the unit.
double timeDiv(double W, double rateFactor, int R);

// Frequency of one spectrum point and the unit and rounding of the FFT axis numbers.
struct FreqAxis {
    double step = 0;       // frequency of one spectrum point, in `unit`
    const char* unit = ""; // "MHz", "KHz" or "Hz"
    int places = 1;        // the numbers are rounded to 1/places
};
FreqAxis freqAxis(double rateFactor, double fftNumSamples, int R);
// Number printed under the grid line at window position gx.
double fftAxisNumber(double gx, double scrollPos, const FreqAxis& f);

// ---- Vertical axis -------------------------------------------------------------------

// Label k (0..6, bottom to top) of a scope trace: volts of the grid line it names.
double voltLabel(int k, double range, double factor, double offset);
// Label k (0..6) of the generator trace D, 0.25 V .. 1.75 V.
double genLabel(int k);
// The range in which the combined trace is drawn: the larger of the two.
int combinedRange(int rangeA, int rangeB);
// Value of the combined trace for samples a, b (buffer units), before its baseline and
// magnification: (1280 - a) - s (b - 1280), drawn in the scale of the less sensitive
// channel, the other one divided by the range ratio. s is +1 for A+B, -1 for A-B.
class Combiner {
  public:
    Combiner(int s, int rangeA, int rangeB);
    double operator()(int a, int b) const {
        double da = 1280.0 - a, db = double(b) - 1280;
        if (order_ > 0) return da - s_ * db / q_;
        if (order_ < 0) return da / q_ - s_ * db;
        return da - s_ * db;
    }

  private:
    int s_, order_;
    double q_;
};
double combinedValue(int a, int b, int s, int rangeA, int rangeB);

// ---- Trace positions -------------------------------------------------------------------

struct PositionStep {
    int factor;   // Y magnification 1, 2, 5
    int shift;    // display shift per position step and unit of magnification
    double volts; // label offset per position step (1.2 V range)
    int limit;    // position limit of A and B: -limit .. +limit
    int limitSum; // position limit of the combined trace
};
// The row of the position table for magnification step 0, 1 or 2 (others count as 0).
PositionStep positionStep(int magStep);
// Baseline multiplier for a magnification step: factor + 1 (2, 3, 6).
int baseMultiplier(int magStep);

// ---- Window ----------------------------------------------------------------------------

// Last valid buffer index: 2^size x base - 1, or the end of the generator data.
double lastIndex(bool generatorData, int sampleSizeIndex, int bufBase, double genLast);

struct Window {
    double xMagnify;
    double scrollPos;
    bool widened; // the window was wider than the data and now shows all of it
};
// Keeps ScrollPos + XMagnify within the data and the 32K buffer.
Window clampWindow(double xMagnify, double scrollPos, double lmax);

double cursorStepLarge(double xMagnify);
long cursorStepSmall(double xMagnify);

// ---- Cursor readout ---------------------------------------------------------------------

// Volts of a scope sample (0.945 mV per buffer unit on the 1.2 V range).
double sampleVolts(int v, double range);
// Spectrum value in percent of full scale.
double spectrumPercent(int v);
// Volts of a generator sample.
double genVolts(int d);

struct Reading {
    double value = 0;
    std::string unit;
};
// Second readout: time from the left edge of the window, or in FFT mode the frequency
// of the spectrum point under the cursor; scaled and rounded for display.
Reading cursorTime(double cursorX, double scrollPos, int R, double rateFactor, bool fft,
                   double fftNumSamples);
// Scaling and rounding of a raw time (mS) or frequency (MHz) reading.
Reading scaleReading(double value, bool fft);
// The 1/t display of a click on the readout. Outside FFT mode a time becomes a frequency;
// in FFT mode the frequency becomes the period of one cycle.
Reading reciprocal(const Reading& r);

// Trigger level in volts for the level box.
double levelVolts(double trigLevel, double range);

// ---- Cursor modes --------------------------------------------------------------------------

struct Shown {
    bool a = false, b = false, d = false, plus = false, minus = false;
    bool generator = false; // GENERATOR mode: the cursor can only measure D
};
// Mode of the combined trace on show: 3 for A+B, 4 for A-B, 0 for none.
int combinedMode(const Shown& s);
// Next cursor mode of the CURSOR button.
int nextCursorMode(int mode, const Shown& s);
// Cursor mode brought in line with what is shown.
int checkCursorMode(int mode, const Shown& s);
// Letter of the measured trace ("A", "B", "+", "-", "D"), empty for 0.
const char* cursorLetter(int mode);

} // namespace display
