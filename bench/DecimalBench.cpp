// Cost of one Decimal operation on operands of varied size (1 to 38 digits, exponents
// spread over the range). Every iteration is one operation: the reported time is per op.
#include "QuibSumCore/Decimal.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using quibsum::Decimal;

std::vector<Decimal> operands(unsigned seed, int minExponent = -30, int maxExponent = 20) {
    std::mt19937_64 random(seed);
    std::vector<Decimal> values;
    for (int i = 0; i < 1024; ++i) {
        const int digits = 1 + static_cast<int>(random() % 38);
        std::string text;
        for (int d = 0; d < digits; ++d) text += static_cast<char>('1' + random() % 9);
        text += "e" + std::to_string(minExponent + static_cast<int>(random() % (maxExponent - minExponent + 1)));
        values.push_back(*Decimal::parse(text));
    }
    return values;
}

template <typename Op>
void binary(benchmark::State& state, Op op) {
    const auto a = operands(1), b = operands(2);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(op(a[i & 1023], b[i & 1023]));
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_DecimalAdd(benchmark::State& s) {
    binary(s, [](const Decimal& x, const Decimal& y) { return x + y; });
}
void BM_DecimalMul(benchmark::State& s) {
    binary(s, [](const Decimal& x, const Decimal& y) { return x * y; });
}
void BM_DecimalDiv(benchmark::State& s) {
    binary(s, [](const Decimal& x, const Decimal& y) { return x / y; });
}

// Typical amounts: a few digits, small exponents, as a sheet holds them.
void BM_DecimalAddSmall(benchmark::State& state) {
    const std::vector<Decimal> a = {Decimal(1250), *Decimal::parse("19.99"), *Decimal::parse("0.075"), Decimal(3)};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a[i & 3] + a[(i + 1) & 3]);
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_DecimalParse(benchmark::State& state) {
    std::vector<std::string> texts;
    for (const Decimal& d : operands(3)) texts.push_back(d.toString());
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Decimal::parse(texts[i & 1023]));
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_DecimalWrite(benchmark::State& state) {
    const auto values = operands(4);
    char buf[Decimal::maxStringLength];
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(values[i & 1023].write(buf));
        benchmark::ClobberMemory();
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_DecimalToString(benchmark::State& state) {
    const auto values = operands(4);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(values[i & 1023].toString());
        ++i;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_DecimalAdd);
BENCHMARK(BM_DecimalAddSmall);
BENCHMARK(BM_DecimalMul);
BENCHMARK(BM_DecimalDiv);
BENCHMARK(BM_DecimalParse);
BENCHMARK(BM_DecimalWrite);
BENCHMARK(BM_DecimalToString);
