#include "QuibSumCore/Decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

namespace quibsum {

static_assert(std::is_trivially_copyable_v<Decimal>);

namespace {

using u128 = UInt128;
using u64 = std::uint64_t;

constexpr int kPrecision = Decimal::maxDigits;

struct Pow10Table {
    u128 v[40] = {};
    constexpr Pow10Table() {
        v[0] = 1;
        for (int i = 1; i <= kPrecision; ++i) v[i] = v[i - 1] * 10;
    }
};
constexpr Pow10Table kPow10{};

constexpr u64 pow10u64(int n) { return static_cast<u64>(kPow10.v[n]); }  // n <= 19

int bitLength(u128 x) {
    const u64 hi = static_cast<u64>(x >> 64);
    if (hi != 0) return 128 - __builtin_clzll(hi);
    const u64 lo = static_cast<u64>(x);
    return lo == 0 ? 0 : 64 - __builtin_clzll(lo);
}

// Digits of x, 0 for zero.
int digitsOf(u128 x) {
    if (x == 0) return 0;
    const int t = (bitLength(x) * 1233) >> 12;
    return t + (x >= kPow10.v[t] ? 1 : 0);
}

// (high * 2^64 + low) / d for high < d, so that the quotient fits 64 bits: one machine
// instruction on x86-64, where the generic 128-bit division is a slow library call.
u64 divide128(u64 high, u64 low, u64 d, u64& remainder) {
#if defined(__x86_64__)
    u64 q;
    __asm__("divq %[d]" : "=a"(q), "=d"(remainder) : "a"(low), "d"(high), [d] "rm"(d));
    return q;
#else
    const u128 n = (static_cast<u128>(high) << 64) | low;
    remainder = static_cast<u64>(n % d);
    return static_cast<u64>(n / d);
#endif
}

// A 256-bit unsigned integer, little-endian 64-bit limbs: wide enough for an exact product of
// two mantissas and for a dividend scaled so that the quotient carries a rounding digit.
struct U256 {
    u64 limb[4] = {};

    constexpr U256() = default;
    constexpr explicit U256(u128 x) : limb{static_cast<u64>(x), static_cast<u64>(x >> 64), 0, 0} {}

    constexpr bool isZero() const { return (limb[0] | limb[1] | limb[2] | limb[3]) == 0; }
    constexpr bool fitsU128() const { return (limb[2] | limb[3]) == 0; }
    constexpr u128 low128() const { return (static_cast<u128>(limb[1]) << 64) | limb[0]; }

    // this * m; the caller keeps the result below 2^256.
    constexpr U256 times(u64 m) const {
        U256 r;
        u128 carry = 0;
        for (int i = 0; i < 4; ++i) {
            const u128 p = static_cast<u128>(limb[i]) * m + carry;
            r.limb[i] = static_cast<u64>(p);
            carry = p >> 64;
        }
        return r;
    }

    // Divides in place by d, returns the remainder.
    u64 divideBy(u64 d) {
        u64 r = 0;
        for (int i = 3; i >= 0; --i) {
            if (r == 0 && limb[i] < d) {  // skip the leading zero quotient limbs cheaply
                r = limb[i];
                limb[i] = 0;
                continue;
            }
            limb[i] = divide128(r, limb[i], d, r);
        }
        return r;
    }

    int bitLength() const {
        for (int i = 3; i >= 0; --i)
            if (limb[i] != 0) return 64 * i + 64 - __builtin_clzll(limb[i]);
        return 0;
    }
};

constexpr bool operator<(const U256& a, const U256& b) {
    for (int i = 3; i >= 0; --i)
        if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i];
    return false;
}

constexpr U256 operator+(const U256& a, const U256& b) {
    U256 r;
    u64 carry = 0;
    for (int i = 0; i < 4; ++i) {
        const u128 s = static_cast<u128>(a.limb[i]) + b.limb[i] + carry;
        r.limb[i] = static_cast<u64>(s);
        carry = static_cast<u64>(s >> 64);
    }
    return r;
}

// a - b for a >= b.
constexpr U256 operator-(const U256& a, const U256& b) {
    U256 r;
    u64 borrow = 0;
    for (int i = 0; i < 4; ++i) {
        const u64 x = a.limb[i];
        const u64 y = b.limb[i];
        r.limb[i] = x - y - borrow;
        borrow = (x < y || (x == y && borrow)) ? 1 : 0;
    }
    return r;
}

U256 multiply(u128 a, u128 b) {
    const u64 a0 = static_cast<u64>(a), a1 = static_cast<u64>(a >> 64);
    const u64 b0 = static_cast<u64>(b), b1 = static_cast<u64>(b >> 64);
    const u128 p00 = static_cast<u128>(a0) * b0;
    const u128 p01 = static_cast<u128>(a0) * b1;
    const u128 p10 = static_cast<u128>(a1) * b0;
    const u128 p11 = static_cast<u128>(a1) * b1;
    const u128 mid = (p00 >> 64) + static_cast<u64>(p01) + static_cast<u64>(p10);
    const u128 high = p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64);
    U256 r;
    r.limb[0] = static_cast<u64>(p00);
    r.limb[1] = static_cast<u64>(mid);
    r.limb[2] = static_cast<u64>(high);
    r.limb[3] = static_cast<u64>(high >> 64);
    return r;
}

