#pragma once
// ManualClock: a wall clock that stands still until the test sets or advances it. Safe to read
// from other threads (a refresh's worker, a bus service's thread) while the test moves it.

#include <atomic>
#include <chrono>
#include <functional>

#include "QuibSumCore/Clock.h"

namespace quibsum::testing {

class ManualClock final : public Clock {
public:
    using TimePoint = std::chrono::system_clock::time_point;

    explicit ManualClock(TimePoint start = TimePoint(std::chrono::seconds(1'700'000'000))) { set(start); }

    TimePoint now() const override {
        if (whenRead_) whenRead_();
        return TimePoint(TimePoint::duration(ticks_.load()));
    }
    void set(TimePoint time) { ticks_.store(time.time_since_epoch().count()); }
    void advance(std::chrono::system_clock::duration by) { ticks_.fetch_add(by.count()); }
    // Runs on every read, on the reading thread: tells a test that the code looked at the time.
    // Set it before handing the clock over.
    void whenRead(std::function<void()> probe) { whenRead_ = std::move(probe); }

private:
    std::atomic<TimePoint::rep> ticks_{0};
    std::function<void()> whenRead_;
};

}  // namespace quibsum::testing
