// Memory of the real sheet editor: a sheet opened in EditorView (text view, results column,
// highlighting, the sheet's evaluation) on Qt's offscreen platform, held until its text is
// fully in the view and its evaluation is back, then measured. Reports, per line of the
// sheet, the heap the open editor holds (every malloc, Qt's included) and the growth of the
// resident set (after the window was resized, as a user does), for plain "1" lines, lines assigning multi-word names
// ("item N = N") and generated pages, at sizes that double, so that growth faster than the text shows at once.
//
// Run one case alone (--benchmark_filter) to read the process's peak resident set for it:
// peak_rss_mb is the peak of the whole process so far.

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSumCore/FixedRateStore.h"
#include "bench/SheetGenerator.h"

namespace {

using namespace quibsum;
using quibsum::bench::benchRates;
using quibsum::bench::SheetGenerator;

enum Content { plainLines, multiWordNames, generatedPages, longLines };

// A sum of 200 numbers, about 1,000 characters.
QString longLine(int i) {
    QString line = QString::number(i);
    for (int k = 1; k < 200; ++k) line += QStringLiteral(" + %1").arg((i * 7 + k) % 1000);
    return line;
}

QString sheetText(Content content, int count) {
    if (content == generatedPages)
        return QString::fromStdString(SheetGenerator::join(SheetGenerator().lines(static_cast<std::size_t>(count))));
    QString text;
    for (int i = 1; i <= count; ++i) {
        if (i > 1) text += u'\n';
        if (content == plainLines)
            text += u'1';
        else if (content == longLines)
            text += longLine(i);
        else
            text += QStringLiteral("item %1 = %1").arg(i);
    }
    return text;
}

// Bytes malloc has handed out and not had back, in every arena.
double heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// A field of /proc/self/status, in bytes.
double statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) * 1024;
    return 0;
}

void BM_OpenSheet(benchmark::State& state) {
    const auto content = static_cast<Content>(state.range(0));
    const int count = static_cast<int>(state.range(1));
    const QString text = sheetText(content, count);
    double heap = 0, resizedHeap = 0, resident = 0, seconds = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const double heapBefore = heapInUse();
        const double residentBefore = statusBytes("VmRSS");
        QElapsedTimer opened;
        opened.start();
        {
            EditorView view(text, Engine(benchRates(), NumberStyle::en, RateKind::transfer));
            view.resize(560, 360);
            view.show();
            if (!QTest::qWaitForWindowExposed(&view)) return state.SkipWithError("the editor was never exposed");
            const bool settled = QTest::qWaitFor(
                [&] {
                    return !view.textView()->isReadOnly() && view.results().size() == static_cast<std::size_t>(count);
                },
                600000);
            if (!settled) return state.SkipWithError("the sheet never finished opening");
            QCoreApplication::processEvents();
            seconds = static_cast<double>(opened.elapsed()) / 1000;
            heap = heapInUse() - heapBefore;
            // The window made wider and narrower again, as a user resizes it: the text is laid
            // out anew at each width.
            view.resize(640, 360);
            QCoreApplication::processEvents();
            view.resize(560, 360);
            QCoreApplication::processEvents();
            resizedHeap = heapInUse() - heapBefore;
            resident = statusBytes("VmRSS") - residentBefore;
        }
        // Sheets freed on the background thread: let that finish before the next case.
        QTest::qWait(50);
    }
    state.counters["lines"] = count;
    state.counters["text_mb"] = static_cast<double>(text.size()) / 1e6;  // UTF-16 units, as ASCII bytes
    state.counters["heap_mb"] = heap / 1e6;
    state.counters["heap_per_line"] = heap / count;
    state.counters["resized_heap_per_line"] = resizedHeap / count;
    state.counters["rss_growth_mb"] = resident / 1e6;
    state.counters["peak_rss_mb"] = statusBytes("VmHWM") / 1e6;
    state.counters["open_s"] = seconds;
    std::fprintf(
        stderr,
        "%s, %d lines: heap %.1f MB (%.0f bytes/line; %.0f after a resize), resident +%.1f MB, opened in %.2f s\n",
        content == plainLines       ? "plain"
        : content == multiWordNames ? "multi-word names"
        : content == generatedPages ? "generated"
                                    : "long lines",
        count, heap / 1e6, heap / count, resizedHeap / count, resident / 1e6, seconds);
}
BENCHMARK(BM_OpenSheet)
    ->ArgNames({"content", "lines"})
    ->ArgsProduct({{multiWordNames}, {2500, 5000, 10000}})
    ->ArgsProduct({{plainLines}, {10000, 100000, 1000000}})
    ->ArgsProduct({{generatedPages}, {2500, 10000}})
    ->ArgsProduct({{longLines}, {1000, 4000}})
    ->ArgsProduct({{multiWordNames, generatedPages}, {50000}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
