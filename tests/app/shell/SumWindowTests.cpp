// The sheet window's operations with its confirmations and focus questions answered by the
// test: switching, creating and deleting sheets, titles, hiding, quitting, remembered state.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/shell/DesktopApp.h"
#include "QuibSum/shell/DesktopSearchActions.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/storage/SumSettings.h"
#include "QuibSum/storage/WindowState.h"
#include "tests/app/LockHolder.h"
#include "tests/app/SecondWriter.h"
#include "tests/app/hotkey/FakeHotKey.h"
#include "tests/app/shell/ShellTestSupport.h"

namespace quibsum {
namespace {

class SumWindowTest : public ::testing::Test, protected testing::ShellFixture {
protected:
    std::vector<std::pair<QString, QString>> questions;
    std::vector<QString> alerts;
    bool answer = true;
    bool key = true;

    bool positionKnown = true;

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
        hooks.positionKnown = positionKnown;
        auto window = std::make_unique<SumWindow>(store, runtime, settings, hooks);
        window_ = window.get();
        return window;
    }
    QString text(const SumWindow& w) { return w.editor()->source(); }
    QString quickFile() const {
        return store.directory() + QStringLiteral("/00000000-0000-0000-0000-000000000001.txt");
    }

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

// The hot key as the application wires it: a press toggles the window and asks for the rates
// that are due; the token that came with it is in place before the window is shown.
TEST_F(SumWindowTest, TheHotKeyTogglesTheWindowAndRefreshesWhatIsDue) {
    auto w = open();
    FakeHotKey hotKey;
    hotKey.registerCombination(49, 0x1800);
    toggleOnHotKey(hotKey, *w, runtime);
    qunsetenv("XDG_ACTIVATION_TOKEN");
    std::optional<QByteArray> tokenWhenShown;
    QObject::connect(w.get(), &SumWindow::shown, [&] { tokenWhenShown = qgetenv("XDG_ACTIVATION_TOKEN"); });

    hotKey.press(49, 0x1800, QStringLiteral("kwin-7"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(tokenWhenShown, "kwin-7");
    runtime.waitForRefreshes();
    EXPECT_EQ(feeds->takeURLs(), (std::vector<std::string>{"vcb", "erapi"}));

    hotKey.press(49, 0x1800);
    EXPECT_FALSE(w->isVisible());
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

TEST_F(SumWindowTest, TheFooterAndPinningAreSignalled) {
    auto w = open();
    QSignalSpy settingsAsked(w.get(), &SumWindow::settingsRequested);
    QSignalSpy pins(w.get(), &SumWindow::pinChanged);
    emit w->footer()->settingsRequested();
    EXPECT_EQ(settingsAsked.count(), 1);
    w->footer()->pinButton()->click();
    w->togglePin();
    ASSERT_EQ(pins.count(), 2);
    EXPECT_EQ(pins[0][0].toBool(), true);
    EXPECT_EQ(pins[1][0].toBool(), false);
}

// Pinning changes the level of the window the desktop already has: a new native window would
// take the keyboard away, and the unpinned window would hide as if the user had turned away.
TEST_F(SumWindowTest, PinningAndUnpinningKeepTheWindowShownWithTheKeyboard) {
    auto w = open();
    w->showWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    const WId native = w->winId();
    for (const bool pinned : {true, false, true, false}) {
        w->togglePin();
        ASSERT_EQ(w->isPinned(), pinned);
        EXPECT_EQ(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint), pinned);
        EXPECT_EQ(w->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), pinned);
        // Whatever the desktop reports about the change has arrived once the events are done.
        QCoreApplication::processEvents();
        EXPECT_EQ(w->winId(), native);
        EXPECT_TRUE(w->isVisible()) << "hidden after " << (pinned ? "pinning" : "unpinning");
        EXPECT_TRUE(w->isActiveWindow());
    }
}

// Where the window system never says where a window is (Wayland), its size is remembered and
// its position is not made up: the one stored before stays, or none.
TEST_F(SumWindowTest, WithoutAKnownPositionOnlyTheSizeIsRemembered) {
    auto frame = [&] { return WindowState::load(settings).value().frame; };
    auto w = open();
    w->showWindow();
    w->setGeometry(200, 150, 600, 400);
    EXPECT_EQ(frame(), QRectF(200, 150, 600, 400));

    positionKnown = false;
    w = open();
    w->showWindow();
    w->setGeometry(0, 0, 640, 420);
    EXPECT_EQ(frame(), QRectF(200, 150, 640, 420));
    w->togglePin();
    EXPECT_EQ(frame(), QRectF(200, 150, 640, 420));

    settings.clear();
    w = open();
    w->showWindow();
    w->setGeometry(0, 0, 500, 300);
    EXPECT_EQ(frame(), QRectF(WindowState::defaults().frame.topLeft(), QSizeF(500, 300)));
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
        ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->textView()->isReadOnly(); }, 20000));  // all in
        QApplication::processEvents();
        const int lastLine = c.before + c.appended - 1;
        EXPECT_TRUE(editor->textView()->textCursor().atEnd()) << c.before << "+" << c.appended;
        const auto [first, last] = editor->textView()->visibleLines();
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

// ---- Other programs writing the same sheets ----------------------------------------------

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST_F(SumWindowTest, ALineAppendedElsewhereIsShownAtOnceAndNeverSavedOver) {
    auto w = open();
    SumTextView* view = w->editor()->textView();
    QTest::keyClicks(view, QStringLiteral("win = 1"));
    ASSERT_TRUE(store.hasPendingChanges());

    // As cron runs it, while the window holds an unsaved line: the folder's watch brings the
    // line in (no key pressed), and the window's text and the file agree.
    testing::appendElsewhere(dir.path(), QStringLiteral("from cron = 2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return text(*w) == "win = 1\nfrom cron = 2"; }, 10000)) << text(*w).toStdString();
    EXPECT_EQ(fileBytes(quickFile()), "win = 1\nfrom cron = 2");
    EXPECT_EQ(testing::shown(w->editor()->results()[1]), "2");

    // The caret stayed where the user was typing.
    QTest::keyClicks(view, QStringLiteral(" + 1"));
    EXPECT_EQ(text(*w), "win = 1 + 1\nfrom cron = 2");
    store.save();
    EXPECT_EQ(fileBytes(quickFile()), "win = 1 + 1\nfrom cron = 2");
    // One undo takes back the typing, not the appended line.
    view->undo();
    EXPECT_TRUE(text(*w).endsWith("from cron = 2")) << text(*w).toStdString();
    EXPECT_TRUE(alerts.empty());
}

TEST_F(SumWindowTest, AChangeElsewhereThatCannotBeMergedIsKeptAndTheUserTold) {
    store.setText(QStringLiteral("base = 0"), SheetStore::quickSheetID);
    store.save();
    auto w = open();
    w->editor()->textView()->moveCursor(QTextCursor::End);
    QTest::keyClick(w->editor()->textView(), Qt::Key_Return);
    QTest::keyClicks(w->editor()->textView(), QStringLiteral("mine = 1"));
    QSaveFile other(quickFile());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("theirs = 2");
    ASSERT_TRUE(other.commit());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !alerts.empty(); }, 10000));
    EXPECT_TRUE(alerts[0].contains("Quick (changed elsewhere)")) << alerts[0].toStdString();
    EXPECT_EQ(fileBytes(quickFile()), "base = 0\nmine = 1");
    EXPECT_EQ(text(*w), "base = 0\nmine = 1");
    ASSERT_EQ(store.records().size(), 2u);
    EXPECT_EQ(store.records()[1].title, "Quick (changed elsewhere)");
    EXPECT_EQ(store.text(store.records()[1].id), "theirs = 2");
}

