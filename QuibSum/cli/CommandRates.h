#pragma once
// CommandRates: the exchange rates a command evaluates with. Either one snapshot file, used as
// it is with no network, or the live store (cache, else the built-in seed) given a short
// chance to refresh what is due first: the refresh runs on its own thread and the command
// waits for it only so long, then evaluates with whatever is current. The network library is
// loaded only when something is due.

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "QuibSumCore/RateStore.h"

namespace quibsum {

class DeferredRateRequester;
class LiveRateStore;

class CommandRates {
public:
    // Throws what RateCache::load throws.
    static CommandRates fromFile(const std::filesystem::path& snapshotFile);
    // Throws when neither the cache nor the seed can be used, or there is no data folder.
    static CommandRates live();

    CommandRates(CommandRates&&) noexcept;
    CommandRates& operator=(CommandRates&&) = delete;
    ~CommandRates();  // ends a refresh still running (see finish) and waits for it

    std::shared_ptr<const RateStore> store() const { return store_; }
    // The live store; null for a snapshot file.
    const std::shared_ptr<LiveRateStore>& liveStore() const { return live_; }

    // Starts an unforced refresh in the background, when a table is old enough to be due, and
    // waits at most `wait` for it.
    void refreshDue(std::chrono::milliseconds wait);
    // Cancels a background refresh still running and waits at most `grace` for it to end.
    // False when it is still running (the process may then end without waiting longer).
    bool finish(std::chrono::milliseconds grace);

private:
    CommandRates() = default;

    std::shared_ptr<const RateStore> store_;
    std::shared_ptr<LiveRateStore> live_;
    std::shared_ptr<DeferredRateRequester> requester_;
    std::thread refresher_;
    std::future<void> refreshed_;
};

}  // namespace quibsum
