// The portal hot key against a stand-in portal on the test's private session bus (by default
// one that behaves as Plasma 5.27's): the shortcut bound with the combination as preferred
// trigger, presses through Activated, refusals (by the user, or an answer that binds nothing),
// and the session closed on release.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QThread>
#include <memory>
#include <optional>
#include <vector>

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
        QObject::connect(hotKey.get(), &HotKey::pressed, [this] { ++presses; });
        QObject::connect(hotKey.get(), &HotKey::failed, [this](const HotKeyError& e) { failure = e.message(); });
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

// The compositor's token comes with the press, and is in place before the window is shown.
TEST_F(PortalHotKeyTest, APressHandsOnTheActivationTokenFirst) {
    std::vector<QString> events;
    QObject::connect(hotKey.get(), &HotKey::activationTokenReceived,
                     [&](const QString& token) { events.push_back(QStringLiteral("token ") + token); });
    QObject::connect(hotKey.get(), &HotKey::pressed, [&] { events.push_back(QStringLiteral("press")); });
    hotKey->registerCombination(49, 0x1800);
    ASSERT_TRUE(waitUntil([&] { return !portal->bound().isEmpty(); }));

    portal->activate(fakeBus, QStringLiteral("toggle"), {},
                     {{QStringLiteral("activation_token"), QStringLiteral("kwin-7")}});
    ASSERT_TRUE(waitUntil([&] { return events.size() == 2; }));
    portal->activate(fakeBus, QStringLiteral("toggle"));  // an older portal sends none
    ASSERT_TRUE(waitUntil([&] { return events.size() == 3; }));
    EXPECT_EQ(events, (std::vector<QString>{"token kwin-7", "press", "press"}));
}

TEST_F(PortalHotKeyTest, BindsTheCombinationAndSignalsPressesOfItsOwnShortcutOnly) {
    EXPECT_TRUE(PortalHotKey::available(QDBusConnection::sessionBus()));
    hotKey->registerCombination(49, 0x1800);
    ASSERT_TRUE(waitUntil([&] { return !portal->bound().isEmpty(); }));
    EXPECT_EQ(portal->bound(), QStringList{"toggle=CTRL+ALT+space"});
    // Granted at creation: no BindShortcuts, which would open Plasma's shortcut settings.
    EXPECT_TRUE(portal->asked().isEmpty());

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

TEST_F(PortalHotKeyTest, APortalThatReadsOnlyBindShortcutsBindsItToo) {
    portal->answer = FakePortal::Answer::standard;
    hotKey->registerCombination(49, 0x1800);
    ASSERT_TRUE(waitUntil([&] { return !portal->bound().isEmpty(); }));
    EXPECT_EQ(portal->bound(), QStringList{"toggle=CTRL+ALT+space"});
    EXPECT_EQ(portal->asked(), QList<qsizetype>{1});
    portal->activate(fakeBus, QStringLiteral("toggle"));
    EXPECT_TRUE(waitUntil([&] { return presses == 1; }));
    EXPECT_EQ(failure, std::nullopt);
}

// A user who declines, and a portal that answers success but binds nothing, both leave the
// user the advice; the refused session's presses never count.
TEST_F(PortalHotKeyTest, ARefusalGivesTheAdviceThroughOnFailure) {
    for (const auto refusal : {FakePortal::Answer::cancel, FakePortal::Answer::empty}) {
        SCOPED_TRACE(static_cast<int>(refusal));
        failure.reset();
        presses = 0;
        portal->answer = refusal;
        hotKey->registerCombination(49, 0x1800);
        ASSERT_TRUE(waitUntil([&] { return failure.has_value(); }));
        EXPECT_EQ(*failure,
                  "The desktop did not grant Ctrl+Alt+Space as a global hot key. To use it, bind the command "
                  "“quibsum toggle” to it in the desktop's keyboard settings.");
        const QString refused = portal->lastSession();
        EXPECT_TRUE(waitUntil([&] { return portal->closed().contains(refused); }));
        portal->activate(fakeBus, QStringLiteral("toggle"), refused);

        // Signals from one sender arrive in order: once the next session's press is here,
        // the refused one's has been seen and ignored.
        portal->answer = FakePortal::Answer::plasma;
        const qsizetype boundBefore = portal->bound().size();
        hotKey->registerCombination(49, 0x1800);
        ASSERT_TRUE(waitUntil([&] { return portal->bound().size() == boundBefore + 1; }));
        portal->activate(fakeBus, QStringLiteral("toggle"));
        EXPECT_TRUE(waitUntil([&] { return presses == 1; }));
        EXPECT_EQ(presses, 1);
    }
}

TEST(PortalHotKeyWithoutPortal, ABusWithoutThePortalIsNotOffered) {
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(portalService).value());
    EXPECT_FALSE(PortalHotKey::available(QDBusConnection::sessionBus()));
}

}  // namespace
}  // namespace quibsum
