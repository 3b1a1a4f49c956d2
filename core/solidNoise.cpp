#include "solidNoise.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <utility>

// srandom and random: <stdlib.h> on Linux, <maya/MTypes.h> on Windows.
#include <stdlib.h>

#include <maya/MTypes.h>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace flakecoat {
namespace {

// Slots 256..513 repeat slots 0..257, so hashed sums of two 8-bit values
// (at most 510) index the tables without wrapping.
constexpr int kTableSize = 514;

// Gradients are x, y, z; the fourth float only pads each entry to 16 bytes
// so that an index scales by a shift.
struct NoiseTables {
    int noisePermutation[kTableSize];
    alignas(16) float noiseGradients[kTableSize][4];
};

void buildNoiseTables(NoiseTables& t) {
    srandom(1);

    // Gradients: uniform in the unit ball by rejection, then normalised.
    // Components are multiples of 1/256 in [-1, 255/256]. A draw of three
    // zeros is rejected too: it has no direction to normalise.
    for (int i = 0; i < 256; ++i) {
        for (;;) {
            const float x = float(random() % 512 - 256) * 0.00390625f;
            const float y = float(random() % 512 - 256) * 0.00390625f;
            const float z = float(random() % 512 - 256) * 0.00390625f;
            const float lengthSquared = (y * y + x * x) + z * z;
            if (lengthSquared > 1.0f || lengthSquared == 0.0f) continue;
            const float length = std::sqrt(lengthSquared);
            t.noiseGradients[i][0] = x / length;
            t.noiseGradients[i][1] = y / length;
            t.noiseGradients[i][2] = z / length;
            break;
        }
    }

    // Permutation: identity, then shuffled from slot 255 down to slot 1
    // (slot 0 is not visited), one draw per visited slot.
    for (int i = 0; i < 256; ++i) t.noisePermutation[i] = i;
    for (int slot = 255; slot > 0; --slot) {
        const int other = int(random() % 256);
        std::swap(t.noisePermutation[slot], t.noisePermutation[other]);
    }

    for (int i = 0; i < 258; ++i) t.noisePermutation[256 + i] = t.noisePermutation[i];
    for (int i = 0; i < 258; ++i)
        for (int c = 0; c < 3; ++c) t.noiseGradients[256 + i][c] = t.noiseGradients[i][c];
}

// Zero until the first call builds them, exactly once. A thread arriving
// while another builds waits in call_once; afterwards the release/acquire
// flag lets every call read the tables without a lock.
NoiseTables noiseTables;
std::atomic<bool> noiseTablesReady{false};
std::once_flag noiseTablesOnce;

// Kept out of line so the per-call path stays a load and a branch.
[[gnu::noinline, gnu::cold]] void buildNoiseTablesOnce() {
    std::call_once(noiseTablesOnce, [] {
        buildNoiseTables(noiseTables);
        noiseTablesReady.store(true, std::memory_order_release);
    });
}

struct Axis {
    int b0, b1;    // lattice cell and its neighbour, 0..255
    float r0, r1;  // offsets from the two lattice points
};

// Beyond the int range every float is a whole number, so the offsets are 0;
// the cell comes from a 64-bit conversion (beyond that range the value is a
// multiple of 256, cell 0). NaN and infinities keep a NaN offset.
[[gnu::noinline, gnu::cold]] Axis wholeNumberAxis(float t) {
    Axis axis;
    axis.b0 = std::fabs(t) < 9223372036854775808.0f ? int(static_cast<long long>(t) & 255) : 0;
    axis.b1 = (axis.b0 + 1) & 255;
    axis.r0 = t - t;
    axis.r1 = axis.r0 - 1.0f;
    return axis;
}

inline Axis latticeAxis(float a) {
    const float t = a + 10000.0f;
    if (!(std::fabs(t) < 2147483648.0f)) return wholeNumberAxis(t);
    const int n = int(t);
    Axis axis;
    axis.b0 = n & 255;
    axis.b1 = (axis.b0 + 1) & 255;
    axis.r0 = t - float(n);
    axis.r1 = axis.r0 - 1.0f;
    return axis;
}

inline float fade(float r) { return (3.0f - 2.0f * r) * (r * r); }

inline float lerp(float w, float a, float b) { return (b - a) * w + a; }

inline float cornerValue(const float q[4], float rx, float ry, float rz) {
    return (ry * q[1] + rx * q[0]) + rz * q[2];
}

#if defined(__SSE__)
inline __m128 lerp(__m128 w, __m128 a, __m128 b) { return _mm_add_ps(_mm_mul_ps(_mm_sub_ps(b, a), w), a); }

// cornerValue of four gradients at once, lane k for gradient qk.
inline __m128 cornerValues(const float* q0, const float* q1, const float* q2, const float* q3, __m128 rx,
                           __m128 ry, __m128 rz) {
    __m128 gx = _mm_load_ps(q0), gy = _mm_load_ps(q1), gz = _mm_load_ps(q2), pad = _mm_load_ps(q3);
    _MM_TRANSPOSE4_PS(gx, gy, gz, pad);
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(ry, gy), _mm_mul_ps(rx, gx)), _mm_mul_ps(rz, gz));
}
#endif

}  // namespace

