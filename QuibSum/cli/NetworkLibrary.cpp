// libquibsum-network.so: CurlRateRequester behind a table of entry points.

#include "QuibSum/cli/NetworkLibrary.h"

#include "QuibSumRates/CurlRateRequester.h"

namespace quibsum {
namespace {

RateRequester* newRequester() { return new CurlRateRequester(); }

void cancel(RateRequester* requester) { static_cast<CurlRateRequester*>(requester)->cancel(); }

constexpr NetworkEntryPoints entryPoints{newRequester, cancel};

}  // namespace
}  // namespace quibsum

extern "C" __attribute__((visibility("default"))) const quibsum::NetworkEntryPoints* quibsumNetworkEntryPoints() {
    return &quibsum::entryPoints;
}
