#pragma once
// StreamingSheet: a sheet evaluated once, from first line to last, keeping only what later
// lines can still read: the variables, the previous result, the current block's values, the
// typed rates and the values the page total adds up. No line's text, analysis or cache is
// kept, so a command can evaluate a text of millions of lines in little memory. Its results
// are those of Sheet for the same text; Sheet remains the one for an editor, which re-evaluates
// after each edit.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "QuibSumCore/BlockSum.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/Environment.h"
#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/PageTotal.h"

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
    // A sum of line values as BlockSum computes it, kept as it grows rather than as the list of
    // values: a run of values that needs no conversion is one number, so a block or a page of
    // a million numbers costs nothing per line. Values from the first that must be converted on
    // are kept, since the rates may still change before the sum is asked for.
    class RunningSum {
    public:
        void clear();
        void add(const Quantity& q);
        Result<std::optional<BlockSum>> sum(const Engine& engine, const SheetRates& rates) const;

    private:
        // A value of rest_, its unit and rate as indices into units_ and rates_ (0 for none): a
        // page holds few distinct ones, so a kept value costs a third of a Quantity.
        struct Kept {
            Decimal value;
            std::uint32_t unit = 0;
            std::uint32_t rate = 0;
        };
        Quantity quantity(const Kept& kept) const;

        std::optional<BlockSum> fixed_;
        std::vector<Kept> rest_;
        std::vector<Unit> units_;
        std::vector<Rate> rates_;
        // The sum of fixed_ and the first folded_ values of rest_ with partialRates_.
        mutable std::optional<BlockSum> partial_;
        mutable SheetRates partialRates_;
        mutable std::size_t folded_ = 0;
        mutable std::optional<EvaluationError> error_;
    };

    LineResult aggregate(Aggregate kind);

    Engine engine_;
    Environment env_;  // its sheetRates are the rates typed so far
    std::optional<Quantity> prev_;
    RunningSum block_;
    RunningSum page_;  // the counted lines
    LineResult result_ = LineResult::note();
    bool counted_ = false;
};

}  // namespace quibsum
