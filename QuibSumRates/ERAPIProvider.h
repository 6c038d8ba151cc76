#pragma once
// ERAPIProvider: the mid-market feed of ExchangeRate-API's open endpoint (rates against USD).

#include <string>
#include <string_view>

#include "QuibSumCore/ERAPIFeed.h"

namespace quibsum::ERAPIProvider {

// The open endpoint (LiveRateStore::Options may name another).
std::string endpoint();

// The service asks for this credit wherever its rates are shown.
inline constexpr std::string_view attribution = "Rates by Exchange Rate API (https://www.exchangerate-api.com)";

// Reads the service's answer: {"result": "success", "time_last_update_unix": seconds,
// "rates": {code: number}}; other members are ignored.
// Throws RateDecodingError for a body that is not such JSON (a member missing or of the wrong
// type), and RateProviderError::invalidFeed when "result" is not "success", "USD" is not exactly
// 1, a rate is not a positive number, or the date is implausible. One bad rate rejects all.
ERAPIFeed decode(std::string_view body);

}  // namespace quibsum::ERAPIProvider
