#pragma once
// NameTable: the variable names and name keys a sheet has met, each held once and known by a
// small number, so that its lines keep numbers instead of copies of names and the pass over
// them compares and looks up numbers instead of hashing text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "QuibSumCore/Environment.h"

namespace quibsum {

using NameId = std::uint32_t;

class NameTable {
public:
    // The number of `name`, given on first sight: numbers run 0, 1, 2… in order of first sight.
    NameId intern(std::string_view name);
    const std::string& name(NameId id) const { return names_[id]; }
    std::size_t size() const { return names_.size(); }

private:
    std::vector<std::string> names_;
    StringMap<NameId> ids_;
};

}  // namespace quibsum
