#ifndef FLAKECOAT_PREVIEW_VIEW_LATEST_IMAGE_H
#define FLAKECOAT_PREVIEW_VIEW_LATEST_IMAGE_H

// The newest image the render loop finished, as PNG bytes, and a wait for a
// newer one: the page asks for "the first image after the one I show, of at
// least the generation my last change made" and gets it as soon as it
// exists, without waiting on refinements of settings it no longer shows.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace flakecoat::preview::view {

struct PublishedImage {
    std::shared_ptr<const std::vector<unsigned char>> png;  // null before the first image
    std::uint64_t serial = 0;      // counts images published
    std::uint64_t generation = 0;  // of the settings it shows
    int samplesPerPixel = 0;
    int divisor = 1;  // each side 1/divisor of the full size: a preview while settings change
    std::string note;  // what is wrong with it, for the reader; empty: nothing
};

class LatestImage {
public:
    void publish(std::vector<unsigned char> png, std::uint64_t generation, int samplesPerPixel,
                 std::string note = "", int divisor = 1);
    PublishedImage latest() const;
    // Waits up to `timeout` for an image with a serial above `after` and a
    // generation of at least `generation`. False on timeout or close.
    bool waitFor(std::uint64_t after, std::uint64_t generation, std::chrono::milliseconds timeout,
                 PublishedImage& image);
    // Wakes every waiter and makes further waits return at once.
    void close();

private:
    mutable std::mutex mutex_;
    std::condition_variable published_;
    PublishedImage latest_;
    bool closed_ = false;
};

}  // namespace flakecoat::preview::view

#endif
