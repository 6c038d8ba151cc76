// The sheet window's operations with its confirmations and focus questions answered by the
// test: switching, creating and deleting sheets, titles, hiding, quitting, remembered state.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTest>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/storage/SumSettings.h"
#include "QuibSum/storage/WindowState.h"
#include "tests/app/shell/ShellTestSupport.h"

namespace quibsum {
namespace {

class SumWindowTest : public ::testing::Test, protected testing::ShellFixture {
protected:
    std::vector<std::pair<QString, QString>> questions;
    std::vector<QString> alerts;
    bool answer = true;
    bool key = true;

    std::unique_ptr<SumWindow> open() {
        SumWindow::Hooks hooks;
        hooks.confirm = [this](QWidget*, const QString& message, const QString& details,
                               std::function<void(bool)> done) {
            questions.emplace_back(message, details);
            done(answer);
        };
        hooks.alert = [this](QWidget*, const QString& message) { alerts.push_back(message); };
        hooks.present = [](QWidget* w) { w->show(); };
        hooks.currentKeyWindow = [this]() -> QWidget* { return key ? window_ : nullptr; };
        auto window = std::make_unique<SumWindow>(store, runtime, settings, hooks);
        window_ = window.get();
        return window;
    }
    QString text(const SumWindow& w) { return w.editor()->source(); }

private:
    QWidget* window_ = nullptr;
};

TEST_F(SumWindowTest, NextAndPreviousWrapAround) {
    const QUuid a = store.createSheet(QStringLiteral("A"));
    const QUuid b = store.createSheet(QStringLiteral("B"));
    store.setText(QStringLiteral("b = 2"), b);
    auto w = open();
    EXPECT_EQ(w->sheetID(), SheetStore::quickSheetID);
    EXPECT_EQ(w->titleText(), "Quib Sum");
    w->previousSheet();
    EXPECT_EQ(w->sheetID(), b);
    EXPECT_EQ(w->titleText(), "Quib Sum — B");
    EXPECT_EQ(w->windowTitle(), "Quib Sum — B");
    EXPECT_EQ(text(*w), "b = 2");
    w->nextSheet();
    EXPECT_EQ(w->sheetID(), SheetStore::quickSheetID);
    w->nextSheet();
    EXPECT_EQ(w->sheetID(), a);
    key = false;  // the commands are the key window's only
    w->nextSheet();
    EXPECT_EQ(w->sheetID(), a);
}

TEST_F(SumWindowTest, TheQuickSheetCannotBeDeleted) {
    auto w = open();
    EXPECT_FALSE(w->deleteAction()->isEnabled());
    w->deleteSheet();
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(store.records().size(), 1u);
}

TEST_F(SumWindowTest, DeletingAfterConfirmingShowsTheSheetBefore) {
    const QUuid a = store.createSheet(QStringLiteral("A"));
    const QUuid b = store.createSheet(QStringLiteral("B"));
    auto w = open();
    ASSERT_TRUE(w->showSheet(b));
    EXPECT_TRUE(w->deleteAction()->isEnabled());

    answer = false;
    w->deleteSheet();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], (std::pair<QString, QString>{"Delete this sheet?", "This cannot be undone."}));
    EXPECT_EQ(w->sheetID(), b);
    EXPECT_NE(store.record(b), nullptr);

    answer = true;
    w->deleteSheet();
    EXPECT_EQ(w->sheetID(), a);
    EXPECT_EQ(store.record(b), nullptr);
    EXPECT_FALSE(QFile::exists(store.directory() + u'/' + SheetStore::idText(b) + QStringLiteral(".txt")));
    EXPECT_TRUE(alerts.empty());
}

TEST_F(SumWindowTest, ANewSheetIsShownAndRemembered) {
    auto w = open();
    w->newSheet();
    ASSERT_EQ(store.records().size(), 2u);
    EXPECT_EQ(w->sheetID(), store.records()[1].id);
    EXPECT_EQ(w->titleText(), "Quib Sum — Sheet 1");
    w->togglePin();
    EXPECT_TRUE(w->isPinned());
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const auto saved = WindowState::load(settings);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->sheetID, store.records()[1].id);
    EXPECT_TRUE(saved->pinned);

    // The next start opens the same sheet, pinned.
    w.reset();
    auto again = open();
    EXPECT_EQ(again->sheetID(), store.records()[1].id);
    EXPECT_TRUE(again->isPinned());
}

TEST_F(SumWindowTest, TypingReachesTheStore) {
    auto w = open();
    QTest::keyClicks(w->editor()->textView(), QStringLiteral("2 + 2"));
    EXPECT_TRUE(store.hasPendingChanges());
    EXPECT_TRUE(store.isSaveScheduled());
    EXPECT_EQ(store.text(SheetStore::quickSheetID), "2 + 2");
}

