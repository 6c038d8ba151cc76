#include "QuibSumRates/LiveRateStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "QuibSumRates/RateCache.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

using namespace std::chrono_literals;
using testing::dec;
using testing::utc;
using V = std::vector<std::string>;

const std::string bank = "bank";  // the requester is a fake: any name is a URL
const std::string mid = "mid";
const Instant t0 = utc(2026, 12, 5, 12, 0, 0);

std::string bankFeed(Instant asOf, std::string_view usdTransfer = "26,500") {
    return testing::vcbBody(testing::bankTime(asOf), testing::exrate("USD", "26,400", usdTransfer, "26,700"));
}

std::string midFeed(Instant asOf, std::string_view eur = "0.9") {
    return testing::erapiBody("\"USD\":1,\"EUR\":" + std::string(eur) + ",\"VND\":26500",
                              std::to_string(asOf.time_since_epoch().count()));
}

class LiveRateStoreTest : public ::testing::Test {
protected:
    std::filesystem::path cache() const { return dir.path() / "rates.json"; }

    // A cache that is not the seed, with tables of the given dates.
    void writeCache(Instant bankAsOf, Instant midAsOf) {
        RateSnapshot s = RateCache::seed();
        s.vcb.asOf = bankAsOf;
        s.erapi.asOf = midAsOf;
        // The currencies bankFeed and midFeed send, so that their tables replace these.
        s.vcb.quotes = CurrencyTable<BankQuote>({{"USD", BankQuote{dec("26300"), dec("26400"), dec("26600")}}});
        s.erapi.quotes = CurrencyTable<Decimal>({{"USD", Decimal(1)}, {"EUR", Decimal(1)}, {"VND", Decimal(26000)}});
        s.vcbIsSeed = s.erapiIsSeed = false;
        RateCache::save(s, cache());
    }

    std::unique_ptr<LiveRateStore> makeStore(std::filesystem::path location = {}) {
        return std::make_unique<LiveRateStore>(location.empty() ? cache() : location, requester,
                                               LiveRateStore::Options{bank, mid, 30s});
    }

    testing::TempDir dir;
    std::shared_ptr<testing::FakeRateRequester> requester = std::make_shared<testing::FakeRateRequester>();
};

// ---- When a refresh downloads what ----------------------------------------------------------------

enum class BankAnswer { fails, sameOldTable, freshTable };

struct Call {
    int at;  // seconds after t0
    bool force;
    V downloads;
};

struct ScheduleCase {
    const char* name;
    int bankAge;  // seconds before t0
    int midAge;
    BankAnswer bankAnswer;
    bool midFails;
    std::vector<Call> calls;
    int version;
};

class LiveRateStoreSchedule : public LiveRateStoreTest, public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(LiveRateStoreSchedule, Table) {
    const ScheduleCase& c = GetParam();
    const Instant bankAsOf = t0 - std::chrono::seconds(c.bankAge);
    writeCache(bankAsOf, t0 - std::chrono::seconds(c.midAge));
    if (c.bankAnswer == BankAnswer::fails)
        requester->answer(bank, 500, "busy");
    else
        requester->answer(bank, 200, bankFeed(c.bankAnswer == BankAnswer::freshTable ? t0 : bankAsOf));
    requester->answer(mid, c.midFails ? 500 : 200, midFeed(t0));

