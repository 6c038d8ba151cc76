#pragma once
// CachedLine: what a sheet keeps of one line's last analysis besides its result, with every
// input the analysis depended on, so that the next pass can tell cheaply whether it still
// holds. The text is the sheet's line itself and the result the sheet's shown result at the
// line's index: replacing a line resets its entry, so an entry never outlives either.
//
// The block an aggregate line read is recorded by stamps rather than by copies of its values.
// A stamp names one value of one line: a line analysed afresh keeps its stamp when its value
// came out the same and otherwise takes the sheet's next, so stamps only grow, and an equal
// stamp means the very value read. The facts the pass checks on every line sit in the entry
// itself, packed into one cache line; what only some lines have is held apart.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "QuibSumCore/LineShape.h"
#include "QuibSumCore/NameRegistration.h"
#include "QuibSumCore/NameTable.h"
#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumCore/Token.h"

namespace quibsum {

using Stamp = std::uint32_t;  // 0: no value

struct CachedLine {
    enum Flag : std::uint8_t {
        value = 1,
        usesPrev = 2,
        aggregate = 4,
        rateDefinition = 8,
        assigns = 16,
        readsVariables = 32,  // variables or registered names were recorded
        asksStore = 64,       // the analysis asked the rate store for a rate
        // The rate store has a new version and the analysis asked it: analyse again.
        ratesStale = 128,
    };
    // Whether a line has a value and whether that value is a definition, which does not join
    // the block: a value that keeps its stamp keeps these too.
    static constexpr std::uint8_t kinds = value | rateDefinition;
    using Shape = LineShape;
    static constexpr std::size_t inlineKeys = 4;

    // What only some lines have, held apart so that the many lines without any of it (a
    // number with a unit, a heading, a blank line) do not carry its room.
    struct Details {
        std::vector<TextRange> variableRanges;  // the assigned name first, then every reference
        // The values, at that time, of the variables the line could have read: first the
        // variable named by each of its name keys, in the keys' order, then every name with
        // spaces it read. Names without a value are absent. Few entries, so a vector beats a map.
        // A name with spaces that the line did not join cannot change its result while the
        // names registered under its first word stay the same, which `registered` tells.
        std::vector<std::pair<NameId, Quantity>> variables;
        // For each of the line's name keys under which names with spaces were registered above
        // it, in the keys' order: the chain of those names at that time.
        std::vector<std::pair<NameId, std::shared_ptr<const NameRegistration>>> registered;
        // For a line that assigns a name with spaces: its link in the chain of its first word,
        // handed on from pass to pass while the chain before it stays the same.
        std::shared_ptr<const NameRegistration> registration;
        // The line's name keys when there are more than the entry holds; empty otherwise.
        std::vector<NameId> keys;
        // The previous result at that time, kept only when the analysis used it; held apart
        // again, like the definition, as few of the lines with details have either.
        std::unique_ptr<const Quantity> previous;
        std::unique_ptr<const SheetRate> rateDefinition;  // for a rate definition line only
        // For a rate definition, the sheet rates after it: handed on when the line is reused, so
        // that the lines below keep comparing equal pointers.
        std::shared_ptr<const SheetRates> ratesAfter;
        // For an aggregate line, the block it read: how many values, the stamp of the first, and
        // the sheet's last stamp at the time. The block is the same exactly when it has as many
        // values, begins with that one, and none has a later stamp: lines keep their order, so
        // such values are the very lines read then (see Sheet::Pass::reusable).
        std::uint32_t blockSize = 0;
        Stamp blockFirst = 0;
        Stamp blockSeen = 0;
    };

    // The rates the analysis saw; null until the line is analysed. Shared and immutable:
    // consecutive lines see the same rates, so an equal pointer settles the comparison.
    std::shared_ptr<const SheetRates> sheetRates;
    std::unique_ptr<Details> details;  // null when the line has none of them
    // The line's name keys, here when they fit, else all of them in the details.
    std::array<NameId, inlineKeys> keys{};
    NameId assigned = 0;     // with `assigns`: the assigned name
    NameId assignedKey = 0;  // and its first word (the name itself when it has one word)
    Stamp stamp = 0;         // with `value`: the stamp of the line's value
    std::uint8_t keyCount = 0;
    std::uint8_t flags = 0;
    Shape shape = Shape::blank;

    bool analysed() const { return sheetRates != nullptr; }
    // The entry for a new text of this line: not analysed, but with the stamp and kind of the
    // value shown so far, which the new text keeps if it comes to the same value.
    CachedLine replaced() const {
        CachedLine fresh;
        fresh.stamp = stamp;
        fresh.flags = flags & kinds;
        fresh.shape = shape;
        return fresh;
    }
    bool has(Flag f) const { return (flags & f) != 0; }
    std::span<const NameId> nameKeys() const {
        if (keyCount > inlineKeys) return details->keys;
        return {keys.data(), keyCount};
    }

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
    std::span<const std::pair<NameId, std::shared_ptr<const NameRegistration>>> registered() const {
        return details
                   ? std::span<const std::pair<NameId, std::shared_ptr<const NameRegistration>>>(details->registered)
                   : std::span<const std::pair<NameId, std::shared_ptr<const NameRegistration>>>();
    }
    const Quantity* previous() const { return details ? details->previous.get() : nullptr; }
};

}  // namespace quibsum
