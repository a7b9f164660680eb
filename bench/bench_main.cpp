// Runs the benchmarks, then prints each of ours as a ratio to the baseline
// measured beside it in the same run: absolute times say more about the
// machine than about the code.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_inputs.h"
#include "conversion_bench.h"
#include "model_bench.h"

namespace {

// The console output as usual, plus the time per item of every repetition of
// every benchmark (--benchmark_repetitions=N gives N of them).
struct RatioReporter : benchmark::ConsoleReporter {
    std::map<std::string, std::vector<double>> nanosecondsPerItem;

    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
                continue;
            }
            double perItem =
                run.real_accumulated_time * 1e9 / (static_cast<double>(run.iterations) * kPoolSize);
            nanosecondsPerItem[run.run_name.function_name].push_back(perItem);
        }
    }
};

// The fastest repetition: on a shared machine every slower one only measured
// someone else's work as well.
double Fastest(const std::vector<double>& values) {
    double fastest = values.front();
    for (double value : values) {
        fastest = value < fastest ? value : fastest;
    }
    return fastest;
}

struct Comparison {
    const char* ours;
    const char* baseline;
};

const Comparison kComparisons[] = {
    {"ParseAmount/typed", "strtod/typed"},
    {"ParseAmount/typed", "from_chars/typed"},
    {"ParseAmount/long", "strtod/long"},
    {"ParseAmount/long", "from_chars/long"},
    {"ParseAmount/exponent", "strtod/exponent"},
    {"ParseAmount/exponent", "from_chars/exponent"},
    {"FormatFixed/money", "snprintf/money"},
    {"FormatFixed/money", "to_chars/money"},
    {"FormatFixed/percent", "snprintf/percent"},
    {"FormatFixed/percent", "to_chars/percent"},
    {"FormatFixed/wide", "snprintf/wide"},
    {"FormatFixed/wide", "to_chars/wide"},
    {"ComputeResultTexts/item", "snprintf-texts/item"},
    {"ComputeResultTexts/item", "six-to_chars/item"},
};

void PrintRatios(const RatioReporter& reporter) {
    const auto& times = reporter.nanosecondsPerItem;
    std::printf("\nRatios, ours / baseline (time per item; below 1.0 means ours is faster)\n");
    for (const Comparison& comparison : kComparisons) {
        auto ours = times.find(comparison.ours);
        auto baseline = times.find(comparison.baseline);
        if (ours == times.end() || baseline == times.end()) {
            continue;
        }
        double oursTime = Fastest(ours->second);
        double baselineTime = Fastest(baseline->second);
        std::printf("  %-24s / %-22s %6.2f   (%.1f ns / %.1f ns)\n", comparison.ours,
                    comparison.baseline, oursTime / baselineTime, oursTime, baselineTime);
    }
    for (const char* name : {"ComputeResultTexts/item", "ParseInputs+ComputeResultTexts/item"}) {
        auto found = times.find(name);
        if (found != times.end()) {
            std::printf("  %-36s %8.1f ns per item (target: under 1000 ns)\n", name,
                        Fastest(found->second));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    RegisterConversionBenchmarks();
    RegisterModelBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
