// Measuring both channels of a 32K capture (every value of each, and B's gain and phase
// against A) beside the capture read-out of the same two channels from the simulated
// instrument, side by side in one run. Goal: the measurements under 1 ms.
#include "analysis/record.h"

#include "ratio_reporter.h"

#include "bench_program.h"
#include "window_main.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

sim::Options inputs() {
    sim::Options o;
    o.inputB.kind = sim::InputSpec::Kind::Sine;
    o.inputB.peak = 0.5;
    return o;
}

// The program on the simulated instrument after one 32K capture of both channels at
// 2 MHz (16 periods of the 1 kHz inputs).
struct Program : BenchProgram {
    Program() : BenchProgram(inputs()) {
        InstrumentState& s = w->state();
        s.ReadCount = 32768;
        s.PreTrigCount = 0;
        s.RateCode = 2;
        s.DataRateA = 3;
        s.DataRateB = 3;
        s.TrigMode = 0;
        s.CaptureStatus = 0;
        w->ADCconvert();
    }
};

void BM_Measure32K_Ours(benchmark::State& state) {
    Program p;
    const InstrumentState& s = p.w->state();
    if (s.CaptureStatus != 1) state.SkipWithError("capture delivered no data");
    const size_t n = analysis::capturedCount(s);
    const analysis::Trace a = analysis::traceOf(s, analysis::Channel::A, 0, n),
                          b = analysis::traceOf(s, analysis::Channel::B, 0, n);
    const long offset = analysis::bWindowOffset(s).samples.value_or(0);
    double phase = 0;
    for (auto _ : state) {
        const analysis::Measurements ma = analysis::measure(a), mb = analysis::measure(b);
        const analysis::GainPhase gp =
            analysis::gainPhase(a, b, ma.frequencyHz.value.value_or(0), offset);
        benchmark::DoNotOptimize(mb);
        phase = gp.phaseDeg.value.value_or(999);
    }
    if (phase == 999) state.SkipWithError("no phase measured");
}
BENCHMARK(BM_Measure32K_Ours)->Unit(benchmark::kMicrosecond);

// The yardstick: clocking the same two 32K channels out of the instrument's memories.
void BM_Measure32K_ReadOut(benchmark::State& state) {
    Program p;
    for (auto _ : state) {
        p.w->readbufferA();
        p.w->readbufferB();
        benchmark::DoNotOptimize(p.w->state().ChanBBuffer.data());
    }
}
BENCHMARK(BM_Measure32K_ReadOut)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter("_ReadOut");
    runWindowBenchmarks(argc, argv, &reporter);
    return 0;
}
