// The cache's ISO 8601 dates: the common UTC form is read without ICU, every other form with
// it, and both must agree with the calendar. Expected instants are Unix times computed
// independently (Python's calendar.timegm).

#include "QuibSumRates/FeedDates.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quibsum {
namespace {

std::optional<long long> seconds(const std::string& text) {
    auto instant = FeedDates::parseISO(text);
    if (!instant) return std::nullopt;
    return instant->time_since_epoch().count();
}

TEST(FeedDatesTest, IsoDatesReadAsTheInstantTheyName) {
    struct Case {
        const char* text;
        std::optional<long long> expected;
    };
    const Case cases[] = {
        {"1970-01-01T00:00:00Z", 0},
        {"2026-12-05T01:30:00Z", 1796434200},
        {"2024-02-29T23:59:59Z", 1709251199},
        {"9999-12-31T23:59:59Z", 253402300799},
        {"2000-03-01T00:00:00Z", 951868800},
        // Another offset, read by ICU.
        {"2026-12-05T08:30:00+07:00", 1796434200},
        // Not a date, or outside what a table can be dated.
        {"2023-02-29T00:00:00Z", std::nullopt},
        {"2026-13-01T00:00:00Z", std::nullopt},
        {"2026-00-10T00:00:00Z", std::nullopt},
        {"2026-12-32T00:00:00Z", std::nullopt},
        {"2026-12-05T01:60:00Z", std::nullopt},
        {"1969-12-31T23:59:59Z", std::nullopt},
        {"2026-12-05 01:30:00Z", std::nullopt},
        {"2026-12-05T01:30:0xZ", std::nullopt},
        {"2026-12-05T01:30:00", std::nullopt},
        {"2026-12-05T01:30:00Z ", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(seconds(c.text), c.expected) << c.text;
}

TEST(FeedDatesTest, WrittenDatesReadBackAsThemselves) {
    for (const char* text : {"1970-01-01T00:00:00Z", "2026-12-05T01:30:00Z", "2028-02-29T12:34:56Z"}) {
        auto instant = FeedDates::parseISO(text);
        ASSERT_TRUE(instant) << text;
        EXPECT_EQ(FeedDates::formatISO(*instant), text);
    }
}

}  // namespace
}  // namespace quibsum
