#pragma once
// Every conversion of a quantity into another unit or currency inside the engine: physical
// units through the unit registry; currencies through the rates typed in the sheet, then the
// bank's rates against VND, then mid-market cross rates through USD. Also applies inline rates
// ("100 USD @ 25000").

#include <optional>
#include <string_view>

#include "QuibSumCore/EvaluationError.h"
#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumCore/RateStore.h"

namespace quibsum {

// A unit is a currency when it is neither "%" nor a registered physical unit.
bool isCurrency(std::string_view symbol);
inline bool isCurrency(const std::optional<Unit>& unit) { return unit && isCurrency(unit->symbol); }

class CurrencyConverter {
public:
    explicit CurrencyConverter(const RateStore& rates) : rates_(rates) {}

    // `q` expressed in `target`. Fails with the unit-mismatch message between a plain number and
    // a unit, across dimensions, or between a percentage and anything else; with the no-rate
    // message when no source knows the currency pair. Sets `askedStore` when it asked the rate
    // store for a rate (and leaves it alone otherwise): the outcome may then change with a new
    // version of the store's tables.
    Result<Quantity> convert(const Quantity& q, const std::optional<Unit>& target, RateKind kind,
                             const SheetRates& sheetRates, bool& askedStore) const;

    // `amount` converted at `rate` (an amount of a currency per unit, or a plain number), into
    // `target` when one is named.
    Result<Quantity> applyInlineRate(const Quantity& amount, const Quantity& rate,
                                     std::optional<std::string_view> target, RateKind kind) const;

    // The factor that converts one `from` into `to` with the rates typed in a sheet: directly,
    // inversely, or through one intermediate currency (VND first, then by code).
    static std::optional<Decimal> sheetFactor(const std::string& from, const std::string& to, const SheetRates& rates);

private:
    std::optional<Rate> ask(std::string_view from, std::string_view to, RateKind kind, bool& asked) const;

    const RateStore& rates_;
};

}  // namespace quibsum