// x * 10^n for n >= 0; the caller keeps the result below 2^256.
U256 scaleUp(U256 x, int n) {
    while (n > 0) {
        const int step = std::min(n, 19);
        x = x.times(pow10u64(step));
        n -= step;
    }
    return x;
}

struct WidePow10Table {
    U256 v[78] = {};
    constexpr WidePow10Table() {
        v[0] = U256(1);
        for (int i = 1; i < 78; ++i) v[i] = v[i - 1].times(10);
    }
};
constexpr WidePow10Table kWidePow10{};

int digitsOf(const U256& x) {
    if (x.fitsU128()) return digitsOf(x.low128());
    const int t = (x.bitLength() * 1233) >> 12;  // at most 77
    return t + (x < kWidePow10.v[t] ? 0 : 1);
}

// Quotient of n / d (d != 0); `inexact` tells whether the remainder is nonzero.
U256 divide(U256 n, u128 d, bool& inexact) {
    const u64 d1 = static_cast<u64>(d >> 64);
    if (d1 == 0) {
        inexact = n.divideBy(static_cast<u64>(d)) != 0;
        return n;
    }
    // Two-limb divisor: Knuth's algorithm D (TAOCP 4.3.1) in base 2^64, as in Hacker's
    // Delight's divmnu. Normalise so that the divisor's top bit is set.
    const int s = __builtin_clzll(d1);
    const u64 v1 = s ? (d1 << s) | (static_cast<u64>(d) >> (64 - s)) : d1;
    const u64 v0 = static_cast<u64>(d) << s;
    u64 u[5];
    u[4] = s ? n.limb[3] >> (64 - s) : 0;
    for (int i = 3; i > 0; --i) u[i] = s ? (n.limb[i] << s) | (n.limb[i - 1] >> (64 - s)) : n.limb[i];
    u[0] = n.limb[0] << s;

    constexpr u128 base = static_cast<u128>(1) << 64;
    U256 q;
    for (int j = 2; j >= 0; --j) {
        const u128 top = (static_cast<u128>(u[j + 2]) << 64) | u[j + 1];
        u128 qhat = top / v1;
        u128 rhat = top % v1;
        while (qhat >= base || qhat * v0 > ((rhat << 64) | u[j])) {
            --qhat;
            rhat += v1;
            if (rhat >= base) break;
        }
        // u[j..j+2] -= qhat * v
        __extension__ typedef __int128 i128;
        u128 p = qhat * v0;
        i128 t = static_cast<i128>(u[j]) - static_cast<i128>(static_cast<u64>(p));
        u[j] = static_cast<u64>(t);
        u128 k = (p >> 64) - static_cast<u128>(t >> 64);
        p = qhat * v1;
        t = static_cast<i128>(u[j + 1]) - static_cast<i128>(k) - static_cast<i128>(static_cast<u64>(p));
        u[j + 1] = static_cast<u64>(t);
        k = (p >> 64) - static_cast<u128>(t >> 64);
        t = static_cast<i128>(u[j + 2]) - static_cast<i128>(k);
        u[j + 2] = static_cast<u64>(t);
        q.limb[j] = static_cast<u64>(qhat);
        if (t < 0) {  // qhat was one too large: add the divisor back
            --q.limb[j];
            const u128 s0 = static_cast<u128>(u[j]) + v0;
            u[j] = static_cast<u64>(s0);
            const u128 s1 = static_cast<u128>(u[j + 1]) + v1 + static_cast<u64>(s0 >> 64);
            u[j + 1] = static_cast<u64>(s1);
            u[j + 2] += static_cast<u64>(s1 >> 64);
        }
    }
    inexact = (u[0] | u[1] | u[2]) != 0;
    return q;
}

