#include "renderProgress.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include <unistd.h>

RenderProgress::RenderProgress(std::string label, std::uint64_t totalSamples)
    : label_(std::move(label)), enabled_(isatty(STDERR_FILENO)), total_(totalSamples) {}

void RenderProgress::advance(std::uint64_t samples) {
    const std::uint64_t done = done_.fetch_add(samples, std::memory_order_relaxed) + samples;
    if (!enabled_ || total_ == 0) return;
    const int permille = int(std::min<std::uint64_t>(done, total_) * 1000 / total_);
    int shown = shownPermille_.load(std::memory_order_relaxed);
    if (permille <= shown) return;
    if (!shownPermille_.compare_exchange_strong(shown, permille)) return;
    // A thread that cannot draw now skips; a later report redraws.
    std::unique_lock<std::mutex> lock(drawing_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    constexpr int kWidth = 40;
    char bar[kWidth + 1];
    const int filled = permille * kWidth / 1000;
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r%s [%s] %3d.%d%%", label_.c_str(), bar, permille / 10, permille % 10);
    std::fflush(stderr);
}

void RenderProgress::finish() {
    if (!enabled_) return;
    std::lock_guard<std::mutex> lock(drawing_);
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}
