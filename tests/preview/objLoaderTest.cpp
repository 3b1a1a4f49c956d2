// The OBJ reader: each feature it takes, each bad input it refuses with the
// file and line named.

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "meshes/objLoader.h"

namespace fp = flakecoat::preview;

namespace {

const char* kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

}  // namespace

TEST(ObjLoader, ReadsEachFeature) {
    struct Case {
        const char* what;
        std::string text;
        size_t triangles;
        bool givenNormals;  // every triangle's normals are the file's (0, 0, 2) made unit
        bool givenUv;
    };
    const std::string square = kSquare;
    const Case cases[] = {
        {"triangle", square + "f 1 2 3\n", 1, false, false},
        {"quad split", square + "f 1 2 3 4\n", 2, false, false},
        {"pentagon split", square + "v 0.5 1.5 0\nf 1 2 3 5 4\n", 3, false, false},
        {"normals", square + "vn 0 0 2\nf 1//1 2//1 3//1\n", 1, true, false},
        {"texture coordinates", square + "vt 0 0\nvt 1 0\nvt 1 1\nf 1/1 2/2 3/3\n", 1, false, true},
        {"both", square + "vt 0 0\nvn 0 0 2\nf 1/1/1 2/1/1 3/1/1 4/1/1\n", 2, true, true},
        {"negative indices", square + "vn 0 0 2\nf -4//-1 -3//-1 -2//-1\n", 1, true, false},
        {"objects and groups", square + "o a\nf 1 2 3\ng b c\nf 1 3 4\no d\ng\nf 4 3 1\n", 3, false, false},
        {"CRLF and lone CR", "v 0 0 0\r\nv 1 0 0\rv 1 1 0\r\nf 1 2 3\r\n", 1, false, false},
        {"ignored statements", square + "# c\nmtllib a.mtl\nusemtl red\ns 1\nl 1 2\np 1\nvp 0.5\n"
                               "t crease 2/1/0 1 2 9999999999\n  \tf 1 2 3\n",
         1, false, false},
        {"degenerate face dropped", square + "v 2 0 0\nf 1 2 5\nf 1 2 3\n", 1, false, false},
        {"extra values", "v 0 0 0 1\nv 1 0 0 1 0 0\nv +1 1e0 .0 1 0.5 0 1\nvt 0.5\nf 1/1 2/1 3/1\n", 1, false, true},
    };
    for (const Case& c : cases) {
        fp::TriangleMesh mesh;
        std::string error;
        ASSERT_TRUE(fp::parseObj(c.text, "m.obj", mesh, error)) << c.what << ": " << error;
        ASSERT_EQ(mesh.triangles.size(), c.triangles) << c.what;
        for (const fp::MeshTriangle& t : mesh.triangles) {
            EXPECT_TRUE(t.hasNormals) << c.what;  // given or smooth
            EXPECT_EQ(t.hasUv, c.givenUv) << c.what;
            for (const fp::Vec3& n : t.normal) {
                EXPECT_NEAR(fp::length(n), 1.0f, 1e-6f) << c.what;
                if (c.givenNormals) {
                    EXPECT_EQ(n, fp::Vec3(0, 0, 1)) << c.what;
                }
            }
        }
    }

    // Texture coordinates stay with their corners
    fp::TriangleMesh mesh;
    std::string error;
    ASSERT_TRUE(fp::parseObj(square + "vt 0 0\nvt 1 0\nvt 1 1\nf 1/1 2/2 3/3\n", "m.obj", mesh, error));
    EXPECT_EQ(mesh.triangles[0].u, (std::array<float, 3>{0, 1, 1}));
    EXPECT_EQ(mesh.triangles[0].v, (std::array<float, 3>{0, 0, 1}));
}

