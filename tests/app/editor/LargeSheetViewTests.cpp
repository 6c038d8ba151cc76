// The read-only view of sheets too large to edit: where the editor stops, results equal to the
// command line's, a text that never changes, the lines painted where they are scrolled to,
// selecting and copying, evaluation off the main thread, and a few bytes per line.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <malloc.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "QuibSum/cli/SheetReport.h"
#include "QuibSum/editor/LargeSheetView.h"
#include "QuibSumCore/LineEnds.h"
#include "tests/app/editor/EditorTestSupport.h"

namespace quibsum {
namespace {

using testing::testEngine;

QString numbered(int first, int count, const QString& pattern = QStringLiteral("%1")) {
    QStringList lines;
    for (int n = first; n < first + count; ++n) lines << pattern.arg(n);
    return lines.join(u'\n');
}

struct ShownView {
    std::unique_ptr<LargeSheetView> view;
    QStringList copied;
    std::vector<std::function<void()>> scheduled;

    explicit ShownView(const QString& text, bool dark = false) {
        view = std::make_unique<LargeSheetView>(text, testEngine(), EditorTheme(dark));
        view->setClipboard([this](const QString& t) { copied << t; });
        view->setSchedule([this](std::chrono::milliseconds, std::function<void()> a) { scheduled.push_back(a); });
        view->resize(560, 360);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    // Waits for the results of the text shown.
    bool evaluated() {
        if (!view->isEvaluating()) return true;
        QSignalSpy back(view.get(), &LargeSheetView::evaluated);
        return back.wait(30000);
    }
    QImage painted() const { return view->lines()->viewport()->grab().toImage(); }
};

TEST(LargeSheetView, TheEditorTakesSheetsUpToItsLimitsAndThisViewTheRest) {
    const auto max = LargeSheetView::maxEditableLines;
    const QString longLine(LargeSheetView::maxEditableLength, u'1');
    struct Case {
        const char* what;
        QString text;
        bool tooLarge;
    };
    const Case cases[] = {
        {"an empty sheet", QString(), false},
        {"as many lines as the editor takes", numbered(1, static_cast<int>(max)), false},
        {"one line more", numbered(1, static_cast<int>(max) + 1), true},
        {"its lines ended by CR LF, counted once", numbered(1, static_cast<int>(max)).replace(u'\n', "\r\n"), false},
        {"its lines ended by a lone CR", numbered(1, static_cast<int>(max) + 1).replace(u'\n', u'\r'), true},
        {"as many characters as the editor takes", longLine, false},
        {"one character more", longLine + u'1', true},
    };
    for (const Case& c : cases) EXPECT_EQ(LargeSheetView::isTooLargeToEdit(c.text), c.tooLarge) << c.what;
}

// The view's results and total are those `quibsum sheet` prints for the same text.
TEST(LargeSheetView, ResultsAndTotalAreTheCommandLinesStreamingPass) {
    const QString page = QStringLiteral(
        "# Trip\nrent = 1200 USD\nfood = 35 EUR * 7\nrent + food in VND\n\ntaxi: 12 km * 2\n"
        "2 + \nsum\n10% of 300\nitem 1 = 5\nitem 1 * 2\nprev + 1\n1 / 0\nxyz");
    struct Case {
        const char* what;
        QString text;
    };
    const Case cases[] = {
        {"plain values", numbered(1, 3000)},
        {"multi-word names", numbered(1, 3000, QStringLiteral("item %1 = %1"))},
        {"a page with blocks, currencies, errors and notes", page + u'\n' + page},
        {"CR LF line ends", QString(page).replace(u'\n', "\r\n")},
    };
    for (const Case& c : cases) {
        ShownView shown(c.text);
        ASSERT_TRUE(shown.evaluated()) << c.what;
        const std::string utf8 = LineEnds::withLineFeeds(c.text).toStdString();
        std::vector<std::string> expected;
        const PageTotal total = SheetReport::evaluate(
            utf8, testEngine(),
            [&](std::size_t, std::string_view, const LineResult& r) { expected.push_back(testing::shown(r)); });
        const CompactResults& results = shown.view->results();
        ASSERT_EQ(results.lineCount(), expected.size()) << c.what;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            std::string got = "note";
            if (results.kind(i) == CompactResults::Kind::value) got = std::string(results.text(i));
            if (results.kind(i) == CompactResults::Kind::error) got = "error: " + std::string(results.text(i));
            EXPECT_EQ(got, expected[i]) << c.what << ", line " << i;
        }
        EXPECT_EQ(shown.view->pageTotal(), total) << c.what;
    }
}

TEST(LargeSheetView, ItsTextIsNeverChangedByKeysOrPastes) {
    const QString text = numbered(1, 200);
    ShownView shown(text);
    QApplication::clipboard()->setText(QStringLiteral("pasted = 1"));
    shown.view->setFocus();
    QWidget* lines = shown.view->focusWidget();
    ASSERT_EQ(lines, shown.view->lines());  // where the keys go
    QTest::keyClicks(lines, QStringLiteral("abc"));
    for (auto key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Tab}) QTest::keyClick(lines, key);
    QTest::keyClick(lines, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(lines, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(shown.view->text().text(), text);
}

// What is painted at a scroll position is what a view of the text from that line on paints at
// its top: the lines there, each with its own result.
TEST(LargeSheetView, ScrollingPaintsTheLinesScrolledTo) {
    const int count = 5000;
    ShownView all(numbered(1, count));
    ASSERT_TRUE(all.evaluated());
    auto paintsFrom = [&](int first, const char* how) {
        ASSERT_EQ(all.view->visibleLines().first, static_cast<std::size_t>(first)) << how;
        ShownView rest(numbered(first + 1, count - first));
        rest.view->lines()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);  // as wide as the first's
        ASSERT_TRUE(rest.evaluated());
        QApplication::processEvents();
        EXPECT_EQ(all.painted(), rest.painted()) << how << ": lines from " << first;
    };
    LargeSheetLines* lines = all.view->lines();
    QWheelEvent wheel(QPointF(50, 50), lines->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(lines->viewport(), &wheel);
    paintsFrom(QApplication::wheelScrollLines(), "the wheel");

    all.view->setFocus();
    QTest::keyClick(lines, Qt::Key_PageDown);
    const int page = lines->verticalScrollBar()->pageStep();
    EXPECT_GT(page, 10);
    paintsFrom(QApplication::wheelScrollLines() + page, "Page Down");

    lines->verticalScrollBar()->setValue(2500);
    paintsFrom(2500, "the scroll bar");

    QTest::keyClick(lines, Qt::Key_End);
    paintsFrom(count - page, "End");
    QTest::keyClick(lines, Qt::Key_Home);
    paintsFrom(0, "Home");
}

TEST(LargeSheetView, LinesAreSelectedAndCopiedWholeAndAResultByItsClick) {
    ShownView shown(numbered(1, 300, QStringLiteral("%1 * 2")));
    ASSERT_TRUE(shown.evaluated());
    LargeSheetView& view = *shown.view;
    const int height = view.lineHeight();
    auto lineY = [&](int line) { return 4 + line * height + height / 2; };
    LargeSheetLines* lines = view.lines();
    QWidget* port = lines->viewport();

    QTest::mouseClick(port, Qt::LeftButton, {}, QPoint(20, lineY(2)));
    QTest::mouseClick(port, Qt::LeftButton, Qt::ShiftModifier, QPoint(20, lineY(4)));
    QTest::keyClick(lines, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(shown.copied.size(), 1);
    EXPECT_EQ(shown.copied[0], "3 * 2\n4 * 2\n5 * 2");

    // Shift+Down extends it by keyboard; Ctrl+A takes every line.
    QTest::keyClick(lines, Qt::Key_Down, Qt::ShiftModifier);
    view.copy();
    EXPECT_EQ(shown.copied.last(), "3 * 2\n4 * 2\n5 * 2\n6 * 2");
    QTest::keyClick(lines, Qt::Key_A, Qt::ControlModifier);
    view.copy();
    EXPECT_EQ(shown.copied.last(), view.text().text());

    // A click on a result copies the result; its row reads "Copied" until the feedback ends.
    const int resultsX = view.resultsArea().center().x();
    QTest::mouseClick(port, Qt::LeftButton, {}, QPoint(resultsX, lineY(6)));
    EXPECT_EQ(shown.copied.last(), "14");
    EXPECT_EQ(view.copiedLine(), 6u);
    ASSERT_EQ(shown.scheduled.size(), 1u);
    shown.scheduled[0]();
    EXPECT_FALSE(view.copiedLine().has_value());
}

// The view is there, and the main thread free, before the results are: they arrive with the
// evaluated signal, worked out elsewhere.
TEST(LargeSheetView, EvaluationRunsOffTheMainThread) {
    // Made and checked before the event loop turns: nothing was worked out on this thread.
    LargeSheetView view(numbered(1, 400000), testEngine());
    EXPECT_TRUE(view.isEvaluating());
    EXPECT_EQ(view.results().lineCount(), 0u);
    EXPECT_TRUE(view.statusText().contains("Working out")) << view.statusText().toStdString();
    QSignalSpy back(&view, &LargeSheetView::evaluated);
    ASSERT_TRUE(back.wait(30000));
    EXPECT_EQ(view.results().lineCount(), 400000u);
    EXPECT_EQ(view.resultText(399999), "400,000");
    EXPECT_FALSE(view.statusText().contains("Working out"));

    // Lines appended outside are evaluated the same way, those above keeping their results
    // meanwhile.
    view.appendText(QStringLiteral("\nlast = 7"));
    EXPECT_TRUE(view.isEvaluating());
    EXPECT_EQ(view.lineCount(), 400001u);
    EXPECT_EQ(view.resultText(0), "1");
    ASSERT_TRUE(back.wait(30000));
    EXPECT_EQ(view.resultText(400000), "7");
}

TEST(LargeSheetView, TheStatusSaysWhyAndWhatToDo) {
    ShownView shown(numbered(1, 60000));
    shown.view->setSheetFile(QStringLiteral("/home/me/Sheets/A.txt"));
    const QString status = shown.view->status()->text();
    EXPECT_TRUE(status.contains("60,000 lines")) << status.toStdString();
    EXPECT_TRUE(status.contains("quibsum sheet /home/me/Sheets/A.txt"));
    EXPECT_TRUE(status.contains("quibsum append"));
    EXPECT_TRUE(shown.view->status()->isVisible());
    EXPECT_LE(shown.view->status()->geometry().bottom(), shown.view->height());
    shown.view->setReadOnlyReason(QStringLiteral("A.txt is not UTF-8 text."));
    EXPECT_TRUE(shown.view->status()->text().startsWith("A.txt is not UTF-8 text.\n"));
}

// The status stands below the lines: both scroll bars end above it, at any width and however
// many lines it takes, and the last line, scrolled to, shows above it too.
TEST(LargeSheetView, TheScrollBarsAndTheLinesEndAboveTheStatus) {
    // A line longer than any width here, so that the horizontal bar shows.
    const QString text = numbered(1, 60000) + u'\n' + QString(400, u'x') + QStringLiteral(" = 2");
    struct Case {
        int width;
        std::optional<QString> reason;
    };
    const Case cases[] = {{320, {}}, {560, {}}, {900, {}}, {560, QStringLiteral("A.txt is not UTF-8 text.")}};
    for (const Case& c : cases) {
        ShownView shown(text);
        LargeSheetView& view = *shown.view;
        view.setReadOnlyReason(c.reason);
        view.resize(c.width, 360);
        QApplication::processEvents();  // the status's new height laid out
        LargeSheetLines* lines = view.lines();
        QTest::keyClick(lines, Qt::Key_End);
        auto inView = [&](const QWidget* widget) { return QRect(widget->mapTo(&view, QPoint()), widget->size()); };
        const QRect status = inView(view.status());
        // All of the status shows, at the bottom.
        EXPECT_GE(status.height(), view.status()->heightForWidth(status.width())) << c.width;
        EXPECT_EQ(status.bottom(), view.rect().bottom()) << c.width;
        for (const QScrollBar* bar : {lines->verticalScrollBar(), lines->horizontalScrollBar()}) {
            const char* which = bar->orientation() == Qt::Vertical ? "vertical" : "horizontal";
            EXPECT_TRUE(bar->isVisible()) << c.width << ", " << which;
            EXPECT_LT(inView(bar).bottom(), status.top()) << c.width << ", " << which;
        }
        EXPECT_LT(inView(lines->viewport()).bottom(), status.top()) << c.width;
        const auto [first, last] = view.visibleLines();
        EXPECT_EQ(last, view.lineCount() - 1) << c.width;
        const int lastBottom = 4 + static_cast<int>(last - first + 1) * view.lineHeight();
        EXPECT_LE(lastBottom, lines->viewport()->height()) << c.width;
    }
}

double heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// The heap a shown and evaluated view of `count` lines holds: twice the lines cost twice the
// bytes, a few dozen per line (an editable view holds several hundred).
TEST(LargeSheetView, HoldsAFewBytesPerLine) {
    auto heldFor = [](int count) {
        const QString text = numbered(1, count, QStringLiteral("%1 km"));
        const double before = heapInUse();
        ShownView shown(text);
        EXPECT_TRUE(shown.evaluated());
        QApplication::processEvents();
        return heapInUse() - before;
    };
    heldFor(1000);  // fonts and glyphs, made once
    const double n = heldFor(100000), twice = heldFor(200000);
    const double perLine = (twice - n) / 100000;
    // "123456 km" is 9 bytes, its result "123,456 km" 10, and 9 more index each line.
    EXPECT_LT(perLine, 60) << "bytes per line";
    EXPECT_GT(perLine, 20) << "bytes per line";
}

// The view as a person sees it, in both appearances; written out for a look when
// QUIBSUM_GRAB_DIR names a folder.
TEST(LargeSheetView, PaintsInTheThemesColours) {
    const QString text = QStringLiteral("# Groceries\nmilk = 2.5 USD * 4\nbread: 3 EUR\n1 / 0\n") + numbered(1, 60000);
    for (const bool dark : {false, true}) {
        ShownView shown(text, dark);
        ASSERT_TRUE(shown.evaluated());
        QTest::mouseClick(shown.view->lines()->viewport(), Qt::LeftButton, {},
                          QPoint(20, 4 + shown.view->lineHeight() * 5));
        const QImage image = shown.view->grab().toImage();
        const EditorTheme theme(dark);
        EXPECT_EQ(image.pixelColor(image.width() / 2, 2).rgb(), theme.color(PaletteRole::background).rgb()) << dark;
        bool resultColour = false, selectionColour = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                resultColour |= pixel == theme.color(PaletteRole::result).rgb();
                selectionColour |= pixel == theme.color(PaletteRole::selection).rgb();
            }
        }
        EXPECT_TRUE(resultColour) << dark;
        EXPECT_TRUE(selectionColour) << dark;
        if (const QByteArray folder = qgetenv("QUIBSUM_GRAB_DIR"); !folder.isEmpty())
            image.save(QString::fromLocal8Bit(folder) + (dark ? "/large-sheet-dark.png" : "/large-sheet-light.png"));
    }
}

}  // namespace
}  // namespace quibsum
