// The editor's evaluation controller: how changes of text become edits of lines, when the
// sheet is evaluated on the main thread and when in the background, rate versions, the save
// status, and the invariant behind all of it: what the editor shows equals a fresh evaluation
// of its text.

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QSignalSpy>
#include <QTimeZone>

#include <random>

#include "QuibSum/editor/RateSourceText.h"
#include "tests/app/editor/EditorTestSupport.h"

namespace quibsum {
namespace {

using testing::column;
using testing::documentText;
using testing::freshColumn;
using testing::shownEditor;

const QString tenLines = QStringLiteral("x = 1\n2\n3\n4\nx * 5\n6 km\n7\n8\n9\nsum");

QTextCursor cursorAt(EditorView& editor, int line, int column) {
    QTextCursor c(editor.textView()->document()->findBlockByNumber(line));
    c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    return c;
}

struct EditRow {
    const char* name;
    std::function<void(EditorView&)> change;
    EditorEdit expected;
};

TEST(EditorEdits, ChangesBecomeEditsOfWholeLines) {
    const std::vector<EditRow> rows = {
        {"one character typed in line 5",
         [](EditorView& e) {
             e.textView()->setTextCursor(cursorAt(e, 5, 1));
             QTest::keyClick(e.textView(), Qt::Key_0);
         },
         {5, 6, {"60 km"}}},
        {"two lines pasted over the end of line 2 and the start of line 3",
         [](EditorView& e) {
             QTextCursor c = cursorAt(e, 2, 1);
             c.setPosition(cursorAt(e, 3, 0).position(), QTextCursor::KeepAnchor);
             e.textView()->setTextCursor(c);
             auto* mime = new QMimeData;
             mime->setText(QStringLiteral("5\r\n7 kg\r\n"));
             QApplication::clipboard()->setMimeData(mime);
             e.textView()->paste();
         },
         {2, 4, {"35", "7 kg", "4"}}},
        {"Return splits a line",
         [](EditorView& e) {
             e.textView()->setTextCursor(cursorAt(e, 4, 1));
             QTest::keyClick(e.textView(), Qt::Key_Return);
         },
         {4, 5, {"x", " * 5"}}},
        {"Shift+Return starts a new line too",
         [](EditorView& e) {
             e.textView()->setTextCursor(cursorAt(e, 9, 3));
             QTest::keyClick(e.textView(), Qt::Key_Return, Qt::ShiftModifier);
         },
         {9, 10, {"sum", ""}}},
        {"Backspace at a line's start joins it to the line above",
         [](EditorView& e) {
             e.textView()->setTextCursor(cursorAt(e, 7, 0));
             QTest::keyClick(e.textView(), Qt::Key_Backspace);
         },
         {6, 8, {"78"}}},
        {"a selection over three lines deleted",
         [](EditorView& e) {
             QTextCursor c = cursorAt(e, 1, 0);
             c.setPosition(cursorAt(e, 3, 1).position(), QTextCursor::KeepAnchor);
             e.textView()->setTextCursor(c);
             QTest::keyClick(e.textView(), Qt::Key_Delete);
         },
         {1, 4, {""}}},
    };
    for (const EditRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto editor = shownEditor(tenLines);
        int changes = 0;
        QObject::connect(editor.get(), &EditorView::textEdited, [&](const QString& text) {
            ++changes;
            EXPECT_EQ(text, documentText(*editor));
        });
        std::optional<EditorEdit> edit;
        QObject::connect(editor.get(), &EditorView::linesEdited, [&](const EditorEdit& e) { edit = e; });
        row.change(*editor);
        ASSERT_TRUE(edit.has_value());
        EXPECT_EQ(edit->lower, row.expected.lower);
        EXPECT_EQ(edit->upper, row.expected.upper);
        EXPECT_EQ(edit->replacement, row.expected.replacement);
        EXPECT_EQ(changes, 1);
        EXPECT_EQ(editor->source(), documentText(*editor));
        EXPECT_EQ(column(*editor), freshColumn(*editor));
    }
}

// Random edits of every kind the text view offers, each compared with a fresh evaluation.
TEST(EditorEdits, RandomEditingEqualsFreshEvaluation) {
    const QStringList pool = {"x = 5",        "x * 2",     "y = x + 1 km",     "100 USD in VND", "",
                              "# Food",       "sum",       "prev + 1",         "Rent: 500",      "tiền nhà = 3",
                              "tiền nhà * 2", "20% of 50", "1 USD = 25000 VND"};
    std::mt19937 random(20261206);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    QStringList start;
    for (int i = 0; i < 12; ++i) start.append(pool[pick(pool.size())]);
    auto editor = shownEditor(start.join(u'\n'));
    SumTextView* view = editor->textView();
    // Every edit is evaluated on the main thread, within the edit.
    QSignalSpy evaluations(editor.get(), &EditorView::evaluated);

    for (int step = 0; step < 300 && !::testing::Test::HasFailure(); ++step) {
        QTextDocument* doc = view->document();
        const int length = doc->characterCount() - 1;
        QTextCursor c(doc);
        c.setPosition(pick(length + 1));
        switch (pick(6)) {
            case 0:  // a character typed
                view->setTextCursor(c);
                if (const QChar key = QChar(u"0123456789 +x\n*"[pick(15)]); key == u'\n')
                    QTest::keyClick(view, Qt::Key_Return);
                else
                    QTest::keyClicks(view, QString(key));
                break;
            case 1:  // deleted
                view->setTextCursor(c);
                QTest::keyClick(view, pick(2) ? Qt::Key_Backspace : Qt::Key_Delete);
                break;
            case 2: {  // a selection replaced by pasted lines
                c.setPosition(std::min(length, c.position() + pick(30)), QTextCursor::KeepAnchor);
                view->setTextCursor(c);
                QStringList pasted;
                for (int k = pick(3); k >= 0; --k) pasted.append(pool[pick(pool.size())]);
                view->insertPlainText(pasted.join(QStringLiteral("\r\n")));
                break;
            }
            case 3:
                view->undo();
                break;
            case 4:
                view->redo();
                break;
            default: {  // a line replaced in one step, as completion does
                c.select(QTextCursor::BlockUnderCursor);
                c.insertText(QStringLiteral("\n") + pool[pick(pool.size())]);
                break;
            }
        }
        ASSERT_EQ(editor->source(), documentText(*editor)) << "step " << step;
        ASSERT_EQ(column(*editor), freshColumn(*editor)) << "step " << step << ":\n" << editor->source().toStdString();
        evaluations.clear();
        QApplication::processEvents();
        ASSERT_TRUE(evaluations.isEmpty()) << "step " << step;
    }
}

TEST(EditorEvaluation, LargeSheetsAreEvaluatedInTheBackground) {
    auto editor = shownEditor(testing::lines(2000, QStringLiteral("1 km")));
    EXPECT_EQ(editor->results().size(), 2000u);  // evaluated as it opened
    QSignalSpy evaluations(editor.get(), &EditorView::evaluated);
    std::optional<EditorEdit> edit;
    QObject::connect(editor.get(), &EditorView::linesEdited, [&](const EditorEdit& e) { edit = e; });
    EXPECT_EQ(std::get<PageTotal::Value>(editor->pageTotal().payload).display, "2,000 km");

    // Line 2,001: the whole sheet goes to the background; what was shown stays meanwhile.
    QTextCursor end(editor->textView()->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("\n1 km"));
    EXPECT_EQ(evaluations.count(), 0);
    EXPECT_EQ(editor->results().size(), 2000u);
    ASSERT_TRUE(testing::waitForResults(*editor, 2001));
    EXPECT_EQ(std::get<PageTotal::Value>(editor->pageTotal().payload).display, "2,001 km");
    EXPECT_EQ(column(*editor), freshColumn(*editor));

    // Back to 2,000 lines: synchronous, incremental evaluation again.
    end.deletePreviousChar();
    end.deletePreviousChar();
    end.deletePreviousChar();
    end.deletePreviousChar();
    const auto applied = evaluations.count();
    end.deletePreviousChar();
    EXPECT_EQ(evaluations.count(), applied + 1);
    EXPECT_EQ(editor->results().size(), 2000u);
    end.insertText(QStringLiteral("0"));
    ASSERT_TRUE(edit.has_value());
    EXPECT_EQ(edit->lower, 1999);
    EXPECT_EQ(column(*editor), freshColumn(*editor));
}

TEST(EditorEvaluation, OnlyTheNewestBackgroundRunIsApplied) {
    auto editor = shownEditor(testing::lines(3000, QStringLiteral("2")));
    ASSERT_TRUE(testing::waitForResults(*editor, 3000));
    int evaluations = 0;
    QObject::connect(editor.get(), &EditorView::evaluated, [&] { ++evaluations; });
    QTextCursor first(editor->textView()->document());
    first.insertText(QStringLiteral("1"));  // "12" on line 0
    first.insertText(QStringLiteral("\n5"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return evaluations > 0; }, 10000));
    EXPECT_EQ(evaluations, 1);
    ASSERT_EQ(editor->results().size(), 3001u);
    EXPECT_EQ(testing::shown(editor->results()[0]), "1");
    EXPECT_EQ(testing::shown(editor->results()[1]), "52");
    EXPECT_EQ(std::get<PageTotal::Value>(editor->pageTotal().payload).display, "6,051");

