// The one-pass evaluation that `quibsum sheet` and `append` use must show what the editor's
// Sheet shows: every line's result and the page total, for sheets that exercise each thing a
// line can read from the lines above it.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "QuibSumCore/Sheet.h"
#include "QuibSumCore/StreamingSheet.h"
#include "tests/support/TestRates.h"

namespace quibsum {
namespace {

// clang-format off
const std::vector<std::string> linePool = {
    "100", "250", "-3", "1.5", "42 km", "500 m", "10%", "20% of 50", "1/0", "2 km + 300 m",
    "10 USD", "5 EUR", "250000 VND", "100 USD in VND", "2 EUR to USD", "5 USD + 10 EUR", "100 USD @ 24000",
    "x = 5", "x = x + 1", "y = x * 2", "rent = 1200 USD", "tiền nhà = 5000000", "y = prev", "rent = 10%",
    "x * 2", "y + x", "tiền nhà / 2", "rent in VND", "Rent: rent * 12",
    "prev + 1", "prev * 2", "trên / 2", "prev in USD",
    "sum", "average", "total", "tổng", "avg",
    "1 USD = 25000 VND", "USD = 24000", "1 EUR = 1.1 USD", "1 EUR = 27000", "2 CHF = 50000 VND",
    "", "", "   ", "# Food", "// just words", "hello", "\xC2\xA0",
};
// clang-format on

void expectSameAsSheet(const std::string& text, NumberStyle style, RateKind kind) {
    Sheet sheet(Engine(testing::testRates(), style, kind));
    sheet.setText(text);
    StreamingSheet stream(Engine(testing::testRates(), style, kind));
    std::size_t start = 0;
    for (std::size_t i = 0; i < sheet.lineCount(); ++i) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const LineResult& result = stream.add(std::string_view(text).substr(start, end - start));
        EXPECT_TRUE(result == sheet.results()[i]) << "line " << i + 1 << " of:\n" << text;
        EXPECT_EQ(stream.counted(), sheet.counted()[i]) << "line " << i + 1 << " of:\n" << text;
        start = end + 1;
    }
    EXPECT_TRUE(stream.total() == sheet.total()) << text;
}

TEST(StreamingSheet, ShowsWhatTheEditorsSheetShows) {
    const char* const sheets[] = {
        "",
        "x = 5\nx * 2\n\nsum",
        "10 USD\n5 EUR\nsum\n1 EUR = 2 USD\nsum\n",
        "100\nprev + 1\n\nprev * 2\n# heading\nprev",
        "1 USD = 25000 VND\n100 USD in VND\n10 USD\n250000 VND\ntotal",
        "10%\n20\n30\naverage\n\nsum",
        "1 km\n5 kg\nsum",
        "1/0\nsum\nhello\nprev",
    };
    for (const char* text : sheets) expectSameAsSheet(text, NumberStyle::en, RateKind::transfer);
}

TEST(StreamingSheet, ShowsWhatTheEditorsSheetShowsForRandomSheets) {
    std::uint64_t state = 20261206;
    auto next = [&] {  // splitmix64: the same sheets on every platform
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    };
    const RateKind kinds[] = {RateKind::transfer, RateKind::sell, RateKind::buy};
    for (int run = 0; run < 200 && !::testing::Test::HasFailure(); ++run) {
        std::string text;
        for (std::uint64_t n = 1 + next() % 40; n > 0; --n) {
            text += linePool[next() % linePool.size()];
            if (n > 1) text += '\n';
        }
        expectSameAsSheet(text, run % 4 == 3 ? NumberStyle::vi : NumberStyle::en, kinds[run % 3]);
    }
}

}  // namespace
}  // namespace quibsum
