#pragma once
// BlockSum: the sum of a run of line values, as an aggregate line ("sum", "average") and the
// page total compute it. Percentages are left out; the first value summed fixes the unit and
// every other value is converted into it with the sheet's rates and the engine's default
// VND rate kind.

#include <optional>
#include <span>

#include "QuibSumCore/Aggregate.h"
#include "QuibSumCore/EvaluationError.h"
#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/PageTotal.h"
#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Rate.h"

namespace quibsum {

class Engine;

struct BlockSum {
    Quantity sum;
    int count = 0;  // values summed, percentages excluded

    // No value: nothing could be summed. A failed conversion fails the whole sum with its own
    // error; a NaN sum fails with the invalid-result kind. Sets `askedStore` when a conversion
    // asked the rate store for a rate.
    static Result<std::optional<BlockSum>> of(std::span<const Quantity* const> values, const Engine& engine,
                                              const SheetRates& sheetRates, bool& askedStore);
    static Result<std::optional<BlockSum>> of(std::span<const Quantity* const> values, const Engine& engine,
                                              const SheetRates& sheetRates) {
        bool askedStore = false;
        return of(values, engine, sheetRates, askedStore);
    }

    // The steps of a sum, for those that keep one as it grows. Each adds a value that is not a
    // percentage to a sum that has one already.
    //
    // Adds `q` as it is when it needs no conversion: it is in the sum's unit or has none (a sum
    // without a unit takes q's). False, with the sum unchanged, when it must be converted.
    bool addUnconverted(const Quantity& q);
    // Adds `q`, converted into the sum's unit when it must be; the conversion's failure, with
    // the sum unchanged, when it cannot be.
    std::optional<EvaluationError> add(const Quantity& q, const Engine& engine, const SheetRates& sheetRates,
                                       bool& askedStore);
    // A finished sum as `of` hands it back: a NaN sum is the invalid-result failure.
    static Result<std::optional<BlockSum>> finished(const std::optional<BlockSum>& sum);

    friend bool operator==(const BlockSum&, const BlockSum&) = default;
};

// What a "sum" or "average" line shows for its block's sum: the sum or the mean, nothing for an
// empty block, or the failure's message.
LineResult aggregateResultOf(const Result<std::optional<BlockSum>>& sum, Aggregate kind, const Engine& engine);

// The page total a sum of the counted lines makes: its value, nothing to sum, units that do
// not add up, or the failure's message.
PageTotal pageTotalOf(const Result<std::optional<BlockSum>>& sum, const Engine& engine);

}  // namespace quibsum
