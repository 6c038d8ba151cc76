#pragma once
// HotKey: one system-wide key combination that signals when it is pressed, whichever program
// has the focus. Each desktop mechanism has its own implementation (x11/, portal/, none/);
// create() picks the one this session can trust. Main thread only.

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "QuibSum/shell/hotkey/HotKeyError.h"

namespace quibsum {

class HotKey : public QObject {
    Q_OBJECT
public:
    enum class Mechanism { x11, portal, none };

    explicit HotKey(QObject* parent = nullptr) : QObject(parent) {}

    // Makes the stored combination (a key code and modifier masks, as the settings keep them)
    // the hot key, in place of the current one. Throws HotKeyError when it cannot; nothing is
    // registered then, not even the previous combination.
    virtual void registerCombination(std::uint32_t code, std::uint32_t modifiers) = 0;
    // Releases the combination; harmless when none is registered.
    virtual void unregister() = 0;
    virtual Mechanism mechanism() const = 0;

    // The mechanism for a session: a Wayland session never trusts an X grab, which XWayland
    // would honour only while one of its own windows has the focus.
    static Mechanism mechanismFor(const QString& sessionType, const QString& platformName);
    // The implementation for this process's session (XDG_SESSION_TYPE and the Qt platform);
    // needs a QGuiApplication for X11. Falls back to none when the portal lacks the interface.
    static std::unique_ptr<HotKey> create();

signals:
    // On the main thread, once for every press (held keys do not repeat it).
    void pressed();
    // Just before pressed, with the activation token the desktop sent with the press, when it
    // sent one: a Wayland window comes forward only with it.
    void activationTokenReceived(const QString& token);
    // The desktop refused a combination after registerCombination had returned (the portal may
    // ask the user first). Nothing is registered then.
    void failed(const quibsum::HotKeyError& error);

protected:
    // For the implementations: a press arrived, with the desktop's token if it sent one.
    void reportPress(const QString& activationToken = {}) {
        if (!activationToken.isEmpty()) emit activationTokenReceived(activationToken);
        emit pressed();
    }
};

}  // namespace quibsum
