#pragma once
// CurlRateRequester: RateRequester over libcurl. HTTPS with certificate and host verification
// always on, HTTP(S) only, no cache of any kind, gzip accepted (the size cap applies to the
// decoded body), redirects followed a few times. Each call uses its own handle, so calls may
// run on several threads at once.

#include <atomic>

#include "QuibSumRates/RateRequester.h"

namespace quibsum {

class CurlRateRequester final : public RateRequester {
public:
    CurlRateRequester();

    RateResponse get(const RateRequest& request) override;

    // Aborts the transfers in progress and refuses later ones with RateTransportError, so that
    // quitting never waits for a slow server.
    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }

private:
    std::atomic<bool> cancelled_{false};
};

}  // namespace quibsum
