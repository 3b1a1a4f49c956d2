// What the OBJ checker hands the OBJ library: only the statements the model
// uses, numbers as the values checked, corners as absolute indices, in
// batches, with a record of each batch, and nothing once a stop is raised.

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "meshes/objChecker.h"

namespace fp = flakecoat::preview;

namespace {

// Everything a checker hands on in its first batch: one of `text`, or
// `checker`, reading its own text, when one is given.
std::string handedOn(const std::string& text, fp::ObjChecker* checker = nullptr) {
    fp::ObjLineSource source(text);
    const fp::ObjLimits limits;
    fp::ObjChecker own(source, limits, nullptr);
    fp::ObjChecker& reading = checker ? *checker : own;
    reading.nextBatch();
    std::istream stream(&reading);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

}  // namespace

TEST(ObjChecker, HandsOnOnlyCheckedStatementsInAFormThatReadsExactly) {
    const std::string square = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
    const std::string squareOut = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
    const std::pair<std::string, std::string> cases[] = {
        {"g a b\no c\nusemtl red\nmtllib x.mtl\ns 1\n# v 1 2 3\nl 1 2\nvp 1\n", ""},
        // Numbers as nine significant digits, whole, with a power of ten
        {"v 0e500 -1e-50 " + std::string(310, '1') + "e-300 1 0.5 0.25 0\n", "v 0 -0 111111117e1\n"},
        {"\xEF\xBB\xBF  vn\t+.5 5. -3.4e38\r\nvt 0.1\rvt 1 2 3\nv 1e-45 -1.17549435e-38 123.456\n",
         "vn 5e-1 5 -339999995e30\nvt 100000001e-9 0\nvt 1 2\nv 140129846e-53 -117549435e-46 123456001e-6\n"},
        // Corners as absolute indices
        {square + "vt 0 0\nvn 0 0 1\nf -4 -3 -2\nf 1/1 2/-1 3/1\nf 1//-1 2//1 3//1 4//1\nf 1/1/1 -3/1/1 3/-1/-1\n",
         squareOut + "vt 0 0\nvn 0 0 1\nf 1 2 3\nf 1/1 2/1 3/1\nf 1//1 2//1 3//1 4//1\nf 1/1/1 2/1/1 3/1/1\n"},
        // A bad line ends the stream before it
        {square + "f 1 2 3\nf 1 2 5\nf 1 2 3\n", squareOut + "f 1 2 3\n"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(handedOn(text), expected) << text;
}

TEST(ObjChecker, BatchesAreRecordedAndAStopEndsTheStream) {
    // Two batches: the first full, each with the lines and values of its
    // elements and faces
    std::string text = "v 0 0 0\nv 1 0 0\n";
    const size_t pairs = fp::ObjChecker::kStatementsPerBatch / 2 + 1;
    for (size_t k = 0; k < pairs; ++k) text += "g x\nv 0 " + std::to_string(k) + " 0\nf 1 2 -1\n";
    fp::ObjLineSource source(text);
    const fp::ObjLimits limits;
    std::atomic<bool> stop{false};
    fp::ObjChecker checker(source, limits, &stop);
    checker.nextBatch();
    std::istream first(&checker);
    const std::string firstText(std::istreambuf_iterator<char>(first), {});
    const fp::ObjBatch& batch = checker.batch();
    EXPECT_EQ(batch.positionLines.size() + batch.faces.size(), fp::ObjChecker::kStatementsPerBatch);
    EXPECT_EQ(batch.positions.size(), 3 * batch.positionLines.size());
    EXPECT_EQ(batch.positionLines[3], 7u);  // "v 0 1 0", after "g x"
    EXPECT_EQ(batch.positions[3 * 3 + 1], 1.0f);
    EXPECT_EQ(batch.faces[1].line, 8u);
    EXPECT_EQ(batch.faces[1].corners, 3u);
    EXPECT_FALSE(checker.finished());
    // It stopped reading at the batch's end: the last face of the batch
    // refers to the last position read, absolutely
    const size_t positionsRead = 2 + (fp::ObjChecker::kStatementsPerBatch - 2) / 2;
    EXPECT_EQ(checker.positions(), positionsRead);
    EXPECT_EQ(firstText.substr(firstText.rfind('f')), "f 1 2 " + std::to_string(positionsRead) + "\n");

    checker.nextBatch();
    stop = true;
    std::istream second(&checker);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(second), {}), "");
    EXPECT_TRUE(checker.finished());
    EXPECT_TRUE(checker.interrupted());
    EXPECT_TRUE(checker.error().empty());
}

TEST(ObjChecker, ValuesReadOtherwiseThanCheckedAreRefusedWithTheirLine) {
    fp::ObjLineSource source("v 0 0 0\n# c\nv 1 2 3\nvn 0 0 1\nvt 0.5 0.25\n");
    const fp::ObjLimits limits;
    fp::ObjChecker checker(source, limits, nullptr);
    handedOn("", &checker);
    const fp::ObjBatch& batch = checker.batch();
    const std::vector<float> positions = {0, 0, 0, 1, 2, 3}, normals = {0, 0, 1}, texcoords = {0.5f, 0.25f};
    size_t line = 0;
    std::string message;
    EXPECT_TRUE(batch.sameValues(positions, normals, texcoords, line, message)) << message;
    // {which list, index, value read}, and the line and message expected
    const float nan = std::nanf(""), infinity = HUGE_VALF;
    const struct {
        int list;
        size_t index;
        float value;
        size_t line;
        const char* message;
    } cases[] = {
        {0, 4, nan, 3, "a position value read as nan is not a finite single-precision number"},
        {0, 0, -infinity, 1, "a position value read as -inf is not a finite single-precision number"},
        {1, 2, infinity, 4, "a normal value read as inf is not a finite single-precision number"},
        {2, 1, 0.25000003f, 5, "a texture coordinate value was read as 0.25000003, not as the number written"},
        {0, 6, 1.0f, 0, "the OBJ library read 3 positions where 2 were given"},
    };
    for (const auto& c : cases) {
        std::vector<float> read[] = {positions, normals, texcoords};
        if (c.index < read[c.list].size())
            read[c.list][c.index] = c.value;
        else
            read[c.list].insert(read[c.list].end(), 3, c.value);
        EXPECT_FALSE(batch.sameValues(read[0], read[1], read[2], line, message)) << c.message;
        EXPECT_EQ(line, c.line) << c.message;
        EXPECT_EQ(message, c.message);
    }
}
