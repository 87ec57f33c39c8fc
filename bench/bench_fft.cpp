// The spectrum of one 32K channel with our transform (the fixed numerics the display and
// FFT files rely on) against FFTW on the same input, side by side in one run.
#include "spectrum/fft.h"

#include "ratio_reporter.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int N = 32768;

std::vector<int16_t> capture() {
    std::vector<int16_t> b(N);
    for (int i = 0; i < N; ++i)
        b[i] = int16_t(1280 +
                       std::lround(900 * std::sin(2 * M_PI * 1000 * i / N) + (i * 7919 % 61) - 30));
    return b;
}

struct Arrays {
    std::vector<double> ri = std::vector<double>(32801), ii = std::vector<double>(32801),
                        ro = std::vector<double>(32801), io = std::vector<double>(33001);
};

// What FFT mode does per capture and channel: transform, magnitudes, scaling.
void BM_Spectrum32K_Ours(benchmark::State& st) {
    const auto samples = capture();
    Arrays a;
    for (auto _ : st) {
        auto b = samples;
        spectrum::convertChannel(b, N, a.ri, a.ii, a.ro, a.io);
        benchmark::DoNotOptimize(b.data());
    }
}

// The same work with FFTW: a real-input plan made once (as a program would keep it).
void BM_Spectrum32K_FFTW(benchmark::State& st) {
    const auto samples = capture();
    double* in = fftw_alloc_real(N);
    fftw_complex* out = fftw_alloc_complex(N / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(N, in, out, FFTW_MEASURE);
    std::vector<int16_t> b(N);
    for (auto _ : st) {
        for (int i = 0; i < N; ++i)
            in[i] = samples[i] / 100.0;
        fftw_execute(plan);
        double max = 0;
        for (int i = 1; i < N / 2; ++i)
            max = std::max(max, std::hypot(out[i][0], out[i][1]));
        if (max == 0) max = 1;
        b[0] = 0;
        for (int i = 1; i < N / 2; ++i)
            b[i] = int16_t(std::nearbyint(std::hypot(out[i][0], out[i][1]) * 2550 / max));
        benchmark::DoNotOptimize(b.data());
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

// The bare transforms: ours (complex, bit-reversed input, recurrence twiddles) and
// FFTW's complex transform of the same size.
void BM_Transform32K_Ours(benchmark::State& st) {
    const auto samples = capture();
    Arrays a;
    for (int i = 0; i < N; ++i)
        a.ri[i] = samples[i] / 100.0;
    for (auto _ : st) {
        int32_t n = N;
        Fourier(n, a.ri, a.ii, a.ro, a.io);
        benchmark::DoNotOptimize(a.ro.data());
    }
}

void BM_Transform32K_FFTW(benchmark::State& st) {
    const auto samples = capture();
    fftw_complex* in = fftw_alloc_complex(N);
    fftw_complex* out = fftw_alloc_complex(N);
    fftw_plan plan = fftw_plan_dft_1d(N, in, out, FFTW_BACKWARD, FFTW_MEASURE);
    for (int i = 0; i < N; ++i) {
        in[i][0] = samples[i] / 100.0;
        in[i][1] = 0;
    }
    for (auto _ : st) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

} // namespace

BENCHMARK(BM_Spectrum32K_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Spectrum32K_FFTW)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Transform32K_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Transform32K_FFTW)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter("_FFTW");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
