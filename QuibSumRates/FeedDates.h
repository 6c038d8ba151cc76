#pragma once
// The dates of the rate tables: the bank's local time stamp, and the ISO 8601 form the cache
// keeps. Read with ICU, strictly (non-lenient, the whole text must match). Only dates from 1970
// to 9999 are accepted: nothing else is a plausible table date, and the cache could not hold it.

#include <optional>
#include <string>
#include <string_view>

#include "QuibSumCore/Rate.h"

namespace quibsum::FeedDates {

bool isSupported(Instant instant);

// "M/d/yyyy h:mm:ss a" in Vietnam time ("12/5/2026 8:30:00 AM").
std::optional<Instant> parseBankTime(std::string_view text);

// "2026-12-05T01:30:00Z" (another UTC offset is accepted on reading).
std::optional<Instant> parseISO(std::string_view text);
// In UTC with a "Z"; `instant` must be supported.
std::string formatISO(Instant instant);

}  // namespace quibsum::FeedDates
