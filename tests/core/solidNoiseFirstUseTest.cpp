// The noise tables' first use comes from several threads at once: each must
// wait for one complete build and see the same field. Runs in a process of
// its own so that no earlier call has built the tables.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"

#include "solidNoise.h"

namespace flakecoat {
namespace {

TEST(SolidNoiseFirstUse, ConcurrentFirstCallsSeeOneCompleteBuild) {
    constexpr int kThreads = 8;
    constexpr int kCalls = 64;
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::vector<float>> results(kThreads, std::vector<float>(kCalls));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < kCalls; ++i)
                results[t][i] = solidNoise(0.37f * float(i), 1999356.125f + 0.125f * float(i), 0.5f);
        });
    }
    while (ready.load() < kThreads) std::this_thread::yield();
    go.store(true);
    for (std::thread& thread : threads) thread.join();

    for (int i = 0; i < kCalls; ++i) {
        const float later = solidNoise(0.37f * float(i), 1999356.125f + 0.125f * float(i), 0.5f);
        for (int t = 0; t < kThreads; ++t) ASSERT_EQ(bitsOf(results[t][i]), bitsOf(later)) << "thread " << t;
    }
    // A golden value (tests/core/solidNoiseGolden.py) proves the build complete.
    EXPECT_EQ(bitsOf(solidNoise(0x1.4ccccc0000000p+0f, -0x1.59999a0000000p+1f, 0x1.8ccccc0000000p+1f)),
              bitsOf(0x1.b21e580000000p-3f));
}

}  // namespace
}  // namespace flakecoat
