#ifndef FLAKECOAT_PREVIEW_VIEW_CONNECTION_THREADS_H
#define FLAKECOAT_PREVIEW_VIEW_CONNECTION_THREADS_H

// The viewer's connection workers: a thread for each connection being
// served, up to a cap, kept for the next once idle. A few slow clients
// then hold a few threads while others are answered at once; beyond the
// cap connections wait their turn, and the connection time limits
// (connectionStream.h) free their threads soon enough.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <httplib.h>

namespace flakecoat::preview::view {

class ConnectionThreads : public httplib::TaskQueue {
public:
    explicit ConnectionThreads(std::size_t maxThreads) : maxThreads_(maxThreads) {}
    ~ConnectionThreads() override { shutdown(); }

    void enqueue(std::function<void()> job) override;
    // Serves what is queued, then joins every thread.
    void shutdown() override;

private:
    void work();

    const std::size_t maxThreads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    std::size_t idle_ = 0;
    bool shuttingDown_ = false;
};

}  // namespace flakecoat::preview::view

#endif