TEST_F(SumWindowTest, ASheetThatIsNotUtf8IsShownReadOnlyWithTheReason) {
    const QUuid a = store.createSheet(QStringLiteral("A"));
    const QString file = store.directory() + u'/' + SheetStore::idText(a) + QStringLiteral(".txt");
    QSaveFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("Caf\xE9 = 3\n");
    ASSERT_TRUE(damaged.commit());

    auto w = open();
    ASSERT_TRUE(w->showSheet(a));
    EXPECT_TRUE(w->editor()->textView()->isReadOnly());
    ASSERT_TRUE(w->editor()->readOnlyReason().has_value());
    // The status line may be shortened to fit; its tooltip has the whole reason.
    const QString reason = w->editor()->saveStatus()->toolTip();
    EXPECT_TRUE(reason.contains(file)) << reason.toStdString();
    EXPECT_TRUE(reason.contains("UTF-8"));
    QTest::keyClicks(w->editor()->textView(), QStringLiteral("x"));
    EXPECT_FALSE(store.hasPendingChanges());
    store.save();
    EXPECT_EQ(fileBytes(file), "Caf\xE9 = 3\n");
}

TEST_F(SumWindowTest, ALockHeldElsewhereNeverFreezesTypingAndTheSaveLandsWhenItIsFree) {
    auto w = open();
    testing::LockHolder other(store.directory() + QStringLiteral("/index.lock"));
    ASSERT_TRUE(other.held());
    QTest::keyClicks(w->editor()->textView(), QStringLiteral("1 + 1"));
    // The delayed save ran and came back, saying why it waits.
    ASSERT_TRUE(QTest::qWaitFor([&] { return store.lastError().has_value(); }, 10000));
    EXPECT_TRUE(store.lastError()->contains("index.lock"));
    EXPECT_TRUE(w->editor()->saveStatus()->isVisibleTo(w.get()));
    QTest::keyClicks(w->editor()->textView(), QStringLiteral(" + 1"));
    EXPECT_EQ(text(*w), "1 + 1 + 1");
    EXPECT_EQ(testing::shown(w->editor()->results()[0]), "3");
    EXPECT_EQ(fileBytes(quickFile()), "");

    other.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fileBytes(quickFile()) == "1 + 1 + 1"; }, 10000));
    EXPECT_EQ(store.lastError(), std::nullopt);
}

