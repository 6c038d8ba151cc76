#pragma once
// NoHotKey: the hot key where the session gives programs no global key. Every registration
// fails with the advice to bind `quibsum toggle` in the desktop's keyboard settings.

#include "QuibSum/shell/hotkey/HotKey.h"

namespace quibsum {

class NoHotKey final : public HotKey {
    Q_OBJECT
public:
    void registerCombination(std::uint32_t code, std::uint32_t modifiers) override;
    void unregister() override {}
    Mechanism mechanism() const override { return Mechanism::none; }
};

}  // namespace quibsum
