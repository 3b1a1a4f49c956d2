// The OBJ reader: each feature it takes, each bad input it refuses with the
// file and line named.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
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

namespace {

// A strip of `quads` quads, each corner with its own normal and texture
// coordinate, faces referring back by negative indices (so across the
// batches the text is assembled in).
std::string strip(int quads) {
    std::string text = "v 0 0 0\nv 0 1 0\nvn 0 0 1\nvt 0 0\n";
    for (int i = 1; i <= quads; ++i) {
        const std::string x = std::to_string(i);
        text += "g piece" + x + "\nv " + x + " 0 0\nv " + x + " 1 0\nvn 0 0." + x + " 1\nvt " + x + " 0\n" +
                "f -4/-2/-2 -2/-1/-1 -1/-1/-1 -3/-2/-2\n";
    }
    return text;
}

bool sameMesh(const fp::TriangleMesh& a, const fp::TriangleMesh& b) {
    if (a.positions != b.positions || a.triangles.size() != b.triangles.size()) return false;
    for (size_t i = 0; i < a.triangles.size(); ++i) {
        const fp::MeshTriangle &s = a.triangles[i], &t = b.triangles[i];
        if (s.corner != t.corner || s.normal != t.normal || s.u != t.u || s.v != t.v) return false;
    }
    return true;
}

}  // namespace

TEST(ObjLoader, ModelsOfManyBatchesReadTheSameFromMemoryAndFromAFile) {
    const std::string path = std::filesystem::temp_directory_path().string() + "/flakecoat-obj-batches-" +
                             std::to_string(::getpid()) + ".obj";
    const int quads = 12000;
    const std::string big = strip(quads);  // 72004 lines, two batches
    const std::string afterBig = ":" + std::to_string(6 * quads + 5) + ": ";
    // A file is read in pieces of 1 MiB: a line ending, a "\r\n" and a
    // byte-order mark at each place around a piece's end, a line of several
    // pieces, then errors far into the text. {what, text, error after the name}
    const std::string pad(1 << 20, '#');
    std::vector<std::array<std::string, 3>> cases = {
        {"many batches", big, ""},
        {"byte-order mark", "\xEF\xBB\xBF" + big, ""},
        {"a line of 3 MiB", "\xEF\xBB\xBF# " + std::string(3 << 20, 'x') + "\r\n" + big, ""},
        {"a name of 3 MiB", "g " + std::string(3 << 20, 'n') + "\n" + big, ""},
        {"a name of 3 MiB holding a NUL", "g " + std::string(3 << 20, 'n') + '\0' + "n\n" + big,
         ":1: the line holds a NUL character"},
        {"a bad token after many batches", big + "v 0 0 q\n", afterBig + "'q' is not a number"},
    };
    for (int shift = -3; shift <= 1; ++shift)
        for (const char* ending : {"\n", "\r\n", "\r"})
            cases.push_back({"a line ending at " + std::to_string(shift) + " from a piece's end",
                             pad.substr(0, size_t((1 << 20) + shift)) + ending + strip(3) + "v 0 0 bad\n",
                             ":24: 'bad' is not a number"});
    for (const auto& [what, text, message] : cases) {
        std::ofstream(path, std::ios::binary) << text;
        fp::TriangleMesh fromMemory, fromFile;
        std::string memoryError, fileError;
        EXPECT_EQ(fp::parseObj(text, path, fromMemory, memoryError), message.empty()) << what << ": " << memoryError;
        EXPECT_EQ(fp::loadObjFile(path, fromFile, fileError), message.empty()) << what << ": " << fileError;
        EXPECT_EQ(memoryError, message.empty() ? "" : path + message) << what;
        EXPECT_EQ(fileError, memoryError) << what;
        EXPECT_TRUE(sameMesh(fromMemory, fromFile)) << what;
        if (!message.empty()) continue;
        // Each quad keeps its own normals and coordinates, however far back
        ASSERT_EQ(fromMemory.triangles.size(), 2u * quads) << what;
        const fp::MeshTriangle& last = fromMemory.triangles.back();
        EXPECT_EQ(std::max({last.u[0], last.u[1], last.u[2]}), float(quads)) << what;
        const float y = std::stof("0." + std::to_string(quads));  // vn 0 0.QUADS 1
        EXPECT_NEAR(last.normal[0].y, y / std::sqrt(1 + y * y), 1e-6f) << what;
    }
    std::filesystem::remove(path);

    // A fault found while assembling one batch comes before a bad line the
    // checker has already read further on
    fp::ObjLimits limits;
    limits.maxSplitWork = 0;
    fp::TriangleMesh mesh;
    std::string error;
    const std::string dart = "v 0 0 0\nv 4 1 0\nv 0 2 0\nv 0.2 1 0\nv 0.1 0.5 0\nf -5 -4 -3 -2 -1\n";
    EXPECT_FALSE(fp::parseObj(big + dart + "f 1 2 x\n", "m.obj", mesh, error, limits));
    EXPECT_EQ(error, "m.obj:" + std::to_string(6 * quads + 10) + ": a face of 5 corners is too concave to split within the bound on one "
                                          "file's work");
}
