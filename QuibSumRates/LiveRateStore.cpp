#include "QuibSumRates/LiveRateStore.h"

#include "QuibSumRates/ERAPIProvider.h"
#include "QuibSumRates/RateCache.h"
#include "QuibSumRates/RateProviderError.h"
#include "QuibSumRates/VCBProvider.h"

namespace quibsum {
namespace {

std::atomic<std::uint64_t> nextIdentity{1};

RateSnapshot initialSnapshot(const std::filesystem::path& cacheLocation) {
    try {
        return RateCache::load(cacheLocation);
    } catch (const std::exception&) {
        return RateCache::seed();  // a missing or damaged cache is normal; the seed's error is not
    }
}

// What a reader thread last saw. It keeps that snapshot alive until the thread looks up a rate
// again after a publication (or of another store) or ends.
struct ReaderView {
    std::uint64_t store = 0;
    std::int64_t version = -1;
    std::shared_ptr<const void> keepAlive;
    const void* published = nullptr;
};
thread_local ReaderView readerView;

}  // namespace

LiveRateStore::LiveRateStore(std::filesystem::path cacheLocation, std::shared_ptr<RateRequester> requester,
                             Options options)
    : cacheLocation_(std::move(cacheLocation)),
      requester_(std::move(requester)),
      options_{options.vcbURL.empty() ? VCBProvider::endpoint() : options.vcbURL,
               options.erapiURL.empty() ? ERAPIProvider::endpoint() : options.erapiURL, options.timeout},
      identity_(nextIdentity.fetch_add(1, std::memory_order_relaxed)),
      published_(std::make_shared<const Published>(Published{initialSnapshot(cacheLocation_), 0})) {}

LiveRateStore::~LiveRateStore() = default;

const LiveRateStore::Published& LiveRateStore::current() const {
    ReaderView& view = readerView;
    const std::int64_t version = version_.load(std::memory_order_acquire);
    if (view.store != identity_ || view.version != version) {
        std::shared_ptr<const Published> latest;
        {
            std::lock_guard lock(publishedMutex_);
            latest = published_;
        }
        view.store = identity_;
        view.version = latest->version;
        view.published = latest.get();
        view.keepAlive = std::move(latest);  // the previous snapshot may be freed here, outside the lock
    }
    return *static_cast<const Published*>(view.published);
}

std::optional<Rate> LiveRateStore::rate(std::string_view from, std::string_view to, RateKind kind) const {
    return current().snapshot.rate(from, to, kind);
}

std::int64_t LiveRateStore::version() const { return version_.load(std::memory_order_acquire); }

std::shared_ptr<const RateSnapshot> LiveRateStore::snapshot() const {
    std::shared_ptr<const Published> published;
    {
        std::lock_guard lock(publishedMutex_);
        published = published_;
    }
    return std::shared_ptr<const RateSnapshot>(published, &published->snapshot);
}

std::optional<std::string> LiveRateStore::publish(const std::function<void(RateSnapshot&)>& replaceTable) {
    std::lock_guard publishing(publishingMutex_);
    auto next = std::make_shared<Published>(*published_);  // only publishers write published_
    replaceTable(next->snapshot);
    next->version += 1;
    std::shared_ptr<const Published> previous = next;
    {
        std::lock_guard lock(publishedMutex_);
        published_.swap(previous);
        version_.store(next->version, std::memory_order_release);
    }
    previous.reset();
    try {
        RateCache::save(next->snapshot, cacheLocation_);
    } catch (const std::exception& e) {
        // The new table is in force in memory; the next successful fetch saves again.
        return std::string(e.what());
    }
    return std::nullopt;
}

RefreshReport LiveRateStore::refresh(Instant now, bool force) {
    RefreshReport report;
    bool bankDue = false;
    bool midDue = false;
    {
        const std::shared_ptr<const RateSnapshot> tables = snapshot();
        std::lock_guard lock(scheduleMutex_);
        bankDue = !vcbInFlight_ && (force || now - tables->vcb.asOf >= bankMaxAge) &&
                  (!lastVCBAttempt_ || now - *lastVCBAttempt_ >= bankAttemptSpacing);
        midDue = !erapiInFlight_ && (force || now - tables->erapi.asOf >= midMaxAge);
        if (bankDue) {
            vcbInFlight_ = true;
            lastVCBAttempt_ = now;
        }
        if (midDue) erapiInFlight_ = true;
    }

    // Why a feed must not replace the table in force, if it must not.
    auto refusal = [&](Instant asOf, const auto& fresh, Instant current, const auto& inUse,
                       bool currentIsSeed) -> std::optional<RefreshReport::Table> {
        if (asOf > now + futureTolerance)
            return RefreshReport::Table{RefreshReport::Table::State::failed, "invalid feed: dated in the future", {}};
        if (asOf < current && !currentIsSeed)
            return RefreshReport::Table{RefreshReport::Table::State::kept, "older than the table in use", {}};
        // One truncated or broken answer must not take away the conversions a user relies on.
        // The seed is exempt, as from the date rule: any real table is better than it.
        std::size_t missing = 0;
        for (const auto& entry : inUse)
            if (fresh.find(entry.first) == nullptr) ++missing;
        if (!currentIsSeed && missing * 2 > inUse.size())
            return RefreshReport::Table{RefreshReport::Table::State::failed,
                                        "invalid feed: it lacks " + std::to_string(missing) + " of the " +
                                            std::to_string(inUse.size()) + " currencies in use",
                                        {}};
        return std::nullopt;
    };
    auto failed = [](const std::string& url, const std::exception& e) {
        const bool unreachable = dynamic_cast<const RateTransportError*>(&e) != nullptr;
        return RefreshReport::Table{RefreshReport::Table::State::failed,
                                    unreachable ? "could not reach " + url + ": " + e.what() : std::string(e.what()),
                                    {}};
    };

    if (bankDue) {
        try {
            VCBFeed feed = VCBProvider::parse(downloadRateFeed(*requester_, options_.vcbURL, options_.timeout));
            const auto current = snapshot();
            if (auto refused =
                    refusal(feed.asOf, feed.quotes, current->vcb.asOf, current->vcb.quotes, current->vcbIsSeed)) {
                report.bank = *refused;
            } else {
                report.bank.state = RefreshReport::Table::State::updated;
                report.bank.saveError = publish([&feed](RateSnapshot& s) {
                    s.vcb = std::move(feed);
                    s.vcbIsSeed = false;
                });
            }
        } catch (const std::exception& e) {
            report.bank = failed(options_.vcbURL, e);  // the table in force stays
        }
        std::lock_guard lock(scheduleMutex_);
        vcbInFlight_ = false;
    }
    if (midDue) {
        try {
            ERAPIFeed feed = ERAPIProvider::decode(downloadRateFeed(*requester_, options_.erapiURL, options_.timeout));
            const auto current = snapshot();
            if (auto refused =
                    refusal(feed.asOf, feed.quotes, current->erapi.asOf, current->erapi.quotes, current->erapiIsSeed)) {
                report.mid = *refused;
            } else {
                report.mid.state = RefreshReport::Table::State::updated;
                report.mid.saveError = publish([&feed](RateSnapshot& s) {
                    s.erapi = std::move(feed);
                    s.erapiIsSeed = false;
                });
            }
        } catch (const std::exception& e) {
            report.mid = failed(options_.erapiURL, e);
        }
        std::lock_guard lock(scheduleMutex_);
        erapiInFlight_ = false;
    }
    return report;
}

}  // namespace quibsum
