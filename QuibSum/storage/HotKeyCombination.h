#pragma once
// HotKeyCombination: the global hot key in its stored form (a Mac virtual key code and Carbon
// modifier masks, kept so that settings move between machines unchanged) and its Linux
// readings: the X keysym and modifier bits to grab, the trigger text the desktop portal
// expects, and the label shown to the user ("Ctrl+Alt+Space").

#include <QString>
#include <cstdint>
#include <optional>

namespace quibsum {

struct HotKeyCombination {
    // Carbon modifier masks, the stored form of the modifiers.
    static constexpr std::uint32_t commandMask = 0x100;  // Super on Linux
    static constexpr std::uint32_t shiftMask = 0x200;
    static constexpr std::uint32_t optionMask = 0x800;  // Alt on Linux
    static constexpr std::uint32_t controlMask = 0x1000;

    // X core protocol modifier bits.
    static constexpr std::uint16_t xShift = 0x01;
    static constexpr std::uint16_t xLock = 0x02;
    static constexpr std::uint16_t xControl = 0x04;
    static constexpr std::uint16_t xMod1 = 0x08;  // Alt
    static constexpr std::uint16_t xMod4 = 0x40;  // Super

    std::uint32_t code = 0;
    std::uint32_t modifiers = 0;

    // The X keysym of the key (the unshifted one for letters), absent for a code with no
    // Linux counterpart here.
    std::optional<std::uint32_t> keysym() const;
    // Control, Mod1, Shift and Mod4 for the masks held; other mask bits have no X meaning.
    std::uint16_t xModifiers() const;
    // "CTRL+ALT+space", the shortcut text of the desktop portal; absent for an unknown key.
    std::optional<QString> portalTrigger() const;
    // Modifiers in the order Ctrl, Alt, Shift, Super, then the key's name. A key code with no
    // name of its own is named by `characters` in upper case (what the key typed when recorded).
    QString label(const QString& characters = {}) const;

    // The stored code of an X keysym (either case of a letter), absent when none is kept.
    static std::optional<std::uint32_t> codeForKeysym(std::uint32_t keysym);
    // The stored masks of an X modifier state; Lock, Num Lock and the rest are dropped.
    static std::uint32_t modifiersForX(std::uint16_t state);

    friend bool operator==(const HotKeyCombination&, const HotKeyCombination&) = default;
};

}  // namespace quibsum
