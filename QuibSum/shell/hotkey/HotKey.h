#pragma once
// HotKey: one system-wide key combination that calls back when it is pressed, whichever program
// has the focus. Each desktop mechanism has its own implementation (x11/, portal/, none/);
// create() picks the one this session can trust. Main thread only.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "QuibSum/shell/hotkey/HotKeyError.h"

namespace quibsum {

class HotKey {
public:
    enum class Mechanism { x11, portal, none };

    virtual ~HotKey() = default;

    // Makes the stored combination (a key code and modifier masks, as the settings keep them)
    // the hot key, in place of the current one. Throws HotKeyError when it cannot; nothing is
    // registered then, not even the previous combination.
    virtual void registerCombination(std::uint32_t code, std::uint32_t modifiers) = 0;
    // Releases the combination; harmless when none is registered.
    virtual void unregister() = 0;
    virtual Mechanism mechanism() const = 0;

    // Called on the main thread, once for every press (held keys do not repeat it).
    std::function<void()> onPress;
    // Called just before onPress with the activation token the desktop sent with the press,
    // when it sent one: a Wayland window comes forward only with it.
    std::function<void(const QString& token)> onActivationToken;
    // Called when the desktop refuses a combination after registerCombination has returned:
    // the portal may ask the user first. Nothing is registered then.
    std::function<void(const HotKeyError&)> onFailure;

    // The mechanism for a session: a Wayland session never trusts an X grab, which XWayland
    // would honour only while one of its own windows has the focus.
    static Mechanism mechanismFor(const QString& sessionType, const QString& platformName);
    // The implementation for this process's session (XDG_SESSION_TYPE and the Qt platform);
    // needs a QGuiApplication for X11. Falls back to none when the portal lacks the interface.
    static std::unique_ptr<HotKey> create();

protected:
    void pressed(const QString& activationToken = {}) {
        if (onActivationToken && !activationToken.isEmpty()) onActivationToken(activationToken);
        if (onPress) onPress();
    }
    void failed(const HotKeyError& error) {
        if (onFailure) onFailure(error);
    }
};

}  // namespace quibsum
