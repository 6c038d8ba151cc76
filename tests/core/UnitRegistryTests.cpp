#include "QuibSumCore/UnitRegistry.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "QuibSumCore/DecimalScaling.h"
#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/Lexicon.h"
#include "tests/support/TestValues.h"

namespace quibsum {
namespace {

using testing::dec;

struct ConversionRow {
    const char* value;
    const char* from;
    const char* to;
    const char* expected;  // exact
};

// Facts about the units, independent of how the table stores them.
const ConversionRow conversions[] = {
    // length
    {"1", "inch", "cm", "2.54"},
    {"1", "mi", "km", "1.609344"},
    {"1", "nmi", "m", "1852"},
    {"1", "ft", "inch", "12"},
    {"1", "mi", "yd", "1760"},
    {"-3.5", "km", "mm", "-3500000"},
    // area
    {"1", "m²", "cm²", "10000"},
    {"1", "ha", "m²", "10000"},
    {"1", "sào", "m²", "360"},
    {"1", "acre", "ha", "0.40468564224"},
    {"1", "acre", "ft²", "43560"},
    {"1", "mi²", "acre", "640"},
    {"1", "km²", "ha", "100"},
    {"1", "ft²", "inch²", "144"},
    {"1", "nmi²", "m²", "3429904"},
    // volume
    {"1", "m³", "l", "1000"},
    {"1", "cm³", "ml", "1"},
    {"1", "km³", "l", "1000000000000"},
    {"1", "gallon", "l", "3.785411784"},
    {"1", "gallon", "inch³", "231"},
    {"1", "gallon", "cup", "16"},
    {"1", "cup", "tbsp", "16"},
    {"1", "tbsp", "tsp", "3"},
    {"1", "ft³", "l", "28.316846592"},
    {"1", "mi³", "m³", "4168181825.440579584"},
    // mass
    {"1", "lạng", "g", "100"},
    {"1", "t", "kg", "1000"},
    {"1", "lb", "oz", "16"},
    {"1", "lb", "kg", "0.45359237"},
    // temperature, by formula
    {"100", "C", "F", "212"},
    {"32", "F", "C", "0"},
    {"0", "K", "C", "-273.15"},
    {"0", "C", "K", "273.15"},
    {"98.6", "F", "C", "37"},
    {"-40", "C", "F", "-40"},
    {"300", "K", "F", "80.33"},
    // duration
    {"1", "year", "day", "365"},
    {"12", "month", "year", "1"},
    {"1", "week", "h", "168"},
    {"1", "month", "h", "730"},
    {"90", "min", "h", "1.5"},
    // data
    {"1", "KiB", "B", "1024"},
    {"1", "MB", "kB", "1000"},
    {"1", "B", "b", "8"},
    {"1", "GiB", "MiB", "1024"},
    {"1", "Pib", "Tib", "1024"},
    {"1", "Mb", "kB", "125"},
    {"1", "GB", "Gb", "8"},
    {"1", "Kib", "b", "1024"},
    {"1", "EiB", "b", "9223372036854775808"},
    {"1", "Eib", "b", "1152921504606846976"},
    {"1", "EB", "PB", "1000"},
};

TEST(UnitRegistry, ConvertsExactly) {
    for (const auto& row : conversions) {
        SCOPED_TRACE(std::string(row.value) + " " + row.from + " in " + row.to);
        auto r = UnitRegistry::convert(dec(row.value), row.from, row.to);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r->toString(), dec(row.expected).toString());
    }
}

TEST(UnitRegistry, ConvertingToTheSameUnitKeepsEveryDigit) {
    // Through Celsius and back, F to F would round at the 38th digit (÷ 9, then × 9).
    const Decimal value = dec("98.600000000000000000000000000000000001");
    for (const char* symbol : {"F", "K", "C", "mi", "tsp", "month"}) {
        SCOPED_TRACE(symbol);
        auto r = UnitRegistry::convert(value, symbol, symbol);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(*r, value);
    }
}

// Conversions between units whose factors are powers of ten take a shortcut; it must give
// exactly what multiplying by one factor and dividing by the other gives, also for 38-digit
// values and at both ends of the exponent range, where results round or overflow.
TEST(UnitRegistry, PowerOfTenFactorsConvertLikeTheArithmetic) {
    const Decimal values[] = {
        Decimal(0),
        Decimal(1),
        Decimal(-7),
        dec("0.3048"),
        dec("-123456.789"),
        dec("12345678901234567890123456789012345678"),
        dec("-99999999999999999999999999999999999999"),
        dec("1e127"),
        dec("9.9e126"),
        dec("1e-128"),
        dec("-1234e-128"),
        dec("5e-126"),
        Decimal::nan(),
    };
    const Decimal one(1);
    int shortcuts = 0;
    for (const UnitRegistry::Entry& from : UnitRegistry::entries()) {
        for (const UnitRegistry::Entry& to : UnitRegistry::entries()) {
            const auto& a = from.definition;
            const auto& b = to.definition;
            if (a.dimension != b.dimension || a.dimension == UnitRegistry::dimensions::temperature ||
                from.symbol == to.symbol)
                continue;
            if (a.factor.mantissa() != 1 && b.factor.mantissa() != 1) continue;
            ++shortcuts;
            for (const Decimal& v : values) {
                const Decimal base = a.factor == one ? v : v * a.factor;
                const Decimal expected = b.factor == one ? base : base / b.factor;
                auto got = UnitRegistry::convert(v, from.symbol, to.symbol);
                ASSERT_TRUE(got.ok());
                EXPECT_EQ(got->isNaN(), expected.isNaN()) << v.toString() << " " << from.symbol << " -> " << to.symbol;
                if (!expected.isNaN()) {
                    EXPECT_EQ(got->mantissa(), expected.mantissa())
                        << v.toString() << " " << from.symbol << " -> " << to.symbol;
                    EXPECT_EQ(got->exponent(), expected.exponent())
                        << v.toString() << " " << from.symbol << " -> " << to.symbol;
                    EXPECT_EQ(got->isNegative(), expected.isNegative())
                        << v.toString() << " " << from.symbol << " -> " << to.symbol;
                }
            }
        }
    }
    EXPECT_GT(shortcuts, 50);

    // The same shortcut divides percentages by 100.
    for (const Decimal& v : values) {
        const Decimal expected = v / Decimal(100);
        const Decimal got = scaledByPowerOfTen(v, -2);
        EXPECT_EQ(got.isNaN(), expected.isNaN()) << v.toString();
        if (expected.isNaN()) continue;
        EXPECT_EQ(got.mantissa(), expected.mantissa()) << v.toString();
        EXPECT_EQ(got.exponent(), expected.exponent()) << v.toString();
        EXPECT_EQ(got.isNegative(), expected.isNegative()) << v.toString();
    }
}

TEST(UnitRegistry, RejectsConversionsAcrossDimensionsAndUnknownSymbols) {
    const std::pair<const char*, const char*> rows[] = {
        {"km", "kg"}, {"C", "m"},  {"km", "USD"}, {"USD", "km"},  {"%", "m"},   {"m", "%"},
        {"", "m"},    {"m", "M"},  {"kiB", "B"},  {"mb", "kb"},   {"c", "F"},   {"m2", "m²"},
        {"m²", "m³"}, {"l", "m²"}, {"s", "b"},    {"VND", "USD"}, {"g", "lb "},
    };
    for (const auto& [from, to] : rows) {
        SCOPED_TRACE(std::string(from) + " in " + to);
        auto r = UnitRegistry::convert(Decimal(1), from, to);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error(), EvaluationError::of(EvaluationError::Kind::unitMismatch));
    }
}

