#include "tests/support/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace quibsum::testing {

LoopbackServer::LoopbackServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    stopping_.notify_all();
    acceptor_.join();
    for (std::thread& t : connections_) t.join();
    ::close(listener_);
}

void LoopbackServer::route(const std::string& path, LoopbackRoute route) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(route);
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

void LoopbackServer::acceptLoop() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stop_) return;
        }
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, connection] {
            serve(connection);
            ::close(connection);
        });
    }
}

void LoopbackServer::serve(int connection) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd p{connection, POLLIN, 0};
        const ssize_t n = ::poll(&p, 1, 2000) > 0 ? ::recv(connection, buffer, sizeof buffer, 0) : 0;
        if (n <= 0) return;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    const auto pathStart = head.find(' ') + 1;
    const std::string path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);

    LoopbackRoute route{404, "no such path"};
    {
        std::unique_lock lock(mutex_);
        requests_.push_back(head.substr(0, head.find("\r\n\r\n")));
        arrived_.notify_all();
        if (auto it = routes_.find(path); it != routes_.end()) route = it->second;
        // A slow answer ends early when the server shuts down.
        if (stopping_.wait_for(lock, route.delay, [this] { return stop_; })) return;
    }
    const bool hasBody = route.status != 204 && route.status != 304;
    std::string answer = "HTTP/1.1 " + std::to_string(route.status) + " Status\r\n";
    if (hasBody && route.contentLength) answer += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
    answer += "Connection: close\r\n\r\n" + (hasBody ? route.body : "");
    for (std::size_t sent = 0; sent < answer.size();) {
        const ssize_t n = ::send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;  // the client gave up
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(connection, SHUT_WR);
}

}  // namespace quibsum::testing
