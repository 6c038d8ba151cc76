#pragma once
// How a line stands in its block and in the chain of previous results, from its first
// character that is not white space (any Unicode white space, no-break spaces included):
// none (a blank line), "#" (a heading or a comment), or another. The sheet ends a block at a
// blank line or a heading, and the editor styles a heading line as one; both ask here.

#include <cstdint>
#include <string_view>

namespace quibsum {

enum class LineShape : std::uint8_t { blank, heading, other };

// `line` is UTF-8; ill-formed sequences count as characters that are not white space.
LineShape lineShapeOf(std::string_view line);

inline bool isHeadingLine(std::string_view line) { return lineShapeOf(line) == LineShape::heading; }

}  // namespace quibsum
