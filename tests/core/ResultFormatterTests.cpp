#include "QuibSumCore/ResultFormatter.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "tests/support/TestValues.h"

namespace quibsum {
namespace {

using testing::dec;

Quantity quantity(const Decimal& value, const char* unit) {
    Quantity q{value, std::nullopt, std::nullopt};
    if (unit) q.unit = Unit{unit};
    return q;
}

struct FormatRow {
    const char* value;
    const char* unit;  // nullptr: a plain number
    const char* vi;
    const char* en;
};

const FormatRow rows[] = {
    {"1234567.891", nullptr, "1.234.567,891", "1,234,567.891"},
    {"25000", "VND", "25.000 ₫", "25,000 ₫"},
    {"1234.5", "VND", "1.235 ₫", "1,235 ₫"},
    {"12.5", "USD", "12,50 USD", "12.50 USD"},
    {"0.25", "%", "25%", "25%"},
    {"1.5", "km", "1,5 km", "1.5 km"},
    // zero and grouping boundaries
    {"0", nullptr, "0", "0"},
    {"-0", nullptr, "0", "0"},
    {"0", "VND", "0 ₫", "0 ₫"},
    {"0", "USD", "0,00 USD", "0.00 USD"},
    {"0", "%", "0%", "0%"},
    {"999", nullptr, "999", "999"},
    {"1000", nullptr, "1.000", "1,000"},
    {"100000", nullptr, "100.000", "100,000"},
    {"1000000", nullptr, "1.000.000", "1,000,000"},
    {"0.1", nullptr, "0,1", "0.1"},
    // ten significant digits, half-up, with carries
    {"12345678901", nullptr, "12.345.678.900", "12,345,678,900"},
    {"12345678905", nullptr, "12.345.678.910", "12,345,678,910"},
    {"9999999999.5", nullptr, "10.000.000.000", "10,000,000,000"},
    {"9999999999.4", nullptr, "9.999.999.999", "9,999,999,999"},
    {"0.99999999995", nullptr, "1", "1"},
    {"0.99999999994", nullptr, "0,9999999999", "0.9999999999"},
    {"123456789.05", nullptr, "123.456.789,1", "123,456,789.1"},
    {"1.23456789012345678901234567890123456789", nullptr, "1,23456789", "1.23456789"},
    {"2.00000000049", nullptr, "2", "2"},
    {"0.00000000001234", nullptr, "0,00000000001234", "0.00000000001234"},
    {"0.000000000012345678915", nullptr, "0,00000000001234567892", "0.00000000001234567892"},
    {"1e30", nullptr, "1.000.000.000.000.000.000.000.000.000.000", "1,000,000,000,000,000,000,000,000,000,000"},
    {"-1234.5", nullptr, "-1.234,5", "-1,234.5"},
    {"-9999999999.5", nullptr, "-10.000.000.000", "-10,000,000,000"},
    // currencies: exact digit counts, half-up, no ten-digit limit
    {"-25000", "VND", "-25.000 ₫", "-25,000 ₫"},
    {"2.5", "VND", "3 ₫", "3 ₫"},
    {"2.4999", "VND", "2 ₫", "2 ₫"},
    {"-2.5", "VND", "-3 ₫", "-3 ₫"},
    {"0.125", "USD", "0,13 USD", "0.13 USD"},
    {"0.124", "USD", "0,12 USD", "0.12 USD"},
    {"-0.125", "USD", "-0,13 USD", "-0.13 USD"},
    {"999.995", "USD", "1.000,00 USD", "1,000.00 USD"},
    {"1234567.891", "EUR", "1.234.567,89 EUR", "1,234,567.89 EUR"},
    {"123", "EUR", "123,00 EUR", "123.00 EUR"},
    {"123456789012345678901234567890", "VND", "123.456.789.012.345.678.901.234.567.890 ₫",
     "123,456,789,012,345,678,901,234,567,890 ₫"},
    // a value that rounds to zero shows no sign
    {"-0.004", "USD", "0,00 USD", "0.00 USD"},
    {"-0.4", "VND", "0 ₫", "0 ₫"},
    {"0.5", "VND", "1 ₫", "1 ₫"},
    // percentages
    {"0.125", "%", "12,5%", "12.5%"},
    {"-0.5", "%", "-50%", "-50%"},
    {"0.0000001", "%", "0,00001%", "0.00001%"},
    {"123.456789012345", "%", "12.345,6789%", "12,345.6789%"},
    {"1", "%", "100%", "100%"},
    // physical units print their symbol
    {"1", "m²", "1 m²", "1 m²"},
    {"1024", "KiB", "1.024 KiB", "1,024 KiB"},
    {"-273.15", "C", "-273,15 C", "-273.15 C"},
    {"2.5", "lạng", "2,5 lạng", "2.5 lạng"},
    {"0.3333333333333", "month", "0,3333333333 month", "0.3333333333 month"},
};

TEST(ResultFormatter, FormatsInBothStyles) {
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.value) + " " + (row.unit ? row.unit : "(none)"));
        const Quantity q = quantity(dec(row.value), row.unit);
        EXPECT_EQ(ResultFormatter::format(q, NumberStyle::vi), row.vi);
        EXPECT_EQ(ResultFormatter::format(q, NumberStyle::en), row.en);
    }
}

