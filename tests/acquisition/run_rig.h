#pragma once
// A started program on the simulated instrument with the access log on, and counters
// of what the instrument was asked to do.
#include "device/drawn_text.h"
#include "support/fixture.h"

#include <vector>

namespace runtest {

struct Rig {
    testing_support::Harness h;
    WQK& w;
    InstrumentState& s;
    sim::Wqk01& sim;
    std::vector<int> instantRates; // first phase of every instant start
    std::vector<int> arms;         // first phase of every trigger arm
    int configClears = 0;          // 0FH commands (SETCHAB)

    explicit Rig(sim::Options o = {})
        : h(o), w(drawn::shown(h.window())), s(w.state()), sim(h.sim()) {
        // Watches the commands and passes them on to whatever model listens already.
        sim.onCommand = [this, next = sim.onCommand](int first, int c) {
            if ((c & ~cmd::SourceB) == cmd::Start && first != 0) instantRates.push_back(first);
            if ((c & cmd::OperationMask) == cmd::Arm) arms.push_back(first);
            if (c == cmd::ClearConfig) configClears++;
            if (next) next(first, c);
        };
        sim.clearMisuse();
    }
    int64_t nowMs() { return h.clock().nowMs(); }
    // Runs `f` at `ms` after now.
    template <class F> void after(int64_t ms, F f) { h.clock().at(nowMs() + ms, f); }
    void fill(std::vector<int16_t>& b, int seed) {
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = int16_t((i * 7 + size_t(seed)) % 2551);
    }
};

} // namespace runtest
