// Downloads over real HTTP against a server on 127.0.0.1 that the test starts itself.

#include "QuibSumRates/CurlRateRequester.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <thread>

#include "QuibSumRates/ERAPIProvider.h"
#include "QuibSumRates/LiveRateStore.h"
#include "QuibSumRates/RateCache.h"
#include "QuibSumRates/RateDownload.h"
#include "QuibSumRates/VCBProvider.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/RateTestSupport.h"

namespace quibsum {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackRoute;

class CurlRateRequesterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A proxy from the environment must not carry loopback traffic anywhere.
        ::setenv("no_proxy", "127.0.0.1", 1);
        ::setenv("NO_PROXY", "127.0.0.1", 1);
    }

    void SetUp() override {
        server.route("/Usercontrols/TVPortal.TyGia/pXML.aspx", {200, testing::goodVCBBody});
        server.route("/v6/latest/USD", {200, testing::goodERAPIBody});
        server.route("/error", {500, "<html>oops</html>"});
        server.route("/not-modified", {304, ""});
        server.route("/no-content", {204, ""});
        server.route("/malformed", {200, "{\"result\":\"success\",\"rates\":"});
        server.route("/oversized", {200, std::string(maxFeedBytes + 1, ' ')});
        server.route("/oversized-unannounced", LoopbackRoute{200, std::string(maxFeedBytes + 1, ' '), 0ms, false});
        server.route("/slow", LoopbackRoute{200, testing::goodERAPIBody, 5s});
    }

    std::string download(const std::string& path, std::chrono::milliseconds timeout = feedTimeout) {
        return downloadRateFeed(requester, server.url(path), timeout);
    }

    template <typename F>
    static RateProviderError providerError(F&& f) {
        try {
            f();
        } catch (const RateProviderError& e) {
            return e;
        }
        ADD_FAILURE() << "no RateProviderError";
        return RateProviderError::invalidFeed("none");
    }

    testing::LoopbackServer server;
    CurlRateRequester requester;
};

TEST_F(CurlRateRequesterTest, DownloadsBothFeeds) {
    EXPECT_EQ(VCBProvider::parse(download("/Usercontrols/TVPortal.TyGia/pXML.aspx")).quotes.size(), 3u);
    EXPECT_EQ(ERAPIProvider::decode(download("/v6/latest/USD")).asOf, testing::goodERAPIAsOf);
}

TEST_F(CurlRateRequesterTest, SendsAPlainGETThatBypassesCaches) {
    download("/v6/latest/USD");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].starts_with("GET /v6/latest/USD HTTP/1.1\r\n")) << requests[0];
    EXPECT_NE(requests[0].find("Cache-Control: no-cache"), std::string::npos) << requests[0];
}

TEST_F(CurlRateRequesterTest, StatusOutside2xxIsAnError) {
    for (auto [path, status] :
         {std::pair{"/error", 500}, std::pair{"/not-modified", 304}, std::pair{"/nowhere", 404}}) {
        const RateProviderError e = providerError([&] { download(path); });
        EXPECT_EQ(e.kind(), RateProviderError::Kind::httpStatus) << path;
        EXPECT_EQ(e.status(), status) << path;
    }
}

TEST_F(CurlRateRequesterTest, NoContentPassesTheStatusRuleAndBadBodiesFailToDecode) {
    EXPECT_EQ(download("/no-content"), "");
    EXPECT_THROW(ERAPIProvider::decode(download("/no-content")), RateDecodingError);
    EXPECT_THROW(ERAPIProvider::decode(download("/malformed")), RateDecodingError);
    EXPECT_THROW(VCBProvider::parse(download("/malformed")), RateProviderError);
}

TEST_F(CurlRateRequesterTest, AnOversizedBodyIsAnInvalidFeed) {
    for (const char* path : {"/oversized", "/oversized-unannounced"}) {
        const RateProviderError e = providerError([&] { download(path); });
        EXPECT_EQ(e.kind(), RateProviderError::Kind::invalidFeed) << path;
        EXPECT_NE(std::string(e.what()).find("larger than"), std::string::npos) << e.what();
    }
}

TEST_F(CurlRateRequesterTest, ASlowServerTimesOut) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(download("/slow", 1s), RateTransportError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
}

TEST_F(CurlRateRequesterTest, CancelAbortsATransferInProgress) {
    auto pending = std::async(std::launch::async, [&] { return download("/slow"); });
    ASSERT_TRUE(server.waitForRequests(1, 5s)) << "the transfer never reached the server";
    requester.cancel();
    ASSERT_EQ(pending.wait_for(3s), std::future_status::ready);
    EXPECT_THROW(pending.get(), RateTransportError);
    EXPECT_THROW(download("/v6/latest/USD"), RateTransportError);  // and refuses later ones
}

TEST_F(CurlRateRequesterTest, NoServerAndOtherSchemesAreTransportErrors) {
    std::string url;
    {
        testing::LoopbackServer gone;
        url = gone.url("/v6/latest/USD");
    }
    EXPECT_THROW(downloadRateFeed(requester, url), RateTransportError);
    EXPECT_THROW(downloadRateFeed(requester, "file:///etc/hostname"), RateTransportError);
}

TEST_F(CurlRateRequesterTest, TheLiveStoreRefreshesFromTheServer) {
    testing::TempDir dir;
    const std::string bankURL = server.url("/Usercontrols/TVPortal.TyGia/pXML.aspx"),
                      midURL = server.url("/v6/latest/USD");
    LiveRateStore store(dir.path() / "rates.json", std::make_shared<CurlRateRequester>(),
                        LiveRateStore::Options{bankURL, midURL});

    store.refresh(testing::utc(2026, 12, 7), false);
    EXPECT_EQ(store.version(), 2);
    EXPECT_EQ(store.rate("USD", "VND", RateKind::sell)->value, testing::dec("26398"));
    EXPECT_EQ(store.rate("USD", "EUR", RateKind::mid)->asOf, testing::goodERAPIAsOf);
    EXPECT_EQ(RateCache::load(dir.path() / "rates.json"), *store.snapshot());
}

TEST_F(CurlRateRequesterTest, TheLiveStoreKeepsItsTablesWhenTheServerFails) {
    testing::TempDir dir;
    LiveRateStore store(dir.path() / "rates.json", std::make_shared<CurlRateRequester>(),
                        LiveRateStore::Options{server.url("/error"), server.url("/slow"), 1s});
    store.refresh(testing::utc(2026, 12, 7), true);
    EXPECT_EQ(store.version(), 0);
    EXPECT_EQ(*store.snapshot(), RateCache::seed());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "rates.json"));
}

}  // namespace
}  // namespace quibsum
