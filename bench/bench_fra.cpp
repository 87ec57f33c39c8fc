// Frequency response and capture figures on a port that takes a real one's time: the
// simulated instrument with 1000 ns per access (--port-latency=1000).
//
// The sweeps run on the virtual clock, where every access costs its 1000 ns and every
// pause and capture its own length, so the port's and the instrument's share of a point
// is exact; the program's own processor time is measured beside it. Seconds per point =
// the two together: what the sweep takes on an idle machine with a real port. The old
// sequence (one combined generate-and-sample run per point, what reference D still
// does) and the new one (reference A: the generator plays on, A and B captured beside
// it) run side by side on the same 31 points, 100 Hz to 100 kHz, through a 10 kHz RC
// low-pass; the split is the instrument's time in uploads, settling (fixed pauses, or
// the waits for the circuit), capture and read-out.
//
// The capture figures: one 32K capture of both channels on the wall clock, its read-out
// against accesses x 1000 ns; and captures per second of `wqkscope log` and of the Repeat
// loop on the virtual clock (the port's and the loops' own time) with processor time.
#include "bench_program.h"

#include "cli/cli.h"
#include "fra/sweep.h"
#include "instrument/instrument.h"
#include "window_main.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <sstream>
#include <string>

namespace {

constexpr int64_t LatencyNs = 1000;

double cpuS() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

sim::Options latencyOptions() {
    sim::Options o;
    std::string error;
    sim::parseInput("dac", o.inputA, error);
    sim::parseInput("gen:10000", o.inputB, error);
    o.latencyNs = LatencyNs;
    return o;
}

struct SweepFigures {
    double perPoint = 0, virtualS = 0, cpu = 0, upload = 0, settling = 0, capture = 0, readOut = 0;
};
std::map<std::string, SweepFigures> sweeps;

void sweep(benchmark::State& state, fra::Reference ref, const char* name) {
    BenchProgram p(latencyOptions());
    Instrument& inst = p.w->instrument();
    const fra::Settings settings{100, 100000, 10, 0, 1, ref};
    SweepFigures f;
    int points = 0;
    for (auto _ : state) {
        fra::Sweep sweep(inst);
        const Instrument::Timing t0 = inst.timing();
        const int64_t v0 = p.clock.nowNs();
        const double c0 = cpuS();
        if (!sweep.run(settings).empty()) state.SkipWithError("the sweep stopped");
        const Instrument::Timing& t = inst.timing();
        f.cpu += cpuS() - c0;
        f.virtualS += double(p.clock.nowNs() - v0) / 1e9;
        f.upload += double(t.uploadNs - t0.uploadNs) / 1e9;
        f.settling += double(t.pauseNs - t0.pauseNs) / 1e9 + sweep.waitedS();
        f.capture += double(t.captureNs - t0.captureNs) / 1e9;
        f.readOut += double(t.readOutNs - t0.readOutNs) / 1e9;
        points += int(sweep.points().size());
    }
    for (double* v : {&f.virtualS, &f.cpu, &f.upload, &f.settling, &f.capture, &f.readOut})
        *v /= points;
    f.perPoint = f.virtualS + f.cpu;
    sweeps[name] = f;
    state.counters["s_per_point"] = f.perPoint;
    state.counters["port_and_waits_s"] = f.virtualS;
    state.counters["cpu_s"] = f.cpu;
    state.counters["upload_s"] = f.upload;
    state.counters["settling_s"] = f.settling;
    state.counters["capture_s"] = f.capture;
    state.counters["readout_s"] = f.readOut;
}

void BM_Sweep31_Old(benchmark::State& state) {
    sweep(state, fra::Reference::D, "old");
}
void BM_Sweep31_New(benchmark::State& state) {
    sweep(state, fra::Reference::A, "new");
}
BENCHMARK(BM_Sweep31_Old)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Sweep31_New)->Unit(benchmark::kMillisecond)->Iterations(3);

