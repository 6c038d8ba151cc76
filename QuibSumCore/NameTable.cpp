#include "QuibSumCore/NameTable.h"

namespace quibsum {

NameId NameTable::intern(std::string_view name) {
    if (auto it = ids_.find(name); it != ids_.end()) return it->second;
    auto id = static_cast<NameId>(names_.size());
    names_.emplace_back(name);
    ids_.emplace(names_.back(), id);
    return id;
}

}  // namespace quibsum
