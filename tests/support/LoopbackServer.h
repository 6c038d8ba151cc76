#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the download tests: each path answers a fixed status
// and body, optionally after a delay or without a Content-Length. One thread per connection.

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quibsum::testing {

struct LoopbackRoute {
    int status = 200;
    std::string body;
    std::chrono::milliseconds delay{0};  // before the answer starts
    bool contentLength = true;           // false: the body ends when the connection closes
};

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    void route(const std::string& path, LoopbackRoute route);
    std::string url(const std::string& path) const;
    std::vector<std::string> requests() const;  // the request heads received, in order
    // Waits until `count` requests have arrived; false when `timeout` passed first.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    void acceptLoop();
    void serve(int connection);

    int listener_ = -1;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable stopping_;
    mutable std::condition_variable arrived_;
    bool stop_ = false;
    std::map<std::string, LoopbackRoute> routes_;
    std::vector<std::string> requests_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

}  // namespace quibsum::testing
