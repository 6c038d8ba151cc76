#include "QuibSumCore/RateSnapshot.h"

#include <gtest/gtest.h>

#include "QuibSumCore/FixedRateStore.h"
#include "tests/support/TestValues.h"

namespace quibsum {
namespace {

using testing::dec;

const Instant bankDate = std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{1};
const Instant midDate = std::chrono::sys_days{std::chrono::year{2026} / 12 / 6};

RateSnapshot sample(bool bankIsSeed, bool midIsSeed) {
    return RateSnapshot{VCBFeed{CurrencyTable<BankQuote>({
                                    {"USD", BankQuote{dec("26098"), dec("26128"), dec("26398")}},
                                    {"EUR", BankQuote{dec("29956.42"), dec("30259.01"), dec("31597.84")}},
                                    {"KWD", BankQuote{std::nullopt, dec("85267.22"), dec("88679.31")}},
                                }),
                                bankDate},
                        ERAPIFeed{CurrencyTable<Decimal>({
                                      {"USD", Decimal(1)},
                                      {"EUR", dec("0.8612")},
                                      {"VND", dec("26348")},
                                      {"eur", dec("5")},  // a code the service spelled oddly: unreachable
                                  }),
                                  midDate},
                        bankIsSeed, midIsSeed};
}

struct Question {
    const char* from;
    const char* to;
    RateKind kind;
    std::optional<Rate> answer;
};

class RateSnapshotAnswers : public ::testing::TestWithParam<Question> {};

const Rate bankRate(const char* v, RateKind k) { return Rate{dec(v), RateSource::vietcombank, bankDate, k}; }
const Rate midRate(const char* v) { return Rate{dec(v), RateSource::exchangeRateAPI, midDate, RateKind::mid}; }

TEST_P(RateSnapshotAnswers, Table) {
    const Question& q = GetParam();
    EXPECT_EQ(sample(false, false).rate(q.from, q.to, q.kind), q.answer) << q.from << " -> " << q.to;
}

INSTANTIATE_TEST_SUITE_P(
    Rule, RateSnapshotAnswers,
    ::testing::Values(
        // Mid-market: only from USD, to anything in the table.
        Question{"USD", "EUR", RateKind::mid, midRate("0.8612")},
        Question{"usd", "eur", RateKind::mid, midRate("0.8612")},
        Question{"uSd", "vNd", RateKind::mid, midRate("26348")}, Question{"USD", "USD", RateKind::mid, midRate("1")},
        Question{"EUR", "USD", RateKind::mid, std::nullopt}, Question{"EUR", "VND", RateKind::mid, std::nullopt},
        Question{"USD", "GBP", RateKind::mid, std::nullopt}, Question{"USD", "", RateKind::mid, std::nullopt},
        Question{"USDX", "EUR", RateKind::mid, std::nullopt},
        // Bank: any currency of the table, only towards VND, only the kinds it quotes.
        Question{"USD", "VND", RateKind::sell, bankRate("26398", RateKind::sell)},
        Question{"usd", "vnd", RateKind::buy, bankRate("26098", RateKind::buy)},
        Question{"EUR", "VND", RateKind::transfer, bankRate("30259.01", RateKind::transfer)},
        Question{"KWD", "VND", RateKind::transfer, bankRate("85267.22", RateKind::transfer)},
        Question{"KWD", "VND", RateKind::buy, std::nullopt}, Question{"VND", "USD", RateKind::sell, std::nullopt},
        Question{"USD", "EUR", RateKind::sell, std::nullopt}, Question{"JPY", "VND", RateKind::sell, std::nullopt},
        Question{"VND", "VND", RateKind::transfer, std::nullopt}));

TEST(RateSnapshot, SeedTablesAnswerWithSourceSeedEachOnItsOwn) {
    const RateSnapshot s = sample(true, false);
    EXPECT_EQ(s.rate("USD", "VND", RateKind::sell)->source, RateSource::seed);
    EXPECT_EQ(s.rate("USD", "VND", RateKind::mid)->source, RateSource::exchangeRateAPI);
    const RateSnapshot t = sample(false, true);
    EXPECT_EQ(t.rate("USD", "VND", RateKind::sell)->source, RateSource::vietcombank);
    EXPECT_EQ(t.rate("USD", "VND", RateKind::mid)->source, RateSource::seed);
}

TEST(RateSnapshot, EmptyTablesAnswerNothing) {
    const RateSnapshot empty;
    for (RateKind kind : {RateKind::mid, RateKind::transfer, RateKind::buy, RateKind::sell})
        EXPECT_EQ(empty.rate("USD", "VND", kind), std::nullopt);
}

TEST(CurrencyTable, ALaterEntryForACodeWinsAndLookUpIsExact) {
    const CurrencyTable<int> table({{"USD", 1}, {"EUR", 2}, {"USD", 3}, {"AUD", 4}, {"US", 5}, {"USDT", 6}});
    EXPECT_EQ(table.size(), 5u);
    EXPECT_EQ(*table.find("usd"), 3);
    EXPECT_EQ(*table.find("us"), 5);
    EXPECT_EQ(*table.find("UsDt"), 6);
    EXPECT_EQ(table.find("USD "), nullptr);
    EXPECT_EQ(table.find("A"), nullptr);
    EXPECT_EQ(table.find("ZZZ"), nullptr);
    std::string previous;
    for (const auto& [code, value] : table) {
        EXPECT_LT(previous, code);
        previous = code;
    }
}

TEST(FixedRateStore, AnswersThroughTheInterface) {
    const FixedRateStore store(sample(false, false), 7);
    const RateStore& rates = store;
    EXPECT_EQ(rates.version(), 7);
    EXPECT_EQ(rates.rate("eur", "vnd", RateKind::sell), bankRate("31597.84", RateKind::sell));
}

}  // namespace
}  // namespace quibsum
