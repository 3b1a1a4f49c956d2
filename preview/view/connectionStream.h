#ifndef FLAKECOAT_PREVIEW_VIEW_CONNECTION_STREAM_H
#define FLAKECOAT_PREVIEW_VIEW_CONNECTION_STREAM_H

// One client connection of the viewer, as the HTTP library reads and writes
// it, under time limits no client can stretch: a request's head and body
// must arrive within a fixed time of its first byte (however slowly they
// trickle), each write must make progress within a fixed time, and
// everything gives up within a fraction of a second once the server stops.
//
// The head of each request (request line and headers) is read here first,
// so that a request that gives neither a Content-Length nor a chunked body
// has, as HTTP/1.1 says, an empty one: the library would otherwise wait for
// the client to close the connection.

#include <atomic>
#include <chrono>
#include <string>

#include <httplib.h>

namespace flakecoat::preview::view {

struct ConnectionLimits {
    std::chrono::milliseconds idle{5000};      // waiting for a request's first byte
    std::chrono::milliseconds request{5000};   // its head and body, from the first byte
    std::chrono::milliseconds write{5000};     // each write's progress
    std::chrono::milliseconds response{30000};  // all writes of one response
    std::size_t maxHead = 16384;               // request line and headers
};

class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(int socket, const std::atomic<bool>& stopping, const ConnectionLimits& limits);

    // Waits for the next request and reads its head. False when none comes
    // in time, the client closes, the server stops, or the head is too
    // large or too slow (answered 431 or 408 before closing).
    bool readRequestHead(std::chrono::milliseconds idle);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* data, size_t size) override;
    ssize_t write(const char* data, size_t size) override;
    using httplib::Stream::write;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    int socket() const override { return socket_; }

private:
    using Clock = std::chrono::steady_clock;
    enum class Wait { ready, timeout, stopped };
    // Waits for the socket to be readable (or writable) until the deadline,
    // in short slices so a stopping server is noticed.
    Wait waitFor(short events, Clock::time_point deadline) const;
    bool fill(Clock::time_point deadline);
    void refuse(const char* status);

    int socket_;
    const std::atomic<bool>& stopping_;
    ConnectionLimits limits_;
    std::string buffer_;  // read but not yet handed on
    std::size_t next_ = 0;
    Clock::time_point readDeadline_;
    Clock::time_point responseDeadline_;
    bool responseStarted_ = false;
};

}  // namespace flakecoat::preview::view

#endif
