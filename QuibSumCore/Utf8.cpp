#include "QuibSumCore/Utf8.h"

#include <cstdint>
#include <cstring>

#include <unicode/uchar.h>

namespace quibsum::utf8 {

namespace {

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Surrogates and values beyond U+10FFFF are not scalars and are written as U+FFFD.
char32_t valid(char32_t c) { return (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF ? replacementCharacter : c; }

std::size_t encodedLength(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

}  // namespace

char32_t decodeMultiByte(std::string_view text, std::size_t& pos) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(pos);
    int trailing;
    char32_t value;
    // The range the first continuation byte must fall in excludes overlong forms,
    // surrogates and values beyond U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        ++pos;
        return replacementCharacter;
    }
    std::size_t i = pos + 1;
    for (int n = 0; n < trailing; ++n, ++i) {
        if (i >= text.size()) {
            pos = i;
            return replacementCharacter;
        }
        const unsigned char b = at(i);
        const bool ok = n == 0 ? (b >= low && b <= high) : isContinuation(b);
        if (!ok) {
            pos = i;  // the offending byte starts the next read
            return replacementCharacter;
        }
        value = (value << 6) | (b & 0x3F);
    }
    pos = i;
    return value;
}

std::string lowered(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = decode(text, pos);
        if (c < 0x80)
            out += static_cast<char>(c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c);
        else
            append(out, static_cast<char32_t>(u_tolower(static_cast<UChar32>(c))));
    }
    return out;
}

bool isAscii(std::string_view text) {
    const char* p = text.data();
    std::size_t n = text.size();
    while (n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL) return false;
        p += 8;
        n -= 8;
    }
    for (; n > 0; --n, ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80) return false;
    }
    return true;
}

void append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        if (c >= 0xD800 && c <= 0xDFFF) c = replacementCharacter;
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c <= 0x10FFFF) {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        append(out, replacementCharacter);
    }
}

void append(std::string& out, std::span<const char32_t> scalars) {
    std::size_t bytes = 0;
    for (char32_t c : scalars) bytes += encodedLength(valid(c));
    const std::size_t start = out.size();
    out.resize(start + bytes);
    char* p = out.data() + start;
    for (char32_t c : scalars) {
        c = valid(c);
        if (c < 0x80) {
            *p++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *p++ = static_cast<char>(0xC0 | (c >> 6));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *p++ = static_cast<char>(0xE0 | (c >> 12));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *p++ = static_cast<char>(0xF0 | (c >> 18));
            *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::size_t utf16Length(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t pos = 0; pos < text.size();) length += decode(text, pos) >= 0x10000 ? 2 : 1;
    return length;
}

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = decode(text, pos);
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::string fromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = replacementCharacter;
        }
        append(out, c);
    }
    return out;
}

std::string sanitized(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) append(out, decode(text, pos));
    return out;
}

}  // namespace quibsum::utf8
