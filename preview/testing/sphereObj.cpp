#include "testing/sphereObj.h"

#include <cmath>
#include <cstdio>

namespace flakecoat::preview::testing {

std::string sphereObj(int segments, int rings, const Vec3& centre, float radius, bool withNormals, bool withUv) {
    const double pi = 3.14159265358979323846;
    std::string text;
    char line[160];
    auto emit = [&](const char* format, double a, double b, double c) {
        std::snprintf(line, sizeof line, format, a, b, c);
        text += line;
    };
    // One vertex per (segment, ring), the seam column repeated so that u
    // runs from 0 to 1 without wrapping. Directions follow sphereUv.
    for (int r = 0; r <= rings; ++r) {
        const double v = double(r) / rings, latitude = (v - 0.5) * pi;
        for (int s = 0; s <= segments; ++s) {
            const double u = double(s) / segments, longitude = (u - 0.5) * 2.0 * pi;
            const double x = std::cos(latitude) * std::sin(longitude), y = std::sin(latitude),
                         z = std::cos(latitude) * std::cos(longitude);
            emit("v %.9g %.9g %.9g\n", centre.x + radius * x, centre.y + radius * y, centre.z + radius * z);
            if (withNormals) emit("vn %.9g %.9g %.9g\n", x, y, z);
            if (withUv) {
                std::snprintf(line, sizeof line, "vt %.9g %.9g\n", u, v);
                text += line;
            }
        }
    }
    // Two triangles per quad, one at each pole; counter-clockwise outside
    const int columns = segments + 1;
    auto corner = [&](int s, int r) {
        const int i = r * columns + s + 1;
        return withNormals && withUv ? std::to_string(i) + "/" + std::to_string(i) + "/" + std::to_string(i)
               : withNormals        ? std::to_string(i) + "//" + std::to_string(i)
               : withUv             ? std::to_string(i) + "/" + std::to_string(i)
                                    : std::to_string(i);
    };
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const std::string a = corner(s, r), b = corner(s + 1, r), c = corner(s + 1, r + 1), d = corner(s, r + 1);
            if (r > 0) text += "f " + a + " " + b + " " + c + "\n";
            if (r < rings - 1) text += "f " + a + " " + c + " " + d + "\n";
        }
    }
    return text;
}

}  // namespace flakecoat::preview::testing