// x / 10^k and x % 10^k for 0 <= k <= 38, in at most four 128-by-64-bit divisions instead of
// the library's generic 128-bit division.
u128 divideByPow10(u128 x, int k, u128& remainder) {
    if (k > 19) {
        u128 low;
        const u128 q = divideByPow10(x, 19, low);
        u128 high;
        const u128 r = divideByPow10(q, k - 19, high);
        remainder = high * kPow10.v[19] + low;
        return r;
    }
    const u64 d = pow10u64(k);
    const u64 hi = static_cast<u64>(x >> 64), lo = static_cast<u64>(x);
    if (hi == 0) {
        remainder = lo % d;
        return lo / d;
    }
    u64 r;
    const u64 q1 = divide128(0, hi, d, r);
    const u64 q0 = divide128(r, lo, d, r);
    remainder = r;
    return (static_cast<u128>(q1) << 64) | q0;
}

// n / d and n % d when the quotient is known to fit 128 bits (n < d * 2^128, d != 0): two
// 64-bit quotient digits by Knuth's algorithm D (TAOCP 4.3.1), or two machine divisions when d
// fits 64 bits.
u128 divideNarrow(const U256& n, u128 d, u128& remainder) {
    const u64 d1 = static_cast<u64>(d >> 64);
    if (d1 == 0) {
        const u64 d0 = static_cast<u64>(d);
        u64 r = n.limb[2];  // below d0, as the quotient fits
        const u64 q1 = divide128(r, n.limb[1], d0, r);
        const u64 q0 = divide128(r, n.limb[0], d0, r);
        remainder = r;
        return (static_cast<u128>(q1) << 64) | q0;
    }
    // Normalise so that the divisor's top bit is set; the shifted dividend's top limb is then
    // zero, and its next two limbs are below the divisor.
    const int s = __builtin_clzll(d1);
    const u128 v = d << s;
    const u64 v1 = static_cast<u64>(v >> 64), v0 = static_cast<u64>(v);
    const u64 u2 = s ? (n.limb[2] << s) | (n.limb[1] >> (64 - s)) : n.limb[2];
    const u64 u3 = s ? (n.limb[3] << s) | (n.limb[2] >> (64 - s)) : n.limb[3];
    const u64 u1 = s ? (n.limb[1] << s) | (n.limb[0] >> (64 - s)) : n.limb[1];
    const u64 u0 = n.limb[0] << s;
    u128 r = (static_cast<u128>(u3) << 64) | u2;
    u64 q[2];
    const u64 next[2] = {u1, u0};
    for (int j = 0; j < 2; ++j) {
        // Divide (r, next[j]) by v; r < v, so the quotient digit fits 64 bits.
        const u64 r1 = static_cast<u64>(r >> 64), r0 = static_cast<u64>(r);
        u64 qhat;
        u128 rhat;
        if (r1 >= v1) {  // then r1 == v1: the estimate saturates
            qhat = ~static_cast<u64>(0);
            rhat = static_cast<u128>(r0) + v1;
        } else {
            u64 rh;
            qhat = divide128(r1, r0, v1, rh);
            rhat = rh;
        }
        // At most two corrections make the estimate exact or one too large.
        while (rhat >> 64 == 0 && static_cast<u128>(qhat) * v0 > ((rhat << 64) | next[j])) {
            --qhat;
            rhat += v1;
        }
        // (r, next[j]) - qhat * v, which is below v or, when qhat is one too large, negative.
        const u128 p0 = static_cast<u128>(qhat) * v0;
        const u128 p1 = static_cast<u128>(qhat) * v1 + (p0 >> 64);
        const u128 low = (static_cast<u128>(r0) << 64) | next[j];
        const u128 product = (p1 << 64) | static_cast<u64>(p0);
        const u64 borrow = low < product ? 1 : 0;
        u128 rest = low - product;
        if (static_cast<u128>(r1) < (p1 >> 64) + borrow) {
            --qhat;
            rest += v;
        }
        q[j] = qhat;
        r = rest;
    }
    remainder = r >> s;
    return (static_cast<u128>(q[0]) << 64) | q[1];
}

// Writes the decimal digits of m (at most 39), returns the end. Works in two 19-digit halves,
// so that only one 128-bit division is needed.
char* writeDigits(u128 m, char* out) {
    if (m >> 64 == 0) return std::to_chars(out, out + 20, static_cast<u64>(m)).ptr;
    u128 rest;
    const u64 high = static_cast<u64>(divideByPow10(m, 19, rest));
    u64 low = static_cast<u64>(rest);
    out = std::to_chars(out, out + 20, high).ptr;
    // The low 19 digits, leading zeros included, two at a time.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    for (int i = 17; i > 0; i -= 2) {
        const char* pair = kPairs + 2 * (low % 100);
        out[i] = pair[0];
        out[i + 1] = pair[1];
        low /= 100;
    }
    out[0] = static_cast<char>('0' + low);
    return out + 19;
}

