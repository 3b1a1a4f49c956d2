#ifndef FLAKECOAT_TOOLS_RENDER_PROGRESS_H
#define FLAKECOAT_TOOLS_RENDER_PROGRESS_H

#include <atomic>
#include <mutex>
#include <string>

// A progress bar on standard error, drawn only when standard error is a
// terminal. update() is called from the render threads.
class RenderProgress {
public:
    explicit RenderProgress(std::string label);
    void update(int done, int total);
    // Clears the bar's line.
    void finish();

private:
    std::string label_;
    bool enabled_;
    std::atomic<int> shownPercent_{-1};
    std::mutex drawing_;
};

// SIGINT, SIGTERM, SIGHUP and SIGQUIT set a flag instead of ending the
// process, so a render stops between tiles and leaves no partial file behind.
class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    const std::atomic<bool>& flag() const;
    bool raised() const { return flag().load(); }
    int signalNumber() const;
};

#endif
