#pragma once
// X11HotKey: the hot key as a passive key grab on the root windows of the X display that Qt
// uses. The grab is made with Caps Lock and Num Lock in each state, since X matches a grab's
// modifiers exactly; presses arrive through Qt's own event loop.

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <optional>
#include <vector>

#include "QuibSum/shell/hotkey/HotKey.h"

struct xcb_connection_t;

namespace quibsum {

class X11HotKey final : public HotKey, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Qt's own connection of the running QGuiApplication (platform "xcb").
    X11HotKey();
    ~X11HotKey() override;

    X11HotKey(const X11HotKey&) = delete;
    X11HotKey& operator=(const X11HotKey&) = delete;

    void registerCombination(std::uint32_t code, std::uint32_t modifiers) override;
    void unregister() override;
    Mechanism mechanism() const override { return Mechanism::x11; }

private:
    struct Grab {
        std::uint32_t root;
        std::uint8_t keycode;
        std::uint16_t modifiers;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool isOurs(std::uint32_t window, std::uint8_t keycode) const;

    xcb_connection_t* connection_ = nullptr;
    std::vector<std::uint32_t> roots_;
    std::vector<Grab> grabs_;
    std::uint32_t code_ = 0;
    std::uint32_t storedModifiers_ = 0;
    std::uint16_t modifiers_ = 0;              // the X modifiers that must be held, Lock and Num Lock aside
    bool held_ = false;                        // the key is down: its auto-repeat is no new press
    std::optional<std::uint32_t> releasedAt_;  // server time of the last release
};

}  // namespace quibsum
