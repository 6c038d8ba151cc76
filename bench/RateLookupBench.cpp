// Cost of one rate look-up (per conversion question the engine asks): over a fixed snapshot, over
// the live store alone, and over the live store with several reader threads while another thread
// keeps publishing new tables (download, parse, publish, save).

#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "QuibSumCore/FixedRateStore.h"
#include "QuibSumRates/LiveRateStore.h"
#include "QuibSumRates/RateCache.h"
#include "bench/AllocationCounter.h"

namespace {

using namespace quibsum;

struct Question {
    const char* from;
    const char* to;
    RateKind kind;
};

// What conversions ask: bank rates towards VND, USD mid rates for cross rates, and some misses.
const Question questions[] = {
    {"USD", "VND", RateKind::transfer}, {"EUR", "VND", RateKind::sell}, {"USD", "EUR", RateKind::mid},
    {"USD", "JPY", RateKind::mid},      {"jpy", "vnd", RateKind::buy},  {"USD", "XXX", RateKind::mid},
    {"VND", "USD", RateKind::sell},     {"USD", "ZWL", RateKind::mid},
};
constexpr std::size_t questionCount = std::size(questions);

void ask(benchmark::State& state, const RateStore& store, bool countAllocations = true) {
    std::size_t i = 0;
    const std::int64_t before = bench::allocationCount();
    for (auto _ : state) {
        const Question& q = questions[i++ % questionCount];
        benchmark::DoNotOptimize(store.rate(q.from, q.to, q.kind));
    }
    state.SetItemsProcessed(state.iterations());
    if (countAllocations) {  // not while another thread publishes: the count is process-wide
        state.counters["allocs/lookup"] = benchmark::Counter(static_cast<double>(bench::allocationCount() - before) /
                                                             static_cast<double>(state.iterations()));
    }
}

void BM_FixedStoreLookup(benchmark::State& state) {
    const FixedRateStore store(RateCache::seed());
    ask(state, store);
}
BENCHMARK(BM_FixedStoreLookup);

// Serves the seed's tables as feeds, with a later date each time so every refresh publishes.
class ReplayRequester final : public RateRequester {
public:
    RateResponse get(const RateRequest& request) override {
        const int n = ++served_;
        if (request.url == "bank") {
            std::string rows;
            for (const auto& [code, quote] : seed_.vcb.quotes) {
                auto text = [](const std::optional<Decimal>& v) { return v ? v->toString() : std::string("-"); };
                rows += "<Exrate CurrencyCode=\"" + code + "\" Buy=\"" + text(quote.buy) + "\" Transfer=\"" +
                        text(quote.transfer) + "\" Sell=\"" + text(quote.sell) + "\"/>";
            }
            const int minute = n % 60, hour = 1 + (n / 60) % 11;
            return {200,
                    "<ExrateList><DateTime>12/5/2026 " + std::to_string(hour) + ":" + (minute < 10 ? "0" : "") +
                        std::to_string(minute) + ":00 AM</DateTime>" + rows + "</ExrateList>",
                    false};
        }
        std::string rates;
        for (const auto& [code, value] : seed_.erapi.quotes)
            rates += (rates.empty() ? "\"" : ",\"") + code + "\":" + value.toString();
        return {200,
                "{\"result\":\"success\",\"time_last_update_unix\":" + std::to_string(1796515351 + n) + ",\"rates\":{" +
                    rates + "}}",
                false};
    }
    int served() const { return served_.load(); }

private:
    const RateSnapshot seed_ = RateCache::seed();
    std::atomic<int> served_{0};
};

struct LiveFixture {
    std::filesystem::path folder;
    std::shared_ptr<ReplayRequester> requester = std::make_shared<ReplayRequester>();
    std::unique_ptr<LiveRateStore> store;
    std::atomic<bool> stop{false};
    std::thread publisher;

    LiveFixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quibsum-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        store = std::make_unique<LiveRateStore>(folder / "rates.json", requester,
                                                LiveRateStore::Options{"bank", "mid", std::chrono::seconds(1)});
    }
    void startPublishing() {
        publisher = std::thread([this] {
            Instant now = RateCache::seed().erapi.asOf;
            while (!stop.load(std::memory_order_relaxed)) {
                now += std::chrono::minutes(6);
                store->refresh(now, true);
            }
        });
    }
    ~LiveFixture() {
        stop = true;
        if (publisher.joinable()) publisher.join();
        store.reset();
        std::filesystem::remove_all(folder);
    }
};

void BM_LiveStoreLookup(benchmark::State& state) {
    LiveFixture fixture;
    ask(state, *fixture.store);
}
BENCHMARK(BM_LiveStoreLookup);

std::unique_ptr<LiveFixture> shared;

void BM_LiveStoreLookupWhilePublishing(benchmark::State& state) {
    const std::int64_t versionBefore = shared->store->version();
    ask(state, *shared->store, false);
    if (state.thread_index() == 0)
        state.counters["publishes"] = static_cast<double>(shared->store->version() - versionBefore);
}
BENCHMARK(BM_LiveStoreLookupWhilePublishing)
    ->Setup([](const benchmark::State&) {
        shared = std::make_unique<LiveFixture>();
        shared->startPublishing();
    })
    ->Teardown([](const benchmark::State&) { shared.reset(); })
    ->Threads(1)
    ->Threads(2)
    ->Threads(4)
    ->UseRealTime();

}  // namespace
