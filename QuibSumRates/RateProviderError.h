#pragma once
// The failures of a rate download or of reading a feed or the cache. The live store drops all
// of them (a failed refresh keeps the tables it had); they carry a reason for tests and for
// whoever investigates a feed that stopped working.

#include <stdexcept>
#include <string>

namespace quibsum {

// The server answered, but not with a usable table.
class RateProviderError : public std::runtime_error {
public:
    enum class Kind { httpStatus, invalidFeed };

    static RateProviderError httpStatus(int status) {
        return RateProviderError(Kind::httpStatus, status, "HTTP status " + std::to_string(status));
    }
    static RateProviderError invalidFeed(const std::string& reason) {
        return RateProviderError(Kind::invalidFeed, 0, "invalid feed: " + reason);
    }

    Kind kind() const { return kind_; }
    int status() const { return status_; }  // for httpStatus

private:
    RateProviderError(Kind kind, int status, const std::string& what)
        : std::runtime_error(what), kind_(kind), status_(status) {}

    Kind kind_;
    int status_;
};

// A JSON body that is not well formed, or lacks a required member, or has one of the wrong type.
class RateDecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// No answer arrived: name resolution, connection, TLS, time-out or cancellation.
class RateTransportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace quibsum
