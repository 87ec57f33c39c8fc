#pragma once
// Pieces of the capture sequences that are plain arithmetic on the state.
#include "app/instrument_state.h"

namespace capture {

// Qualifier byte of the trigger commands: 40H for source B, plus 80H for the falling slope.
int triggerFlags(const InstrumentState& s);
// Source bit of the instant capture commands: 40H for source B.
int sourceBit(const InstrumentState& s);
// Read clocks that skip the oldest samples before channel A / channel B is read.
long skipA(const InstrumentState& s);
long skipB(const InstrumentState& s);
// Samples that fit the buffer: ReadCount within 0..32768.
long readLength(const InstrumentState& s);

// Polls of the two wait loops.
constexpr int InstantPolls = 200;    // 100 ms apart
constexpr int InstantLastGood = 198; // an end seen at a later poll delivers nothing
constexpr int TriggerPolls = 100;    // 20 ms apart, then the trigger is re-armed

} // namespace capture
