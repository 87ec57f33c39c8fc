#pragma once
// Drives the simulated instrument register by register on a virtual clock, without
// the program, so the model is checked against the port patterns themselves.
#include "platform/clock.h"
#include "sim/wqk01.h"

namespace simtest {

struct Rig {
    static constexpr int D = 0x378, S = 0x379, C = 0x37A;
    plat::VirtualClock clock;
    sim::Wqk01 sim;

    explicit Rig(sim::Options o = {}) : sim(o) { plat::setClock(&clock); }
    ~Rig() { plat::setClock(nullptr); }

    void out(int a, int v) { sim.out(uint16_t(a), uint8_t(v)); }
    int in(int a) { return sim.in(uint16_t(a)); }
    void cw(int first, int c) {
        out(D, first);
        out(C, 0x04);
        out(D, c);
        out(C, 0x00);
    }
    void pulse() {
        out(C, 0x01);
        out(C, 0x00);
    }
    void strobe(int v) {
        out(D, v);
        pulse();
    }
    void readClock() {
        out(C, 0x23);
        out(C, 0x22);
    }
    bool done() { return in(S)&0x08; }
    // Reset, then the stop counter for `samples` samples.
    void loadStop(int samples) {
        cw(0, 0x07);
        pulse();
        cw(0, 0x06);
        for (int i = 0; i < 32768 - samples; ++i)
            pulse();
        cw(0, 0x03);
        cw(0, 0x00);
    }
    void config(int value) {
        cw(0, 0x0F);
        pulse();
        cw(0, 0x06);
        for (int i = 0; i < value; ++i)
            pulse();
        cw(0, 0x0E);
        cw(0, 0x06);
    }
    void instant(int rateCode) {
        cw(0, 0x00);
        cw(rateCode, 0x02);
    }
    void armTrigger(int rateCode, int flags, int level) {
        cw(0, 0x00);
        pulse();
        cw(0, 0x02);
        cw(0, flags);
        strobe(level);
        cw(rateCode, 0x10 + flags);
    }
    // Selects a memory and reads n samples after skipping `skip`.
    std::vector<int> read(int select, int skip, int n) {
        cw(0, select);
        for (int k = 0; k < skip; ++k)
            readClock();
        out(C, 0x22);
        std::vector<int> v;
        for (int i = 0; i < n; ++i) {
            v.push_back(in(D));
            readClock();
        }
        out(C, 0x00);
        return v;
    }
    void waitMs(int ms) { clock.pause(ms); }
};

} // namespace simtest
