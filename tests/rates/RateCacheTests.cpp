#include "QuibSumRates/RateCache.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "QuibSumFiles/StoredFileError.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

using testing::dec;
using testing::utc;

RateSnapshot sampleSnapshot() {
    return RateSnapshot{
        VCBFeed{CurrencyTable<BankQuote>({{"USD", BankQuote{dec("26098"), dec("26128.5"), dec("26398.00")}},
                                          {"KWD", BankQuote{std::nullopt, dec("85267.22"), dec("88679.31")}},
                                          {"XYZ", BankQuote{}}}),
                utc(2026, 12, 5, 1, 30)},
        ERAPIFeed{CurrencyTable<Decimal>({{"USD", Decimal(1)},
                                          {"EUR", dec("0.8612")},
                                          {"TINY", dec("1e-128")},
                                          {"HUGE", dec("99999999999999999999999999999999999999e127")},
                                          {"LONG", dec("1234567890.1234567890123456789012345678")}}),
                  utc(2026, 12, 6, 0, 2, 31)},
        false, true};
}

void expectSameMemberByMember(const RateSnapshot& a, const RateSnapshot& b) {
    EXPECT_EQ(a.vcb.asOf, b.vcb.asOf);
    ASSERT_EQ(a.vcb.quotes.size(), b.vcb.quotes.size());
    for (auto i = a.vcb.quotes.begin(), j = b.vcb.quotes.begin(); i != a.vcb.quotes.end(); ++i, ++j) {
        EXPECT_EQ(i->first, j->first);
        for (RateKind kind : {RateKind::buy, RateKind::transfer, RateKind::sell}) {
            const auto &x = i->second.value(kind), &y = j->second.value(kind);
            EXPECT_EQ(x ? x->toString() : "-", y ? y->toString() : "-") << i->first;
        }
    }
    EXPECT_EQ(a.erapi.asOf, b.erapi.asOf);
    ASSERT_EQ(a.erapi.quotes.size(), b.erapi.quotes.size());
    for (auto i = a.erapi.quotes.begin(), j = b.erapi.quotes.begin(); i != a.erapi.quotes.end(); ++i, ++j) {
        EXPECT_EQ(i->first, j->first);
        EXPECT_EQ(i->second.toString(), j->second.toString()) << i->first;
    }
    EXPECT_EQ(a.vcbIsSeed, b.vcbIsSeed);
    EXPECT_EQ(a.erapiIsSeed, b.erapiIsSeed);
}

TEST(RateCache, SavesAtomicallyAndReadsBackWhatItWrote) {
    testing::TempDir dir;
    const auto location = dir.path() / "a" / "b" / "rates.json";  // folders created on the way
    RateSnapshot older = sampleSnapshot();
    older.vcbIsSeed = true;
    RateCache::save(older, location);  // replaced below
    RateCache::save(sampleSnapshot(), location);
    expectSameMemberByMember(RateCache::load(location), sampleSnapshot());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(location.parent_path()), {}), 1);  // no temporaries

    // Sorted keys, pretty-printed, every number as plain exact digits.
    std::ifstream in(location);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto at = [&](std::string_view s) {
        const auto p = text.find(s);
        EXPECT_NE(p, std::string::npos) << s << " in\n" << text;
        return p;
    };
    EXPECT_LT(at("\n  \"erapi\": {\n"), at("\"erapiIsSeed\": true"));
    EXPECT_LT(at("\"erapiIsSeed\""), at("\"vcb\""));
    EXPECT_LT(at("\"vcb\""), at("\"vcbIsSeed\": false"));
    EXPECT_LT(at("\"buy\": 26098"), at("\"sell\": 26398"));
    EXPECT_LT(at("\"sell\": 26398"), at("\"transfer\": 26128.5"));
    at("\"EUR\": 0.8612");
    at("\"asOf\": \"2026-12-05T01:30:00Z\"");
    const auto number = [&](std::string_view key) {
        const auto start = at(key) + key.size();
        return text.substr(start, text.find_first_of(",\n", start) - start);
    };
    EXPECT_EQ(number("\"TINY\": "), "0." + std::string(127, '0') + "1");
    EXPECT_EQ(number("\"HUGE\": "), std::string(38, '9') + std::string(127, '0'));
}

