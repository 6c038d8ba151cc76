// The cache file on arbitrary bytes: never crashes, fails only with the cache's two error types,
// and a snapshot it accepts is valid and writes back to a file that reads as the same snapshot.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "QuibSumRates/RateCache.h"
#include "QuibSumRates/RateProviderError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quibsum;
    RateSnapshot snapshot;
    try {
        snapshot = RateCache::decode(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const RateProviderError&) {
        return 0;
    } catch (const RateDecodingError&) {
        return 0;
    }
    if (snapshot.vcb.quotes.empty() || snapshot.erapi.quotes.empty()) std::abort();
    for (const auto& [code, value] : snapshot.erapi.quotes) {
        if (value.isNaN() || !(value > Decimal(0))) std::abort();
    }
    if (!(RateCache::decode(RateCache::encode(snapshot)) == snapshot)) std::abort();
    return 0;
}
