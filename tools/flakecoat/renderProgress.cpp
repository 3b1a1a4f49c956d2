#include "renderProgress.h"

#include <csignal>
#include <cstdio>
#include <iterator>
#include <utility>

#include <unistd.h>

RenderProgress::RenderProgress(std::string label) : label_(std::move(label)), enabled_(isatty(STDERR_FILENO)) {}

void RenderProgress::update(int done, int total) {
    if (!enabled_ || total <= 0) return;
    const int percent = int((long long)done * 100 / total);
    int shown = shownPercent_.load(std::memory_order_relaxed);
    if (percent <= shown) return;
    if (!shownPercent_.compare_exchange_strong(shown, percent)) return;
    // A thread that cannot draw now skips; a later tile redraws.
    std::unique_lock<std::mutex> lock(drawing_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    constexpr int kWidth = 40;
    char bar[kWidth + 1];
    const int filled = percent * kWidth / 100;
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar, percent);
    std::fflush(stderr);
}

void RenderProgress::finish() {
    if (!enabled_) return;
    std::lock_guard<std::mutex> lock(drawing_);
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}

namespace {
std::atomic<bool> interrupted{false};
volatile std::sig_atomic_t interruptSignal = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previous[std::size(kSignals)];

void onInterrupt(int signal) {
    interruptSignal = signal;
    interrupted.store(true);
}
}  // namespace

InterruptFlag::InterruptFlag() {
    interrupted.store(false);
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous[i]);
}

InterruptFlag::~InterruptFlag() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
}

const std::atomic<bool>& InterruptFlag::flag() const { return interrupted; }

int InterruptFlag::signalNumber() const { return int(interruptSignal); }
