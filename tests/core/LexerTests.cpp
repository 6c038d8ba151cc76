#include "QuibSumCore/Lexer.h"

#include <gtest/gtest.h>
#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quibsum {
namespace {

// Kinds only: "number(1234) word(x)".
std::string kinds(std::string_view line, NumberStyle style) {
    std::string out;
    for (const auto& lexeme : Lexer(style).lexemes(line)) {
        if (!out.empty()) out += ' ';
        out += describe(lexeme.token.kind);
    }
    return out;
}

// Kinds with texts and ranges: "number(5)'5'[0,1]".
std::string detailed(std::string_view line, NumberStyle style = NumberStyle::vi) {
    std::string out;
    for (const auto& lexeme : Lexer(style).lexemes(line)) {
        if (!out.empty()) out += ' ';
        out += describe(lexeme.token.kind) + "'" + lexeme.text + "'[" + std::to_string(lexeme.token.range.location) +
               "," + std::to_string(lexeme.token.range.length) + "]";
    }
    return out;
}

struct StyleRow {
    const char* line;
    const char* vi;
    const char* en;
};

void expectBothStyles(const StyleRow& row) {
    EXPECT_EQ(kinds(row.line, NumberStyle::vi), row.vi) << "vi: " << row.line;
    EXPECT_EQ(kinds(row.line, NumberStyle::en), row.en) << "en: " << row.line;
}

TEST(LexerTest, numberLiteralsInBothStyles) {
    const StyleRow rows[] = {
        // no separator
        {"1234", "number(1234)", "number(1234)"},
        {"007", "number(7)", "number(7)"},
        // leading separator
        {".5", "number(0.5)", "number(0.5)"},
        {",5", "number(0.5)", "number(0.5)"},
        {",500", "number(0.5)", "number(0.5)"},
        {".5.5", "word(.5.5)", "word(.5.5)"},
        // mixed separators: the last one is the decimal point
        {"1,234.5", "number(1234.5)", "number(1234.5)"},
        {"1.234,5", "number(1234.5)", "number(1234.5)"},
        {"1.234.567,89", "number(1234567.89)", "number(1234567.89)"},
        {"12345,678.9", "number(12345678.9)", "number(12345678.9)"},
        {"1.23,4", "word(1.23,4)", "word(1.23,4)"},
        {"1,234.567,8", "word(1,234.567,8)", "word(1,234.567,8)"},
        // one kind of separator, several times: grouping
        {"1.234.567", "number(1234567)", "number(1234567)"},
        {"1,234,567", "number(1234567)", "number(1234567)"},
        {"1.23.4", "word(1.23.4)", "word(1.23.4)"},
        {"1.234.56", "word(1.234.56)", "word(1.234.56)"},
        {"1.2345.678", "word(1.2345.678)", "word(1.2345.678)"},
        // one separator
        {"0.500", "number(0.5)", "number(0.5)"},
        {"0,5", "number(0.5)", "number(0.5)"},
        {"00,123", "number(0.123)", "number(0.123)"},
        {"1.5", "number(1.5)", "number(1.5)"},
        {"1,5", "number(1.5)", "number(1.5)"},
        {"12,3456", "number(12.3456)", "number(12.3456)"},
        {"1.234", "number(1234)", "number(1.234)"},
        {"1,234", "number(1.234)", "number(1234)"},
        {"10,000", "number(10)", "number(10000)"},
        // a separator not followed by a digit is not part of the number
        {"5.", "number(5) word(.)", "number(5) word(.)"},
        {"5,", "number(5) word(,)", "number(5) word(,)"},
        {"1.234.", "number(1234) word(.)", "number(1.234) word(.)"},
        // a separator glued to a word does not start a number
        {"a.5", "word(a) word(.) number(5)", "word(a) word(.) number(5)"},
        {"(.5)", "lparen number(0.5) rparen", "lparen number(0.5) rparen"},
        // no exponent notation
        {"1e5", "number(1) word(e5)", "number(1) word(e5)"},
        // more digits than a decimal holds are rounded; a value out of range is no number
        {"123456789012345678901234567890123456789", "number(123456789012345678901234567890123456790)",
         "number(123456789012345678901234567890123456790)"},
        {"0.1234567890123456789012345678901234567891", "number(0.12345678901234567890123456789012345679)",
         "number(0.12345678901234567890123456789012345679)"},
    };
    for (const auto& row : rows) expectBothStyles(row);

    const std::string huge(200, '9');
    EXPECT_EQ(kinds(huge, NumberStyle::en), "word(" + huge + ")");
}

TEST(LexerTest, scaleWordsAndFractions) {
    const StyleRow rows[] = {
        {"2k", "number(2000)", "number(2000)"},
        {"2K", "number(2000)", "number(2000)"},
        {"2 k", "number(2) word(k)", "number(2) word(k)"},
        {"2 K", "number(2) unit(K)", "number(2) unit(K)"},
        {"5 M", "number(5000000)", "number(5000000)"},
        {"5M", "number(5000000)", "number(5000000)"},
        {"5MB", "number(5) unit(MB)", "number(5) unit(MB)"},
        {"5KiB", "number(5) unit(KiB)", "number(5) unit(KiB)"},
        {"2kg", "number(2) unit(kg)", "number(2) unit(kg)"},
        {"5 min", "number(5) unit(min)", "number(5) unit(min)"},
        {"2 tr", "number(2000000)", "number(2000000)"},
        {"5 triệu", "number(5000000)", "number(5000000)"},
        {"3 tỷ", "number(3000000000)", "number(3000000000)"},
        {"3ty", "number(3000000000)", "number(3000000000)"},
        {"1 nghìn", "number(1000)", "number(1000)"},
        {"4 ngàn", "number(4000)", "number(4000)"},
        {"2 million", "number(2000000)", "number(2000000)"},
        {"7 billion", "number(7000000000)", "number(7000000000)"},
        {"1.5tr", "number(1500000)", "number(1500000)"},
        {"1,5tr", "number(1500000)", "number(1500000)"},
        {"2ky", "number(2) word(ky)", "number(2) word(ky)"},
        {"2k+1", "number(2000) op(add) number(1)", "number(2000) op(add) number(1)"},
        {"1.500k", "number(1500000)", "number(1500)"},
        // fractions after the scale word
        {"1tr5", "number(1500000)", "number(1500000)"},
        {"2k5", "number(2500)", "number(2500)"},
        {"2k50", "number(2500)", "number(2500)"},
        {"1 triệu 5", "number(1500000)", "number(1500000)"},
        {"1 triệu5", "number(1500000)", "number(1500000)"},
        {"1tr 5", "number(1000000) number(5)", "number(1000000) number(5)"},
        {"1tr5k", "number(1000000) number(5000)", "number(1000000) number(5000)"},
        {"5tr5 đ", "number(5500000) currency(VND)", "number(5500000) currency(VND)"},
        {"3 tỷ 25", "number(3250000000)", "number(3250000000)"},
    };
    for (const auto& row : rows) expectBothStyles(row);

    EXPECT_EQ(detailed("1tr5"), "number(1500000)'1tr5'[0,4]");
    EXPECT_EQ(detailed("1 triệu 5 đ"), "number(1500000)'1 triệu 5'[0,9] currency(VND)'đ'[10,1]");
}

TEST(LexerTest, radixLiterals) {
    const StyleRow rows[] = {
        {"0x1F", "number(31)", "number(31)"},
        {"0x1f", "number(31)", "number(31)"},
        {"0b101", "number(5)", "number(5)"},
        {"0o17", "number(15)", "number(15)"},
        {"0b12", "number(1) number(2)", "number(1) number(2)"},
        {"0o8", "number(0) word(o8)", "number(0) word(o8)"},
        {"0X1F", "number(0) word(X1F)", "number(0) word(X1F)"},
        {"0x", "number(0) word(x)", "number(0) word(x)"},
        {"0xg", "number(0) word(xg)", "number(0) word(xg)"},
        {"0x10 x 2", "number(16) op(multiply) number(2)", "number(16) op(multiply) number(2)"},
        // beyond 64 bits the value keeps counting exactly
        {"0xFFFFFFFFFFFFFFFFFFFF", "number(1208925819614629174706175)", "number(1208925819614629174706175)"},
    };
    for (const auto& row : rows) expectBothStyles(row);
}

struct Row {
    const char* line;
    const char* expected;
};

TEST(LexerTest, vocabularyAndSymbols) {
    const Row rows[] = {
        {"", ""},
        {" \t  ", ""},
        {"10 divide   by 2", "number(10)'10'[0,2] op(divide)'divide by'[3,11] number(2)'2'[15,1]"},
        {"100 usd sang vnd",
         "number(100)'100'[0,3] currency(USD)'usd'[4,3] op(convert)'sang'[8,4] currency(VND)'vnd'[13,3]"},
        {"100 đô", "number(100)'100'[0,3] currency(USD)'đô'[4,2]"},
        {"100$", "number(100)'100'[0,3] currency(USD)'$'[3,1]"},
        {"$5", "currency(USD)'$'[0,1] number(5)'5'[1,1]"},
        {"USD5", "word(USD5)'USD5'[0,4]"},
        {"VNĐ", "currency(VND)'VNĐ'[0,3]"},
        {"ĐỔI   SANG", "op(convert)'ĐỔI SANG'[0,10]"},
        // unit and word ties: the unit wins; a longer word beats a shorter unit
        {"cup", "unit(cup)'cup'[0,3]"},
        {"TB", "unit(TB)'TB'[0,2]"},
        {"Tb", "unit(Tb)'Tb'[0,2]"},
        {"tb", "keyword(average)'tb'[0,2]"},
        {"to", "op(convert)'to'[0,2]"},
        {"t", "unit(t)'t'[0,1]"},
        {"inch", "unit(inch)'inch'[0,4]"},
        {"in", "op(convert)'in'[0,2]"},
        {"as a %", "keyword(asPercent)'as a %'[0,6]"},
        {"mins", "word(mins)'mins'[0,4]"},
        {"2 km + 300 m in ft",
         "number(2)'2'[0,1] unit(km)'km'[2,2] op(add)'+'[5,1] number(300)'300'[7,3] unit(m)'m'[11,1] "
         "op(convert)'in'[13,2] unit(ft)'ft'[16,2]"},
        {"a->b", "word(a)'a'[0,1] op(convert)'->'[1,2] unit(b)'b'[3,1]"},
        {"a => c", "word(a)'a'[0,1] op(convert)'=>'[2,2] word(c)'c'[5,1]"},
        {"x = 3", "word(x)'x'[0,1] assign'='[2,1] number(3)'3'[4,1]"},
        {"5 − 2 × 3 ÷ 1",
         "number(5)'5'[0,1] op(subtract)'−'[2,1] number(2)'2'[4,1] op(multiply)'×'[6,1] "
         "number(3)'3'[8,1] op(divide)'÷'[10,1] number(1)'1'[12,1]"},
        {"20% of 50", "number(20)'20'[0,2] percent'%'[2,1] keyword(of)'of'[4,2] number(50)'50'[7,2]"},
        {"a @ d: c", "word(a)'a'[0,1] at'@'[2,1] word(d)'d'[4,1] colon':'[5,1] word(c)'c'[7,1]"},
        {"5 < 6", "number(5)'5'[0,1] word(<)'<'[2,1] number(6)'6'[4,1]"},
        {"giá_bán2", "word(giá_bán2)'giá_bán2'[0,8]"},
    };
    for (const auto& row : rows) EXPECT_EQ(detailed(row.line), row.expected) << row.line;
}

TEST(LexerTest, multiplyByX) {
    const Row rows[] = {
        {"12 x 3", "number(12) op(multiply) number(3)"},
        {"3x4", "number(3) op(multiply) number(4)"},
        {"3 x   4", "number(3) op(multiply) number(4)"},
        {"x 3", "word(x) number(3)"},
        {"3 x", "number(3) word(x)"},
        {"3 X 4", "number(3) word(X) number(4)"},
        {"3 xy 4", "number(3) word(xy) number(4)"},
        {"(3) x 4", "lparen number(3) rparen word(x) number(4)"},
        {"2k x 2", "number(2000) op(multiply) number(2)"},
    };
    for (const auto& row : rows) EXPECT_EQ(kinds(row.line, NumberStyle::en), row.expected) << row.line;
}

TEST(LexerTest, commentsAndQuotedLabels) {
    const Row rows[] = {
        {"# note", "comment'# note'[0,6]"},
        {"// note 5", "comment'// note 5'[0,9]"},
        {"5 // note", "number(5)'5'[0,1] comment'// note'[2,7]"},
        {"6 / 2", "number(6)'6'[0,1] op(divide)'/'[2,1] number(2)'2'[4,1]"},
        {"\"giá 5\" 5", "comment'\"giá 5\"'[0,7] number(5)'5'[8,1]"},
        {"\"open label 5", "comment'\"open label 5'[0,13]"},
        {"a#b\rc", "word(a)'a'[0,1] comment'#b'[1,2] word(c)'c'[4,1]"},
        {"#x\r\n5", "comment'#x'[0,2] number(5)'5'[4,1]"},
    };
    for (const auto& row : rows) EXPECT_EQ(detailed(row.line), row.expected) << row.line;
}

TEST(LexerTest, rangesFollowCharactersAsTyped) {
    const Row rows[] = {
        // "tiền" typed decomposed: e + circumflex + grave. One character, three UTF-16 units.
        {"tie\u0302\u0300n 5", "word(tiền)'tiền'[0,6] number(5)'5'[7,1]"},
        {"5 \u0111o\u0302", "number(5)'5'[0,1] currency(USD)'đô'[2,3]"},
        // astral scalars take two units
        {"😀 5", "word(😀)'😀'[0,2] number(5)'5'[3,1]"},
        {"5 𝑥", "number(5)'5'[0,1] word(𝑥)'𝑥'[2,2]"},
        // a family emoji and a flag are single characters
        {"👨‍👩‍👧 5", "word(👨‍👩‍👧)'👨‍👩‍👧'[0,8] number(5)'5'[9,1]"},
        {"🇻🇳5", "word(🇻🇳)'🇻🇳'[0,4] number(5)'5'[4,1]"},
        // a digit with an enclosing keycap: the number takes the whole character
        {"5\u20E3+1", "number(5)'5\u20E3'[0,2] op(add)'+'[2,1] number(1)'1'[3,1]"},
        {"km\u20E3", "unit(km)'km\u20E3'[0,3]"},
        // a combining mark on a blank belongs to the next lexeme's character
        {"5 \u0301x", "number(5)'5'[0,1] word(\u0301x)'\u0301x'[1,3]"},
        // singleton decompositions are composed per character: the Kelvin sign reads as K
        {"5 \u212A", "number(5)'5'[0,1] unit(K)'K'[2,1]"},
        // Hangul is composed from its jamo
        {"\u1100\u1161 1", "word(가)'가'[0,2] number(1)'1'[3,1]"},
    };
    for (const auto& row : rows) EXPECT_EQ(detailed(row.line), row.expected) << row.line;
}

TEST(LexerTest, invalidUTF8ReadsAsReplacementCharacters) {
    const Row rows[] = {
        {"5 \xff km", "number(5)'5'[0,1] word(\uFFFD)'\uFFFD'[2,1] unit(km)'km'[4,2]"},
        {"\xc0\xaf", "word(\uFFFD)'\uFFFD'[0,1] word(\uFFFD)'\uFFFD'[1,1]"},
        {"1\xe2\x82", "number(1)'1'[0,1] word(\uFFFD)'\uFFFD'[1,1]"},
        {"\xed\xa0\x80", "word(\uFFFD)'\uFFFD'[0,1] word(\uFFFD)'\uFFFD'[1,1] word(\uFFFD)'\uFFFD'[2,1]"},
        {"\xf4\x90\x80\x80!",
         "word(\uFFFD)'\uFFFD'[0,1] word(\uFFFD)'\uFFFD'[1,1] word(\uFFFD)'\uFFFD'[2,1] "
         "word(\uFFFD)'\uFFFD'[3,1] word(!)'!'[4,1]"},
    };
    for (const auto& row : rows) EXPECT_EQ(detailed(row.line), row.expected) << row.line;
    const std::string withNul("a\0c", 3), nul(1, '\0');
    EXPECT_EQ(detailed(withNul), "word(a)'a'[0,1] word(" + nul + ")'" + nul + "'[1,1] word(c)'c'[2,1]");
}

TEST(LexerTest, tokensMatchLexemes) {
    const char* lines[] = {"Rent: 5.500.000 đ", "20% of 1,250.50 USD", "tiền nhà = 5tr5", "# x", "0x1F x 2 cup"};
    for (auto style : {NumberStyle::vi, NumberStyle::en}) {
        const Lexer lexer(style);
        for (const char* line : lines) {
            std::vector<Token> fromLexemes;
            for (const auto& lexeme : lexer.lexemes(line)) fromLexemes.push_back(lexeme.token);
            EXPECT_EQ(lexer.tokens(line), fromLexemes) << line;
        }
    }
}

TEST(LexerTest, concurrentLexingGivesTheSameResult) {
    const std::string line = "tiền nhà = 5tr5 + 1.234,5 đ - 2 km in ft 😀 tie\u0302\u0300n";
    const auto expected = Lexer(NumberStyle::vi).lexemes(line);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int k = 0; k < 200; ++k) {
                if (Lexer(NumberStyle::vi).lexemes(line) != expected) ++mismatches[static_cast<std::size_t>(t)];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int m : mismatches) EXPECT_EQ(m, 0);
}

