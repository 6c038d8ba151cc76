#include "QuibSum/shell/hotkey/HotKeyError.h"

#include <QCoreApplication>

#include "QuibSum/storage/HotKeyCombination.h"

namespace quibsum {

namespace {

// The texts are marked with their context for lupdate, and looked up in it here.
QString translated(const char* text) { return QCoreApplication::translate("HotKeyError", text); }

// Where no program may own a key, the desktop's own keyboard settings can still run a command.
// `subject` is the combination, or "it" once the sentence before has named it.
QString bindToggleAdvice(const QString& subject) {
    return translated(QT_TRANSLATE_NOOP(
                          "HotKeyError",
                          "To use %1, bind the command “quibsum toggle” to it in the desktop's keyboard settings."))
        .arg(subject);
}

}  // namespace

QString HotKeyError::describe(std::uint32_t code, std::uint32_t modifiers) {
    const HotKeyCombination combination{code, modifiers};
    if (combination.keysym()) return combination.label();
    return combination.label() + translated(QT_TRANSLATE_NOOP("HotKeyError", "key %1")).arg(code);
}

HotKeyError HotKeyError::taken(std::uint32_t code, std::uint32_t modifiers) {
    return HotKeyError(translated(QT_TRANSLATE_NOOP("HotKeyError", "%1 is already taken by another program."))
                           .arg(describe(code, modifiers)));
}

HotKeyError HotKeyError::unavailable(std::uint32_t code, std::uint32_t modifiers) {
    return HotKeyError(
        translated(QT_TRANSLATE_NOOP("HotKeyError", "This desktop does not let programs set a global hot key. ")) +
        bindToggleAdvice(describe(code, modifiers)));
}

HotKeyError HotKeyError::refused(std::uint32_t code, std::uint32_t modifiers) {
    return HotKeyError(
        translated(QT_TRANSLATE_NOOP("HotKeyError", "The desktop did not grant %1 as a global hot key. "))
            .arg(describe(code, modifiers)) +
        bindToggleAdvice(translated(QT_TRANSLATE_NOOP("HotKeyError", "it"))));
}

HotKeyError HotKeyError::noSuchKey(std::uint32_t code, std::uint32_t modifiers) {
    return HotKeyError(
        translated(QT_TRANSLATE_NOOP("HotKeyError", "%1 cannot be a global hot key: this keyboard has no such key."))
            .arg(describe(code, modifiers)));
}

}  // namespace quibsum
