#include "view/latestImage.h"

namespace flakecoat::preview::view {

void LatestImage::publish(std::vector<unsigned char> png, std::uint64_t generation, int samplesPerPixel,
                          std::string note, int divisor) {
    auto bytes = std::make_shared<const std::vector<unsigned char>>(std::move(png));
    std::lock_guard<std::mutex> lock(mutex_);
    latest_.png = std::move(bytes);
    ++latest_.serial;
    latest_.generation = generation;
    latest_.samplesPerPixel = samplesPerPixel;
    latest_.divisor = divisor;
    latest_.note = std::move(note);
    published_.notify_all();
}

PublishedImage LatestImage::latest() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return latest_;
}

bool LatestImage::waitFor(std::uint64_t after, std::uint64_t generation, std::chrono::milliseconds timeout,
                          PublishedImage& image) {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool ready = published_.wait_for(lock, timeout, [&] {
        return closed_ || (latest_.png && latest_.serial > after && latest_.generation >= generation);
    });
    if (!ready || closed_) return false;
    image = latest_;
    return true;
}

void LatestImage::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    published_.notify_all();
}

}  // namespace flakecoat::preview::view
