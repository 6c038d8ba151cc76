#include "QuibSumRates/VCBProvider.h"

#include <gtest/gtest.h>

#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

using testing::dec;
using testing::exrate;
using testing::utc;
using testing::vcbBody;

const std::string date = "12/5/2026 8:30:00 AM";
const std::string usd = exrate("USD", "26,098.00", "26,128.00", "26,398.00");

TEST(VCBProvider, ReadsTheBankTable) {
    const VCBFeed feed = VCBProvider::parse(testing::goodVCBBody);
    EXPECT_EQ(feed.asOf, utc(2026, 12, 5, 1, 30));  // 8:30 in Vietnam (UTC+7)
    ASSERT_EQ(feed.quotes.size(), 3u);
    EXPECT_EQ(*feed.quotes.find("USD"), (BankQuote{dec("26098"), dec("26128"), dec("26398")}));
    EXPECT_EQ(feed.quotes.find("EUR")->buy->toString(), "29956.42");                                   // exact digits
    EXPECT_EQ(*feed.quotes.find("KWD"), (BankQuote{std::nullopt, dec("85267.22"), dec("88679.31")}));  // "-"
}

TEST(VCBProvider, ReadsVariantsOfTheLayout) {
    EXPECT_EQ(VCBProvider::parse(vcbBody("\r\n   " + date + " \n", usd)).asOf, utc(2026, 12, 5, 1, 30));
    EXPECT_EQ(VCBProvider::parse(vcbBody("1/31/2027 11:05:09 PM", usd)).asOf, utc(2027, 1, 31, 16, 5, 9));

    const VCBFeed feed =
        VCBProvider::parse(vcbBody(date, exrate("usd", "1", "2", "3") + exrate("USD", "4", "5", "6") +
                                             exrate("XYZ", "-", "-", "-") + exrate("THB", "726.91", "807.68", "-") +
                                             "<Exrate CurrencyCode=\"KWD\" Transfer=\" 1,285,267.2 \"/>"));
    ASSERT_EQ(feed.quotes.size(), 4u);
    EXPECT_EQ(*feed.quotes.find("USD"), (BankQuote{dec("4"), dec("5"), dec("6")}));  // upper-cased; later wins
    EXPECT_EQ(*feed.quotes.find("XYZ"), BankQuote{});                                // kept, answers nothing
    EXPECT_EQ(*feed.quotes.find("THB"), (BankQuote{dec("726.91"), dec("807.68"), std::nullopt}));
    EXPECT_EQ(*feed.quotes.find("KWD"), (BankQuote{std::nullopt, dec("1285267.2"), std::nullopt}));

    // Any root element; other elements and attributes are ignored.
    EXPECT_EQ(VCBProvider::parse("<r><Note a=\"b\">x</Note><DateTime>" + date +
                                 "</DateTime><g><Exrate Extra=\"x\" "
                                 "CurrencyCode=\"JPY\" Sell=\"173.76\"/></g></r>")
                  .quotes.find("JPY")
                  ->sell,
              dec("173.76"));
}

TEST(VCBProvider, ReadsALargeTableAcrossChunks) {
    std::string rows;
    for (int i = 0; i < 5000; ++i) rows += exrate("C" + std::to_string(10000 + i), "1,234.5", "2,000", "3,000.25");
    const VCBFeed feed = VCBProvider::parse(vcbBody(date, rows));
    EXPECT_EQ(feed.quotes.size(), 5000u);
    EXPECT_EQ(feed.quotes.find("C14999")->sell, dec("3000.25"));
}

struct BadTable {
    const char* name;
    std::string body;
    const char* reason;  // part of the error's message
};

class VCBProviderRejects : public ::testing::TestWithParam<BadTable> {};

TEST_P(VCBProviderRejects, Table) {
    try {
        VCBProvider::parse(GetParam().body);
        FAIL() << "accepted";
    } catch (const RateProviderError& e) {
        EXPECT_EQ(e.kind(), RateProviderError::Kind::invalidFeed);
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VCBProviderRejects,
    ::testing::Values(
        BadTable{"TwentyFourHourClock", vcbBody("12/5/2026 20:30:00", usd), "unreadable date"},
        BadTable{"HourOutOfRangeWithMarker", vcbBody("12/5/2026 13:30:00 PM", usd), "unreadable date"},
        BadTable{"DayOutOfRange", vcbBody("2/30/2026 8:30:00 AM", usd), "unreadable date"},
        BadTable{"TrailingTextAfterDate", vcbBody(date + " GMT+9", usd), "unreadable date"},
        BadTable{"TwoDatesConcatenate",
                 "<x><DateTime>" + date + "</DateTime><DateTime>" + date + "</DateTime>" + usd + "</x>",
                 "unreadable date"},
        BadTable{"NoDate", "<x>" + usd + "</x>", "unreadable date"},
        BadTable{"NoCurrency", vcbBody(date, ""), "no currency"},
        BadTable{"BuyIsZero", vcbBody(date, usd + exrate("EUR", "0", "1", "2")), "bad Buy rate for EUR"},
        BadTable{"BuyIsLetters", vcbBody(date, usd + exrate("EUR", "abc", "1", "2")), "bad Buy rate for EUR"},
        BadTable{"SellIsNegative", vcbBody(date, exrate("EUR", "1", "2", "-2")), "bad Sell rate for EUR"},
        BadTable{"TransferIsEmpty", vcbBody(date, exrate("EUR", "1", "", "2")), "bad Transfer rate for EUR"},
        BadTable{"NumberFollowedByJunk", vcbBody(date, exrate("EUR", "1", "2.5x", "3")), "bad Transfer rate"},
        BadTable{"EmptyCode", vcbBody(date, usd + exrate("", "1", "2", "3")), "without a code"},
        BadTable{"NoCode", vcbBody(date, usd + "<Exrate Buy=\"1\"/>"), "without a code"},
        BadTable{"NoAttributes", vcbBody(date, usd + "<Exrate/>"), "without a code"},
        BadTable{"MalformedAfterGoodCurrencies", vcbBody(date, usd).substr(0, 200) + "<Exrate", "malformed XML"},
        BadTable{"Empty", "", "malformed XML"},
        BadTable{"EntityExpansionBomb",
                 "<!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                 "<x><DateTime>&b;</DateTime>" +
                     usd + "</x>",
                 "declares entities"},
        BadTable{"ExternalEntity",
                 "<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><x><DateTime>&e;</DateTime>" + usd + "</x>",
                 "declares entities"},
        BadTable{"HugeDateText", vcbBody(std::string(100000, ' ') + date, usd), "date text too long"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quibsum