TEST(UnitRegistry, NaNPassesThroughAsAValue) {
    auto r = UnitRegistry::convert(Decimal::nan(), "km", "m");
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->isNaN());
}

TEST(UnitRegistry, LooksUpOnlyRegisteredSymbols) {
    for (const char* symbol :
         {"m", "m²", "cm³", "inch³", "lạng", "sào", "C", "F", "K", "KiB", "Kib", "EiB", "Eb", "month"}) {
        SCOPED_TRACE(symbol);
        EXPECT_TRUE(UnitRegistry::isRegistered(symbol));
    }
    for (const char* symbol :
         {"",         "%",      "VND", "USD",     "kiB", "mb", "MIB",  "c",    "f",   "k",  "m2",
          "square m", "inches", "tấn", "seconds", "M",   "G",  "mins", "lang", "sao", "m ", " m"}) {
        SCOPED_TRACE(symbol);
        EXPECT_EQ(UnitRegistry::definition(symbol), nullptr);
    }
}

TEST(UnitRegistry, TableHasEveryUnitOnceWithItsDimension) {
    const std::map<std::string_view, int> expectedCounts = {
        {UnitRegistry::dimensions::length, 9},      {UnitRegistry::dimensions::area, 12},
        {UnitRegistry::dimensions::volume, 15},     {UnitRegistry::dimensions::mass, 6},
        {UnitRegistry::dimensions::temperature, 3}, {UnitRegistry::dimensions::duration, 7},
        {UnitRegistry::dimensions::data, 26},
    };
    std::map<std::string_view, int> counts;
    std::set<std::string> symbols;
    for (const auto& entry : UnitRegistry::entries()) {
        SCOPED_TRACE(entry.symbol);
        EXPECT_TRUE(symbols.insert(entry.symbol).second) << "duplicate";
        ++counts[entry.definition.dimension];
        EXPECT_GT(entry.definition.factor, Decimal(0));
        EXPECT_EQ(UnitRegistry::definition(entry.symbol), &entry.definition);
    }
    EXPECT_EQ(counts, expectedCounts);
}

TEST(UnitRegistry, BaseUnitsHaveFactorOne) {
    for (const char* symbol : {"m", "m²", "l", "g", "s", "b"}) {
        SCOPED_TRACE(symbol);
        ASSERT_NE(UnitRegistry::definition(symbol), nullptr);
        EXPECT_EQ(UnitRegistry::definition(symbol)->factor, Decimal(1));
    }
}

// The lexer can only produce units the registry knows, and every registered unit can be typed.
TEST(UnitRegistry, UnitWordsAndRegistryNameTheSameUnits) {
    std::set<std::string> canonical;
    for (const auto& [word, symbol] : Lexicon::unitWords()) {
        SCOPED_TRACE(word + " -> " + symbol);
        EXPECT_TRUE(UnitRegistry::isRegistered(symbol));
        canonical.insert(symbol);
    }
    std::set<std::string> registered;
    for (const auto& entry : UnitRegistry::entries()) registered.insert(entry.symbol);
    EXPECT_EQ(canonical, registered);
}

}  // namespace
}  // namespace quibsum
