#include "QuibSumCore/UnitSymbol.h"

#include <mutex>
#include <unordered_set>

namespace quibsum {

namespace {

// Symbols too long to be held inline, each stored once. Entries are never removed, so their
// addresses stay valid for every symbol that holds one; any thread may add to it.
const std::string* intern(std::string_view text) {
    static std::mutex mutex;
    static std::unordered_set<std::string> table;
    std::lock_guard lock(mutex);
    return &*table.emplace(text).first;
}

}  // namespace

void UnitSymbol::assign(std::string_view text) {
    if (text.size() <= capacity) {
        std::memcpy(bytes_, text.data(), text.size());
        size_ = static_cast<std::uint8_t>(text.size());
        return;
    }
    const std::string* held = intern(text);
    std::memcpy(bytes_, &held, sizeof held);
    size_ = interned;
}

}  // namespace quibsum
