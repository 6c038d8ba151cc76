// One line at a time through the whole engine: each row is a line and what it must show,
// with the fixed rates of TestRates.h.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/EngineMessages.h"
#include "tests/support/TestRates.h"
#include "tests/support/TestValues.h"

using namespace quibsum;
using quibsum::testing::dec;
using quibsum::testing::err;
using quibsum::testing::shown;

namespace {

struct Row {
    const char* line;
    std::string expected;
};

// Runs lines in order like a tiny sheet: assignments and rate definitions feed the lines below.
class EngineTest : public ::testing::Test {
protected:
    Engine engine{quibsum::testing::testRates(), NumberStyle::en, RateKind::transfer};
    Environment env;

    LineAnalysis run(const std::string& line, const Engine& e) {
        LineAnalysis a = e.analyze(line, env);
        if (auto v = a.result.asValue()) {
            if (a.rateDefinition) {
                applyRateDefinition(env.sheetRates, *a.rateDefinition);
            } else {
                if (a.assignedName) env.assign(*a.assignedName, v->quantity);
                env.prev = v->quantity;
            }
        }
        return a;
    }
    LineAnalysis run(const std::string& line) { return run(line, engine); }

    void check(std::initializer_list<Row> rows, const Engine& e) {
        for (const auto& row : rows) {
            env = Environment{};
            EXPECT_EQ(shown(run(row.line, e).result), row.expected) << "line: " << row.line;
        }
    }
    void check(std::initializer_list<Row> rows) { check(rows, engine); }
};

TEST_F(EngineTest, Arithmetic) {
    check({
        {"1+2", "3"},
        {"2 + 3 * 4", "14"},
        {"2^3^2", "512"},
        {"-2^2", "4"},
        {"2(3+4)", "14"},
        {"10/3", "3.333333333"},
        {"1/3", "0.3333333333"},
        {"7 mod -3", "1"},
        {"-7 mod 3", "-1"},
        {"7.5 mod 2", "1.5"},
        {"2^-2", "0.25"},
        {"2 ^ 100", "1,267,650,600,000,000,000,000,000,000,000"},
        {"3 x 4", "12"},
        {"0x1F + 0b101", "36"},
        {"1tr5 + 2k", "1,502,000"},
        {"abs(-3)", "3"},
        {"round(2.5)", "3"},
        {"round(-2.5)", "-3"},
        {"floor(-1.5)", "-2"},
        {"ceil(1.2)", "2"},
        {"sqrt 16 + 9", "13"},
        {"sqrt(16 + 9)", "5"},
        {"log 1000", "3"},
        {"ln 1", "0"},
        {"sin 0", "0"},
    });
}

TEST_F(EngineTest, OperatorFailures) {
    check({
        {"10 / 0", err(messages::divisionByZero)},
        {"10 / (5 - 5)", err(messages::divisionByZero)},
        {"10 mod 0", err(messages::invalidModulo)},
        {"5 km mod 2", err(messages::invalidModulo)},
        {"2 ^ 0.5", err(messages::invalidExponent)},
        {"2 ^ 1025", err(messages::invalidExponent)},
        {"2 ^ 1024", err(messages::outOfRange)},
        {"2 ^ -1025", err(messages::invalidExponent)},
        {"2 km ^ 2", err(messages::invalidExponent)},
        {"2 ^ 2 km", err(messages::invalidExponent)},
        {"0 ^ -1", err(messages::outOfRange)},
        {"10 ^ 200", err(messages::outOfRange)},
        {"2 m * 3 m", err(messages::multiplyUnits)},
        {"2 m * 10%", err(messages::multiplyUnits)},
        {"sqrt(-4)", err(messages::outsideDomain)},
        {"ln 0", err(messages::outsideDomain)},
        {"sqrt(4 km)", err(messages::functionNeedsPlainNumber)},
        {"1 km / 2 kg", err(messages::unitMismatch)},
        {"5 / 2 km", err(messages::unitMismatch)},
        {"1 km in kg", err(messages::unitMismatch)},
        {"5 in km", err(messages::unitMismatch)},
        {"5 km in USD", err(messages::unitMismatch)},
        {"1 C in m", err(messages::unitMismatch)},
    });
}

TEST_F(EngineTest, NotCalculations) {
    check({
        {"", "note"},
        {"   ", "note"},
        {"# Food", "note"},
        {"// comment", "note"},
        {"Rent:", "note"},
        {"hello world", "note"},
        {"unknown * 2", "note"},
        {"foo(2)", "note"},
        {"5 +", "note"},
        {"*", "note"},
        {"(1 + 2", "note"},
        {"5 5", "note"},
        {"$ x", "note"},
        {"5 of 10", "note"},
        {"5 km VND", "note"},
        {"prev", "note"},
        {"5 km %", "note"},
        {"1e5", "note"},
    });
}

TEST_F(EngineTest, LabelsAndComments) {
    check({
        {"Rent: 500", "500"},
        {"Rent: food: 5", "note"},
        {"\"label\" 5", "5"},
        {"5 # five", "5"},
        {"5 // five", "5"},
        {"100 USD = ? VND", "2,510,000 ₫"},
    });
}

TEST_F(EngineTest, Percentages) {
    check({
        {"5%", "5%"},
        {"100 + 10%", "110"},
        {"50 - 10%", "45"},
        {"200 USD + 10%", "220.00 USD"},
        {"200 * 10%", "2,000%"},
        {"20% of 50", "10"},
        {"20% của 50", "10"},
        {"15% on 200", "230"},
        {"15% tăng 200", "230"},
        {"20% off 80", "64"},
        {"20% giảm 80", "64"},
        {"20% of 50 USD", "10.00 USD"},
        {"10% of 100 + 50", "15"},
        {"20% of what is 50", "250"},
        {"10% on what is 220", "200"},
        {"10% off what is 180", "200"},
        {"100% off what is 5", err(messages::divisionByZero)},
        {"30 as a % of 120", "25%"},
        {"150 as a % on 120", "25%"},
        {"90 as a % off 120", "25%"},
        {"30 USD as a % of 60 USD", "50%"},
        {"30 as a % of 0", err(messages::divisionByZero)},
        {"30 km as a % of 1 kg", err(messages::unitMismatch)},
        // A percentage is a fraction, not a currency: converting it is a unit mismatch.
        {"50% in USD", err(messages::unitMismatch)},
        {"10% + 5 USD", err(messages::unitMismatch)},
        {"5 USD - 10% in km", err(messages::unitMismatch)},
    });
}

TEST_F(EngineTest, Units) {
    check({
        {"1 inch in cm", "2.54 cm"},
        {"5 km to m", "5,000 m"},
        {"5 km = m", "5,000 m"},
        {"2 km + 300 m", "2.3 km"},
        {"5 + 3 km", "8 km"},
        {"2 km / 500 m", "4"},
        {"10 km / 2", "5 km"},
        {"3 * 2 kg", "6 kg"},
        {"1 m2 in cm2", "10,000 cm²"},
        {"1 square km in ha", "100 ha"},
        {"1 acre in ha", "0.4046856422 ha"},
        {"1 m³ in l", "1,000 l"},
        {"1 tbsp in tsp", "3 tsp"},
        {"1 lb in oz", "16 oz"},
        {"2 lạng in g", "200 g"},
        {"100 C in F", "212 F"},
        {"98.6 F in C", "37 C"},
        {"0 K in C", "-273.15 C"},
        {"1 year in day", "365 day"},
        {"12 month in year", "1 year"},
        {"1 week in h", "168 h"},
        {"90 phút in giờ", "1.5 h"},
        {"1 KiB in B", "1,024 B"},
        {"1 GiB in MiB", "1,024 MiB"},
        {"1 B in b", "8 b"},
        {"5MB in kB", "5,000 kB"},
        {"2 km + 3", "5 km"},
    });
}

TEST_F(EngineTest, CurrencyPaths) {
    check({
        {"100 USD in VND", "2,510,000 ₫"},
        {"100 USD sang VND", "2,510,000 ₫"},
        {"100 USD đổi sang VND", "2,510,000 ₫"},
        {"100 usd to vnd", "2,510,000 ₫"},
        {"$100 in đ", "2,510,000 ₫"},
        {"100 USD VND", "2,510,000 ₫"},
        {"mua 100 USD sang VND", "2,500,000 ₫"},
        {"bán 100 USD sang VND", "2,540,000 ₫"},
        {"mua bán 100 USD sang VND", "2,500,000 ₫"},  // buy wins over sell
        {"502000 VND in USD", "20.00 USD"},
        {"mua 50000 VND in USD", "2.00 USD"},
        {"100 JPY in VND", "17,000 ₫"},
        // No buy rate for JPY at the bank: the mid-market cross rate through USD answers.
        {"mua 100 JPY sang VND", "16,867 ₫"},
        {"1 GBP in VND", "31,625 ₫"},
        {"1 EUR in GBP", "0.89 GBP"},
        {"90 EUR in USD", "100.00 USD"},
        {"100 USD + 45 EUR", "150.00 USD"},
        {"1 USD in USD", "1.00 USD"},
        {"1 XAU in USD", err(messages::noRate)},
        {"1 USD in XAU", err(messages::noRate)},
        {"100 USD / 45 EUR", "2"},
    });
}

TEST_F(EngineTest, MidMarketDefaultKind) {
    Engine mid{quibsum::testing::testRates(), NumberStyle::en, RateKind::mid};
    check(
        {
            {"100 USD in VND", "2,530,000 ₫"},
            // The bank table is never asked for a mid rate: the cross rate through USD answers.
            {"9 EUR in VND", "253,000 ₫"},
            {"mua 100 USD in VND", "2,500,000 ₫"},
        },
        mid);
}

TEST_F(EngineTest, EmptyStore) {
    Engine none{quibsum::testing::noRates(), NumberStyle::en, RateKind::transfer};
    check({{"1 EUR in VND", err(messages::noRate)}, {"1 USD in EUR", err(messages::noRate)}, {"5 km in m", "5,000 m"}},
          none);
}

TEST_F(EngineTest, InlineRates) {
    check({
        {"100 USD @ 25000", "2,500,000 ₫"},
        {"100 USD @ 25000 VND", "2,500,000 ₫"},
        {"2500000 VND @ 25000 USD", "100.00 USD"},
        {"100 USD @ 2 EUR", "200.00 EUR"},
        {"100 USD @ 25000 + 5", "2,500,005 ₫"},
        {"2500000 VND @ 25000", err(messages::missingTargetCurrency)},
        {"2500000 VND @ 25000 VND", err(messages::invalidRate)},
        {"100 USD @ 25000 USD", err(messages::invalidRate)},
        {"100 USD @ 0", err(messages::invalidRate)},
        {"100 USD @ -5", err(messages::invalidRate)},
        {"100 @ 25000", err(messages::invalidRate)},
        {"1 km @ 5", err(messages::invalidRate)},
        {"100 USD @ (5 km)", err(messages::invalidRate)},
        {"100 USD @ 5 km", "note"},
        {"100 USD @ (2 EUR) USD", err(messages::invalidRate)},
        // A second inline rate is the invalid-rate message, not a silent note.
        {"100 USD @ 25000 @ 2", err(messages::invalidRate)},
    });
}

TEST_F(EngineTest, InlineRateCarriesTheAppliedRate) {
    auto a = run("100 USD @ 25000");
    ASSERT_TRUE(a.result.isValue());
    const Quantity& q = a.result.asValue()->quantity;
    ASSERT_TRUE(q.rate);
    EXPECT_EQ(*q.rate, (Rate{Decimal(25000), RateSource::sheet, distantPast(), RateKind::transfer}));
}

TEST_F(EngineTest, RateDefinitions) {
    check({
        {"1 USD = 25000 VND", "1 USD = 25,000 ₫"},
        {"USD = 25000", "1 USD = 25,000 ₫"},
        {"2 EUR = 54000", "1 EUR = 27,000 ₫"},
        {"1 USD = 0.9 EUR", "1 USD = 0.9 EUR"},
        {"1 VND = 0.00004 USD", "1 ₫ = 0.00004 USD"},
        {"0 USD = 25000 VND", err(messages::invalidRate)},
        {"1 USD = 0", err(messages::invalidRate)},
        {"1 VND = 25000", err(messages::invalidRate)},
        {"1 USD = 1 USD", err(messages::invalidRate)},
        {"1 USD = 5 km", err(messages::invalidRate)},
        {"1 USD = 5%", err(messages::invalidRate)},
        {"1 USD = unknown", "note"},
        {"1 USD = 1 / 0", err(messages::divisionByZero)},
        // A currency followed by an amount defines a rate, never a variable named "USD 1".
        {"USD 1 = 25000 VND", "1 USD = 25,000 ₫"},
        {"euro 1 = 27000", "1 EUR = 27,000 ₫"},
        {"usd 4 = 100000", "1 USD = 25,000 ₫"},
        {"5 = 3", err(messages::invalidVariableName)},
        {"1x = 5", err(messages::invalidVariableName)},
    });
}

TEST_F(EngineTest, RateDefinitionRecord) {
    auto b = run("usd 4 = 100000");
    ASSERT_TRUE(b.rateDefinition);
    EXPECT_EQ(*b.rateDefinition, (SheetRate{"USD", "VND", Decimal(25000)}));
    EXPECT_FALSE(b.assignedName);
    const Quantity& q = b.result.asValue()->quantity;
    EXPECT_EQ(q.unit, Unit{"VND"});
    EXPECT_EQ(q.rate, (Rate{Decimal(25000), RateSource::sheet, distantPast(), RateKind::transfer}));
}

TEST_F(EngineTest, SheetRatesComeFirst) {
    run("1 USD = 24000 VND");
    auto a = run("100 USD in VND");
    EXPECT_EQ(shown(a.result), "2,400,000 ₫");
    EXPECT_EQ(a.result.asValue()->quantity.rate->source, RateSource::sheet);
    EXPECT_EQ(shown(run("480000 VND in USD").result), "20.00 USD");

    // Through VND as the intermediate: 27000 / 32000.
    run("1 EUR = 27000");
    run("1 GBP = 32000");
    EXPECT_EQ(shown(run("32 EUR in GBP").result), "27.00 GBP");
    // No typed path to JPY: the bank answers.
    EXPECT_EQ(shown(run("100 JPY in VND").result), "17,000 ₫");
}

// Whether a line's result can change with the rate store's tables: the analysis says so when
// it asked the store, whatever the answer, and not when units, inline rates or the rates typed
// in the sheet were enough.
TEST_F(EngineTest, AnAnalysisSaysWhetherItAskedTheRateStore) {
    struct Row {
        const char* line;
        bool asks;
    };
    const std::vector<Row> rows = {
        {"2 + 3", false},
        {"5 km in m", false},
        {"10 USD + 5 USD", false},
        {"100 USD @ 24000", false},
        {"1 USD = 24000 VND", false},
        {"100 USD in VND", true},
        {"100 EUR in USD", true},  // a cross rate
        {"1 XAU in USD", true},    // asked, and had no answer
        {"10 USD + 250000 VND", true},
        {"x = 2 * (100 USD in VND)", true},
        {"1 km in kg", false},
    };
    for (const Row& row : rows) {
        env = Environment{};
        EXPECT_EQ(run(row.line).asksRateStore, row.asks) << row.line;
    }
    env = Environment{};
    run("1 USD = 24000 VND");
    EXPECT_FALSE(run("100 USD in VND").asksRateStore);  // the typed rate answers first
    EXPECT_TRUE(run("100 EUR in VND").asksRateStore);
}

// The failures code tells apart by kind each show a message of their own, which the list of
// the engine's messages (the ones the interface translates) holds.
TEST(EvaluationError, EveryKindButSyntaxHasAMessageOfItsOwn) {
    std::vector<std::string_view> seen;
    for (std::size_t k = 1; k <= EvaluationError::messageKinds; ++k) {
        const std::string_view text = EvaluationError::of(static_cast<EvaluationError::Kind>(k)).text();
        EXPECT_FALSE(text.empty()) << k;
        EXPECT_EQ(std::find(seen.begin(), seen.end(), text), seen.end()) << text;
        EXPECT_NE(std::find(messages::all.begin(), messages::all.end(), text), messages::all.end()) << text;
        seen.push_back(text);
    }
    EXPECT_EQ(seen.size(), messages::all.size());
    EXPECT_EQ(EvaluationError::of(EvaluationError::Kind::noRate).text(), "Chưa có tỷ giá");
    EXPECT_TRUE(EvaluationError::syntax().text().empty());
    EXPECT_FALSE(EvaluationError::syntax().isMessage());
}

TEST_F(EngineTest, SheetFactorSearch) {
    SheetRates r;
    r[{"USD", "VND"}] = Decimal(25000);
    r[{"EUR", "USD"}] = dec("1.1");
    r[{"EUR", "AUD"}] = dec("1.6");
    // Direct and inverse.
    EXPECT_EQ(CurrencyConverter::sheetFactor("USD", "VND", r), Decimal(25000));
    EXPECT_EQ(CurrencyConverter::sheetFactor("VND", "USD", r), Decimal(1) / Decimal(25000));
    // EUR -> VND: candidates opposite EUR are AUD and USD (no VND), in code order; AUD has
    // no path to VND, USD does.
    EXPECT_EQ(CurrencyConverter::sheetFactor("EUR", "VND", r), dec("27500"));
    // Two intermediates would be needed: no answer.
    EXPECT_EQ(CurrencyConverter::sheetFactor("AUD", "VND", r), std::nullopt);
    EXPECT_EQ(CurrencyConverter::sheetFactor("GBP", "VND", SheetRates{}), std::nullopt);
}

TEST_F(EngineTest, VariablesAndNames) {
    auto a = run("x = 5");
    EXPECT_EQ(shown(a.result), "5");
    EXPECT_EQ(a.assignedName, "x");
    EXPECT_EQ(a.variableRanges, (std::vector<TextRange>{{0, 1}}));

    auto b = run("x * x + y");
    EXPECT_EQ(shown(b.result), "note");  // y is unknown
    EXPECT_EQ(b.referencedNames, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(b.variableRanges, (std::vector<TextRange>{{0, 1}, {4, 1}}));

    run("tiền nhà = 5000000");
    auto c = run("tiền   nhà / 2");
    EXPECT_EQ(shown(c.result), "2,500,000");
    EXPECT_EQ(c.referencedNames, (std::vector<std::string>{"tiền nhà"}));
    EXPECT_EQ(c.variableRanges, (std::vector<TextRange>{{0, 10}}));
    EXPECT_EQ(c.nameKeys, (std::vector<std::string>{"tiền", "nhà"}));

    EXPECT_EQ(shown(run("_tmp = 2").result), "2");
    EXPECT_EQ(shown(run("x1 = 3").result), "3");
    for (const char* bad : {"sqrt = 5", "k = 5", "tr = 5", "5x = 1", "km = 5", "x-y = 2"})
        EXPECT_EQ(shown(run(bad).result), err(messages::invalidVariableName)) << bad;
}

// The summary of first words that turns most tokens away must never turn away a word that
// starts a name: every probe is looked up both ways, before and after the names are cleared.
TEST(MultiWordNames, SummaryAgreesWithTheNames) {
    const std::string longWord(70, 'w');
    const std::vector<std::string> firstWords = {"tiền", "giá", "a", "_x", longWord, "Đơn", ""};
    const std::vector<std::string> probes = {"tiền",
                                             "tiềm",
                                             "tiề",
                                             "giá",
                                             "gió",
                                             "gi",
                                             "a",
                                             "b",
                                             "ab",
                                             "_x",
                                             "_y",
                                             longWord,
                                             longWord + "w",
                                             std::string(69, 'w'),
                                             "Đơn",
                                             "Đơm",
                                             "",
                                             " ",
                                             "5",
                                             "+",
                                             "USD"};
    MultiWordNames names;
    for (const std::string& probe : probes) EXPECT_EQ(names.find(probe), names.end()) << probe;
    StringMap<std::vector<std::string>> plain;
    for (const std::string& word : firstWords) {
        names[word].push_back(word + " name");
        plain[word].push_back(word + " name");
    }
    for (const std::string& probe : probes) {
        auto it = names.find(probe);
        auto expected = plain.find(probe);
        ASSERT_EQ(it == names.end(), expected == plain.end()) << probe;
        if (it != names.end()) {
            EXPECT_EQ(it->second, expected->second) << probe;
        }
    }
    names.clear();
    for (const std::string& probe : probes) EXPECT_EQ(names.find(probe), names.end()) << probe;
    names["gió"].push_back("gió mùa");
    EXPECT_NE(names.find("gió"), names.end());
    EXPECT_EQ(names.find("giá"), names.end());
}

TEST_F(EngineTest, MultiWordNamesSharingFirstBytesWithOtherWords) {
    // "giá vé" and "gió mùa" share first byte and length of their first words, as do "tiền nhà"
    // and "tiềm năng"; a line must join exactly the name it spells.
    run("giá vé = 3");
    run("tiền nhà = 100");
    EXPECT_EQ(shown(run("giá vé * 2").result), "6");
    EXPECT_EQ(shown(run("tiền nhà + giá vé").result), "103");
    EXPECT_EQ(shown(run("gió mùa * 2").result), "note");
    run("tiềm = 7");
    auto mixed = run("tiềm + tiền nhà");
    EXPECT_EQ(shown(mixed.result), "107");
    EXPECT_EQ(mixed.referencedNames, (std::vector<std::string>{"tiềm", "tiền nhà"}));
}

TEST_F(EngineTest, PreviousResult) {
    EXPECT_EQ(shown(run("prev * 2").result), "note");  // nothing yet: the sheet turns this into an error
    EXPECT_TRUE(engine.analyze("prev * 2", env).usesPrev);
    run("21");
    EXPECT_EQ(shown(run("prev * 2").result), "42");
    EXPECT_EQ(shown(run("trên + 1").result), "43");
}

TEST_F(EngineTest, Aggregates) {
    for (const char* line : {"sum", "total", "tổng", "avg", "average", "tb", "Food: sum"}) {
        auto a = engine.analyze(line, env);
        ASSERT_TRUE(a.aggregate) << line;
        EXPECT_TRUE(a.result.isNote());
    }
    EXPECT_EQ(engine.analyze("sum", env).aggregate, Aggregate::sum);
    EXPECT_EQ(engine.analyze("tb", env).aggregate, Aggregate::average);
    EXPECT_FALSE(engine.analyze("TB", env).aggregate);  // terabyte
    EXPECT_FALSE(engine.analyze("sum 5", env).aggregate);
}

TEST_F(EngineTest, LineLengthLimit) {
    std::string longLine = "1";
    for (int i = 0; i < 4999; ++i) longLine += "+1";
    ASSERT_EQ(longLine.size(), 9999u);
    EXPECT_EQ(shown(engine.analyze(longLine, env).result), "note");  // over 512 tokens
    std::string limit(9999, ' ');
    EXPECT_EQ(shown(engine.analyze(limit + "5", env).result), "5");
    EXPECT_EQ(shown(engine.analyze(limit + " 5", env).result), "note");
    // Counted in UTF-16: 5000 two-byte "đ" characters are 5000 units, not 10000 bytes.
    std::string wide;
    for (int i = 0; i < 5000; ++i) wide += "đ";
    EXPECT_EQ(shown(engine.analyze(std::string(4990, ' ') + "5" + wide.substr(0, 2), env).result), "5 ₫");
}

TEST_F(EngineTest, NaNResultIsAnError) {
    // The largest decimal plus itself overflows.
    std::string big = "99999999999999999999999999999999999999" + std::string(127, '0');
    EXPECT_EQ(shown(engine.analyze(big + " * 10", env).result), err(messages::invalidResult));
}

struct StyleRow {
    const char* vi;
    const char* en;
    const char* viShown;
    const char* enShown;
};

TEST_F(EngineTest, BothNumberStyles) {
    Engine vi{quibsum::testing::testRates(), NumberStyle::vi, RateKind::transfer};
    const StyleRow rows[] = {
        {"1234567,891", "1234567.891", "1.234.567,891", "1,234,567.891"},
        {"1.234", "1,234", "1.234", "1,234"},
        {"1,5 km", "1.5 km", "1,5 km", "1.5 km"},
        {"12,5 USD", "12.5 USD", "12,50 USD", "12.50 USD"},
        {"0,125 USD", "0.125 USD", "0,13 USD", "0.13 USD"},
        {"2,5 VND", "2.5 VND", "3 ₫", "3 ₫"},
        {"-25000 VND", "-25000 VND", "-25.000 ₫", "-25,000 ₫"},
        {"12,5%", "12.5%", "12,5%", "12.5%"},
        {"12345678901", "12345678901", "12.345.678.900", "12,345,678,900"},
        {"1 USD = 25.000 VND", "1 USD = 25,000 VND", "1 USD = 25.000 ₫", "1 USD = 25,000 ₫"},
        {"1 USD = 0,9 EUR", "1 USD = 0.9 EUR", "1 USD = 0,9 EUR", "1 USD = 0.9 EUR"},
        {"1,5tr", "1.5tr", "1.500.000", "1,500,000"},
        {"1.234,5 + 1", "1,234.5 + 1", "1.235,5", "1,235.5"},
    };
    for (const auto& row : rows) {
        env = Environment{};
        EXPECT_EQ(shown(vi.analyze(row.vi, env).result), row.viShown) << row.vi;
        EXPECT_EQ(shown(engine.analyze(row.en, env).result), row.enShown) << row.en;
    }
}

}  // namespace
