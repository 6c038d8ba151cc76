// The results column and the total footer: rows level with their lines, copying with its
// "Copied" feedback (timers injected, fired by hand), tooltips, and the footer's states.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <chrono>
#include <functional>

#include "QuibSum/editor/ResultColumn.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/storage/SumSettings.h"
#include "tests/app/editor/EditorTestSupport.h"

namespace quibsum {
namespace {

using testing::shownEditor;

// Scheduled actions, kept until the test fires them.
struct ManualSchedule {
    std::vector<std::pair<std::chrono::milliseconds, std::function<void()>>> pending;
    Schedule schedule() {
        return [this](std::chrono::milliseconds d, std::function<void()> a) { pending.emplace_back(d, std::move(a)); };
    }
    void fire(std::size_t i) { pending.at(i).second(); }
};

struct ColumnFixture {
    std::unique_ptr<EditorView> editor;
    ManualSchedule timers;
    QStringList copied;

    explicit ColumnFixture(const QString& text) : editor(shownEditor(text)) {
        editor->resultsView()->setSchedule(timers.schedule());
        editor->resultsView()->setClipboard([this](const QString& t) { copied.append(t); });
    }
    ResultColumn& column() { return *editor->resultsView(); }
    ResultColumn::Row row(int line) {
        for (auto& r : column().rows())
            if (r.line == line) return r;
        ADD_FAILURE() << "no row for line " << line;
        return {};
    }
    void click(int line) { QTest::mouseClick(&column(), Qt::LeftButton, {}, row(line).rect.center().toPoint()); }
};

TEST(ResultColumn, RowsStandLevelWithTheirLines) {
    ColumnFixture f(QStringLiteral("# Costs\n5 km + 200 m\n\n1/0\n100 USD in VND"));
    std::vector<int> lines;
    for (const auto& r : f.column().rows()) lines.push_back(r.line);
    EXPECT_EQ(lines, (std::vector<int>{1, 3, 4}));  // notes have no row
    for (int line : {1, 3, 4}) {
        const QTextBlock block = f.editor->textView()->document()->findBlockByNumber(line);
        const QRectF text = f.editor->textView()->blockGeometry(block);
        EXPECT_NEAR(f.row(line).rect.top(), text.top() + block.layout()->lineAt(0).y(), 0.5);
    }
    EXPECT_EQ(f.row(1).text, "5.2 km");
    EXPECT_TRUE(f.row(3).error);
    EXPECT_TRUE(f.row(4).carriesRate);
    EXPECT_EQ(f.column().width(), std::min(560 * 2 / 5, EditorView::maxResultsWidth));
}

// What the column paints, gathered from its paint events.
struct PaintedArea : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

// A key redraws the rows whose result changed and, when lines came or went, those below; a
// scroll draws only the rows coming into view.
TEST(ResultColumn, OnlyRowsThatChangedOrMovedAreRedrawn) {
    const int blink = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);  // no caret blinking into the figures
    QStringList lines(40, QStringLiteral("7"));
    lines[0] = QStringLiteral("x = 2");
    lines[12] = QStringLiteral("x * 3");
    ColumnFixture f(lines.join(u'\n'));
    SumTextView* text = f.editor->textView();
    text->setFocus();
    QApplication::processEvents();
    PaintedArea area;
    f.column().installEventFilter(&area);
    auto redrawn = [&](int line) {
        return area.painted.intersects(f.row(line).rect.toAlignedRect().adjusted(0, 2, 0, -2));
    };
    auto act = [&](const std::function<void()>& action) {
        area.painted = QRegion();
        action();
        QApplication::processEvents();
    };
    auto endOfLine = [&](int line) {
        QTextCursor c(text->document()->findBlockByNumber(line));
        c.movePosition(QTextCursor::EndOfBlock);
        text->setTextCursor(c);
        QApplication::processEvents();  // the caret's old and new place drawn
    };

    endOfLine(5);
    act([&] { QTest::keyClicks(text, QStringLiteral("1")); });
    EXPECT_EQ(f.row(5).text, "71");
    EXPECT_TRUE(redrawn(5));
    for (int line : {0, 4, 6, 12}) EXPECT_FALSE(redrawn(line)) << line;

