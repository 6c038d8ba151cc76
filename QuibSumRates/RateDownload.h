#pragma once
// The download that both feeds share: one request with the feed time-out and size cap, and the
// status rule that turns the answer into a body or an error.

#include <chrono>
#include <cstddef>
#include <string>

#include "QuibSumRates/RateRequester.h"

namespace quibsum {

inline constexpr std::chrono::milliseconds feedTimeout{30'000};
// Both feeds are a few tens of KiB; anything near this is a broken or hostile server.
inline constexpr std::size_t maxFeedBytes = 4 * 1024 * 1024;

// The body of a 2xx answer. Throws what the requester throws, RateProviderError::httpStatus for
// any other status, and RateProviderError::invalidFeed for an answer that is not HTTP or a
// body over maxFeedBytes.
std::string downloadRateFeed(RateRequester& requester, const std::string& url,
                             std::chrono::milliseconds timeout = feedTimeout);

}  // namespace quibsum
