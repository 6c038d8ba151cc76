#pragma once
// SheetReport: a whole sheet evaluated once and written in one of two forms: the page as a
// person reads it (each line with its result in a right-hand column, then the total) or one
// JSON object for programs. Lines are evaluated as they are written (StreamingSheet), so the
// memory a report takes grows with what is printed, not with what an editor would keep.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/PageTotal.h"

namespace quibsum {

struct SheetReport {
    // `text` is split at every "\n", as a sheet is.
    static void writePlain(std::string_view text, Engine engine, std::ostream& out);
    // {"lines": [...], "total": {...}} and a line feed. Values carry their exact decimal text.
    static void writeJson(std::string_view text, Engine engine, std::ostream& out);
    // Evaluates every line of `text` in order and calls `visit` with each line's index and result.
    static PageTotal evaluate(std::string_view text, Engine engine,
                              const std::function<void(std::size_t, std::string_view, const LineResult&)>& visit);

    // The text of a line's result column: its display text, "error: " and the message, or
    // nothing for a note.
    static std::string resultText(const LineResult& result);
};

}  // namespace quibsum
