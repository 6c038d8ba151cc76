#pragma once
// CurrencyTable: values keyed by currency code, kept sorted so that a look-up is a binary
// search that neither allocates nor locks. Codes are stored exactly as their feed spells them;
// a question is upper-cased (ASCII letters) on the fly, so "usd" finds "USD" and nothing finds
// a code that a feed spelled in lower case.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibsum {

constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares `code` with `question` upper-cased, byte by byte: <0, 0 or >0.
constexpr int compareCodeToQuestion(std::string_view code, std::string_view question) {
    const std::size_t n = std::min(code.size(), question.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(code[i]);
        const auto b = static_cast<unsigned char>(asciiUpper(question[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    return code.size() == question.size() ? 0 : (code.size() < question.size() ? -1 : 1);
}

// Whether `question`, upper-cased, is exactly `code`.
constexpr bool questionNames(std::string_view question, std::string_view code) {
    return compareCodeToQuestion(code, question) == 0;
}

template <typename T>
class CurrencyTable {
public:
    using Entry = std::pair<std::string, T>;

    CurrencyTable() = default;

    // Entries in any order; of several entries for one code the last one wins, as when a feed
    // repeats a currency.
    explicit CurrencyTable(std::vector<Entry> entries) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.first < b.first; });
        entries_.reserve(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i + 1 < entries.size() && entries[i + 1].first == entries[i].first) continue;
            entries_.push_back(std::move(entries[i]));
        }
    }

    const T* find(std::string_view question) const {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), question, [](const Entry& e, std::string_view q) {
            return compareCodeToQuestion(e.first, q) < 0;
        });
        if (it == entries_.end() || compareCodeToQuestion(it->first, question) != 0) return nullptr;
        return &it->second;
    }

    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    // Sorted by code, byte order.
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

    friend bool operator==(const CurrencyTable&, const CurrencyTable&) = default;

private:
    std::vector<Entry> entries_;
};

}  // namespace quibsum
