#pragma once
// LiveRateStore: the application's RateStore. Answers from the current snapshot on any thread
// without ever waiting for a refresh, and refreshes each table on its own schedule when asked.
//
// Readers: a snapshot is immutable once published; publishing swaps a shared pointer under a
// mutex that is held for nothing else. Each reader thread keeps the snapshot it last used and
// only re-takes it (under that mutex, briefly) after the version moved, so the common look-up
// is one atomic load and a binary search, with no lock and no shared write.
//
// Refresh: a blocking call meant for a worker thread. Several may run at once; the decisions
// are made under a lock, and the in-flight flags make a concurrent call skip a table that is
// already being fetched. Downloads, parsing and the cache save happen outside that lock. The
// owner lets every refresh return before destroying the store (CurlRateRequester::cancel makes
// that quick).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "QuibSumCore/RateSnapshot.h"
#include "QuibSumCore/RateStore.h"
#include "QuibSumRates/RateDownload.h"
#include "QuibSumRates/RateRequester.h"
#include "QuibSumRates/RefreshReport.h"

namespace quibsum {

struct LiveRateStoreOptions {
    std::string vcbURL;    // empty: VCBProvider::endpoint()
    std::string erapiURL;  // empty: ERAPIProvider::endpoint()
    std::chrono::milliseconds timeout = feedTimeout;
};

class LiveRateStore final : public RateStore {
public:
    using Options = LiveRateStoreOptions;

    // Bank table: not refreshed while younger than this, unless forced.
    static constexpr std::chrono::seconds bankMaxAge{30 * 60};
    // Bank downloads are never started closer together than this, forced or not.
    static constexpr std::chrono::seconds bankAttemptSpacing{5 * 60};
    // Mid-market table: not refreshed while younger than this, unless forced.
    static constexpr std::chrono::seconds midMaxAge{12 * 60 * 60};

    // Starts from the cache at `cacheLocation`, or from the built-in seed when the cache is
    // missing or unusable (it is left in place and overwritten by the next save). Throws only
    // if the seed is unusable too.
    LiveRateStore(std::filesystem::path cacheLocation, std::shared_ptr<RateRequester> requester, Options options = {});
    ~LiveRateStore() override;

    std::optional<Rate> rate(std::string_view from, std::string_view to, RateKind kind) const override;
    std::int64_t version() const override;
    std::shared_ptr<const RateSnapshot> snapshot() const;

    // Fetches what is due at `now`: the bank table when it is at least bankMaxAge old (or
    // `force`) and no bank download started within bankAttemptSpacing; the mid-market table
    // when it is at least midMaxAge old (or `force`). A table already being fetched is skipped.
    // Bank first, then mid-market whatever happened to the bank. A feed replaces its table only
    // when it is valid and not older than the table in force (the seed excepted); it is invalid
    // when dated more than futureTolerance after `now`, or when it lacks more than half of the
    // currencies of the table in force (unless that is the seed). A replacement publishes the
    // table (version + 1) and saves the cache. Never throws; the report says what happened.
    RefreshReport refresh(Instant now, bool force);

    static constexpr std::chrono::hours futureTolerance{48};

    const std::filesystem::path& cacheLocation() const { return cacheLocation_; }

private:
    struct Published {
        RateSnapshot snapshot;
        std::int64_t version = 0;
    };

    const Published& current() const;
    // The cache's save error, if any.
    std::optional<std::string> publish(const std::function<void(RateSnapshot&)>& replaceTable);

    const std::filesystem::path cacheLocation_;
    const std::shared_ptr<RateRequester> requester_;
    const Options options_;
    const std::uint64_t identity_;  // tells this store's snapshots apart in the readers' caches

    mutable std::mutex publishedMutex_;  // guards published_ only, held for a pointer copy
    std::shared_ptr<const Published> published_;
    std::atomic<std::int64_t> version_{0};
    std::mutex publishingMutex_;  // orders publications and their saves

    std::mutex scheduleMutex_;  // guards the three fields below
    std::optional<Instant> lastVCBAttempt_;
    bool vcbInFlight_ = false;
    bool erapiInFlight_ = false;
};

}  // namespace quibsum
