#pragma once
// A token as the line entry works on it: its kind, where it stands, its text, and how it
// joined the token before it, which is what multi-word variable names are built from.

#include <string>

#include "QuibSumCore/Token.h"

namespace quibsum {

struct LineToken {
    enum class Joiner : std::uint8_t { none, touching, space };  // none: the first token

    Token::Kind kind;
    TextRange range;
    std::string text;
    Joiner joiner = Joiner::none;

    bool is(Token::Tag t) const { return kind.is(t); }
};

}  // namespace quibsum
