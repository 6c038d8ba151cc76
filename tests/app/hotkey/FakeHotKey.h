#pragma once
// FakeHotKey: a hot key for tests of its owners. It remembers what is registered, refuses the
// combinations a test marks as taken (with the real error text), and press() acts as the user
// pressing the registered combination.

#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "QuibSum/shell/hotkey/HotKey.h"
#include "QuibSum/storage/HotKeyCombination.h"

namespace quibsum {

class FakeHotKey final : public HotKey {
public:
    void registerCombination(std::uint32_t code, std::uint32_t modifiers) override {
        const HotKeyCombination combination{code, modifiers};
        attempts.push_back(combination);
        registered.reset();
        if (taken.contains(std::pair{code, modifiers})) throw HotKeyError::taken(code, modifiers);
        registered = combination;
    }
    void unregister() override { registered.reset(); }
    Mechanism mechanism() const override { return Mechanism::x11; }

    // The user presses the combination: nothing happens unless it is the registered one. A
    // Wayland desktop sends an activation token with it.
    void press(std::uint32_t code, std::uint32_t modifiers, const QString& activationToken = {}) {
        if (registered == HotKeyCombination{code, modifiers}) reportPress(activationToken);
    }
    // The desktop withdraws a combination it accepted at first.
    void refuseLater() {
        if (!registered) return;
        const HotKeyCombination combination = *registered;
        registered.reset();
        emit failed(HotKeyError::refused(combination.code, combination.modifiers));
    }

    std::set<std::pair<std::uint32_t, std::uint32_t>> taken;  // (code, modifiers)
    std::optional<HotKeyCombination> registered;
    std::vector<HotKeyCombination> attempts;
};

}  // namespace quibsum
