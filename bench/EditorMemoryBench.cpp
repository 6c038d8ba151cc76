// Memory of the real sheet editor: a sheet opened in EditorView (text view, results column,
// highlighting, the sheet's evaluation) on Qt's offscreen platform, held until its text is
// fully in the view and its evaluation is back, then measured. Reports, per line of the
// sheet, the heap the open editor holds (every malloc, Qt's included) and the growth of the
// resident set (after the window was resized, as a user does), for plain "1" lines, lines assigning multi-word names
// ("item N = N") and generated pages, at sizes that double, so that growth faster than the text shows at once.
//
// BM_OpenLargeSheet does the same for the read-only view of sheets too large to edit
// (LargeSheetView), at 10 MB of each content and for `seq 1 7000000` (55 MB): bytes per line,
// and beyond the text's own bytes.
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
#include "QuibSum/editor/LargeSheetView.h"
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

QString sheetLine(Content content, int i) {
    if (content == plainLines) return QStringLiteral("1");
    if (content == longLines) return longLine(i);
    return QStringLiteral("item %1 = %1").arg(i);
}

QString sheetText(Content content, int count) {
    if (content == generatedPages)
        return QString::fromStdString(SheetGenerator::join(SheetGenerator().lines(static_cast<std::size_t>(count))));
    QString text;
    for (int i = 1; i <= count; ++i) {
        if (i > 1) text += u'\n';
        text += sheetLine(content, i);
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

// A sheet of `megabytes` of one content (UTF-8, as stored), or of "1" to "7000000", one a line
// (`seq 1 7000000`: 55 MB, within what the store takes), in the view the window shows a sheet
// too large to edit in, held until its results are back.
void BM_OpenLargeSheet(benchmark::State& state) {
    const auto content = static_cast<Content>(state.range(0));
    const auto megabytes = static_cast<qsizetype>(state.range(1));
    QString text;
    int count = 0;
    if (megabytes == 0) {
        for (count = 1; count <= 7000000; ++count) text += QString::number(count) + u'\n';
        count -= 1;
    } else if (content == generatedPages) {
        std::size_t lines = 1000;
        do {
            lines *= 2;
            text = QString::fromStdString(SheetGenerator::join(SheetGenerator().lines(lines)));
        } while (text.size() < megabytes * 1000000);
        text.truncate(text.lastIndexOf(u'\n', megabytes * 1000000));
        count = static_cast<int>(text.count(u'\n')) + 1;
    } else {
        while (text.size() < megabytes * 1000000) {
            if (count++ > 0) text += u'\n';
            text += sheetLine(content, count);
        }
    }
    const double bytes = static_cast<double>(text.toUtf8().size());
    double heap = 0, resident = 0, seconds = 0, own = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const double heapBefore = heapInUse();
        const double residentBefore = statusBytes("VmRSS");
        QElapsedTimer opened;
        opened.start();
        {
            LargeSheetView view(text, Engine(benchRates(), NumberStyle::en, RateKind::transfer));
            view.resize(560, 360);
            view.show();
            if (!QTest::qWaitForWindowExposed(&view)) return state.SkipWithError("the view was never exposed");
            if (!QTest::qWaitFor([&] { return !view.isEvaluating(); }, 600000))
                return state.SkipWithError("the results never came back");
            QCoreApplication::processEvents();
            seconds = static_cast<double>(opened.elapsed()) / 1000;
            view.resize(640, 360);
            QCoreApplication::processEvents();
            heap = heapInUse() - heapBefore;
            own = static_cast<double>(view.heapBytes());
            resident = statusBytes("VmRSS") - residentBefore;
        }
    }
    state.counters["lines"] = count;
    state.counters["text_mb"] = bytes / 1e6;
    state.counters["heap_mb"] = heap / 1e6;
    state.counters["heap_per_line"] = heap / count;
    state.counters["beyond_text_per_line"] = (heap - bytes) / count;
    state.counters["rss_growth_mb"] = resident / 1e6;
    state.counters["peak_rss_mb"] = statusBytes("VmHWM") / 1e6;
    state.counters["open_s"] = seconds;
    std::fprintf(stderr,
                 "large view, %s, %.1f MB, %d lines: heap %.1f MB (%.1f bytes/line, %.1f beyond the text; the "
                 "view's own %.1f MB), resident +%.1f MB, results in %.2f s\n",
                 megabytes == 0              ? "seq 1 7000000"
                 : content == plainLines     ? "plain"
                 : content == multiWordNames ? "multi-word names"
                 : content == generatedPages ? "generated"
                                             : "long lines",
                 bytes / 1e6, count, heap / 1e6, heap / count, (heap - bytes) / count, own / 1e6, resident / 1e6,
                 seconds);
}
// The text is made before the view and held by the benchmark (about 2 bytes a character):
// run one case alone to read the peak of the whole process.
BENCHMARK(BM_OpenLargeSheet)
    ->ArgNames({"content", "mb"})
    ->ArgsProduct({{plainLines, multiWordNames, generatedPages, longLines}, {10}})
    ->Args({plainLines, 0})
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
