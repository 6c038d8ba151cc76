#pragma once
// HotKeyError: a combination that could not be made a global hot key. what() is the text the
// user reads (UTF-8), and it names the combination.

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace quibsum {

class HotKeyError : public std::runtime_error {
public:
    explicit HotKeyError(const QString& message) : std::runtime_error(message.toStdString()) {}

    QString message() const { return QString::fromUtf8(what()); }

    // Another program holds the combination.
    static HotKeyError taken(std::uint32_t code, std::uint32_t modifiers);
    // This session offers programs no way to own a global key.
    static HotKeyError unavailable(std::uint32_t code, std::uint32_t modifiers);
    // The desktop asked the user, or its own rules, and did not grant the combination.
    static HotKeyError refused(std::uint32_t code, std::uint32_t modifiers);
    // The stored key has no counterpart on this keyboard.
    static HotKeyError noSuchKey(std::uint32_t code, std::uint32_t modifiers);

    // The combination as the user knows it; a key without a name shows its stored code.
    static QString describe(std::uint32_t code, std::uint32_t modifiers);
};

}  // namespace quibsum
