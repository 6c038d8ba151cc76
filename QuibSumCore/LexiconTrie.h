#pragma once
// The character trie through which the lexer recognises vocabulary entries, including
// multi-word ones, by the longest entry that ends on a word boundary.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "QuibSumCore/Token.h"

namespace quibsum {

class LexiconTrie {
public:
    struct Node {
        std::vector<std::pair<char32_t, std::int32_t>> children;  // sorted by scalar
        std::optional<Token::Kind> value;                         // set where an entry ends
    };

    // The entry found and the index one past its last scalar; no kind and 0 when none.
    struct Match {
        const Token::Kind* kind = nullptr;
        std::size_t end = 0;
        explicit operator bool() const { return kind != nullptr; }
    };

    LexiconTrie();

    // Adds an entry; a later insert of the same key replaces its kind. Keys are UTF-8 and are
    // walked scalar by scalar; multi-word keys hold single ordinary spaces.
    void insert(std::string_view word, Token::Kind kind);
    void insert(std::u32string_view word, Token::Kind kind);

    // The longest entry that starts at `from` and may end where it does: at the end of the
    // input, before a scalar that is not a word scalar, or, for a currency symbol that is not
    // itself a word scalar, before an ASCII digit ("$5"). Any run of blanks in the input
    // matches one space of an entry.
    Match longestMatch(std::span<const char32_t> scalars, std::size_t from) const;

    const std::vector<Node>& nodes() const { return nodes_; }

private:
    std::int32_t child(std::int32_t node, char32_t c) const {
        if (node == 0 && c < 128) return rootASCII_[c];
        const auto& children = nodes_[static_cast<std::size_t>(node)].children;
        if (children.size() <= 8) {
            for (const auto& [key, index] : children) {
                if (key == c) return index;
            }
            return -1;
        }
        return childBySearch(children, c);
    }
    static std::int32_t childBySearch(const std::vector<std::pair<char32_t, std::int32_t>>& children, char32_t c);

    std::vector<Node> nodes_;
    // The root fans out widest and is visited on every match, so its ASCII children are direct.
    std::array<std::int32_t, 128> rootASCII_;
};

}  // namespace quibsum
