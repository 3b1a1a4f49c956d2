#include "view/connectionThreads.h"

#include <utility>

namespace flakecoat::preview::view {

void ConnectionThreads::enqueue(std::function<void()> job) {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
    if (idle_ < jobs_.size() && threads_.size() < maxThreads_)
        threads_.emplace_back([this] { work(); });
    else
        wake_.notify_one();
}

void ConnectionThreads::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ++idle_;
        wake_.wait(lock, [this] { return shuttingDown_ || !jobs_.empty(); });
        --idle_;
        if (jobs_.empty()) return;  // shutting down with nothing left
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

void ConnectionThreads::shutdown() {
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shuttingDown_ = true;
        threads.swap(threads_);
    }
    wake_.notify_all();
    for (std::thread& thread : threads) thread.join();
}

}  // namespace flakecoat::preview::view