TEST(ObjLoader, RefusesBadInputNamingTheLine) {
    const std::string square = kSquare;
    const std::pair<std::string, const char*> cases[] = {
        {"v 0 0\nf 1 1 1\n", "m.obj:1: expected x y z"},
        {"v 0 0 zero\n", "m.obj:1: 'zero' is not a number"},
        {"v 0 nan 0\n", "m.obj:1: 'nan' is not a finite single-precision number"},
        {"v 0 0 -inf\n", "m.obj:1: '-inf' is not a finite single-precision number"},
        {"v 0 0 1e39\n", "m.obj:1: '1e39' is not a finite single-precision number"},
        {"v 0 0 1 2 3 4 5 6\n", "m.obj:1: too many values"},
        {square + "vn 0 1\n", "m.obj:5: expected x y z"},
        {square + "vt\n", "m.obj:5: expected u"},
        {square + "f 1 2\n", "m.obj:5: a face needs at least three corners"},
        {square + "f 1 2 0\n", "m.obj:5: position index 0 is out of range (4 positions so far)"},
        {square + "f 1 2 5\n", "m.obj:5: position index 5 is out of range"},
        {square + "f -5 1 2\n", "m.obj:5: position index -5 is out of range"},
        {square + "f 1 2 99999999999999999999\n", "m.obj:5: corner index '99999999999999999999' is not"},
        {square + "f 1 2 3.0\n", "m.obj:5: corner index '3.0' is not a whole number"},
        {square + "vt 0 0\nf 1/2 2/1 3/1\n", "m.obj:6: texture coordinate index 2 is out of range (1 texture"},
        {square + "f 1//1 2//1 3//1\n", "m.obj:5: normal index 1 is out of range (0 normals so far)"},
        {square + "vt 0 0\nf 1/1 2 3\n", "m.obj:6: the corners of a face mix forms"},
        {square + "f 1/1/1/1 2 3\n", "m.obj:5: a face corner has more than three indices"},
        {square + "f 1 2 3\n\nf 1 2 3 x\n", "m.obj:7: corner index 'x'"},
        {square + std::string("f 1 2 3\0 4\n", 11), "m.obj:5: the line holds a NUL character"},
        {square, "m.obj: no faces"},
        {"", "m.obj: no faces"},
        {"v 0 0 0\nv 1 1 1\nv 2 2 2\nf 1 2 3\n", "m.obj: every face has zero area"},
    };
    for (const auto& [text, message] : cases) {
        fp::TriangleMesh mesh;
        std::string error;
        EXPECT_FALSE(fp::parseObj(text, "m.obj", mesh, error)) << text;
        EXPECT_EQ(error.rfind(message, 0), 0u) << text << "\n" << error;
    }

    // The limits, counted as they are reached
    fp::ObjLimits limits;
    limits.maxTriangles = 3;
    limits.maxElements = 4;
    fp::TriangleMesh mesh;
    std::string error;
    EXPECT_TRUE(fp::parseObj(square + "f 1 2 3 4\nf 1 2 3\n", "m.obj", mesh, error, limits)) << error;
    EXPECT_FALSE(fp::parseObj(square + "f 1 2 3 4\nf 1 2 3 4\n", "m.obj", mesh, error, limits));
    EXPECT_EQ(error, "m.obj:6: more than 3 triangles");
    EXPECT_FALSE(fp::parseObj(square + "v 0 0 0\n", "m.obj", mesh, error, limits));
    EXPECT_EQ(error, "m.obj:5: more than 4 positions");
}

TEST(ObjLoader, FilesThatCannotBeReadAreNamed) {
    fp::TriangleMesh mesh;
    std::string error;
    EXPECT_FALSE(fp::loadObjFile("/nonexistent/model.obj", mesh, error));
    EXPECT_EQ(error, "/nonexistent/model.obj: No such file or directory");
    const std::string directory = std::filesystem::temp_directory_path().string();
    EXPECT_FALSE(fp::loadObjFile(directory, mesh, error));
    EXPECT_EQ(error, directory + ": not a regular file");

    const std::string path = directory + "/flakecoat-obj-test-" + std::to_string(::getpid()) + ".obj";
    std::ofstream(path) << kSquare << "f 1 2 3\nf 1 2 9\n";
    EXPECT_FALSE(fp::loadObjFile(path, mesh, error));
    EXPECT_EQ(error, path + ":6: position index 9 is out of range (4 positions so far)");
    std::filesystem::remove(path);
}
