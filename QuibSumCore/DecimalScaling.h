#pragma once
// Multiplying a Decimal by 10^k by moving its exponent: the exact product, rounded (or made
// NaN on overflow) exactly as the multiplication or division by 10^k would round it, without
// the cost of the 256-bit arithmetic. Unit factors such as 1000 and percentages use it.

#include "QuibSumCore/Decimal.h"

namespace quibsum {

inline Decimal scaledByPowerOfTen(const Decimal& v, int k) {
    return v.isNaN() ? v : Decimal::fromParts(v.isNegative(), v.mantissa(), v.exponent() + k);
}

}  // namespace quibsum
