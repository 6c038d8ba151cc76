// The mid-market JSON on arbitrary bytes: never crashes, fails only with the feed's two error
// types, and a table it accepts is valid and survives the cache's write and read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "QuibSumRates/ERAPIProvider.h"
#include "QuibSumRates/FeedDates.h"
#include "QuibSumRates/RateCache.h"
#include "QuibSumRates/RateProviderError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quibsum;
    ERAPIFeed feed;
    try {
        feed = ERAPIProvider::decode(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const RateProviderError&) {
        return 0;
    } catch (const RateDecodingError&) {
        return 0;
    }
    const Decimal* usd = feed.quotes.find("USD");
    if (usd == nullptr || !(*usd == Decimal(1)) || !FeedDates::isSupported(feed.asOf)) std::abort();
    for (const auto& [code, value] : feed.quotes) {
        if (value.isNaN() || !(value > Decimal(0))) std::abort();
    }
    static const RateSnapshot seed = RateCache::seed();
    RateSnapshot snapshot = seed;
    snapshot.erapi = feed;
    snapshot.erapiIsSeed = false;
    if (!(RateCache::decode(RateCache::encode(snapshot)) == snapshot)) std::abort();
    return 0;
}