    endOfLine(0);  // x changes, and with it line 12
    act([&] { QTest::keyClicks(text, QStringLiteral("0")); });
    EXPECT_EQ(f.row(12).text, "60");
    EXPECT_TRUE(redrawn(0));
    EXPECT_TRUE(redrawn(12));
    for (int line : {1, 5, 11, 13}) EXPECT_FALSE(redrawn(line)) << line;

    endOfLine(5);  // a new line: the rows below move down
    act([&] { QTest::keyClick(text, Qt::Key_Return); });
    for (int line : {7, 10, 13}) EXPECT_TRUE(redrawn(line)) << line;

    const int rowHeight = f.row(2).rect.toAlignedRect().height();
    act([&] { text->verticalScrollBar()->setValue(3); });
    EXPECT_EQ(f.column().rows().front().line, 3);
    EXPECT_FALSE(area.painted.isEmpty());
    EXPECT_LE(area.painted.boundingRect().height(), 5 * rowHeight);
    for (int line : {7, 10}) EXPECT_FALSE(redrawn(line)) << line;
    QApplication::setCursorFlashTime(blink);
}

TEST(ResultColumn, ClickingCopiesTheShownTextAndSaysCopiedForAMoment) {
    ColumnFixture f(QStringLiteral("1234.5 * 2 km\n1/0\n100 USD in VND"));
    f.click(0);
    EXPECT_EQ(f.copied, QStringList{"2,469 km"});
    EXPECT_EQ(f.column().shownText(f.row(0)), "Copied");
    ASSERT_EQ(f.timers.pending.size(), 1u);
    EXPECT_EQ(f.timers.pending[0].first, std::chrono::milliseconds(650));

    f.click(1);  // an error row copies nothing
    EXPECT_EQ(f.copied.size(), 1);
    EXPECT_EQ(f.column().copiedLine(), 0);

    // A second copy within the moment: the first row shows its result again at once.
    f.click(2);
    EXPECT_EQ(f.copied.last(), "2,510,000 ₫");
    EXPECT_EQ(f.column().shownText(f.row(0)), "2,469 km");
    EXPECT_EQ(f.column().shownText(f.row(2)), "Copied");
    f.timers.fire(0);  // the first copy's end leaves the second's feedback alone
    EXPECT_EQ(f.column().copiedLine(), 2);
    f.timers.fire(1);
    EXPECT_EQ(f.column().copiedLine(), std::nullopt);
    EXPECT_EQ(f.column().shownText(f.row(2)), "2,510,000 ₫");

    // The same row twice: the feedback lasts from the second copy.
    f.click(0);
    f.click(0);
    f.timers.fire(2);
    EXPECT_EQ(f.column().copiedLine(), 0);
    f.timers.fire(3);
    EXPECT_EQ(f.column().copiedLine(), std::nullopt);
}

TEST(ResultColumn, ShiftCtrlCCopiesTheResultOfTheCaretsLine) {
    ColumnFixture f(QStringLiteral("1 + 1\n2 + 2"));
    f.editor->textView()->moveCursor(QTextCursor::End);
    QTest::keyClick(f.editor->textView(), Qt::Key_C, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(f.copied, QStringList{"4"});
    EXPECT_EQ(f.editor->source(), "1 + 1\n2 + 2");
}

TEST(ResultColumn, TooltipsNameTheRatesSource) {
    ColumnFixture f(QStringLiteral("1 EUR = 30000 VND\n2 EUR in VND\n5 km"));
    auto tooltipAt = [&](int line) { return f.column().tooltip(f.row(line).rect.center()); };
    EXPECT_EQ(tooltipAt(1), "Source: rate typed in this sheet");
    EXPECT_EQ(tooltipAt(2), std::nullopt);
}

// A long result keeps its unit: the column widens (up to 40 % of the editor) while a row in
// view needs it, and a row still too long gives up digits from inside its figure, with the
// whole text as its tooltip.
TEST(ResultColumn, ALongResultKeepsItsUnit) {
    const QString money = QStringLiteral("123,456,789,012,000,000.00 USD");
    const QString domain = resultText(*Sheet(testing::testEngine()).setText("sqrt(-1)").data());
    ASSERT_FALSE(domain.isEmpty());
    for (const int width : {360, 1100}) {
        SCOPED_TRACE(width);
        ColumnFixture f(QStringLiteral("123456789012 * 1000000 USD\nsqrt(-1)\n5 km"));
        f.editor->resize(width, 360);
        QApplication::processEvents();
        ASSERT_EQ(f.row(0).text, money);
        const int share = static_cast<int>(width * EditorView::maxResultsShare);
        const bool wide = width == 1100;
        if (wide) {
            EXPECT_GT(f.column().width(), EditorView::maxResultsWidth);
        } else {
            EXPECT_EQ(f.column().width(), share);
        }
        EXPECT_LE(f.column().width(), share);

        const QString shown = f.column().fittedText(f.row(0));
        EXPECT_TRUE(shown.endsWith(QStringLiteral(" USD"))) << shown.toStdString();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("123"))) << shown.toStdString();
        EXPECT_EQ(shown == money, wide);
        EXPECT_EQ(shown.contains(u'…'), !wide);
        EXPECT_EQ(f.column().fittedText(f.row(1)) == domain, wide);
        EXPECT_EQ(f.column().fittedText(f.row(2)), "5 km");

        // A shortened row tells its whole text; a whole one has nothing to add.
        auto tooltipAt = [&](int line) { return f.column().tooltip(f.row(line).rect.center()); };
        EXPECT_EQ(tooltipAt(0), wide ? std::nullopt : std::optional<QString>(money));
        EXPECT_EQ(tooltipAt(1), wide ? std::nullopt : std::optional<QString>(domain));
        EXPECT_EQ(tooltipAt(2), std::nullopt);
    }
}