TEST(ResultFormatter, OneThirdShowsTenDigits) {
    const Quantity q = quantity(Decimal(1) / Decimal(3), nullptr);
    EXPECT_EQ(ResultFormatter::format(q, NumberStyle::vi), "0,3333333333");
    EXPECT_EQ(ResultFormatter::format(q, NumberStyle::en), "0.3333333333");
    const Quantity twoThirds = quantity(Decimal(-2) / Decimal(3), nullptr);
    EXPECT_EQ(ResultFormatter::format(twoThirds, NumberStyle::en), "-0.6666666667");
}

TEST(ResultFormatter, ChoosesTheCategoryByUnit) {
    using ResultFormatter::Category;
    const std::pair<const char*, Category> cases[] = {
        {nullptr, Category::number}, {"%", Category::number},     {"km", Category::number},
        {"C", Category::number},     {"EiB", Category::number},   {"VND", Category::vnd},
        {"USD", Category::currency}, {"CUP", Category::currency}, {"vnd", Category::currency},
    };
    for (const auto& [unit, expected] : cases) {
        SCOPED_TRACE(unit ? unit : "(none)");
        EXPECT_EQ(ResultFormatter::category(quantity(Decimal(1), unit)), expected);
    }
}

// Reads formatted text back as the reader of the style would: drop the grouping separator,
// turn the decimal separator into a point.
std::string readBack(std::string text, NumberStyle style) {
    const char group = style == NumberStyle::vi ? '.' : ',';
    const char decimal = style == NumberStyle::vi ? ',' : '.';
    std::string out;
    for (char c : text) {
        if (c == group) continue;
        out.push_back(c == decimal ? '.' : c);
    }
    return out;
}

TEST(ResultFormatter, ExtremesOfTheDecimalRangeStayPlain) {
    // The largest mantissa at the largest exponent: every digit of a currency shows.
    const Decimal huge = dec("99999999999999999999999999999999999999e127");
    const std::string vnd = ResultFormatter::format(quantity(huge, "VND"), NumberStyle::en);
    EXPECT_EQ(vnd.size(), 165u + 54u + std::string(" ₫").size());
    EXPECT_EQ(vnd.substr(0, 12), "999,999,999,");
    EXPECT_EQ(vnd.find('e'), std::string::npos);
    const std::string usd = ResultFormatter::format(quantity(-huge, "USD"), NumberStyle::vi);
    EXPECT_EQ(usd.substr(usd.size() - 14), "000.000,00 USD");
    EXPECT_EQ(usd.front(), '-');
    // As a percentage it is a hundred times more than Decimal can hold, and still prints.
    const std::string percent = ResultFormatter::format(quantity(huge, "%"), NumberStyle::en);
    EXPECT_EQ(percent.substr(0, 16), "100,000,000,000,");
    EXPECT_EQ(readBack(percent, NumberStyle::en), "1" + std::string(167, '0') + "%");
    // The smallest positive value: a number shows it, a currency rounds it away.
    const Decimal tiny = dec("1e-128");
    const std::string small = ResultFormatter::format(quantity(tiny, nullptr), NumberStyle::en);
    EXPECT_EQ(small, "0." + std::string(127, '0') + "1");
    EXPECT_EQ(ResultFormatter::format(quantity(tiny, "USD"), NumberStyle::en), "0.00 USD");
    EXPECT_EQ(ResultFormatter::format(quantity(-tiny, "VND"), NumberStyle::en), "0 ₫");
}

