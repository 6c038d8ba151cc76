#include "QuibSum/cli/TerminalText.h"

#include <algorithm>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace quibsum::TerminalText {

std::size_t width(std::string_view utf8) {
    std::size_t columns = 0;
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    auto length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        // ASCII, control characters included, takes one column each: no need to ask ICU.
        if (s[i] < 0x80) {
            ++columns;
            ++i;
            continue;
        }
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0) {  // an ill-formed sequence prints as one replacement character
            ++columns;
            continue;
        }
        auto category = static_cast<UCharCategory>(u_charType(c));
        if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK || category == U_FORMAT_CHAR) continue;
        auto eastAsian = static_cast<UEastAsianWidth>(u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH));
        columns += (eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH) ? 2 : 1;
    }
    return columns;
}

std::string printable(std::string_view utf8) {
    // Text with no control character, and none of the lead bytes of C1 controls and line
    // separators, is printable as it is.
    const bool plain = std::none_of(utf8.begin(), utf8.end(), [](char byte) {
        const auto c = static_cast<unsigned char>(byte);
        return c < 0x20 || c == 0x7F || c == 0xC2 || c == 0xE2;
    });
    if (plain) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c == 0x7F) {
            out += ' ';
        } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            out += ' ';  // a C1 control character
            ++i;
        } else if (c == 0xE2 && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(utf8[i + 2]) == 0xA9)) {
            out += ' ';  // a line or paragraph separator
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string padLeft(std::string_view text, std::size_t columns) {
    std::size_t w = width(text);
    std::string out(w < columns ? columns - w : 0, ' ');
    out.append(text);
    return out;
}

std::string padRight(std::string_view text, std::size_t columns) {
    std::size_t w = width(text);
    std::string out(text);
    out.append(w < columns ? columns - w : 0, ' ');
    return out;
}

}  // namespace quibsum::TerminalText
