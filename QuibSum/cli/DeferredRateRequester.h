#pragma once
// DeferredRateRequester: a RateRequester that loads the network library (libquibsum-network.so)
// and makes its CurlRateRequester at the first download, so that a command whose rates are not
// due never loads libcurl nor initialises it. Thread-safe like the requester it stands for.

#include <atomic>
#include <memory>
#include <mutex>

#include "QuibSumRates/RateRequester.h"

namespace quibsum {

struct NetworkEntryPoints;

class DeferredRateRequester final : public RateRequester {
public:
    DeferredRateRequester() = default;
    ~DeferredRateRequester() override;

    // Throws RateTransportError when the network library cannot be loaded, or after cancel().
    RateResponse get(const RateRequest& request) override;

    // Aborts the downloads in progress and refuses later ones (CurlRateRequester::cancel).
    void cancel();

private:
    RateRequester& requester();  // throws RateTransportError

    std::mutex mutex_;
    const NetworkEntryPoints* entryPoints_ = nullptr;
    RateRequester* requester_ = nullptr;  // made by the library, once; deleted with this
    std::atomic<bool> cancelled_{false};
};

}  // namespace quibsum
