#pragma once
// Drives the simulated instrument access by access on a virtual clock, without the
// program, with the write patterns of the command table.
#include "device/sequences.h"
#include "platform/clock.h"
#include "sim/wqk01.h"

namespace simtest {

struct Rig {
    plat::VirtualClock clock;
    sim::Wqk01 sim;

    explicit Rig(sim::Options o = {}) : sim(o) { plat::setClock(&clock); }
    ~Rig() { plat::setClock(nullptr); }
    void play(const seq::Writes& w) {
        for (auto [address, value] : w)
            sim.out(uint16_t(address), uint8_t(value));
    }
    bool done() { return sim.in(cmd::Lpt1Base + cmd::StatusOffset) & cmd::StatusDone; }
    void loadStop(int samples) { play(seq::stopCounter(cmd::MemorySize - samples)); }
    void instant(int rateCode) {
        play(seq::cat({seq::cw(cmd::Idle), seq::cw(cmd::Start, rateCode)}));
    }
    void waitMs(int ms) { clock.pause(ms); }
};

} // namespace simtest