enum Flag : unsigned { inexact = 1, underflow = 2, overflow = 4, divisionByZero = 8 };

}  // namespace

// Builds results from parts; the one place that sees Decimal's fields.
struct DecimalParts {
    static Decimal make(bool negative, u128 mantissa, int exponent) {
        Decimal d;
        d.mantissa_ = mantissa;
        d.exponent_ = static_cast<std::int16_t>(exponent);
        d.negative_ = negative;
        d.normalize();
        return d;
    }

    // Rounds the exact value (-1)^negative * (coefficient + sticky) * 10^exponent to the nearest
    // representable one in `mode`. `sticky` stands for a nonzero fraction below the last digit of
    // the coefficient; callers that set it supply at least one digit beyond the precision, so
    // the sticky part only ever decides the direction of a rounding that happens anyway.
    // Digits below `floorExponent` (at least the smallest exponent) are rounded off as well:
    // values too small for the exponent range become the nearest representable value, and
    // ultimately zero, as gradual underflow does in IEEE arithmetic.
    static Decimal round(bool negative, U256 coefficient, long long exponent, bool sticky, RoundingMode mode,
                         unsigned& flags, long long floorExponent = Decimal::minExponent) {
        if (!sticky && coefficient.fitsU128()) {
            const u128 c = coefficient.low128();
            if (c == 0) return Decimal();
            if (c < kPow10.v[kPrecision] && exponent >= floorExponent && exponent <= Decimal::maxExponent)
                return make(negative, c, static_cast<int>(exponent));  // exact already
        }
        const int digits = digitsOf(coefficient);
        const long long excess = digits - kPrecision;
        const bool subnormal = Decimal::minExponent - exponent > excess;
        const long long drop = std::max({excess, floorExponent - exponent, 0LL});
        u128 q;
        if (drop > 0) {
            bool lost = sticky;
            bool halfOrMore = false;  // the dropped part is at least half a unit of the last kept digit
            if (drop > digits) {
                q = 0;
                lost = true;  // the coefficient is not zero here
            } else {
                // Divide by 10^drop in steps of at most 19 digits; the last step's remainder,
                // compared with half its divisor, decides a plain rounding.
                U256 c = coefficient;
                long long k = drop;
                for (; k > 19; k -= std::min<long long>(k - 19, 19))
                    if (c.divideBy(pow10u64(static_cast<int>(std::min<long long>(k - 19, 19)))) != 0) lost = true;
                const u64 divisor = pow10u64(static_cast<int>(k));
                const u64 r = c.divideBy(divisor);
                halfOrMore = r >= divisor / 2;
                lost = lost || r != 0;
                q = c.low128();
            }
            bool increment = false;
            switch (mode) {
                case RoundingMode::plain:
                    increment = halfOrMore;
                    break;
                case RoundingMode::down:
                    increment = negative && lost;
                    break;
                case RoundingMode::up:
                    increment = !negative && lost;
                    break;
            }
            if (lost) {
                flags |= inexact;
                if (subnormal) flags |= underflow;
            }
            exponent += drop;
            if (increment && ++q == kPow10.v[kPrecision]) {
                q = kPow10.v[kPrecision - 1];
                ++exponent;
            }
        } else {
            q = coefficient.low128();
        }
        if (q == 0) return Decimal();
        if (exponent > Decimal::maxExponent) {
            // Only trailing zeros can move into the mantissa; anything else is out of range.
            const long long shift = exponent - Decimal::maxExponent;
            if (digitsOf(q) + shift > kPrecision) {
                flags |= overflow | inexact;
                return Decimal::nan();
            }
            q *= kPow10.v[shift];
            exponent = Decimal::maxExponent;
        }
        return make(negative, q, static_cast<int>(exponent));
    }

