#include "kernel/environmentLights.h"

#include <algorithm>
#include <cmath>

namespace flakecoat::preview {

namespace {

struct Region {
    int x0, y0, x1, y1;  // pixels [x0, x1) x [y0, y1)
    double energy;
    bool whole = false;  // one pixel: it cannot be split
};

// Summed light (luminance times solid angle) of the map, one row and column
// larger than the map.
class SummedEnergy {
public:
    explicit SummedEnergy(const LatLongImage& map) : width_(map.width), table_(size_t(map.width + 1) * (map.height + 1)) {
        for (int y = 0; y < map.height; ++y) {
            const double solidAngle = latLongSolidAngle(y, map.width, map.height);
            double row = 0.0;
            for (int x = 0; x < map.width; ++x) {
                const float* p = &map.rgb[(size_t(y) * size_t(map.width) + size_t(x)) * 3];
                const float l = luminance({p[0], p[1], p[2]});
                row += (std::isfinite(l) && l > 0.0f ? double(l) : 0.0) * solidAngle;
                at(x + 1, y + 1) = at(x + 1, y) + row;
            }
        }
    }
    double sum(int x0, int y0, int x1, int y1) const { return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0); }

private:
    double& at(int x, int y) { return table_[size_t(y) * size_t(width_ + 1) + size_t(x)]; }
    double at(int x, int y) const { return table_[size_t(y) * size_t(width_ + 1) + size_t(x)]; }
    int width_;
    std::vector<double> table_;
};

// Splits the region where its energy halves, across its longer side;
// false when it is one pixel.
bool split(const Region& region, const SummedEnergy& energy, int height, Region& first, Region& second) {
    const int w = region.x1 - region.x0;
    const int h = region.y1 - region.y0;
    if (w <= 1 && h <= 1) return false;
    const double midLatitude = (double(region.y0 + region.y1) / 2.0 / height - 0.5) * 3.14159265358979;
    const bool across = h <= 1 || (w > 1 && double(w) * std::cos(midLatitude) > double(h));
    first = second = region;
    const double half = region.energy / 2.0;
    if (across) {
        int cut = region.x0 + 1;
        while (cut < region.x1 - 1 && energy.sum(region.x0, region.y0, cut, region.y1) < half) ++cut;
        first.x1 = second.x0 = cut;
    } else {
        int cut = region.y0 + 1;
        while (cut < region.y1 - 1 && energy.sum(region.x0, region.y0, region.x1, cut) < half) ++cut;
        first.y1 = second.y0 = cut;
    }
    first.energy = energy.sum(first.x0, first.y0, first.x1, first.y1);
    second.energy = energy.sum(second.x0, second.y0, second.x1, second.y1);
    return true;
}

Light regionLight(const Region& region, const LatLongImage& map, const Environment& environment) {
    Color light;
    Vec3 weighted;
    for (int y = region.y0; y < region.y1; ++y) {
        const float solidAngle = latLongSolidAngle(y, map.width, map.height);
        for (int x = region.x0; x < region.x1; ++x) {
            const float* p = &map.rgb[(size_t(y) * size_t(map.width) + size_t(x)) * 3];
            Color radiance(p[0], p[1], p[2]);
            if (!isFinite(radiance)) continue;
            radiance = Color(std::max(radiance.x, 0.0f), std::max(radiance.y, 0.0f), std::max(radiance.z, 0.0f));
            light += radiance * solidAngle;
            weighted += latLongDirection(x, y, map.width, map.height) * (luminance(radiance) * solidAngle);
        }
    }
    Light result;
    result.kind = LightKind::Directional;
    result.color = light;
    result.intensity = 1.0f;
    result.direction = -normalize(environment.toWorld(normalize(weighted)));
    return result;
}

}  // namespace

float luminance(const Color& c) { return 0.2126f * c.x + 0.7152f * c.y + 0.0722f * c.z; }

EnvironmentLights makeEnvironmentLights(const Environment& environment, int count, bool overFloor, int picks) {
    EnvironmentLights result;
    if (count < 1 || picks < 1) return result;
    const LatLongImage map = environment.radianceMap(kEnvironmentLightMapWidth);
    // Over a floor, the rows down to the horizon only (the image is
    // unturned, and a turn about the vertical keeps the horizon in place).
    const int rows = overFloor ? (map.height + 1) / 2 : map.height;
    const SummedEnergy energy(map);
    std::vector<Region> regions{{0, 0, map.width, rows, energy.sum(0, 0, map.width, rows)}};
    while (int(regions.size()) < count) {
        // The region holding the most light of those that can be split (a
        // sun may end in single pixels before N is reached).
        auto largest = regions.end();
        for (auto region = regions.begin(); region != regions.end(); ++region)
            if (!region->whole && (largest == regions.end() || region->energy > largest->energy)) largest = region;
        if (largest == regions.end() || !(largest->energy > 0.0)) break;
        Region first, second;
        if (!split(*largest, energy, map.height, first, second)) {
            largest->whole = true;
            continue;
        }
        *largest = first;
        regions.push_back(second);
    }
    float running = 0.0f;
    for (const Region& region : regions) {
        if (!(region.energy > 0.0)) continue;
        const Light light = regionLight(region, map, environment);
        const float weight = luminance(light.color);
        if (!(weight > 0.0f) || !std::isfinite(weight)) continue;
        running += weight;
        result.lights.push_back(light);
        result.cumulative.push_back(running);
    }
    result.picks = result.lights.empty() ? 0 : std::min(picks, int(result.lights.size()));
    return result;
}

const Light& pickEnvironmentLight(const EnvironmentLights& lights, int pick, int pickCount, float u, float& weight) {
    const int count = int(lights.lights.size());
    if (count == pickCount) {
        weight = float(pickCount);
        return lights.lights[size_t(pick)];
    }
    // Stratified: pick k of K draws from the k-th K-th of the running sum.
    const float total = lights.cumulative.back();
    const float target = (float(pick) + u) / float(pickCount) * total;
    const auto found = std::upper_bound(lights.cumulative.begin(), lights.cumulative.end(), target);
    const size_t index = std::min(size_t(found - lights.cumulative.begin()), size_t(count - 1));
    const float previous = index == 0 ? 0.0f : lights.cumulative[index - 1];
    const float probability = (lights.cumulative[index] - previous) / total;
    weight = 1.0f / probability;
    return lights.lights[index];
}

}  // namespace flakecoat::preview
