#include "QuibSum/storage/JsonText.h"

#include <charconv>
#include <cmath>

namespace quibsum {

void JsonText::separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasValue_.empty()) {
        if (hasValue_.back()) text_ += ',';
        hasValue_.back() = true;
    }
}

JsonText& JsonText::beginObject() {
    separate();
    text_ += '{';
    hasValue_.push_back(false);
    return *this;
}

JsonText& JsonText::endObject() {
    text_ += '}';
    hasValue_.pop_back();
    return *this;
}

JsonText& JsonText::beginArray() {
    separate();
    text_ += '[';
    hasValue_.push_back(false);
    return *this;
}

JsonText& JsonText::endArray() {
    text_ += ']';
    hasValue_.pop_back();
    return *this;
}

JsonText& JsonText::key(std::string_view name) {
    string(name);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonText& JsonText::string(std::string_view utf8) {
    separate();
    static constexpr char hex[] = "0123456789abcdef";
    text_ += '"';
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        switch (c) {
            case '"':
                text_ += "\\\"";
                continue;
            case '\\':
                text_ += "\\\\";
                continue;
            case '\n':
                text_ += "\\n";
                continue;
            case '\r':
                text_ += "\\r";
                continue;
            case '\t':
                text_ += "\\t";
                continue;
            case '\b':
                text_ += "\\b";
                continue;
            case '\f':
                text_ += "\\f";
                continue;
            case '/':
                text_ += escapeSlash_ ? "\\/" : "/";
                continue;
            default:
                break;
        }
        if (c < 0x20) {
            text_ += "\\u00";
            text_ += hex[c >> 4];
            text_ += hex[c & 0xF];
            continue;
        }
        if (c < 0x80) {
            text_ += static_cast<char>(c);
            continue;
        }
        // Multi-byte sequences are copied only when well formed; anything else becomes U+FFFD,
        // so the output is valid UTF-8 whatever the caller passed.
        std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        bool valid = length != 0 && c <= 0xF4 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        if (valid && length >= 3) {
            auto c1 = static_cast<unsigned char>(utf8[i + 1]);
            if (c == 0xE0 && c1 < 0xA0) valid = false;   // overlong
            if (c == 0xED && c1 >= 0xA0) valid = false;  // surrogate
            if (c == 0xF0 && c1 < 0x90) valid = false;   // overlong
            if (c == 0xF4 && c1 >= 0x90) valid = false;  // beyond U+10FFFF
        }
        if (!valid) {
            text_ += "\xEF\xBF\xBD";
            continue;
        }
        text_.append(utf8.substr(i, length));
        i += length - 1;
    }
    text_ += '"';
    return *this;
}

JsonText& JsonText::number(double value) {
    if (!std::isfinite(value)) return null();
    // Whole numbers as integers: the shortest form of -1000000 would be "-1e+06".
    if (std::trunc(value) == value && std::fabs(value) < 1e15) return integer(static_cast<std::int64_t>(value));
    separate();
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    // Fixed notation of very small or large numbers can be long; the shortest form is fine there.
    if (ec != std::errc() || end - buffer > 24) {
        auto shortest = std::to_chars(buffer, buffer + sizeof buffer, value);
        end = shortest.ptr;
        ec = shortest.ec;
    }
    text_.append(buffer, ec == std::errc() ? end : buffer);
    return *this;
}

JsonText& JsonText::integer(std::int64_t value) {
    separate();
    text_ += std::to_string(value);
    return *this;
}

JsonText& JsonText::boolean(bool value) {
    separate();
    text_ += value ? "true" : "false";
    return *this;
}

JsonText& JsonText::null() {
    separate();
    text_ += "null";
    return *this;
}

JsonText& JsonText::raw(std::string_view numberText) {
    separate();
    text_.append(numberText);
    return *this;
}

}  // namespace quibsum