    static Decimal add(const Decimal& a, const Decimal& b, bool subtract, RoundingMode mode, unsigned& flags) {
        if (a.nan_ || b.nan_) return Decimal::nan();
        const bool bNegative = b.negative_ != subtract && b.mantissa_ != 0;
        if (b.mantissa_ == 0) return a;
        if (a.mantissa_ == 0) return make(bNegative, b.mantissa_, b.exponent_);

        // x is the operand with the larger exponent.
        bool xNeg = a.negative_, yNeg = bNegative;
        u128 xm = a.mantissa_, ym = b.mantissa_;
        int xe = a.exponent_, ye = b.exponent_;
        if (xe < ye) {
            std::swap(xNeg, yNeg);
            std::swap(xm, ym);
            std::swap(xe, ye);
        }
        const int gap = xe - ye;
        if (gap <= kPrecision && xm < kPow10.v[kPrecision - gap]) {
            // Both fit 38 digits once aligned: 128 bits hold their sum, which has at most 39.
            const u128 xa = xm * kPow10.v[gap];
            bool negative = xNeg;
            u128 sum;
            if (xNeg == yNeg)
                sum = xa + ym;
            else if (ym <= xa)
                sum = xa - ym;
            else {
                sum = ym - xa;
                negative = yNeg;
            }
            if (sum < kPow10.v[kPrecision]) return make(negative, sum, ye);  // exact
            if (mode == RoundingMode::plain && ye < Decimal::maxExponent) {
                // 39 digits: drop the last, halves away from zero.
                u128 digit;
                u128 q = divideByPow10(sum, 1, digit);
                int exponent = ye + 1;
                if (digit >= 5 && ++q == kPow10.v[kPrecision]) {
                    q = kPow10.v[kPrecision - 1];
                    ++exponent;
                }
                if (exponent <= Decimal::maxExponent) {
                    if (digit != 0) flags |= inexact;
                    return make(negative, q, exponent);
                }
            }
        } else if (mode == RoundingMode::plain) {
            // x has more than 38 digits once aligned. Give it exactly 38, and split y there into
            // the digits that add to them and a remainder below them, which decides the rounding.
            const int up = kPrecision - digitsOf(xm);
            const u128 xs = xm * kPow10.v[up];
            const int k = gap - up;  // at least 1
            int exponent = xe - up;
            u128 yHigh = 0, yLow = ym;
            if (k <= kPrecision) yHigh = divideByPow10(ym, k, yLow);
            // The remainder is yLow / 10^k of a unit: compare it with a half and test for zero.
            const bool halfBelow = k <= kPrecision && yLow >= kPow10.v[k] - yLow;
            bool fast = exponent >= Decimal::minExponent;
            u128 sum;
            bool increment;
            if (xNeg == yNeg) {
                sum = xs + yHigh;
                increment = halfBelow;
                if (sum >= kPow10.v[kPrecision]) {  // 39 digits: drop one more
                    u128 digit;
                    sum = divideByPow10(sum, 1, digit);
                    increment = digit >= 5;
                    ++exponent;
                }
            } else {
                // x - (yHigh + f) = (x - yHigh - 1) + (1 - f) for a nonzero fraction f.
                sum = xs - yHigh - (yLow != 0 ? 1 : 0);
                increment = yLow != 0 && (k > kPrecision || kPow10.v[k] - yLow >= yLow);
                fast = fast && sum >= kPow10.v[kPrecision - 1];  // no digit lost to cancellation
            }
            if (fast) {
                if (increment && ++sum == kPow10.v[kPrecision]) {
                    sum = kPow10.v[kPrecision - 1];
                    ++exponent;
                }
                if (exponent <= Decimal::maxExponent) {
                    flags |= inexact;  // y's dropped digits are never all zero: ym has no trailing zeros
                    return make(xNeg, sum, exponent);
                }
            }
        }

        // The general way: exact in up to 256 bits, then rounded.
        U256 x, y;
        long long exponent;
        bool sticky = false;
        if (gap <= kPrecision && xm < kPow10.v[kPrecision - gap]) {
            x = U256(xm * kPow10.v[gap]);
            y = U256(ym);
            exponent = ye;
        } else if (gap <= kPrecision + 1) {
            x = scaleUp(U256(xm), gap);  // below 10^77 < 2^256
            y = U256(ym);
            exponent = ye;
        } else {
            // y lies entirely below x's last digit and more: keep 39 extra digits of x, which
            // guarantees a rounding digit, and fold what y has below them into a sticky bit.
            x = scaleUp(U256(xm), kPrecision + 1);
            exponent = xe - (kPrecision + 1);
            const int shift = gap - (kPrecision + 1);
            const u128 kept = shift <= kPrecision ? ym / kPow10.v[shift] : 0;
            sticky = shift > kPrecision || kept * kPow10.v[shift] != ym;
            y = U256(kept);
            if (sticky && xNeg != yNeg) y = y + U256(1);  // x - (kept + f) = (x - kept - 1) + (1 - f)
        }
        if (xNeg == yNeg) return round(xNeg, x + y, exponent, sticky, mode, flags);
        if (y < x) return round(xNeg, x - y, exponent, sticky, mode, flags);
        return round(yNeg, y - x, exponent, sticky, mode, flags);
    }