TEST(ResultColumn, TheColumnNarrowsAgainWhenNoRowNeedsTheRoom) {
    ColumnFixture f(QStringLiteral("123456789012 * 1000000 USD"));
    f.editor->resize(1100, 360);
    QApplication::processEvents();
    EXPECT_GT(f.column().width(), EditorView::maxResultsWidth);
    QTextCursor all(f.editor->textView()->document());
    all.select(QTextCursor::Document);
    all.insertText(QStringLiteral("2 + 2"));
    QApplication::processEvents();
    EXPECT_EQ(f.column().width(), EditorView::maxResultsWidth);
}

TEST(ResultColumn, AShortenedRateRowTellsBothItsTextAndItsSource) {
    ColumnFixture f(QStringLiteral("1 EUR = 30000 VND\n123456789012345 EUR in VND"));
    f.editor->resize(300, 360);
    QApplication::processEvents();
    const std::optional<QString> tip = f.column().tooltip(f.row(1).rect.center());
    ASSERT_TRUE(tip.has_value());
    EXPECT_EQ(*tip, f.row(1).text + QStringLiteral("\nSource: rate typed in this sheet"));
}

class FooterTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings storage{dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat};
    SumSettings settings{storage, QLocale(QLocale::English, QLocale::UnitedStates)};
    TotalFooter footer{settings};
    ManualSchedule timers;
    QStringList copied;

    void SetUp() override {
        footer.setSchedule(timers.schedule());
        footer.setClipboard([this](const QString& t) { copied.append(t); });
    }
    static PageTotal value(const char* display, int count) {
        return PageTotal{PageTotal::Value{Quantity{Decimal(1), std::nullopt, std::nullopt}, display, count}};
    }
};

