// Recording a Repeat run: the run loop of 32K two-channel captures with every capture
// written as a WAV file and an index line, beside the same loop without recording, side
// by side in one run. Goal: recording slows the loop by at most 10 % (ratio <= 1.10 of the
// loop thread's CPU time; the files are written on a thread beside it, whose share the
// process counter shows).
#include "export/logger.h"

#include "ratio_reporter.h"

#include "bench_program.h"
#include "window_main.h"

#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

namespace {

// The program on the simulated instrument, 32K, both channels, instant captures.
struct Program : BenchProgram {
    Program() {
        InstrumentState& s = w->state();
        s.SampleSizeIndex = 4;
        w->DSAMPLE();
        s.RunRepeat = 1;
    }
};

// One Repeat run of PerRun captures, STOP pressed in the last one's wait.
constexpr int PerRun = 10;

void repeatRun(benchmark::State& state, bool recording) {
    Program p;
    QTemporaryDir out;
    exporting::CaptureLogger logger(out.path().toStdString(), exporting::LogFormat::Wav);
    if (recording && !logger.start()) state.SkipWithError("cannot start the recording");
    int started = 0;
    p.sim.onCommand = [&, next = p.sim.onCommand](int first, int c) {
        if (next) next(first, c);
        if ((c & 0xBF) == 0x02 && first != 0 && ++started == PerRun) p.w->GOBUTTON_Click();
    };
    QObject::connect(p.w.get(), &WQK::captured, [&] {
        if (recording && !logger.record(p.w->state())) state.SkipWithError("a capture was lost");
    });
    int64_t captures = 0;
    const std::clock_t process0 = std::clock();
    for (auto _ : state) {
        started = 0;
        p.w->GOBUTTON_Click();
        captures += started;
    }
    // The CPU column is the loop's own thread; this is every thread, the writer's too.
    state.counters["process_cpu_ms_per_capture"] =
        1000.0 * double(std::clock() - process0) / CLOCKS_PER_SEC / double(captures);
    state.counters["captures"] = double(captures);
}

void BM_Repeat32K_Plain(benchmark::State& state) {
    repeatRun(state, false);
}
void BM_Repeat32K_Ours(benchmark::State& state) {
    repeatRun(state, true);
}
BENCHMARK(BM_Repeat32K_Plain)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Repeat32K_Ours)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter("_Plain");
    runWindowBenchmarks(argc, argv, &reporter);
    return 0;
}
