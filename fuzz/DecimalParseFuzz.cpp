// Decimal::parse on arbitrary bytes: never crashes, and whatever parses prints as text that
// parses back to the same value; arithmetic on it never crashes either.
#include "QuibSumCore/Decimal.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quibsum::Decimal;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = Decimal::parse(text);
    if (!parsed) return 0;
    const Decimal d = *parsed;
    if (d.isNaN()) std::abort();  // NaN is never the value of a text
    char buf[Decimal::maxStringLength];
    const int length = d.write(buf);
    if (length <= 0 || length > Decimal::maxStringLength) std::abort();
    const auto again = Decimal::parse(std::string_view(buf, static_cast<std::size_t>(length)));
    if (!again || !(*again == d)) std::abort();
    if (!std::isfinite(d.toDouble())) std::abort();  // every value is within double range

    // Exercise the arithmetic with the value against itself and a few fixed operands.
    const Decimal others[] = {d, Decimal(3), -d, Decimal::nan()};
    for (const Decimal& o : others) {
        (void)(d + o), (void)(d - o), (void)(d * o), (void)(d / o), (void)(d < o);
    }
    quibsum::CalculationStatus status;
    (void)Decimal::power(d, 7, quibsum::RoundingMode::plain, status);
    (void)d.rounded(2, quibsum::RoundingMode::down);
    return 0;
}
