// Whole sheets, for what the data files of tests/sheets do not show: which lines an edit or a
// new rates version makes the sheet analyse again and report as changed, the counted lines,
// the final rates, variable names and spans. Rates are the fixed ones of TestRates.h (USD
// transfer 25100 VND).

#include <gtest/gtest.h>
#include <malloc.h>

#include <string>
#include <vector>

#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/Sheet.h"
#include "tests/support/TestRates.h"
#include "tests/support/TestValues.h"

using namespace quibsum;
using quibsum::testing::dec;
using quibsum::testing::err;

namespace {

using quibsum::testing::shown;

std::vector<std::string> column(const Sheet& sheet) {
    std::vector<std::string> out;
    for (const LineResult& r : sheet.results()) out.push_back(shown(r));
    return out;
}

std::string shown(const PageTotal& t) {
    if (auto v = std::get_if<PageTotal::Value>(&t.payload)) return v->display + " (" + std::to_string(v->count) + ")";
    if (auto e = std::get_if<PageTotal::Error>(&t.payload)) return "error: " + e->message;
    if (std::holds_alternative<PageTotal::Incompatible>(t.payload)) return "incompatible";
    return "empty";
}

Engine testEngine() { return Engine(quibsum::testing::testRates(), NumberStyle::en, RateKind::transfer); }

class SheetTest : public ::testing::Test {
protected:
    Sheet sheet{testEngine()};

