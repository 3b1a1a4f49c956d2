// Crafted OBJ models at the library level: numbers that must not slip
// through as NaN or infinity, polygons of any corner count split soundly,
// models at extreme scales, and the smaller faults (a byte-order mark,
// echoed tokens, a stop request).

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "craftedModels.h"
#include "kernel/meshGeometry.h"
#include "meshes/objLoader.h"

namespace fp = flakecoat::preview;

namespace {

const char* kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

bool meshIsFinite(const fp::TriangleMesh& mesh) {
    for (const fp::Vec3& p : mesh.positions)
        if (!fp::isFinite(p)) return false;
    for (const fp::MeshTriangle& t : mesh.triangles)
        for (int k = 0; k < 3; ++k)
            if (!fp::isFinite(t.normal[size_t(k)]) || !std::isfinite(t.u[size_t(k)]) || !std::isfinite(t.v[size_t(k)]))
                return false;
    return true;
}

// Twice the area of each triangle seen along `axis` (the polygon's normal).
double signedArea(const fp::TriangleMesh& mesh, const fp::MeshTriangle& t, const fp::Vec3& axis) {
    const fp::Vec3 &a = mesh.positions[t.corner[0]], &b = mesh.positions[t.corner[1]], &c = mesh.positions[t.corner[2]];
    const double e1[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    const double e2[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
    return (e1[1] * e2[2] - e1[2] * e2[1]) * axis.x + (e1[2] * e2[0] - e1[0] * e2[2]) * axis.y +
           (e1[0] * e2[1] - e1[1] * e2[0]) * axis.z;
}

// A polygon given in the plane, placed on a tilted plane in space.
struct Polygon {
    const char* what;
    std::vector<std::pair<double, double>> corners;  // counter-clockwise
};

double shoelace(const Polygon& polygon) {
    double twice = 0.0;
    const size_t n = polygon.corners.size();
    for (size_t i = 0; i < n; ++i) {
        const auto& [x0, y0] = polygon.corners[i];
        const auto& [x1, y1] = polygon.corners[(i + 1) % n];
        twice += x0 * y1 - x1 * y0;
    }
    return twice;
}

Polygon regular(const char* what, int n, double radius) {
    Polygon polygon{what, {}};
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * M_PI * i / n;
        polygon.corners.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    return polygon;
}

}  // namespace

TEST(HostileObj, OnlyFiniteSinglePrecisionNumbersReachTheModel) {
    // Tokens the old number reading turned into NaN or infinity, and tokens
    // below single precision's range, are read as the numbers they are.
    const std::string longMantissa = std::string(310, '1') + "e-300";  // about 1.1e9
    const std::string readable[] = {"0e500", longMantissa, "1e-50", "-1e-50", "3.4e38", "+2", ".5", "5."};
    for (const std::string& token : readable) {
        const std::string text = "v " + token + " 0 0\nv 1 0 1\nv 0 1 1\nvn " + token + " 1 0\nvt " + token + " " +
                                 token + "\nf 1/1/1 2/1/1 3/1/1\n";
        fp::TriangleMesh mesh;
        std::string error;
        ASSERT_TRUE(fp::parseObj(text, "m.obj", mesh, error)) << token << ": " << error;
        EXPECT_TRUE(meshIsFinite(mesh)) << token;
    }
    fp::TriangleMesh mesh;
    std::string error;
    ASSERT_TRUE(fp::parseObj("v " + longMantissa + " 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\n", "m.obj", mesh, error)) << error;
    EXPECT_FLOAT_EQ(mesh.positions[0].x, 1.1111111e9f);

    // Tokens that are numbers but not finite single-precision ones, at any place
    const char* refused[] = {"1e39", "-1e39", "1e400", "inf", "-infinity", "nan", "-nan", "3.5e38"};
    for (const char* token : refused) {
        const std::string places[] = {"v 0 " + std::string(token) + " 0\n", "vn 0 0 " + std::string(token) + "\n",
                                      "vt " + std::string(token) + "\n", "vt 0 " + std::string(token) + "\n"};
        for (const std::string& line : places) {
            EXPECT_FALSE(fp::parseObj(std::string(kTriangle) + line, "m.obj", mesh, error)) << line;
            EXPECT_EQ(error, "m.obj:5: '" + std::string(token) + "' is not a finite single-precision number") << line;
        }
    }
}

TEST(HostileObj, EveryNumberIsReadAsTheNearestSinglePrecisionValue) {
    // Random finite floats of every magnitude (subnormals included), written
    // shortest, with 17 digits and with 40, as positions and as texture
    // coordinates: each value kept is the one the text names, bit for bit.
    std::mt19937 random(17);
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    std::vector<float> expected;
    for (const char* format : {"%.9g", "%.17g", "%.40e"}) {
        for (int i = 0; i < 1500; ++i) {
            const std::uint32_t bits = random();
            float value;
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value)) continue;
            char token[80];
            std::snprintf(token, sizeof token, format, double(value));
            text += "v 0 " + std::string(token) + " 1\nvt " + token + " " + token + "\n";
            expected.push_back(std::strtof(token, nullptr));
        }
    }
    for (size_t i = 1; i <= expected.size(); ++i)
        text += "f 1/" + std::to_string(i) + " 2/" + std::to_string(i) + " 3/" + std::to_string(i) + "\n";
    fp::TriangleMesh mesh;
    std::string error;
    ASSERT_TRUE(fp::parseObj(text, "m.obj", mesh, error)) << error;
    ASSERT_EQ(mesh.positions.size(), expected.size() + 3);
    ASSERT_EQ(mesh.triangles.size(), expected.size());
    size_t wrong = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const float read[] = {mesh.positions[i + 3].y, mesh.triangles[i].u[0], mesh.triangles[i].v[2]};
        for (const float value : read) wrong += std::memcmp(&value, &expected[i], sizeof value) != 0;
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(HostileObj, PolygonsOfAnyCornerCountSplitIntoTheirOwnArea) {
    std::vector<Polygon> polygons = {
        regular("square", 4, 1.0),
        regular("pentagon", 5, 1.0),
        regular("cylinder cap of 257 corners", 257, 2.0),
        regular("cylinder cap of 1000 corners", 1000, 0.5),
        regular("cylinder cap of 5000 corners", 5000, 3.0),
        // Darts whose shorter diagonal lies outside them
        {"concave quad (a dart)", {{0, 0}, {4, 1}, {0, 2}, {0.2, 1}}},
        {"concave quad, other way round", {{0.2, 1}, {0, 0}, {4, 1}, {0, 2}}},
        {"L", {{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}}},
        {"U", {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}}},
        {"rectangle with corners along its edges",
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}},
        {"star", {}},
        {"notched cap", {}},
    };
    for (int i = 0; i < 10; ++i) {
        const double angle = 2.0 * M_PI * i / 10, radius = i % 2 ? 0.4 : 1.0;
        polygons[10].corners.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    // A cap of 2000 corners with a few notches cut into its rim, as a CAD
    // tool writes a flange with bolt slots.
    for (int i = 0; i < 2000; ++i) {
        const double angle = 2.0 * M_PI * i / 2000, radius = i % 250 < 5 ? 0.8 : 1.0;
        polygons[11].corners.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    polygons.push_back(regular("cylinder cap of 256 corners", 256, 1.5));  // a count that is 0 in a byte
    // On a tilted plane, so no axis sees the polygon edge-on
    const fp::Vec3 u = fp::normalize({1, 0.3f, -0.2f});
    const fp::Vec3 v = fp::normalize(fp::cross({0.1f, 0.2f, 1.0f}, u));
    const fp::Vec3 axis = fp::normalize(fp::cross(u, v));
    for (const Polygon& polygon : polygons) {
        std::string text, face = "f";
        for (size_t i = 0; i < polygon.corners.size(); ++i) {
            const fp::Vec3 p = u * float(polygon.corners[i].first) + v * float(polygon.corners[i].second) +
                               fp::Vec3(5, 7, -3);
            char line[100];
            std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", double(p.x), double(p.y), double(p.z));
            text += line;
            face += " " + std::to_string(i + 1);
        }
        fp::TriangleMesh mesh;
        std::string error;
        ASSERT_TRUE(fp::parseObj(text + face + "\n", "m.obj", mesh, error)) << polygon.what << ": " << error;
        EXPECT_LE(mesh.triangles.size(), polygon.corners.size() - 2) << polygon.what;
        // Every triangle faces the polygon's way and together they cover its
        // area once: no triangle outside it, none overlapping another.
        double covered = 0.0, smallest = 1.0;
        for (const fp::MeshTriangle& t : mesh.triangles) {
            const double area = signedArea(mesh, t, axis);
            covered += area;
            smallest = std::min(smallest, area);
        }
        EXPECT_GE(smallest, -1e-6) << polygon.what;
        EXPECT_NEAR(covered, shoelace(polygon), 1e-4 * shoelace(polygon)) << polygon.what;
    }
}

TEST(HostileObj, SplittingWorkIsBoundedAndAStopIsHeard) {
    // A comb: half its corners concave, the worst case of ear clipping
    std::string text, face = "f";
    const int teeth = 4000;
    for (int i = 0; i < teeth; ++i) {
        text += "v " + std::to_string(i) + " 0 0\nv " + std::to_string(i) + ".5 10 0\n";
        face += " " + std::to_string(2 * i + 1) + " " + std::to_string(2 * i + 2);
    }
    text += "v " + std::to_string(teeth) + " -1 0\nv 0 -1 0\n";
    face += " " + std::to_string(2 * teeth + 1) + " " + std::to_string(2 * teeth + 2);
    const std::string comb = text + face + "\n";
    fp::ObjLimits limits;
    limits.maxSplitWork = 100000;
    fp::TriangleMesh mesh;
    std::string error;
    EXPECT_FALSE(fp::parseObj(comb, "comb.obj", mesh, error, limits));
    EXPECT_EQ(error, "comb.obj:8003: a face of 8002 corners is too concave to split within the bound on one "
                     "file's work");
    EXPECT_TRUE(fp::parseObj(comb, "comb.obj", mesh, error)) << error;

    // A raised stop ends a long read at once
    std::string many;
    for (int i = 0; i < 200000; ++i) many += kTriangle;
    const std::atomic<bool> stop{true};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(fp::parseObj(many, "many.obj", mesh, error, fp::ObjLimits(), &stop));
    EXPECT_EQ(error, "many.obj: interrupted");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // and a file's, however long its lines
    const std::string path = std::filesystem::temp_directory_path().string() + "/flakecoat-stop-" +
                             std::to_string(::getpid()) + ".obj";
    std::ofstream(path, std::ios::binary) << "g " << std::string(64 << 20, 'n') << "\n" << many;
    const auto fileStart = std::chrono::steady_clock::now();
    EXPECT_FALSE(fp::loadObjFile(path, mesh, error, &stop));
    EXPECT_EQ(error, path + ": interrupted");
    EXPECT_LT(std::chrono::steady_clock::now() - fileStart, std::chrono::seconds(2));
    std::filesystem::remove(path);
}

TEST(HostileObj, ModelsOfAnyScaleKeepTheirFacesAndTheirSizeIsBounded) {
    for (const double side : {1e-30, 1e-18, 1e-12, 1.0, 1e8, 1e18, 1e30}) {
        fp::TriangleMesh mesh;
        std::string error;
        ASSERT_TRUE(fp::parseObj(boxObj(side), "box.obj", mesh, error)) << side << ": " << error;
        EXPECT_EQ(mesh.triangles.size(), 12u) << side;
        for (const fp::MeshTriangle& t : mesh.triangles)
            for (const fp::Vec3& n : t.normal) EXPECT_NEAR(fp::length(n), 1.0f, 1e-5f) << side;
        // Traced where the scene can frame it, refused by name beyond
        const bool frameable = side >= 2.5e-18 && side <= 1e18;
        const std::shared_ptr<const fp::MeshGeometry> model = fp::MeshGeometry::build(mesh, 0.0f, error);
        EXPECT_EQ(model != nullptr, frameable) << side << ": " << error;
        if (!model) {
            EXPECT_NE(error.find(side < 1.0 ? "too small to frame" : "too large to frame"), std::string::npos) << error;
            continue;
        }
        // A ray from the camera's distance meets the box's near face
        const fp::Sphere& bounds = model->enclosingSphere();
        const fp::Ray ray{bounds.center + fp::Vec3(0.1f, 0.2f, 6.0f) * bounds.radius, {0, 0, -1}};
        fp::MeshHit hit;
        ASSERT_TRUE(model->intersect(ray, 0.0f, 1e30f, hit)) << side;
        EXPECT_NEAR(hit.point.z, side, side * 1e-5) << side;
        EXPECT_EQ(hit.geometricNormal, fp::Vec3(0, 0, 1)) << side;
    }
    // Collinear corners are no face at any scale
    for (const double side : {1e-30, 1e30}) {
        fp::TriangleMesh mesh;
        std::string error;
        const std::string text = "v 0 0 0\nv " + std::to_string(side) + " 0 0\nv " + std::to_string(2 * side) +
                                 " 0 0\nf 1 2 3\n";
        EXPECT_FALSE(fp::parseObj(text, "line.obj", mesh, error)) << side;
        EXPECT_EQ(error, "line.obj: every face has zero area");
    }
}

TEST(HostileObj, AByteOrderMarkIsSkippedAndEchoesAreShort) {
    fp::TriangleMesh mesh;
    std::string error;
    EXPECT_TRUE(fp::parseObj("\xEF\xBB\xBF" + std::string(kTriangle), "bom.obj", mesh, error)) << error;
    EXPECT_FALSE(fp::parseObj("\xEF\xBB\xBFv 0 0\n", "bom.obj", mesh, error));
    EXPECT_EQ(error, "bom.obj:1: expected x y z (then an optional w or r g b)");

    // A token of 10 MB in any place a token is quoted
    const std::string huge(10 << 20, '7');
    const std::string texts[] = {"v 0 0 x" + huge + "\n", "v 0 0 " + huge + "\n",
                                 std::string(kTriangle) + "f 1 2 " + huge + "\n",
                                 std::string(kTriangle) + "f 1 2 x" + huge + "\n"};
    for (const std::string& text : texts) {
        EXPECT_FALSE(fp::parseObj(text, "big.obj", mesh, error));
        EXPECT_LT(error.size(), 200u) << error.substr(0, 200);
        EXPECT_NE(error.find("... (1048576"), std::string::npos) << error.substr(0, 200);
    }
}
