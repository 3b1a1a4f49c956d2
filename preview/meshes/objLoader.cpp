#include "meshes/objLoader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include <sys/stat.h>

#include "inputEcho.h"
#include "meshes/polygonSplit.h"

namespace flakecoat::preview {

namespace {

// Lines between looks at the cancel flag: a few milliseconds of reading.
constexpr std::size_t kLinesPerCancelCheck = 1 << 14;
// The file is read in pieces of this size, looking at the cancel flag between.
constexpr std::size_t kReadBytes = std::size_t(1) << 26;

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

// The next token of a line (separated by spaces and tabs), or empty.
std::string_view nextToken(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && isSeparator(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    const std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

std::string quoted(std::string_view token) { return "'" + echoInput(token) + "'"; }

// A decimal number as single precision holds it. One too small for it reads
// as zero, as it would in any single-precision program; one too large, an
// infinity or a NaN is refused.
bool parseCoordinate(std::string_view token, float& value, std::string& error) {
    std::string_view digits = token;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    const char* end = digits.data() + digits.size();
    const auto [stop, status] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || digits.front() == '+' || stop != end ||
        (status != std::errc() && status != std::errc::result_out_of_range)) {
        error = quoted(token) + " is not a number";
        return false;
    }
    if (status == std::errc::result_out_of_range) {
        const std::string text(digits);
        value = std::strtof(text.c_str(), nullptr) == 0.0f ? (text.front() == '-' ? -0.0f : 0.0f) : HUGE_VALF;
    }
    if (!std::isfinite(value)) {
        error = quoted(token) + " is not a finite single-precision number";
        return false;
    }
    return true;
}

// One index of a face corner, checked against the `count` elements read so
// far and resolved to 0-based.
bool parseIndex(std::string_view token, std::size_t count, const char* kind, std::uint32_t& resolved,
                std::string& error) {
    long long index = 0;
    const char* end = token.data() + token.size();
    const auto [stop, status] = std::from_chars(token.data(), end, index);
    if (token.empty() || status != std::errc() || stop != end) {
        error = "corner index " + quoted(token) + " is not a whole number";
        return false;
    }
    const long long oneBased = index < 0 ? (long long)count + index + 1 : index;
    if (index == 0 || oneBased < 1 || oneBased > (long long)count) {
        error = std::string(kind) + " index " + echoInput(token) + " is out of range (" + std::to_string(count) +
                " " + kind + (count == 1 ? "" : "s") + " so far)";
        return false;
    }
    resolved = std::uint32_t(oneBased - 1);
    return true;
}

// The model as it is read, statement by statement.
class ObjReader {
public:
    ObjReader(const ObjLimits& limits, const std::atomic<bool>* cancel)
        : limits_(limits), splitter_(limits.maxSplitWork, cancel), cancel_(cancel) {}

    // One line without its ending; false with `message` set when it is bad.
    bool line(std::string_view text, std::string& message);
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    std::size_t faces() const { return faces_; }
    void takeMesh(TriangleMesh& mesh) {
        mesh.positions = std::move(positions_);
        mesh.triangles = std::move(triangles_);
    }

private:
    // v, vn, vt: between `least` and `most` numbers; the first `kept` are
    // stored in `values`.
    bool numbers(std::string_view rest, int least, int most, int kept, float* values, const char* what,
                 std::string& message);
    bool face(std::string_view rest, std::string& message);

    const ObjLimits& limits_;
    PolygonSplitter splitter_;
    const std::atomic<bool>* cancel_;
    std::vector<Vec3> positions_, normals_;
    std::vector<std::array<float, 2>> texcoords_;
    std::vector<MeshTriangle> triangles_;
    std::size_t faces_ = 0;
    // One face's corners, kept between faces so reading allocates only to grow
    std::vector<std::uint32_t> cornerPositions_, cornerTexcoords_, cornerNormals_, split_;
    std::vector<Vec3> cornerPoints_;
};

bool ObjReader::numbers(std::string_view rest, int least, int most, int kept, float* values, const char* what,
                        std::string& message) {
    int found = 0;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        float value = 0.0f;
        if (!parseCoordinate(token, value, message)) return false;
        if (++found > most) {
            message = std::string("too many values for ") + what;
            return false;
        }
        if (found <= kept) values[found - 1] = value;
    }
    if (found < least) {
        message = std::string("expected ") + what;
        return false;
    }
    return true;
}

// f: three or more corners v, v/vt, v//vn or v/vt/vn, all of one form.
bool ObjReader::face(std::string_view rest, std::string& message) {
    cornerPositions_.clear();
    cornerTexcoords_.clear();
    cornerNormals_.clear();
    int form = -1;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        // Split at the slashes: position, texture coordinate, normal
        std::string_view part[3];
        int slashes = 0;
        for (std::size_t at; (at = token.find('/')) != std::string_view::npos; token.remove_prefix(at + 1)) {
            if (slashes == 2) {
                message = "a face corner has more than three indices";
                return false;
            }
            part[slashes++] = token.substr(0, at);
        }
        part[slashes] = token;
        const bool hasTexcoord = slashes >= 1 && !(slashes == 2 && part[1].empty());
        const bool hasNormal = slashes == 2;
        std::uint32_t position = 0, texcoord = 0, normal = 0;
        if (!parseIndex(part[0], positions_.size(), "position", position, message) ||
            (hasTexcoord && !parseIndex(part[1], texcoords_.size(), "texture coordinate", texcoord, message)) ||
            (hasNormal && !parseIndex(part[2], normals_.size(), "normal", normal, message)))
            return false;
        const int cornerForm = (hasTexcoord ? 1 : 0) + (hasNormal ? 2 : 0);
        if (form >= 0 && cornerForm != form) {
            message = "the corners of a face mix forms (v, v/vt, v//vn, v/vt/vn)";
            return false;
        }
        form = cornerForm;
        // Each corner beyond the second adds a triangle
        if (cornerPositions_.size() >= 2 && triangles_.size() + cornerPositions_.size() - 1 > limits_.maxTriangles) {
            message = "more than " + std::to_string(limits_.maxTriangles) + " triangles";
            return false;
        }
        cornerPositions_.push_back(position);
        if (hasTexcoord) cornerTexcoords_.push_back(texcoord);
        if (hasNormal) cornerNormals_.push_back(normal);
    }
    if (cornerPositions_.size() < 3) {
        message = "a face needs at least three corners";
        return false;
    }

