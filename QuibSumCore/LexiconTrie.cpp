#include "QuibSumCore/LexiconTrie.h"

#include <algorithm>
#include <string>

#include "QuibSumCore/Lexicon.h"
#include "QuibSumCore/Utf8.h"

namespace quibsum {

LexiconTrie::LexiconTrie() : nodes_(1) { rootASCII_.fill(-1); }

void LexiconTrie::insert(std::string_view word, Token::Kind kind) {
    std::u32string scalars;
    for (std::size_t pos = 0; pos < word.size();) scalars.push_back(utf8::decode(word, pos));
    insert(std::u32string_view(scalars), std::move(kind));
}

void LexiconTrie::insert(std::u32string_view word, Token::Kind kind) {
    std::int32_t node = 0;
    for (char32_t c : word) {
        std::int32_t next = child(node, c);
        if (next < 0) {
            next = static_cast<std::int32_t>(nodes_.size());
            nodes_.emplace_back();
            auto& children = nodes_[node].children;
            auto at = std::lower_bound(children.begin(), children.end(), c,
                                       [](const auto& entry, char32_t key) { return entry.first < key; });
            children.insert(at, {c, next});
            if (node == 0 && c < 128) rootASCII_[c] = next;
        }
        node = next;
    }
    nodes_[node].value = std::move(kind);
}

std::int32_t LexiconTrie::childBySearch(const std::vector<std::pair<char32_t, std::int32_t>>& children, char32_t c) {
    auto at = std::lower_bound(children.begin(), children.end(), c,
                               [](const auto& entry, char32_t key) { return entry.first < key; });
    return at != children.end() && at->first == c ? at->second : -1;
}

LexiconTrie::Match LexiconTrie::longestMatch(std::span<const char32_t> scalars, std::size_t from) const {
    Match best;
    std::int32_t node = 0;
    std::size_t i = from;
    while (i < scalars.size()) {
        const char32_t typed = scalars[i];
        const bool blank = Lexicon::isWhiteSpace(typed);
        const std::int32_t next = child(node, blank ? U' ' : typed);
        if (next < 0) break;
        node = next;
        ++i;
        if (blank) {
            while (i < scalars.size() && Lexicon::isWhiteSpace(scalars[i])) ++i;
        }
        const auto& value = nodes_[node].value;
        if (!value) continue;
        bool mayEnd = i == scalars.size() || !Lexicon::isWordScalar(scalars[i]);
        if (!mayEnd && value->is(Token::Tag::currency) && !Lexicon::isWordScalar(typed)) {
            mayEnd = scalars[i] >= U'0' && scalars[i] <= U'9';
        }
        if (mayEnd) best = {&*value, i};
    }
    return best;
}

}  // namespace quibsum