const std::string goodCache =
    R"({"vcb":{"asOf":"2026-12-05T01:30:00Z","quotes":{"USD":{"buy":26098,"transfer":26128,"sell":26398}}},)"
    R"("erapi":{"asOf":"2026-12-06T00:02:31Z","quotes":{"USD":1,"EUR":0.8612}},"vcbIsSeed":false,"erapiIsSeed":true})";

std::string edited(std::string_view from, std::string_view to) {
    std::string text = goodCache;
    const auto p = text.find(from);
    EXPECT_NE(p, std::string::npos) << from;
    return p == std::string::npos ? text : text.replace(p, from.size(), to);
}

TEST(RateCache, ReadsTheFormat) {
    const RateSnapshot s = RateCache::decode(goodCache);
    EXPECT_EQ(s.vcb.asOf, utc(2026, 12, 5, 1, 30));
    EXPECT_EQ(*s.vcb.quotes.find("USD"), (BankQuote{dec("26098"), dec("26128"), dec("26398")}));
    EXPECT_EQ(s.erapi.asOf, utc(2026, 12, 6, 0, 2, 31));
    EXPECT_EQ(*s.erapi.quotes.find("EUR"), dec("0.8612"));
    EXPECT_FALSE(s.vcbIsSeed);
    EXPECT_TRUE(s.erapiIsSeed);

    // Unknown members are ignored, an unknown bank kind is dropped, a currency may have no bank
    // rate, and a date may carry another offset.
    const RateSnapshot t =
        RateCache::decode(edited("\"vcbIsSeed\"", "\"note\":{\"vcb\":[1,{\"x\":null}]},\"vcbIsSeed\"")
                              .replace(goodCache.find("\"USD\":{"), 7, "\"XYZ\":{},\"USD\":{\"cash\":1,")
                              .replace(goodCache.find("01:30:00Z"), 9, "08:30:00+07:00"));
    EXPECT_EQ(t.vcb.asOf, utc(2026, 12, 5, 1, 30));
    EXPECT_EQ(*t.vcb.quotes.find("XYZ"), BankQuote{});
    EXPECT_EQ(*t.vcb.quotes.find("USD"), *s.vcb.quotes.find("USD"));
}

enum class Outcome { invalidFeed, decodingError };
constexpr auto invalid = Outcome::invalidFeed;
constexpr auto malformed = Outcome::decodingError;

struct BadCache {
    const char* name;
    std::string text;
    Outcome outcome;
    const char* reason;
};

class RateCacheRejects : public ::testing::TestWithParam<BadCache> {};