    void replaceLine(std::size_t i, std::string text) { sheet.update(i, i + 1, {std::move(text)}); }
};

TEST_F(SheetTest, CountedLinesAndFinalRates) {
    sheet.setText("x = 5\nsum\n1 USD = 25000 VND\n1 VND = 0.00004 USD\nabc");
    EXPECT_EQ(sheet.counted(), (std::vector<bool>{true, false, false, false, true}));
    EXPECT_EQ(sheet.finalRates(), (SheetRates{{CurrencyPair{"VND", "USD"}, dec("0.00004")}}));
    sheet.setText("1 USD = 25000 VND\n1 EUR = 27000 VND\n1 USD = 24000 VND");
    EXPECT_EQ(sheet.finalRates(),
              (SheetRates{{CurrencyPair{"EUR", "VND"}, dec("27000")}, {CurrencyPair{"USD", "VND"}, dec("24000")}}));
}

TEST_F(SheetTest, ATotalIsRecomputedAfterAnEdit) {
    sheet.setText("1\n2");
    EXPECT_EQ(shown(sheet.total()), "3 (2)");
    replaceLine(1, "5");
    EXPECT_EQ(shown(sheet.total()), "6 (2)");
}

// Which lines an edit analyses again: the edited ones, and below them exactly those whose
// variables, previous result, block or sheet rates changed.
TEST_F(SheetTest, AnEditAnalysesOnlyTheLinesWhoseInputsChanged) {
    sheet.setText("rent = 10\n100\n200\nrent * 2\n300\nprev + 1\nsum");
    EXPECT_EQ(sheet.lastAnalysedCount(), 7u);

    struct Edit {
        std::size_t line;
        const char* text;
        std::size_t analysed;
        const char* why;
    };
    const std::vector<Edit> edits = {
        {4, "301", 3, "the edited line, the line using it as previous result, the sum of its block"},
        {1, "101", 2, "the edited line and the sum; line 2 reads nothing from it"},
        {1, "101.0", 1, "an equal value changes no input below"},
        {0, "rent = 11", 3, "the assignment, the line naming rent, the sum"},
        {3, "rent * 3", 2, "the edited line and the sum; prev + 1 follows line 4"},
        {6, "average", 1, "only the aggregate itself"},
        {0, "cost = 11", 3, "rent vanished: its reader changes too"},
    };
    for (const Edit& e : edits) {
        replaceLine(e.line, e.text);
        EXPECT_EQ(sheet.lastAnalysedCount(), e.analysed) << e.text << ": " << e.why;
    }
    EXPECT_EQ(column(sheet), (std::vector<std::string>{"11", "101", "200", "note", "301", "302", "183"}));

    // A typed rate is an input of every line below it.
    sheet.update(2, 2, {"1 USD = 25000 VND"});
    EXPECT_EQ(sheet.lastAnalysedCount(), 6u);
    // Editing it to an equal rate does not.
    replaceLine(2, "USD = 25000");
    EXPECT_EQ(sheet.lastAnalysedCount(), 1u);
    // Nothing changed: nothing analysed.
    sheet.update(0, 0, {});
    EXPECT_EQ(sheet.lastAnalysedCount(), 0u);
}

// A running total on every other line (tests/sheets/running-totals.test shows its results): a
// change to the first value reaches every sum, an equal value none.
TEST_F(SheetTest, RunningTotals) {
    sheet.setText("1\nsum\n2\nsum\n3\nsum");
    replaceLine(0, "5");  // every sum reads it
    EXPECT_EQ(column(sheet), (std::vector<std::string>{"5", "5", "2", "12", "3", "27"}));
    EXPECT_EQ(sheet.lastAnalysedCount(), 4u);
    replaceLine(4, "3.0");  // an equal value: nothing below changes
    EXPECT_EQ(sheet.lastAnalysedCount(), 1u);
    EXPECT_EQ(column(sheet), (std::vector<std::string>{"5", "5", "2", "12", "3", "27"}));
}

// A sum is reused only while its block holds the same lines with the same values: edits that
// keep the block's size, or its first line, or every value but one, must still reach it.
TEST_F(SheetTest, ASumSeesEveryChangeOfItsBlock) {
    struct Case {
        const char* text;
        std::size_t lower, upper;
        std::vector<std::string> replacement;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"5\n\n7\nsum", 1, 3, {}, "as many values, another first line"},
        {"1\n2\nsum", 1, 2, {"3"}, "same size and first line, a later value changed"},
        {"1\n2\nsum", 0, 1, {"1.0"}, "an equal value typed again"},
        {"x\n1\n1\nsum", 0, 2, {"1"}, "a note gone and a line replaced by an equal value"},
        {"1\n1\n1\nsum", 1, 2, {}, "one of equal values removed"},
        {"1\n// a\n2\nsum", 1, 2, {"3"}, "a note above the sum turned into a value"},
        {"1\n2\nsum\n3\nsum", 2, 3, {"4"}, "a running total replaced by a value"},
        {"1 USD = 25000 VND\n2\nsum", 0, 1, {"25000"}, "a definition replaced by an equal plain value"},
        {"10 USD\n5\nsum", 1, 1, {"# Part", "5"}, "a heading splits the block"},
    };
    for (const Case& c : cases) {
        Sheet edited(testEngine());
        edited.setText(c.text);
        edited.update(c.lower, c.upper, c.replacement);
        Sheet fresh(testEngine());
        fresh.update(0, 0, edited.lines());
        EXPECT_EQ(column(edited), column(fresh)) << c.why;
    }
}

TEST_F(SheetTest, ANewMultiWordNameReachesTheLinesThatSpellIt) {
    sheet.setText("tiền = 3\n100\ntiền nhà / 2\nnhà");
    EXPECT_EQ(column(sheet), (std::vector<std::string>{"3", "100", "note", "note"}));
    sheet.update(0, 0, {"tiền nhà = 10"});
    EXPECT_EQ(column(sheet), (std::vector<std::string>{"10", "3", "100", "5", "note"}));
    // The new line, the two lines keyed by "tiền"; neither "100" nor "nhà" can read the name.
    EXPECT_EQ(sheet.lastAnalysedCount(), 3u);
}

