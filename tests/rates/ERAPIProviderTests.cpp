#include "QuibSumRates/ERAPIProvider.h"

#include <gtest/gtest.h>

#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

using testing::dec;
using testing::erapiBody;

TEST(ERAPIProvider, ReadsTheMidMarketTable) {
    const ERAPIFeed feed = ERAPIProvider::decode(testing::goodERAPIBody);
    EXPECT_EQ(feed.asOf, testing::goodERAPIAsOf);
    ASSERT_EQ(feed.quotes.size(), 4u);
    EXPECT_EQ(*feed.quotes.find("USD"), Decimal(1));
    EXPECT_EQ(*feed.quotes.find("VND"), Decimal(26348));
    EXPECT_EQ(feed.quotes.find("EUR")->toString(), "0.8612");
}

TEST(ERAPIProvider, KeepsDigitsAndCodesAsSent) {
    // More digits than a binary double holds; a code in lower case; a repeated code (the later
    // one wins); members it does not read, including look-alikes at other depths.
    const ERAPIFeed feed = ERAPIProvider::decode(
        "{\"extra\":{\"rates\":{\"USD\":0}},\"list\":[{\"result\":\"error\"}],\"result\":\"success\","
        "\"time_last_update_unix\":1796515351,\"rates\":{\"USD\":0,\"USD\":1.000,\"eur\":0.86,"
        "\"XAU\":0.00023456789012345678901,\"IRR\":42104.600000000001}}");
    EXPECT_EQ(*feed.quotes.find("USD"), Decimal(1));
    EXPECT_EQ(feed.quotes.find("XAU")->toString(), "0.00023456789012345678901");
    EXPECT_EQ(feed.quotes.find("IRR")->toString(), "42104.600000000001");
    EXPECT_EQ(std::prev(feed.quotes.end())->first, "eur");
}

TEST(ERAPIProvider, DropsKeysThatAreNotThreeLetterCodes) {
    const ERAPIFeed feed = ERAPIProvider::decode(
        erapiBody(R"("USD":1,"EUR":0.86,"EURO":3,"E1R":4,"":5,"U\u00c9D":6,"US":0,"A\ud83d\ude00":-1)"));
    std::vector<std::string> codes;
    for (const auto& entry : feed.quotes) codes.push_back(entry.first);
    EXPECT_EQ(codes, (std::vector<std::string>{"EUR", "USD"}));
}

enum class Outcome { invalidFeed, decodingError };

struct BadAnswer {
    const char* name;
    std::string body;
    Outcome outcome;
    const char* reason;  // part of the error's message
};

class ERAPIProviderRejects : public ::testing::TestWithParam<BadAnswer> {};

TEST_P(ERAPIProviderRejects, Table) {
    const BadAnswer& c = GetParam();
    try {
        ERAPIProvider::decode(c.body);
        FAIL() << "accepted";
    } catch (const RateProviderError& e) {
        EXPECT_EQ(c.outcome, Outcome::invalidFeed) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    } catch (const RateDecodingError& e) {
        EXPECT_EQ(c.outcome, Outcome::decodingError) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
}

const std::string rates = "\"USD\":1,\"EUR\":0.8612";
constexpr auto invalid = Outcome::invalidFeed;
constexpr auto malformed = Outcome::decodingError;

INSTANTIATE_TEST_SUITE_P(
    Cases, ERAPIProviderRejects,
    ::testing::Values(
        BadAnswer{"ResultError", erapiBody(rates, "1796515351", "\"error\""), invalid, "result is \"error\""},
        BadAnswer{"NoUSD", erapiBody("\"EUR\":0.8612"), invalid, "USD is not 1"},
        BadAnswer{"USDNotOne", erapiBody("\"USD\":1.0001,\"EUR\":0.8612"), invalid, "USD is not 1"},
        BadAnswer{"ARateIsZero", erapiBody(rates + ",\"JPY\":0"), invalid, "bad rate for \"JPY\""},
        BadAnswer{"ARateIsNegative", erapiBody(rates + ",\"JPY\":-155.36"), invalid, "bad rate for \"JPY\""},
        BadAnswer{"ARateOutOfDecimalRange", erapiBody(rates + ",\"JPY\":1e-300"), invalid, "bad rate"},
        BadAnswer{"TimeBefore1970", erapiBody(rates, "-1"), invalid, "implausible update time"},
        BadAnswer{"NoTime", "{\"result\":\"success\",\"rates\":{\"USD\":1}}", malformed,
                  "missing \"time_last_update_unix\""},
        BadAnswer{"NoResult", "{\"time_last_update_unix\":1,\"rates\":{\"USD\":1}}", malformed, "missing \"result\""},
        BadAnswer{"NoRates", "{\"result\":\"success\",\"time_last_update_unix\":1796515351}", malformed,
                  "missing \"rates\""},
        BadAnswer{"ServiceErrorAnswer", "{\"result\":\"error\",\"error-type\":\"unsupported-code\"}", malformed,
                  "missing"},
        BadAnswer{"TimeIsFractional", erapiBody(rates, "1796515351.5"), malformed, "64-bit integer"},
        BadAnswer{"TimeTooLarge", erapiBody(rates, "99999999999999999999"), malformed, "64-bit integer"},
        BadAnswer{"ResultIsNull", erapiBody(rates, "1796515351", "null"), malformed, "\"result\""},
        BadAnswer{"RateIsAString", erapiBody("\"USD\":\"1\""), malformed, "\"rates\""},
        BadAnswer{"RootIsAnArray", "[" + testing::goodERAPIBody + "]", malformed, "(root)"},
        BadAnswer{"Truncated", testing::goodERAPIBody.substr(0, 80), malformed, "malformed JSON"},
        BadAnswer{"TrailingGarbage", testing::goodERAPIBody + "x", malformed, "malformed JSON"},
        BadAnswer{"ExponentTooLargeToRead", erapiBody(rates + ",\"JPY\":1e999"), malformed, "malformed JSON"},
        BadAnswer{"InvalidUTF8", erapiBody(rates + ",\"J\xff\":1"), malformed, "malformed JSON"},
        // Found by fuzzing: the key decoded to bytes the cache could not read back.
        BadAnswer{"LoneSurrogateInKey",
                  R"({"result":"success","time_last_update_unix":1796547601,"rates":{"USD":1,"A\udd05":2}})", malformed,
                  "unpaired surrogate"},
        BadAnswer{"LoneHighSurrogateInValue", erapiBody(rates, "1796515351", "\"\\ud800\""), malformed, "surrogate"},
        BadAnswer{"NestedTooDeeply", "{\"x\":" + std::string(100, '[') + std::string(100, ']') + "}", malformed,
                  "nested too deeply"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quibsum