    // Split, then give each triangle its corners' normals and coordinates
    cornerPoints_.clear();
    for (const std::uint32_t index : cornerPositions_) cornerPoints_.push_back(positions_[index]);
    split_.clear();
    if (!splitter_.split(cornerPoints_, split_)) {
        message = cancelled() ? "interrupted"
                              : "a face of " + std::to_string(cornerPositions_.size()) +
                                    " corners is too concave to split within the bound on one file's work";
        return false;
    }
    for (std::size_t first = 0; first < split_.size(); first += 3) {
        MeshTriangle triangle;
        triangle.hasNormals = !cornerNormals_.empty();
        triangle.hasUv = !cornerTexcoords_.empty();
        for (std::size_t k = 0; k < 3; ++k) {
            const std::uint32_t corner = split_[first + k];
            triangle.corner[k] = cornerPositions_[corner];
            if (triangle.hasNormals) triangle.normal[k] = normals_[cornerNormals_[corner]];
            if (triangle.hasUv) {
                triangle.u[k] = texcoords_[cornerTexcoords_[corner]][0];
                triangle.v[k] = texcoords_[cornerTexcoords_[corner]][1];
            }
        }
        triangles_.push_back(triangle);
    }
    ++faces_;
    return true;
}

bool ObjReader::line(std::string_view text, std::string& message) {
    if (text.find('\0') != std::string_view::npos) {
        message = "the line holds a NUL character";
        return false;
    }
    std::string_view rest = text;
    const std::string_view keyword = nextToken(rest);
    const auto tooMany = [&](std::size_t count, const char* what) {
        if (count < limits_.maxElements) return false;
        message = "more than " + std::to_string(limits_.maxElements) + " " + what;
        return true;
    };
    if (keyword == "v") {
        float xyz[3];
        if (!numbers(rest, 3, 7, 3, xyz, "x y z (then an optional w or r g b)", message) ||
            tooMany(positions_.size(), "positions"))
            return false;
        positions_.emplace_back(xyz[0], xyz[1], xyz[2]);
    } else if (keyword == "vn") {
        float xyz[3];
        if (!numbers(rest, 3, 3, 3, xyz, "x y z", message) || tooMany(normals_.size(), "normals")) return false;
        normals_.emplace_back(xyz[0], xyz[1], xyz[2]);
    } else if (keyword == "vt") {
        std::array<float, 2> uv{0.0f, 0.0f};  // v is 0 when only u is given
        if (!numbers(rest, 1, 3, 2, uv.data(), "u (then optional v and w)", message) ||
            tooMany(texcoords_.size(), "texture coordinates"))
            return false;
        texcoords_.push_back(uv);
    } else if (keyword == "f") {
        return face(rest, message);
    }
    return true;
}

}  // namespace

bool parseObj(std::string_view text, const std::string& name, TriangleMesh& mesh, std::string& error,
              const ObjLimits& limits, const std::atomic<bool>* cancel) {
    mesh = TriangleMesh();
    ObjReader reader(limits, cancel);
    // Lines end at "\n", "\r\n" or a lone "\r"
    std::size_t lineStart = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (std::size_t lineNumber = 1; lineStart < text.size(); ++lineNumber) {
        std::size_t lineEnd = text.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        std::string message;
        if (lineNumber % kLinesPerCancelCheck == 0 && reader.cancelled()) message = "interrupted";
        if (message.empty()) reader.line(text.substr(lineStart, lineEnd - lineStart), message);
        if (message == "interrupted") {
            error = name + ": interrupted";
            return false;
        }
        if (!message.empty()) {
            error = name + ":" + std::to_string(lineNumber) + ": " + message;
            return false;
        }
        lineStart = lineEnd + 1;
        if (lineEnd < text.size() && text[lineEnd] == '\r' && lineStart < text.size() && text[lineStart] == '\n')
            ++lineStart;
    }
    if (reader.faces() == 0) {
        error = name + ": no faces";
        return false;
    }
    reader.takeMesh(mesh);

    prepareMesh(mesh);
    if (mesh.triangles.empty()) {
        error = name + ": every face has zero area";
        return false;
    }
    return true;
}

bool loadObjFile(const std::string& path, TriangleMesh& mesh, std::string& error, const std::atomic<bool>* cancel) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        error = path + ": not a regular file";
        return false;
    }
    if (std::size_t(status.st_size) > kMaxObjFileBytes) {
        error = path + ": larger than " + std::to_string(kMaxObjFileBytes >> 20) + " MiB";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::string text(std::size_t(status.st_size), '\0');
    std::size_t read = 0;
    while (file && read < text.size()) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            error = path + ": interrupted";
            return false;
        }
        file.read(text.data() + read, std::streamsize(std::min(kReadBytes, text.size() - read)));
        read += std::size_t(file.gcount());
    }
    if (!file && !file.eof()) {
        error = path + ": cannot be read";
        return false;
    }
    text.resize(read);
    return parseObj(text, path, mesh, error, ObjLimits(), cancel);
}

}  // namespace flakecoat::preview
