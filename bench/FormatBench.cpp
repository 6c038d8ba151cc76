// Cost of formatting one result and of one unit conversion, and the heap allocations a
// format makes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "QuibSumCore/ResultFormatter.h"
#include "QuibSumCore/UnitRegistry.h"
#include "bench/AllocationCounter.h"

namespace {

using namespace quibsum;

Decimal dec(const char* text) { return *Decimal::parse(text); }

Quantity q(const char* value, const char* unit) {
    Quantity quantity{dec(value), std::nullopt, std::nullopt};
    if (unit) quantity.unit = Unit{unit};
    return quantity;
}

// A mix like a typical sheet's results column: plain numbers, VND, another currency,
// percentages and physical units, short and long.
std::vector<Quantity> resultMix() {
    return {
        q("1234567.891", nullptr),
        q("0.33333333333333333333333333333333333333", nullptr),
        q("42", nullptr),
        q("25000", "VND"),
        q("1234567890.5", "VND"),
        q("12.5", "USD"),
        q("98765.4321", "EUR"),
        q("0.125", "%"),
        q("1.5", "km"),
        q("1024", "KiB"),
    };
}

void formatMix(benchmark::State& state, NumberStyle style) {
    const auto mix = resultMix();
    std::size_t i = 0;
    std::int64_t before = quibsum::bench::allocationCount();
    for (auto _ : state) {
        std::string text = ResultFormatter::format(mix[i], style);
        benchmark::DoNotOptimize(text.data());
        if (++i == mix.size()) i = 0;
    }
    const std::int64_t made = quibsum::bench::allocationCount() - before;
    state.counters["allocs_per_format"] =
        benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
    state.counters["formats"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FormatMix_vi(benchmark::State& state) { formatMix(state, NumberStyle::vi); }
void BM_FormatMix_en(benchmark::State& state) { formatMix(state, NumberStyle::en); }
BENCHMARK(BM_FormatMix_vi);
BENCHMARK(BM_FormatMix_en);

// One category at a time, to see which one costs what.
void BM_FormatOne(benchmark::State& state) {
    const auto mix = resultMix();
    const Quantity& quantity = mix[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(ResultFormatter::format(quantity, NumberStyle::vi));
    std::int64_t before = quibsum::bench::allocationCount();
    for (auto _ : state) {
        std::string text = ResultFormatter::format(quantity, NumberStyle::vi);
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["allocs_per_format"] = benchmark::Counter(
        static_cast<double>(quibsum::bench::allocationCount() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FormatOne)->DenseRange(0, 9);

struct Conversion {
    const char* value;
    const char* from;
    const char* to;
};

void BM_Convert(benchmark::State& state) {
    const Conversion list[] = {
        {"5", "km", "m"},      {"12", "inch", "cm"},   {"98.6", "F", "C"}, {"3", "GiB", "MiB"},
        {"2.5", "acre", "ha"}, {"1.5", "gallon", "l"}, {"90", "min", "h"}, {"7", "lb", "kg"},
    };
    std::vector<Decimal> values;
    for (const auto& c : list) values.push_back(dec(c.value));
    std::size_t i = 0;
    std::int64_t before = quibsum::bench::allocationCount();
    for (auto _ : state) {
        auto r = UnitRegistry::convert(values[i], list[i].from, list[i].to);
        benchmark::DoNotOptimize(r);
        if (++i == std::size(list)) i = 0;
    }
    state.counters["allocs_per_conversion"] = benchmark::Counter(
        static_cast<double>(quibsum::bench::allocationCount() - before), benchmark::Counter::kAvgIterations);
    state.counters["conversions"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Convert);

void BM_Lookup(benchmark::State& state) {
    const char* symbols[] = {"km", "USD", "m²", "VND", "KiB", "%", "lạng", "month"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(UnitRegistry::definition(symbols[i]));
        if (++i == std::size(symbols)) i = 0;
    }
    state.counters["lookups"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Lookup);

}  // namespace
