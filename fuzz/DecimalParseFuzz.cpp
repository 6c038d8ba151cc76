// Decimal::parse on arbitrary bytes: never crashes, and whatever parses prints as text that
// parses back to the same value. Arithmetic on it never crashes either, and its results agree
// with a slow exact reference: the exact sum, difference, product, or enough quotient digits
// with a sticky digit, written out in full and rounded by parse. An input "a,b" works on the
// pair; any other input on the value with itself and a few fixed operands.
#include "QuibSumCore/Decimal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using quibsum::Decimal;

// Nonnegative integers as decimal digits, most significant first, "0" for zero.
std::string trimmed(std::string s) {
    const auto first = s.find_first_not_of('0');
    return first == std::string::npos ? "0" : s.substr(first);
}

int compare(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
}

std::string add(const std::string& a, const std::string& b) {
    std::string r;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int x = i < a.size() ? a[a.size() - 1 - i] - '0' : 0;
        const int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        r += static_cast<char>('0' + (x + y + carry) % 10);
        carry = (x + y + carry) / 10;
    }
    std::reverse(r.begin(), r.end());
    return trimmed(r);
}

std::string subtract(const std::string& a, const std::string& b) {  // a >= b
    std::string r;
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int x = a[a.size() - 1 - i] - '0' - borrow;
        const int y = i < b.size() ? b[b.size() - 1 - i] - '0' : 0;
        borrow = x < y ? 1 : 0;
        r += static_cast<char>('0' + x + 10 * borrow - y);
    }
    std::reverse(r.begin(), r.end());
    return trimmed(r);
}

std::string multiply(const std::string& a, const std::string& b) {
    std::string r(a.size() + b.size(), 0);  // digit values, least significant first
    for (std::size_t i = 0; i < a.size(); ++i) {
        int carry = 0;
        for (std::size_t j = 0; j < b.size() || carry; ++j) {
            const int y = j < b.size() ? b[b.size() - 1 - j] - '0' : 0;
            const int t = r[i + j] + (a[a.size() - 1 - i] - '0') * y + carry;
            r[i + j] = static_cast<char>(t % 10);
            carry = t / 10;
        }
    }
    for (char& c : r) c = static_cast<char>(c + '0');
    std::reverse(r.begin(), r.end());
    return trimmed(r);
}

// a / b by long division (b != 0); `exact` tells whether the remainder is zero.
std::string divide(const std::string& a, const std::string& b, bool& exact) {
    std::string q, r = "0";
    for (const char digit : a) {
        r = trimmed(r + digit);
        char count = '0';
        while (compare(r, b) >= 0) {
            r = subtract(r, b);
            ++count;
        }
        q += count;
    }
    exact = r == "0";
    return trimmed(q);
}

std::string digitsOf(quibsum::UInt128 m) {
    std::string s;
    do {
        s += static_cast<char>('0' + static_cast<int>(m % 10));
        m /= 10;
    } while (m != 0);
    std::reverse(s.begin(), s.end());
    return s;
}

// Rounds the exact value (-1)^negative * digits * 10^exponent as parse does, which is how
// arithmetic rounds: NaN when it is too large.
Decimal rounded(bool negative, const std::string& digits, long long exponent) {
    const std::string text = (negative ? "-" : "") + digits + "e" + std::to_string(exponent);
    return Decimal::parse(text).value_or(Decimal::nan());
}

Decimal referenceSum(const Decimal& a, const Decimal& b, bool difference) {
    if (a.isNaN() || b.isNaN()) return Decimal::nan();
    const int e = std::min(a.exponent(), b.exponent());
    const std::string x =
        trimmed(digitsOf(a.mantissa()) + std::string(static_cast<std::size_t>(a.exponent() - e), '0'));
    const std::string y =
        trimmed(digitsOf(b.mantissa()) + std::string(static_cast<std::size_t>(b.exponent() - e), '0'));
    const bool xNegative = a.isNegative(), yNegative = b.isNegative() != difference;
    if (xNegative == yNegative) return rounded(xNegative, add(x, y), e);
    if (compare(x, y) >= 0) return rounded(xNegative, subtract(x, y), e);
    return rounded(yNegative, subtract(y, x), e);
}

Decimal referenceProduct(const Decimal& a, const Decimal& b) {
    if (a.isNaN() || b.isNaN()) return Decimal::nan();
    return rounded(a.isNegative() != b.isNegative(), multiply(digitsOf(a.mantissa()), digitsOf(b.mantissa())),
                   static_cast<long long>(a.exponent()) + b.exponent());
}

Decimal referenceQuotient(const Decimal& a, const Decimal& b) {
    if (a.isNaN() || b.isNaN() || b.isZero()) return Decimal::nan();
    if (a.isZero()) return Decimal();
    // At least 40 quotient digits, and a nonzero digit below them for a nonzero remainder:
    // enough for a rounding to 38 digits, also where the exponent range cuts it shorter.
    const std::string divisor = digitsOf(b.mantissa());
    const auto scale = static_cast<long long>(40 + divisor.size());
    bool exact = false;
    std::string q = divide(digitsOf(a.mantissa()) + std::string(static_cast<std::size_t>(scale), '0'), divisor, exact);
    long long exponent = static_cast<long long>(a.exponent()) - b.exponent() - scale;
    if (!exact) {
        q += '1';
        --exponent;
    }
    return rounded(a.isNegative() != b.isNegative(), q, exponent);
}

void expectSame(const Decimal& got, const Decimal& expected, const Decimal& a, char op, const Decimal& b) {
    if (got == expected) return;
    std::fprintf(stderr, "%s %c %s gave %s, expected %s\n", a.toString().c_str(), op, b.toString().c_str(),
                 got.toString().c_str(), expected.toString().c_str());
    std::abort();
}

void checkArithmetic(const Decimal& a, const Decimal& b) {
    expectSame(a + b, referenceSum(a, b, false), a, '+', b);
    expectSame(a - b, referenceSum(a, b, true), a, '-', b);
    expectSame(a * b, referenceProduct(a, b), a, '*', b);
    expectSame(a / b, referenceQuotient(a, b), a, '/', b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t comma = input.find(',');
    if (comma != std::string_view::npos) {
        const auto a = Decimal::parse(input.substr(0, comma)), b = Decimal::parse(input.substr(comma + 1));
        if (a && b) checkArithmetic(*a, *b);
        return 0;
    }
    const auto parsed = Decimal::parse(input);
    if (!parsed) return 0;
    const Decimal d = *parsed;
    if (d.isNaN()) std::abort();  // NaN is never the value of a text
    char buf[Decimal::maxStringLength];
    const int length = d.write(buf);
    if (length <= 0 || length > Decimal::maxStringLength) std::abort();
    const auto again = Decimal::parse(std::string_view(buf, static_cast<std::size_t>(length)));
    if (!again || !(*again == d)) std::abort();
    if (!std::isfinite(d.toDouble())) std::abort();  // every value is within double range

    // The arithmetic with the value against itself and a few fixed operands.
    const Decimal others[] = {d, Decimal(3), -d, Decimal::nan()};
    for (const Decimal& o : others) {
        checkArithmetic(d, o);
        checkArithmetic(o, d);
        (void)(d < o);
    }
    quibsum::CalculationStatus status;
    (void)Decimal::power(d, 7, quibsum::RoundingMode::plain, status);
    (void)d.rounded(2, quibsum::RoundingMode::down);
    return 0;
}