    static Decimal multiply(const Decimal& a, const Decimal& b, RoundingMode mode, unsigned& flags) {
        if (a.nan_ || b.nan_) return Decimal::nan();
        if (a.mantissa_ == 0 || b.mantissa_ == 0) return Decimal();
        const bool negative = a.negative_ != b.negative_;
        const U256 product = quibsum::multiply(a.mantissa_, b.mantissa_);
        const int digits = digitsOf(product);
        const int drop = digits - kPrecision;
        int exponent = a.exponent_ + b.exponent_ + std::max(drop, 0);
        if (drop > 0 && exponent >= Decimal::minExponent && exponent <= Decimal::maxExponent) {
            // Too many digits, none of them near the exponent limits: one division by 10^drop
            // leaves 38 digits and a remainder that decides the rounding.
            u128 r;
            u128 q = divideNarrow(product, kPow10.v[drop], r);
            if (roundsAway(mode, negative, r, kPow10.v[drop]) && ++q == kPow10.v[kPrecision]) {
                q = kPow10.v[kPrecision - 1];
                ++exponent;
            }
            if (exponent <= Decimal::maxExponent) {
                if (r != 0) flags |= inexact;
                return make(negative, q, exponent);
            }
        }
        return round(negative, product, static_cast<long long>(a.exponent_) + b.exponent_, false, mode, flags);
    }

    // Whether a quotient truncated with `remainder` left over from dividing by `divisor` moves
    // one unit away from zero under `mode`.
    static bool roundsAway(RoundingMode mode, bool negative, u128 remainder, u128 divisor) {
        switch (mode) {
            case RoundingMode::plain:
                return remainder >= divisor - remainder;
            case RoundingMode::down:
                return negative && remainder != 0;
            case RoundingMode::up:
                return !negative && remainder != 0;
        }
        return false;
    }

    static Decimal divide(const Decimal& a, const Decimal& b, RoundingMode mode, unsigned& flags) {
        if (a.nan_ || b.nan_) return Decimal::nan();
        if (b.mantissa_ == 0) {
            flags |= divisionByZero;
            return Decimal::nan();
        }
        if (a.mantissa_ == 0) return Decimal();
        const bool negative = a.negative_ != b.negative_;
        {
            // Scale the dividend so that the quotient has exactly 38 digits: with both mantissas
            // widened to 38 digits, a / b lies in [1, 10) or in (0.1, 1), which picks the power
            // of ten. The remainder then decides the rounding on its own.
            const int da = digitsOf(a.mantissa_), db = digitsOf(b.mantissa_);
            const u128 a38 = a.mantissa_ * kPow10.v[kPrecision - da];
            const u128 b38 = b.mantissa_ * kPow10.v[kPrecision - db];
            const int scale = (a38 >= b38 ? db - 1 : db);
            u128 r;
            u128 q = divideNarrow(quibsum::multiply(a38, kPow10.v[scale]), b.mantissa_, r);
            int exponent = a.exponent_ - b.exponent_ + da - kPrecision - scale;
            if (roundsAway(mode, negative, r, b.mantissa_) && ++q == kPow10.v[kPrecision]) {
                q = kPow10.v[kPrecision - 1];
                ++exponent;
            }
            if (exponent >= Decimal::minExponent && exponent <= Decimal::maxExponent) {
                if (r != 0) flags |= inexact;
                return make(negative, q, exponent);
            }
        }
        // Near the ends of the exponent range: scale the dividend to 77 digits, so that the
        // quotient has at least 39, one more than the precision, and the remainder tells
        // whether anything lies below them; the general rounding does the rest.
        const int scale = 77 - digitsOf(a.mantissa_);
        bool inexactQuotient = false;
        const U256 q = quibsum::divide(scaleUp(U256(a.mantissa_), scale), b.mantissa_, inexactQuotient);
        return round(negative, q, static_cast<long long>(a.exponent_) - b.exponent_ - scale, inexactQuotient, mode,
                     flags);
    }

    static int compareMagnitude(const Decimal& a, const Decimal& b) {
        if (a.mantissa_ == 0 || b.mantissa_ == 0) return (a.mantissa_ != 0) - (b.mantissa_ != 0);
        const int da = digitsOf(a.mantissa_), db = digitsOf(b.mantissa_);
        const int adjA = a.exponent_ + da, adjB = b.exponent_ + db;
        if (adjA != adjB) return adjA < adjB ? -1 : 1;
        // Same magnitude order: align on the smaller exponent (the gap is below 38 digits).
        u128 ma = a.mantissa_, mb = b.mantissa_;
        if (a.exponent_ > b.exponent_)
            ma *= kPow10.v[a.exponent_ - b.exponent_];
        else
            mb *= kPow10.v[b.exponent_ - a.exponent_];
        return ma < mb ? -1 : ma > mb ? 1 : 0;
    }

