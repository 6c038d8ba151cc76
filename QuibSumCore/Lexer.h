#pragma once
// Turns one line of sheet text into lexemes: numbers in the user's number style (with scale
// suffixes and radix literals), the vocabulary of Lexicon, symbols, comments and quoted labels.
// Whatever it cannot classify becomes a word; it never fails. Ranges are UTF-16 offsets of the
// line as typed and always start and end on user-perceived character boundaries.

#include <string_view>
#include <vector>

#include "QuibSumCore/Lexeme.h"
#include "QuibSumCore/LineToken.h"
#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Token.h"

namespace quibsum {

class Lexer {
public:
    explicit Lexer(NumberStyle style) : style_(style) {}

    NumberStyle style() const { return style_; }

    // Lexemes in source order, never overlapping, blanks between them dropped. Invalid UTF-8
    // reads as U+FFFD. Safe to call from any thread.
    std::vector<Lexeme> lexemes(std::string_view utf8Line) const;
    // The same scan without the texts, for the highlighter.
    std::vector<Token> tokens(std::string_view utf8Line) const;
    // The same scan as the line entry reads it, into `out` (cleared first, its capacity kept):
    // each token with its text and how it joins the one before; comments and the "?"
    // placeholder are left out, so that "100 USD = ? VND" reads as "100 USD = VND". The tokens
    // refer to `utf8Line`, the lexicon and this thread's working storage: they are valid while
    // `utf8Line` is, until this thread's next call.
    void lineTokens(std::string_view utf8Line, std::vector<LineToken>& out) const;

private:
    NumberStyle style_;
};

}  // namespace quibsum
