// The desktop search's copy on an X display: Qt's clipboard where no clipboard manager is on
// the bus (read back by another X client, as a paste in another program), Klipper's where it is.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

#include "QuibSum/desktop/DesktopClipboard.h"
#include "tests/app/desktop/FakeBusService.h"
#include "tests/app/hotkey/WaitUntil.h"

namespace quibsum {
namespace {

const QString klipperService = QString::fromLatin1(DesktopClipboard::klipperService);

TEST(DesktopClipboard, WithoutKlipperAnotherProgramPastesTheResult) {
    if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty()) GTEST_SKIP() << "xclip is not installed";
    const QString result = QStringLiteral("1.020.000 ₫");
    DesktopClipboard::copy(result, QDBusConnection::sessionBus());
    ASSERT_TRUE(waitUntil([&] { return QGuiApplication::clipboard()->text() == result; }));

    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    // xclip asks this process for the text: its event loop must run meanwhile.
    ASSERT_TRUE(waitUntil([&] { return xclip.state() == QProcess::NotRunning; }));
    EXPECT_EQ(xclip.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(xclip.readAllStandardOutput()), result);
}

TEST(DesktopClipboard, KlipperOnTheBusSetsTheClipboard) {
    FakeBusService klipper(klipperService, QString::fromLatin1(DesktopClipboard::klipperPath));
    ASSERT_TRUE(klipper.isRegistered());
    DesktopClipboard::copy(QStringLiteral("2,612,800 ₫"), QDBusConnection::sessionBus());
    ASSERT_TRUE(waitUntil([&] { return !klipper.calls().isEmpty(); }));
    const FakeBusService::Call call = klipper.calls().first();
    EXPECT_EQ(call.interface, QString::fromLatin1(DesktopClipboard::klipperInterface));
    EXPECT_EQ(call.member, QStringLiteral("setClipboardContents"));
    EXPECT_EQ(call.arguments, QVariantList{QStringLiteral("2,612,800 ₫")});
}

// A Klipper that refuses the call (here: it serves another path) leaves the copy to Qt.
TEST(DesktopClipboard, AKlipperThatRefusesLeavesTheCopyToQt) {
    FakeBusService klipper(klipperService, QStringLiteral("/elsewhere"));
    ASSERT_TRUE(klipper.isRegistered());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    DesktopClipboard::copy(QStringLiteral("42"), QDBusConnection::sessionBus());
    EXPECT_TRUE(waitUntil([] { return QGuiApplication::clipboard()->text() == QLatin1String("42"); }));
}

}  // namespace
}  // namespace quibsum
