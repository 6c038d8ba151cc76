#include "QuibSum/storage/HotKeyCombination.h"

#include <array>

namespace quibsum {

namespace {

struct Key {
    std::uint32_t code;    // Mac virtual key code (ANSI layout)
    std::uint32_t keysym;  // X keysym
    const char* xName;     // the keysym's name, as the portal's shortcut text spells it
    const char* label;     // the name a Linux desktop shows
};

// The keys a hot key can sensibly use: letters, digits, the punctuation of the main block,
// the editing and arrow keys and F1–F12. Keypad keys are left out: their keysym changes with
// Num Lock, so a grab of one would work only half the time.
constexpr std::array keys{
    Key{0, 0x61, "a", "A"},
    Key{11, 0x62, "b", "B"},
    Key{8, 0x63, "c", "C"},
    Key{2, 0x64, "d", "D"},
    Key{14, 0x65, "e", "E"},
    Key{3, 0x66, "f", "F"},
    Key{5, 0x67, "g", "G"},
    Key{4, 0x68, "h", "H"},
    Key{34, 0x69, "i", "I"},
    Key{38, 0x6a, "j", "J"},
    Key{40, 0x6b, "k", "K"},
    Key{37, 0x6c, "l", "L"},
    Key{46, 0x6d, "m", "M"},
    Key{45, 0x6e, "n", "N"},
    Key{31, 0x6f, "o", "O"},
    Key{35, 0x70, "p", "P"},
    Key{12, 0x71, "q", "Q"},
    Key{15, 0x72, "r", "R"},
    Key{1, 0x73, "s", "S"},
    Key{17, 0x74, "t", "T"},
    Key{32, 0x75, "u", "U"},
    Key{9, 0x76, "v", "V"},
    Key{13, 0x77, "w", "W"},
    Key{7, 0x78, "x", "X"},
    Key{16, 0x79, "y", "Y"},
    Key{6, 0x7a, "z", "Z"},
    Key{29, 0x30, "0", "0"},
    Key{18, 0x31, "1", "1"},
    Key{19, 0x32, "2", "2"},
    Key{20, 0x33, "3", "3"},
    Key{21, 0x34, "4", "4"},
    Key{23, 0x35, "5", "5"},
    Key{22, 0x36, "6", "6"},
    Key{26, 0x37, "7", "7"},
    Key{28, 0x38, "8", "8"},
    Key{25, 0x39, "9", "9"},
    Key{27, 0x2d, "minus", "-"},
    Key{24, 0x3d, "equal", "="},
    Key{33, 0x5b, "bracketleft", "["},
    Key{30, 0x5d, "bracketright", "]"},
    Key{41, 0x3b, "semicolon", ";"},
    Key{39, 0x27, "apostrophe", "'"},
    Key{42, 0x5c, "backslash", "\\"},
    Key{43, 0x2c, "comma", ","},
    Key{47, 0x2e, "period", "."},
    Key{44, 0x2f, "slash", "/"},
    Key{50, 0x60, "grave", "`"},
    Key{49, 0x20, "space", "Space"},
    Key{36, 0xff0d, "Return", "Return"},
    Key{48, 0xff09, "Tab", "Tab"},
    Key{51, 0xff08, "BackSpace", "Backspace"},
    Key{53, 0xff1b, "Escape", "Esc"},
    Key{114, 0xff63, "Insert", "Ins"},
    Key{117, 0xffff, "Delete", "Del"},
    Key{115, 0xff50, "Home", "Home"},
    Key{119, 0xff57, "End", "End"},
    Key{116, 0xff55, "Prior", "PgUp"},
    Key{121, 0xff56, "Next", "PgDown"},
    Key{123, 0xff51, "Left", "Left"},
    Key{126, 0xff52, "Up", "Up"},
    Key{124, 0xff53, "Right", "Right"},
    Key{125, 0xff54, "Down", "Down"},
    Key{122, 0xffbe, "F1", "F1"},
    Key{120, 0xffbf, "F2", "F2"},
    Key{99, 0xffc0, "F3", "F3"},
    Key{118, 0xffc1, "F4", "F4"},
    Key{96, 0xffc2, "F5", "F5"},
    Key{97, 0xffc3, "F6", "F6"},
    Key{98, 0xffc4, "F7", "F7"},
    Key{100, 0xffc5, "F8", "F8"},
    Key{101, 0xffc6, "F9", "F9"},
    Key{109, 0xffc7, "F10", "F10"},
    Key{103, 0xffc8, "F11", "F11"},
    Key{111, 0xffc9, "F12", "F12"},
};

const Key* keyForCode(std::uint32_t code) {
    for (const Key& k : keys)
        if (k.code == code) return &k;
    return nullptr;
}

struct Modifier {
    std::uint32_t mask;
    std::uint16_t x;
    const char* portalName;
    const char* label;
};

// In the order labels name them.
constexpr std::array modifierOrder{
    Modifier{HotKeyCombination::controlMask, HotKeyCombination::xControl, "CTRL", "Ctrl"},
    Modifier{HotKeyCombination::optionMask, HotKeyCombination::xMod1, "ALT", "Alt"},
    Modifier{HotKeyCombination::shiftMask, HotKeyCombination::xShift, "SHIFT", "Shift"},
    Modifier{HotKeyCombination::commandMask, HotKeyCombination::xMod4, "LOGO", "Super"},
};

}  // namespace

std::optional<std::uint32_t> HotKeyCombination::keysym() const {
    if (const Key* k = keyForCode(code)) return k->keysym;
    return std::nullopt;
}

std::uint16_t HotKeyCombination::xModifiers() const {
    std::uint16_t state = 0;
    for (const Modifier& m : modifierOrder)
        if (modifiers & m.mask) state |= m.x;
    return state;
}

std::optional<QString> HotKeyCombination::portalTrigger() const {
    const Key* k = keyForCode(code);
    if (!k) return std::nullopt;
    QString trigger;
    for (const Modifier& m : modifierOrder)
        if (modifiers & m.mask) trigger += QLatin1String(m.portalName) + QLatin1Char('+');
    return trigger + QLatin1String(k->xName);
}

QString HotKeyCombination::label(const QString& characters) const {
    QString text;
    for (const Modifier& m : modifierOrder)
        if (modifiers & m.mask) text += QLatin1String(m.label) + QLatin1Char('+');
    if (const Key* k = keyForCode(code)) return text + QString::fromUtf8(k->label);
    return text + characters.toUpper();
}

std::optional<std::uint32_t> HotKeyCombination::codeForKeysym(std::uint32_t keysym) {
    // Shift turns a letter's keysym into the capital one; both name the same key.
    if (keysym >= 0x41 && keysym <= 0x5a) keysym += 0x20;
    for (const Key& k : keys)
        if (k.keysym == keysym) return k.code;
    return std::nullopt;
}

std::uint32_t HotKeyCombination::modifiersForX(std::uint16_t state) {
    std::uint32_t mask = 0;
    for (const Modifier& m : modifierOrder)
        if (state & m.x) mask |= m.mask;
    return mask;
}

}  // namespace quibsum
