// Capture path figures on the simulated instrument and the virtual clock: one full
// 32K two-channel capture against the time a real port needs for the same accesses,
// and the run loop's own cost per capture in Repeat mode.

#include "bench_program.h"
#include "window_main.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

// A real parallel port takes about 1 us per access (ISA bus timing).
constexpr double RealPortNsPerAccess = 1000;
// Goal for the run loop's own cost per capture.
constexpr double LoopGoalNs = 5e6;

struct Program : BenchProgram {};

double nowNs() {
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count());
}

void BM_FullCapture32K(benchmark::State& state) {
    Program p;
    InstrumentState& s = p.w->state();
    s.ReadCount = 32768;
    s.PreTrigCount = 0;
    s.RateCode = 1;
    s.TrigMode = 0;
    uint64_t accesses = 0;
    double wall = 0;
    int64_t captures = 0;
    for (auto _ : state) {
        const uint64_t a0 = p.sim.accessCount();
        const double t0 = nowNs();
        s.CaptureStatus = 0;
        p.w->ADCconvert(); // stop counter, capture, both read-outs
        wall += nowNs() - t0;
        accesses += p.sim.accessCount() - a0;
        ++captures;
        if (s.CaptureStatus != 1) state.SkipWithError("capture delivered no data");
    }
    const double perCapture = double(accesses) / double(captures);
    state.counters["port_accesses"] = perCapture;
    state.counters["real_port_ms"] = perCapture * RealPortNsPerAccess / 1e6;
    // Share of the real port's time that the software takes; the goal is below 5 %.
    state.counters["software_share_pct"] =
        100.0 * (wall / double(captures)) / (perCapture * RealPortNsPerAccess);
}
BENCHMARK(BM_FullCapture32K)->Unit(benchmark::kMillisecond);

void BM_RepeatCaptures2K(benchmark::State& state) {
    Program p;
    InstrumentState& s = p.w->state();
    s.SampleSizeIndex = 0;
    p.w->DSAMPLE();
    s.RunRepeat = 1;
    constexpr int PerRun = 20;
    int started = 0;
    p.sim.onCommand = [&, next = p.sim.onCommand](int first, int c) {
        if (next) next(first, c);
        // STOP while the PerRun-th capture waits.
        if ((c & 0xBF) == 0x02 && first != 0 && ++started == PerRun) p.w->GOBUTTON_Click();
    };
    double wall = 0, virtualMs = 0;
    int64_t captures = 0;
    for (auto _ : state) {
        started = 0;
        const int64_t v0 = p.clock.nowMs();
        const double t0 = nowNs();
        p.w->GOBUTTON_Click();
        wall += nowNs() - t0;
        virtualMs += double(p.clock.nowMs() - v0);
        captures += started;
    }
    const double perCapture = wall / double(captures);
    state.counters["captures_per_s_virtual"] = 1000.0 * double(captures) / virtualMs;
    state.counters["loop_us_per_capture"] = perCapture / 1000;
    state.counters["loop_share_of_goal_pct"] = 100.0 * perCapture / LoopGoalNs;
}
BENCHMARK(BM_RepeatCaptures2K)->Unit(benchmark::kMillisecond);

// The cost of one port access to the simulated instrument, for scale.
void BM_SimPortAccess(benchmark::State& state) {
    Program p;
    const int control = p.w->state().controlPort();
    for (auto _ : state) {
        vbOut(control, 0x00);
        benchmark::DoNotOptimize(vbInp(control));
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_SimPortAccess);

} // namespace

int main(int argc, char** argv) {
    runWindowBenchmarks(argc, argv);
    return 0;
}
