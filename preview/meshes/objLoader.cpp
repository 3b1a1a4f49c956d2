#include "meshes/objLoader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <istream>
#include <streambuf>
#include <vector>

#include <sys/stat.h>

#include <tiny_obj_loader.h>

namespace flakecoat::preview {

namespace {

// Counts of what the text has defined so far, to resolve and bound indices.
struct Counts {
    std::size_t positions = 0, normals = 0, texcoords = 0, triangles = 0, faces = 0;
};

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

bool parseFloat(std::string_view token, float& value) {
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    const char* end = token.data() + token.size();
    const auto [stop, status] = std::from_chars(token.data(), end, value);
    return status == std::errc() && stop == end && std::isfinite(value);
}

// One index of a face corner, resolved to 1-based and checked against what
// exists so far.
bool parseIndex(std::string_view token, std::size_t count, const char* kind, std::string& error) {
    long long index = 0;
    const char* end = token.data() + token.size();
    const auto [stop, status] = std::from_chars(token.data(), end, index);
    if (token.empty() || status != std::errc() || stop != end) {
        error = "corner index '" + std::string(token) + "' is not a whole number";
        return false;
    }
    const long long resolved = index < 0 ? (long long)count + index + 1 : index;
    if (index == 0 || resolved < 1 || resolved > (long long)count) {
        error = std::string(kind) + " index " + std::string(token) + " is out of range (" + std::to_string(count) +
                " " + kind + (count == 1 ? "" : "s") + " so far)";
        return false;
    }
    return true;
}

// v, vn, vt: between `least` and `most` finite numbers.
bool checkNumbers(std::string_view rest, int least, int most, const char* what, std::string& error) {
    int found = 0;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        float value;
        if (!parseFloat(token, value)) {
            error = "'" + std::string(token) + "' is not a finite number";
            return false;
        }
        if (++found > most) {
            error = std::string("too many values for ") + what;
            return false;
        }
    }
    if (found < least) {
        error = std::string("expected ") + what;
        return false;
    }
    return true;
}

// f: three or more corners v, v/vt, v//vn or v/vt/vn, all of one form.
bool checkFace(std::string_view rest, Counts& counts, const ObjLimits& limits, std::string& error) {
    std::size_t corners = 0;
    int form = -1;
    for (std::string_view token = nextToken(rest); !token.empty(); token = nextToken(rest)) {
        // Split at the slashes: position, texture coordinate, normal
        std::string_view part[3];
        int slashes = 0;
        for (std::size_t at; (at = token.find('/')) != std::string_view::npos; token.remove_prefix(at + 1)) {
            if (slashes == 2) {
                error = "a face corner has more than three indices";
                return false;
            }
            part[slashes++] = token.substr(0, at);
        }
        part[slashes] = token;
        const bool hasTexcoord = slashes >= 1 && !(slashes == 2 && part[1].empty());
        const bool hasNormal = slashes == 2;
        if (!parseIndex(part[0], counts.positions, "position", error) ||
            (hasTexcoord && !parseIndex(part[1], counts.texcoords, "texture coordinate", error)) ||
            (hasNormal && !parseIndex(part[2], counts.normals, "normal", error)))
            return false;
        const int cornerForm = (hasTexcoord ? 1 : 0) + (hasNormal ? 2 : 0);
        if (form >= 0 && cornerForm != form) {
            error = "the corners of a face mix forms (v, v/vt, v//vn, v/vt/vn)";
            return false;
        }
        form = cornerForm;
        if (++corners > limits.maxFaceCorners) {
            error = "a face has more than " + std::to_string(limits.maxFaceCorners) + " corners";
            return false;
        }
    }
    if (corners < 3) {
        error = "a face needs at least three corners";
        return false;
    }
    counts.triangles += corners - 2;
    ++counts.faces;
    if (counts.triangles > limits.maxTriangles) {
        error = "more than " + std::to_string(limits.maxTriangles) + " triangles";
        return false;
    }
    return true;
}

// Checks every line and comments out in `filtered` (the same text) the
// statements the assembly ignores, so the assembler sees only what was
// checked. Lines end at "\n", "\r\n" or a lone "\r", as the assembler's do.
bool checkText(std::string& filtered, const std::string& name, const ObjLimits& limits, std::string& error) {
    Counts counts;
    std::size_t lineStart = 0, lineNumber = 0;
    while (lineStart < filtered.size()) {
        std::size_t lineEnd = filtered.find_first_of("\r\n", lineStart);
        if (lineEnd == std::string::npos) lineEnd = filtered.size();
        ++lineNumber;
        std::string_view rest(filtered.data() + lineStart, lineEnd - lineStart);
        const std::string_view keyword = nextToken(rest);
        std::string message;
        if (std::string_view(filtered.data() + lineStart, lineEnd - lineStart).find('\0') != std::string_view::npos) {
            message = "the line holds a NUL character";
        } else if (keyword.empty() || keyword.front() == '#') {
        } else if (keyword == "v") {
            if (checkNumbers(rest, 3, 7, "x y z (then an optional w or r g b)", message) &&
                ++counts.positions > limits.maxElements)
                message = "more than " + std::to_string(limits.maxElements) + " positions";
        } else if (keyword == "vn") {
            if (checkNumbers(rest, 3, 3, "x y z", message) && ++counts.normals > limits.maxElements)
                message = "more than " + std::to_string(limits.maxElements) + " normals";
        } else if (keyword == "vt") {
            if (checkNumbers(rest, 1, 3, "u (then optional v and w)", message) &&
                ++counts.texcoords > limits.maxElements)
                message = "more than " + std::to_string(limits.maxElements) + " texture coordinates";
        } else if (keyword == "f") {
            checkFace(rest, counts, limits, message);
        } else if (keyword != "o" && keyword != "g") {
            filtered[std::size_t(keyword.data() - filtered.data())] = '#';
        }
        if (!message.empty()) {
            error = name + ":" + std::to_string(lineNumber) + ": " + message;
            return false;
        }
        lineStart = lineEnd + 1;
        if (lineEnd < filtered.size() && filtered[lineEnd] == '\r' && lineStart < filtered.size() &&
            filtered[lineStart] == '\n')
            ++lineStart;
    }
    if (counts.faces == 0) {
        error = name + ": no faces";
        return false;
    }
    return true;
}

// An input stream over text in memory, without copying it.
class TextBuffer : public std::streambuf {
public:
    explicit TextBuffer(std::string& text) { setg(text.data(), text.data(), text.data() + text.size()); }
};

Vec3 element(const std::vector<tinyobj::real_t>& values, int index) {
    const std::size_t at = 3 * std::size_t(index);
    return {values[at], values[at + 1], values[at + 2]};
}

// The assembler's triangles as the mesh's.
bool collectTriangles(const tinyobj::attrib_t& attrib, const std::vector<tinyobj::shape_t>& shapes,
                      TriangleMesh& mesh) {
    const std::size_t positions = attrib.vertices.size() / 3, normals = attrib.normals.size() / 3,
                      texcoords = attrib.texcoords.size() / 2;
    mesh.positions.resize(positions);
    for (std::size_t i = 0; i < positions; ++i) mesh.positions[i] = element(attrib.vertices, int(i));
    for (const tinyobj::shape_t& shape : shapes) {
        std::size_t first = 0;
        for (const auto cornerCount : shape.mesh.num_face_vertices) {
            const tinyobj::index_t* corners = &shape.mesh.indices[first];
            first += cornerCount;
            if (cornerCount != 3) continue;
            MeshTriangle triangle;
            triangle.hasNormals = triangle.hasUv = true;
            for (std::size_t k = 0; k < 3; ++k) {
                const tinyobj::index_t& c = corners[k];
                if (c.vertex_index < 0 || std::size_t(c.vertex_index) >= positions) return false;
                triangle.corner[k] = std::uint32_t(c.vertex_index);
                if (c.normal_index >= 0 && std::size_t(c.normal_index) < normals)
                    triangle.normal[k] = element(attrib.normals, c.normal_index);
                else
                    triangle.hasNormals = false;
                if (c.texcoord_index >= 0 && std::size_t(c.texcoord_index) < texcoords) {
                    triangle.u[k] = attrib.texcoords[2 * std::size_t(c.texcoord_index)];
                    triangle.v[k] = attrib.texcoords[2 * std::size_t(c.texcoord_index) + 1];
                } else {
                    triangle.hasUv = false;
                }
            }
            mesh.triangles.push_back(triangle);
        }
    }
    return true;
}

}  // namespace