void prepareSolidNoise() {
    if (!noiseTablesReady.load(std::memory_order_acquire)) buildNoiseTablesOnce();
}

float solidNoise(float x, float y, float z) {
    if (!noiseTablesReady.load(std::memory_order_acquire)) buildNoiseTablesOnce();
    const int* P = noiseTables.noisePermutation;
    const float (*G)[4] = noiseTables.noiseGradients;

    const Axis ax = latticeAxis(x);
    const Axis ay = latticeAxis(y);
    const Axis az = latticeAxis(z);

    const int i = P[ax.b0];
    const int j = P[ax.b1];
    const int b00 = P[i + ay.b0];
    const int b10 = P[j + ay.b0];
    const int b01 = P[i + ay.b1];
    const int b11 = P[j + ay.b1];

    const float sx = fade(ax.r0);
    const float sy = fade(ay.r0);
    const float sz = fade(az.r0);

#if defined(__SSE__)
    // The same operations, four corners to a register: lanes round exactly
    // as the scalar steps below do.
    const __m128 rx = _mm_setr_ps(ax.r0, ax.r1, ax.r0, ax.r1);
    const __m128 ry = _mm_setr_ps(ay.r0, ay.r0, ay.r1, ay.r1);
    const __m128 near = cornerValues(G[b00 + az.b0], G[b10 + az.b0], G[b01 + az.b0], G[b11 + az.b0], rx, ry,
                                     _mm_set1_ps(az.r0));
    const __m128 far = cornerValues(G[b00 + az.b1], G[b10 + az.b1], G[b01 + az.b1], G[b11 + az.b1], rx, ry,
                                    _mm_set1_ps(az.r1));
    // (A, B) of the near face, then of the far face.
    const __m128 ab = lerp(_mm_set1_ps(sx), _mm_shuffle_ps(near, far, _MM_SHUFFLE(2, 0, 2, 0)),
                           _mm_shuffle_ps(near, far, _MM_SHUFFLE(3, 1, 3, 1)));
    // (E0, E1).
    const __m128 e = lerp(_mm_set1_ps(sy), _mm_shuffle_ps(ab, ab, _MM_SHUFFLE(2, 0, 2, 0)),
                          _mm_shuffle_ps(ab, ab, _MM_SHUFFLE(3, 1, 3, 1)));
    const float e0 = _mm_cvtss_f32(e);
    const float e1 = _mm_cvtss_f32(_mm_shuffle_ps(e, e, _MM_SHUFFLE(1, 1, 1, 1)));
#else
    float u = cornerValue(G[b00 + az.b0], ax.r0, ay.r0, az.r0);
    float v = cornerValue(G[b10 + az.b0], ax.r1, ay.r0, az.r0);
    float a = lerp(sx, u, v);
    u = cornerValue(G[b01 + az.b0], ax.r0, ay.r1, az.r0);
    v = cornerValue(G[b11 + az.b0], ax.r1, ay.r1, az.r0);
    float b = lerp(sx, u, v);
    const float e0 = lerp(sy, a, b);

    u = cornerValue(G[b00 + az.b1], ax.r0, ay.r0, az.r1);
    v = cornerValue(G[b10 + az.b1], ax.r1, ay.r0, az.r1);
    a = lerp(sx, u, v);
    u = cornerValue(G[b01 + az.b1], ax.r0, ay.r1, az.r1);
    v = cornerValue(G[b11 + az.b1], ax.r1, ay.r1, az.r1);
    b = lerp(sx, u, v);
    const float e1 = lerp(sy, a, b);
#endif

    return lerp(sz, e0, e1) * 1.5f;
}

}  // namespace flakecoat
