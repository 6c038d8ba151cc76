// Readers on several threads while two refresher threads publish: run under ThreadSanitizer (the
// tsan preset) this checks the publication; everywhere it checks that no reader sees a torn table.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "QuibSumRates/LiveRateStore.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

using namespace std::chrono_literals;

const Instant base = testing::utc(2026, 12, 5, 1, 0);

// Table k is dated base + k minutes and quotes USD at 26000 + k (bank) or EUR at 1 + k/1000000
// (mid-market): a rate whose value and date disagree would come from a torn table.
std::string bankTable(int k) {
    const std::string v = std::to_string(26000 + k);
    return testing::vcbBody(testing::bankTime(base + std::chrono::minutes(k)), testing::exrate("USD", v, v, v));
}

std::string midTable(int k) {
    return testing::erapiBody("\"USD\":1,\"EUR\":" + (Decimal(1) + Decimal(k) / Decimal(1000000)).toString(),
                              std::to_string((base + std::chrono::minutes(k)).time_since_epoch().count()));
}

TEST(LiveRateStoreThreads, ReadersNeverSeeATornTableWhileTablesArePublished) {
    testing::TempDir dir;
    auto requester = std::make_shared<testing::FakeRateRequester>();
    std::atomic<int> bankServed{0}, midServed{0};
    requester->answer("bank", [&] { return RateResponse{200, bankTable(++bankServed), false}; });
    requester->answer("mid", [&] { return RateResponse{200, midTable(++midServed), false}; });
    LiveRateStore store(dir.path() / "rates.json", requester, LiveRateStore::Options{"bank", "mid", 1s});

    constexpr int refreshesPerThread = 60;
    std::atomic<bool> done{false};
    std::atomic<int> torn{0}, backwards{0};
    std::atomic<long> reads{0};

    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r) {
        readers.emplace_back([&] {
            std::int64_t lastVersion = 0;
            int lastBank = 0, lastMid = 0;
            long n = 0;
            while (!done.load(std::memory_order_relaxed)) {
                const std::int64_t v = store.version();
                if (v < lastVersion) ++backwards;
                lastVersion = v;
                if (auto bank = store.rate("USD", "VND", RateKind::transfer);
                    bank && bank->source == RateSource::vietcombank) {
                    const int k = static_cast<int>((bank->asOf - base) / 1min);
                    if (bank->value != Decimal(26000 + k)) ++torn;
                    if (k < lastBank) ++backwards;
                    lastBank = k;
                }
                if (auto mid = store.rate("USD", "EUR", RateKind::mid);
                    mid && mid->source == RateSource::exchangeRateAPI) {
                    const int k = static_cast<int>((mid->asOf - base) / 1min);
                    if (mid->value != Decimal(1) + Decimal(k) / Decimal(1000000)) ++torn;
                    if (k < lastMid) ++backwards;
                    lastMid = k;
                }
                ++n;
            }
            reads += n;
        });
    }
    std::vector<std::thread> refreshers;
    for (int w = 0; w < 2; ++w) {
        refreshers.emplace_back([&, w] {
            for (int i = 0; i < refreshesPerThread; ++i)
                store.refresh(base + std::chrono::hours(1) * (2 * i + w) + 24h, true);
        });
    }
    for (auto& t : refreshers) t.join();
    done = true;
    for (auto& t : readers) t.join();

    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(backwards.load(), 0);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(store.version(), bankServed.load() + midServed.load());
    EXPECT_GT(bankServed.load(), 0);
    EXPECT_GT(midServed.load(), 0);
}

}  // namespace
}  // namespace quibsum
