// Every example of the currency guide, shown in each number style and run as a sheet with the
// fixed test rates in that style, shows what its explanation promises. The figures are worked
// out by hand from tests/support/TestRates.h (USD transfer 25,100, buy 25,000; EUR transfer
// 26,200; mid-market per USD: EUR 0.9, GBP 0.8, JPY 150).

#include <gtest/gtest.h>

#include <QLabel>
#include <map>
#include <string>

#include "QuibSum/settings/CurrencyGuideContent.h"
#include "QuibSum/settings/SumCurrencyGuide.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/Sheet.h"
#include "tests/support/TestRates.h"

using namespace quibsum;

namespace {

struct Figures {
    std::string en;
    std::string vi;
};

// Keyed by the example as written (United States style).
const std::map<std::string, Figures> expected{
    {"100 USD VND", {"2,510,000 ₫", "2.510.000 ₫"}},
    {"100 USD to VND", {"2,510,000 ₫", "2.510.000 ₫"}},
    {"100 USD = ? VND", {"2,510,000 ₫", "2.510.000 ₫"}},
    {"100 USD → VND", {"2,510,000 ₫", "2.510.000 ₫"}},
    {"100 USD là bao nhiêu VND", {"2,510,000 ₫", "2.510.000 ₫"}},
    {"đổi 100 USD sang VND", {"2,510,000 ₫", "2.510.000 ₫"}},
    {"rent = 500 USD\nrent in VND", {"12,550,000 ₫", "12.550.000 ₫"}},
    {"$20 in VND", {"502,000 ₫", "502.000 ₫"}},
    {"€50 in VND", {"1,310,000 ₫", "1.310.000 ₫"}},
    {"502,000 đ in USD", {"20.00 USD", "20,00 USD"}},
    {"¥1,500 in GBP", {"8.00 GBP", "8,00 GBP"}},                       // 1,500 / 150 × 0.8
    {"90 eur in usd", {"100.00 USD", "100,00 USD"}},                   // 90 / 0.9
    {"USD = 24,000\n100 USD in VND", {"2,400,000 ₫", "2.400.000 ₫"}},  // the typed rate
    {"1 EUR = 27,000 VND\n10 EUR in VND", {"270,000 ₫", "270.000 ₫"}},
    {"1,004,000 VND in USD", {"40.00 USD", "40,00 USD"}},  // transfer rate, the default
    {"100 USD @ 25,000", {"2,500,000 ₫", "2.500.000 ₫"}},
    {"1 VND = 0.00004 USD\n100 USD in VND", {"2,500,000 ₫", "2.500.000 ₫"}},  // 1 / 0.00004
    {"mua 100 USD sang VND", {"2,500,000 ₫", "2.500.000 ₫"}},                 // the buy rate
    // About one style each: read in that style whatever the sheets use.
    {"2.510.000 đ sang USD", {"100,00 USD", "100,00 USD"}},
    {"2,510,000 VND in USD", {"100.00 USD", "100.00 USD"}},
    {".5 USD in VND", {"12,550 ₫", "12.550 ₫"}},
    {"1.5k USD in VND", {"37,650,000 ₫", "37.650.000 ₫"}},
};

class CurrencyGuideInStyle : public ::testing::TestWithParam<NumberStyle> {};

TEST_P(CurrencyGuideInStyle, EveryExampleShowsWhatItsExplanationSays) {
    const NumberStyle style = GetParam();
    std::size_t count = 0;
    for (const CurrencyGuideSection& section : CurrencyGuideContent::sections()) {
        for (const CurrencyGuideItem& item : section.items) {
            ++count;
            const QString shown = CurrencyGuideContent::example(item, style);
            SCOPED_TRACE(shown.toStdString());
            auto found = expected.find(item.example);
            ASSERT_NE(found, expected.end()) << "an example without an expected result";
            Sheet sheet(
                Engine(quibsum::testing::testRates(), CurrencyGuideContent::styleOf(item, style), RateKind::transfer));
            const std::vector<LineResult>& results = sheet.setText(shown.toStdString());
            for (const LineResult& line : results) EXPECT_TRUE(line.isValue()) << "a line of the example fails";
            ASSERT_TRUE(results.back().isValue());
            EXPECT_EQ(results.back().asValue()->display,
                      style == NumberStyle::vi ? found->second.vi : found->second.en);
        }
    }
    EXPECT_EQ(count, expected.size());
}

INSTANTIATE_TEST_SUITE_P(NumberStyles, CurrencyGuideInStyle, ::testing::Values(NumberStyle::en, NumberStyle::vi),
                         [](const auto& info) { return std::string(name(info.param)); });

TEST(CurrencyGuide, SeparatorsFollowTheStyleOnlyInsideFigures) {
    const struct {
        const char* text;
        const char* vi;
    } cases[] = {
        {"USD = 24,000", "USD = 24.000"},
        {"1 VND = 0.00004 USD", "1 VND = 0,00004 USD"},
        {"1,004,000.5", "1.004.000,5"},
        {".5 is a half.", ",5 is a half."},
        {"to, in, into.", "to, in, into."},  // punctuation stays
        {"v1.2", "v1.2"},                    // no figure
        {"1.5k USD", "1,5k USD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CurrencyGuideContent::withSeparators(QString::fromUtf8(c.text), NumberStyle::vi),
                  QString::fromUtf8(c.vi));
        EXPECT_EQ(CurrencyGuideContent::withSeparators(QString::fromUtf8(c.text), NumberStyle::en),
                  QString::fromUtf8(c.text));
    }
}

TEST(CurrencyGuide, TheDialogShowsItsExamplesInTheStyleInUse) {
    for (const NumberStyle style : {NumberStyle::en, NumberStyle::vi}) {
        SumCurrencyGuide guide(style);
        QStringList examples;
        for (const QLabel* label : guide.findChildren<QLabel*>(QStringLiteral("example"))) examples << label->text();
        const QString joined = examples.join(u'|');
        SCOPED_TRACE(joined.toStdString());
        const bool vi = style == NumberStyle::vi;
        EXPECT_TRUE(joined.contains(vi ? QStringLiteral("USD = 24.000") : QStringLiteral("USD = 24,000")));
        EXPECT_TRUE(joined.contains(vi ? QStringLiteral("100 USD @ 25.000") : QStringLiteral("100 USD @ 25,000")));
        EXPECT_TRUE(joined.contains(vi ? QStringLiteral("1 EUR = 27.000 VND") : QStringLiteral("1 EUR = 27,000 VND")));
        // The two examples about one style each stay in it.
        EXPECT_TRUE(joined.contains(QStringLiteral("2,510,000 VND in USD")));
        EXPECT_TRUE(joined.contains(QString::fromUtf8("2.510.000 đ sang USD")));
    }
}

TEST(CurrencyGuide, EverySectionHasItemsWithExplanations) {
    const auto& sections = CurrencyGuideContent::sections();
    for (const CurrencyGuideSection& section : sections) {
        EXPECT_FALSE(section.items.empty()) << section.title;
        for (const CurrencyGuideItem& item : section.items) EXPECT_STRNE(item.explanation, "") << item.example;
    }
}

}  // namespace
