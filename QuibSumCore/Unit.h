#pragma once
// The names of units: UnitID as the lexer reads it, Unit as a quantity carries it.

#include <string>

#include "QuibSumCore/UnitSymbol.h"

namespace quibsum {

// A canonical unit symbol from the unit vocabulary ("km", "m²", "KiB", "C").
struct UnitID {
    std::string raw;
    friend bool operator==(const UnitID&, const UnitID&) = default;
};

// The unit of a quantity: a symbol of the unit registry, an upper-case ISO 4217 currency
// code, or "%" for a percentage. A symbol is a currency exactly when it is neither "%" nor
// a registered unit.
struct Unit {
    UnitSymbol symbol;
    friend bool operator==(const Unit&, const Unit&) = default;
};

inline const char* const percentSymbol = "%";

}  // namespace quibsum
