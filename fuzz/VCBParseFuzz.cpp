// The bank's XML on arbitrary bytes: never crashes, fails only with RateProviderError, and a table
// it accepts is valid and survives the cache's write and read unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "QuibSumRates/FeedDates.h"
#include "QuibSumRates/RateCache.h"
#include "QuibSumRates/RateProviderError.h"
#include "QuibSumRates/VCBProvider.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quibsum;
    VCBFeed feed;
    try {
        feed = VCBProvider::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const RateProviderError&) {
        return 0;
    }
    if (feed.quotes.empty() || !FeedDates::isSupported(feed.asOf)) std::abort();
    for (const auto& [code, quote] : feed.quotes) {
        if (code.empty()) std::abort();
        for (RateKind kind : {RateKind::buy, RateKind::transfer, RateKind::sell}) {
            const auto& v = quote.value(kind);
            if (v && (v->isNaN() || !(*v > Decimal(0)))) std::abort();
        }
    }
    static const RateSnapshot seed = RateCache::seed();
    RateSnapshot snapshot = seed;
    snapshot.vcb = feed;
    snapshot.vcbIsSeed = false;
    if (!(RateCache::decode(RateCache::encode(snapshot)) == snapshot)) std::abort();
    return 0;
}
