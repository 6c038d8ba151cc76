#pragma once
// The engine's fixed bilingual vocabulary (English and Vietnamese): operator words, conversion
// connectors, keywords, currencies, units, number scales, symbols and function names. Every
// table is built once, on first use from any thread, and is read-only afterwards.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/LexiconTrie.h"
#include "QuibSumCore/Token.h"

namespace quibsum {

class Lexicon {
public:
    using Trie = LexiconTrie;

    struct ScaleWord {
        std::string word;
        std::u32string scalars;
        Decimal value;
    };

    Lexicon() = delete;

    // Operator words, connectors, keywords, currency codes, symbols and names; lower-case keys.
    static const Trie& wordTrie();
    // Every unit word, matched case-sensitively (MB and Mb differ).
    static const Trie& unitTrie();
    // Unit word -> canonical unit symbol; the source of unitTrie.
    static const std::map<std::string, std::string, std::less<>>& unitWords();

    static const std::vector<ScaleWord>& scaleWords();
    static bool isScaleWord(std::string_view word);  // case-sensitive, as the lexer reads them
    // Whether any scale word begins with this scalar: the lexer's quick test after a number.
    static bool startsScaleWord(char32_t scalar);

    // The single-scalar operators and punctuation.
    static const std::vector<std::pair<char32_t, Token::Kind>>& symbols();
    static const Token::Kind* symbol(char32_t scalar);  // null when not a symbol

    // The letter after a leading "0" that makes a radix literal: x, b, o (small letters only).
    static const std::vector<std::pair<char32_t, int>>& radixPrefixes();
    static std::optional<int> radixPrefix(char32_t scalar);

    static const std::vector<std::string_view>& functionNames();
    static bool isFunctionName(std::string_view lowerCaseName);

    // The ISO 4217 codes, upper case, separated by single spaces.
    static std::string_view isoCurrencyCodes();
    // Codes the rate feeds use beyond the ISO list.
    static const std::vector<std::string_view>& feedCurrencyCodes();

    // Letters, numerals of any kind, "_" and non-spacing marks: what words are made of.
    static bool isWordScalar(char32_t scalar) {
        if (scalar < 0x80) {
            return (scalar >= U'a' && scalar <= U'z') || (scalar >= U'A' && scalar <= U'Z') ||
                   (scalar >= U'0' && scalar <= U'9') || scalar == U'_';
        }
        if (scalar < wordScalarTableSize) return (wordScalarTable()[scalar >> 6] >> (scalar & 63)) & 1;
        return isWordScalarByProperties(scalar);
    }

    // The Unicode White_Space property. The set is small and has been stable for many Unicode
    // versions, so it is spelled out (a test holds it to ICU's).
    static bool isWhiteSpace(char32_t scalar) {
        if (scalar < 0x80) return scalar == U' ' || (scalar >= 0x09 && scalar <= 0x0D);
        return scalar == 0x85 || scalar == 0xA0 || scalar == 0x1680 || (scalar >= 0x2000 && scalar <= 0x200A) ||
               scalar == 0x2028 || scalar == 0x2029 || scalar == 0x202F || scalar == 0x205F || scalar == 0x3000;
    }

    static bool isWordScalarByProperties(char32_t scalar);

    static bool isASCIIDigit(char32_t scalar) { return scalar >= U'0' && scalar <= U'9'; }

private:
    // Word scalars below U+2000 (Latin with Vietnamese, Greek, Cyrillic, combining marks) come
    // from a bit table filled once from the properties; typed text rarely leaves that range.
    static constexpr char32_t wordScalarTableSize = 0x2000;
    static const std::uint64_t* wordScalarTable();
};

}  // namespace quibsum
