#pragma once
// HotKeyPress: one key press offered to the hot-key recorder, in the terms the stored hot key
// uses: a virtual key code (49 is the space bar, 53 Escape), the modifier keys held, and the
// characters the key types without modifiers.

#include <QString>

#include <cstdint>

namespace quibsum {

struct HotKeyPress {
    enum Modifier : unsigned {
        shift = 1u << 0,
        control = 1u << 1,
        option = 1u << 2,   // Alt
        command = 1u << 3,  // Super
        // Anything else held (Caps Lock, Num Lock, …) has no part in a hot key.
        other = 1u << 4,
    };

    static constexpr std::uint32_t spaceKeyCode = 49;
    static constexpr std::uint32_t escapeKeyCode = 53;

    unsigned modifiers = 0;
    std::uint32_t keyCode = 0;
    QString characters;
};

}  // namespace quibsum
