#pragma once
// Variable names: the rule a name must follow, the key under which names are found, and the
// joining of names that contain spaces into one token.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "QuibSumCore/Environment.h"
#include "QuibSumCore/LineToken.h"

namespace quibsum::VariableNames {

// The name the tokens spell (texts joined by their joiners) when it is a valid variable name:
// it starts with a letter or "_", holds only letters, marks, decimal digits, "_" and single
// spaces, is not a function name or a scale word, and a one-token name is a plain word.
std::optional<std::string> validName(std::span<const LineToken> tokens);

// The text up to its first space.
inline std::string_view key(std::string_view text) { return text.substr(0, text.find(' ')); }

// The same as beginsWithLetter, for a text that does not start with an ASCII byte.
bool beginsWithLetterBeyondASCII(std::string_view text);

// Whether a token's text begins with a letter: an ASCII letter, "_", or an alphabetic
// character outside ASCII. Such tokens may be (part of) a variable reference. Asked of every
// token of every line, so the ASCII answer is given here.
inline bool beginsWithLetter(std::string_view text) {
    if (text.empty()) return false;
    const auto c = static_cast<unsigned char>(text.front());
    if (c >= 0x80) return beginsWithLetterBeyondASCII(text);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Replaces each run of tokens that spells a multi-word name known to `env` by one word token
// (the longest match wins, then the earliest registered). A joined name is a plain word, so
// the words inside it no longer act as keywords or conversion verbs. When any run was joined,
// `out` holds the result, whose joined tokens refer to their kinds in `kinds` and to their
// names in `env`, and the answer is true; otherwise `out` and `kinds` are untouched and the
// answer is false.
bool joinMultiWordNames(std::span<const LineToken> tokens, const Environment& env, std::vector<LineToken>& out,
                        std::vector<Token::Kind>& kinds);

}  // namespace quibsum::VariableNames