// The lexer lowers a scalar by its simple mapping and takes single characters without a
// segmentation or normalisation pass when their properties allow it. These hold ICU to that.
TEST(LexerTest, unicodeShortcutsAgreeWithICU) {
    UErrorCode status = U_ZERO_ERROR;
    const auto* nfc = icu::Normalizer2::getNFCInstance(status);
    ASSERT_TRUE(U_SUCCESS(status));
    std::unique_ptr<icu::BreakIterator> breaker(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    ASSERT_TRUE(U_SUCCESS(status));
    int failures = 0;
    for (UChar32 c = 0x80; c <= 0x10FFFF && failures < 10; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        UChar one[2], lowered[8];
        int32_t n = 0;
        U16_APPEND_UNSAFE(one, n, c);
        status = U_ZERO_ERROR;
        const int32_t m = u_strToLower(lowered, 8, one, n, "root", &status);
        UChar32 first;
        U16_GET_UNSAFE(lowered, 0, first);
        if (U_FAILURE(status) || m == 0 || first != u_tolower(c)) {
            ADD_FAILURE() << "lower case of U+" << std::hex << c;
            ++failures;
        }
        const icu::UnicodeString alone(one, n);
        if (u_getIntPropertyValue(c, UCHAR_NFC_QUICK_CHECK) != UNORM_NO && nfc->normalize(alone, status) != alone) {
            ADD_FAILURE() << "NFC of U+" << std::hex << c;
            ++failures;
        }
        const auto gcb = u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK);
        if (gcb == U_GCB_OTHER || gcb == U_GCB_CONTROL) {
            // Between itself, a letter and another of its kind there is always a boundary.
            icu::UnicodeString text = alone + icu::UnicodeString(u"a") + alone + alone;
            breaker->setText(text);
            int boundaries = 0;
            for (int32_t b = breaker->first(); b != icu::BreakIterator::DONE; b = breaker->next()) ++boundaries;
            if (boundaries != 5) {
                ADD_FAILURE() << "segmentation around U+" << std::hex << c;
                ++failures;
            }
        }
    }
}

}  // namespace
}  // namespace quibsum
