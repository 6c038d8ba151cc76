#pragma once
// SheetReport: a whole sheet evaluated once, and its two printed forms: the page as a person
// reads it (each line with its result in a right-hand column, then the total) and one JSON
// object for programs.

#include <string>
#include <string_view>
#include <vector>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/PageTotal.h"

namespace quibsum {

struct SheetReport {
    std::vector<std::string> lines;
    std::vector<LineResult> results;
    PageTotal total;

    // `text` is split at every "\n", as a sheet is.
    static SheetReport evaluate(std::string_view text, Engine engine);

    // The text of a line's result column: its display text, "error: " and the message, or
    // nothing for a note.
    static std::string resultText(const LineResult& result);

    std::string plain() const;
    // {"lines": [...], "total": {...}} and a line feed. Values carry their exact decimal text.
    std::string json() const;
};

}  // namespace quibsum
