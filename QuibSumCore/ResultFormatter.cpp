#include "QuibSumCore/ResultFormatter.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "QuibSumCore/UnitRegistry.h"

namespace quibsum::ResultFormatter {

namespace {

using u128 = decltype(Decimal().mantissa());  // unsigned 128-bit

constexpr int significantDigits = 10;
constexpr std::string_view vndSymbol = "VND";
constexpr std::string_view dongSign = " \u20AB";  // " ₫"

constexpr std::array<u128, 39> powersOfTen = [] {
    std::array<u128, 39> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
    return p;
}();

struct Separators {
    char group;
    char decimal;
};

constexpr Separators separators(NumberStyle style) {
    return style == NumberStyle::vi ? Separators{'.', ','} : Separators{',', '.'};
}

// Writes the decimal digits of m (at most 39) into out, most significant first; "0" for zero.
// 128-bit division is a library call, so the digits come out of 64-bit chunks.
int toDigits(u128 m, char* out) {
    constexpr std::uint64_t chunk = 10'000'000'000'000'000'000ULL;  // 10^19
    char tmp[40];
    int n = 0;
    while (m > ~std::uint64_t{0}) {
        std::uint64_t low = static_cast<std::uint64_t>(m % chunk);
        m /= chunk;
        for (int i = 0; i < 19; ++i, low /= 10) tmp[n++] = static_cast<char>('0' + low % 10);
    }
    std::uint64_t rest = static_cast<std::uint64_t>(m);
    do {
        tmp[n++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    for (int i = 0; i < n; ++i) out[i] = tmp[n - 1 - i];
    return n;
}

int digitCount(u128 m) {
    int n = 1;
    while (n < static_cast<int>(powersOfTen.size()) && m >= powersOfTen[n]) ++n;
    return n;
}

// Rounds the magnitude m × 10^e to a multiple of 10^target, halves up. The sign is applied
// afterwards, so a negative value exactly halfway goes away from zero (-0.125 USD shows
// -0.13 USD), the mirror image of the positive case.
void roundToExponent(u128& m, int& e, int target) {
    if (e >= target) return;
    const int k = target - e;
    if (k >= static_cast<int>(powersOfTen.size())) {
        m = 0;  // m < 2^128 < 0.5 × 10^39: below half of the last kept digit
    } else if (m <= ~std::uint64_t{0} && k < 20) {
        // 128-bit division is a library call; most mantissas fit 64 bits.
        const auto m64 = static_cast<std::uint64_t>(m);
        const auto p = static_cast<std::uint64_t>(powersOfTen[k]);
        const std::uint64_t q = m64 / p;
        const std::uint64_t r = m64 - q * p;
        m = q + (r >= p - r ? 1 : 0);
    } else {
        const u128 p = powersOfTen[k];
        const u128 q = m / p;
        const u128 r = m - q * p;
        m = q + (r >= p - r ? 1 : 0);
    }
    e = target;
}

int writeNumberShifted(const Decimal& value, int shift, Category category, NumberStyle style, char* buf) {
    if (value.isNaN()) {
        std::memcpy(buf, "NaN", 3);
        return 3;
    }
    u128 m = value.mantissa();
    int e = value.exponent() + shift;

    switch (category) {
        case Category::number: {
            const int n = digitCount(m);
            if (n > significantDigits) roundToExponent(m, e, e + n - significantDigits);
            // Only the significant digits show; a carry (9.9999999999 -> 10) leaves zeros behind.
            while (m > ~std::uint64_t{0} && m % 10 == 0) {
                m /= 10;
                ++e;
            }
            if (m <= ~std::uint64_t{0}) {
                auto m64 = static_cast<std::uint64_t>(m);
                while (m64 != 0 && m64 % 10 == 0) {
                    m64 /= 10;
                    ++e;
                }
                m = m64;
            }
            break;
        }
        case Category::vnd:
            roundToExponent(m, e, 0);
            break;
        case Category::currency:
            roundToExponent(m, e, -2);
            break;
    }
    if (m == 0) e = 0;
    const int minFraction = category == Category::currency ? 2 : 0;

    char digits[40];
    const int n = toDigits(m, digits);
    // The text is the digit string [leadingZeros][digits][trailingZeros] with the decimal
    // point after integerLength characters.
    int leadingZeros = 0, trailingZeros = 0, integerLength = 0;
    if (e >= 0) {
        trailingZeros = e;
        integerLength = n + e;
    } else if (n + e > 0) {
        integerLength = n + e;
    } else {
        leadingZeros = 1 - (n + e);
        integerLength = 1;
    }
    const int total = leadingZeros + n + trailingZeros;
    const int fractionLength = total - integerLength;
    const int shownFraction = fractionLength > minFraction ? fractionLength : minFraction;

    const int needed = 1 + integerLength + (integerLength - 1) / 3 + 1 + shownFraction;
    if (needed > maxNumberLength) return value.write(buf);  // not reachable within Decimal's range

    auto digitAt = [&](int i) -> char {
        if (i < leadingZeros) return '0';
        i -= leadingZeros;
        return i < n ? digits[i] : '0';
    };
    const Separators sep = separators(style);
    char* out = buf;
    // A value that rounds to zero shows no sign: "-0.00 USD" would read as a debt of nothing.
    if (m != 0 && value.isNegative()) *out++ = '-';
    for (int i = 0; i < integerLength; ++i) {
        if (i > 0 && (integerLength - i) % 3 == 0) *out++ = sep.group;
        *out++ = digitAt(i);
    }
    if (shownFraction > 0) {
        *out++ = sep.decimal;
        for (int i = 0; i < shownFraction; ++i) *out++ = integerLength + i < total ? digitAt(integerLength + i) : '0';
    }
    return static_cast<int>(out - buf);
}

}  // namespace

Category category(const Quantity& quantity) {
    if (!quantity.unit || quantity.isPercent()) return Category::number;
    const std::string_view symbol = quantity.unit->symbol;
    if (UnitRegistry::isRegistered(symbol)) return Category::number;
    return symbol == vndSymbol ? Category::vnd : Category::currency;
}

int writeNumber(const Decimal& value, Category category, NumberStyle style, char* buf) {
    return writeNumberShifted(value, 0, category, style, buf);
}

std::string format(const Quantity& quantity, NumberStyle style) {
    const Category c = category(quantity);
    const bool percent = quantity.isPercent();
    char buf[maxNumberLength];
    // A percentage is held as a fraction; moving the exponent multiplies by 100 exactly,
    // even at the edge of the decimal range.
    const int length = writeNumberShifted(quantity.value, percent ? 2 : 0, c, style, buf);

    std::string_view separator, suffix;
    if (percent) {
        suffix = "%";
    } else if (quantity.unit) {
        if (c == Category::vnd) {
            suffix = dongSign;
        } else {
            separator = " ";
            suffix = quantity.unit->symbol;
        }
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(length) + separator.size() + suffix.size());
    text.append(buf, static_cast<std::size_t>(length));
    text.append(separator);
    text.append(suffix);
    return text;
}

std::string formatRate(const SheetRate& rate, NumberStyle style) {
    auto written = [](std::string_view code) { return code == vndSymbol ? dongSign.substr(1) : code; };
    char number[maxNumberLength];
    const int length = writeNumber(rate.value, Category::number, style, number);
    std::string text = "1 ";
    text.append(written(rate.from));
    text.append(" = ");
    text.append(number, static_cast<std::size_t>(length));
    text.push_back(' ');
    text.append(written(rate.to));
    return text;
}

}  // namespace quibsum::ResultFormatter
