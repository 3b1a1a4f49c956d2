#include "view/connectionStream.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

namespace flakecoat::preview::view {

namespace {

// How often a wait looks at the stopping flag.
constexpr std::chrono::milliseconds kSlice{100};
constexpr std::size_t kReceiveBytes = 4096;

bool startsWithoutCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

// Methods whose body the library reads.
bool takesBody(std::string_view method) {
    return method == "POST" || method == "PUT" || method == "PATCH" || method == "DELETE" || method == "PRI";
}

void addressOf(int socket, bool peer, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    ip.clear();
    port = 0;
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? getpeername(socket, generic, &length) : getsockname(socket, generic, &length)) != 0) return;
    char text[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    }
    ip = text;
}

}  // namespace

ConnectionStream::ConnectionStream(int socket, const std::atomic<bool>& stopping, const ConnectionLimits& limits)
    : socket_(socket), stopping_(stopping), limits_(limits) {}

ConnectionStream::Wait ConnectionStream::waitFor(short events, Clock::time_point deadline) const {
    for (;;) {
        if (stopping_.load()) return Wait::stopped;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return Wait::timeout;
        pollfd descriptor{socket_, events, 0};
        const int ready = poll(&descriptor, 1, int(std::min(left, kSlice).count()));
        // Hang-ups and errors count as ready: the next call reports them.
        if (ready > 0) return Wait::ready;
        if (ready < 0 && errno != EINTR) return Wait::stopped;
    }
}

bool ConnectionStream::fill(Clock::time_point deadline) {
    for (;;) {
        if (waitFor(POLLIN, deadline) != Wait::ready) return false;
        char bytes[kReceiveBytes];
        const ssize_t received = recv(socket_, bytes, sizeof bytes, MSG_DONTWAIT);
        if (received > 0) {
            buffer_.append(bytes, std::size_t(received));
            return true;
        }
        if (received == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return false;
    }
}

void ConnectionStream::refuse(const char* status) {
    const std::string response = std::string("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    send(socket_, response.data(), response.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
}

bool ConnectionStream::readRequestHead(std::chrono::milliseconds idle) {
    buffer_.erase(0, next_);
    next_ = 0;
    responseStarted_ = false;
    // Empty lines before a request are allowed and skipped
    const auto skipBlankLines = [this] {
        while (next_ < buffer_.size() && (buffer_[next_] == '\r' || buffer_[next_] == '\n')) ++next_;
    };
    skipBlankLines();
    if (next_ == buffer_.size()) {
        buffer_.clear();
        next_ = 0;
        if (!fill(Clock::now() + idle)) return false;
        skipBlankLines();
    }
    readDeadline_ = Clock::now() + limits_.request;

    // The head ends at its first empty line; lines are looked at once each
    std::size_t lineStart = next_;
    for (;;) {
        std::size_t blank = std::string::npos;
        for (std::size_t end; (end = buffer_.find('\n', lineStart)) != std::string::npos; lineStart = end + 1) {
            const std::size_t length = end - lineStart;
            if (lineStart > next_ && (length == 0 || (length == 1 && buffer_[lineStart] == '\r'))) {
                blank = lineStart;
                break;
            }
        }
        if (blank != std::string::npos) {
            const std::string_view head(buffer_.data() + next_, blank - next_);
            const std::string_view method = head.substr(0, head.find(' '));
            bool framed = false;
            for (std::size_t at = head.find('\n'); at != std::string_view::npos; at = head.find('\n', at + 1)) {
                const std::string_view line = head.substr(at + 1);
                framed = framed || startsWithoutCase(line, "content-length:") ||
                         startsWithoutCase(line, "transfer-encoding:");
            }
            if (takesBody(method) && !framed) buffer_.insert(blank, "Content-Length: 0\r\n");
            return true;
        }
        if (buffer_.size() - next_ > limits_.maxHead) {
            refuse("431 Request Header Fields Too Large");
            return false;
        }
        if (!fill(readDeadline_)) {
            if (Clock::now() >= readDeadline_) refuse("408 Request Timeout");
            return false;
        }
    }
}

bool ConnectionStream::is_readable() const {
    return next_ < buffer_.size() || waitFor(POLLIN, readDeadline_) == Wait::ready;
}

ssize_t ConnectionStream::read(char* data, size_t size) {
    if (next_ == buffer_.size()) {
        buffer_.clear();
        next_ = 0;
        if (!fill(readDeadline_)) return -1;
    }
    const std::size_t count = std::min(size, buffer_.size() - next_);
    std::memcpy(data, buffer_.data() + next_, count);
    next_ += count;
    return ssize_t(count);
}

bool ConnectionStream::is_writable() const {
    const Clock::time_point deadline = Clock::now() + limits_.write;
    return waitFor(POLLOUT, responseStarted_ ? std::min(deadline, responseDeadline_) : deadline) == Wait::ready;
}

ssize_t ConnectionStream::write(const char* data, size_t size) {
    if (!responseStarted_) {
        responseStarted_ = true;
        responseDeadline_ = Clock::now() + limits_.response;
    }
    for (;;) {
        const Clock::time_point deadline = std::min(Clock::now() + limits_.write, responseDeadline_);
        if (waitFor(POLLOUT, deadline) != Wait::ready) return -1;
        const ssize_t sent = send(socket_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent >= 0) return sent;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
    }
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const { addressOf(socket_, true, ip, port); }

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const { addressOf(socket_, false, ip, port); }

}  // namespace flakecoat::preview::view