    static bool less(const Decimal& a, const Decimal& b) {
        if (a.nan_ || b.nan_) return a.nan_ && !b.nan_;
        const bool an = a.isNegative(), bn = b.isNegative();
        if (an != bn) return an;
        const int c = compareMagnitude(a, b);
        return an ? c > 0 : c < 0;
    }

    static bool equal(const Decimal& a, const Decimal& b) {
        if (a.nan_ || b.nan_) return a.nan_ == b.nan_;
        return a.mantissa_ == b.mantissa_ && a.exponent_ == b.exponent_ && a.negative_ == b.negative_;
    }

    static Decimal negate(const Decimal& a) {
        Decimal r = a;
        if (!r.nan_ && r.mantissa_ != 0) r.negative_ = !r.negative_;
        return r;
    }

    static Decimal absolute(const Decimal& a) {
        Decimal r = a;
        r.negative_ = false;
        return r;
    }

    static Decimal rounded(const Decimal& a, int scale, RoundingMode mode) {
        if (a.nan_ || a.mantissa_ == 0) return a;
        // Scales beyond these change nothing more: every value has digits at 10^-128 at the
        // finest, and rounding at 10^400 already gives zero or an overflow.
        const long long target = -static_cast<long long>(std::clamp(scale, -400, 400));
        if (a.exponent_ >= target) return a;
        unsigned flags = 0;
        return round(a.negative_, U256(a.mantissa_), a.exponent_, false, mode, flags, target);
    }

    static std::optional<Decimal> parse(std::string_view text) {
        std::size_t i = 0;
        const std::size_t n = text.size();
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

        u128 coefficient = 0;
        int kept = 0;            // significant digits in `coefficient`
        bool dropped = false;    // digits beyond the precision were seen
        u64 guard = 0;           // the first of them
        bool sticky = false;     // any nonzero digit after it
        long long exponent = 0;  // of the last kept digit (or of the guard digit when dropped)
        auto takeDigit = [&](unsigned digit, bool fraction) {
            if (kept == 0 && digit == 0) {
                if (fraction) --exponent;  // a leading zero only places the point
                return;
            }
            if (kept < kPrecision) {
                coefficient = coefficient * 10 + digit;
                ++kept;
                if (fraction) --exponent;
            } else if (!dropped) {
                dropped = true;
                guard = digit;
                if (fraction) --exponent;
            } else {
                sticky = sticky || digit != 0;
                if (!fraction) ++exponent;
            }
        };
        // The digit counts are bounded by the length of the text; the written exponent is capped
        // far beyond the range, so that no sum below can overflow.
        constexpr long long kExponentLimit = 100'000'000'000'000'000;

        std::size_t start = i;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) takeDigit(text[i] - '0', false);
        const bool hasInteger = i > start;
        if (i < n && text[i] == '.') {
            ++i;
            start = i;
            for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) takeDigit(text[i] - '0', true);
            if (i == start) return std::nullopt;  // "5." and "." are not numbers
        } else if (!hasInteger) {
            return std::nullopt;
        }
        if (i < n && (text[i] == 'e' || text[i] == 'E')) {
            ++i;
            bool expNegative = false;
            if (i < n && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
            start = i;
            long long e = 0;
            for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
                e = std::min(e * 10 + (text[i] - '0'), kExponentLimit);
            if (i == start) return std::nullopt;
            exponent += expNegative ? -e : e;
        }
        if (i != n) return std::nullopt;

        U256 wide(coefficient);
        if (dropped) wide = wide.times(10) + U256(guard);
        unsigned flags = 0;
        const Decimal d = round(negative, wide, exponent, sticky, RoundingMode::plain, flags);
        if (d.nan_) return std::nullopt;
        return d;
    }

    static int write(const Decimal& d, char* buf) {
        if (d.nan_) {
            std::copy_n("NaN", 3, buf);
            return 3;
        }
        char digits[40];
        const int count = static_cast<int>(writeDigits(d.mantissa_, digits) - digits);

        char* out = buf;
        if (d.negative_ && d.mantissa_ != 0) *out++ = '-';
        const int e = d.exponent_;
        if (e >= 0) {
            out = std::copy_n(digits, count, out);
            if (d.mantissa_ != 0) out = std::fill_n(out, e, '0');
        } else if (count > -e) {
            out = std::copy_n(digits, count + e, out);
            *out++ = '.';
            out = std::copy_n(digits + count + e, -e, out);
        } else {
            *out++ = '0';
            *out++ = '.';
            out = std::fill_n(out, -e - count, '0');
            out = std::copy_n(digits, count, out);
        }
        return static_cast<int>(out - buf);
    }

    static double toDouble(const Decimal& d) {
        if (d.nan_) return std::nan("");
        char buf[64];
        char* out = buf;
        if (d.isNegative()) *out++ = '-';
        out = writeDigits(d.mantissa_, out);
        *out++ = 'e';
        out = std::to_chars(out, buf + sizeof buf, static_cast<int>(d.exponent_)).ptr;
        double result = 0;
        std::from_chars(buf, out, result);
        return result;
    }
};

