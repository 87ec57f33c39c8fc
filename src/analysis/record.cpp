#include "analysis/record.h"

#include "acquisition/acquisition.h"
#include "app/instrument_state.h"
#include "device/capture.h"

#include <algorithm>
#include <cmath>

namespace analysis {

int rangeCode(int rangeSel, int probe) {
    return rangeSel + probe;
}

double voltsPerUnit(int rangeCode) {
    return 0.3 / 320 * std::pow(10.0, rangeCode);
}

double fullScaleVolts(int rangeCode) {
    return InstrumentState::MidScale * voltsPerUnit(rangeCode);
}

double sampleRateHz(int rateIndex, double rateFactor) {
    if (rateIndex < 0 || rateIndex > 4) return 0;
    return rateFactor * 2000 * std::pow(10.0, rateIndex);
}

int generatorRateIndex(int genMode, int genRateIndex, int sweepRateIndex, int customRateIndex) {
    return acq::generatorRateIndex(genMode, genRateIndex, sweepRateIndex, customRateIndex);
}

int generatorRateIndex(const InstrumentState& s) {
    return generatorRateIndex(s.genMode(), s.genRateIndex(), s.sweepRateIndex(),
                              s.customRateIndex());
}

WindowOffset bWindowOffset(int mode, bool aRead, bool bRead, long preTrigCount, int rateIndex) {
    long pre;
    if (mode == modes::Scope || mode == modes::FFT)
        pre = preTrigCount;
    else if (mode == modes::ScopeGen)
        pre = rateIndex == 4 ? -4 : -1; // the count the combined read-out uses
    else if (mode == modes::Generator)
        return {std::nullopt, "no capture in GENERATOR mode"};
    else
        return {std::nullopt, "unknown mode"};
    if (!aRead) return {std::nullopt, "A was not captured with B"};
    if (!bRead) return {std::nullopt, "B was not captured with A"};
    // The read-out's own skips; the read count cancels out of the difference.
    const capture::ReadOut r{4096, pre, aRead};
    return {capture::skipB(r) - capture::skipA(r), {}};
}

WindowOffset bWindowOffset(const InstrumentState& s) {
    return bWindowOffset(s.mode(), s.chanAOn(), s.chanBOn(), long(s.PreTrigCount), s.dataRateA());
}

ChannelScale channelScale(const InstrumentState& s, Channel c) {
    const bool a = c == Channel::A;
    const int range = a ? s.dataRangeA() : s.DataRangeB;
    const int rate = a ? s.dataRateA() : s.DataRateB;
    return {voltsPerUnit(range), sampleRateHz(rate, s.RateFactor), fullScaleVolts(range)};
}

const std::vector<int16_t>& samplesOf(const InstrumentState& s, Channel c) {
    const bool fft = s.mode() == modes::FFT;
    if (c == Channel::A) return fft ? s.SaveA : s.ChanABuffer;
    return fft ? s.SaveB : s.ChanBBuffer;
}

size_t capturedCount(const InstrumentState& s) {
    return size_t(std::clamp<long>(long(s.ReadCount), 0, InstrumentState::BufferSize));
}

Trace traceOf(const InstrumentState& s, Channel c, size_t first, size_t count) {
    const std::vector<int16_t>& buf = samplesOf(s, c);
    first = std::min(first, buf.size());
    count = std::min(count, buf.size() - first);
    const ChannelScale sc = channelScale(s, c);
    return {buf.data() + first, count, sc.voltsPerUnit, sc.sampleRateHz};
}

} // namespace analysis
