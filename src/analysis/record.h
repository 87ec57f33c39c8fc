#pragma once
// What the measurements need to know about a capture, read from the state record:
// volts per buffer unit, samples per second, how far B's window sits from A's, and
// which buffer holds the samples. The tools only read the record, never write it.
#include "analysis/measure.h"
#include "modes/mode_names.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

struct InstrumentState;

namespace analysis {

enum class Channel { A, B };

// Range code from the Range and Probe buttons (RangeSelA + ProbeA): 0 = 1.2 V,
// 1 = 12 V, 2 = 120 V full scale. The x10 probe only shifts the code by one.
int rangeCode(int rangeSel, int probe);
// One buffer unit: 0.3 / 320 V on the 1.2 V range (0.0009375 V), x10 per range step.
double voltsPerUnit(int rangeCode);
// Peak of the range: 1.2 V x 10^code (1280 buffer units from the zero).
double fullScaleVolts(int rangeCode);

// Samples (or generator steps) per second of a rate index 0..4: RateFactor x 2000 x
// 10^index (RateFactor 1.0 on the 20 MHz model, 1.5 on the 30 MHz one); 0 for an index
// outside 0..4, which the measurements report as an unknown rate.
double sampleRateHz(int rateIndex, double rateFactor);
// The generator's step-rate index in its current mode (GenMode 0 NORMAL, 1 SWEEP,
// 2 CUSTOM): the rate at which SCOPE+GEN samples both channels.
int generatorRateIndex(int genMode, int genRateIndex, int sweepRateIndex, int customRateIndex);
int generatorRateIndex(const InstrumentState& s);

// How many samples later B's window starts than A's, by the read-out rules: A skips
// 32768 - ReadCount - p, B skips 32768 - ReadCount + (ChanAOn - 1) x p, with p the
// pretrigger count in SCOPE and FFT mode and -4 (fastest step rate, rate index 4) or
// -1 in SCOPE+GEN. So B's sample j was taken with A's sample j + offset. None when one
// of the channels was not read in that capture (its buffer is from another one) or in
// GENERATOR mode, which captures nothing.
struct WindowOffset {
    std::optional<long> samples;
    std::string_view reason; // why there is none
};
// mode: a ScopeMode value (modes::Mode).
WindowOffset bWindowOffset(int mode, bool aRead, bool bRead, long preTrigCount, int rateIndex);
// From the record just after a capture: ScopeMode, ChanAOn, ChanBOn, PreTrigCount and
// DataRateA. After a signal-file load the offset of the saved capture is not known.
WindowOffset bWindowOffset(const InstrumentState& s);

// The scales of a channel's buffer as captured: DataRangeA/B (range and probe at
// capture time) and DataRateA/B with RateFactor; in SCOPE+GEN DataRate holds the
// generator step rate that the capture used.
struct ChannelScale {
    double voltsPerUnit = 0;
    double sampleRateHz = 0;
    double fullScaleV = 0; // for dBFS
};
ChannelScale channelScale(const InstrumentState& s, Channel c);

// The buffer holding a channel's samples: the channel buffer, or in FFT mode the copy
// SaveA/SaveB (the channel buffer then holds the spectrum).
const std::vector<int16_t>& samplesOf(const InstrumentState& s, Channel c);
// How many samples the last read-out delivered (ReadCount: size less pretrigger, or
// the generator's point count in SCOPE+GEN), 0..32768.
size_t capturedCount(const InstrumentState& s);
// A Trace over samples first .. first + count - 1 of a channel (cut to the buffer),
// with the channel's scales: what measure() and gainPhase() take.
Trace traceOf(const InstrumentState& s, Channel c, size_t first, size_t count);

} // namespace analysis