TEST_F(FooterTest, EachStateOfTheTotal) {
    QToolButton* button = footer.valueButton();
    footer.setTotal(value("1,500 km", 3));
    EXPECT_EQ(button->text(), "1,500 km");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), "Sum of 3 lines");
    EXPECT_EQ(button->accessibleName(), "Copy page total");

    footer.setTotal(value("2,500,000 ₫", 2), QStringLiteral("Source: bundled rates · 01/12/2026"));
    EXPECT_EQ(button->toolTip(), "Sum of 2 lines\nSource: bundled rates · 01/12/2026");

    footer.setTotal(PageTotal{PageTotal::Incompatible{}});
    EXPECT_EQ(button->text(), "Incompatible page units");
    EXPECT_TRUE(footer.isError());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->palette().color(QPalette::Disabled, QPalette::ButtonText),
              EditorTheme(false).color(PaletteRole::error));
    footer.copyTotal();
    EXPECT_TRUE(copied.isEmpty());

    footer.setTotal(PageTotal{PageTotal::Error{"Chưa có tỷ giá"}});
    EXPECT_EQ(button->text(), "Chưa có tỷ giá");
    EXPECT_TRUE(footer.isError());

    footer.setTotal(PageTotal{});
    EXPECT_EQ(button->text(), "");
    EXPECT_FALSE(footer.isError());
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(FooterTest, CopyFeedbackEndsAfterTheLastCopy) {
    footer.setTotal(value("42", 1));
    footer.copyTotal();
    footer.copyTotal();
    EXPECT_EQ(copied, (QStringList{"42", "42"}));
    EXPECT_EQ(footer.valueButton()->text(), "Copied");
    ASSERT_EQ(timers.pending.size(), 2u);
    EXPECT_EQ(timers.pending[0].first, std::chrono::milliseconds(1500));
    timers.fire(0);
    EXPECT_EQ(footer.valueButton()->text(), "Copied");
    timers.fire(1);
    EXPECT_EQ(footer.valueButton()->text(), "42");
}

TEST_F(FooterTest, TheMenuShowsAndWritesTheSettings) {
    QMenu* menu = footer.settingsMenu();
    auto titles = [menu] {
        emit menu->aboutToShow();
        QStringList shown;
        for (QAction* a : menu->actions())
            if (a->isVisible()) shown.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        return shown;
    };
    // A build without the project's pages has no items for them.
    EXPECT_EQ(titles(), (QStringList{"Number style", "Default VND rate", "Appearance", "Update rates", "Settings…", "-",
                                     "Quit Quib Sum"}));
    footer.offerProjectPages(true, true);
    EXPECT_EQ(titles(), (QStringList{"Number style", "Default VND rate", "Appearance", "Update rates", "Settings…",
                                     "Donate…", "Check for Updates…", "-", "Quit Quib Sum"}));
    int evaluations = 0;
    for (auto choice : {&SumSettings::numberStyleChanged, &SumSettings::rateKindChanged})
        QObject::connect(&settings, choice, [&] { ++evaluations; });
    auto choose = [&](int submenu, const char* title) {
        for (QAction* a : menu->actions()[submenu]->menu()->actions())
            if (a->text() == QLatin1String(title)) a->trigger();
    };
    choose(0, "Vietnam (1.234,5)");
    choose(1, "Sell");
    choose(2, "Light");
    EXPECT_EQ(settings.numberStyle(), "vi");
    EXPECT_EQ(settings.rateKind(), "sell");
    EXPECT_EQ(settings.appearance(), "light");
    EXPECT_EQ(evaluations, 2);
    emit menu->aboutToShow();
    QStringList checked;
    for (int i = 0; i < 3; ++i)
        for (QAction* a : menu->actions()[i]->menu()->actions())
            if (a->isChecked()) checked.append(a->text());
    EXPECT_EQ(checked, (QStringList{"Vietnam (1.234,5)", "Sell", "Light"}));

    // Each command item says it was chosen.
    for (auto [item, signal] :
         std::initializer_list<std::pair<int, void (TotalFooter::*)()>>{{3, &TotalFooter::refreshRequested},
                                                                        {4, &TotalFooter::settingsRequested},
                                                                        {5, &TotalFooter::donateRequested},
                                                                        {6, &TotalFooter::updatesRequested},
                                                                        {8, &TotalFooter::quitRequested}}) {
        QSignalSpy chosen(&footer, signal);
        menu->actions()[item]->trigger();
        EXPECT_EQ(chosen.count(), 1) << menu->actions()[item]->text().toStdString();
    }
}

}  // namespace
}  // namespace quibsum