TEST_P(RateCacheRejects, Table) {
    const BadCache& c = GetParam();
    try {
        RateCache::decode(c.text);
        FAIL() << "accepted";
    } catch (const RateProviderError& e) {
        EXPECT_EQ(c.outcome, invalid) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    } catch (const RateDecodingError& e) {
        EXPECT_EQ(c.outcome, malformed) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RateCacheRejects,
    ::testing::Values(
        BadCache{"EmptyMidMarketTable", edited("{\"USD\":1,\"EUR\":0.8612}", "{}"), invalid,
                 "mid-market table is empty"},
        BadCache{"EmptyBankTable", edited("{\"USD\":{\"buy\":26098,\"transfer\":26128,\"sell\":26398}}", "{}"), invalid,
                 "bank table is empty"},
        BadCache{"BankRateZero", edited("\"buy\":26098", "\"buy\":0"), invalid, "bad buy rate"},
        BadCache{"UnknownBankKindZero", edited("\"buy\":26098", "\"cash\":0,\"buy\":26098"), invalid, "bad cash rate"},
        BadCache{"MidRateNegative", edited("0.8612", "-0.8612"), invalid, "bad rate for \"EUR\""},
        BadCache{"MidRateBelowDecimalRange", edited("0.8612", "1e-200"), invalid, "bad rate"},
        BadCache{"NoVcbIsSeed", edited(",\"vcbIsSeed\":false", ""), malformed, "missing \"vcbIsSeed\""},
        BadCache{"NoErapi", edited(R"("erapi":{"asOf":"2026-12-06T00:02:31Z","quotes":{"USD":1,"EUR":0.8612}},)", ""),
                 malformed, "missing \"erapi\""},
        BadCache{"NoBankDate", edited("\"asOf\":\"2026-12-05T01:30:00Z\",", ""), malformed, "missing \"vcb.asOf\""},
        BadCache{"NoMidQuotes", edited(",\"quotes\":{\"USD\":1,\"EUR\":0.8612}", ""), malformed,
                 "missing \"erapi.quotes\""},
        BadCache{"DateWithoutZone", edited("01:30:00Z", "01:30:00"), malformed, "unreadable date"},
        BadCache{"DateWithoutTime", edited("2026-12-05T01:30:00Z", "2026-12-05"), malformed, "unreadable date"},
        BadCache{"DateWithFraction", edited("01:30:00Z", "01:30:00.5Z"), malformed, "unreadable date"},
        BadCache{"DateBefore1970", edited("2026-12-05T01:30:00Z", "1969-12-31T23:59:59Z"), malformed,
                 "unreadable date"},
        BadCache{"FlagIsAString", edited("\"vcbIsSeed\":false", "\"vcbIsSeed\":\"false\""), malformed, "\"vcbIsSeed\""},
        BadCache{"RateIsAString", edited("0.8612", "\"0.8612\""), malformed, "erapi.quotes"},
        BadCache{"BankQuoteIsANumber", edited("{\"buy\":26098,\"transfer\":26128,\"sell\":26398}", "1"), malformed,
                 "vcb.quotes"},
        BadCache{"Truncated", goodCache.substr(0, goodCache.size() - 1), malformed, "malformed JSON"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RateCache, FileFailuresAreThrown) {
    testing::TempDir dir;
    EXPECT_THROW(RateCache::load(dir.path() / "missing.json"), std::system_error);
    std::ofstream(dir.path() / "file") << "x";
    // A file where the folder should be: the failing call and the path it was for are named.
    const auto underAFile = dir.path() / "file" / "rates.json";
    try {
        RateCache::save(sampleSnapshot(), underAFile);
        ADD_FAILURE() << "saved under a file";
    } catch (const StoredFileError& e) {
        EXPECT_EQ(e.kind(), StoredFileError::Kind::system);
        EXPECT_EQ(e.code(), ENOTDIR);
        EXPECT_EQ(std::string(e.what()), "cannot write " + underAFile.string() + ": " + std::strerror(ENOTDIR));
    }
    std::ofstream(dir.path() / "huge.json") << std::string(17 * 1024 * 1024, ' ') << goodCache;
    EXPECT_THROW(RateCache::load(dir.path() / "huge.json"), RateProviderError);
}

// The seed is what a first run converts with, so it must be complete and sane, not merely valid.
TEST(RateCache, SeedIsPlausibleAndMarkedAsSeed) {
    const RateSnapshot seed = RateCache::seed();
    EXPECT_TRUE(seed.vcbIsSeed && seed.erapiIsSeed);
    EXPECT_GE(seed.vcb.asOf, utc(2026, 1, 1));
    EXPECT_LT(std::chrono::abs(seed.vcb.asOf - seed.erapi.asOf), std::chrono::hours(72));
    EXPECT_EQ(*seed.erapi.quotes.find("USD"), Decimal(1));
    EXPECT_GE(seed.erapi.quotes.size(), 150u);
    for (const auto& entry : seed.erapi.quotes)
        EXPECT_TRUE(entry.first.size() == 3 &&
                    entry.first.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos);

    const Decimal vndPerUSD = *seed.erapi.quotes.find("VND");
    for (const char* code : {"USD", "EUR", "JPY", "GBP", "AUD", "CAD", "CHF", "CNY", "SGD", "THB", "KRW"}) {
        const BankQuote* q = seed.vcb.quotes.find(code);
        ASSERT_TRUE(q && q->buy && q->transfer && q->sell) << code;
        EXPECT_TRUE(*q->buy < *q->transfer && *q->transfer < *q->sell) << code;
        // The bank's rate and the mid-market cross rate to VND agree to within 10 %.
        EXPECT_NEAR((*q->transfer / (vndPerUSD / *seed.erapi.quotes.find(code))).toDouble(), 1.0, 0.1) << code;
    }

    std::ifstream in(std::filesystem::path(QUIBSUM_SOURCE_DIR) / "QuibSumRates/resources/rates-seed.json");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), RateCache::seedBytes()) << "stale embedded seed";
}

}  // namespace
}  // namespace quibsum
