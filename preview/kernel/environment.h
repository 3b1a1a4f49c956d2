#ifndef FLAKECOAT_PREVIEW_KERNEL_ENVIRONMENT_H
#define FLAKECOAT_PREVIEW_KERNEL_ENVIRONMENT_H

// What a ray sees when it leaves the scene: a procedural sky by default, or
// a latitude-longitude image (world y up; the image's left edge looks along
// -z, its centre along +z, its top row straight up).

#include <vector>

#include "kernel/vec3.h"

namespace flakecoat::preview {

// Linear RGB pixels in rows from the top, three floats per pixel.
struct LatLongImage {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;
};

class Environment {
public:
    // The default sky: a gradient from a pale horizon to a blue zenith, a
    // warm glow around the sun direction, and a dim neutral colour below the
    // horizon.
    Environment();
    explicit Environment(LatLongImage image);

    // Radiance seen along the unit direction.
    Color lookup(const Vec3& direction) const;
    // The cosine-weighted mean radiance of the upper hemisphere (around +y):
    // the irradiance of an unblocked upward-facing surface divided by pi.
    Color upperHemisphereMean() const { return upperMean_; }
    bool isImage() const { return image_.width > 0; }

private:
    Color sky(const Vec3& direction) const;
    Color imageLookup(const Vec3& direction) const;
    Color texel(int x, int y) const;

    Color computeUpperMean() const;

    LatLongImage image_;
    Color upperMean_;
};

}  // namespace flakecoat::preview

#endif
