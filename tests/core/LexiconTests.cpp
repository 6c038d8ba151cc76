#include "QuibSumCore/Lexicon.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "QuibSumCore/Utf8.h"

namespace quibsum {
namespace {

std::vector<char32_t> scalarsOf(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t pos = 0; pos < text.size();) out.push_back(utf8::decode(text, pos));
    return out;
}

// "kind@end", or "none" when the trie gives no match.
std::string match(const Lexicon::Trie& trie, std::string_view text) {
    const auto scalars = scalarsOf(text);
    const auto m = trie.longestMatch(scalars, 0);
    if (!m) return m.end == 0 ? "none" : "none but end " + std::to_string(m.end);
    return describe(*m.kind) + "@" + std::to_string(m.end);
}

// Every key of a trie with its kind, rebuilt by walking the nodes.
std::vector<std::pair<std::string, Token::Kind>> entries(const Lexicon::Trie& trie) {
    std::vector<std::pair<std::string, Token::Kind>> out;
    std::function<void(std::int32_t, std::string)> walk = [&](std::int32_t node, std::string key) {
        const auto& n = trie.nodes()[static_cast<std::size_t>(node)];
        if (n.value) out.emplace_back(key, *n.value);
        for (const auto& [c, child] : n.children) {
            std::string next = key;
            utf8::append(next, c);
            walk(child, next);
        }
    };
    walk(0, "");
    return out;
}

bool isNFC(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const auto* nfc = icu::Normalizer2::getNFCInstance(status);
    return nfc->isNormalized(icu::UnicodeString::fromUTF8(text), status) && U_SUCCESS(status);
}

struct MatchRow {
    const char* text;
    const char* expected;
};

TEST(LexiconTest, wordTrieLongestMatch) {
    const MatchRow rows[] = {
        {"divide by", "op(divide)@9"},
        {"divide    by", "op(divide)@12"},
        {"divide \t by 2", "op(divide)@11"},
        {"divideby", "none"},
        {"divide", "none"},
        {"đổi sang", "op(convert)@8"},
        {"đổi   sang usd", "op(convert)@10"},
        {"đổi", "op(convert)@3"},
        {"đổi ra", "op(convert)@6"},
        {"là bao nhiêu", "op(convert)@12"},
        {"là bao", "op(convert)@2"},
        {"as a %", "keyword(asPercent)@6"},
        {"as a", "keyword(as)@2"},
        {"as", "keyword(as)@2"},
        {"ask", "none"},
        // Currency symbols may touch a number; letters may not.
        {"$5", "currency(USD)@1"},
        {"₫5", "currency(VND)@1"},
        {"đ5", "none"},
        {"$x", "none"},
        {"usd5", "none"},
        {"usd 5", "currency(USD)@3"},
        {"usd)", "currency(USD)@3"},
        {"vnđ", "currency(VND)@3"},
        {"đồng", "currency(VND)@4"},
        {"đ", "currency(VND)@1"},
        {"all", "currency(ALL)@3"},
        {"cup", "currency(CUP)@3"},
        {"cnh", "currency(CNH)@3"},
        {"euro", "currency(EUR)@4"},
        {"euros", "none"},
    };
    for (const auto& row : rows) EXPECT_EQ(match(Lexicon::wordTrie(), row.text), row.expected) << row.text;
}

TEST(LexiconTest, unitTrieLongestMatchIsCaseSensitive) {
    const MatchRow rows[] = {
        {"mins", "none"},
        {"min", "unit(min)@3"},
        {"m2", "unit(m²)@2"},
        {"m²", "unit(m²)@2"},
        {"square m", "unit(m²)@8"},
        {"square   km", "unit(km²)@11"},
        {"cubic inch", "unit(inch³)@10"},
        {"ft3", "unit(ft³)@3"},
        {"nmi²", "unit(nmi²)@4"},
        {"KiB", "unit(KiB)@3"},
        {"Kib", "unit(Kib)@3"},
        {"kiB", "none"},
        {"kB", "unit(kB)@2"},
        {"MB", "unit(MB)@2"},
        {"Mb", "unit(Mb)@2"},
        {"mb", "none"},
        {"TB", "unit(TB)@2"},
        {"Tb", "unit(Tb)@2"},
        {"tb", "none"},
        {"C", "unit(C)@1"},
        {"c", "none"},
        {"K", "unit(K)@1"},
        {"t", "unit(t)@1"},
        {"to", "none"},
        {"tấn", "unit(t)@3"},
        {"cân", "unit(kg)@3"},
        {"inches", "unit(inch)@6"},
        {"in", "none"},
        {"cup", "unit(cup)@3"},
        {"km/h", "unit(km)@2"},
    };
    for (const auto& row : rows) EXPECT_EQ(match(Lexicon::unitTrie(), row.text), row.expected) << row.text;
}

TEST(LexiconTest, trieInsertReplacesAndBlanksMatchOneSpace) {
    Lexicon::Trie trie;
    trie.insert("ab", Token::Kind::word("first"));
    trie.insert("ab", Token::Kind::word("second"));
    trie.insert("a b", Token::Kind::word("spaced"));
    trie.insert("abc", Token::Kind::currency("ABC"));
    EXPECT_EQ(match(trie, "ab"), "word(second)@2");
    EXPECT_EQ(match(trie, "abc"), "currency(ABC)@3");
    EXPECT_EQ(match(trie, "abd"), "none");  // "ab" is followed by a word scalar
    EXPECT_EQ(match(trie, "a \t\u00A0 b"), "word(spaced)@6");
    EXPECT_EQ(match(trie, "ab+"), "word(second)@2");

    // A match starts only at `from`.
    const auto scalars = scalarsOf("xab");
    EXPECT_EQ(trie.longestMatch(scalars, 1).end, 3u);
    EXPECT_FALSE(trie.longestMatch(scalars, 0));
    EXPECT_FALSE(trie.longestMatch(scalars, 3));
}

TEST(LexiconTest, wordTrieKeysAreNormalisedAndLowerCase) {
    for (const auto& [key, kind] : entries(Lexicon::wordTrie())) {
        EXPECT_TRUE(isNFC(key)) << key;
        icu::UnicodeString lowered = icu::UnicodeString::fromUTF8(key);
        lowered.toLower(icu::Locale::getRoot());
        std::string back;
        lowered.toUTF8String(back);
        EXPECT_EQ(back, key) << "keys are matched against lower-cased text";
    }
    EXPECT_EQ(match(Lexicon::wordTrie(), "divide"), "none");
}

TEST(LexiconTest, currencyCodes) {
    const auto codes = Lexicon::isoCurrencyCodes();
    std::set<std::string> seen;
    for (std::size_t at = 0; at < codes.size(); at += 4) {
        const std::string code(codes.substr(at, 3));
        if (at + 3 < codes.size()) {
            EXPECT_EQ(codes[at + 3], ' ');
        }
        seen.insert(code);
        std::string lower = code;
        for (char& ch : lower) ch = static_cast<char>(ch - 'A' + 'a');
        EXPECT_EQ(match(Lexicon::wordTrie(), lower), "currency(" + code + ")@3");
    }
    // The codes only the feeds know are currencies too, and none repeats an ISO code.
    for (auto code : Lexicon::feedCurrencyCodes()) {
        EXPECT_FALSE(seen.count(std::string(code))) << code;
        std::string lower(code);
        for (char& ch : lower) ch = static_cast<char>(ch - 'A' + 'a');
        EXPECT_EQ(match(Lexicon::wordTrie(), lower),
                  "currency(" + std::string(code) + ")@" + std::to_string(code.size()));
    }
}

TEST(LexiconTest, unitWords) {
    const auto& words = Lexicon::unitWords();
    std::set<std::string> symbols;
    for (const auto& [word, symbol] : words) {
        symbols.insert(symbol);
        EXPECT_TRUE(isNFC(word)) << word;
    }
    // Every canonical symbol is also a word for itself.
    for (const auto& symbol : symbols) {
        ASSERT_TRUE(words.count(symbol)) << symbol;
        EXPECT_EQ(words.at(symbol), symbol);
    }
    EXPECT_EQ(entries(Lexicon::unitTrie()).size(), words.size());
    EXPECT_EQ(words.at("square nmi"), "nmi²");
    EXPECT_EQ(words.at("inch3"), "inch³");
    EXPECT_EQ(words.at("seconds"), "s");
    EXPECT_FALSE(words.count("kiB"));
    EXPECT_FALSE(words.count("KB"));
}

TEST(LexiconTest, smallTables) {
    std::map<std::string, std::string> scales;
    for (const auto& s : Lexicon::scaleWords()) scales[s.word] = s.value.toString();
    const std::map<std::string, std::string> expectedScales = {
        {"k", "1000"},          {"K", "1000"},        {"nghìn", "1000"},    {"ngàn", "1000"},
        {"thousand", "1000"},   {"tr", "1000000"},    {"triệu", "1000000"}, {"M", "1000000"},
        {"million", "1000000"}, {"tỷ", "1000000000"}, {"ty", "1000000000"}, {"billion", "1000000000"},
    };
    EXPECT_EQ(scales, expectedScales);
    for (const auto& s : Lexicon::scaleWords()) EXPECT_EQ(s.scalars.size(), scalarsOf(s.word).size());
    EXPECT_TRUE(Lexicon::isScaleWord("tr"));
    EXPECT_FALSE(Lexicon::isScaleWord("TR"));

    // The lexer's quick test after a number must let through every scale word's first scalar
    // and nothing else.
    std::set<char32_t> starts;
    for (const auto& s : Lexicon::scaleWords()) starts.insert(s.scalars.front());
    for (char32_t c = 0; c < 0x3000; ++c) {
        EXPECT_EQ(Lexicon::startsScaleWord(c), starts.count(c) == 1) << static_cast<int>(c);
    }

    // The fast lookup must find exactly the listed symbols.
    for (const auto& [c, kind] : Lexicon::symbols()) {
        ASSERT_NE(Lexicon::symbol(c), nullptr) << static_cast<int>(c);
        EXPECT_EQ(*Lexicon::symbol(c), kind);
    }
    EXPECT_EQ(describe(*Lexicon::symbol(U'\u2212')), "op(subtract)");
    EXPECT_EQ(describe(*Lexicon::symbol(U'→')), "op(convert)");
    for (char32_t c : {U'<', U'.', U',', U'#', U'!', U'x', U'\u2013'}) EXPECT_EQ(Lexicon::symbol(c), nullptr);
    EXPECT_TRUE(Lexicon::isFunctionName("sqrt"));
    EXPECT_FALSE(Lexicon::isFunctionName("exp"));
}

TEST(LexiconTest, scalarClasses) {
    for (char32_t c : {U'a', U'Z', U'5', U'_', U'ế', U'đ', U'\u0301', U'٣', U'Ⅻ', U'½', U'中'}) {
        EXPECT_TRUE(Lexicon::isWordScalar(c)) << static_cast<int>(c);
    }
    for (char32_t c : {U'$', U' ', U'-', U'€', U'₫', U'\u20E3', U'\U0001F600', U'\uFFFD', U'.'}) {
        EXPECT_FALSE(Lexicon::isWordScalar(c)) << static_cast<int>(c);
    }
    for (char32_t c : {U'\u00A0', U'\u2003', U'\u3000', U'\u0085'}) EXPECT_TRUE(Lexicon::isWhiteSpace(c));
    EXPECT_FALSE(Lexicon::isWhiteSpace(U'\u200B'));  // zero width space is not White_Space

    // The shortcuts (ASCII, the spelled-out blanks, the table below U+2000) must agree with the
    // Unicode properties they stand for, everywhere.
    int mismatches = 0;
    for (UChar32 c = 0; c <= 0x10FFFF && mismatches < 10; ++c) {
        const bool word = u_hasBinaryProperty(c, UCHAR_ALPHABETIC) ||
                          u_getIntPropertyValue(c, UCHAR_NUMERIC_TYPE) != U_NT_NONE || c == '_' ||
                          u_charType(c) == U_NON_SPACING_MARK;
        const bool blank = u_isUWhiteSpace(c);
        if (Lexicon::isWordScalar(static_cast<char32_t>(c)) != word ||
            Lexicon::isWhiteSpace(static_cast<char32_t>(c)) != blank) {
            ADD_FAILURE() << "U+" << std::hex << c;
            ++mismatches;
        }
    }
}

}  // namespace
}  // namespace quibsum
