#pragma once
// UnitRegistry: the fixed table of physical units (dimension and factor to the dimension's
// base unit) and the conversion between two of them. Currencies and "%" are not in it; that
// is how the rest of the engine tells a physical unit from a currency.
//
// The table is built once on first use and is read-only afterwards, so every function here
// may be called from any thread. Look-ups never allocate.

#include <span>
#include <string>
#include <string_view>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/EvaluationError.h"

namespace quibsum::UnitRegistry {

// Dimension names. Definitions point at these, so comparing two dimensions is cheap.
namespace dimensions {
inline constexpr std::string_view length = "length";            // base: metre
inline constexpr std::string_view area = "area";                // base: square metre
inline constexpr std::string_view volume = "volume";            // base: litre
inline constexpr std::string_view mass = "mass";                // base: gram
inline constexpr std::string_view temperature = "temperature";  // converted by formula
inline constexpr std::string_view duration = "duration";        // base: second
inline constexpr std::string_view data = "data";                // base: bit
}  // namespace dimensions

struct Definition {
    std::string_view dimension;  // one of `dimensions`
    Decimal factor;              // base units in one unit (1 for temperatures, unused)
    friend bool operator==(const Definition&, const Definition&) = default;
};

struct Entry {
    std::string symbol;
    Definition definition;
};

// The definition of a registered symbol ("km", "m²", "KiB", "C"); nullptr for anything else
// (a currency code, "%"). Symbols are case-sensitive: "MB" is a megabyte, "mb" nothing.
const Definition* definition(std::string_view symbol);

inline bool isRegistered(std::string_view symbol) { return definition(symbol) != nullptr; }

// `value` in `from` expressed in `to`. Fails with the unit-mismatch message when either
// symbol is not registered or the dimensions differ. Multiplies before dividing so that
// exact factors give exact results (1 acre is 0.40468564224 ha).
Result<Decimal> convert(const Decimal& value, std::string_view from, std::string_view to);

// Every registered unit, sorted by symbol (byte order).
std::span<const Entry> entries();

}  // namespace quibsum::UnitRegistry
