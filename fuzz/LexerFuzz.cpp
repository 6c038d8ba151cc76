// Lexes arbitrary bytes in both number styles and checks what every consumer of lexemes relies
// on: in order, not overlapping, non-empty, inside the line, and on character boundaries that
// are computed here independently with ICU.

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "QuibSumCore/Lexer.h"

namespace {

void fail(const char* what, int location, int length) {
    std::fprintf(stderr, "invariant broken: %s (range %d,%d)\n", what, location, length);
    std::abort();
}

std::vector<bool> characterBoundaries(const icu::UnicodeString& text) {
    static std::unique_ptr<icu::BreakIterator> breaker = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) std::abort();
        return made;
    }();
    std::vector<bool> boundary(static_cast<std::size_t>(text.length()) + 1, false);
    breaker->setText(text);
    for (int32_t b = breaker->first(); b != icu::BreakIterator::DONE; b = breaker->next()) {
        boundary[static_cast<std::size_t>(b)] = true;
    }
    return boundary;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    // ICU substitutes ill-formed UTF-8 the same way the lexer does, so the UTF-16 text agrees.
    const auto text = icu::UnicodeString::fromUTF8(icu::StringPiece(line.data(), static_cast<int32_t>(size)));
    const auto boundary = characterBoundaries(text);
    const int length = text.length();

    for (auto style : {quibsum::NumberStyle::vi, quibsum::NumberStyle::en}) {
        const quibsum::Lexer lexer(style);
        const auto lexemes = lexer.lexemes(line);
        int previousEnd = 0;
        for (const auto& lexeme : lexemes) {
            const auto range = lexeme.token.range;
            if (range.length <= 0) fail("empty range", range.location, range.length);
            if (range.location < previousEnd) fail("out of order or overlapping", range.location, range.length);
            if (range.end() > length) fail("beyond the line", range.location, range.length);
            if (!boundary[static_cast<std::size_t>(range.location)])
                fail("starts inside a character", range.location, range.length);
            if (!boundary[static_cast<std::size_t>(range.end())])
                fail("ends inside a character", range.location, range.length);
            if (lexeme.text.empty()) fail("empty text", range.location, range.length);
            if (lexeme.token.kind.is(quibsum::Token::Tag::word) && lexeme.token.kind.text() != lexeme.text) {
                fail("word payload differs from its text", range.location, range.length);
            }
            previousEnd = range.end();
        }
        // The token-only scan must agree; checking it in one style per input keeps runs fast.
        if ((style == quibsum::NumberStyle::vi) == (size % 2 == 0)) {
            const auto tokens = lexer.tokens(line);
            if (tokens.size() != lexemes.size()) fail("tokens and lexemes differ in number", 0, 0);
            for (std::size_t i = 0; i < tokens.size(); ++i) {
                if (!(tokens[i] == lexemes[i].token)) fail("tokens and lexemes differ", tokens[i].range.location, 0);
            }
        }
    }
    return 0;
}
