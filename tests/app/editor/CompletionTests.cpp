// Variable suggestions under the caret: what opens them, what a prefix matches (case,
// diacritics, "đ", several words, digits before letters), the keys and clicks, scrolling of
// a long list, one undo step per accepted name, and an input method composing.

#include <QApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QSignalSpy>

#include "QuibSum/editor/CompletionController.h"
#include "QuibSum/editor/CompletionList.h"
#include "QuibSum/editor/NameFolding.h"
#include "tests/app/editor/EditorTestSupport.h"

namespace quibsum {
namespace {

using testing::shownEditor;

struct Typing {
    std::unique_ptr<EditorView> editor;

    explicit Typing(const QString& text) : editor(shownEditor(text)) {
        editor->activateWindow();
        editor->textView()->setFocus();
        editor->textView()->moveCursor(QTextCursor::End);
        QApplication::processEvents();
    }
    // ASCII as key presses; other letters as an input method commits them, as Vietnamese is
    // typed.
    void type(const QString& keys) {
        for (QChar c : keys) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(editor->textView(), QString(c));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(editor->textView(), &commit);
            }
        }
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(editor->textView(), k, m); }
    CompletionList& list() { return *editor->completionList(); }
    QStringList offered() { return list().isVisible() ? list().candidates() : QStringList(); }
    QString lastLine() { return editor->source().section(u'\n', -1); }
};

TEST(NameFolding, IgnoresCaseAndDiacriticsAndReadsĐAsD) {
    EXPECT_EQ(NameFolding::fold(u"Tiền Nhà"), "tien nha");
    EXPECT_EQ(NameFolding::fold(u"ĐƯỜNG đi"), "duong di");
    EXPECT_EQ(NameFolding::fold(u"Cafe\u0301"), "cafe");  // a decomposed accent too
    EXPECT_TRUE(NameFolding::isNameCharacter(U'ệ'));
    EXPECT_TRUE(NameFolding::isNameCharacter(U'_'));
    EXPECT_FALSE(NameFolding::isNameCharacter(U' '));
    EXPECT_FALSE(NameFolding::isNameCharacter(U'+'));
}

