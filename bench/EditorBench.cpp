// Cost of one keystroke in the real sheet editor: from the key event to the end of evaluation,
// highlighting and the repaint of the text and the results column, in sheets of 20, 2,000 and
// 10,000 lines. Runs on Qt's offscreen platform, so it needs no display.
//
// Each iteration is one key press on a line in the middle of the view: a digit typed at the end
// of the line, or the backspace that removes it again. Every key is timed on its own; the run
// reports the median and the 99th percentile per keystroke. Beyond 2,000 lines the sheet is
// evaluated on a background thread: the keystroke figure is the main thread's part, and the
// main thread's cost of taking the finished run in (results, recolouring, repaint) is reported
// on its own as apply_*.

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "QuibSum/editor/CompletionList.h"
#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/ResultColumn.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSumCore/FixedRateStore.h"
#include "bench/SheetGenerator.h"

namespace {

using namespace quibsum;
using quibsum::bench::benchRates;
using quibsum::bench::SheetGenerator;
using Clock = std::chrono::steady_clock;

// Counts paint events, to check that every timed key did repaint both views.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Notes when a queued call reaches the application object: the way a finished background run
// comes back to the main thread. Its cost is measured from there, not from when we began to wait.
class QueuedCallClock : public QObject {
public:
    Clock::time_point arrived;
    double arrivedCpu = 0;
    bool eventFilter(QObject* target, QEvent* event) override;
};

double percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}

// The main thread's own CPU time, which a background run on another core does not add to.
double threadMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

double microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

bool QueuedCallClock::eventFilter(QObject* target, QEvent* event) {
    if (target == qApp && event->type() == QEvent::MetaCall) {
        arrived = Clock::now();
        arrivedCpu = threadMicroseconds();
    }
    return false;
}

