#pragma once
// What the lines above have built for the line being evaluated: the previous result, the
// variables, the multi-word names and the rates typed in the sheet.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Rate.h"

namespace quibsum {

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

template <class V>
using StringMap = std::unordered_map<std::string, V, StringHash, std::equal_to<>>;

struct Environment {
    std::optional<Quantity> prev;
    StringMap<Quantity> values;  // by exact name
    // First word of every name that contains spaces -> the full names, in registration order.
    StringMap<std::vector<std::string>> multiWordNames;
    SheetRates sheetRates;

    // Stores a variable; a name with spaces assigned for the first time is registered under
    // its first word so that the lines below can read it as one name.
    void assign(const std::string& name, const Quantity& q);
};

}  // namespace quibsum
