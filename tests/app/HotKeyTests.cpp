#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

#include "QuibSum/shell/hotkey/HotKey.h"
#include "QuibSum/shell/hotkey/HotKeyBinding.h"
#include "QuibSum/shell/hotkey/none/NoHotKey.h"
#include "QuibSum/shell/hotkey/portal/PortalHotKey.h"
#include "QuibSum/storage/SumSettings.h"
#include "tests/app/hotkey/FakeHotKey.h"

namespace quibsum {
namespace {

constexpr std::uint32_t space = 49;
constexpr std::uint32_t ctrlAlt = 0x1800;

TEST(HotKeyMechanism, AWaylandSessionNeverTrustsAnXGrab) {
    struct Row {
        const char* session;
        const char* platform;
        HotKey::Mechanism expected;
    };
    for (const Row& row : {
             Row{"x11", "xcb", HotKey::Mechanism::x11},
             Row{"", "xcb", HotKey::Mechanism::x11},  // a bare X server (Xvfb, a remote display)
             Row{"tty", "xcb", HotKey::Mechanism::x11},
             Row{"wayland", "xcb", HotKey::Mechanism::portal},  // XWayland
             Row{"Wayland", "xcb", HotKey::Mechanism::portal},
             Row{"wayland", "wayland", HotKey::Mechanism::portal},
             Row{"", "wayland-egl", HotKey::Mechanism::portal},
             Row{"x11", "offscreen", HotKey::Mechanism::none},
             Row{"", "", HotKey::Mechanism::none},
         }) {
        EXPECT_EQ(HotKey::mechanismFor(row.session, row.platform), row.expected)
            << row.session << " / " << row.platform;
    }
}

TEST(HotKeyError, TextsNameTheCombination) {
    EXPECT_STREQ(HotKeyError::taken(space, ctrlAlt).what(), "Ctrl+Alt+Space is already taken by another program.");
    EXPECT_STREQ(HotKeyError::noSuchKey(10, 0x1000).what(),
                 "Ctrl+key 10 cannot be a global hot key: this keyboard has no such key.");
    EXPECT_STREQ(HotKeyError::refused(space, ctrlAlt).what(),
                 "The desktop did not grant Ctrl+Alt+Space as a global hot key. To use it, bind the command "
                 "“quibsum toggle” to it in the desktop's keyboard settings.");
}

TEST(NoHotKey, EveryRegistrationAdvisesBindingTheToggleCommand) {
    NoHotKey hotKey;
    EXPECT_EQ(hotKey.mechanism(), HotKey::Mechanism::none);
    for (std::uint32_t code : {49u, 40u}) {
        try {
            hotKey.registerCombination(code, ctrlAlt);
            ADD_FAILURE() << "registered " << code;
        } catch (const HotKeyError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("This desktop does not let programs set a global hot key. To use "
                                                  "%1, bind the command “quibsum toggle” to it in the desktop's "
                                                  "keyboard settings.")
                                       .arg(code == 49 ? "Ctrl+Alt+Space" : "Ctrl+Alt+K"));
        }
    }
    hotKey.unregister();
}

TEST(PortalHotKey, ABusWithoutAPortalIsNotOffered) {
    const QDBusConnection nowhere =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    EXPECT_FALSE(PortalHotKey::available(nowhere));
    PortalHotKey hotKey(nowhere);
    EXPECT_THROW(
        {
            try {
                hotKey.registerCombination(space, ctrlAlt);
            } catch (const HotKeyError& e) {
                EXPECT_TRUE(e.message().contains("quibsum toggle")) << e.what();
                throw;
            }
        },
        HotKeyError);
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

// The settings' recorder and a hot key that refuses, bound as the application binds them: the
// user sees the hot key's own text, and the previous combination is registered again.
TEST(HotKeyWithSettings, ATakenCombinationKeepsThePreviousOneAndShowsWhy) {
    QTemporaryDir dir;
    QSettings storage(dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat);
    SumSettings settings(storage);
    FakeHotKey hotKey;
    QSignalSpy presses(&hotKey, &HotKey::pressed);
    const HotKeyBinding binding(settings, hotKey);
    ASSERT_TRUE(hotKey.registered) << "the stored combination is registered at once";
    hotKey.taken.insert({40, ctrlAlt});

    settings.recordHotkey({HotKeyPress::control | HotKeyPress::option, 40, "k"});

    EXPECT_EQ(settings.lastError(), "Ctrl+Alt+K is already taken by another program.");
    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+Space");
    ASSERT_TRUE(hotKey.registered);
    EXPECT_EQ(*hotKey.registered, (HotKeyCombination{space, ctrlAlt}));
    hotKey.press(40, ctrlAlt);
    hotKey.press(space, ctrlAlt);
    EXPECT_EQ(presses.count(), 1);
}

// Where no program may own a key, a recorded combination is kept (the desktop's own settings
// run `quibsum toggle` with it, as the settings' advice says) and the hot key is reported as
// not working.
TEST(HotKeyWithSettings, WithoutAnyMechanismTheRecordedCombinationIsKept) {
    QTemporaryDir dir;
    QSettings storage(dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat);
    SumSettings settings(storage);
    NoHotKey hotKey;
    const HotKeyBinding binding(settings, hotKey);
    EXPECT_FALSE(binding.isWorking());
    ASSERT_TRUE(settings.lastError());

    settings.recordHotkey({HotKeyPress::control | HotKeyPress::option, 40, "k"});

    EXPECT_EQ(settings.hotkeyLabel(), "Ctrl+Alt+K");
    EXPECT_EQ(SumSettings(storage).hotkeyLabel(), "Ctrl+Alt+K") << "stored";
    EXPECT_FALSE(binding.isWorking());
}

TEST(HotKeyWithSettings, WorkingFollowsTheDesktopsAnswers) {
    QTemporaryDir dir;
    QSettings storage(dir.path() + QStringLiteral("/QuibSum.conf"), QSettings::IniFormat);
    SumSettings settings(storage);
    FakeHotKey hotKey;
    const HotKeyBinding binding(settings, hotKey);
    std::vector<bool> changes;
    QObject::connect(&binding, &HotKeyBinding::workingChanged, [&](bool working) { changes.push_back(working); });
    EXPECT_TRUE(binding.isWorking());

    hotKey.refuseLater();
    EXPECT_FALSE(binding.isWorking());
    settings.recordHotkey({HotKeyPress::control | HotKeyPress::option, 40, "k"});
    EXPECT_TRUE(binding.isWorking());
    EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

}  // namespace
}  // namespace quibsum
