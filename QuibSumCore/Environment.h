#pragma once
// What the lines above have built for the line being evaluated: the previous result, the
// variables, the multi-word names and the rates typed in the sheet.

#include <cstdint>
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

// First word of every name that contains spaces -> the full names, in registration order.
// Every line looks its words up here, and most words start no such name, so the first words
// are also summarised by their first byte and their length: a word that fits neither is turned
// away without hashing it. The summary may let a word through that starts no name, never the
// other way round.
class MultiWordNames {
public:
    using Map = StringMap<std::vector<std::string>>;

    // The names registered under `firstWord`, created empty on first use.
    std::vector<std::string>& operator[](std::string_view firstWord) {
        note(firstWord);
        auto it = names_.find(firstWord);
        if (it == names_.end()) it = names_.emplace(std::string(firstWord), std::vector<std::string>()).first;
        return it->second;
    }
    Map::const_iterator find(std::string_view firstWord) const {
        return mayBeFirstWord(firstWord) ? names_.find(firstWord) : names_.end();
    }
    // False when no name is registered under `word`; true when one may be.
    bool mayBeFirstWord(std::string_view word) const {
        return mayBeginWith(word.empty() ? '\0' : word.front()) && ((lengths_ >> lengthBit(word.size())) & 1);
    }
    // False when no first word begins with this byte ('\0' standing for the empty word).
    bool mayBeginWith(char firstByte) const {
        const auto b = static_cast<unsigned char>(firstByte);
        return (firstBytes_[b >> 6] >> (b & 63)) & 1;
    }

    Map::const_iterator begin() const { return names_.begin(); }
    Map::const_iterator end() const { return names_.end(); }
    bool empty() const { return names_.empty(); }
    std::size_t size() const { return names_.size(); }
    void clear() {
        names_.clear();
        firstBytes_[0] = firstBytes_[1] = firstBytes_[2] = firstBytes_[3] = 0;
        lengths_ = 0;
    }

private:
    static unsigned lengthBit(std::size_t length) { return length < 63 ? static_cast<unsigned>(length) : 63; }
    void note(std::string_view word) {
        const auto first = static_cast<unsigned char>(word.empty() ? '\0' : word.front());
        firstBytes_[first >> 6] |= std::uint64_t{1} << (first & 63);
        lengths_ |= std::uint64_t{1} << lengthBit(word.size());
    }

    Map names_;
    std::uint64_t firstBytes_[4] = {0, 0, 0, 0};  // bit b: some first word starts with byte b
    std::uint64_t lengths_ = 0;                   // bit n: some first word is n bytes long (63: longer)
};

struct Environment {
    std::optional<Quantity> prev;
    StringMap<Quantity> values;  // by exact name
    MultiWordNames multiWordNames;
    SheetRates sheetRates;

    // Stores a variable; a name with spaces assigned for the first time is registered under
    // its first word so that the lines below can read it as one name.
    void assign(const std::string& name, const Quantity& q);
};

}  // namespace quibsum