    // The runs queue behind each other on one thread, so once a later edit's run is applied
    // every earlier one has ended: a stale run applied would have been one evaluation more.
    QTextCursor end(editor->textView()->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("0"));  // the last "2" becomes "20"
    ASSERT_TRUE(QTest::qWaitFor([&] { return evaluations > 1; }, 10000));
    EXPECT_EQ(evaluations, 2);
    EXPECT_EQ(std::get<PageTotal::Value>(editor->pageTotal().payload).display, "6,069");
}

TEST(EditorEvaluation, HighlightingIsNeverAnEdit) {
    auto editor = shownEditor(QStringLiteral("# Food\nrent = 500 USD\nrent * 2\n1/0"));
    int changes = 0;
    QObject::connect(editor.get(), &EditorView::textEdited, [&] { ++changes; });
    QSignalSpy evaluations(editor.get(), &EditorView::evaluated);
    editor->setTheme(EditorTheme(true));
    editor->setTheme(EditorTheme(false));
    editor->resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(evaluations.count(), 0);
    EXPECT_FALSE(editor->textView()->document()->isUndoAvailable());
    EXPECT_FALSE(editor->textView()->document()->isModified());
}

TEST(EditorEvaluation, OpeningATextDoesNotReportAChange) {
    // A file of invalid UTF-8 reads with U+FFFD; it is written back only once the user edits.
    const QString text = QString::fromUtf8("5 km\n\xff\xfe USD");
    int changes = 0;
    auto editor = shownEditor(text);
    QObject::connect(editor.get(), &EditorView::textEdited, [&] { ++changes; });
    EXPECT_EQ(editor->source(), text);
    EXPECT_TRUE(editor->source().contains(QChar::ReplacementCharacter));
    QApplication::processEvents();
    EXPECT_EQ(changes, 0);
}

TEST(EditorEvaluation, ReplacingTheTextIsOneUndoStep) {
    auto editor = shownEditor(QStringLiteral("1 + 1"));
    int changes = 0;
    QObject::connect(editor.get(), &EditorView::textEdited, [&] { ++changes; });
    QSignalSpy evaluations(editor.get(), &EditorView::evaluated);
    editor->replaceText(QStringLiteral("1 + 1\r\n2 + 2"));
    EXPECT_EQ(editor->source(), "1 + 1\n2 + 2");
    EXPECT_EQ(column(*editor), (std::vector<std::string>{"2", "4"}));
    EXPECT_EQ(changes, 0);  // the store already has it
    evaluations.clear();
    editor->replaceText(QStringLiteral("1 + 1\n2 + 2"));  // the same text: nothing happens
    EXPECT_EQ(evaluations.count(), 0);
    editor->textView()->undo();
    EXPECT_EQ(editor->source(), "1 + 1");
    EXPECT_EQ(column(*editor), (std::vector<std::string>{"2"}));
}

TEST(EditorEvaluation, PastingAMegabyteIsOneUndoStepAndStaysCorrect) {
    auto editor = shownEditor(QStringLiteral("start"));
    QString big = testing::lines(40000, QStringLiteral("1234567 km + 1 km // about 1 MB"));
    ASSERT_GT(big.size(), 900000);
    auto* mime = new QMimeData;
    mime->setText(big);
    QApplication::clipboard()->setMimeData(mime);
    editor->textView()->moveCursor(QTextCursor::End);
    QSignalSpy evaluations(editor.get(), &EditorView::evaluated);
    editor->textView()->paste();
    EXPECT_EQ(evaluations.count(), 0);  // the run is in the background
    ASSERT_TRUE(testing::waitForResults(*editor, 40000));
    EXPECT_EQ(testing::shown(editor->results()[39999]), "1,234,568 km");
    const auto applied = evaluations.count();
    editor->textView()->undo();  // one step takes the whole paste away
    EXPECT_EQ(editor->source(), "start");
    EXPECT_FALSE(editor->textView()->document()->isUndoAvailable());
    EXPECT_EQ(evaluations.count(), applied + 1);  // small again: evaluated within the undo
    EXPECT_EQ(editor->results().size(), 1u);
}

TEST(EditorLoading, ALongTextArrivesInPartsAndCannotBeEditedMeanwhile) {
    const QString text = testing::lines(20000, QStringLiteral("x = 12 km"));
    auto editor = shownEditor(text);
    EXPECT_TRUE(editor->textView()->isReadOnly());
    EXPECT_LT(editor->textView()->document()->blockCount(), 20000);
    EXPECT_EQ(editor->saveStatus()->text(), "Opening…");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->textView()->isReadOnly(); }, 20000));
    EXPECT_EQ(documentText(*editor), text);
    EXPECT_FALSE(editor->textView()->isReadOnly());
    EXPECT_FALSE(editor->textView()->document()->isUndoAvailable());
    EXPECT_TRUE(editor->saveStatus()->isHidden());
    ASSERT_TRUE(testing::waitForResults(*editor, 20000));
    EXPECT_EQ(testing::shown(editor->results()[19999]), "12 km");
    // The parts were no steps of the history, but what is typed now is.
    editor->textView()->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor->textView(), QStringLiteral("0"));
    EXPECT_EQ(editor->source(), text + u'0');
    editor->textView()->undo();
    EXPECT_EQ(editor->source(), text);
    EXPECT_FALSE(editor->textView()->document()->isUndoAvailable());
}