bool parseObj(std::string_view text, const std::string& name, TriangleMesh& mesh, std::string& error,
              const ObjLimits& limits) {
    mesh = TriangleMesh();
    std::string checked(text);
    if (!checkText(checked, name, limits, error)) return false;

    // Assemble: faces of every object and group, split into triangles
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warnings, failure;
    TextBuffer buffer(checked);
    std::istream stream(&buffer);
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &failure, &stream, nullptr, true, false)) {
        error = name + ": " + (failure.empty() ? std::string("cannot be read as OBJ") : failure);
        while (!error.empty() && (error.back() == '\n' || error.back() == '.')) error.pop_back();
        return false;
    }
    checked = std::string();
    if (!collectTriangles(attrib, shapes, mesh)) {
        error = name + ": a face refers to a position that does not exist";
        return false;
    }

    prepareMesh(mesh);
    if (mesh.triangles.empty()) {
        error = name + ": every face has zero area";
        return false;
    }
    return true;
}

bool loadObjFile(const std::string& path, TriangleMesh& mesh, std::string& error) {
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
    std::string text;
    if (file) {
        text.resize(std::size_t(status.st_size));
        file.read(text.data(), std::streamsize(text.size()));
        text.resize(std::size_t(file.gcount()));
    }
    if (!file && !file.eof()) {
        error = path + ": cannot be read";
        return false;
    }
    return parseObj(text, path, mesh, error);
}

}  // namespace flakecoat::preview
