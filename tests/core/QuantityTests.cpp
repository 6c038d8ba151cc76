// The parts of a quantity that are held compactly: the rate out of line, the unit symbol in
// line (or, when long, in a shared table). A sheet decides
// whether a line's analysis still holds by comparing quantities, so these must compare by
// value whatever way they are held, and copies must outlive the original.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "QuibSumCore/Quantity.h"

using namespace quibsum;

namespace {

Rate rate(int value, RateKind kind = RateKind::transfer) {
    return Rate{Decimal(value), RateSource::sheet, distantPast(), kind};
}

TEST(OptionalRateTest, ComparesByValue) {
    struct Row {
        OptionalRate a, b;
        bool equal;
    } rows[] = {
        {{}, {}, true},
        {std::nullopt, OptionalRate(std::optional<Rate>()), true},
        {rate(25000), {}, false},
        {{}, rate(25000), false},
        {rate(25000), rate(25000), true},  // made apart, equal rates
        {rate(25000), rate(25001), false},
        {rate(25000, RateKind::buy), rate(25000, RateKind::sell), false},
        {std::optional<Rate>(rate(7)), rate(7), true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.a == r.b, r.equal) << (r.a ? r.a->value.toString() : "none") << " vs "
                                       << (r.b ? r.b->value.toString() : "none");
        EXPECT_EQ(r.b == r.a, r.equal);
    }
    EXPECT_TRUE(OptionalRate(rate(3)) == rate(3));
    EXPECT_FALSE(OptionalRate() == rate(3));
    EXPECT_TRUE(OptionalRate() == std::nullopt);
}

TEST(OptionalRateTest, CopiesOutliveTheOriginalAndResetAlone) {
    OptionalRate copy;
    {
        OptionalRate original = rate(42);
        copy = original;
        OptionalRate second(original);
        original.reset();
        EXPECT_FALSE(original.has_value());
        EXPECT_TRUE(second.has_value());
    }
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->value, Decimal(42));

    OptionalRate moved(std::move(copy));
    EXPECT_FALSE(copy.has_value());  // NOLINT(bugprone-use-after-move): moved-from is empty by design
    EXPECT_EQ(*moved, rate(42));
    moved = moved;  // self-assignment keeps the rate
    EXPECT_EQ(*moved, rate(42));
    moved = std::nullopt;
    EXPECT_FALSE(moved);
    moved = rate(5);
    EXPECT_EQ(moved.toOptional(), std::optional<Rate>(rate(5)));
}

TEST(OptionalRateTest, QuantitiesWithAndWithoutARateDiffer) {
    Quantity plain{Decimal(1), Unit{"USD"}, std::nullopt};
    Quantity converted{Decimal(1), Unit{"USD"}, rate(25000)};
    EXPECT_NE(plain, converted);
    Quantity again = converted;
    again.rate = rate(25000);  // a new holder of an equal rate
    EXPECT_EQ(again, converted);
}

// Copies of one rate are made and dropped on several threads at once (the sheet's results
// are read by other threads in the application): the shared rate must be freed exactly once.
TEST(OptionalRateTest, CopiesOnSeveralThreads) {
    const OptionalRate shared = rate(9);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int k = 0; k < 20000; ++k) {
                OptionalRate a = shared;
                OptionalRate b = a;
                a.reset();
                ASSERT_EQ(b->value, Decimal(9));
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(shared->value, Decimal(9));
}

TEST(UnitSymbolTest, KeepsEveryTextWhole) {
    const std::string atCapacity(UnitSymbol::capacity, 'k');
    const std::string pastCapacity = atCapacity + "X";
    const std::string long1 = "a unit symbol far longer than the room kept inline: one";
    const std::string long2 = "a unit symbol far longer than the room kept inline: two";
    for (const std::string& text : {std::string(), std::string("%"), std::string("km"), std::string("m\u00B2"),
                                    std::string("kWh"), atCapacity, pastCapacity, long1, long2}) {
        UnitSymbol symbol(text);
        EXPECT_EQ(symbol.view(), text);
        EXPECT_EQ(symbol.size(), text.size());
        EXPECT_EQ(symbol.str(), text);
        EXPECT_TRUE(symbol == text);
        EXPECT_TRUE(symbol == std::string_view(text));
        EXPECT_TRUE(symbol == text.c_str());
        EXPECT_TRUE(symbol == UnitSymbol(std::string_view(text)));  // made apart, equal
        UnitSymbol copy = symbol;
        EXPECT_EQ(copy, symbol);
        EXPECT_EQ(std::string(copy), text);
    }
}

TEST(UnitSymbolTest, DiffersWhereTheTextsDiffer) {
    const std::string base(UnitSymbol::capacity, 'k');
    struct Row {
        std::string a, b;
    } rows[] = {
        {"km", "kmh"},
        {"km", "Km"},
        {"", "m"},
        {"USD", "VND"},
        {base, base + "s"},        // one inline, one not
        {base + "s", base + "t"},  // both past the room: differ after it
        {base + "ss", base + "s"},
    };
    for (const Row& r : rows) {
        EXPECT_FALSE(UnitSymbol(r.a) == UnitSymbol(r.b)) << r.a << " vs " << r.b;
        EXPECT_FALSE(UnitSymbol(r.a) == r.b) << r.a << " vs " << r.b;
        EXPECT_FALSE(UnitSymbol(r.b) == r.a.c_str()) << r.b << " vs " << r.a;
    }
    EXPECT_NE((Unit{"USD"}), (Unit{"EUR"}));
    EXPECT_EQ((Unit{"USD"}), (Unit{std::string("USD")}));
}

// Long symbols made on several threads at once: all of one text are equal, none is lost.
TEST(UnitSymbolTest, LongSymbolsFromSeveralThreads) {
    std::vector<std::thread> threads;
    std::vector<std::vector<UnitSymbol>> made(4);
    for (std::size_t t = 0; t < made.size(); ++t)
        threads.emplace_back([&made, t] {
            for (int k = 0; k < 200; ++k) made[t].emplace_back("a long made-up unit number " + std::to_string(k % 50));
        });
    for (std::thread& t : threads) t.join();
    for (std::size_t t = 0; t < made.size(); ++t)
        for (int k = 0; k < 200; ++k) {
            ASSERT_EQ(made[t][k].view(), "a long made-up unit number " + std::to_string(k % 50));
            ASSERT_EQ(made[t][k], made[0][k]);
        }
}

}  // namespace