TEST(EditorLoading, ASheetWithAnOverlongLineIsShownShortenedAndKeptAsItIs) {
    const QString longLine = QString(EditorView::maxEditableLineLength + 1, u'7');
    const QString text = QStringLiteral("5 km\n") + longLine + QStringLiteral("\n2 km");
    auto editor = shownEditor(text);
    int changes = 0;
    QObject::connect(editor.get(), &EditorView::textEdited, [&] { ++changes; });
    EXPECT_TRUE(editor->textView()->isReadOnly());
    EXPECT_EQ(editor->source(), text);
    const QString shown = documentText(*editor);
    EXPECT_EQ(shown.count(u'\n'), 2);
    EXPECT_TRUE(shown.contains(QStringLiteral(" … (99001 more characters, not shown)")));
    EXPECT_EQ(editor->saveStatus()->toolTip(),
              "A line is too long to edit here: the sheet is shown shortened and kept unchanged.");
    QTest::keyClicks(editor->textView(), QStringLiteral("9"));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(editor->source(), text);
    // The long line is a note; the lines around it still count.
    EXPECT_EQ(column(*editor), (std::vector<std::string>{"5 km", "note", "2 km"}));
    EXPECT_EQ(std::get<PageTotal::Value>(editor->pageTotal().payload).display, "7 km");
}

