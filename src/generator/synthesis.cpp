#include "generator/synthesis.h"

#include "app/instrument_state.h"
#include "platform/vb.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {
constexpr long BufferSize = InstrumentState::BufferSize;

int16_t toInteger(double v) {
    v = vb::Nearest(v);
    return int16_t(std::clamp(v, -32768.0, 32767.0));
}

// Appends one cycle with phase step `step` (theta = 0, step, 2 step, ... while theta <=
// 359.9, advanced by repeated addition as the table always was); returns the new end.
long appendCycle(std::vector<int16_t>& wave, long at, double step, int style, int ampDiv,
                 double switchAngle) {
    for (double theta = 0; theta <= 359.9; theta += step) {
        if (at >= BufferSize) break;
        wave[at++] = waveValue(style, theta, ampDiv, switchAngle);
    }
    return at;
}
} // namespace

double stepClock(int index, float rateFactor) {
    return 2000.0 * std::pow(10.0, index) * rateFactor;
}

int cyclesFor(long f) {
    const bool forty = (f >= 10 && f < 20) || (f >= 100 && f < 200) || (f >= 1000 && f < 2000) ||
                       (f >= 10000 && f < 20000) || f >= 100000;
    return forty ? 40 : 20;
}

Settled settleFrequency(long freq, float rateFactor) {
    Settled r;
    long f = std::clamp(freq, MinFreq, MaxFreq);
    // Four rounds settle every whole frequency in range; the cap only guards the loop.
    for (int round = 1; round <= 50; ++round) {
        int index = f < 20 ? 0 : f < 200 ? 1 : f < 2000 ? 2 : f < 20000 ? 3 : 4;
        const double clock = stepClock(index, rateFactor);
        const double points = clock / double(f);
        const double steps = vb::Int(points * 359.9 / 360 + 0.6);
        const long next = long(vb::Int(clock / steps + 0.5));
        r = Settled{f, index, points, cyclesFor(f), round};
        if (next == f) break;
        f = std::clamp(next, MinFreq, MaxFreq);
    }
    return r;
}

int16_t waveValue(int style, double theta, int ampDiv, double switchAngle) {
    const double d = ampDiv;
    switch (style) {
    case Sine:
        return toInteger((1275 * std::sin(theta * vb::Pi / 180) + 1275) / d);
    case Triangle:
        if (theta < 90) return toInteger(2550 * (theta + 90) / 180 / d);
        if (theta < 270) return toInteger((5100 - 2550 * (theta + 90) / 180) / d);
        return toInteger(2550 * (theta - 270) / 180 / d);
    case Ramp:
        return toInteger(2550 * theta / 360 / d);
    case Square:
        return theta < switchAngle ? 0 : toInteger(2550 / d);
    default:
        return 0;
    }
}

SweepRow sweepRow(int half, int ratio) {
    static const SweepRow rows400[4] = {
        {400, 200, 200, 0.95}, {400, 80, 120, 0.95}, {400, 40, 100, 0.8}, {400, 20, 100, 0.8}};
    static const SweepRow rows200[3] = {
        {200, 100, 800, 0.875}, {200, 40, 800, 0.95}, {200, 20, 400, 0.95}};
    ratio = std::clamp(ratio, 0, 3);
    if (half == 1) return rows200[std::min(ratio, 2)];
    return rows400[ratio];
}

double squareSwitchAngle(double dutyCycle) {
    return 360 * (100 - dutyCycle) / 100;
}

long synthNormal(std::vector<int16_t>& wave, int style, const Settled& f, int ampDiv,
                 double switchAngle) {
    std::fill(wave.begin(), wave.end(), int16_t(0));
    const double step = 360 / f.points;
    long last = 0;
    for (int c = 0; c < f.cycles; ++c)
        last = appendCycle(wave, last, step, style, ampDiv, switchAngle);
    last = std::min(last, BufferSize - 1);
    // The closing point: the triangle's is the plain mid value, whatever the amplitude.
    if (style == Triangle) wave[last] = InstrumentState::MidScale;
    if (style == Ramp || style == Square) wave[last] = 0;
    return last;
}

long synthSweep(std::vector<int16_t>& wave, int style, int half, int ratio, int ampDiv) {
    std::fill(wave.begin(), wave.end(), int16_t(0));
    const SweepRow row = sweepRow(half, ratio);
    long last = 0;
    long p = row.base;
    while (p > row.end) {
        p = p - long(vb::Int(double(p) / row.k + row.c));
        last = appendCycle(wave, last, 360.0 / double(p), style, ampDiv, 180);
        if (last >= BufferSize) {
            last = BufferSize - 1;
            break;
        }
        if (style == Triangle)
            wave[last] = InstrumentState::MidScale; // the next cycle overwrites it
    }
    return last;
}

void sineTail(std::vector<int16_t>& wave, long genLast, int ampDiv) {
    const int16_t mid = toInteger(1275.0 / ampDiv);
    for (long i = std::max(0L, genLast); i < BufferSize && i < long(wave.size()); ++i)
        wave[i] = mid;
}

} // namespace gen
