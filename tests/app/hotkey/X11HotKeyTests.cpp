// The X11 hot key on a real X server: key presses sent with xdotool, a grab held by another
// client, and the choice of mechanism.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "QuibSum/shell/hotkey/HotKey.h"
#include "QuibSum/shell/hotkey/x11/X11HotKey.h"
#include "tests/app/hotkey/WaitUntil.h"

namespace quibsum {
namespace {

constexpr std::uint32_t space = 49;
constexpr std::uint32_t kKey = 40;
constexpr std::uint32_t ctrlAlt = 0x1800;

void xdotool(const QStringList& arguments) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << arguments.join(' ').toStdString();
}

void sendKey(const char* keys) { xdotool({QStringLiteral("key"), QString::fromLatin1(keys)}); }

// Records the server time of the last key press Qt receives, ahead of the hot key's filter.
class PressClock : public QAbstractNativeEventFilter {
public:
    PressClock() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~PressClock() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if (eventType == "xcb_generic_event_t" && (event->response_type & 0x7f) == XCB_KEY_PRESS)
            lastPress = reinterpret_cast<xcb_key_press_event_t*>(event)->time;
        return false;
    }

    // Xvfb stamps events with the monotonic clock in milliseconds.
    static std::uint32_t now() {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }

    std::uint32_t lastPress = 0;
};

class X11HotKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotKey = std::make_unique<X11HotKey>();
        QObject::connect(hotKey.get(), &HotKey::pressed, [this] { ++presses; });
    }

    std::unique_ptr<X11HotKey> hotKey;
    int presses = 0;
};

TEST_F(X11HotKeyTest, EachPressSignalsOnceWhateverTheLockKeys) {
    PressClock clock;
    std::vector<std::uint32_t> latencies;
    QObject::connect(hotKey.get(), &HotKey::pressed, [&] { latencies.push_back(PressClock::now() - clock.lastPress); });
    hotKey->registerCombination(space, ctrlAlt);
    const struct {
        const char* toggle;  // the lock key to toggle before the press
        const char* name;
    } rounds[] = {{nullptr, "no locks"},
                  {"Num_Lock", "Num Lock"},
                  {"Caps_Lock", "Num Lock and Caps Lock"},
                  {"Num_Lock", "Caps Lock"},
                  {"Caps_Lock", "no locks again"}};
    int expected = 0;
    for (const auto& round : rounds) {
        if (round.toggle) sendKey(round.toggle);
        sendKey("ctrl+alt+space");
        ++expected;
        EXPECT_TRUE(waitUntil([&] { return presses == expected; })) << round.name;
    }
    // The latency sample: xdotool runs while the event loop is free, as a desktop would be.
    latencies.clear();
    for (int i = 0; i < 20; ++i) {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+space")});
        ++expected;
        ASSERT_TRUE(waitUntil([&] { return presses == expected; }));
        ASSERT_TRUE(xdotool.waitForFinished(5000));
    }
    // X delivers events in order: once a last press is here, any extra one would be too.
    sendKey("ctrl+alt+space");
    ++expected;
    ASSERT_TRUE(waitUntil([&] { return presses >= expected; }));
    EXPECT_EQ(presses, expected);

    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty())
        std::printf("press to signal over %zu presses: median %u ms, max %u ms (server event time to callback)\n",
                    latencies.size(), latencies[latencies.size() / 2], latencies.back());
}

TEST_F(X11HotKeyTest, HoldingTheKeyIsOnePress) {
    hotKey->registerCombination(space, ctrlAlt);
    xdotool({"keydown", "ctrl+alt+space", "sleep", "1.2", "keyup", "ctrl+alt+space"});
    sendKey("ctrl+alt+space");  // after every repeat the held key could have made
    ASSERT_TRUE(waitUntil([&] { return presses >= 2; }));
    EXPECT_EQ(presses, 2);
}

TEST_F(X11HotKeyTest, OnlyTheRegisteredCombinationFires) {
    hotKey->registerCombination(space, ctrlAlt);
    hotKey->registerCombination(kKey, ctrlAlt);  // replaces Ctrl+Alt+Space
    sendKey("ctrl+alt+space");
    sendKey("ctrl+alt+shift+k");  // one modifier too many
    sendKey("ctrl+k");
    sendKey("ctrl+alt+k");  // after the three above: had one of them fired, it would be here first
    ASSERT_TRUE(waitUntil([&] { return presses >= 1; }));
    EXPECT_EQ(presses, 1);

    hotKey->unregister();
    sendKey("ctrl+alt+k");
    hotKey->registerCombination(space, ctrlAlt);
    sendKey("ctrl+alt+space");
    ASSERT_TRUE(waitUntil([&] { return presses >= 2; }));
    EXPECT_EQ(presses, 2);
}

// Starts the helper that grabs Ctrl+Alt+Space from a second X connection.
class GrabHolder {
public:
    GrabHolder() {
        process.start(QStringLiteral(QUIBSUM_GRAB_HOLDER), {});
        grabbed = process.waitForReadyRead(5000) && process.readAll().startsWith("grabbed");
    }
    ~GrabHolder() { release(); }
    void release() {
        if (process.state() == QProcess::NotRunning) return;
        process.closeWriteChannel();
        process.waitForFinished(5000);
    }

    QProcess process;
    bool grabbed = false;
};

TEST_F(X11HotKeyTest, AGrabHeldByAnotherClientIsReportedAsTaken) {
    GrabHolder holder;
    ASSERT_TRUE(holder.grabbed) << holder.process.readAllStandardError().toStdString();
    try {
        hotKey->registerCombination(space, ctrlAlt);
        FAIL() << "registered a combination another client holds";
    } catch (const HotKeyError& e) {
        EXPECT_STREQ(e.what(), "Ctrl+Alt+Space is already taken by another program.");
    }
    // The variants that did succeed were released with the refusal: once the other client
    // lets go, the combination can be had again.
    holder.release();
    hotKey->registerCombination(space, ctrlAlt);
    sendKey("ctrl+alt+space");
    EXPECT_TRUE(waitUntil([&] { return presses == 1; }));
}

TEST_F(X11HotKeyTest, DestroyingTheHotKeyReleasesItsGrab) {
    hotKey->registerCombination(space, ctrlAlt);
    hotKey.reset();
    GrabHolder holder;
    EXPECT_TRUE(holder.grabbed) << holder.process.readAllStandardError().toStdString();
}

TEST_F(X11HotKeyTest, AKeyWithoutAnXKeysymIsRefused) {
    EXPECT_THROW(hotKey->registerCombination(10, ctrlAlt), HotKeyError);
}

TEST(HotKeyCreate, AnXServerGetsTheGrabButAWaylandSessionDoesNot) {
    EXPECT_EQ(HotKey::create()->mechanism(), HotKey::Mechanism::x11);

    // Under XWayland an X grab would fire only while one of XWayland's windows has the
    // focus. This bus has no portal, so the hot key falls back to advice.
    qputenv("XDG_SESSION_TYPE", "wayland");
    std::unique_ptr<HotKey> onWayland = HotKey::create();
    qunsetenv("XDG_SESSION_TYPE");
    ASSERT_NE(onWayland->mechanism(), HotKey::Mechanism::x11);
    if (onWayland->mechanism() == HotKey::Mechanism::portal) GTEST_SKIP() << "this session bus has a portal";
    try {
        onWayland->registerCombination(space, ctrlAlt);
        FAIL() << "a Wayland session without a portal registered a hot key";
    } catch (const HotKeyError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("bind the command “quibsum toggle”")) << e.what();
    }
}

}  // namespace
}  // namespace quibsum
