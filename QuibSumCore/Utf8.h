#pragma once
// UTF-8 helpers shared by the engine, the rate feeds and storage. Ill-formed input never
// fails and is never undefined behaviour: each maximal ill-formed subpart reads as one
// U+FFFD, the same substitution ICU and Qt make, so every layer sees the same characters.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace quibsum::utf8 {

inline constexpr char32_t replacementCharacter = 0xFFFD;

char32_t decodeMultiByte(std::string_view text, std::size_t& pos);

// The scalar that starts at text[pos]; pos moves past it. pos must be < text.size().
inline char32_t decode(std::string_view text, std::size_t& pos) {
    auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos;
        return byte;
    }
    return decodeMultiByte(text, pos);
}

bool isAscii(std::string_view text);

// The text with every letter lower-cased by Unicode's simple case mapping ("Đổi" gives "đổi"),
// the one way the engine compares words without regard to case.
std::string lowered(std::string_view text);

void append(std::string& out, char32_t scalar);
void append(std::string& out, std::span<const char32_t> scalars);

// Number of UTF-16 code units the decoded text occupies.
std::size_t utf16Length(std::string_view text);

std::u16string toUtf16(std::string_view text);

// Unpaired surrogates become U+FFFD.
std::string fromUtf16(std::u16string_view text);

// The text with every ill-formed subpart replaced, so it is safe to hand on as UTF-8.
std::string sanitized(std::string_view text);

}  // namespace quibsum::utf8
