// Cost of evaluating sheets: a whole sheet from scratch, one keystroke in a large sheet, a
// change that reaches many lines, the page total, and the memory a sheet holds per line.
// Every edit benchmark also reports how many lines the edit analysed afresh.
//
// The sheets come from SheetGenerator (deterministic), so figures compare across runs.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <string>
#include <vector>

#include "QuibSumCore/FixedRateStore.h"
#include "QuibSumCore/Sheet.h"
#include "bench/AllocationCounter.h"
#include "bench/SheetGenerator.h"

namespace {

using namespace quibsum;
using quibsum::bench::benchRates;
using quibsum::bench::SheetGenerator;

Engine benchEngine() { return Engine(benchRates(), NumberStyle::en, RateKind::transfer); }

void perLine(benchmark::State& state, std::size_t lines) {
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["per_line"] = benchmark::Counter(
        static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A whole evaluation of a generated sheet in a fresh Sheet.
void BM_EvaluateFromScratch(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const std::string text = SheetGenerator::join(SheetGenerator().lines(count));
    const Engine engine = benchEngine();
    std::int64_t allocations = 0;
    for (auto _ : state) {
        std::int64_t before = quibsum::bench::allocationCount();
        Sheet sheet(engine);
        benchmark::DoNotOptimize(sheet.setText(text).data());
        allocations += quibsum::bench::allocationCount() - before;
    }
    perLine(state, count);
    state.counters["allocs_per_line"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations()) / static_cast<double>(count);

    // What the generated sheet is made of, so that a change of engine that turns lines into
    // notes does not pass for a speed-up.
    Sheet sheet(engine);
    sheet.setText(text);
    double values = 0, errors = 0;
    for (const LineResult& r : sheet.results()) {
        values += r.isValue();
        errors += r.isError();
    }
    state.counters["value_share"] = values / static_cast<double>(count);
    state.counters["error_share"] = errors / static_cast<double>(count);
}
BENCHMARK(BM_EvaluateFromScratch)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A line near `from` whose edit (the character `suffix` appended) analyses that line alone.
std::size_t lineWithoutDependants(Sheet& sheet, std::size_t from, const std::string& suffix) {
    for (std::size_t i = from; i < sheet.lineCount(); ++i) {
        std::string original = sheet.lines()[i];
        if (original.empty() || original[0] == '#') continue;
        sheet.update(i, i + 1, {original + suffix});
        bool alone = sheet.lastAnalysedCount() == 1;
        sheet.update(i, i + 1, {original});
        if (alone) return i;
    }
    return from;
}

// One typed character, then its deletion, in the middle of a sheet: every iteration is one
// keystroke, handed to the sheet as a one-line update.
void BM_TypeCharacter(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const bool dependants = state.range(1) != 0;
    Sheet sheet(benchEngine());
    sheet.setText(SheetGenerator::join(SheetGenerator().lines(count)));
    std::size_t line = dependants ? count / 2 : lineWithoutDependants(sheet, count / 2, "1");
    if (dependants) {
        // A value line whose block ends in an aggregate: the edit reaches it too.
        while (line < count && !sheet.results()[line].isValue()) ++line;
    }
    const std::string original = sheet.lines()[line];
    const std::string typed = original + "1";
    std::size_t analysed = 0, edits = 0;
    std::int64_t allocations = quibsum::bench::allocationCount();
    for (auto _ : state) {
        auto u = sheet.update(line, line + 1, {(edits % 2 == 0) ? typed : original});
        benchmark::DoNotOptimize(u.changed.data());
        analysed += sheet.lastAnalysedCount();
        ++edits;
    }
    allocations = quibsum::bench::allocationCount() - allocations;
    state.counters["analysed_per_edit"] = static_cast<double>(analysed) / static_cast<double>(edits);
    state.counters["allocs_per_edit"] = static_cast<double>(allocations) / static_cast<double>(edits);
    state.counters["lines"] = static_cast<double>(count);
}
BENCHMARK(BM_TypeCharacter)->Args({2000, 0})->Args({2000, 1})->Args({10000, 0})->Unit(benchmark::kMicrosecond);

// A new line typed (Enter) in the middle: every line below moves by one.
void BM_InsertLine(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    Sheet sheet(benchEngine());
    sheet.setText(SheetGenerator::join(SheetGenerator().lines(count)));
    const std::size_t line = count / 2;
    std::size_t analysed = 0, edits = 0;
    for (auto _ : state) {
        if (edits % 2 == 0)
            sheet.update(line, line, {""});
        else
            sheet.update(line, line + 1, {});
        analysed += sheet.lastAnalysedCount();
        ++edits;
    }
    state.counters["analysed_per_edit"] = static_cast<double>(analysed) / static_cast<double>(edits);
}
BENCHMARK(BM_InsertLine)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The first line assigns a variable that `readers` lines below read; each iteration changes
// its value.
void BM_ChangeSharedVariable(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const std::size_t readers = static_cast<std::size_t>(state.range(1));
    Sheet sheet(benchEngine());
    sheet.setText(SheetGenerator::join(SheetGenerator::withSharedVariable(SheetGenerator().lines(count), readers)));
    std::size_t analysed = 0, edits = 0;
    for (auto _ : state) {
        sheet.update(0, 1, {edits % 2 == 0 ? "shared rate = 101" : "shared rate = 100"});
        analysed += sheet.lastAnalysedCount();
        ++edits;
    }
    state.counters["analysed_per_edit"] = static_cast<double>(analysed) / static_cast<double>(edits);
}
BENCHMARK(BM_ChangeSharedVariable)->Args({2000, 100})->Unit(benchmark::kMicrosecond);

// The page total the footer asks for after every edit (computed afresh each time here).
void BM_PageTotal(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    Sheet sheet(benchEngine());
    sheet.setText(SheetGenerator::join(SheetGenerator().lines(count)));
    const std::size_t line = lineWithoutDependants(sheet, count / 2, "1");
    const std::string original = sheet.lines()[line];
    std::size_t edits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sheet.update(line, line + 1, {(edits++ % 2 == 0) ? original + "1" : original});
        state.ResumeTiming();
        benchmark::DoNotOptimize(sheet.total());
    }
    perLine(state, count);
}
BENCHMARK(BM_PageTotal)->Arg(2000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Heap held by a sheet of generated lines: lines, cache, results and flags, as the allocator
// counts it (its own overhead included). Reported per line, as the text is set and again
// after the first edits of a window (a line typed in the middle, then Enter pressed there).
void BM_MemoryPerLine(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const std::string text = SheetGenerator::join(SheetGenerator().lines(count));
    const Engine engine = benchEngine();
    {
        Sheet warm(engine);  // the engine's tables and formatters are built once, outside the figure
        warm.setText(text);
    }
    double perLineBytes = 0, afterEditBytes = 0;
    for (auto _ : state) {
        std::size_t before = mallinfo2().uordblks;
        auto sheet = std::make_unique<Sheet>(engine);
        sheet->setText(text);
        auto held = [&] { return static_cast<double>(mallinfo2().uordblks - before + sizeof(Sheet)) / count; };
        perLineBytes = held();
        sheet->update(count / 2, count / 2 + 1, {"12 * 3"});
        sheet->update(count / 2 + 1, count / 2 + 1, {""});
        afterEditBytes = held();
        benchmark::DoNotOptimize(sheet.get());
    }
    state.counters["bytes_per_line"] = perLineBytes;
    state.counters["after_edit"] = afterEditBytes;
    std::size_t textBytes = 0;
    for (char c : text) textBytes += c != '\n';
    state.counters["text_bytes_per_line"] = static_cast<double>(textBytes) / static_cast<double>(count);
}
BENCHMARK(BM_MemoryPerLine)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