TEST_F(SheetTest, ANewRatesVersionReachesTheLinesThatAskedTheStore) {
    // A conversion, a cross rate inside a block sum, a sheet rate that needs no store, and
    // lines that read the converted value; then the store's tables change under the sheet.
    auto store = quibsum::testing::testRates();
    struct Switchable final : RateStore {
        std::shared_ptr<const RateStore> current;
        std::optional<Rate> rate(std::string_view f, std::string_view t, RateKind k) const override {
            return current->rate(f, t, k);
        }
        std::int64_t version() const override { return 0; }
    };
    auto switchable = std::make_shared<Switchable>();
    switchable->current = store;
    Engine engine(switchable, NumberStyle::en, RateKind::transfer);
    Sheet s(engine);
    const char* text = "10 km\n\na = 100 USD in VND\na * 2\n1 CHF = 30000 VND\n2 CHF in VND\n1 EUR\nsum";
    s.setText(text);
    EXPECT_EQ(column(s)[7], "7,616,200 ₫");

    switchable->current = quibsum::testing::noRates();
    auto u = s.setRatesVersion(1);
    Sheet fresh(engine);
    fresh.setText(text);
    EXPECT_EQ(column(s), column(fresh));
    EXPECT_EQ(column(s)[2], err(messages::noRate));
    EXPECT_EQ(column(s)[5], "60,000 ₫");  // a typed rate needs no store
    EXPECT_EQ(u.changed, (std::vector<std::size_t>{2, 3, 7}));
    EXPECT_EQ(s.ratesVersion(), 1);
    // The conversion, its reader (whose input changed) and the sum that asked for EUR.
    EXPECT_EQ(s.lastAnalysedCount(), 3u);

    // The same version again changes nothing, even though the store now answers differently.
    switchable->current = store;
    u = s.setRatesVersion(1);
    EXPECT_TRUE(u.changed.empty());
    EXPECT_EQ(column(s)[2], err(messages::noRate));
    // A new one brings the first tables back.
    u = s.setRatesVersion(2);
    EXPECT_EQ(u.changed, (std::vector<std::size_t>{2, 3, 7}));
    EXPECT_EQ(column(s)[7], "7,616,200 ₫");
}

TEST_F(SheetTest, AnUpdateReportsTheLinesWhoseVariableRangesChanged) {
    sheet.setText("x = 5\nx * 2\n10\ntiền nhà * 2");
    auto u = sheet.update(0, 1, {"y = 5"});  // x is no longer a variable below
    EXPECT_EQ(u.rangesChanged, (std::vector<std::size_t>{0, 1}));
    EXPECT_TRUE(sheet.variableSpans(1).empty());

    u = sheet.update(2, 3, {"tiền nhà = 3"});  // a multi-word name appears for the line below
    EXPECT_EQ(u.rangesChanged, (std::vector<std::size_t>{2, 3}));
    ASSERT_EQ(sheet.variableSpans(3).size(), 1u);
    EXPECT_EQ(sheet.variableSpans(3)[0], (TextRange{0, 8}));

    u = sheet.update(2, 3, {"tiền nhà = 4"});  // same names, new value: only the new line
    EXPECT_EQ(u.rangesChanged, (std::vector<std::size_t>{2}));
}

TEST_F(SheetTest, ChangedLinesAreComparedByPosition) {
    sheet.setText("1\n2\n3\n4\n5");
    auto u = sheet.update(2, 3, {"30", "31"});
    EXPECT_EQ(u.changed, (std::vector<std::size_t>{2, 3, 4, 5}));
    ASSERT_EQ(u.results.size(), 6u);
    EXPECT_EQ(shown(u.results[5]), "5");

    sheet.setText("1\n1\n1");
    u = sheet.update(0, 0, {"1"});
    EXPECT_EQ(u.changed, (std::vector<std::size_t>{3}));  // shifted, but equal at every old position

    u = sheet.update(1, 3, {});
    EXPECT_TRUE(u.changed.empty());
    EXPECT_EQ(sheet.results().size(), 2u);

    sheet.setText("1\n2\nsum");
    u = sheet.update(0, 1, {"10"});
    EXPECT_EQ(u.changed, (std::vector<std::size_t>{0, 2}));
}

