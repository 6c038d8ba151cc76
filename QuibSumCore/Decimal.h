#pragma once
// Decimal: the engine's exact base-10 number. A sign, an unsigned mantissa of at most
// 38 significant digits, an exponent from -128 to 127, and a distinct NaN. Results of
// arithmetic are rounded to 38 significant digits, halves away from zero; an overflow or a
// division by zero gives NaN. A small trivially copyable value: it never allocates.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quibsum {

enum class RoundingMode { plain, down, up };  // halves away from zero; towards -inf; towards +inf

enum class CalculationStatus { noError, lossOfPrecision, underflow, overflow, divideByZero };

class Decimal {
public:
    static constexpr int maxDigits = 38;
    static constexpr int minExponent = -128;
    static constexpr int maxExponent = 127;

    constexpr Decimal() = default;  // zero
    constexpr Decimal(int v) : Decimal(static_cast<long long>(v)) {}
    constexpr Decimal(long long v)
        : mantissa_(v < 0 ? static_cast<unsigned __int128>(-(v + 1)) + 1 : static_cast<unsigned __int128>(v)),
          negative_(v < 0) { normalize(); }

    static Decimal fromDouble(double d);  // the shortest decimal that reads back as d; NaN for inf/NaN
    static constexpr Decimal nan() { Decimal d; d.nan_ = true; return d; }
    // Parses "[+-]digits[.digits][e[+-]digits]" (also ".5"), POSIX form, no grouping, no blanks.
    // Rounds to 38 significant digits; nullopt for anything else or a value out of range.
    static std::optional<Decimal> parse(std::string_view text);

    bool isNaN() const { return nan_; }
    bool isZero() const { return !nan_ && mantissa_ == 0; }
    bool isNegative() const { return !nan_ && negative_ && mantissa_ != 0; }

    friend Decimal operator+(const Decimal& a, const Decimal& b);
    friend Decimal operator-(const Decimal& a, const Decimal& b);
    friend Decimal operator*(const Decimal& a, const Decimal& b);
    friend Decimal operator/(const Decimal& a, const Decimal& b);
    Decimal& operator+=(const Decimal& o) { return *this = *this + o; }
    Decimal& operator-=(const Decimal& o) { return *this = *this - o; }
    Decimal& operator*=(const Decimal& o) { return *this = *this * o; }
    Decimal& operator/=(const Decimal& o) { return *this = *this / o; }
    Decimal operator-() const;
    Decimal magnitude() const;

    // Numeric comparison. NaN equals only NaN and is ordered before every number, so that
    // values can be compared and sorted without surprises.
    friend bool operator==(const Decimal& a, const Decimal& b);
    friend bool operator<(const Decimal& a, const Decimal& b);
    friend bool operator>(const Decimal& a, const Decimal& b) { return b < a; }
    friend bool operator<=(const Decimal& a, const Decimal& b) { return !(b < a); }
    friend bool operator>=(const Decimal& a, const Decimal& b) { return !(a < b); }

    double toDouble() const;  // NaN for NaN
    // Plain decimal text, never exponent notation: "-1234.5", "0.001", "0"; "NaN" for NaN.
    std::string toString() const;
    // Writes toString() into buf (at least maxStringLength bytes), returns the length. No allocation.
    static constexpr int maxStringLength = 176;
    int write(char* buf) const;

    // Rounded to `scale` digits after the point (negative scale rounds to tens, hundreds…).
    Decimal rounded(int scale, RoundingMode mode) const;
    // base raised to the integer n, rounded in `mode`; the status tells what happened.
    // Overflow and division by zero (0 raised to a negative n) give NaN.
    static Decimal power(const Decimal& base, long n, RoundingMode mode, CalculationStatus& status);

    // Raw parts, for formatting and tests: value = (-1)^negative * mantissa * 10^exponent.
    unsigned __int128 mantissa() const { return mantissa_; }
    int exponent() const { return exponent_; }
    int digitCount() const;  // significant digits of the mantissa (1 for zero)

private:
    constexpr void normalize() {
        if (mantissa_ == 0) { exponent_ = 0; negative_ = false; return; }
        while (mantissa_ % 10 == 0 && exponent_ < maxExponent) { mantissa_ /= 10; ++exponent_; }
    }

    unsigned __int128 mantissa_ = 0;  // at most 38 digits, trailing zeros removed
    std::int16_t exponent_ = 0;
    bool negative_ = false;
    bool nan_ = false;
};

}  // namespace quibsum
