#pragma once
// One value with its unit and the exchange rate that produced it, if any.

#include <optional>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/OptionalRate.h"
#include "QuibSumCore/Unit.h"

namespace quibsum {

// A percentage is held as a fraction with unit "%" (25% is 0.25 %); a currency as a unit
// whose symbol is its code.
struct Quantity {
    Decimal value;
    std::optional<Unit> unit;
    OptionalRate rate;

    bool hasUnit() const { return unit.has_value(); }
    bool isPercent() const { return unit && unit->symbol == percentSymbol; }
    friend bool operator==(const Quantity&, const Quantity&) = default;
};

}  // namespace quibsum
