#pragma once
// How text stands in a terminal: how many columns it takes, and a form of it safe to print in
// a column (no control characters that would move the cursor).

#include <cstddef>
#include <string>
#include <string_view>

namespace quibsum::TerminalText {

// Columns taken by UTF-8 text: combining marks and format characters take none, wide East
// Asian characters two, everything else one.
std::size_t width(std::string_view utf8);

// Every control character and line break (tabs, U+2028 and U+2029 included) replaced by a space.
std::string printable(std::string_view utf8);

// `text` right-aligned in `columns` columns (unchanged when it is wider).
std::string padLeft(std::string_view text, std::size_t columns);
std::string padRight(std::string_view text, std::size_t columns);

}  // namespace quibsum::TerminalText
