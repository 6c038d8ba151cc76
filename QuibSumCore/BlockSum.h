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
    // error; a NaN sum fails with the invalid-result message.
    static Result<std::optional<BlockSum>> of(std::span<const Quantity* const> values, const Engine& engine,
                                              const SheetRates& sheetRates);

    friend bool operator==(const BlockSum&, const BlockSum&) = default;
};

// What a "sum" or "average" line shows for its block's sum: the sum or the mean, nothing for an
// empty block, or the failure's message.
LineResult aggregateResultOf(const Result<std::optional<BlockSum>>& sum, Aggregate kind, const Engine& engine);

// The page total a sum of the counted lines makes: its value, nothing to sum, units that do
// not add up, or the failure's message.
PageTotal pageTotalOf(const Result<std::optional<BlockSum>>& sum, const Engine& engine);

}  // namespace quibsum
