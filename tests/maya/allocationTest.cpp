// Per-sample work through the host allocates nothing once a block has
// reached its element capacity. Counts every operator new on this thread
// while samples run.

// The replacement new/delete pair below is malloc/free underneath; GCC
// cannot see that through inlining and warns of a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <cstdlib>
#include <new>

#include "computeFixture.h"

namespace {
thread_local bool counting = false;
thread_local long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using SampleAllocations = NodeCompute;

TEST_F(SampleAllocations, NonePerSampleOnceCapacityIsReached) {
    // Resolve everything by name once, as a renderer does.
    const MObject pointWorld = attr("pointWorld"), normal = attr("normalCamera"), sampler = attr("raySampler");
    const MObject lights = attr("lightDataArray"), direction = attr("lightDirection");
    const MObject intensity = attr("lightIntensity"), specularFlag = attr("lightSpecular");
    const MObject outColor = attr("outColor");
    const MPlug outColorPlug = node->plug(outColor);
    block->reserveElements(lights, 4);
    int context = 0;

    counting = true;
    float sum = 0;
    for (int s = 0; s < 64; ++s) {
        block->setDefaults();
        block->value(pointWorld).set(float(s), 0.5f, 2.0f);
        block->value(normal).set(0.1f, 0.2f, 1.0f);
        block->value(sampler).setAddr(&context);
        const unsigned count = unsigned(s % 5);
        block->setElementCount(lights, count);
        for (unsigned i = 0; i < count; ++i) {
            MDataHandle element = block->element(lights, i);
            element.child(direction).set(0.0f, 0.5f, 1.0f);
            element.child(intensity).set(1.0f, 1.0f, 1.0f);
            element.child(specularFlag).set(true);
        }
        block->compute(outColorPlug);
        sum += block->value(outColor).asFloatVector().x;
    }
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(sum, sum);  // the results were read
}
