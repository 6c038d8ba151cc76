#pragma once
// Helpers shared by the rate module's tests: exact decimals, instants, feed bodies, temporary
// folders and environment, and a scriptable requester.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "QuibSumCore/Decimal.h"
#include "QuibSumCore/Rate.h"
#include "QuibSumRates/RateProviderError.h"
#include "QuibSumRates/RateRequester.h"
#include "tests/support/TestValues.h"

namespace quibsum::testing {

inline Instant utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0) {
    using namespace std::chrono;
    return sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s};
}

// The bank's way of writing an instant: Vietnam time, 12-hour clock ("12/5/2026 8:30:00 AM").
inline std::string bankTime(Instant instant) {
    using namespace std::chrono;
    const auto local = instant + hours(7);
    const year_month_day ymd(floor<days>(local));
    const hh_mm_ss time(local - floor<days>(local));
    const int h = static_cast<int>(time.hours().count());
    char text[64];
    std::snprintf(text, sizeof text, "%u/%u/%d %d:%02d:%02d %s", unsigned(ymd.month()), unsigned(ymd.day()),
                  int(ymd.year()), h % 12 == 0 ? 12 : h % 12, int(time.minutes().count()), int(time.seconds().count()),
                  h < 12 ? "AM" : "PM");
    return text;
}

// A bank table in the bank's own layout.
inline std::string vcbBody(std::string_view dateTime, std::string_view exrates) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<ExrateList>\r\n  <DateTime>" + std::string(dateTime) +
           "</DateTime>\r\n" + std::string(exrates) + "  <Source>Vietcombank</Source>\r\n</ExrateList>";
}
inline std::string exrate(std::string_view code, std::string_view buy, std::string_view transfer,
                          std::string_view sell) {
    return "  <Exrate CurrencyCode=\"" + std::string(code) + "\" CurrencyName=\"NAME \" Buy=\"" + std::string(buy) +
           "\" Transfer=\"" + std::string(transfer) + "\" Sell=\"" + std::string(sell) + "\" />\r\n";
}
inline const std::string goodVCBBody =
    vcbBody("12/5/2026 8:30:00 AM", exrate("USD", "26,098.00", "26,128.00", "26,398.00") +
                                        exrate("EUR", "29,956.42", "30,259.01", "31,597.84") +
                                        exrate("KWD", "-", "85,267.22", "88,679.31"));

// The service's answer, with the members it sends that are not read.
inline std::string erapiBody(std::string_view rates, std::string_view time = "1796515351",
                             std::string_view result = "\"success\"") {
    return "{\"result\":" + std::string(result) +
           ",\"provider\":\"https://www.exchangerate-api.com\","
           "\"time_last_update_unix\":" +
           std::string(time) +
           ",\"time_last_update_utc\":\"Sun, 06 Dec 2026 00:02:31 +0000\",\"base_code\":\"USD\",\"rates\":{" +
           std::string(rates) + "}}";
}
inline const std::string goodERAPIBody = erapiBody("\"USD\":1,\"EUR\":0.8612,\"VND\":26348,\"JPY\":155.36");
inline const Instant goodERAPIAsOf = Instant{std::chrono::seconds{1796515351}};

// A fresh folder, removed with its contents at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quibsum-rates-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullptr, removes) an environment variable until the end of the scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Answers each URL from a script and records the URLs asked. One URL can be held until the test
// releases it, to keep a download in flight.
class FakeRateRequester final : public RateRequester {
public:
    void answer(const std::string& url, std::function<RateResponse()> answer) {
        std::lock_guard lock(mutex_);
        answers_[url] = std::move(answer);
    }
    void answer(const std::string& url, int status, std::string body) {
        answer(url, [status, body] { return RateResponse{status, body, false}; });
    }
    void hold(const std::string& url) {
        std::lock_guard lock(mutex_);
        held_ = url;
    }
    void waitUntilHeld() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return holding_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        held_.clear();
        changed_.notify_all();
    }
    // The URLs asked since the last call.
    std::vector<std::string> takeURLs() {
        std::lock_guard lock(mutex_);
        return std::exchange(urls_, {});
    }

    RateResponse get(const RateRequest& request) override {
        std::function<RateResponse()> answer;
        {
            std::unique_lock lock(mutex_);
            urls_.push_back(request.url);
            if (request.url == held_) {
                holding_ = true;
                changed_.notify_all();
                changed_.wait(lock, [&] { return request.url != held_; });
                holding_ = false;
            }
            auto it = answers_.find(request.url);
            if (it == answers_.end()) throw RateTransportError("no route to " + request.url);
            answer = it->second;
        }
        return answer();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, std::function<RateResponse()>> answers_;
    std::vector<std::string> urls_;
    std::string held_;
    bool holding_ = false;
};

}  // namespace quibsum::testing
