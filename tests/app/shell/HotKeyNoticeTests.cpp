// The notice that the hot key does not work, with each desktop's action, on the offscreen
// platform; GNOME's settings are a map behind the `gsettings` runner.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/shell/HotKeyNotice.h"
#include "QuibSum/shell/SumWindow.h"
#include "QuibSum/shell/hotkey/GnomeShortcut.h"
#include "QuibSum/storage/HotKeyPress.h"
#include "tests/app/shell/ShellTestSupport.h"

namespace quibsum {
namespace {

using Desktop = HotKeyAdvice::Desktop;

class HotKeyNoticeTest : public ::testing::Test, protected testing::ShellFixture {
protected:
    std::map<QString, QString> gnomeValues;  // "schema key" → GVariant text
    bool gnomeFails = false;
    GnomeShortcut gnome{QStringLiteral("/usr/bin/quibsum"), [this](const QStringList& a) {
                            const QString key = a.value(1) + u' ' + a.value(2);
                            if (a.value(0) == QStringLiteral("set")) {
                                if (gnomeFails)
                                    return GnomeShortcut::Outcome{false, QStringLiteral("dconf is read-only")};
                                gnomeValues[key] = a.value(3);
                                return GnomeShortcut::Outcome{true, {}};
                            }
                            auto found = gnomeValues.find(key);
                            if (found != gnomeValues.end()) return GnomeShortcut::Outcome{true, found->second};
                            return GnomeShortcut::Outcome{true, a.value(2) == QStringLiteral("custom-keybindings")
                                                                    ? QStringLiteral("@as []")
                                                                    : QStringLiteral("''")};
                        }};

    void recordCtrlAltK() { runtime.settings().recordHotkey({HotKeyPress::control | HotKeyPress::option, 40, "k"}); }
};

TEST_F(HotKeyNoticeTest, OnSwayItGivesTheBindingLineForTheCombinationInUse) {
    HotKeyNotice notice(runtime.settings(), Desktop::sway, nullptr, true);
    notice.show();
    EXPECT_EQ(notice.line()->text(), "bindsym Ctrl+Mod1+space exec quibsum toggle");
    ASSERT_TRUE(notice.action()->isVisible());

    QTest::mouseClick(notice.action(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "bindsym Ctrl+Mod1+space exec quibsum toggle");

    recordCtrlAltK();
    EXPECT_EQ(notice.line()->text(), "bindsym Ctrl+Mod1+k exec quibsum toggle");
    EXPECT_TRUE(notice.message()->text().contains(QStringLiteral("Ctrl+Alt+K")));
}

TEST_F(HotKeyNoticeTest, OnGnomeItsButtonAddsTheShortcutOnce) {
    HotKeyNotice notice(runtime.settings(), Desktop::gnome, &gnome, true);
    notice.show();
    QSignalSpy added(&notice, &HotKeyNotice::shortcutAdded);
    ASSERT_TRUE(notice.action()->isVisible());
    EXPECT_FALSE(notice.line()->isVisible());

    QTest::mouseClick(notice.action(), Qt::LeftButton);

    EXPECT_EQ(added.count(), 1);
    EXPECT_TRUE(gnome.isAdded());
    EXPECT_EQ(gnomeValues[GnomeShortcut::entrySchema + u':' + GnomeShortcut::entryPath + QStringLiteral(" binding")],
              "'<Control><Alt>space'");
    EXPECT_FALSE(notice.action()->isVisible()) << "nothing is left to do";
    EXPECT_TRUE(notice.message()->text().contains(QStringLiteral("GNOME's keyboard shortcuts")));

    // A second notice (the settings' pane) knows it is there.
    HotKeyNotice again(runtime.settings(), Desktop::gnome, &gnome, false);
    again.show();
    EXPECT_FALSE(again.action()->isVisible());
}

TEST_F(HotKeyNoticeTest, OnGnomeAFailedWriteSaysWhyAndKeepsTheButton) {
    gnomeFails = true;
    HotKeyNotice notice(runtime.settings(), Desktop::gnome, &gnome, true);
    notice.show();
    QSignalSpy added(&notice, &HotKeyNotice::shortcutAdded);

    QTest::mouseClick(notice.action(), Qt::LeftButton);

    EXPECT_EQ(added.count(), 0);
    EXPECT_TRUE(notice.message()->text().contains(QStringLiteral("dconf is read-only")))
        << notice.message()->text().toStdString();
    EXPECT_TRUE(notice.action()->isVisible());
}

TEST_F(HotKeyNoticeTest, ElsewhereItNamesTheCommandAndOnlyTheWindowsNoticeCanBeDismissed) {
    HotKeyNotice notice(runtime.settings(), Desktop::other, &gnome, true);
    notice.show();
    EXPECT_TRUE(notice.message()->text().contains(QStringLiteral("quibsum toggle")));
    EXPECT_FALSE(notice.action()->isVisible());
    QSignalSpy dismissed(&notice, &HotKeyNotice::dismissed);
    QTest::mouseClick(notice.dismiss(), Qt::LeftButton);
    EXPECT_EQ(dismissed.count(), 1);

    HotKeyNotice pane(runtime.settings(), Desktop::other, nullptr, false);
    pane.show();
    EXPECT_FALSE(pane.dismiss()->isVisible());
}

TEST_F(HotKeyNoticeTest, TheWindowShowsItAtTheBottomOfTheSheet) {
    SumWindow::Hooks hooks;
    hooks.confirm = [](QWidget*, const QString&, const QString&, std::function<void(bool)> done) { done(false); };
    hooks.alert = [](QWidget*, const QString&) {};
    hooks.present = [](QWidget* w) { w->show(); };
    hooks.currentKeyWindow = [] { return nullptr; };
    SumWindow window(store, runtime, settings, hooks);
    auto* notice = new HotKeyNotice(runtime.settings(), Desktop::sway, nullptr, true);
    window.setNotice(notice);
    window.showWindow();

    auto* column = static_cast<QVBoxLayout*>(window.layout());
    EXPECT_EQ(column->indexOf(notice) + 1, column->indexOf(window.footer()));
    EXPECT_GT(column->indexOf(notice), column->indexOf(window.editor()));
    EXPECT_TRUE(notice->isVisible());
    if (const QByteArray shot = qgetenv("QUIBSUM_NOTICE_SHOT"); !shot.isEmpty())
        window.grab().save(QString::fromUtf8(shot));
}

}  // namespace
}  // namespace quibsum