    auto store = makeStore();
    for (const Call& call : c.calls) {
        store->refresh(t0 + std::chrono::seconds(call.at), call.force);
        EXPECT_EQ(requester->takeURLs(), call.downloads)
            << "call at +" << call.at << "s" << (call.force ? " forced" : "");
    }
    EXPECT_EQ(store->version(), c.version);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LiveRateStoreSchedule,
    ::testing::Values(
        ScheduleCase{"YoungTablesAreLeftAlone", 600, 7200, BankAnswer::freshTable, false, {{0, false, V{}}}, 0},
        ScheduleCase{"JustUnderBothAges", 1799, 43199, BankAnswer::freshTable, false, {{0, false, V{}}}, 0},
        ScheduleCase{"AtBothAgesBankFirst", 1800, 43200, BankAnswer::freshTable, false, {{0, false, V{bank, mid}}}, 2},
        ScheduleCase{"BankAttemptsAreSpacedAfterAFailure",
                     7200,
                     0,
                     BankAnswer::fails,
                     false,
                     {{0, false, V{bank}}, {60, false, V{}}, {299, false, V{}}, {360, false, V{bank}}},
                     0},
        ScheduleCase{"BankAttemptsAreSpacedWhenTheBankRepublishesAnOldTable",
                     7200,
                     0,
                     BankAnswer::sameOldTable,
                     false,
                     {{0, false, V{bank}}, {60, false, V{}}, {300, false, V{bank}}},
                     2},
        ScheduleCase{"SpacingAppliesToForcedRefreshes",
                     7200,
                     0,
                     BankAnswer::fails,
                     false,
                     {{0, false, V{bank}}, {120, true, V{mid}}},
                     1},
        ScheduleCase{"ForceFetchesYoungTables", 60, 60, BankAnswer::freshTable, false, {{0, true, V{bank, mid}}}, 2},
        ScheduleCase{"BankFailureDoesNotStopTheMidMarketFetch",
                     7200,
                     86400,
                     BankAnswer::fails,
                     false,
                     {{0, false, V{bank, mid}}},
                     1},
        ScheduleCase{"AFreshBankTableWaitsItsAge",
                     7200,
                     0,
                     BankAnswer::freshTable,
                     false,
                     {{0, false, V{bank}}, {1799, false, V{}}, {1800, false, V{bank}}},
                     2},
        ScheduleCase{"MidMarketFailuresAreNotSpaced",
                     0,
                     86400,
                     BankAnswer::freshTable,
                     true,
                     {{0, false, V{mid}}, {1, false, V{mid}}},
                     0},
        // Fetched when forced, but the feeds, older than the tables in force, do not replace them.
        ScheduleCase{"FutureDatedTablesWaitUnlessForced",
                     -3600,
                     -3600,
                     BankAnswer::freshTable,
                     false,
                     {{0, false, V{}}, {0, true, V{bank, mid}}},
                     0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Which feeds may replace the tables in force -----------------------------------------------

TEST_F(LiveRateStoreTest, OnlyAPlausibleNewerFeedReplacesATable) {
    using State = RefreshReport::Table::State;
    struct Case {
        const char* name;
        std::string bankBody;
        std::string midBody;
        State bank;
        State mid;
        const char* bankProblem;
        const char* midProblem;
        bool seed = false;  // the tables in force are the seed's
    };
    // The tables in force hold five bank and six mid-market currencies.
    auto bankOf = [](Instant asOf, std::initializer_list<const char*> codes) {
        std::string rates;
        for (const char* code : codes) rates += testing::exrate(code, "100", "110", "120");
        return testing::vcbBody(testing::bankTime(asOf), rates);
    };
    const std::string twoMid =
        testing::erapiBody("\"USD\":1,\"EUR\":0.9", std::to_string(t0.time_since_epoch().count()));
    auto full = [&](Instant asOf) { return bankOf(asOf, {"USD", "EUR", "AUD", "JPY", "GBP"}); };
    const Case cases[] = {
        {"newer", full(t0), midFeed(t0), State::updated, State::updated, "", ""},
        {"older than the tables in force", full(t0 - 48h), midFeed(t0 - 48h), State::kept, State::kept,
         "older than the table in use", "older than the table in use"},
        {"two days ahead is still a clock's error", full(t0 + 47h), midFeed(t0 + 47h), State::updated, State::updated,
         "", ""},
        {"further ahead", full(t0 + 49h), midFeed(t0 + 49h), State::failed, State::failed,
         "invalid feed: dated in the future", "invalid feed: dated in the future"},
        {"more than half the currencies gone", bankOf(t0, {"USD"}), twoMid, State::failed, State::failed,
         "invalid feed: it lacks 4 of the 5 currencies in use", "invalid feed: it lacks 4 of the 6 currencies in use"},
        // Mid-market: three of six gone.
        {"half the currencies gone or fewer, others new", bankOf(t0, {"USD", "EUR", "AUD", "CHF"}), midFeed(t0),
         State::updated, State::updated, "", ""},
        {"the seed gives way to any table", bankOf(t0, {"USD"}), twoMid, State::updated, State::updated, "", "", true},
        {"unreachable", "", "", State::failed, State::failed, "could not reach ", "could not reach "},
    };
    for (const Case& c : cases) {
        RateSnapshot s = RateCache::seed();
        s.vcb.asOf = t0 - 24h;
        s.erapi.asOf = t0 - 24h;
        s.vcbIsSeed = s.erapiIsSeed = c.seed;
        const BankQuote quote{dec("100"), dec("110"), dec("120")};
        s.vcb.quotes =
            CurrencyTable<BankQuote>({{"USD", quote}, {"EUR", quote}, {"AUD", quote}, {"JPY", quote}, {"GBP", quote}});
        s.erapi.quotes = CurrencyTable<Decimal>({{"USD", Decimal(1)},
                                                 {"EUR", Decimal(1)},
                                                 {"VND", Decimal(26000)},
                                                 {"JPY", Decimal(150)},
                                                 {"GBP", Decimal(1)},
                                                 {"AUD", Decimal(2)}});
        RateCache::save(s, cache());
        if (c.bankBody.empty()) {
            for (const std::string& url : {bank, mid})
                requester->answer(url, []() -> RateResponse { throw RateTransportError("connection refused"); });
        } else {
            requester->answer(bank, 200, c.bankBody);
            requester->answer(mid, 200, c.midBody);
        }
        auto store = makeStore();
        RefreshReport report = store->refresh(t0, true);
        requester->takeURLs();
        EXPECT_EQ(report.bank.state, c.bank) << c.name << ": " << report.bank.problem;
        EXPECT_EQ(report.mid.state, c.mid) << c.name << ": " << report.mid.problem;
        EXPECT_EQ(report.bank.problem.substr(0, std::string(c.bankProblem).size()), c.bankProblem) << c.name;
        EXPECT_EQ(report.mid.problem.substr(0, std::string(c.midProblem).size()), c.midProblem) << c.name;
        // A refused table leaves the one in force whole.
        const auto tables = store->snapshot();
        if (c.bank != State::updated) {
            EXPECT_EQ(tables->vcb.quotes.size(), 5u) << c.name;
            EXPECT_NE(tables->vcb.quotes.find("AUD"), nullptr) << c.name;
        }
        if (c.mid != State::updated) {
            EXPECT_EQ(tables->erapi.quotes.size(), 6u) << c.name;
        }
    }
}

TEST_F(LiveRateStoreTest, AFailedSaveIsReported) {
    requester->answer(bank, 200, bankFeed(RateCache::seed().vcb.asOf + 1h));
    requester->answer(mid, 500, "busy");
    auto store = makeStore(dir.path() / "missing-parent-is-a-file" / "rates.json");
    std::ofstream(dir.path() / "missing-parent-is-a-file") << "x";
    RefreshReport report = store->refresh(RateCache::seed().vcb.asOf + 2h, true);
    EXPECT_EQ(report.bank.state, RefreshReport::Table::State::updated);
    ASSERT_TRUE(report.bank.saveError.has_value());
    EXPECT_NE(report.bank.saveError->find("missing-parent-is-a-file"), std::string::npos) << *report.bank.saveError;
    EXPECT_EQ(report.mid.state, RefreshReport::Table::State::failed);
    EXPECT_EQ(report.mid.problem, "HTTP status 500");
}

// ---- Start, publication and the cache -----------------------------------------------------------

TEST_F(LiveRateStoreTest, FirstRunStartsFromTheSeedAndFetchesBoth) {
    auto store = makeStore();
    EXPECT_EQ(store->version(), 0);
    EXPECT_EQ(*store->snapshot(), RateCache::seed());
    EXPECT_EQ(store->rate("USD", "VND", RateKind::sell)->source, RateSource::seed);

    const Instant now = RateCache::seed().erapi.asOf + 13h;
    requester->answer(bank, 200, bankFeed(now, "26,555.5"));
    requester->answer(mid, 200, midFeed(now, "0.9123"));
    store->refresh(now, false);

    EXPECT_EQ(store->version(), 2);
    EXPECT_EQ(store->rate("usd", "vnd", RateKind::transfer),
              (Rate{dec("26555.5"), RateSource::vietcombank, now, RateKind::transfer}));
    EXPECT_EQ(store->rate("USD", "EUR", RateKind::mid),
              (Rate{dec("0.9123"), RateSource::exchangeRateAPI, now, RateKind::mid}));
    const RateSnapshot saved = RateCache::load(cache());
    EXPECT_FALSE(saved.vcbIsSeed || saved.erapiIsSeed);
    EXPECT_EQ(saved, *store->snapshot());
}

TEST_F(LiveRateStoreTest, ABankOnlyFetchIsSavedAndRestoredWithTheSeedMidMarketTable) {
    requester->answer(bank, 200, bankFeed(t0));
    requester->answer(mid, 503, "");
    auto store = makeStore();
    store->refresh(t0, true);
    ASSERT_EQ(store->version(), 1);
    EXPECT_EQ(store->rate("USD", "VND", RateKind::buy)->source, RateSource::vietcombank);
    EXPECT_EQ(store->rate("USD", "VND", RateKind::mid)->source, RateSource::seed);

    const RateSnapshot saved = RateCache::load(cache());
    EXPECT_FALSE(saved.vcbIsSeed);
    EXPECT_TRUE(saved.erapiIsSeed);
    EXPECT_EQ(*makeStore()->snapshot(), *store->snapshot());
}

TEST_F(LiveRateStoreTest, AnUnusableCacheIsIgnoredButNotDeleted) {
    std::string text = RateCache::encode(RateCache::seed());
    const auto quotes = text.find("\"quotes\": {");
    text.replace(quotes, text.find('}', quotes) - quotes + 1, "\"quotes\": {}");  // empty mid-market table
    std::ofstream(cache()) << text;
    EXPECT_EQ(*makeStore()->snapshot(), RateCache::seed());
    std::ifstream in(cache());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
}

TEST_F(LiveRateStoreTest, AFailedSaveStillPublishes) {
    std::ofstream(dir.path() / "file") << "x";
    auto store = makeStore(dir.path() / "file" / "rates.json");
    requester->answer(bank, 200, bankFeed(t0, "27,000"));
    store->refresh(t0, true);
    EXPECT_EQ(store->version(), 1);
    EXPECT_EQ(store->rate("USD", "VND", RateKind::transfer)->value, Decimal(27000));
}

TEST_F(LiveRateStoreTest, ARejectedDownloadChangesNothing) {
    writeCache(t0 - 24h, t0 - 24h);
    const std::pair<RateResponse, RateResponse> cases[] = {
        {{500, bankFeed(t0)}, {500, midFeed(t0)}},
        {{304, ""}, {304, ""}},
        {{204, ""}, {204, ""}},
        {{0, bankFeed(t0)}, {0, midFeed(t0)}},                  // not HTTP
        {{200, bankFeed(t0), true}, {200, midFeed(t0), true}},  // too large
        {{200, bankFeed(t0).substr(0, 100)}, {200, "{\"result\":"}},
        {{200, testing::vcbBody(testing::bankTime(t0), testing::exrate("USD", "1", "0", "1"))},
         {200, testing::erapiBody("\"USD\":2")}},
    };
    auto store = makeStore();
    const RateSnapshot before = *store->snapshot();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        requester->answer(bank, [r = cases[i].first] { return r; });
        requester->answer(mid, [r = cases[i].second] { return r; });
        store->refresh(t0 + std::chrono::hours(static_cast<int>(i)), true);
        EXPECT_EQ(requester->takeURLs(), (V{bank, mid})) << i;
        EXPECT_EQ(store->version(), 0) << i;
        EXPECT_EQ(*store->snapshot(), before) << i;
    }
}

// ---- Downloads in flight ------------------------------------------------------------------------

TEST_F(LiveRateStoreTest, ADownloadInFlightIsNotStartedAgainAndReadersDoNotWait) {
    writeCache(t0 - 2h, t0 - 24h);
    requester->answer(bank, 200, bankFeed(t0, "27,000"));
    requester->answer(mid, 200, midFeed(t0));
    requester->hold(bank);
    auto store = makeStore();
    std::thread first([&] { store->refresh(t0, false); });
    requester->waitUntilHeld();

    // Readers answer from the old snapshot while the download hangs.
    EXPECT_EQ(store->version(), 0);
    EXPECT_NE(store->rate("USD", "VND", RateKind::transfer)->value, Decimal(27000));
    // Past the spacing and forced: the bank table is in flight, the mid-market table is already
    // in the first refresh's hands.
    store->refresh(t0 + 10min, true);

    requester->release();
    first.join();
    EXPECT_EQ(requester->takeURLs(), (V{bank, mid}));
    EXPECT_EQ(store->version(), 2);
    EXPECT_EQ(store->rate("USD", "VND", RateKind::transfer)->value, Decimal(27000));
}

TEST_F(LiveRateStoreTest, AMidMarketDownloadInFlightIsNotStartedAgain) {
    writeCache(t0 - 60s, t0 - 24h);
    requester->answer(bank, 200, bankFeed(t0));
    requester->answer(mid, 200, midFeed(t0));
    requester->hold(mid);
    auto store = makeStore();
    std::thread first([&] { store->refresh(t0, false); });
    requester->waitUntilHeld();
    store->refresh(t0, true);
    EXPECT_EQ(store->version(), 1);  // the bank table, published while the mid-market one hangs
    requester->release();
    first.join();
    EXPECT_EQ(requester->takeURLs(), (V{mid, bank}));
    EXPECT_EQ(store->version(), 2);
}

}  // namespace
}  // namespace quibsum
