#include "QuibSum/cli/CommandRates.h"

#include "QuibSum/cli/DeferredRateRequester.h"
#include "QuibSum/common/RateFeedOptions.h"
#include "QuibSum/storage/AppPaths.h"
#include "QuibSumCore/Clock.h"
#include "QuibSumCore/FixedRateStore.h"
#include "QuibSumRates/LiveRateStore.h"
#include "QuibSumRates/RateCache.h"

namespace quibsum {

CommandRates CommandRates::fromFile(const std::filesystem::path& snapshotFile) {
    CommandRates rates;
    rates.store_ = std::make_shared<FixedRateStore>(RateCache::load(snapshotFile));
    return rates;
}

CommandRates CommandRates::live() {
    CommandRates rates;
    rates.requester_ = std::make_shared<DeferredRateRequester>();
    rates.live_ = std::make_shared<LiveRateStore>(AppPaths::rateCacheFile(), rates.requester_,
                                                  RateFeedOptions::fromEnvironment());
    rates.store_ = rates.live_;
    return rates;
}

CommandRates::CommandRates(CommandRates&& other) noexcept
    : store_(std::move(other.store_)),
      live_(std::move(other.live_)),
      requester_(std::move(other.requester_)),
      refresher_(std::move(other.refresher_)),
      refreshed_(std::move(other.refreshed_)) {}

CommandRates::~CommandRates() {
    if (!refresher_.joinable()) return;
    if (requester_) requester_->cancel();
    refresher_.join();
}

void CommandRates::refreshDue(std::chrono::milliseconds wait) {
    if (!live_ || refresher_.joinable()) return;
    // While both tables are younger than their ages the refresh has nothing to do; a thread
    // only to find that out costs more than the calculation.
    const Instant now = Clock::system().seconds();
    const auto tables = live_->snapshot();
    if (now - tables->vcb.asOf < LiveRateStore::bankMaxAge && now - tables->erapi.asOf < LiveRateStore::midMaxAge)
        return;
    std::promise<void> done;
    refreshed_ = done.get_future();
    // The thread shares ownership, so the store outlives a process that stops waiting for it.
    refresher_ = std::thread([store = live_, done = std::move(done)]() mutable {
        store->refresh(Clock::system().seconds(), false);
        done.set_value();
    });
    refreshed_.wait_for(wait);
}

bool CommandRates::finish(std::chrono::milliseconds grace) {
    if (!refresher_.joinable()) return true;
    if (requester_) requester_->cancel();
    if (refreshed_.wait_for(grace) != std::future_status::ready) return false;
    refresher_.join();
    return true;
}

}  // namespace quibsum