// On the wall clock: each access really takes its 1000 ns.
void BM_Capture32K_Wall(benchmark::State& state) {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    auto owned = std::make_unique<sim::Wqk01>(latencyOptions());
    sim::Wqk01& sim = *owned;
    Instrument inst(std::move(owned));
    if (!inst.startUp()) state.SkipWithError("no start-up");
    for (const std::string& e :
         {inst.setSampleSize(4), inst.setSampleRate(4), inst.setPretrigger(0)})
        if (!e.empty()) state.SkipWithError(e.c_str());
    // The least of the runs: a busy machine only ever adds to it.
    double readOut = INFINITY, minimum = 0;
    uint64_t before = 0; // accesses before the read-out's first write
    sim.onCommand = [&](int, int c) {
        // The select command decodes on its fourth write.
        if (c == cmd::SelectA) before = sim.accessCount() - 4;
    };
    for (auto _ : state) {
        const int64_t r0 = inst.timing().readOutNs;
        if (inst.captureOnce(1).end != Instrument::RunEnd::Done) state.SkipWithError("no capture");
        readOut = std::min(readOut, double(inst.timing().readOutNs - r0) / 1e6);
        minimum = double(sim.accessCount() - before) * LatencyNs / 1e6;
    }
    state.counters["readout_ms"] = readOut;
    state.counters["minimum_ms"] = minimum;
    state.counters["readout_over_minimum"] = readOut / minimum;
}
BENCHMARK(BM_Capture32K_Wall)->Unit(benchmark::kMillisecond)->Iterations(5);

// Captures per second of `wqkscope log` (its default capture: 4K at 2 MHz, both channels).
void BM_LogCaptures(benchmark::State& state) {
    BenchProgram p; // the clock and a folder
    QTemporaryDir out;
    constexpr int Count = 20;
    double virtualS = 0, cpu = 0;
    for (auto _ : state) {
        std::ostringstream o, e;
        const int64_t v0 = p.clock.nowNs();
        const double c0 = cpuS();
        const int status =
            cli::run({"log", "--port=sim", "--port-latency=1000",
                      "--count=" + std::to_string(Count), "--dir=" + out.path().toStdString()},
                     o, e);
        if (status != 0) state.SkipWithError(e.str().c_str());
        cpu += cpuS() - c0;
        virtualS += double(p.clock.nowNs() - v0) / 1e9;
    }
    const double runs = double(state.iterations());
    state.counters["captures_per_s"] = Count * runs / (virtualS + cpu);
    state.counters["port_and_waits_ms_per_capture"] = 1000 * virtualS / runs / Count;
    state.counters["cpu_ms_per_capture"] = 1000 * cpu / runs / Count;
}
BENCHMARK(BM_LogCaptures)->Unit(benchmark::kMillisecond)->Iterations(1);

// Captures per second of the window's Repeat loop, at the start-up settings (4K at
// 2 MHz, both channels), STOP pressed in the 20th capture's wait.
void BM_RepeatLoop(benchmark::State& state) {
    sim::Options o;
    o.latencyNs = LatencyNs;
    BenchProgram p(o);
    p.w->state().RunRepeat = 1;
    constexpr int PerRun = 20;
    int started = 0;
    p.sim.onCommand = [&](int first, int c) {
        if ((c & 0xBF) == cmd::Start && first != 0 && ++started == PerRun) p.w->GOBUTTON_Click();
    };
    double virtualS = 0, cpu = 0;
    int64_t captures = 0;
    for (auto _ : state) {
        started = 0;
        const int64_t v0 = p.clock.nowNs();
        const double c0 = cpuS();
        p.w->GOBUTTON_Click();
        cpu += cpuS() - c0;
        virtualS += double(p.clock.nowNs() - v0) / 1e9;
        captures += started;
    }
    state.counters["captures_per_s"] = double(captures) / (virtualS + cpu);
    state.counters["port_and_waits_ms_per_capture"] = 1000 * virtualS / double(captures);
    state.counters["cpu_ms_per_capture"] = 1000 * cpu / double(captures);
}
BENCHMARK(BM_RepeatLoop)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    runWindowBenchmarks(argc, argv);
    if (sweeps.count("old") && sweeps.count("new")) {
        std::printf("%-4s %9s %9s %9s %9s %9s %9s   (seconds per point)\n", "", "total", "upload",
                    "settling", "capture", "read-out", "program");
        for (const char* n : {"old", "new"}) {
            const SweepFigures& f = sweeps[n];
            std::printf("%-4s %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f\n", n, f.perPoint, f.upload,
                        f.settling, f.capture, f.readOut, f.cpu);
        }
        std::printf("ratio old / new = %.1f; 31 points: old %.1f s, new %.2f s\n",
                    sweeps["old"].perPoint / sweeps["new"].perPoint, 31 * sweeps["old"].perPoint,
                    31 * sweeps["new"].perPoint);
    }
    return 0;
}
