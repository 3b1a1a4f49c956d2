#ifndef FLAKECOAT_PREVIEW_TESTING_PLACEHOLDER_SHADER_H
#define FLAKECOAT_PREVIEW_TESTING_PLACEHOLDER_SHADER_H

// A plain shader for exercising the kernel without either host: diffuse
// colour under every light sample (shadowed), plus a weighted reflection
// traced through the kernel at depth + 1. Tests and benchmarks only.

#include "kernel/shadingServices.h"
#include "kernel/surfaceShader.h"

namespace flakecoat::preview::testing {

struct PlaceholderSettings {
    Color diffuse{0.2f, 0.6f, 0.25f};
    float reflectivity = 0.5f;
    int maxDepth = 1;  // reflections traced from samples shallower than this
};

class PlaceholderShader : public PaintedSurfaceShader {
public:
    explicit PlaceholderShader(const PlaceholderSettings& settings = PlaceholderSettings()) : settings_(settings) {}
    std::unique_ptr<SurfaceWorker> makeWorker() const override;

private:
    PlaceholderSettings settings_;
};

}  // namespace flakecoat::preview::testing

#endif
