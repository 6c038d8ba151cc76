#pragma once
// Clock: the wall-clock time, read through this one seam so that a test can set it
// (tests/support/ManualClock.h). The rate refreshes date their work with it, the sheet store
// its sheets, and an append's deadline, which two processes compare, is counted on it. Delays
// are not read from it: they are the event loop's timers (SaveTimer, Schedule), which tests
// fire themselves. Implementations may be read from any thread.

#include <chrono>
#include <cstdint>

namespace quibsum {

class Clock {
public:
    virtual ~Clock() = default;

    virtual std::chrono::system_clock::time_point now() const = 0;

    // now() in whole seconds, as the rate tables date themselves.
    std::chrono::sys_seconds seconds() const { return std::chrono::time_point_cast<std::chrono::seconds>(now()); }
    // now() in milliseconds since 1970 (UTC), as Qt and the bus carry instants.
    std::int64_t millisecondsSinceEpoch() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(now().time_since_epoch()).count();
    }

    // The computer's clock (SystemClock), one for the whole program.
    static const Clock& system();
};

class SystemClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override { return std::chrono::system_clock::now(); }
};

inline const Clock& Clock::system() {
    static const SystemClock clock;
    return clock;
}

}  // namespace quibsum
