#include "QuibSumCore/LineShape.h"

#include "QuibSumCore/Lexicon.h"
#include "QuibSumCore/Utf8.h"

namespace quibsum {

LineShape lineShapeOf(std::string_view line) {
    std::size_t pos = 0;
    while (pos < line.size()) {
        const char32_t c = utf8::decode(line, pos);
        if (!Lexicon::isWhiteSpace(c)) return c == U'#' ? LineShape::heading : LineShape::other;
    }
    return LineShape::blank;
}

}  // namespace quibsum
