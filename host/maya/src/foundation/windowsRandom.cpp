// srandom and random for Windows, the generator the GNU C library documents
// for random() with its default state of 128 bytes: an additive feedback
// generator r[i] = r[i-3] + r[i-31] (mod 2^32) returning r[i] >> 1, whose 31
// words srandom(seed) fills with seed * 16807^i (mod 2^31 - 1) and then
// steps 310 times. The same seed gives the same numbers as on Linux.

#include <maya/MTypes.h>

#include <cstdint>
#include <mutex>

namespace {

constexpr int kDegree = 31;
constexpr int kSeparation = 3;

struct Generator {
    std::uint32_t words[kDegree];
    int front = kSeparation;  // the r[i-3] word
    int rear = 0;             // the r[i-31] word

    std::uint32_t next() {
        words[front] += words[rear];
        const std::uint32_t result = words[front] >> 1;
        front = (front + 1) % kDegree;
        rear = (rear + 1) % kDegree;
        return result;
    }

    void seed(unsigned int seed) {
        std::int32_t word = seed == 0 ? 1 : std::int32_t(seed);
        words[0] = std::uint32_t(word);
        for (int i = 1; i < kDegree; ++i) {
            // word * 16807 mod (2^31 - 1) without overflow (Schrage)
            const std::int32_t high = word / 127773;
            const std::int32_t low = word % 127773;
            word = 16807 * low - 2836 * high;
            if (word < 0) word += 2147483647;
            words[i] = std::uint32_t(word);
        }
        front = kSeparation;
        rear = 0;
        for (int i = 0; i < 10 * kDegree; ++i) next();
    }

    Generator() { seed(1); }
};

// One sequence for the process, as the C library keeps it: each call takes
// the lock.
std::mutex generatorMutex;
Generator generator;

}  // namespace

extern "C" int srandom(unsigned int seed) {
    std::lock_guard<std::mutex> lock(generatorMutex);
    generator.seed(seed);
    return 0;
}

extern "C" long random(void) {
    std::lock_guard<std::mutex> lock(generatorMutex);
    return long(generator.next());
}
