#pragma once
// A started program on the simulated instrument, shown (so its picture boxes have their
// size), with counts of what the instrument was asked to do.
#include "device/drawn_text.h"
#include "device/sequences.h"
#include "support/fixture.h"

namespace rig {

struct Rig {
    testing_support::Harness h;
    WQK& w;
    InstrumentState& s;
    sim::Wqk01& sim;
    std::vector<int> instantRates, arms; // first phase of every instant start and arm
    int configClears = 0;                // 0FH commands (SETCHAB)
    int64_t t0 = 0;

    explicit Rig(sim::Options o = {}) : h(o), w(h.window(false)), s(w.state()), sim(h.sim()) {
        if (!o.present) h.clock().atDoEvents(1, [this] { w.CONFIGEXIT_Click(); }); // port window
        drawn::shown(h.window());
        // Passes the commands on to whatever model listens already.
        sim.onCommand = [this, next = sim.onCommand](int first, int c) {
            if ((c & ~cmd::SourceB) == cmd::Start && first != 0) instantRates.push_back(first);
            if ((c & cmd::OperationMask) == cmd::Arm) arms.push_back(first);
            configClears += c == cmd::ClearConfig;
            if (next) next(first, c);
        };
        mark(false);
    }
    // From here on: an empty log (kept when `logging`), no misuse, and time counted.
    void mark(bool logging = true) {
        sim.setLogging(logging);
        sim.clearLog();
        sim.clearMisuse();
        t0 = now();
    }
    int64_t now() { return h.clock().nowMs(); }
    int64_t elapsed() { return now() - t0; }
    template <class F> void after(int64_t ms, F f) { h.clock().at(now() + ms, f); }
    void fill(std::vector<int16_t>& b, int seed) {
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = int16_t((i * 7 + size_t(seed)) % 2551);
    }
};

} // namespace rig
