// flakecoat view against clients that misbehave: connections that trickle
// their headers a byte at a time neither starve a normal client nor hold
// up a stop; a second viewer cannot share the port; a POST without a body
// is taken as an empty one.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "toolProcess.h"

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 4;
#else
constexpr int kSlowdown = 1;
#endif

using Clock = std::chrono::steady_clock;

// `flakecoat view` on a free port, its URL read from its first line.
struct Viewer {
    pid_t pid = -1;
    int port = 0;
};

Viewer startViewer() {
    int out[2];
    if (pipe(out) != 0) return {};
    Viewer viewer;
    viewer.pid = fork();
    if (viewer.pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(FLAKECOAT_TOOL, "flakecoat", "view", "--size", "32x32", "--threads", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    for (char c; line.find('\n') == std::string::npos && read(out[0], &c, 1) == 1;) line += c;
    close(out[0]);
    std::sscanf(line.c_str(), "http://127.0.0.1:%d/", &viewer.port);
    return viewer;
}

int connectTo(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(socket);
        return -1;
    }
    timeval wait{10 * kSlowdown, 0};
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    return socket;
}

// Sends a whole request and reads the answer until the server closes.
std::string askAndRead(int port, const std::string& request) {
    const int socket = connectTo(port);
    if (socket < 0) return "";
    send(socket, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    char bytes[4096];
    for (ssize_t n; (n = recv(socket, bytes, sizeof bytes, 0)) > 0;) answer.append(bytes, size_t(n));
    close(socket);
    return answer;
}

}  // namespace

TEST(HostileViewer, SlowClientsNeitherStarveOthersNorHoldUpAStop) {
    const Viewer viewer = startViewer();
    ASSERT_GT(viewer.port, 0);
    const std::string host = "Host: 127.0.0.1:" + std::to_string(viewer.port) + "\r\n";

    // Twelve connections, more than the library's own eight workers, each
    // trickling an endless header a byte every 100 ms.
    std::vector<int> slow;
    for (int i = 0; i < 12; ++i) {
        slow.push_back(connectTo(viewer.port));
        ASSERT_GE(slow.back(), 0);
        const std::string start = "GET /state HTTP/1.1\r\n" + host + "X-Slow: ";
        send(slow.back(), start.data(), start.size(), MSG_NOSIGNAL);
    }
    std::atomic<bool> trickling{true};
    std::thread trickle([&] {
        while (trickling) {
            for (const int socket : slow) send(socket, "a", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // A normal client is answered at once, a POST without a body included
    auto asked = Clock::now();
    const std::string state = askAndRead(viewer.port, "GET /state HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n");
    EXPECT_LT(Clock::now() - asked, std::chrono::seconds(2 * kSlowdown));
    EXPECT_EQ(state.rfind("HTTP/1.1 200", 0), 0u) << state.substr(0, 200);
    const std::string reset = askAndRead(viewer.port, "POST /reset HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n");
    EXPECT_EQ(reset.rfind("HTTP/1.1 200", 0), 0u) << reset.substr(0, 200);
    EXPECT_NE(reset.find("{\"generation\":"), std::string::npos) << reset.substr(0, 200);

    // A second viewer cannot take the same port
    const fs::path directory = testDirectory();
    const ToolRun second = runTool(directory, "view --port " + std::to_string(viewer.port));
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find("cannot listen on 127.0.0.1:" + std::to_string(viewer.port) + " (in use?)"),
              std::string::npos)
        << second.err;
    fs::remove_all(directory);

    // However slowly they trickle, the slow requests are cut off in time;
    // a few fresh ones still hold connections when the stop comes, and it
    // acts within a second whatever they do.
    std::this_thread::sleep_for(std::chrono::seconds(6));
    trickling = false;
    trickle.join();
    for (int& socket : slow) {
        char answer[13] = "";
        const ssize_t received = recv(socket, answer, 12, MSG_DONTWAIT);  // cut off: answered 408 or closed
        EXPECT_TRUE(received == 0 || std::string(answer) == "HTTP/1.1 408") << received << " " << answer;
        close(socket);
        socket = connectTo(viewer.port);
        send(socket, "GET /state HTTP/1.1\r\n", 21, MSG_NOSIGNAL);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    asked = Clock::now();
    kill(viewer.pid, SIGINT);
    int status = 0;
    waitpid(viewer.pid, &status, 0);
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(1500 * kSlowdown));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (const int socket : slow) close(socket);
}