void BM_Keystroke(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const QString text = QString::fromStdString(SheetGenerator::join(SheetGenerator().lines(count)));
    EditorView view(text, Engine(benchRates(), NumberStyle::en, RateKind::transfer));
    view.resize(560, 360);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) {
        state.SkipWithError("the editor was never exposed");
        return;
    }
    SumTextView* textView = view.textView();
    // A small sheet was evaluated as the editor opened; a large one is on its way.
    bool evaluatedNow = count <= static_cast<std::size_t>(EditorView::largeSheetLines);
    QObject::connect(&view, &EditorView::evaluated, [&] { evaluatedNow = true; });
    QueuedCallClock queued;
    qApp->installEventFilter(&queued);
    // Waits for the background run of the last key, and notes the main thread's cost of taking
    // it in (results, recolouring, the repaint), wall and CPU.
    auto waitForBackgroundRun = [&](std::vector<double>* applyWall, std::vector<double>* applyCpu) {
        if (evaluatedNow) return;  // evaluated on the main thread, within the key
        QElapsedTimer waited;
        waited.start();
        while (!evaluatedNow && waited.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (evaluatedNow) {
                QCoreApplication::processEvents();  // the repaint the results asked for
                if (applyWall) applyWall->push_back(microseconds(Clock::now() - queued.arrived));
                if (applyCpu) applyCpu->push_back(threadMicroseconds() - queued.arrivedCpu);
            }
        }
    };
    waitForBackgroundRun(nullptr, nullptr);

    // The line typed on, in the upper middle of the view (which shows about 20 lines). Either a
    // plain value line, the same one in every sheet, so that the figures compare; or the rate
    // typed into the sheet ("1 USD = … VND"), which every later USD amount reads.
    int line = -1;
    for (int i = 0; i < view.textView()->document()->blockCount() && line < 0; ++i) {
        const QString text = view.textView()->document()->findBlockByNumber(i).text();
        const auto& results = view.results();
        if (state.range(1) == 0) {
            if (i >= 9 && results[static_cast<std::size_t>(i)].isValue() && !text.contains(u'=') &&
                text.contains(QRegularExpression(QStringLiteral("[0-9]"))))
                line = i;
        } else if (text.startsWith(QStringLiteral("1 USD = "))) {
            line = i;
        }
    }
    if (line < 0 || line > view.textView()->visibleLines().second) {
        state.SkipWithError("no such line in view");
        return;
    }

    // The same two edits on a sheet of our own tell how many lines each key has analysed again
    // (the editor's sheet is its own business).
    double analysedPerKey = 0;
    {
        Sheet probe(view.engine());
        probe.setText(text.toStdString());
        const std::string original = probe.lines()[static_cast<std::size_t>(line)];
        const auto at = static_cast<std::size_t>(line);
        QString typed = QString::fromStdString(original);
        typed.insert(typed.lastIndexOf(QRegularExpression(QStringLiteral("[0-9]"))) + 1, u'7');
        probe.update(at, at + 1, {typed.toStdString()});
        analysedPerKey += static_cast<double>(probe.lastAnalysedCount());
        probe.update(at, at + 1, {original});
        analysedPerKey = (analysedPerKey + static_cast<double>(probe.lastAnalysedCount())) / 2;
        std::fprintf(stderr, "%zu lines: typing after the last digit of line %d \"%s\"\n", count, line,
                     original.c_str());
    }

    textView->setFocus();
    // After the line's last digit, so that the key changes a number.
    const QTextBlock block = textView->document()->findBlockByNumber(line);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() +
                       static_cast<int>(block.text().lastIndexOf(QRegularExpression(QStringLiteral("[0-9]")))) + 1);
    textView->setTextCursor(cursor);

    PaintCounter textPaints, resultPaints;
    textView->viewport()->installEventFilter(&textPaints);
    view.resultsView()->installEventFilter(&resultPaints);

    // One key, typing or taking back the digit, until both views have repainted.
    bool typing = true;
    double cpu = 0;
    auto press = [&] {
        evaluatedNow = false;
        const double cpuStart = threadMicroseconds();
        const auto start = Clock::now();
        QTest::keyClick(textView, typing ? Qt::Key_7 : Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        typing = !typing;
        const auto elapsed = Clock::now() - start;
        cpu = threadMicroseconds() - cpuStart;
        return elapsed;
    };
    for (int i = 0; i < 20; ++i) {
        press();
        waitForBackgroundRun(nullptr, nullptr);
    }
    textPaints.paints = resultPaints.paints = 0;

    std::vector<double> keys, keysCpu, applies, appliesCpu;
    for (auto _ : state) {
        const auto elapsed = press();
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        keys.push_back(microseconds(elapsed));
        keysCpu.push_back(cpu);
        waitForBackgroundRun(&applies, &appliesCpu);
    }
    qApp->removeEventFilter(&queued);
    textView->viewport()->removeEventFilter(&textPaints);
    view.resultsView()->removeEventFilter(&resultPaints);

    state.counters["lines"] = static_cast<double>(count);
    state.counters["analysed_per_key"] = analysedPerKey;
    state.counters["median_us"] = percentile(keys, 0.5);
    state.counters["p99_us"] = percentile(keys, 0.99);
    state.counters["cpu_median_us"] = percentile(keysCpu, 0.5);
    state.counters["cpu_p99_us"] = percentile(keysCpu, 0.99);
    state.counters["text_paints_per_key"] = static_cast<double>(textPaints.paints) / static_cast<double>(keys.size());
    state.counters["result_paints_per_key"] =
        static_cast<double>(resultPaints.paints) / static_cast<double>(keys.size());
    if (!applies.empty()) {
        state.counters["apply_median_us"] = percentile(applies, 0.5);
        state.counters["apply_p99_us"] = percentile(applies, 0.99);
        state.counters["apply_cpu_median_us"] = percentile(appliesCpu, 0.5);
    }
    std::fprintf(
        stderr, "keystroke, %zu lines: median %.0f us, p99 %.0f us (main thread CPU: %.0f, %.0f) over %zu keys%s\n",
        count, percentile(keys, 0.5), percentile(keys, 0.99), percentile(keysCpu, 0.5), percentile(keysCpu, 0.99),
        keys.size(),
        applies.empty() ? ""
                        : (", background run taken in: median " + std::to_string(int(percentile(applies, 0.5))) +
                           " us, p99 " + std::to_string(int(percentile(applies, 0.99))) + " us (CPU median " +
                           std::to_string(int(percentile(appliesCpu, 0.5))) + ")")
                              .c_str());
}
BENCHMARK(BM_Keystroke)
    ->ArgNames({"lines", "rate_line"})
    ->Args({20, 0})
    ->Args({2000, 0})
    ->Args({10000, 0})
    ->Args({2000, 1})
    ->Args({10000, 1})
    ->Iterations(400)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// From the key that completes a prefix to the suggestion list shown, at the last line of a
// sheet (where every name above is available).
void BM_Suggestions(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const QString text = QStringLiteral("rent = 5 USD\nrental car = 45 USD\n") +
                         QString::fromStdString(SheetGenerator::join(SheetGenerator().lines(count - 3))) +
                         QStringLiteral("\n2 * r");
    EditorView view(text, Engine(benchRates(), NumberStyle::en, RateKind::transfer));
    view.resize(560, 360);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) return state.SkipWithError("the editor was never exposed");
    view.activateWindow();
    view.textView()->setFocus();
    view.textView()->moveCursor(QTextCursor::End);
    QCoreApplication::processEvents();
    std::vector<double> shown;
    for (auto _ : state) {
        const auto start = Clock::now();
        QTest::keyClick(view.textView(), Qt::Key_E);
        QCoreApplication::processEvents();
        const auto elapsed = Clock::now() - start;
        if (!view.completionList()->isVisible()) return state.SkipWithError("no suggestions were shown");
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        shown.push_back(microseconds(elapsed));
        QTest::keyClick(view.textView(), Qt::Key_Backspace);
        QCoreApplication::processEvents();
    }
    state.counters["median_us"] = percentile(shown, 0.5);
    state.counters["p99_us"] = percentile(shown, 0.99);
    std::fprintf(stderr, "suggestions, %zu lines: key to list shown median %.0f us, p99 %.0f us\n", count,
                 percentile(shown, 0.5), percentile(shown, 0.99));
}
BENCHMARK(BM_Suggestions)
    ->ArgNames({"lines"})
    ->Arg(2000)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // No display needed: the offscreen platform paints into memory like a real window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
