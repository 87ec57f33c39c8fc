#pragma once
// Expected port write sequences, written out from the command table's patterns.
#include "device/commands.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace seq {

using namespace cmd;

using Writes = std::vector<std::pair<int, int>>;
constexpr int D = cmd::Lpt1Base + cmd::DataOffset, C = cmd::Lpt1Base + cmd::ControlOffset;

// clang-format off
// data := f (the first phase); control := 04H; data := c; control := 00H
inline Writes cw(int c, int f = 0) { return {{D, f}, {C, CtlCommand}, {D, c}, {C, CtlIdle}}; }
inline Writes pulse() { return {{C, CtlStrobe}, {C, CtlIdle}}; } // control := 01H, then 00H
inline Writes strobe(int v) { return {{D, v}, {C, CtlStrobe}, {C, CtlIdle}}; }
inline Writes readClock() { return {{C, CtlReadClock}, {C, CtlRead}}; }
// clang-format on
inline Writes times(long n, const Writes& w) {
    Writes out;
    for (long i = 0; i < n; ++i)
        out.insert(out.end(), w.begin(), w.end());
    return out;
}
inline Writes cat(std::initializer_list<Writes> parts) {
    Writes out;
    for (const Writes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The stop counter loaded with `pulses` (32768 less the samples to take).
inline Writes stopCounter(long pulses) {
    return cat({cw(Reset), pulse(), cw(OpenCount), times(pulses, pulse()), cw(EndLoad), cw(Idle)});
}
// The channel configuration sent as `n` pulses.
inline Writes config(int n) {
    return cat({cw(ClearConfig), pulse(), cw(OpenCount), times(n, pulse()), cw(LatchConfig),
                cw(OpenCount)});
}
// Trigger armed with its qualifier flags, comparator level and rate code.
inline Writes arm(int flags, int level, int rateCode) {
    return cat({cw(Idle), pulse(), cw(Start), cw(flags), strobe(level), cw(Arm + flags, rateCode)});
}
// One memory read: select, `skip` clocks, then a clock after each of `n` samples.
inline Writes readOut(int select, long skip, long n) {
    return cat({cw(select),
                times(skip, readClock()),
                {{C, CtlRead}},
                times(n, readClock()),
                {{C, CtlIdle}}});
}

} // namespace seq
