// The whole of one item's work in the model, per item, beside the plainest
// way to make the same six texts with the C library.
#include "model_bench.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_inputs.h"
#include "inventory.h"

namespace {

struct PlainTexts {
    char text[kResultCount][kResultTextSize];
};

// The same templates and branches in plain double arithmetic and printf: no
// wide exponent range and printf's rounding, so not the same texts at the
// edges, but the same work for the items measured here.
void MakePlainTexts(const InventoryInputs& item, PlainTexts& out) {
    double annualSales = item.sellPerMonth * item.price * 12;
    double grossProfit = annualSales - item.cost * item.sellPerMonth * 12;
    double averageInventory = item.buyPerMonth * item.cost * 0.5;
    std::snprintf(out.text[kAnnualSales], kResultTextSize, "$%.2f  ", annualSales);
    std::snprintf(out.text[kGrossProfit], kResultTextSize, "$%.2f  ", grossProfit);
    if (annualSales != 0) {
        std::snprintf(out.text[kGrossProfitPercent], kResultTextSize, "%.2f%%",
                      grossProfit / annualSales * 100);
    } else {
        std::strcpy(out.text[kGrossProfitPercent], grossProfit != 0 ? "Infinite" : "0.00%");
    }
    if (item.sellPerMonth != 0) {
        std::snprintf(out.text[kMonthsSupply], kResultTextSize, "%.2f  ",
                      item.buyPerMonth / item.sellPerMonth);
    } else {
        std::strcpy(out.text[kMonthsSupply], item.buyPerMonth != 0 ? "Infinite" : "0.00  ");
    }
    std::snprintf(out.text[kAverageInventory], kResultTextSize, "$%.2f  ", averageInventory);
    if (averageInventory != 0) {
        double r = grossProfit / averageInventory * 100;
        if (r > 1000) {
            std::strcpy(out.text[kReturnOnInventory], ">1000.00%");
        } else if (r >= 0) {
            std::snprintf(out.text[kReturnOnInventory], kResultTextSize, "%16.2f%%", r);
        } else {
            std::strcpy(out.text[kReturnOnInventory], "Negative");
        }
    } else {
        std::strcpy(out.text[kReturnOnInventory], grossProfit != 0 ? "Infinite" : "0.00%");
    }
}

// The six figures an item shows, as plain doubles: the money figures from
// the model, the three quotients in plain double arithmetic.
struct SixFigures {
    double figure[kResultCount];
};

std::vector<SixFigures> MakeSixFigures(const std::vector<InventoryInputs>& items) {
    std::vector<SixFigures> all;
    for (const InventoryInputs& item : items) {
        const InventoryResults results = ComputeResults(item);
        const double sales = results.figure[kAnnualSales].value;
        const double profit = results.figure[kGrossProfit].value;
        const double average = results.figure[kAverageInventory].value;
        SixFigures six;
        six.figure[kAnnualSales] = sales;
        six.figure[kGrossProfit] = profit;
        six.figure[kGrossProfitPercent] = profit / sales * 100;
        six.figure[kMonthsSupply] = item.buyPerMonth / item.sellPerMonth;
        six.figure[kAverageInventory] = average;
        six.figure[kReturnOnInventory] = profit / average * 100;
        all.push_back(six);
    }
    return all;
}

const std::vector<InventoryInputs> g_items = MakeItems();
const std::vector<SixFigures> g_sixFigures = MakeSixFigures(g_items);
const std::vector<std::string> g_itemTexts = MakeItemTexts();

void MeasureComputeResultTexts(benchmark::State& state) {
    for (auto _ : state) {
        for (const InventoryInputs& item : g_items) {
            ResultTexts texts = ComputeResultTexts(item);
            benchmark::DoNotOptimize(texts);
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

void MeasurePlainTexts(benchmark::State& state) {
    PlainTexts texts;
    for (auto _ : state) {
        for (const InventoryInputs& item : g_items) {
            MakePlainTexts(item, texts);
            benchmark::DoNotOptimize(texts);
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

// The formatting floor of one item: six to_chars(fixed, 2) calls on figures
// computed beforehand, with no templates, zero cases or arithmetic.
void MeasureSixToChars(benchmark::State& state) {
    PlainTexts texts;
    for (auto _ : state) {
        for (const SixFigures& six : g_sixFigures) {
            for (int field = 0; field < kResultCount; ++field) {
                char* text = texts.text[field];
                const std::to_chars_result result =
                    std::to_chars(text, text + kResultTextSize - 1, six.figure[field],
                                  std::chars_format::fixed, 2);
                *result.ptr = '\0';
            }
            benchmark::DoNotOptimize(texts);
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

void MeasureParseAndCompute(benchmark::State& state) {
    for (auto _ : state) {
        for (std::size_t i = 0; i + 3 < g_itemTexts.size(); i += 4) {
            InventoryInputs item = ParseInputs(g_itemTexts[i], g_itemTexts[i + 1],
                                               g_itemTexts[i + 2], g_itemTexts[i + 3]);
            ResultTexts texts = ComputeResultTexts(item);
            benchmark::DoNotOptimize(texts);
        }
    }
    state.SetItemsProcessed(state.iterations() * kPoolSize);
}

}  // namespace

void RegisterModelBenchmarks() {
    benchmark::RegisterBenchmark("ComputeResultTexts/item", MeasureComputeResultTexts);
    benchmark::RegisterBenchmark("snprintf-texts/item", MeasurePlainTexts);
    benchmark::RegisterBenchmark("six-to_chars/item", MeasureSixToChars);
    benchmark::RegisterBenchmark("ParseInputs+ComputeResultTexts/item", MeasureParseAndCompute);
}
