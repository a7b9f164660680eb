// ParseAmount and FormatFixed beside the standard library's fastest and most
// common conversions, on the same texts and the same doubles.
#include "conversion_bench.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "bench_inputs.h"
#include "number_text.h"

namespace {

// Room for any two-decimal text of a double: 313 characters at most.
constexpr std::size_t kFixedTextSize = 400;

void MeasureParseAmount(benchmark::State& state, const TextPool* pool) {
    for (auto _ : state) {
        for (const std::string& text : pool->texts) {
            benchmark::DoNotOptimize(ParseAmount(text));
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

void MeasureStrtod(benchmark::State& state, const TextPool* pool) {
    for (auto _ : state) {
        for (const std::string& text : pool->texts) {
            benchmark::DoNotOptimize(std::strtod(text.c_str(), nullptr));
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

void MeasureFromChars(benchmark::State& state, const TextPool* pool) {
    for (auto _ : state) {
        for (const std::string& text : pool->texts) {
            double value = 0.0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

void MeasureFormatFixed(benchmark::State& state, const std::vector<double>* figures) {
    char text[kFixedTextSize];
    for (auto _ : state) {
        for (double value : *figures) {
            benchmark::DoNotOptimize(FormatFixed(value, 1, 2, text, sizeof text));
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

void MeasureSnprintf(benchmark::State& state, const std::vector<double>* figures) {
    char text[kFixedTextSize];
    for (auto _ : state) {
        for (double value : *figures) {
            benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.2f", value));
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

void MeasureToChars(benchmark::State& state, const std::vector<double>* figures) {
    char text[kFixedTextSize];
    for (auto _ : state) {
        for (double value : *figures) {
            std::to_chars_result result =
                std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
            benchmark::DoNotOptimize(result.ptr);
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

// The pools live as long as the process: the benchmarks keep pointers.
const TextPool g_typedTexts = MakeTypedTexts();
const TextPool g_longTexts = MakeLongTexts();
const TextPool g_exponentTexts = MakeExponentTexts();
const std::vector<double> g_moneyFigures = MakeMoneyFigures();
const std::vector<double> g_percentFigures = MakePercentFigures();
const std::vector<double> g_wideFigures = MakeWideFigures();

}  // namespace

void RegisterConversionBenchmarks() {
    struct TextSet {
        const char* name;
        const TextPool* pool;
    };
    for (const TextSet& set : {TextSet{"typed", &g_typedTexts}, TextSet{"long", &g_longTexts},
                               TextSet{"exponent", &g_exponentTexts}}) {
        std::string suffix = std::string("/") + set.name;
        benchmark::RegisterBenchmark(("ParseAmount" + suffix).c_str(), MeasureParseAmount,
                                     set.pool);
        benchmark::RegisterBenchmark(("strtod" + suffix).c_str(), MeasureStrtod, set.pool);
        benchmark::RegisterBenchmark(("from_chars" + suffix).c_str(), MeasureFromChars, set.pool);
    }
    struct FigureSet {
        const char* name;
        const std::vector<double>* figures;
    };
    for (const FigureSet& set :
         {FigureSet{"money", &g_moneyFigures}, FigureSet{"percent", &g_percentFigures},
          FigureSet{"wide", &g_wideFigures}}) {
        std::string suffix = std::string("/") + set.name;
        benchmark::RegisterBenchmark(("FormatFixed" + suffix).c_str(), MeasureFormatFixed,
                                     set.figures);
        benchmark::RegisterBenchmark(("snprintf" + suffix).c_str(), MeasureSnprintf, set.figures);
        benchmark::RegisterBenchmark(("to_chars" + suffix).c_str(), MeasureToChars, set.figures);
    }
}
