#pragma once
// Drives the simulated instrument register by register on a virtual clock, without
// the program, so the model is checked against the port patterns themselves.
#include "device/commands.h"
#include "platform/clock.h"
#include "sim/wqk01.h"

namespace simtest {

struct Rig {
    static constexpr int D = cmd::Lpt1Base, S = D + cmd::StatusOffset, C = D + cmd::ControlOffset;
    plat::VirtualClock clock;
    sim::Wqk01 sim;

    explicit Rig(sim::Options o = {}) : sim(o) { plat::setClock(&clock); }
    ~Rig() { plat::setClock(nullptr); }

    void out(int a, int v) { sim.out(uint16_t(a), uint8_t(v)); }
    int in(int a) { return sim.in(uint16_t(a)); }
    void cw(int first, int c) {
        out(D, first);
        out(C, cmd::CtlCommand);
        out(D, c);
        out(C, cmd::CtlIdle);
    }
    void pulse() {
        out(C, cmd::CtlStrobe);
        out(C, cmd::CtlIdle);
    }
    void strobe(int v) {
        out(D, v);
        pulse();
    }
    void readClock() {
        out(C, cmd::CtlReadClock);
        out(C, cmd::CtlRead);
    }
    bool done() { return in(S)&cmd::StatusDone; }
    // Reset, then the stop counter for `samples` samples.
    void loadStop(int samples) {
        cw(0, cmd::Reset);
        pulse();
        cw(0, cmd::OpenCount);
        for (int i = 0; i < 32768 - samples; ++i)
            pulse();
        cw(0, cmd::EndLoad);
        cw(0, cmd::Idle);
    }
    void config(int value) {
        cw(0, cmd::ClearConfig);
        pulse();
        cw(0, cmd::OpenCount);
        for (int i = 0; i < value; ++i)
            pulse();
        cw(0, cmd::LatchConfig);
        cw(0, cmd::OpenCount);
    }
    void instant(int rateCode) {
        cw(0, cmd::Idle);
        cw(rateCode, cmd::Start);
    }
    void armTrigger(int rateCode, int flags, int level) {
        cw(0, cmd::Idle);
        pulse();
        cw(0, cmd::Start);
        cw(0, flags);
        strobe(level);
        cw(rateCode, cmd::Arm + flags);
    }
    // Selects a memory and reads n samples after skipping `skip`.
    std::vector<int> read(int select, int skip, int n) {
        cw(0, select);
        for (int k = 0; k < skip; ++k)
            readClock();
        out(C, cmd::CtlRead);
        std::vector<int> v;
        for (int i = 0; i < n; ++i) {
            v.push_back(in(D));
            readClock();
        }
        out(C, cmd::CtlIdle);
        return v;
    }
    void waitMs(int ms) { clock.pause(ms); }
};

} // namespace simtest
