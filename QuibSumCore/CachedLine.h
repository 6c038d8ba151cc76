#pragma once
// CachedLine: the last analysis of one sheet line, reduced to what the sheet shows and
// reuses, together with every input it was computed from, so that the next pass can tell by
// comparing values whether the analysis still holds. The text it was computed from is the
// sheet's line itself: replacing a line drops its entry, so an entry never outlives its text
// and the sheet does not hold the text twice. Names are held as numbers of the sheet's
// NameTable; the facts the pass checks on every line (flags, name keys, assigned name) sit in
// the sheet's slot beside the entry.

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/NameTable.h"
#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumCore/Token.h"

namespace quibsum {

struct CachedLine {
    // The values of a block, newest first, as an immutable shared list: the aggregate lines of
    // one block share it instead of each holding a copy (a running total on every other line
    // would otherwise keep a quadratic number of values), and a shared tail compares equal by
    // pointer without walking it. Each value is the one shown by its line, shared with that
    // line's entry rather than copied.
    struct BlockNode {
        std::shared_ptr<const Quantity> value;
        std::shared_ptr<const BlockNode> previous;
        std::size_t size = 0;  // values up to and including this one
    };

    // What only some lines have, held apart so that the many lines without any of it (a
    // number with a unit, a heading, a blank line) do not carry its room.
    struct Details {
        std::vector<TextRange> variableRanges;  // the assigned name first, then every reference
        // The values, at that time, of every variable the line could have read: under each of
        // its name keys, the variable of that name and every multi-word name registered under
        // it. Names without a value are absent. Few entries, so a vector beats a map.
        std::vector<std::pair<NameId, Quantity>> variables;
        // The line's name keys when there are more than its slot holds; empty otherwise.
        std::vector<NameId> keys;
        // The previous result at that time, kept only when the analysis uses it; held apart
        // again, like the definition, as few of the lines with details have either.
        std::unique_ptr<const Quantity> previous;
        std::unique_ptr<const SheetRate> rateDefinition;  // for a rate definition line only
        std::shared_ptr<const BlockNode> block;           // kept only for aggregate lines; null when empty
        // For a rate definition, the sheet rates after it: handed on when the line is reused, so
        // that the lines below keep comparing equal pointers.
        std::shared_ptr<const SheetRates> ratesAfter;
    };

    // The result as finally shown: the missing-previous-result and aggregate rules applied.
    LineResult result = LineResult::note();
    // Shared and immutable: consecutive lines see the same rates, so they share one copy and
    // an equal pointer settles the comparison without walking the map.
    std::shared_ptr<const SheetRates> sheetRates;
    std::int64_t ratesVersion = 0;
    std::unique_ptr<Details> details;  // null when the line has none of them

    Details& writableDetails() {
        if (!details) details = std::make_unique<Details>();
        return *details;
    }
    std::span<const TextRange> variableRanges() const {
        return details ? std::span<const TextRange>(details->variableRanges) : std::span<const TextRange>();
    }
    std::span<const std::pair<NameId, Quantity>> variables() const {
        return details ? std::span<const std::pair<NameId, Quantity>>(details->variables)
                       : std::span<const std::pair<NameId, Quantity>>();
    }
    std::span<const NameId> keys() const {
        return details ? std::span<const NameId>(details->keys) : std::span<const NameId>();
    }
    const Quantity* previous() const { return details ? details->previous.get() : nullptr; }
    const SheetRate* rateDefinition() const { return details ? details->rateDefinition.get() : nullptr; }
    const BlockNode* block() const { return details ? details->block.get() : nullptr; }
};

}  // namespace quibsum
