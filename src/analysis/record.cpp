#include "analysis/record.h"

#include "app/instrument_state.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {
constexpr long MemorySize = 32768;
} // namespace

int rangeCode(int rangeSel, int probe) {
    return rangeSel + probe;
}

double voltsPerUnit(int rangeCode) {
    return 0.3 / 320 * std::pow(10.0, rangeCode);
}

double fullScaleVolts(int rangeCode) {
    return 1280 * voltsPerUnit(rangeCode);
}

double sampleRateHz(int rateIndex, double rateFactor) {
    if (rateIndex < 0 || rateIndex > 4) return 0;
    return rateFactor * 2000 * std::pow(10.0, rateIndex);
}

int generatorRateIndex(int genMode, int genRateIndex, int sweepRateIndex, int customRateIndex) {
    switch (genMode) {
    case 1:
        return sweepRateIndex;
    case 2:
        return customRateIndex;
    default:
        return genRateIndex;
    }
}

int generatorRateIndex(const InstrumentState& s) {
    return generatorRateIndex(int(s.GenMode.whole()), int(s.GenRateIndex.whole()),
                              int(s.SweepRateIndex.whole()), int(s.CustomRateIndex.whole()));
}

WindowOffset bWindowOffset(int mode, bool aRead, bool bRead, long preTrigCount, int rateIndex) {
    long pre;
    if (mode == ModeScope || mode == ModeFft)
        pre = preTrigCount;
    else if (mode == ModeScopeGen)
        pre = rateIndex == 4 ? -4 : -1; // the count the combined read-out uses
    else if (mode == ModeGenerator)
        return {std::nullopt, "no capture in GENERATOR mode"};
    else
        return {std::nullopt, "unknown mode"};
    if (!aRead) return {std::nullopt, "A was not captured with B"};
    if (!bRead) return {std::nullopt, "B was not captured with A"};
    constexpr long readCount = 4096; // cancels out of the difference
    const long skipA = MemorySize - readCount - pre;
    const long skipB = MemorySize - readCount + (long(aRead) - 1) * pre;
    return {skipB - skipA, {}};
}

WindowOffset bWindowOffset(const InstrumentState& s) {
    return bWindowOffset(int(s.ScopeMode.whole()), s.ChanAOn.whole() == 1, s.ChanBOn == 1,
                         long(s.PreTrigCount), int(s.DataRateA.whole()));
}

ChannelScale channelScale(const InstrumentState& s, Channel c) {
    const bool a = c == Channel::A;
    const int range = a ? int(s.DataRangeA.whole()) : s.DataRangeB;
    const int rate = a ? int(s.DataRateA.whole()) : s.DataRateB;
    return {voltsPerUnit(range), sampleRateHz(rate, s.RateFactor), fullScaleVolts(range)};
}

const std::vector<int16_t>& samplesOf(const InstrumentState& s, Channel c) {
    const bool fft = s.ScopeMode.whole() == ModeFft;
    if (c == Channel::A) return fft ? s.SaveA : s.ChanABuffer;
    return fft ? s.SaveB : s.ChanBBuffer;
}

size_t capturedCount(const InstrumentState& s) {
    return size_t(std::clamp<long>(long(s.ReadCount), 0, MemorySize));
}

Trace traceOf(const InstrumentState& s, Channel c, size_t first, size_t count) {
    const std::vector<int16_t>& buf = samplesOf(s, c);
    first = std::min(first, buf.size());
    count = std::min(count, buf.size() - first);
    const ChannelScale sc = channelScale(s, c);
    return {buf.data() + first, count, sc.voltsPerUnit, sc.sampleRateHz};
}

} // namespace analysis
