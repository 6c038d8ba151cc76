#pragma once
// A token together with the text it was read from (NFC; blanks inside multi-word entries
// collapsed to one space), which the parser and line analysis need for names and labels.

#include <string>

#include "QuibSumCore/Token.h"

namespace quibsum {

struct Lexeme {
    Token token;
    std::string text;

    friend bool operator==(const Lexeme&, const Lexeme&) = default;
};

}  // namespace quibsum
