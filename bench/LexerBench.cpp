// Cost of lexing one line, per line and per byte, for English-style ASCII lines and for
// Vietnamese lines, and the heap allocations each line costs.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "QuibSumCore/Lexer.h"
#include "bench/AllocationCounter.h"

namespace {

using namespace quibsum;

const std::vector<std::string> asciiLines = {
    "Rent: 5,500,000 VND",
    "20% of 1,250.50 USD",
    "100 usd to vnd",
    "2 km + 300 m in ft",
    "price * 2 - discount",
    "3 x 4 cup in ml",
    "# groceries for March",
    "sqrt(16) + 2^10 mod 7",
    "10% off 200k",
    "5 MB to KiB",
    "total",
    "0x1F + 0b101",
};

const std::vector<std::string> vietnameseLines = {
    "Rent: 5.500.000 đ",
    "tiền nhà = 5tr5",
    "100 usd sang vnd",
    "giá bán * 2",
    "lương tháng 3: 25 triệu",
    "1 tỷ 25 đổi sang usd",
    "100 € là bao nhiêu đồng",
    "tiền điện + tiền nước",
    "giảm 10% của 1.250.000 đ",
    "3 cân 2 lạng sang kg",
    "tổng",
    "ăn sáng 35 nghìn",
};

template <class Scan>
void lexMix(benchmark::State& state, const std::vector<std::string>& lines, Scan scan) {
    const Lexer lexer(NumberStyle::vi);
    std::size_t bytes = 0;
    for (const auto& line : lines) bytes += line.size();
    for (const auto& line : lines) benchmark::DoNotOptimize(scan(lexer, line));  // warm the tables
    const auto allocationsBefore = bench::allocationCount();
    for (auto _ : state) {
        for (const auto& line : lines) benchmark::DoNotOptimize(scan(lexer, line));
    }
    const auto linesDone = static_cast<double>(state.iterations() * lines.size());
    state.counters["allocs/line"] = static_cast<double>(bench::allocationCount() - allocationsBefore) / linesDone;
    state.counters["ns/line"] =
        benchmark::Counter(linesDone, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["ns/byte"] = benchmark::Counter(static_cast<double>(state.iterations() * bytes),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

auto lexemes = [](const Lexer& lexer, const std::string& line) { return lexer.lexemes(line); };
auto tokens = [](const Lexer& lexer, const std::string& line) { return lexer.tokens(line); };

void BM_LexemesASCII(benchmark::State& state) { lexMix(state, asciiLines, lexemes); }
void BM_LexemesVietnamese(benchmark::State& state) { lexMix(state, vietnameseLines, lexemes); }
void BM_TokensASCII(benchmark::State& state) { lexMix(state, asciiLines, tokens); }
void BM_TokensVietnamese(benchmark::State& state) { lexMix(state, vietnameseLines, tokens); }

// A typed line of about 30 characters, the figure an editor pays per visible line and keystroke.
void BM_LexemesTypicalLine(benchmark::State& state) { lexMix(state, {"groceries: 1,250.50 usd to vnd"}, lexemes); }

}  // namespace

BENCHMARK(BM_LexemesASCII);
BENCHMARK(BM_LexemesVietnamese);
BENCHMARK(BM_TokensASCII);
BENCHMARK(BM_TokensVietnamese);
BENCHMARK(BM_LexemesTypicalLine);
