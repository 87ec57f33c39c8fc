#pragma once
// The plan of a sweep with reference A: the generator plays a table of whole sine cycles
// without end while both channels are captured beside it. A table of K cycles in L
// points gives K x step clock / L; the five step clocks are decades apart, so one table
// serves the same point of every decade (100 Hz, 1 kHz, 10 kHz and 100 kHz from one
// upload), and the points are measured table by table. Plain arithmetic, for the sweep,
// its time estimate and the tests.
#include "fra/response.h"

#include <cstdint>
#include <vector>

namespace fra {

// One point: its table, the step clock it plays at, and its capture.
struct Step {
    double freqHz = 0;   // what the generator plays: step clock x cycles / table length
    int cycles = 0;      // whole sine cycles in the table
    int genRate = 0;     // step-rate index 0..3 of the generator
    int captureRate = 0; // sample-rate index of the capture, at least ten times the step clock
    long count = 0;      // samples read per channel: enough for two periods
};

// Points of a table: the largest multiple of the slowest step clock within the
// generator's 32768, so that the decades' round frequencies are played exactly (32000
// on the 20 MHz model, 30000 on the 30 MHz one).
long tableLength(double rateFactor);

// The points of a sweep in the order they are measured: table by table (in the order of
// their lowest frequency), each table's points from the lowest frequency up. Each
// frequency of the log spacing becomes the nearest K x step clock / L whose step clock
// gives at least 20 steps per cycle (fewer only above 100 kHz); points that come out
// the same are taken once. The capture samples at 10 or 100 times the step clock, where
// the DAC's steps fold back least, at the rate that reads two periods soonest.
std::vector<Step> planContinuous(const Settings& s, double rateFactor);

// The table of `cycles` sine cycles in `length` points, in buffer values (DAC code x
// 10) of the generator's NORMAL sine at the amplitude divisor.
std::vector<int16_t> sineTable(int cycles, long length, int ampDiv);

// Seconds a point takes on a port of 1 us per access: its upload when `upload`, else
// the restart at its step clock; its capture; its read-out and fit.
double plannedSeconds(const Step& st, bool upload, double rateFactor);
// Clearing the generator memory at the end.
double clearingSeconds();

} // namespace fra
