#pragma once
// ResultFormatter: the display text of a quantity (a line's value, a rate, the page total)
// in one number style.
//
// Plain numbers, percentages and physical units print with at most 10 significant digits,
// VND as a whole number followed by " ₫", any other currency with exactly 2 decimals followed
// by its code. Rounding is half-up on the exact decimal, never through a binary double (a
// negative value exactly halfway goes away from zero too), and the text never uses exponent
// notation. Formatting is a pure function: no cache, no mutable shared state, so any thread
// may call it. It allocates at most the returned string.

#include <string>
#include <string_view>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/NumberStyle.h"
#include "QuibSumCore/Quantity.h"
#include "QuibSumCore/Rate.h"

namespace quibsum::ResultFormatter {

enum class Category { number, vnd, currency };

constexpr std::string_view name(Category c) {
    return c == Category::number ? "number" : c == Category::vnd ? "vnd" : "currency";
}

// "%", then a registered unit, then "VND", then any other symbol; no unit is a number.
Category category(const Quantity& quantity);

std::string format(const Quantity& quantity, NumberStyle style);

// The display text of a rate typed in a sheet: "1 USD = 25,000 ₫" (the rate as a number,
// VND written as its sign).
std::string formatRate(const SheetRate& rate, NumberStyle style);

// Only the number part, as `format` writes it for a value of `category` (a percentage is
// passed already multiplied by 100). Writes into buf (at least maxNumberLength bytes) and
// returns the length; never allocates.
inline constexpr int maxNumberLength = 384;
int writeNumber(const Decimal& value, Category category, NumberStyle style, char* buf);

}  // namespace quibsum::ResultFormatter
