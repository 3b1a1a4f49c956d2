#ifndef FLAKECOAT_PREVIEW_MESHES_OBJ_CHECKER_H
#define FLAKECOAT_PREVIEW_MESHES_OBJ_CHECKER_H

// The checking half of the OBJ reader: it reads the text once, line by
// line, refuses a bad statement with its line named, and hands on, as a
// stream for the OBJ library to assemble, only the statements the model
// uses (v, vn, vt, f), rewritten in a form whose reading cannot go wrong:
// numbers as the single-precision values they were checked as (nine
// significant digits, which read back exactly), face corners as absolute
// 1-based indices. Names (g, o, usemtl, mtllib, s) and everything else are
// dropped unread, so they cost nothing.
//
// The stream comes in batches of at most kStatementsPerBatch statements;
// the checker keeps, for the batch only, each element's line and checked
// values and each face's line and corner count, so what the library made
// of the batch can be checked against them. Once the cancel flag is raised
// the stream ends within a few milliseconds.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "meshes/objLoader.h"

namespace flakecoat::preview {

// OBJ text line by line, from memory or from a file read in pieces. Lines
// end at "\n", "\r\n" or a lone "\r"; a UTF-8 byte-order mark at the start
// is skipped. Memory: a piece of the file and its longest line that may be
// kept (a longer line than a piece that is not v, vn, vt or f is skipped
// unkept).
class ObjLineSource {
public:
    explicit ObjLineSource(std::string_view text);
    // A file stops being read once `cancel` is raised.
    ObjLineSource(std::istream& file, const std::atomic<bool>* cancel);

    // The next line without its ending; false at the end of the text or when
    // the file cannot be read further (readFailed()).
    bool next(std::string_view& line);
    bool readFailed() const { return readFailed_; }

private:
    // Appends the file's next piece to the unread text; false at its end.
    bool fill();
    // The line in rest_ may be a statement the checker keeps.
    static bool mayBeKept(std::string_view text);
    // Reads past the rest of a long line, giving its start.
    bool skipLongLine(std::string_view& line);

    std::istream* file_ = nullptr;
    const std::atomic<bool>* cancel_ = nullptr;
    std::string buffer_;    // the file's unread text
    std::string_view rest_; // unread text (in buffer_ when reading a file)
    std::string longLine_;  // the start of a long line skipped
    bool skipLineFeed_ = false;  // the last line ended at "\r"
    bool atStart_ = true;
    bool readFailed_ = false;
};

// What one batch of the stream held, in the order it was handed on.
struct ObjBatch {
    // Per element: the line it came from and its checked values (3 a
    // position or normal, 2 a texture coordinate).
    std::vector<std::size_t> positionLines, normalLines, texcoordLines;
    std::vector<float> positions, normals, texcoords;
    struct Face {
        std::size_t line;
        std::uint32_t corners;
        bool hasTexcoords, hasNormals;
    };
    std::vector<Face> faces;

    void clear();
    // Whether values read from the batch (3 a position or normal, 2 a
    // texture coordinate) are as many as were handed on, each finite and
    // the very value checked; if not, the element's line and what is wrong
    // ("... not a finite single-precision number").
    bool sameValues(const std::vector<float>& readPositions, const std::vector<float>& readNormals,
                    const std::vector<float>& readTexcoords, std::size_t& line, std::string& message) const;
};

class ObjChecker : public std::streambuf {
public:
    static constexpr std::size_t kStatementsPerBatch = std::size_t(1) << 16;

    ObjChecker(ObjLineSource& source, const ObjLimits& limits, const std::atomic<bool>* cancel);

    // Begins the next batch (forgetting the last one's record).
    void nextBatch();
    const ObjBatch& batch() const { return batch_; }
    // The text has been read to its end, or a bad line or a stop ended it.
    bool finished() const { return finished_; }
    bool interrupted() const { return interrupted_; }
    // The first bad line: its number (0 for the file as a whole) and what
    // is wrong, empty while none was found.
    std::size_t errorLine() const { return errorLine_; }
    const std::string& error() const { return error_; }
    // Elements of each kind and faces handed on so far.
    std::size_t positions() const { return positions_; }
    std::size_t normals() const { return normals_; }
    std::size_t texcoords() const { return texcoords_; }
    std::size_t faces() const { return faces_; }

protected:
    int_type underflow() override;

private:
    // Checks one line, appending what it hands on to out_; false when bad.
    bool line(std::string_view text, std::string& message);
    bool numbers(std::string_view rest, int least, int most, int kept, float* values, const char* what,
                 std::string& message);
    bool face(std::string_view rest, std::string& message);
    void appendNumber(float value);

    ObjLineSource& source_;
    const ObjLimits& limits_;
    const std::atomic<bool>* cancel_;
    ObjBatch batch_;
    std::string out_;
    std::size_t lineNumber_ = 0, statementsInBatch_ = 0;
    std::size_t positions_ = 0, normals_ = 0, texcoords_ = 0, faces_ = 0, triangles_ = 0;
    bool finished_ = false, interrupted_ = false;
    std::size_t errorLine_ = 0;
    std::string error_;
};

}  // namespace flakecoat::preview

#endif