TEST(Completion, WhatAPrefixOffers) {
    struct Row {
        const char* typed;
        QStringList offered;
    };
    const std::vector<Row> rows = {
        {"t", {"Tiền nhà", "tiền điện", "tip"}},
        {"tien", {"Tiền nhà", "tiền điện"}},
        {"TIEN N", {"Tiền nhà"}},                    // several words
        {"tien d", {"tiền điện"}},                   // "đ" read as "d"
        {"12ti", {"Tiền nhà", "tiền điện", "tip"}},  // digits before letters are not the prefix
        {"tip", {}},                                 // the whole name typed: nothing more to offer
        {"x", {}},
        {"tien +", {}},  // an operator closes the list
        {"2 * tie", {"Tiền nhà", "tiền điện"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        Typing t(QStringLiteral("Tiền nhà = 5\ntiền điện = 2\ntip = 3\n"));
        t.type(QString::fromUtf8(row.typed));
        EXPECT_EQ(t.offered(), row.offered);
    }
}

TEST(Completion, OnlyNamesAssignedAboveAreOffered) {
    Typing t(QStringLiteral("rent = 5\n\nrate = 2"));
    t.editor->textView()->setTextCursor(QTextCursor(t.editor->textView()->document()->findBlockByNumber(1)));
    t.type(QStringLiteral("r"));
    EXPECT_EQ(t.offered(), QStringList{"rent"});
}

TEST(Completion, NeverInsideAWord) {
    Typing t(QStringLiteral("total = 5\ntx"));
    QTextCursor c = t.editor->textView()->textCursor();
    c.movePosition(QTextCursor::Left);
    t.editor->textView()->setTextCursor(c);
    t.type(QStringLiteral("o"));  // "to|x"
    EXPECT_FALSE(t.list().isVisible());
}

TEST(Completion, ReturnAcceptsAfterAPrefixAndTypesANewLineAfterASpace) {
    Typing t(QStringLiteral("Tiền nhà = 5\n"));
    t.type(QStringLiteral("tie"));
    ASSERT_TRUE(t.list().isVisible());
    t.key(Qt::Key_Return);
    EXPECT_EQ(t.lastLine(), "Tiền nhà");
    EXPECT_FALSE(t.list().isVisible());

    t.type(QStringLiteral(" + tiền "));
    ASSERT_TRUE(t.list().isVisible());  // "tiền " still offers "Tiền nhà"
    t.key(Qt::Key_Return);
    EXPECT_FALSE(t.list().isVisible());
    EXPECT_EQ(t.lastLine(), "");
    EXPECT_TRUE(t.editor->source().endsWith("Tiền nhà + tiền \n"));
}

TEST(Completion, TabAcceptsAndTheNameIsOneUndoStep) {
    Typing t(QStringLiteral("giá bán = 20\n"));
    t.type(QStringLiteral("2 * gi"));
    t.key(Qt::Key_Tab);
    EXPECT_EQ(t.lastLine(), "2 * giá bán");
    EXPECT_EQ(testing::shown(t.editor->results().back()), "40");
    t.editor->textView()->undo();
    EXPECT_EQ(t.lastLine(), "2 * gi");
}

// What is typed after an accepted name is a step of its own: one undo takes it away and
// leaves the name, the next takes the name back to the prefix. Typed keys and an input
// method's commits alike.
TEST(Completion, TypingAfterAnAcceptedNameIsAnotherUndoStep) {
    struct Case {
        const char* sheet;
        const char* prefix;
        const char* name;
        const char* after;
    };
    const Case cases[] = {
        {"alpha = 1\n", "al", "alpha", " + 1"},
        {"tiền nhà = 5\n", "tien", "tiền nhà", " * 2"},
        {"giá = 3\n", "gi", "giá", "ệ"},
    };
    for (const Case& c : cases) {
        Typing t(QString::fromUtf8(c.sheet));
        t.type(QString::fromUtf8(c.prefix));
        t.key(Qt::Key_Tab);
        ASSERT_EQ(t.lastLine(), QString::fromUtf8(c.name)) << c.sheet;
        t.type(QString::fromUtf8(c.after));
        EXPECT_EQ(t.lastLine(), QString::fromUtf8(c.name) + QString::fromUtf8(c.after));
        t.editor->textView()->undo();
        EXPECT_EQ(t.lastLine(), QString::fromUtf8(c.name)) << c.sheet;
        t.editor->textView()->undo();
        EXPECT_EQ(t.lastLine(), QString::fromUtf8(c.prefix)) << c.sheet;
        t.editor->textView()->redo();
        t.editor->textView()->redo();
        EXPECT_EQ(t.lastLine(), QString::fromUtf8(c.name) + QString::fromUtf8(c.after)) << c.sheet;
    }
}

TEST(Completion, EscapeClosesTheListBeforeItReachesTheWindow) {
    Typing t(QStringLiteral("rent = 5\n"));
    int cancels = 0;
    QObject::connect(t.editor.get(), &EditorView::cancelRequested, [&] { ++cancels; });
    t.type(QStringLiteral("re"));
    ASSERT_TRUE(t.list().isVisible());
    t.key(Qt::Key_Escape);
    EXPECT_FALSE(t.list().isVisible());
    EXPECT_EQ(cancels, 0);
    t.key(Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
}

TEST(Completion, EightNamesScrollByTheSixthRow) {
    QString sheet;
    for (int i = 1; i <= 8; ++i) sheet += QStringLiteral("item%1 = %1\n").arg(i);
    Typing t(sheet);
    t.type(QStringLiteral("it"));
    ASSERT_EQ(t.list().candidates().size(), 8);
    t.key(Qt::Key_Up);
    EXPECT_EQ(t.list().selectedIndex(), 0);
    for (int i = 0; i < 5; ++i) t.key(Qt::Key_Down);
    EXPECT_EQ(t.list().selectedIndex(), 5);
    EXPECT_EQ(t.list().firstVisibleIndex(), 0);
    t.key(Qt::Key_Down);
    EXPECT_EQ(t.list().selectedIndex(), 6);
    EXPECT_EQ(t.list().firstVisibleIndex(), 1);
    t.key(Qt::Key_Down);
    t.key(Qt::Key_Down);
    EXPECT_EQ(t.list().selectedIndex(), 7);
    EXPECT_EQ(t.list().firstVisibleIndex(), 2);
    EXPECT_EQ(t.list().height(), 6 * CompletionList::rowHeight + 8);
    EXPECT_EQ(t.lastLine(), "it");  // the arrows never moved the caret
}

TEST(Completion, AClickOnARowAcceptsItAndAClickElsewhereCloses) {
    Typing t(QStringLiteral("alpha = 1\nalso = 2\n"));
    t.type(QStringLiteral("al"));
    ASSERT_EQ(t.offered(), (QStringList{"alpha", "also"}));
    QTest::mouseClick(&t.list(), Qt::LeftButton, {}, QPoint(20, 4 + CompletionList::rowHeight + 5));
    EXPECT_EQ(t.lastLine(), "also");
    EXPECT_FALSE(t.list().isVisible());

    t.type(QStringLiteral(" + al"));
    ASSERT_TRUE(t.list().isVisible());
    QTest::mouseClick(t.editor->textView()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(t.list().isVisible());
}

TEST(Completion, ScrollingCloses) {
    Typing t(QStringLiteral("rent = 5\n") + testing::lines(200, QStringLiteral("1")) + u'\n');
    t.type(QStringLiteral("re"));
    ASSERT_TRUE(t.list().isVisible());
    t.editor->textView()->verticalScrollBar()->setValue(10);
    QApplication::processEvents();
    EXPECT_FALSE(t.list().isVisible());
}

TEST(Completion, NothingOpensOrMovesWhileAnInputMethodComposes) {
    Typing t(QStringLiteral("Tiền nhà = 5\ntiền điện = 2\n"));
    // Composing "tiê": a preedit string, nothing committed yet.
    QInputMethodEvent composing(QStringLiteral("tiê"), {});
    QApplication::sendEvent(t.editor->textView(), &composing);
    EXPECT_TRUE(t.editor->textView()->hasMarkedText());
    EXPECT_FALSE(t.list().isVisible());

    // Committed: the list opens for the committed text.
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("tiề"));
    QApplication::sendEvent(t.editor->textView(), &commit);
    ASSERT_TRUE(t.list().isVisible());

    // Composing again with the list open: it closes, and the keys are the input method's.
    QInputMethodEvent again(QStringLiteral("n"), {});
    QApplication::sendEvent(t.editor->textView(), &again);
    EXPECT_FALSE(t.list().isVisible());
    t.key(Qt::Key_Down);
    EXPECT_FALSE(t.list().isVisible());
}

// A key changes the text, moves the caret and reports what it typed: the suggestions are
// worked out once for all of it.
TEST(Completion, OneRefreshPerKeystroke) {
    Typing t(QStringLiteral("rent = 5\nrơm = 2\n"));
    QSignalSpy refreshes(t.editor->completion(), &CompletionController::refreshed);
    const std::vector<std::pair<const char*, std::function<void()>>> keys = {
        {"a letter that opens the list", [&] { t.type(QStringLiteral("r")); }},
        {"an input method's letter", [&] { t.type(QStringLiteral("ơ")); }},
        {"backspace", [&] { t.key(Qt::Key_Backspace); }},
        {"a letter that narrows the list", [&] { t.type(QStringLiteral("e")); }},
    };
    for (const auto& [name, press] : keys) {
        SCOPED_TRACE(name);
        refreshes.clear();
        press();
        EXPECT_EQ(refreshes.count(), 1);
        EXPECT_TRUE(t.list().isVisible());
    }
    EXPECT_EQ(t.offered(), QStringList{"rent"});
}

TEST(Completion, LargeSheetsOfferTheNamesOfTheLastRun) {
    Typing t(QStringLiteral("rent = 5\n") + testing::lines(2500, QStringLiteral("1")) + u'\n');
    ASSERT_TRUE(testing::waitForResults(*t.editor, 2502));
    t.editor->textView()->moveCursor(QTextCursor::End);
    QSignalSpy evaluations(t.editor.get(), &EditorView::evaluated);
    t.type(QStringLiteral("re"));
    EXPECT_EQ(evaluations.count(), 0);  // the run is in the background
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.list().isVisible(); }, 10000));
    EXPECT_EQ(t.list().candidates(), QStringList{"rent"});
}

}  // namespace
}  // namespace quibsum
