#ifndef FLAKECOAT_PREVIEW_KERNEL_ENVIRONMENT_H
#define FLAKECOAT_PREVIEW_KERNEL_ENVIRONMENT_H

// What a ray sees when it leaves the scene: a procedural sky by default, or
// a latitude-longitude image (world y up; the image's left edge looks along
// -z, its centre along +z, its top row straight up), either turned about the
// vertical by a number of degrees.

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
    // Turns the environment by `degrees` about +y (counter-clockwise seen
    // from above): what was seen along d is then seen along the turned d.
    void setRotation(float degrees);
    float rotationDegrees() const { return rotationDegrees_; }
    // A direction of the unturned environment as the world sees it.
    Vec3 toWorld(const Vec3& direction) const;
    // The unturned environment as a latitude-longitude image no wider than
    // maxWidth: an image averaged down over whole blocks of pixels (so a
    // small bright sun keeps its energy), the sky evaluated at pixel centres.
    LatLongImage radianceMap(int maxWidth) const;
    // The cosine-weighted mean radiance of the upper hemisphere (around +y):
    // the irradiance of an unblocked upward-facing surface divided by pi.
    Color upperHemisphereMean() const { return upperMean_; }
    bool isImage() const { return image_.width > 0; }

private:
    Color sky(const Vec3& direction) const;
    Color imageLookup(const Vec3& direction) const;
    Color texel(int x, int y) const;

    Color computeUpperMean() const;
    Color unturnedLookup(const Vec3& direction) const;

    LatLongImage image_;
    float rotationDegrees_ = 0.0f;
    float rotationCos_ = 1.0f;
    float rotationSin_ = 0.0f;
    Color upperMean_;  // the same however the environment is turned
};

// The unit direction at the centre of pixel (x, y) of a width x height
// latitude-longitude image, and the solid angle the pixel covers.
Vec3 latLongDirection(int x, int y, int width, int height);
float latLongSolidAngle(int y, int width, int height);

}  // namespace flakecoat::preview

#endif
