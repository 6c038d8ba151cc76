// Every example of the currency guide, run as a sheet with the fixed test rates in the number
// style it is written in, shows what its explanation promises. The figures are worked out by
// hand from tests/support/TestRates.h (USD transfer 25,100, buy 25,000; EUR transfer 26,200;
// mid-market per USD: EUR 0.9, GBP 0.8, JPY 150).

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "QuibSum/settings/CurrencyGuideContent.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/Sheet.h"
#include "tests/support/TestRates.h"

using namespace quibsum;

namespace {

const std::map<std::string, std::string> expected{
    {"100 USD VND", "2,510,000 ₫"},
    {"100 USD to VND", "2,510,000 ₫"},
    {"100 USD = ? VND", "2,510,000 ₫"},
    {"100 USD → VND", "2,510,000 ₫"},
    {"100 USD là bao nhiêu VND", "2,510,000 ₫"},
    {"đổi 100 USD sang VND", "2,510,000 ₫"},
    {"rent = 500 USD\nrent in VND", "12,550,000 ₫"},
    {"$20 in VND", "502,000 ₫"},
    {"€50 in VND", "1,310,000 ₫"},
    {"502,000 đ in USD", "20.00 USD"},
    {"¥1,500 in GBP", "8.00 GBP"},                    // 1,500 / 150 × 0.8
    {"90 eur in usd", "100.00 USD"},                  // 90 / 0.9
    {"USD = 24,000\n100 USD in VND", "2,400,000 ₫"},  // the typed rate, not the bank's
    {"1 EUR = 27,000 VND\n10 EUR in VND", "270,000 ₫"},
    {"1,004,000 VND in USD", "40.00 USD"},  // transfer rate, the default
    {"100 USD @ 25,000", "2,500,000 ₫"},
    {"1 VND = 0.00004 USD\n100 USD in VND", "2,500,000 ₫"},  // 1 / 0.00004
    {"mua 100 USD sang VND", "2,500,000 ₫"},                 // the buy rate
    {"2.510.000 đ sang USD", "100,00 USD"},
    {"2,510,000 VND in USD", "100.00 USD"},
    {".5 USD in VND", "12,550 ₫"},
    {"1.5k USD in VND", "37,650,000 ₫"},
};

TEST(CurrencyGuide, EveryExampleShowsWhatItsExplanationSays) {
    std::size_t count = 0;
    for (const CurrencyGuideSection& section : CurrencyGuideContent::sections()) {
        for (const CurrencyGuideItem& item : section.items) {
            ++count;
            SCOPED_TRACE(item.example);
            auto found = expected.find(item.example);
            ASSERT_NE(found, expected.end()) << "an example without an expected result";
            Sheet sheet(Engine(quibsum::testing::testRates(), item.style, RateKind::transfer));
            const std::vector<LineResult>& results = sheet.setText(item.example);
            for (const LineResult& line : results) EXPECT_TRUE(line.isValue()) << "a line of the example fails";
            ASSERT_TRUE(results.back().isValue());
            EXPECT_EQ(results.back().asValue()->display, found->second);
        }
    }
    EXPECT_EQ(count, expected.size());
}

TEST(CurrencyGuide, EverySectionHasItemsWithExplanations) {
    const auto& sections = CurrencyGuideContent::sections();
    for (const CurrencyGuideSection& section : sections) {
        EXPECT_FALSE(section.items.empty()) << section.title;
        for (const CurrencyGuideItem& item : section.items) EXPECT_STRNE(item.explanation, "") << item.example;
    }
}

}  // namespace
