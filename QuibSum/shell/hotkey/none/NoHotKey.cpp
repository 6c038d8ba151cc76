#include "QuibSum/shell/hotkey/none/NoHotKey.h"

namespace quibsum {

void NoHotKey::registerCombination(std::uint32_t code, std::uint32_t modifiers) {
    throw HotKeyError::unavailable(code, modifiers);
}

}  // namespace quibsum
