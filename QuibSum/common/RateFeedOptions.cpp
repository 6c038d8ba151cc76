#include "QuibSum/common/RateFeedOptions.h"

#include <cstdlib>

namespace quibsum::RateFeedOptions {

namespace {

// Unset or empty leaves the store's default, the feed's public page.
std::string address(const char* variable) {
    const char* url = std::getenv(variable);
    return url != nullptr ? url : "";
}

}  // namespace

LiveRateStore::Options fromEnvironment() {
    LiveRateStore::Options options;
    options.vcbURL = address("QUIBSUM_VCB_URL");
    options.erapiURL = address("QUIBSUM_ERAPI_URL");
    return options;
}

}  // namespace quibsum::RateFeedOptions