// A store whose tables can be swapped under the sheet, as a refresh does.
struct SwitchableRates final : RateStore {
    std::shared_ptr<const RateStore> current = testing::testRates();
    std::optional<Rate> rate(std::string_view f, std::string_view t, RateKind k) const override {
        return current->rate(f, t, k);
    }
    std::int64_t version() const override { return 0; }
};

TEST(EditorEvaluation, ANewRateVersionIsAppliedOnce) {
    auto rates = std::make_shared<SwitchableRates>();
    auto editor =
        shownEditor(QStringLiteral("5 km\n100 USD in VND\n7"), Engine(rates, NumberStyle::en, RateKind::transfer));
    int evaluations = 0;
    QObject::connect(editor.get(), &EditorView::evaluated, [&] { ++evaluations; });
    editor->applyRateVersion(0);
    EXPECT_EQ(evaluations, 0);  // nothing the lines use changed

    rates->current = testing::noRates();
    editor->applyRateVersion(1);
    EXPECT_EQ(evaluations, 1);
    EXPECT_EQ(column(*editor), freshColumn(*editor));
    EXPECT_TRUE(editor->results()[1].isError());
    editor->applyRateVersion(1);
    EXPECT_EQ(evaluations, 1);
}

TEST(EditorEvaluation, ANewEngineEvaluatesAfresh) {
    auto editor = shownEditor(QStringLiteral("1000 * 3\n100 USD in VND"));
    EXPECT_EQ(column(*editor), (std::vector<std::string>{"3,000", "2,510,000 ₫"}));
    editor->setEngine(Engine(testing::testRates(), NumberStyle::vi, RateKind::sell));
    EXPECT_EQ(column(*editor), (std::vector<std::string>{"3.000", "2.540.000 ₫"}));
}

