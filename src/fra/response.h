#pragma once
// Frequency response arithmetic: the frequencies of a sweep, the gain and phase of one
// generate-and-sample capture, the -3 dB corner and the CSV table. Plain functions, so
// the dialog, the command line and the tests share them.
#include "analysis/measure.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fra {

// What the gain and phase are measured against: channel A (wired to the generator
// output) or the generator's own samples (channel D, the uploaded wave).
enum class Reference { A, D };

struct Settings {
    double fromHz = 100, toHz = 100000;
    int perDecade = 5; // used when `points` is 0
    int points = 0;    // a point count, log-spaced from fromHz to toHz
    int ampDiv = 1;    // the generator's amplitude: 1 = 2 V p-p, 2 = 1 V p-p
    Reference reference = Reference::A;
};

// An empty string when the settings can run, else what is wrong, for the user.
std::string check(const Settings& s);

// The generator frequencies (whole hertz, within its 5 Hz..500 kHz) of a sweep: `count`
// points evenly spaced in log frequency from `from` to `to` inclusive, where count is
// the point count or enough points for perDecade in every decade. Frequencies that
// round to the same whole hertz are taken once.
std::vector<long> plannedFrequencies(const Settings& s);

struct Point {
    double freqHz = 0; // the generator's true frequency: step clock / steps per cycle
    double gainDb = 0;
    double phaseDeg = 0;  // -180 < phase <= 180, negative when the response lags
    bool clipped = false; // the response or the channel-A reference left the input range
};

// One capture of the combined generate-and-sample run, as read out.
struct Capture {
    const int16_t* reference = nullptr; // channel A buffer or the generator wave
    const int16_t* response = nullptr;  // channel B buffer
    double referenceVoltsPerUnit = 0, responseVoltsPerUnit = 0;
    long count = 0;                 // samples read per channel (the generator's point count)
    double stepRateHz = 0;          // the generator's step clock: one sample per step
    int cycles = 0;                 // whole periods in the table (20 or 40)
    long bOffset = 0;               // how many samples later B's window starts than the reference's
    bool referenceIsChannel = true; // channel A can clip; the generator wave cannot
};

// Gain and phase at the generator frequency over the periods after the first tenth.
// The generator starts with the capture from 0 V, so the circuit is still settling to
// the stimulus' mean (a slow one for many time constants beyond the capture): each
// channel is fitted, by least squares, with the sine at the generator frequency plus a
// constant plus a decaying exponential, a first-order circuit's own settling (its time
// constant searched for; a straight drift in the limit), and the two sines are
// compared. None when a channel's sine is not 20 dB above the rest of the fit's error
// in its share of one bin.
std::optional<Point> measurePoint(const Capture& c, std::string* why = nullptr);

// The -3 dB point: where the gain first falls 3 dB below the highest gain measured
// before it. Between the two points around it the gain is taken as a first-order
// section's through both (exact for a first-order circuit however far apart the points
// are); the phase is interpolated linearly in log frequency there.
struct Corner {
    double freqHz = 0, phaseDeg = 0;
};
std::optional<Corner> findCorner(const std::vector<Point>& points);

// "frequency_hz,gain_db,phase_deg" and one line per point, "\n" line ends, numbers in
// the C locale with 4, 3 and 2 decimals.
std::string toCsv(const std::vector<Point>& points);

// Seconds left: the mean time of the points done times the points to go; before the
// first point, `firstGuessS` each.
double secondsLeft(double elapsedS, int done, int total, double firstGuessS);

} // namespace fra
