#pragma once
// A token as the line entry works on it: its kind, where it stands, its text, and how it
// joined the token before it, which is what multi-word variable names are built from.
//
// A line token owns nothing, so that reading a line copies no kind and no text: the kind is the
// lexicon's own entry, or, for what is read from the line itself (numbers, words) and for
// joined names, one kept in the reading thread's working storage; the text is a stretch of the
// line as typed, or of that storage when it differs from the line (composed characters, blanks
// collapsed). Both stay valid while the line is being analysed, until the thread reads its
// next line.

#include <cstdint>
#include <string_view>

#include "QuibSumCore/Token.h"

namespace quibsum {

struct LineToken {
    enum class Joiner : std::uint8_t { none, touching, space };  // none: the first token

    const Token::Kind* kind = nullptr;
    TextRange range;
    std::string_view text;
    Joiner joiner = Joiner::none;

    bool is(Token::Tag t) const { return kind->is(t); }
};

}  // namespace quibsum
