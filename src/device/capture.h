#pragma once
// Pieces of the capture sequences that are plain arithmetic on a few settings.
#include "device/commands.h"

namespace capture {

// Qualifier byte of the trigger commands: 40H for source B, plus 80H for the falling slope.
inline int triggerFlags(bool sourceB, bool falling) {
    return (sourceB ? cmd::SourceB : 0) | (falling ? cmd::Falling : 0);
}

// What the read-out of the two memories depends on.
struct ReadOut {
    long readCount = 0;    // ReadCount
    long preTrigCount = 0; // PreTrigCount
    bool chanAOn = true;   // channel A is read first when it is on
};
// Read clocks that skip the oldest samples before channel A / channel B is read.
inline long skipA(const ReadOut& r) {
    return cmd::MemorySize - r.readCount - r.preTrigCount;
}
inline long skipB(const ReadOut& r) {
    // The memories share one read address: with A read first, B's skip wraps round to
    // the positions A read.
    return cmd::MemorySize - r.readCount + (r.chanAOn ? 0 : -1) * r.preTrigCount;
}
// Samples that fit the buffer: ReadCount within 0..32768.
inline long readLength(long readCount) {
    if (readCount < 0) return 0;
    return readCount > cmd::MemorySize ? cmd::MemorySize : readCount;
}

// Polls of the two wait loops.
constexpr int InstantPolls = 200;    // 100 ms apart
constexpr int InstantLastGood = 198; // an end seen at a later poll delivers nothing
constexpr int TriggerPolls = 100;    // 20 ms apart, then the trigger is re-armed

} // namespace capture
