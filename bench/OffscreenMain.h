#pragma once

// main() for benchmarks that need widgets: a QApplication on the offscreen
// platform around Google Benchmark's runner.

#include <QApplication>

#include <benchmark/benchmark.h>

#define ORVELL_OFFSCREEN_BENCHMARK_MAIN()               \
    int main(int argc, char** argv)                     \
    {                                                   \
        qputenv("QT_QPA_PLATFORM", "offscreen");        \
        QApplication app(argc, argv);                   \
        benchmark::Initialize(&argc, argv);             \
        benchmark::RunSpecifiedBenchmarks();            \
        benchmark::Shutdown();                          \
        return 0;                                       \
    }
