// The line entry keeps its working storage per thread and reuses it line after line. These
// tests look for anything one line could leave behind for the next: a longer line before a
// shorter one, a line cut short by an exception, two threads analysing at once.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "QuibSumCore/Engine.h"
#include "QuibSumCore/Lexer.h"
#include "QuibSumCore/RateStore.h"
#include "tests/support/TestRates.h"

using namespace quibsum;

namespace {

// Every path through the line entry: labels, assignments, rate definitions, "=" conversions,
// multi-word names (joined at the start, in the middle, not at all), comments, "?", errors,
// aggregates, and lines of very different lengths one after another.
const std::vector<std::string>& lines() {
    static const std::vector<std::string> all = {
        "(1 + 2) * (3 + 4) * (5 + 6) * (7 + 8) * (9 + 10) - 11 / 12 + 13 ^ 2 - sqrt(16) + round(2.5)",
        "1",
        "Rent: 5500000 VND",
        "giá bán = 120 USD",
        "tiền nhà / 2",
        "5 + tiền nhà / 2 + giá bán in VND",
        "tiền nhà + tiền nhà",
        "100 USD = ? VND",
        "100 USD in VND // the bank's rate",
        "mua 250 EUR sang VND",
        "đổi 100 USD sang VND",
        "1 USD = 25000",
        "EUR 1 = 27000 VND",
        "5 km = m",
        "2 km + 300 m in ft",
        "x * 3 + 10%",
        "sum",
        "1 / 0",
        "2 km * 3 km",
        "a b c = 1",
        "\"quoted\" 7 * 6",
        "",
        "20% of 1250.50 USD",
        "500 USD @ 25000",
    };
    return all;
}

Environment environment() {
    Environment env;
    env.assign("tiền nhà", Quantity{Decimal(5000000), Unit{"VND"}, std::nullopt});
    env.assign("giá bán", Quantity{Decimal(120), Unit{"USD"}, std::nullopt});
    env.assign("x", Quantity{Decimal(42), std::nullopt, std::nullopt});
    env.sheetRates[CurrencyPair{"USD", "VND"}] = Decimal(25000);
    return env;
}

// Each line analysed on a thread of its own, whose storage no other line has touched.
std::vector<LineAnalysis> freshAnalyses(const Engine& engine, const Environment& env) {
    std::vector<LineAnalysis> out;
    for (const std::string& line : lines()) {
        std::thread([&] { out.push_back(engine.analyze(line, env)); }).join();
    }
    return out;
}

// A store that fails the way a broken feed could: by throwing from inside a line.
class ThrowingStore final : public RateStore {
public:
    std::optional<Rate> rate(std::string_view, std::string_view, RateKind) const override {
        throw std::runtime_error("store unavailable");
    }
    std::int64_t version() const override { return 0; }
};

}  // namespace

TEST(LinePipeline, ReusedStorageChangesNoResult) {
    const Engine engine(quibsum::testing::testRates(), NumberStyle::en, RateKind::transfer);
    const Environment env = environment();
    const std::vector<LineAnalysis> expected = freshAnalyses(engine, env);
    // Forwards, then backwards, so that every line follows a longer and a shorter one.
    for (int round = 0; round < 2; ++round) {
        for (std::size_t k = 0; k < lines().size(); ++k) {
            const std::size_t i = round == 0 ? k : lines().size() - 1 - k;
            EXPECT_EQ(engine.analyze(lines()[i], env), expected[i]) << "line: " << lines()[i];
        }
    }
}

TEST(LinePipeline, ALineCutShortByAnExceptionLeavesNothingBehind) {
    const Engine failing(std::make_shared<ThrowingStore>(), NumberStyle::en, RateKind::transfer);
    const Engine engine(quibsum::testing::testRates(), NumberStyle::en, RateKind::transfer);
    const Environment env = environment();
    const std::vector<LineAnalysis> expected = freshAnalyses(engine, env);
    for (std::size_t i = 0; i < lines().size(); ++i) {
        // Asks the store half-way through: tokens, kinds and nodes are all in use.
        EXPECT_THROW(failing.analyze("5 + tiền nhà in EUR + 1 EUR in GBP", env), std::runtime_error);
        EXPECT_EQ(engine.analyze(lines()[i], env), expected[i]) << "line: " << lines()[i];
    }
}

