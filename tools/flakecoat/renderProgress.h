#ifndef FLAKECOAT_TOOLS_RENDER_PROGRESS_H
#define FLAKECOAT_TOOLS_RENDER_PROGRESS_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// A progress bar on standard error, drawn only when standard error is a
// terminal, in tenths of a percent of the samples of the whole job, so it
// moves even where a tile takes seconds. advance() is called from the render
// threads.
class RenderProgress {
public:
    RenderProgress(std::string label, std::uint64_t totalSamples);
    void advance(std::uint64_t samples);
    // Clears the bar's line.
    void finish();

private:
    std::string label_;
    bool enabled_;
    std::uint64_t total_;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<int> shownPermille_{-1};
    std::mutex drawing_;
};

#endif
