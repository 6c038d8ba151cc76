#include "QuibSumRates/RateDownload.h"

#include "QuibSumRates/RateProviderError.h"

namespace quibsum {

std::string downloadRateFeed(RateRequester& requester, const std::string& url, std::chrono::milliseconds timeout) {
    RateResponse response = requester.get(RateRequest{url, timeout, maxFeedBytes});
    if (response.status <= 0) throw RateProviderError::invalidFeed("not an HTTP response");
    if (static_cast<unsigned>(response.status - 200) > 99) throw RateProviderError::httpStatus(response.status);
    if (response.bodyTooLarge || response.body.size() > maxFeedBytes)
        throw RateProviderError::invalidFeed("body larger than " + std::to_string(maxFeedBytes) + " bytes");
    return std::move(response.body);
}

}  // namespace quibsum
