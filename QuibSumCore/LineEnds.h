#pragma once
// The one line end of a sheet's text. A text may arrive with "\r\n", a lone "\r", or the
// Unicode line and paragraph separators (U+2028, U+2029, which a text view would also break
// at); each becomes "\n", where a sheet splits its lines. Every text that becomes a sheet's
// lines (typed, pasted, stored, appended or read by a command) passes through here first, so
// that the window and the command line see the same lines.

#include <cstddef>
#include <utility>

namespace quibsum::LineEnds {

// Whether a UTF-16 unit ends a line and is not "\n".
constexpr bool isOtherLineEnd(char16_t unit) { return unit == u'\r' || unit == u'\u2028' || unit == u'\u2029'; }

// `text` with every line end made "\n". For a string of 16-bit units with data(), size() and
// resize(): QString or std::u16string. A text with no other line end is handed back as it is,
// without writing to it (a shared QString is not copied).
template <class Text>
Text withLineFeeds(Text text) {
    auto unitAt = [](const auto& c) -> char16_t {
        if constexpr (requires { c.unicode(); })
            return c.unicode();
        else
            return c;
    };
    const std::size_t size = static_cast<std::size_t>(text.size());
    const auto* read = std::as_const(text).data();
    std::size_t first = 0;
    while (first < size && !isOtherLineEnd(unitAt(read[first]))) ++first;
    if (first == size) return text;

    auto* units = text.data();
    std::size_t out = first;
    for (std::size_t in = first; in < size; ++in) {
        const char16_t c = unitAt(units[in]);
        if (!isOtherLineEnd(c)) {
            units[out++] = units[in];
            continue;
        }
        units[out++] = u'\n';
        if (c == u'\r' && in + 1 < size && unitAt(units[in + 1]) == u'\n') ++in;
    }
    text.resize(static_cast<decltype(text.size())>(out));
    return text;
}

}  // namespace quibsum::LineEnds
