#include "QuibSumRates/FeedDates.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

namespace quibsum::FeedDates {
namespace {

constexpr Instant earliest = std::chrono::sys_days{std::chrono::year{1970} / 1 / 1};
constexpr Instant latest = std::chrono::sys_days{std::chrono::year{9999} / 12 / 31} + std::chrono::seconds{86399};

std::unique_ptr<icu::SimpleDateFormat> makeFormat(const char16_t* pattern, icu::TimeZone* zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto format =
        std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern), icu::Locale("en_US_POSIX"), status);
    if (U_FAILURE(status)) return nullptr;
    format->setLenient(false);
    if (zone != nullptr) format->adoptTimeZone(zone);
    return format;
}

// ICU formats are not safe to share between threads; each thread keeps its own.
icu::SimpleDateFormat* bankFormat() {
    thread_local std::unique_ptr<icu::SimpleDateFormat> format = [] {
        icu::TimeZone* zone = icu::TimeZone::createTimeZone("Asia/Ho_Chi_Minh");
        if (*zone == icu::TimeZone::getUnknown()) {  // no zone data: keep the default zone
            delete zone;
            zone = nullptr;
        }
        return makeFormat(u"M/d/yyyy h:mm:ss a", zone);
    }();
    return format.get();
}

icu::SimpleDateFormat* isoFormat() {
    thread_local std::unique_ptr<icu::SimpleDateFormat> format =
        makeFormat(u"yyyy-MM-dd'T'HH:mm:ssXXX", icu::TimeZone::getGMT()->clone());
    return format.get();
}

std::optional<Instant> parseWith(icu::SimpleDateFormat* format, std::string_view text) {
    if (format == nullptr || text.size() > 200) return std::nullopt;  // no date is that long
    const icu::UnicodeString string =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    icu::ParsePosition position(0);
    const UDate millis = format->parse(string, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != string.length()) return std::nullopt;
    if (!std::isfinite(millis)) return std::nullopt;
    const double seconds = std::floor(millis / 1000.0);
    if (seconds < -1e15 || seconds > 1e15) return std::nullopt;
    const Instant instant{std::chrono::seconds{static_cast<long long>(seconds)}};
    if (!isSupported(instant)) return std::nullopt;
    return instant;
}

// The form the cache writes, "2026-12-05T01:30:00Z", read without ICU: building ICU's date
// parser costs more than everything else a command does before it evaluates. Fields out of
// their ordinary ranges, and every other form, go to ICU, which decides.
std::optional<Instant> parsePlainUTC(std::string_view text) {
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    auto number = [&](std::size_t at, std::size_t digits) -> int {
        int value = 0;
        for (std::size_t i = at; i < at + digits; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok()) return std::nullopt;
    const Instant instant = std::chrono::sys_days{date} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
                            std::chrono::seconds{second};
    if (!isSupported(instant)) return std::nullopt;
    return instant;
}

}  // namespace

bool isSupported(Instant instant) { return instant >= earliest && instant <= latest; }

std::optional<Instant> parseBankTime(std::string_view text) { return parseWith(bankFormat(), text); }

std::optional<Instant> parseISO(std::string_view text) {
    if (auto instant = parsePlainUTC(text)) return instant;
    return parseWith(isoFormat(), text);
}

std::string formatISO(Instant instant) {
    icu::SimpleDateFormat* format = isoFormat();
    if (format == nullptr) return {};
    icu::UnicodeString text;
    format->format(static_cast<UDate>(instant.time_since_epoch().count()) * 1000.0, text);
    std::string result;
    text.toUTF8String(result);
    return result;
}

}  // namespace quibsum::FeedDates