// A status too long for the line is cut at its tail with "…"; the tooltip holds all of it,
// and a wider window shows more of it again.
TEST(EditorStatus, ALongStatusIsElidedAtItsTailWithTheWholeTextInItsTooltip) {
    auto editor = shownEditor(QStringLiteral("1"));
    const QString error = QString::fromUtf8(
        "Không lưu được \"/home/user/.local/share/QuibSum/Sheets/index.json\": "
        "Thao tác không được phép (the folder is read-only)");
    const QString whole = QStringLiteral("Unsaved changes: ") + error;
    editor->setSaveError(error);
    QLabel* status = editor->saveStatus();
    EXPECT_EQ(status->toolTip(), whole);
    for (int width : {360, 200}) {
        editor->resize(width, 360);
        const QString shown = status->text();
        ASSERT_TRUE(shown.endsWith(u'…')) << width << ": " << shown.toStdString();
        EXPECT_TRUE(whole.startsWith(shown.chopped(1))) << shown.toStdString();
        EXPECT_LE(status->fontMetrics().horizontalAdvance(shown), status->width());
        EXPECT_EQ(status->toolTip(), whole);
    }
    editor->resize(status->fontMetrics().horizontalAdvance(whole) + 60, 360);
    EXPECT_EQ(status->text(), whole);
}

TEST(EditorStatus, TheSaveErrorShowsUntilCleared) {
    auto editor = shownEditor(QStringLiteral("1"));
    EXPECT_TRUE(editor->saveStatus()->isHidden());
    const int fullHeight = editor->textView()->height();
    editor->setSaveError(QStringLiteral("disk full"));
    EXPECT_FALSE(editor->saveStatus()->isHidden());
    EXPECT_EQ(editor->saveStatus()->text(), "Unsaved changes: disk full");
    EXPECT_EQ(editor->textView()->height(), fullHeight - 28);
    editor->setSaveError(std::nullopt);
    EXPECT_TRUE(editor->saveStatus()->isHidden());
    EXPECT_EQ(editor->textView()->height(), fullHeight);
}

TEST(RateSource, EachSourceNamesItselfAndItsDate) {
    const Instant asOf =
        std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{9} + std::chrono::minutes{30};
    auto quantity = [&](RateSource source, RateKind kind) {
        return Quantity{Decimal(1), std::nullopt, Rate{Decimal(25000), source, asOf, kind}};
    };
    const QTimeZone utc = QTimeZone::utc();
    EXPECT_EQ(rateSourceText(quantity(RateSource::vietcombank, RateKind::transfer), utc),
              "Source: Vietcombank (Transfer) · 05/12/2026 09:30");
    EXPECT_EQ(rateSourceText(quantity(RateSource::vietcombank, RateKind::sell), utc),
              "Source: Vietcombank (Sell) · 05/12/2026 09:30");
    EXPECT_EQ(rateSourceText(quantity(RateSource::exchangeRateAPI, RateKind::mid), utc),
              "Source: ExchangeRate-API · 05/12/2026");
    EXPECT_EQ(rateSourceText(quantity(RateSource::seed, RateKind::buy), utc), "Source: bundled rates · 05/12/2026");
    EXPECT_EQ(rateSourceText(quantity(RateSource::sheet, RateKind::transfer), utc), "Source: rate typed in this sheet");
    // The user's zone decides the day shown: 09:30 UTC is 16:30 in Hanoi.
    EXPECT_EQ(rateSourceText(quantity(RateSource::vietcombank, RateKind::buy), QTimeZone("Asia/Ho_Chi_Minh")),
              "Source: Vietcombank (Buy) · 05/12/2026 16:30");
    EXPECT_EQ(rateSourceText(Quantity{Decimal(1), std::nullopt, std::nullopt}), std::nullopt);
}

}  // namespace
}  // namespace quibsum