TEST_F(SheetTest, ASheetOfNoLines) {
    EXPECT_TRUE(sheet.results().empty());
    EXPECT_EQ(shown(sheet.total()), "empty");
    auto u = sheet.update(0, 0, {});
    EXPECT_TRUE(u.results.empty());
    EXPECT_TRUE(u.changed.empty());
    EXPECT_TRUE(sheet.finalRates().empty());
}

TEST_F(SheetTest, SetTextSplitsAtEveryLineFeed) {
    sheet.setText("1\n\n2\n");
    EXPECT_EQ(sheet.lines(), (std::vector<std::string>{"1", "", "2", ""}));
    EXPECT_EQ(sheet.counted().size(), 4u);
    EXPECT_EQ(sheet.setText("7").size(), 1u);
    EXPECT_EQ(sheet.lines(), (std::vector<std::string>{"7"}));
}

TEST_F(SheetTest, AHeadingAfterAnyWhiteSpaceEndsTheBlockAndThePreviousResult) {
    // "#" after a no-break space, after an ideographic space, and after plain spaces.
    sheet.setText("100\n\xC2\xA0# Food\nprev\n200\n\xE3\x80\x80#\n300\nsum\n  # x\nsum");
    EXPECT_EQ(column(sheet), (std::vector<std::string>{"100", "note", err(messages::noPreviousResult), "200", "note",
                                                       "300", "300", "note", "note"}));
    EXPECT_EQ(shown(sheet.total()), "600 (3)");
}

