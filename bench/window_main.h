#pragma once
// The main of the benchmarks that draw or drive the window: an offscreen application
// around the benchmark run, reported by `reporter` (the console's table when null).
#include <QApplication>
#include <benchmark/benchmark.h>

inline void runWindowBenchmarks(int& argc, char** argv,
                                benchmark::BenchmarkReporter* reporter = nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (reporter)
        benchmark::RunSpecifiedBenchmarks(reporter);
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
