#pragma once
// The arithmetic of the acquisition settings: box texts of the rate and size tables,
// the trigger comparator code and the sample counts of a capture.
#include <string>

namespace acq {

constexpr int MaxIndex = 4; // rate and size indexes run 0..4

// Samples per second of a rate index 0..4 (2 kHz .. 20 MHz, x1.5 on the 30 MHz model);
// 0 outside.
double rateHz(int index, double rateFactor);
// Text of the sampling-rate box for a rate index; empty outside 0..4.
std::string rateText(int index, float rateFactor);
// Text of the sampling-size box for a size index; empty outside 0..4.
std::string sizeText(int index);
// Comparator code 0..255 of a trigger level measured from the top of the display.
int trigLevelCode(double trigLevel, double fullScale);
// Samples kept before the trigger for PreTrig 0, 1, 2 (OFF, 10, 100).
long preTrigCount(double preTrig);
// Samples to read: the buffer size of the size index less the pretrigger count,
// never more than the 32768 a buffer holds and never below 0.
long readCount(double sizeIndex, long preTrigCount);

// The hardware rate code of a rate index: index 4 (fastest) is code 1.
constexpr int rateCode(int rateIndex) {
    return 5 - rateIndex;
}

// What the capture step sets before a scope capture (SCOPE, FFT).
struct ScopeCapture {
    long readCount = 0;    // the buffer less the pretrigger still in force
    int trigLevelCode = 0; // comparator code of the level
    long preTrigCount = 0; // the pretrigger for this capture
};
ScopeCapture scopeCapture(int sizeIndex, long preTrigCountNow, double trigLevel, double fullScale,
                          int preTrig);

// Step-rate index of a generator mode (0 NORMAL, 1 SWEEP, 2 CUSTOM) from its three
// settings; any other mode counts as NORMAL.
int generatorRateIndex(int genMode, int normal, int sweep, int custom);

} // namespace acq