TEST_F(SheetTest, AnUpdateRangeBeyondTheLinesIsClamped) {
    sheet.setText("1\n2");
    auto u = sheet.update(5, 9, {"3"});
    EXPECT_EQ(sheet.lines(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(u.changed, (std::vector<std::size_t>{2}));
    sheet.update(2, 1, {"4"});
    EXPECT_EQ(sheet.lines(), (std::vector<std::string>{"1", "4", "2", "3"}));
}

TEST_F(SheetTest, VariableNamesBeforeALine) {
    sheet.setText("x = 1\ny = 2\nx = 3\nz = 1/0\ntiền nhà = 4");
    EXPECT_TRUE(sheet.variableNames(0).empty());
    EXPECT_TRUE(sheet.variableNames(-3).empty());
    EXPECT_EQ(sheet.variableNames(1), (std::vector<std::string>{"x"}));
    EXPECT_EQ(sheet.variableNames(100), (std::vector<std::string>{"x", "y", "tiền nhà"}));
}

TEST_F(SheetTest, VariableSpans) {
    sheet.setText("x = 5\n100\nx * x\ntiền nhà = 2\ngiá: tiền nhà + 1");
    auto spans = sheet.variableSpans();
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(spans[0], (std::vector<TextRange>{{0, 1}}));
    EXPECT_EQ(spans[2], (std::vector<TextRange>{{0, 1}, {4, 1}}));
    EXPECT_EQ(spans[3], (std::vector<TextRange>{{0, 8}}));  // UTF-16 units, not bytes
    EXPECT_EQ(spans[4], (std::vector<TextRange>{{5, 8}}));
}

}  // namespace

// Every word typed becomes a name key the sheet numbers; thousands of words typed and deleted
// again make it renumber the names still in use. The lines must go on reading the right
// variables, and an edit must still reach exactly the lines that read what it changed.
TEST_F(SheetTest, VariablesStayRightAfterThousandsOfWordsTyped) {
    sheet.setText("rent = 10\ntiền nhà = 5\nx\nrent * 2\ntiền nhà + 1");
    for (int k = 0; k < 3000; ++k) replaceLine(2, "w" + std::to_string(k) + " + rent");
    EXPECT_EQ(column(sheet), (std::vector<std::string>{"10", "5", "note", "20", "6"}));

    struct Edit {
        std::size_t line;
        const char* text;
        std::size_t analysed;
        std::vector<std::string> shown;
    };
    const std::vector<Edit> edits = {
        {0, "rent = 11", 3, {"11", "5", "note", "22", "6"}},  // line 2 reads rent too
        {1, "tiền nhà = 6", 2, {"11", "6", "note", "22", "7"}}, {2, "rent + tiền nhà", 1, {"11", "6", "17", "22", "7"}},
        {0, "rent = 11.0", 1, {"11", "6", "17", "22", "7"}},    {1, "tiền = 6", 3, {"11", "6", "note", "22", "note"}},
    };
    for (const Edit& e : edits) {
        replaceLine(e.line, e.text);
        EXPECT_EQ(sheet.lastAnalysedCount(), e.analysed) << e.text;
        EXPECT_EQ(column(sheet), e.shown) << e.text;
    }
    EXPECT_EQ(sheet.variableNames(5), (std::vector<std::string>{"rent", "tiền"}));
}

// A line depends on the names with spaces it joins, not on every name that shares their first
// word: a new or vanished name under that word reaches the lines reading the word, a changed
// value only the lines that read that name.
TEST_F(SheetTest, ALineReadsOnlyTheNamesWithSpacesItJoins) {
    struct Edit {
        std::size_t lower, upper;
        std::vector<std::string> replacement;
        std::size_t analysed;
        std::vector<std::string> shown;
        const char* why;
    };
    const std::vector<Edit> edits = {
        {1, 2, {"item 2 = 3"}, 2, {"1", "3", "10", "30", "note"}, "the assignment and the reader of item 2 alone"},
        {0,
         0,
         {"item 3 = 7"},
         6,
         {"7", "1", "3", "10", "30", "note"},
         "a new name under item: every line reading item"},
        {0, 1, {}, 5, {"1", "3", "10", "30", "note"}, "the name vanished again"},
        {4, 5, {"item 4 + 1"}, 1, {"1", "3", "10", "30", "note"}, "an unknown name: the line alone"},
        {2, 2, {"item 2 = 3"}, 1, {"1", "3", "3", "10", "30", "note"}, "assigned again, the same value"},
        {1,
         2,
         {},
         1,
         {"1", "3", "10", "30", "note"},
         "item 2 is now registered by the next line: the names and values below are the same"},
    };
    sheet.setText("item 1 = 1\nitem 2 = 2\nitem 1 * 10\nitem 2 * 10\nitem 4");
    for (const Edit& e : edits) {
        sheet.update(e.lower, e.upper, e.replacement);
        EXPECT_EQ(sheet.lastAnalysedCount(), e.analysed) << e.why;
        EXPECT_EQ(column(sheet), e.shown) << e.why;
    }
}

namespace {

std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

// What a sheet holds grows with its lines, not with their square: every line assigning a new
// name with the same first word (a list of "item N = N") costs what the first ones did.
TEST(SheetMemory, GrowsWithTheLinesNotWithTheirSquare) {
    auto heldFor = [](int count) {
        std::string text;
        for (int i = 1; i <= count; ++i) text += "item " + std::to_string(i) + " = " + std::to_string(i) + "\n";
        text += "item 1 + item " + std::to_string(count);
        const std::size_t before = heapInUse();
        Sheet sheet(testEngine());
        sheet.setText(text);
        sheet.update(0, 1, {"item 1 = 2"});  // reaches the last line through every line's inputs
        EXPECT_EQ(sheet.results().back().asValue()->quantity.value, Decimal(count + 2));
        return static_cast<double>(heapInUse() - before);
    };
    heldFor(100);  // the engine's working storage, made once per thread
    const double small = heldFor(1000);
    const double large = heldFor(2000);
    EXPECT_GT(large / small, 1.6);
    EXPECT_LT(large / small, 2.4) << small << " bytes for 1000 lines, " << large << " for 2000";
    EXPECT_LT(large / 2001, 1000) << "bytes per line";
}