TEST(LinePipeline, ThreadsAnalysingAtOnceAgreeWithOneThread) {
    const Engine en(quibsum::testing::testRates(), NumberStyle::en, RateKind::transfer);
    const Engine vi(quibsum::testing::testRates(), NumberStyle::vi, RateKind::buy);
    const Environment env = environment();
    std::vector<LineAnalysis> expectedEn, expectedVi;
    for (const std::string& line : lines()) {
        expectedEn.push_back(en.analyze(line, env));
        expectedVi.push_back(vi.analyze(line, env));
    }
    constexpr int rounds = 300;
    auto work = [&](const Engine& engine, const std::vector<LineAnalysis>& expected, int& mismatches) {
        for (int r = 0; r < rounds; ++r) {
            for (std::size_t i = 0; i < lines().size(); ++i) {
                if (!(engine.analyze(lines()[(i + static_cast<std::size_t>(r)) % lines().size()], env) ==
                      expected[(i + static_cast<std::size_t>(r)) % lines().size()]))
                    ++mismatches;
            }
        }
    };
    int mismatchesEn = 0, mismatchesVi = 0;
    std::thread a(work, std::cref(en), std::cref(expectedEn), std::ref(mismatchesEn));
    std::thread b(work, std::cref(vi), std::cref(expectedVi), std::ref(mismatchesVi));
    a.join();
    b.join();
    EXPECT_EQ(mismatchesEn, 0);
    EXPECT_EQ(mismatchesVi, 0);
}

// The line entry's tokens come straight from the lexer; they must be the lexemes minus
// comments and "?", each joined to the lexeme before it (a dropped one included).
TEST(LinePipeline, LineTokensAreTheLexemesWithTheirJoiners) {
    using J = LineToken::Joiner;
    struct Case {
        const char* line;
        std::vector<std::pair<std::string, J>> tokens;
    };
    const Case cases[] = {
        {"1+2", {{"1", J::none}, {"+", J::touching}, {"2", J::touching}}},
        {"  giá  bán = 3", {{"giá", J::none}, {"bán", J::space}, {"=", J::space}, {"3", J::space}}},
        {"100 USD = ? VND", {{"100", J::none}, {"USD", J::space}, {"=", J::space}, {"VND", J::space}}},
        {"\"a\"b c", {{"b", J::touching}, {"c", J::space}}},
        {"?x", {{"x", J::touching}}},
        {"5 km // note", {{"5", J::none}, {"km", J::space}}},
        {"# only a comment", {}},
        {"", {}},
        // Texts that differ from the line as typed: blanks collapsed in a multi-word entry,
        // characters composed, on lines long enough to hold many such texts.
        {"100 USD quy   đổi\tVND + 2 quy  đổi",
         {{"100", J::none},
          {"USD", J::space},
          {"quy đổi", J::space},
          {"VND", J::space},
          {"+", J::space},
          {"2", J::space},
          {"quy đổi", J::space}}},
        {"tie\u0302\u0300n nha\u0300 = 5 // ghi chu\u0301",
         {{"tiền", J::none}, {"nhà", J::space}, {"=", J::space}, {"5", J::space}}},
        {"8 divide   by 2", {{"8", J::none}, {"divide by", J::space}, {"2", J::space}}},
    };
    std::vector<LineToken> out = {LineToken{}, LineToken{}};  // not empty: must be cleared
    for (const Case& c : cases) {
        Lexer(NumberStyle::en).lineTokens(c.line, out);
        std::vector<std::pair<std::string, J>> got;
        for (const LineToken& t : out) got.emplace_back(t.text, t.joiner);
        EXPECT_EQ(got, c.tokens) << "line: " << c.line;

        std::vector<Lexeme> lexemes = Lexer(NumberStyle::en).lexemes(c.line);
        std::size_t j = 0;
        for (const Lexeme& l : lexemes) {
            if (l.token.kind.is(Token::Tag::comment) || (l.token.kind.is(Token::Tag::word) && l.text == "?")) continue;
            ASSERT_LT(j, out.size()) << "line: " << c.line;
            EXPECT_EQ(*out[j].kind, l.token.kind) << "line: " << c.line;
            EXPECT_EQ(out[j].range, l.token.range) << "line: " << c.line;
            ++j;
        }
        EXPECT_EQ(j, out.size()) << "line: " << c.line;
    }
}
