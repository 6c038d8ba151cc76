// The command line's requester loads the network library only for a download. In a test
// program the library is not beside the executable, which shows how a missing one fails.

#include "QuibSum/cli/DeferredRateRequester.h"

#include <gtest/gtest.h>

#include "QuibSumRates/RateProviderError.h"

namespace quibsum {
namespace {

std::string failureOf(DeferredRateRequester& requester) {
    try {
        requester.get(RateRequest{"http://127.0.0.1:9/"});
    } catch (const RateTransportError& e) {
        return e.what();
    }
    return "no failure";
}

TEST(DeferredRateRequesterTest, AMissingLibraryIsATransportFailure) {
    DeferredRateRequester requester;
    EXPECT_EQ(failureOf(requester), "cannot find libquibsum-network.so beside the program");
    // Asked again, it fails again the same way rather than crash on a half-made requester.
    EXPECT_EQ(failureOf(requester), "cannot find libquibsum-network.so beside the program");
}

TEST(DeferredRateRequesterTest, ACancelledRequesterNeverLoadsTheLibrary) {
    DeferredRateRequester requester;
    requester.cancel();
    EXPECT_EQ(failureOf(requester), "cancelled");
}

}  // namespace
}  // namespace quibsum
