#pragma once
// StreamingSheet: a sheet evaluated once, from first line to last, keeping only what later
// lines can still read: the variables, the previous result, the current block's values, the
// typed rates and the values the page total adds up. No line's text, analysis or cache is
// kept, so a command can evaluate a text of millions of lines in little memory. Its results
// are those of Sheet for the same text (both take each line's step from LineStep); Sheet
// remains the one for an editor, which re-evaluates after each edit.

#include <optional>
#include <string_view>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/Environment.h"
#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/PageTotal.h"
#include "QuibSumCore/RunningSum.h"

namespace quibsum {

class StreamingSheet {
public:
    explicit StreamingSheet(Engine engine);

    // Evaluates the next line (without its line feed); the result is valid until the next call.
    const LineResult& add(std::string_view line);
    // Whether the last line takes part in the page total.
    bool counted() const { return counted_; }
    // The page total of the lines so far.
    PageTotal total() const;

private:
    struct Context;

    Engine engine_;
    Environment env_;  // its sheetRates are the rates typed so far
    std::optional<Quantity> prev_;
    RunningSum block_;
    RunningSum page_;  // the counted lines
    LineResult result_ = LineResult::note();
    bool counted_ = false;
};

}  // namespace quibsum
