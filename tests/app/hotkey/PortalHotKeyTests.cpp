// The portal hot key against a stand-in portal on the test's private session bus: the
// shortcut bound with the combination as preferred trigger, presses through Activated, a
// refusal by the user, and the session closed on release.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QThread>
#include <memory>
#include <optional>

#include "QuibSum/shell/hotkey/portal/PortalHotKey.h"
#include "tests/app/hotkey/FakePortal.h"
#include "tests/app/hotkey/WaitUntil.h"

namespace quibsum {
namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");

class PortalHotKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
        thread.start();
        portal = new FakePortal;
        portal->moveToThread(&thread);
        ASSERT_TRUE(fakeBus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), portal,
                                                  QDBusConnection::SubPath));
        ASSERT_TRUE(fakeBus.registerService(portalService)) << fakeBus.lastError().message().toStdString();
        hotKey = std::make_unique<PortalHotKey>(QDBusConnection::sessionBus());
        hotKey->onPress = [this] { ++presses; };
        hotKey->onFailure = [this](const HotKeyError& e) { failure = e.message(); };
    }

    void TearDown() override {
        hotKey.reset();
        if (!thread.isRunning()) return;
        fakeBus.unregisterService(portalService);
        fakeBus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"), QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake portal"));
        portal->deleteLater();
        thread.quit();
        thread.wait();
    }

    QThread thread;
    QDBusConnection fakeBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake portal"));
    FakePortal* portal = nullptr;
    std::unique_ptr<PortalHotKey> hotKey;
    int presses = 0;
    std::optional<QString> failure;
};

TEST_F(PortalHotKeyTest, BindsTheCombinationAndCallsOnPressForItsOwnShortcutOnly) {
    EXPECT_TRUE(PortalHotKey::available(QDBusConnection::sessionBus()));
    hotKey->registerCombination(49, 0x1800);
    ASSERT_TRUE(waitUntil([&] { return !portal->bound().isEmpty(); }));
    EXPECT_EQ(portal->bound(), QStringList{"toggle=CTRL+ALT+space"});

    const QString session = portal->lastSession();
    portal->activate(fakeBus, QStringLiteral("toggle"));
    EXPECT_TRUE(waitUntil([&] { return presses == 1; }));
    portal->activate(fakeBus, QStringLiteral("other"));
    portal->activate(fakeBus, QStringLiteral("toggle"), session + QStringLiteral("x"));
    portal->activate(fakeBus, QStringLiteral("toggle"));
    EXPECT_TRUE(waitUntil([&] { return presses == 2; }));
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(failure, std::nullopt);

    // A new combination opens a new session and closes the old one; the old one's presses
    // no longer count.
    hotKey->registerCombination(40, 0x1200);
    ASSERT_TRUE(waitUntil([&] { return portal->bound().size() == 2; }));
    EXPECT_EQ(portal->bound().last(), "toggle=CTRL+SHIFT+k");
    EXPECT_TRUE(waitUntil([&] { return portal->closed() == QStringList{session}; }));
    portal->activate(fakeBus, QStringLiteral("toggle"), session);
    portal->activate(fakeBus, QStringLiteral("toggle"));
    EXPECT_TRUE(waitUntil([&] { return presses == 3; }));

    hotKey->unregister();
    EXPECT_TRUE(waitUntil([&] { return portal->closed().size() == 2; }));
}

TEST_F(PortalHotKeyTest, AUserWhoDeclinesGetsTheAdviceThroughOnFailure) {
    portal->refuse = true;
    hotKey->registerCombination(49, 0x1800);
    ASSERT_TRUE(waitUntil([&] { return failure.has_value(); }));
    EXPECT_EQ(portal->bound(), QStringList{"toggle=CTRL+ALT+space"});  // refused when asked, not before
    EXPECT_EQ(*failure,
              "The desktop did not grant Ctrl+Alt+Space as a global hot key. To use it, bind the command "
              "“quibsum toggle” to it in the desktop's keyboard settings.");
    portal->activate(fakeBus, QStringLiteral("toggle"));
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(presses, 0);
}

TEST(PortalHotKeyWithoutPortal, ABusWithoutThePortalIsNotOffered) {
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(portalService).value());
    EXPECT_FALSE(PortalHotKey::available(QDBusConnection::sessionBus()));
}

}  // namespace
}  // namespace quibsum
