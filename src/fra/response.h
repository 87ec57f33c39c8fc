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
// The same spacing before the rounding: `count` frequencies from `from` to `to`.
std::vector<double> logSpaced(const Settings& s);

struct Point {
    double freqHz = 0; // the generator's true frequency: step clock / steps per cycle
    double gainDb = 0;
    double phaseDeg = 0;  // -180 < phase <= 180, negative when the response lags
    bool clipped = false; // the response or the channel-A reference left the input range
};

// One capture, as read out: of the combined generate-and-sample run, or taken beside the
// generator playing on its own clock.
struct Capture {
    const int16_t* reference = nullptr; // channel A buffer or the generator wave
    const int16_t* response = nullptr;  // channel B buffer
    double referenceVoltsPerUnit = 0, responseVoltsPerUnit = 0;
    long count = 0;                 // samples read per channel (the generator's point count)
    double stepRateHz = 0;          // samples per second (the combined run: the step clock)
    int cycles = 0;                 // whole periods in the table (20 or 40)
    long bOffset = 0;               // how many samples later B's window starts than the reference's
    bool referenceIsChannel = true; // channel A can clip; the generator wave cannot
    // Beside the playing generator: the period in samples (cycles is not used), and every
    // sample is measured: the sweep waits for the settling itself.
    double samplesPerCycle = 0;
};

// What a capture tells of itself besides gain and phase.
struct Quality {
    double uncertainty = 0; // relative standard deviation of the gain ratio, from the fits' rest
    double transient = 0;   // the larger settling in the fits over the stretch, in its noise
    double tauS = 0;        // that settling's time constant in seconds
};

// Gain and phase at the generator frequency over the periods after the first tenth.
// The generator starts with the capture from 0 V, so the circuit is still settling to
// the stimulus' mean (a slow one for many time constants beyond the capture): each
// channel is fitted, by least squares, with the sine at the generator frequency plus a
// constant plus a decaying exponential, a first-order circuit's own settling (its time
// constant searched for; a straight drift in the limit), and the two sines are
// compared. None when a channel's sine is not 20 dB above the rest of the fit's error
// in its share of one bin.
// With `quality`, what the fits leave (also when no point is returned).
std::optional<Point> measurePoint(const Capture& c, std::string* why = nullptr,
                                  Quality* quality = nullptr);

// Whether two points of the same frequency agree within three times their noise (and a
// floor of 0.1 % for what the code steps leave).
bool agree(const Point& a, const Quality& qa, const Point& b, const Quality& qb);

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
