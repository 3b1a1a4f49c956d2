#ifndef FLAKECOAT_PREVIEW_KERNEL_FRAMING_H
#define FLAKECOAT_PREVIEW_KERNEL_FRAMING_H

// Where the camera stands and what it frames. The camera looks from a
// direction given by two angles: the orbit about the vertical (0 looks from
// +z at the object's front, the side an OBJ model conventionally faces;
// positive moves the camera round towards +x, the image's right at 0) and
// the elevation above the horizontal. The framing sets its distance:
//   sphere  the ball's view, the object's enclosing sphere as the ball
//   fill    the object's silhouette (every corner a triangle uses, in
//           perspective) centred and filling 90% of the image's width or
//           height, whichever binds
// and the zoom brings it closer still. A close-up looks along the same
// direction at the point of the object the view's centre ray meets, from
// where one flake spans about kCloseUpPixelsPerFlake pixels.

#include "kernel/scene.h"

namespace flakecoat::preview {

enum class Framing { Sphere, Fill };

constexpr float kDefaultElevation = 10.0f;
constexpr float kFillFraction = 0.9f;
constexpr float kCloseUpPixelsPerFlake = 4.0f;

struct CameraAim {
    float orbitDegrees = 0.0f;
    float elevationDegrees = kDefaultElevation;  // -90 to 90
    float zoom = 1.0f;                           // 2: twice as close
    float fovDegrees = kBallFov;                 // vertical
    Framing framing = Framing::Sphere;
    bool closeUp = false;
};

// What one flake measures: the shader's flake noise at `frequency`, in the
// painted point's own space (Maya's: the placed world point) or in texture
// space (mental ray's: u and v). A lattice cell of the noise is 1/frequency
// along its finer axis.
struct FlakeScale {
    float frequency = 100.0f;
    bool inTextureSpace = false;
};

// The camera of this aim around the scene's painted object, for an image of
// width x height pixels. The default aim (sphere framing, orbit 0,
// elevation 10, zoom 1, the ball's field of view) is exactly the ball's
// view (see ballViewCamera), whose eye stands a little over 10 degrees up.
// A close-up whose centre ray misses the object is the whole view.
Camera aimCamera(const Scene& scene, const CameraAim& aim, int width, int height, const FlakeScale& flakes);

// The share of the image's width and of its height (0 to 1 and beyond)
// that the painted object's silhouette covers as this camera sees it.
struct Coverage {
    double width = 0.0;
    double height = 0.0;
};
Coverage silhouetteCoverage(const Scene& scene, const Camera& camera);

}  // namespace flakecoat::preview

#endif