TEST(ResultFormatter, NaNIsWrittenPlainly) {
    EXPECT_EQ(ResultFormatter::format(quantity(Decimal::nan(), nullptr), NumberStyle::vi), "NaN");
}

Decimal roundedToSignificant(const Decimal& v, int digits) {
    if (v.isZero()) return v;
    const int adjusted = v.exponent() + v.digitCount() - 1;  // position of the leading digit
    return v.rounded(digits - 1 - adjusted, RoundingMode::plain);
}

// A typed rate shows as a plain number of up to ten significant digits between its two
// currencies, VND written as its sign on either side.
TEST(ResultFormatter, FormatsRateDefinitions) {
    struct Row {
        const char* from;
        const char* to;
        const char* value;
        NumberStyle style;
        const char* expected;
    };
    const Row rows[] = {
        {"USD", "VND", "25000", NumberStyle::en, "1 USD = 25,000 \u20AB"},
        {"USD", "VND", "25000", NumberStyle::vi, "1 USD = 25.000 \u20AB"},
        {"VND", "USD", "0.00004", NumberStyle::en, "1 \u20AB = 0.00004 USD"},
        {"EUR", "GBP", "0.8571428571428571", NumberStyle::vi, "1 EUR = 0,8571428571 GBP"},
        {"JPY", "USD", "123456789012.5", NumberStyle::en, "1 JPY = 123,456,789,000 USD"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ResultFormatter::formatRate(SheetRate{r.from, r.to, dec(r.value)}, r.style), r.expected)
            << r.from << " " << r.to << " " << r.value;
    }
}

TEST(ResultFormatter, FormattedTextReadsBackAsTheRoundedValue) {
    std::mt19937_64 rng(20240611);
    std::uniform_int_distribution<int> digitCount(1, 38), digit(0, 9), exponent(-60, 40), coin(0, 1);
    const std::regex grouped[] = {
        std::regex(R"(-?\d{1,3}(\.\d{3})*(,\d+)?)"),  // vi
        std::regex(R"(-?\d{1,3}(,\d{3})*(\.\d+)?)"),  // en
    };
    for (int i = 0; i < 3000; ++i) {
        std::string text = coin(rng) ? "-" : "";
        const int n = digitCount(rng);
        for (int k = 0; k < n; ++k) text.push_back(static_cast<char>('0' + digit(rng)));
        text += "e" + std::to_string(exponent(rng));
        const Decimal value = dec(text);
        SCOPED_TRACE(text);

        for (NumberStyle style : {NumberStyle::vi, NumberStyle::en}) {
            SCOPED_TRACE(name(style));
            const std::regex& shape = grouped[style == NumberStyle::vi ? 0 : 1];

            const std::string number = ResultFormatter::format(quantity(value, nullptr), style);
            ASSERT_TRUE(std::regex_match(number, shape)) << number;
            const Decimal back = dec(readBack(number, style));
            EXPECT_EQ(back, roundedToSignificant(value, 10)) << number;
            EXPECT_LE(back.digitCount(), 10) << number;
            EXPECT_EQ(ResultFormatter::format(quantity(value, "km"), style), number + " km");

            const std::string usd = ResultFormatter::format(quantity(value, "USD"), style);
            const std::string usdNumber = usd.substr(0, usd.size() - 4);
            ASSERT_TRUE(std::regex_match(usdNumber, shape)) << usd;
            EXPECT_EQ(usdNumber[usdNumber.size() - 3], style == NumberStyle::vi ? ',' : '.') << usd;
            EXPECT_EQ(dec(readBack(usdNumber, style)), value.rounded(2, RoundingMode::plain)) << usd;

            const std::string vnd = ResultFormatter::format(quantity(value, "VND"), style);
            const std::string vndNumber = vnd.substr(0, vnd.size() - std::string(" ₫").size());
            EXPECT_EQ(dec(readBack(vndNumber, style)), value.rounded(0, RoundingMode::plain)) << vnd;
        }
        // The two styles differ only in their separators.
        std::string en = ResultFormatter::format(quantity(value, "EUR"), NumberStyle::en);
        for (char& c : en) c = c == '.' ? ',' : c == ',' ? '.' : c;
        EXPECT_EQ(ResultFormatter::format(quantity(value, "EUR"), NumberStyle::vi), en);
    }
}

}  // namespace
}  // namespace quibsum
