#include "testing/placeholderShader.h"

namespace flakecoat::preview::testing {

namespace {

class PlaceholderWorker : public SurfaceWorker {
public:
    explicit PlaceholderWorker(const PlaceholderSettings& settings) : settings_(settings) {}

    Color shade(const SurfaceSample& sample, ShadingServices& services) override {
        Color incoming;
        for (int i = 0; i < services.lightCount(); ++i) {
            const int count = lightSampleCount(services.light(i));
            if (count == 0) {
                incoming += services.averagedLight(i, sample.pointWorld, sample.geometricNormalWorld).intensity;
                continue;
            }
            Color sum;
            for (int s = 0; s < count; ++s) {
                const ShadowedLightSample light =
                    services.sampleShadowedLight(i, sample.pointWorld, sample.geometricNormalWorld, s, count);
                const float cosine = dot(sample.normalWorld, light.light.towardsLight);
                if (cosine > 0.0f) sum += light.light.intensity * cosine;
            }
            incoming += sum / float(count);
        }
        Color result = mul(settings_.diffuse, incoming);
        if (settings_.reflectivity > 0.0f && sample.rayDepth < settings_.maxDepth) {
            const Ray reflected = services.leavingRay(sample.pointWorld, sample.geometricNormalWorld,
                                                      reflect(sample.rayDirectionWorld, sample.normalWorld));
            result = result * (1.0f - settings_.reflectivity) +
                     services.trace(reflected, sample.rayDepth + 1).color * settings_.reflectivity;
        }
        return result;
    }

private:
    PlaceholderSettings settings_;
};

}  // namespace

std::unique_ptr<SurfaceWorker> PlaceholderShader::makeWorker() const {
    return std::make_unique<PlaceholderWorker>(settings_);
}

}  // namespace flakecoat::preview::testing
