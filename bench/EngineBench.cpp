// Cost of analysing one line through the whole engine (lexing, line entry, parsing,
// evaluation, currency conversion through the rate store, formatting), and its allocations.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "QuibSumCore/Engine.h"
#include "bench/AllocationCounter.h"
#include "tests/support/TestRates.h"

namespace {

using namespace quibsum;

// A realistic mix: arithmetic, percentages, units, conversions through the store, sheet
// variables, labels and assignments, in both languages.
const std::vector<std::string>& lineMix() {
    static const std::vector<std::string> lines = {
        "1200 + 350 * 2", "Rent: 5500000 VND",     "20% of 1250.50 USD", "100 USD in VND",
        "5tr5 + 300k",    "2 km + 300 m in ft",    "tiền nhà / 2",       "giá bán = 120 USD",
        "15% off 80 EUR", "mua 250 EUR sang VND",  "(3 + 4) * 12 / 7",   "1 EUR in GBP",
        "x * 3 + 10%",    "sqrt(16) + round(2.5)", "98.6 F in C",        "500 USD @ 25000",
    };
    return lines;
}

Environment sheetEnvironment() {
    Environment env;
    env.assign("tiền nhà", Quantity{Decimal(5000000), Unit{"VND"}, std::nullopt});
    env.assign("x", Quantity{Decimal(42), std::nullopt, std::nullopt});
    env.sheetRates[CurrencyPair{"USD", "VND"}] = Decimal(25000);
    return env;
}

void analyzeMix(benchmark::State& state, NumberStyle style) {
    Engine engine(quibsum::testing::testRates(), style, RateKind::transfer);
    Environment env = sheetEnvironment();
    const auto& lines = lineMix();
    std::size_t i = 0, bytes = 0;
    std::int64_t before = bench::allocationCount();
    for (auto _ : state) {
        const std::string& line = lines[i++ % lines.size()];
        bytes += line.size();
        benchmark::DoNotOptimize(engine.analyze(line, env));
    }
    state.counters["allocs/line"] = benchmark::Counter(static_cast<double>(bench::allocationCount() - before) /
                                                       static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void analyzeOne(benchmark::State& state, const char* line) {
    Engine engine(quibsum::testing::testRates(), NumberStyle::en, RateKind::transfer);
    Environment env = sheetEnvironment();
    std::int64_t before = bench::allocationCount();
    for (auto _ : state) benchmark::DoNotOptimize(engine.analyze(line, env));
    state.counters["allocs/line"] = benchmark::Counter(static_cast<double>(bench::allocationCount() - before) /
                                                       static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(analyzeMix, en, NumberStyle::en);
BENCHMARK_CAPTURE(analyzeMix, vi, NumberStyle::vi);
BENCHMARK_CAPTURE(analyzeOne, arithmetic, "1200 + 350 * 2");
BENCHMARK_CAPTURE(analyzeOne, percentage, "20% of 1250.50 USD");
BENCHMARK_CAPTURE(analyzeOne, bankConversion, "100 USD in VND");
BENCHMARK_CAPTURE(analyzeOne, crossConversion, "1 EUR in GBP");
BENCHMARK_CAPTURE(analyzeOne, units, "2 km + 300 m in ft");
BENCHMARK_CAPTURE(analyzeOne, multiWordVariable, "tiền nhà / 2");
