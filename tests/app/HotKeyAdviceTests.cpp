#include <gtest/gtest.h>

#include "QuibSum/shell/hotkey/HotKeyAdvice.h"

namespace quibsum {
namespace {

using Desktop = HotKeyAdvice::Desktop;

constexpr std::uint32_t space = 49;
constexpr std::uint32_t k = 40;
constexpr std::uint32_t ctrl = HotKeyCombination::controlMask;
constexpr std::uint32_t alt = HotKeyCombination::optionMask;
constexpr std::uint32_t shift = HotKeyCombination::shiftMask;
constexpr std::uint32_t super = HotKeyCombination::commandMask;

TEST(HotKeyAdvice, KnowsTheDesktopByItsNames) {
    struct Row {
        const char* current;
        bool swaySocket;
        Desktop expected;
    };
    for (const Row& row : {
             Row{"GNOME", false, Desktop::gnome},
             Row{"ubuntu:GNOME", false, Desktop::gnome},
             Row{"GNOME-Classic:GNOME", false, Desktop::gnome},
             Row{"gnome", false, Desktop::gnome},
             Row{"sway", false, Desktop::sway},
             Row{"", true, Desktop::sway},      // sway started by hand sets only its socket
             Row{"KDE", true, Desktop::other},  // a sway socket left in a Plasma session's environment
             Row{"KDE", false, Desktop::other},
             Row{"Hyprland", false, Desktop::other},
             Row{"GNOMEish", false, Desktop::other},
             Row{"", false, Desktop::other},
         })
        EXPECT_EQ(HotKeyAdvice::desktopFor(QString::fromUtf8(row.current), row.swaySocket), row.expected)
            << row.current << ' ' << row.swaySocket;
}

TEST(HotKeyAdvice, BindingLinesSpellTheCombinationAsEachDesktopReadsIt) {
    struct Row {
        std::uint32_t code;
        std::uint32_t modifiers;
        const char* sway;
        const char* gnome;
    };
    for (const Row& row : {
             Row{space, ctrl | alt, "bindsym Ctrl+Mod1+space exec quibsum toggle", "<Control><Alt>space"},
             Row{k, super | shift, "bindsym Shift+Mod4+k exec quibsum toggle", "<Shift><Super>k"},
             Row{k, ctrl | alt | shift | super, "bindsym Ctrl+Mod1+Shift+Mod4+k exec quibsum toggle",
                 "<Control><Alt><Shift><Super>k"},
         }) {
        const HotKeyCombination combination{row.code, row.modifiers};
        EXPECT_EQ(HotKeyAdvice::swayLine(combination), QString::fromUtf8(row.sway));
        EXPECT_EQ(HotKeyAdvice::gnomeBinding(combination), QString::fromUtf8(row.gnome));
    }
    // A key without a name cannot be written into either.
    EXPECT_FALSE(HotKeyAdvice::swayLine({200, ctrl}));
    EXPECT_FALSE(HotKeyAdvice::gnomeBinding({200, ctrl}));
}

TEST(HotKeyAdvice, EveryTextNamesTheCombination) {
    for (Desktop desktop : {Desktop::gnome, Desktop::sway, Desktop::other}) {
        const QString text = HotKeyAdvice::text(desktop, {k, ctrl | alt});
        EXPECT_TRUE(text.contains(QStringLiteral("Ctrl+Alt+K"))) << text.toStdString();
    }
    EXPECT_TRUE(HotKeyAdvice::text(Desktop::other, {k, ctrl}).contains(QStringLiteral("quibsum toggle")));
    EXPECT_TRUE(HotKeyAdvice::text(Desktop::sway, {k, ctrl}).contains(QStringLiteral("sway")));
}

}  // namespace
}  // namespace quibsum
