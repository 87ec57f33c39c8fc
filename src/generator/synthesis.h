#pragma once
// Generator wave synthesis: the built-in NORMAL and SWEEP tables for the four styles.
// Values are tenths of a DAC code (0 = 0 V, 2550 = 2 V); the DAC steps at one of five
// clocks, 2000 x 10^index x RateFactor steps per second.
#include <cstdint>
#include <vector>

namespace gen {

enum Style { Sine = 0, Triangle = 1, Ramp = 2, Square = 3, Custom = 4 };

constexpr long MinFreq = 5;
constexpr long MaxFreq = 500000;

// Step clock of index 0..4 in steps per second.
double stepClock(int index, float rateFactor);

// NORMAL frequency settled to what a whole number of steps per cycle gives.
struct Settled {
    long freq = 0;     // the achievable frequency
    int rateIndex = 0; // its step clock
    double points = 0; // clock / freq, steps per cycle as a real number
    int cycles = 0;    // 20 or 40 cycles in the table
    int rounds = 0;    // settling rounds taken
};
Settled settleFrequency(long freq, float rateFactor);
// 40 for frequencies in [10, 20), [100, 200), [1000, 2000), [10000, 20000) or >= 100000.
int cyclesFor(long freq);

// One point of a style at phase theta (degrees), amplitude divisor ampDiv (1 or 2).
// switchAngle is where a square wave goes high.
int16_t waveValue(int style, double theta, int ampDiv, double switchAngle);

// Sweep parameters: first-cycle base and last-cycle end in steps, and the shrink rule
// P := P - Int(P / k + c).
struct SweepRow {
    int base, end, k;
    double c;
};
// half 0 or 1 (400 or 200 step base), ratio 0..3 (X2, X5, X10, X20). X20 from a 200-step
// base does not exist; it is taken as X10, as the panel shows it.
SweepRow sweepRow(int half, int ratio);

// The tables. Each zeroes wave[0..32767] first, fills it and returns the index of the
// last output point (GenLast); points never go past the end of the buffer.
long synthNormal(std::vector<int16_t>& wave, int style, const Settled& f, int ampDiv,
                 double switchAngle);
long synthSweep(std::vector<int16_t>& wave, int style, int half, int ratio, int ampDiv);
// A sine's closing point and everything after it sit at the mid level 1275 / ampDiv.
void sineTail(std::vector<int16_t>& wave, long genLast, int ampDiv);
// Square switch angle for a duty cycle in per cent.
double squareSwitchAngle(double dutyCycle);

} // namespace gen
