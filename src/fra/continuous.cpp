#include "fra/continuous.h"

#include "device/commands.h"
#include "generator/synthesis.h"

#include <algorithm>
#include <cmath>

namespace fra {

namespace {

constexpr int MaxStepIndex = 3;   // the capture needs a clock ten times faster
constexpr int StepsPerCycle = 20; // at the least, where a step clock allows it
constexpr double Periods = 1.5;   // read per capture
// A's samples place the DAC's steps within half a sample: up to 180 degrees x f / rate
// of phase. A rate that keeps that within 0.3 degrees is taken where one can hold the
// periods; the fastest is taken where none can.
constexpr double GridDegrees = 0.3;
constexpr long MinCount = 400; // samples read per channel at the least
// The plan's port: a real one's microsecond per access; and the fit of both channels,
// about a microsecond per sample read.
constexpr double AccessS = 1e-6, FitS = 1e-6;

double stepClock(int index, double rateFactor) {
    return 2000 * std::pow(10.0, index) * rateFactor;
}

// Port accesses of the upload of `length` points (DACWRITE), and of an output start
// (DACCONT).
double uploadAccesses(long length) {
    return 10 + 4 + 3.0 * double(length) + 4 + 10 + 1 + 2.0 * double(cmd::MemorySize - length + 1) +
           8;
}
constexpr double StartAccesses = 6 + 10 + 8;

// A capture of a table's length at `rate`, `count` samples of both channels read and fitted.
double captureSeconds(long length, double rate, long count) {
    const double skip = double(cmd::MemorySize - (length - 1));
    const double accesses = 18 + 2 * (6 + 2 * skip + 3 * double(count));
    return double(length - 1) / rate + 1e-3 + accesses * AccessS + double(count) * FitS;
}

} // namespace

long tableLength(double rateFactor) {
    const long unit = std::lround(2000 * rateFactor);
    if (unit <= 0 || unit > cmd::MemorySize) return 32000;
    return cmd::MemorySize / unit * unit;
}

std::vector<Step> planContinuous(const Settings& s, double rateFactor) {
    const long length = tableLength(rateFactor);
    std::vector<Step> steps;
    for (double f : logSpaced(s)) {
        int j = 0;
        while (j < MaxStepIndex && stepClock(j, rateFactor) < StepsPerCycle * f)
            ++j;
        const double clock = stepClock(j, rateFactor);
        Step st;
        st.cycles = int(std::clamp<long>(std::lround(f * double(length) / clock), 1, length / 2));
        st.genRate = j;
        st.freqHz = clock * st.cycles / double(length);
        if (std::any_of(steps.begin(), steps.end(), [&](const Step& o) {
                return o.cycles == st.cycles && o.genRate == st.genRate;
            }))
            continue;
        // The capture: at least ten times the step clock, where the DAC's steps fold
        // back least.
        double best = INFINITY;
        for (int r = j + 1; r <= 4; ++r) {
            const double rate = stepClock(r, rateFactor);
            const long count = std::max(MinCount, long(std::ceil(Periods * rate / st.freqHz)));
            const bool fine = 180 * st.freqHz / rate <= GridDegrees || r == 4;
            if (count > length - 1 || !fine) continue;
            const double t = captureSeconds(length, rate, count);
            if (t < best) best = t, st.captureRate = r, st.count = count;
        }
        if (!(best < INFINITY)) st.captureRate = 4, st.count = length - 1;
        steps.push_back(st);
    }
    // Table by table, each in the order of its lowest frequency.
    std::vector<Step> order;
    for (const Step& first : steps) {
        if (std::any_of(order.begin(), order.end(),
                        [&](const Step& o) { return o.cycles == first.cycles; }))
            continue;
        for (const Step& st : steps)
            if (st.cycles == first.cycles) order.push_back(st);
    }
    return order;
}

std::vector<int16_t> sineTable(int cycles, long length, int ampDiv) {
    std::vector<int16_t> wave(size_t(std::max(0L, length)));
    for (long i = 0; i < length; ++i) {
        const long turn = long(int64_t(cycles) * i % length); // exact: whole cycles
        wave[size_t(i)] =
            gen::waveValue(gen::Sine, 360.0 * double(turn) / double(length), ampDiv, 0);
    }
    return wave;
}

double plannedSeconds(const Step& st, bool upload, double rateFactor) {
    const long length = tableLength(rateFactor);
    const double start = (upload ? uploadAccesses(length) : 0) + StartAccesses;
    return start * AccessS +
           captureSeconds(length, stepClock(st.captureRate, rateFactor), st.count);
}

double clearingSeconds() {
    return (10 + 4 + 3.0 * cmd::MemorySize + 4) * AccessS;
}

} // namespace fra
