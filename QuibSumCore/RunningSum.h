#pragma once
// RunningSum: a sum of line values as BlockSum computes it, kept as it grows rather than as the
// list of values: a run of values that needs no conversion is one number, so a block or a page
// of a million numbers costs nothing per line. Values from the first that must be converted on
// are kept, since the rates may still change before the sum is asked for.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "QuibSumCore/BlockSum.h"
#include "QuibSumCore/EvaluationError.h"
#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Rate.h"

namespace quibsum {

class Engine;

class RunningSum {
public:
    void clear();
    void add(const Quantity& q);
    // What BlockSum::of gives for the values added since the last clear, with these rates. Sets
    // `askedStore` when a conversion asked the rate store for a rate.
    Result<std::optional<BlockSum>> sum(const Engine& engine, const SheetRates& rates, bool& askedStore) const;

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
    mutable bool askedStore_ = false;  // a conversion into partial_ asked the rate store
};

}  // namespace quibsum