TEST_F(SumWindowTest, EscapeAndTheCloseButtonHideWithoutClosing) {
    auto w = open();
    w->showWindow();
    ASSERT_TRUE(w->isVisible());
    QTest::keyClick(w->editor()->textView(), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    w->showWindow();
    EXPECT_FALSE(w->close());  // refused: hidden instead
    EXPECT_FALSE(w->isVisible());
    w->toggleWindow();
    EXPECT_TRUE(w->isVisible());
    w->toggleWindow();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(SumWindowTest, TheHotKeyBringsAPinnedWindowForwardAndHidesAnyOther) {
    auto w = open();
    w->showWindow();
    key = false;  // shown, but the desktop gave the keyboard to another program
    w->toggleWindow();
    EXPECT_FALSE(w->isVisible());
    w->togglePin();
    w->showWindow();
    w->toggleWindow();  // pinned behind another window: comes forward instead
    EXPECT_TRUE(w->isVisible());
    key = true;
    w->toggleWindow();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(SumWindowTest, TextFromOutsideShowsTheQuickSheetAtItsEnd) {
    const QUuid a = store.createSheet(QStringLiteral("A"));
    auto w = open();
    w->showSheet(a);
    w->showQuickSheetText(store.appendToQuickSheet(QStringLiteral("7 * 6")));
    EXPECT_EQ(w->sheetID(), SheetStore::quickSheetID);
    EXPECT_EQ(text(*w), "7 * 6");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->editor()->textView()->textCursor().atEnd());
    EXPECT_EQ(testing::shown(w->editor()->results()[0]), "42");
}

// Thousands of lines appended to a long quick sheet, in one step or (beyond what goes into the
// view at once) part by part: the caret and the view are at the end once all of it is in.
TEST_F(SumWindowTest, ALargeAppendEndsWithTheCaretAtTheEndInView) {
    struct Case {
        int before, appended;
    };
    for (const Case c : {Case{1799, 2500}, Case{0, 3000}, Case{10, 1500}}) {
        store.setText(testing::numberedLines(1, c.before), SheetStore::quickSheetID);
        auto w = open();
        w->resize(560, 360);
        w->showWindow();
        w->hideWindow();  // appended while hidden, as from another program
        w->showQuickSheetText(store.appendToQuickSheet(testing::numberedLines(c.before + 1, c.appended)));
        EditorView* editor = w->editor();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->isLoading(); }, 20000));
        QApplication::processEvents();
        const int lastLine = c.before + c.appended - 1;
        EXPECT_TRUE(editor->textView()->textCursor().atEnd()) << c.before << "+" << c.appended;
        const auto [first, last] = editor->visibleLines();
        EXPECT_EQ(last, lastLine) << c.before << "+" << c.appended << ": lines " << first << "–" << last << " in view";
        EXPECT_GT(first, lastLine - 30);
    }
}

TEST_F(SumWindowTest, AFailedSaveAtQuitAlertsAndKeepsTheText) {
    auto w = open();
    QTest::keyClicks(w->editor()->textView(), QStringLiteral("5 km"));
    // The folder gives way to a file: every write in it fails.
    ASSERT_TRUE(QDir(store.directory()).removeRecursively());
    QFile blocker(store.directory());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(w->saveBeforeQuit());
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(alerts[0].startsWith("Your changes could not be saved, so Quib Sum keeps running."))
        << alerts[0].toStdString();
    EXPECT_TRUE(store.hasPendingChanges());
    EXPECT_EQ(store.text(SheetStore::quickSheetID), "5 km");
    EXPECT_EQ(w->editor()->saveStatus()->toolTip().left(17), "Unsaved changes: ");
}

// The footer's menu holds the window's File and Edit menus before its own choices; each
// choice submenu still checks the value in use.
TEST_F(SumWindowTest, EveryChoiceSubmenuChecksTheValueInUse) {
    auto w = open();
    QMenu* menu = w->footer()->settingsMenu();
    auto checked = [menu](const QString& title) {
        QStringList values;
        for (QAction* item : menu->actions()) {
            if (!item->menu() || item->text() != title) continue;
            for (QAction* choice : item->menu()->actions())
                if (choice->isChecked()) values << choice->data().toString();
        }
        return values.join(u',');
    };
    auto open = [menu] { emit menu->aboutToShow(); };
    SumSettings& s = runtime.settings();
    struct Step {
        std::function<void()> change;
        QString style, kind, appearance;
    };
    const Step steps[] = {
        {[] {}, s.numberStyle() == "vi" ? "vi" : "en", "transfer", "dark"},
        {[&] { s.setNumberStyle("vi"); }, "vi", "transfer", "dark"},
        {[&] { s.setNumberStyle("en"); }, "en", "transfer", "dark"},
        {[&] { s.setRateKind("sell"); }, "en", "sell", "dark"},
        {[&] { s.setAppearance("light"); }, "en", "sell", "light"},
        // Values the settings file may hold but no menu offers work as the defaults.
        {[&] {
             s.setNumberStyle("fr");
             s.setRateKind("mid");
             s.setAppearance("sepia");
         },
         "en", "transfer", "dark"},
    };
    for (const Step& step : steps) {
        step.change();
        open();
        EXPECT_EQ(checked("Number style"), step.style);
        EXPECT_EQ(checked("Default VND rate"), step.kind);
        EXPECT_EQ(checked("Appearance"), step.appearance);
    }
}

TEST_F(SumWindowTest, AnUnreadableSheetIsNotShown) {
    const QUuid a = store.createSheet(QStringLiteral("A"));
    ASSERT_TRUE(QFile::remove(store.directory() + u'/' + SheetStore::idText(a) + QStringLiteral(".txt")));
    auto w = open();
    EXPECT_FALSE(w->showSheet(a));
    EXPECT_EQ(w->sheetID(), SheetStore::quickSheetID);
}

}  // namespace
}  // namespace quibsum
