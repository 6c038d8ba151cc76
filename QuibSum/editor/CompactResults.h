#pragma once
// CompactResults: every line's result of a sheet evaluated once, from first line to last, by
// the same streaming pass as `quibsum sheet` (StreamingSheet), kept as the text the results
// column shows: the display texts and messages end to end in one string, an offset and a kind
// per line, and the page total. A few bytes per line beyond the text, where a Sheet keeps each
// line's analysis. A value: made on one thread, then read on another.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/PageTotal.h"

namespace quibsum {

class LineIndexedText;

class CompactResults {
public:
    enum class Kind : std::uint8_t { note, value, error };

    // Evaluates `text` with `engine`. `stopped` is asked now and then; once it says yes the
    // work ends and nothing is returned.
    static std::optional<CompactResults> evaluate(const LineIndexedText& text, Engine engine,
                                                  const std::function<bool()>& stopped = {});

    std::size_t lineCount() const { return kinds_.size(); }
    // Past the last line: a note.
    Kind kind(std::size_t line) const { return line < kinds_.size() ? kinds_[line] : Kind::note; }
    // A value's display text, an error's message (untranslated), nothing for a note.
    std::string_view text(std::size_t line) const;
    const PageTotal& total() const { return total_; }
    std::size_t heapBytes() const;

private:
    std::string texts_;
    std::vector<std::uint32_t> ends_;  // where each line's text ends in texts_
    std::vector<Kind> kinds_;
    PageTotal total_;
};

}  // namespace quibsum
