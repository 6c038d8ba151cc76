#pragma once
// LineStep: what one line of a sheet is to the lines around it. Every walk down a sheet's lines
// takes these steps: Sheet, which keeps the lines and their analyses for editing, and
// StreamingSheet, which reads each line once. They differ in what they keep, not in what a
// line means.
//
// The lines above a line leave it a context: the previous result, the values of the current
// block, the variables and the rates typed so far.
// - Before its analysis, a blank line or a heading ends the block above it.
// - Its analysis is then completed with what only the sheet knows: "prev" with no previous
//   result is an error, and an aggregate line ("sum", "average") shows its block's sum.
// - After it, the line passes on: a rate definition with a value changes the rates and leaves
//   no previous result; any other value becomes the previous result, joins the block and, when
//   the line assigns it, names a variable; a line without a value leaves no previous result,
//   except a blank line, which lets it through.
// - A line takes part in the page total unless it is an aggregate or a rate definition.

#include <string>

#include "QuibSumCore/BlockSum.h"
#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/LineAnalysis.h"
#include "QuibSumCore/LineShape.h"

namespace quibsum {

struct LineStep {
    LineShape shape = LineShape::other;
    bool value = false;        // the line's result is a value
    bool definesRate = false;  // the line is a rate definition
    bool assigns = false;      // the line assigns its value to a name
    bool aggregate = false;    // the line is an aggregate

    // The step of a line whose analysis is complete (see completeAnalysis).
    static LineStep of(LineShape shape, const LineAnalysis& a) {
        return {shape, a.result.isValue(), a.rateDefinition.has_value(), a.assignedName.has_value(),
                a.aggregate.has_value()};
    }

    // Whether the line ends the block above it; to be taken before its analysis.
    static bool endsBlock(LineShape shape) { return shape != LineShape::other; }

    // Completes a line's analysis in its sheet. `blockSum(askedStore)` is the sum of the
    // current block's values as BlockSum::of computes it, setting `askedStore` when a conversion
    // asked the rate store; the analysis then records that it did.
    template <class BlockSumOf>
    static void completeAnalysis(LineAnalysis& a, bool hasPrevious, BlockSumOf&& blockSum, const Engine& engine) {
        if (a.usesPrev && !hasPrevious) a.result = LineResult::error(std::string(messages::noPreviousResult));
        if (a.aggregate) {
            bool askedStore = false;
            a.result = aggregateResultOf(blockSum(askedStore), *a.aggregate, engine);
            a.asksRateStore = a.asksRateStore || askedStore;
        }
    }

    bool counted() const { return !aggregate && !definesRate; }

    // Hands the line's effect on the context to the walk's own record of it, which provides:
    // defineRate() (the line's definition applies from now on), forgetPrevious(), assign() (the
    // line's value under its name), setPrevious() (the line's value) and addToBlock() (the same).
    template <class Context>
    void passOn(Context& context) const {
        if (value && definesRate) {
            context.defineRate();
            context.forgetPrevious();
        } else if (value) {
            if (assigns) context.assign();
            context.setPrevious();
            context.addToBlock();
        } else if (shape != LineShape::blank) {
            context.forgetPrevious();
        }
    }
};

}  // namespace quibsum
