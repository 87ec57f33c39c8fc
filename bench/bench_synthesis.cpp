// Worst-case generator synthesis (a full SWEEP table, and the largest NORMAL table)
// beside the floor for any table of that length: the same number of points computed
// directly from their index, measured side by side in one run.
#include "generator/synthesis.h"

#include "ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// X20 from a 400-step base: the longest sweep, 202 cycles and 31235 points.
void BM_SweepX20Sine_Ours(benchmark::State& st) {
    std::vector<int16_t> w(32768);
    long last = 0;
    for (auto _ : st) {
        last = gen::synthSweep(w, gen::Sine, 0, 3, 1);
        gen::sineTail(w, last, 1);
        benchmark::DoNotOptimize(w.data());
    }
    st.counters["points"] = double(last);
}

void BM_SweepX20Sine_Floor(benchmark::State& st) {
    std::vector<int16_t> w(32768);
    const long points = 31235;
    for (auto _ : st) {
        for (long i = 0; i < points; ++i)
            w[i] = int16_t(std::nearbyint(1275 * std::sin(i * 0.0157) + 1275));
        for (long i = points; i < 32768; ++i)
            w[i] = 1275;
        benchmark::DoNotOptimize(w.data());
    }
}

// 20 Hz on the 30 MHz model: 20 cycles of 1500 points, the largest NORMAL table.
void BM_Normal20HzSine_Ours(benchmark::State& st) {
    std::vector<int16_t> w(32768);
    for (auto _ : st) {
        const gen::Settled f = gen::settleFrequency(20, 1.5f);
        const long last = gen::synthNormal(w, gen::Sine, f, 1, 0);
        gen::sineTail(w, last, 1);
        benchmark::DoNotOptimize(w.data());
    }
}

void BM_Normal20HzSine_Floor(benchmark::State& st) {
    std::vector<int16_t> w(32768);
    for (auto _ : st) {
        for (long i = 0; i < 30000; ++i)
            w[i] = int16_t(std::nearbyint(1275 * std::sin(i * 0.0042) + 1275));
        for (long i = 30000; i < 32768; ++i)
            w[i] = 1275;
        benchmark::DoNotOptimize(w.data());
    }
}

} // namespace

BENCHMARK(BM_SweepX20Sine_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SweepX20Sine_Floor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Normal20HzSine_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Normal20HzSine_Floor)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("_Floor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
