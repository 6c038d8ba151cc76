#include <gtest/gtest.h>

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

#include <cstdint>
#include <optional>

#include "QuibSum/storage/HotKeyCombination.h"

namespace quibsum {
namespace {

constexpr std::uint32_t ctrlAlt = HotKeyCombination::controlMask | HotKeyCombination::optionMask;

// Mac virtual key codes (ANSI layout) against the X keysyms of the same keys, as the two
// platforms publish them.
struct KeyRow {
    std::uint32_t code;
    std::uint32_t keysym;
};
constexpr KeyRow keyRows[] = {
    {0, XK_a},
    {1, XK_s},
    {2, XK_d},
    {3, XK_f},
    {4, XK_h},
    {5, XK_g},
    {6, XK_z},
    {7, XK_x},
    {8, XK_c},
    {9, XK_v},
    {11, XK_b},
    {12, XK_q},
    {13, XK_w},
    {14, XK_e},
    {15, XK_r},
    {16, XK_y},
    {17, XK_t},
    {31, XK_o},
    {32, XK_u},
    {34, XK_i},
    {35, XK_p},
    {37, XK_l},
    {38, XK_j},
    {40, XK_k},
    {45, XK_n},
    {46, XK_m},
    {18, XK_1},
    {19, XK_2},
    {20, XK_3},
    {21, XK_4},
    {23, XK_5},
    {22, XK_6},
    {26, XK_7},
    {28, XK_8},
    {25, XK_9},
    {29, XK_0},
    {27, XK_minus},
    {24, XK_equal},
    {33, XK_bracketleft},
    {30, XK_bracketright},
    {41, XK_semicolon},
    {39, XK_apostrophe},
    {42, XK_backslash},
    {43, XK_comma},
    {47, XK_period},
    {44, XK_slash},
    {50, XK_grave},
    {49, XK_space},
    {36, XK_Return},
    {48, XK_Tab},
    {51, XK_BackSpace},
    {53, XK_Escape},
    {117, XK_Delete},
    {115, XK_Home},
    {119, XK_End},
    {116, XK_Prior},
    {121, XK_Next},
    {123, XK_Left},
    {124, XK_Right},
    {125, XK_Down},
    {126, XK_Up},
    {122, XK_F1},
    {120, XK_F2},
    {99, XK_F3},
    {118, XK_F4},
    {96, XK_F5},
    {97, XK_F6},
    {98, XK_F7},
    {100, XK_F8},
    {101, XK_F9},
    {109, XK_F10},
    {103, XK_F11},
    {111, XK_F12},
};

TEST(HotKeyCombination, StoredKeyCodesAreTheSameKeysAsTheirXKeysyms) {
    for (const KeyRow& row : keyRows) {
        EXPECT_EQ((HotKeyCombination{row.code, 0}.keysym()), row.keysym) << "code " << row.code;
        EXPECT_EQ(HotKeyCombination::codeForKeysym(row.keysym), row.code) << "keysym " << std::hex << row.keysym;
    }
}

TEST(HotKeyCombination, ACapitalLetterIsTheSameKey) {
    EXPECT_EQ(HotKeyCombination::codeForKeysym(XK_K), 40u);
    EXPECT_EQ(HotKeyCombination::codeForKeysym(XK_A), 0u);
    EXPECT_EQ(HotKeyCombination::codeForKeysym(XK_Z), 6u);
}

TEST(HotKeyCombination, KeysWithoutALinuxCounterpartHaveNoKeysym) {
    // 10: the ISO section key; 82: keypad 0, whose keysym follows Num Lock; 63: Fn.
    for (std::uint32_t code : {10u, 82u, 63u, 0xFFFFFFFFu}) {
        EXPECT_EQ((HotKeyCombination{code, ctrlAlt}.keysym()), std::nullopt) << code;
        EXPECT_EQ((HotKeyCombination{code, ctrlAlt}.portalTrigger()), std::nullopt) << code;
    }
    for (std::uint32_t keysym : {XK_KP_0, XK_Shift_L, XK_section, 0})
        EXPECT_EQ(HotKeyCombination::codeForKeysym(keysym), std::nullopt) << std::hex << keysym;
}

TEST(HotKeyCombination, ModifierMasksMapToXModifierBitsBothWays) {
    struct Row {
        std::uint32_t mask;
        std::uint16_t x;
    };
    for (const Row& row : {Row{0, 0}, Row{0x1000, 0x04}, Row{0x800, 0x08}, Row{0x200, 0x01}, Row{0x100, 0x40},
                           Row{0x1800, 0x0C}, Row{0x1B00, 0x4D}}) {
        EXPECT_EQ((HotKeyCombination{49, row.mask}.xModifiers()), row.x) << std::hex << row.mask;
        EXPECT_EQ(HotKeyCombination::modifiersForX(row.x), row.mask) << std::hex << row.x;
    }
    // Carbon's other bits (Caps Lock 0x400, the mouse button 0x80) have no part in a grab, and
    // Lock, Num Lock (Mod2), Mod3 and Mod5 none in a stored combination.
    EXPECT_EQ((HotKeyCombination{49, 0x1800 | 0x400 | 0x80}.xModifiers()), 0x0C);
    EXPECT_EQ(HotKeyCombination::modifiersForX(0x0C | 0x02 | 0x10 | 0x20 | 0x80), 0x1800u);
}

TEST(HotKeyCombination, LabelsUseLinuxNamesInTheOrderCtrlAltShiftSuper) {
    struct Row {
        std::uint32_t code;
        std::uint32_t mask;
        const char* characters;
        const char* label;
    };
    for (const Row& row : {
             Row{49, ctrlAlt, "", "Ctrl+Alt+Space"},
             Row{49, 0x800, " ", "Alt+Space"},
             Row{40, 0x1B00, "k", "Ctrl+Alt+Shift+Super+K"},
             Row{40, 0x300, "K", "Shift+Super+K"},
             Row{18, 0x100, "1", "Super+1"},
             Row{122, 0x1000, "", "Ctrl+F1"},
             Row{123, 0x800, "", "Alt+Left"},
             Row{36, 0x1200, "\r", "Ctrl+Shift+Return"},
             Row{53, 0x1000, "\x1b", "Ctrl+Esc"},
             Row{42, 0x1000, "\\", "Ctrl+\\"},
             // The key the table names wins over what a foreign layout typed on it.
             Row{2, 0x1200, "đ", "Ctrl+Shift+D"},
             // A key the table does not know is named by what it typed.
             Row{10, 0x1200, "§", "Ctrl+Shift+§"},
             Row{10, 0x1000, "", "Ctrl+"},
         }) {
        EXPECT_EQ((HotKeyCombination{row.code, row.mask}.label(QString::fromUtf8(row.characters))),
                  QString::fromUtf8(row.label))
            << row.label;
    }
}

TEST(HotKeyCombination, PortalTriggersSpellModifiersAndKeysymNames) {
    struct Row {
        std::uint32_t code;
        std::uint32_t mask;
        const char* trigger;
    };
    for (const Row& row : {Row{49, ctrlAlt, "CTRL+ALT+space"}, Row{36, 0x300, "SHIFT+LOGO+Return"},
                           Row{0, 0x1000, "CTRL+a"}, Row{116, 0x800, "ALT+Prior"}, Row{111, 0, "F12"}}) {
        EXPECT_EQ((HotKeyCombination{row.code, row.mask}.portalTrigger()), QString::fromUtf8(row.trigger));
    }
}

}  // namespace
}  // namespace quibsum
