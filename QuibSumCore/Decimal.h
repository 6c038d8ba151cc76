#pragma once
// Decimal: the engine's exact base-10 number. A sign, an unsigned mantissa of at most
// 38 significant digits, an exponent from -128 to 127, and a distinct NaN. Results of
// arithmetic are rounded to 38 significant digits, halves away from zero; an overflow or a
// division by zero gives NaN, and NaN in any operand gives NaN. A result too small for the
// exponent range is rounded to the nearest multiple of 10^-128, so it loses digits gradually
// and ends as zero, which never carries a sign. A small trivially copyable value: it never
// allocates.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quibsum {

// The mantissa's type; __extension__ keeps -Wpedantic quiet about the compiler built-in.
__extension__ typedef unsigned __int128 UInt128;

enum class RoundingMode { plain, down, up };  // halves away from zero; towards -inf; towards +inf

enum class CalculationStatus { noError, lossOfPrecision, underflow, overflow, divideByZero };

namespace detail {

// m is a multiple of 10^k exactly when its low k bits are zero and m >> k is a multiple of 5^k.
// Multiplying by the inverse of 5^k modulo 2^128 maps the multiples of 5^k, and only them, onto
// 0 .. (2^128 - 1) / 5^k, and gives their quotient. Decimal strips trailing zeros with these.
struct TenPowerStep {
    int digits;
    std::uint64_t lowBits;  // 2^digits - 1
    UInt128 inverse;        // of 5^digits, modulo 2^128
    UInt128 limit;          // (2^128 - 1) / 5^digits
    static constexpr TenPowerStep of(int k) {
        UInt128 five = 1;
        for (int i = 0; i < k; ++i) five *= 5;
        UInt128 inverse = five;  // right in the low 3 bits; each step doubles that
        for (int i = 0; i < 7; ++i) inverse *= 2 - five * inverse;
        return {k, (std::uint64_t{1} << k) - 1, inverse, ~static_cast<UInt128>(0) / five};
    }
};
// The mantissa as two 64-bit halves: a Decimal is then aligned to 8 bytes rather than 16 and
// takes 24 bytes rather than 32 in every value, result and cache that holds one. Reads and
// writes as a UInt128.
struct PackedUInt128 {
    std::uint64_t low = 0;
    std::uint64_t high = 0;

    constexpr PackedUInt128() = default;
    constexpr PackedUInt128(UInt128 v)
        : low(static_cast<std::uint64_t>(v)), high(static_cast<std::uint64_t>(v >> 64)) {}
    constexpr operator UInt128() const { return (static_cast<UInt128>(high) << 64) | low; }
};

// 16, 16, 8, 4, 2 and 1 digits add up to every count of trailing zeros a mantissa can have.
inline constexpr TenPowerStep kTenPowerSteps[] = {TenPowerStep::of(16), TenPowerStep::of(16), TenPowerStep::of(8),
                                                  TenPowerStep::of(4),  TenPowerStep::of(2),  TenPowerStep::of(1)};

}  // namespace detail

class Decimal {
public:
    static constexpr int maxDigits = 38;
    static constexpr int minExponent = -128;
    static constexpr int maxExponent = 127;

    constexpr Decimal() = default;  // zero
    constexpr Decimal(int v) : Decimal(static_cast<long long>(v)) {}
    constexpr Decimal(long long v)
        : mantissa_(v < 0 ? static_cast<UInt128>(-(v + 1)) + 1 : static_cast<UInt128>(v)), negative_(v < 0) {
        normalize();
    }

    static Decimal fromDouble(double d);  // the shortest decimal that reads back as d; NaN for inf/NaN
    static constexpr Decimal nan() {
        Decimal d;
        d.nan_ = true;
        return d;
    }
    // Parses "[+-]digits[.digits][e[+-]digits]" (also ".5"), POSIX form, no grouping, no blanks.
    // Rounds to 38 significant digits, and below 10^-128 like arithmetic does (1e-200 reads as 0);
    // nullopt for anything else or a value too large. Any text is safe, however long.
    static std::optional<Decimal> parse(std::string_view text);

    constexpr bool isNaN() const { return nan_; }
    constexpr bool isZero() const { return !nan_ && UInt128(mantissa_) == 0; }
    constexpr bool isNegative() const { return !nan_ && negative_ && UInt128(mantissa_) != 0; }

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
    // A rounding up beyond the largest value gives NaN.
    Decimal rounded(int scale, RoundingMode mode) const;
    // base raised to the integer n by repeated squaring, every product rounded in `mode`; a
    // negative n gives 1 / base^|n|, rounded in `mode` too. x^0 is 1, also for x = 0. The status
    // tells what happened: overflow or divideByZero (0 raised to a negative n, or a power so small
    // that it became 0) with a NaN result; underflow when digits were lost below 10^-128;
    // lossOfPrecision when anything was rounded; noError otherwise, NaN in included.
    static Decimal power(const Decimal& base, long n, RoundingMode mode, CalculationStatus& status);

    // The value (-1)^negative * mantissa * 10^exponent, rounded like an arithmetic result (any
    // mantissa, any exponent); NaN when it is too large.
    static Decimal fromParts(bool negative, UInt128 mantissa, int exponent);

    // Raw parts, for formatting and tests: value = (-1)^negative * mantissa * 10^exponent.
    constexpr UInt128 mantissa() const { return mantissa_; }
    constexpr int exponent() const { return exponent_; }
    int digitCount() const;  // significant digits of the mantissa (1 for zero)

private:
    friend struct DecimalParts;  // the arithmetic in Decimal.cpp builds results from raw parts

    // Strips trailing zeros into the exponent, up to the largest exponent: a few tests of the
    // low bits and multiplications (see detail::TenPowerStep), never a division.
    constexpr void normalize() {
        const auto low = mantissa_.low;
        const auto high = mantissa_.high;
        if ((low | high) == 0) {
            exponent_ = 0;
            negative_ = false;
            return;
        }
        // Most results end in another digit: odd, or not a multiple of 5 (2^64 leaves 1 by 5).
        if ((low & 1) != 0) return;
        if ((low % 5 + high % 5) % 5 != 0) return;
        stripZeros(detail::kTenPowerSteps[0]);
        stripZeros(detail::kTenPowerSteps[1]);
        stripZeros(detail::kTenPowerSteps[2]);
        stripZeros(detail::kTenPowerSteps[3]);
        stripZeros(detail::kTenPowerSteps[4]);
        stripZeros(detail::kTenPowerSteps[5]);
    }
    constexpr void stripZeros(const detail::TenPowerStep& step) {
        if (exponent_ > maxExponent - step.digits || (mantissa_.low & step.lowBits) != 0) return;
        const UInt128 q = (UInt128(mantissa_) >> step.digits) * step.inverse;
        if (q > step.limit) return;
        mantissa_ = q;
        exponent_ = static_cast<std::int16_t>(exponent_ + step.digits);
    }

    detail::PackedUInt128 mantissa_;  // at most 38 digits, trailing zeros removed
    std::int16_t exponent_ = 0;
    bool negative_ = false;
    bool nan_ = false;
};

}  // namespace quibsum
