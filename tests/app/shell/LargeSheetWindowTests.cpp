// The window with a sheet too large to edit: the read-only view is chosen by size when the
// sheet opens (and again when an append takes it over the limit), never saves its text, shows
// lines appended elsewhere, and puts its total in the footer.

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include "QuibSum/cli/SheetReport.h"
#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/LargeSheetView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/shell/SumWindow.h"
#include "tests/app/SecondWriter.h"
#include "tests/app/shell/ShellTestSupport.h"

namespace quibsum {
namespace {

class LargeSheetWindowTest : public ::testing::Test, protected testing::ShellFixture {
protected:
    std::unique_ptr<SumWindow> open() {
        SumWindow::Hooks hooks;
        hooks.confirm = [](QWidget*, const QString&, const QString&, std::function<void(bool)> done) { done(true); };
        hooks.alert = [](QWidget*, const QString&) {};
        hooks.present = [](QWidget* w) { w->show(); };
        hooks.currentKeyWindow = [] { return nullptr; };
        return std::make_unique<SumWindow>(store, runtime, settings, hooks);
    }
    QString quickFile() const {
        return store.directory() + QStringLiteral("/00000000-0000-0000-0000-000000000001.txt");
    }
    QByteArray fileBytes() const {
        QFile file(quickFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static bool evaluated(LargeSheetView* view) {
        if (!view->isEvaluating()) return true;
        QSignalSpy back(view, &LargeSheetView::evaluated);
        return back.wait(30000);
    }
};

constexpr int limit = static_cast<int>(LargeSheetView::maxEditableLines);

TEST_F(LargeSheetWindowTest, TheViewIsChosenBySizeWhenTheSheetOpens) {
    const QUuid under = store.createSheet(QStringLiteral("Under"));
    const QUuid over = store.createSheet(QStringLiteral("Over"));
    store.setText(testing::numberedLines(1, limit), under);
    store.setText(testing::numberedLines(1, limit + 1), over);
    store.save();
    auto w = open();

    ASSERT_TRUE(w->showSheet(under));
    EXPECT_NE(w->editor(), nullptr);
    EXPECT_EQ(w->largeSheetView(), nullptr);

    ASSERT_TRUE(w->showSheet(over));
    ASSERT_EQ(w->editor(), nullptr);
    LargeSheetView* view = w->largeSheetView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->lineCount(), static_cast<std::size_t>(limit) + 1);
    EXPECT_TRUE(view->statusText().contains(SheetStore::idText(over))) << view->statusText().toStdString();

    // The footer shows the total the command line works out.
    ASSERT_TRUE(evaluated(view));
    const PageTotal total =
        SheetReport::evaluate(testing::numberedLines(1, limit + 1).toStdString(), runtime.makeEngine(),
                              [](std::size_t, std::string_view, const LineResult&) {});
    EXPECT_EQ(w->footer()->total(), total);
    EXPECT_EQ(w->footer()->display(), QStringLiteral("1,250,075,001"));

    ASSERT_TRUE(w->showSheet(under));
    EXPECT_NE(w->editor(), nullptr);
    EXPECT_EQ(w->largeSheetView(), nullptr);
}

TEST_F(LargeSheetWindowTest, ItsTextIsNeverSaved) {
    const QString text = testing::numberedLines(1, limit + 10);
    store.setText(text, SheetStore::quickSheetID);
    store.save();
    const QByteArray before = fileBytes();
    auto w = open();
    w->showWindow();
    ASSERT_NE(w->largeSheetView(), nullptr);
    // The window gives the keyboard to the lines, below the view's status.
    QWidget* focused = w->focusWidget();
    ASSERT_EQ(focused, w->largeSheetView()->lines());
    QTest::keyClicks(focused, QStringLiteral("typed"));
    QTest::keyClick(focused, Qt::Key_Backspace);
    EXPECT_FALSE(store.hasPendingChanges());
    store.save();
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(store.text(SheetStore::quickSheetID), text);
}

// `quibsum append` to a large quick sheet while the window shows it, through the running
// window and behind its back: the new lines are shown, with their results, the end in view.
TEST_F(LargeSheetWindowTest, LinesAppendedToALargeQuickSheetAreShown) {
    store.setText(testing::numberedLines(1, limit + 10), SheetStore::quickSheetID);
    store.save();
    auto w = open();
    w->showWindow();
    LargeSheetView* view = w->largeSheetView();
    ASSERT_NE(view, nullptr);

    w->showQuickSheetText(store.appendToQuickSheet(QStringLiteral("over the bus = 6 * 7")));
    ASSERT_EQ(w->largeSheetView(), view);  // the same view, reloaded
    EXPECT_EQ(view->lineCount(), static_cast<std::size_t>(limit) + 11);
    EXPECT_EQ(view->visibleLines().second, view->lineCount() - 1);
    ASSERT_TRUE(evaluated(view));
    EXPECT_EQ(view->resultText(view->lineCount() - 1), "42");

    testing::appendElsewhere(dir.path(), QStringLiteral("from cron = 2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->lineCount() == static_cast<std::size_t>(limit) + 12; }, 10000));
    ASSERT_TRUE(evaluated(view));
    EXPECT_EQ(view->resultText(view->lineCount() - 1), "2");
    EXPECT_EQ(view->text().lineText(view->lineCount() - 2), "over the bus = 6 * 7");
}

// A quick sheet in the editor that an append takes over the limit is shown in the read-only
// view, not poured into the editor.
TEST_F(LargeSheetWindowTest, AnAppendOverTheLimitLeavesTheEditor) {
    store.setText(testing::numberedLines(1, 10), SheetStore::quickSheetID);
    store.save();
    auto w = open();
    ASSERT_NE(w->editor(), nullptr);
    w->showQuickSheetText(store.appendToQuickSheet(testing::numberedLines(11, limit)));
    EXPECT_EQ(w->editor(), nullptr);
    ASSERT_NE(w->largeSheetView(), nullptr);
    EXPECT_EQ(w->largeSheetView()->lineCount(), static_cast<std::size_t>(limit) + 10);
}

}  // namespace
}  // namespace quibsum