// The desktop's search, answered by the running application: with rates due and a feed that
// never answers, the answer comes from the rates in hand while the refresh waits beside it.
TEST_F(SumWindowTest, ASearchAnswersWithTheRatesInHandWhileAFeedNeverAnswers) {
    qputenv("LC_ALL", "en_US.UTF-8");
    feeds->hold("vcb");
    auto w = open();
    const SearchActions actions = desktopSearchActions(store, runtime, *w);
    const std::optional<SearchAnswer> answer = actions.answer(QStringLiteral("100 USD to VND"));
    feeds->waitUntilHeld();  // the refresh it started is under way, and stuck
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->result, QStringLiteral("2,612,800 ₫"));  // the bundled transfer rate
    feeds->release();
    runtime.waitForRefreshes();
}

TEST_F(SumWindowTest, OpeningASearchAppendsItToTheQuickSheetAndShowsIt) {
    store.setText(QStringLiteral("a = 1"), SheetStore::quickSheetID);
    const QUuid other = store.createSheet(QStringLiteral("Other"));
    auto w = open();
    w->showSheet(other);
    ASSERT_FALSE(w->isVisible());
    desktopSearchActions(store, runtime, *w).open(QStringLiteral("2+3*4"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->sheetID(), SheetStore::quickSheetID);
    EXPECT_EQ(store.text(SheetStore::quickSheetID), QStringLiteral("a = 1\n2+3*4"));
    EXPECT_EQ(text(*w), QStringLiteral("a = 1\n2+3*4"));
}

}  // namespace
}  // namespace quibsum