Decimal Decimal::fromParts(bool negative, UInt128 mantissa, int exponent) {
    unsigned flags = 0;
    return DecimalParts::round(negative, U256(mantissa), exponent, false, RoundingMode::plain, flags);
}

Decimal Decimal::fromDouble(double d) {
    if (!std::isfinite(d)) return nan();
    char buf[64];
    // The shortest digits that read back as d. Scientific form, because the plain overload
    // writes large integers with all their binary digits ("75310988046683936" for 7.531098804668394e16).
    const auto result = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    return parse(std::string_view(buf, static_cast<std::size_t>(result.ptr - buf))).value_or(nan());
}

std::optional<Decimal> Decimal::parse(std::string_view text) { return DecimalParts::parse(text); }

Decimal operator+(const Decimal& a, const Decimal& b) {
    unsigned flags = 0;
    return DecimalParts::add(a, b, false, RoundingMode::plain, flags);
}

Decimal operator-(const Decimal& a, const Decimal& b) {
    unsigned flags = 0;
    return DecimalParts::add(a, b, true, RoundingMode::plain, flags);
}

Decimal operator*(const Decimal& a, const Decimal& b) {
    unsigned flags = 0;
    return DecimalParts::multiply(a, b, RoundingMode::plain, flags);
}

Decimal operator/(const Decimal& a, const Decimal& b) {
    unsigned flags = 0;
    return DecimalParts::divide(a, b, RoundingMode::plain, flags);
}

Decimal Decimal::operator-() const { return DecimalParts::negate(*this); }
Decimal Decimal::magnitude() const { return DecimalParts::absolute(*this); }

bool operator==(const Decimal& a, const Decimal& b) { return DecimalParts::equal(a, b); }
bool operator<(const Decimal& a, const Decimal& b) { return DecimalParts::less(a, b); }

double Decimal::toDouble() const { return DecimalParts::toDouble(*this); }

std::string Decimal::toString() const {
    char buf[maxStringLength];
    return std::string(buf, static_cast<std::size_t>(write(buf)));
}

int Decimal::write(char* buf) const { return DecimalParts::write(*this, buf); }

Decimal Decimal::rounded(int scale, RoundingMode mode) const { return DecimalParts::rounded(*this, scale, mode); }

int Decimal::digitCount() const { return mantissa_ == 0 ? 1 : digitsOf(mantissa_); }

Decimal Decimal::power(const Decimal& base, long n, RoundingMode mode, CalculationStatus& status) {
    status = CalculationStatus::noError;
    if (base.isNaN()) return nan();
    if (n == 0) return Decimal(1);
    if (base.isZero() && n < 0) {
        status = CalculationStatus::divideByZero;
        return nan();
    }
    // Square and multiply, rounding every product in `mode`; the last squaring is skipped so
    // that it cannot overflow on its own.
    unsigned long e = n < 0 ? 0UL - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
    unsigned flags = 0;
    Decimal result(1);
    Decimal square = base;
    while (true) {
        if (e & 1) result = DecimalParts::multiply(result, square, mode, flags);
        e >>= 1;
        if (e == 0 || result.isNaN()) break;
        square = DecimalParts::multiply(square, square, mode, flags);
        if (square.isNaN()) {
            result = square;
            break;
        }
    }
    if (n < 0 && !result.isNaN()) result = DecimalParts::divide(Decimal(1), result, mode, flags);

    if (flags & overflow)
        status = CalculationStatus::overflow;
    else if (flags & divisionByZero)
        status = CalculationStatus::divideByZero;
    else if (flags & underflow)
        status = CalculationStatus::underflow;
    else if (flags & inexact)
        status = CalculationStatus::lossOfPrecision;
    return result;
}

}  // namespace quibsum
