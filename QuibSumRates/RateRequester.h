#pragma once
// RateRequester: how the live store performs an HTTP GET. The production implementation is
// CurlRateRequester; tests substitute their own. Called from the refresh threads, possibly
// several at once, so implementations must be thread-safe.

#include <chrono>
#include <cstddef>
#include <string>

namespace quibsum {

struct RateRequest {
    std::string url;
    std::chrono::milliseconds timeout{30'000};  // for the whole exchange
    std::size_t maxBodyBytes = 4 * 1024 * 1024;
};

struct RateResponse {
    int status = 0;             // the HTTP status; 0 when the answer was not an HTTP response
    std::string body;           // at most maxBodyBytes of it
    bool bodyTooLarge = false;  // the server sent (or announced) more than maxBodyBytes
};

class RateRequester {
public:
    virtual ~RateRequester() = default;

    // One GET that bypasses every cache. Throws RateTransportError when no answer arrived in
    // time; an HTTP error status is an answer, not an exception.
    virtual RateResponse get(const RateRequest& request) = 0;
};

}  // namespace quibsum
