#include "QuibSumCore/Utf8.h"

#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <random>
#include <string>

namespace quibsum {
namespace {

std::u32string decodeAll(std::string_view text) {
    std::u32string out;
    for (std::size_t pos = 0; pos < text.size();) out.push_back(utf8::decode(text, pos));
    return out;
}

TEST(Utf8Test, illFormedSubpartsReadAsOneReplacementEach) {
    const struct {
        std::string bytes;
        std::u32string scalars;
    } rows[] = {
        {"a\xC3\xA9z", U"aéz"},
        {"\xF0\x9F\x98\x80", U"😀"},
        {"\xFF", U"\uFFFD"},
        {"\xC0\xAF", U"\uFFFD\uFFFD"},                      // overlong lead
        {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // a surrogate
        {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xE2\x82", U"\uFFFD"},                            // truncated: one replacement
        {"\xE2\x82x", U"\uFFFDx"},                          // the next byte is not swallowed
        {"\xF0\x9F\x98", U"\uFFFD"},
        {"\x80\x80", U"\uFFFD\uFFFD"},
        {std::string("\0", 1), std::u32string(1, U'\0')},
    };
    for (const auto& row : rows) EXPECT_EQ(decodeAll(row.bytes), row.scalars) << row.bytes;
}

// ICU is the reference for the substitution: the UTF-16 text must be the same as ICU's.
TEST(Utf8Test, agreesWithICUOnRandomBytes) {
    std::mt19937 random(7);
    const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                         0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 12, '\0');
        for (char& b : bytes) b = static_cast<char>(interesting[random() % sizeof interesting]);
        const auto ours = utf8::toUtf16(bytes);
        const auto icu = icu::UnicodeString::fromUTF8(bytes);
        ASSERT_EQ(ours, std::u16string(icu.getBuffer(), static_cast<std::size_t>(icu.length())))
            << testing::PrintToString(bytes);
        EXPECT_EQ(utf8::utf16Length(bytes), ours.size());
        // What comes out is well-formed and reads back unchanged.
        const std::string clean = utf8::sanitized(bytes);
        EXPECT_EQ(utf8::fromUtf16(ours), clean);
        EXPECT_EQ(utf8::sanitized(clean), clean);
        std::string viaSpan;
        const auto scalars = decodeAll(bytes);
        utf8::append(viaSpan, std::span<const char32_t>(scalars.data(), scalars.size()));
        EXPECT_EQ(viaSpan, clean);
    }
}

TEST(Utf8Test, helpers) {
    EXPECT_TRUE(utf8::isAscii("plain text, long enough for whole words"));
    EXPECT_FALSE(utf8::isAscii("plain text, long enough for whole words é"));
    EXPECT_FALSE(utf8::isAscii("\x80"));
    EXPECT_EQ(utf8::fromUtf16(u"a\xD800"
                              "b"),
              "a\uFFFD"
              "b");  // lone surrogate
    std::string out;
    utf8::append(out, char32_t{0xDC00});
    utf8::append(out, char32_t{0x110000});
    EXPECT_EQ(out, "\uFFFD\uFFFD");
}

}  // namespace
}  // namespace quibsum

namespace quibsum {
namespace {

TEST(Utf8Lowered, LowerCasesEveryLetterAndKeepsTheRest) {
    const std::pair<const char*, const char*> rows[] = {
        {"ĐỔI", "đổi"},
        {"Quy Đổi", "quy đổi"},
        {"USD", "usd"},
        {"ÀÉÎ ΣΑΣ", "àéî σασ"},
        {"1,5 € + x", "1,5 € + x"},
        {"\xFF"
         "A",
         "\xEF\xBF\xBD"
         "a"},
    };
    for (const auto& [text, lower] : rows) EXPECT_EQ(utf8::lowered(text), lower) << text;
}

}  // namespace
}  // namespace quibsum
