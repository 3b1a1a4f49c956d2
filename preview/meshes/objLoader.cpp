#include "meshes/objLoader.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

#include <sys/stat.h>

#include <tiny_obj_loader.h>

#include "meshes/objChecker.h"
#include "meshes/polygonSplit.h"

namespace flakecoat::preview {

namespace {

// The model as the batches of checked statements are assembled: the OBJ
// library reads each batch, and what it made of it is checked against what
// the checker handed on before anything is kept.
class ObjAssembly {
public:
    ObjAssembly(const ObjLimits& limits, const std::atomic<bool>* cancel)
        : splitter_(limits.maxSplitWork, cancel), cancel_(cancel) {}

    // Takes one batch; false with `line` (0 for none) and `message` set.
    bool take(const tinyobj::attrib_t& attrib, const std::vector<tinyobj::shape_t>& shapes, const ObjBatch& batch,
              std::size_t& line, std::string& message);
    void takeMesh(TriangleMesh& mesh) {
        mesh.positions = std::move(positions_);
        mesh.triangles = std::move(triangles_);
    }

private:
    bool face(const tinyobj::index_t* corners, const ObjBatch::Face& face, std::string& message);

    PolygonSplitter splitter_;
    const std::atomic<bool>* cancel_;
    std::vector<Vec3> positions_, normals_;
    std::vector<std::array<float, 2>> texcoords_;
    std::vector<MeshTriangle> triangles_;
    // One face's corners, kept between faces so assembly allocates only to grow
    std::vector<Vec3> cornerPoints_;
    std::vector<std::uint32_t> split_;
};

bool ObjAssembly::face(const tinyobj::index_t* corners, const ObjBatch::Face& face, std::string& message) {
    // Every index within what was read, in the form the face was written in
    cornerPoints_.clear();
    for (std::uint32_t k = 0; k < face.corners; ++k) {
        const tinyobj::index_t& c = corners[k];
        const bool valid =
            c.vertex_index >= 0 && std::size_t(c.vertex_index) < positions_.size() &&
            (face.hasTexcoords ? c.texcoord_index >= 0 && std::size_t(c.texcoord_index) < texcoords_.size()
                               : c.texcoord_index == -1) &&
            (face.hasNormals ? c.normal_index >= 0 && std::size_t(c.normal_index) < normals_.size()
                             : c.normal_index == -1);
        if (!valid) {
            message = "the OBJ library read a face corner that refers to no element";
            return false;
        }
        cornerPoints_.push_back(positions_[std::size_t(c.vertex_index)]);
    }

    // Split, then give each triangle its corners' normals and coordinates
    split_.clear();
    if (!splitter_.split(cornerPoints_, split_)) {
        message = cancel_ && cancel_->load(std::memory_order_relaxed)
                      ? "interrupted"
                      : "a face of " + std::to_string(face.corners) +
                            " corners is too concave to split within the bound on one file's work";
        return false;
    }
    for (std::size_t first = 0; first < split_.size(); first += 3) {
        MeshTriangle triangle;
        triangle.hasNormals = face.hasNormals;
        triangle.hasUv = face.hasTexcoords;
        for (std::size_t k = 0; k < 3; ++k) {
            const tinyobj::index_t& c = corners[split_[first + k]];
            triangle.corner[k] = std::uint32_t(c.vertex_index);
            if (triangle.hasNormals) triangle.normal[k] = normals_[std::size_t(c.normal_index)];
            if (triangle.hasUv) {
                triangle.u[k] = texcoords_[std::size_t(c.texcoord_index)][0];
                triangle.v[k] = texcoords_[std::size_t(c.texcoord_index)][1];
            }
        }
        triangles_.push_back(triangle);
    }
    return true;
}

bool ObjAssembly::take(const tinyobj::attrib_t& attrib, const std::vector<tinyobj::shape_t>& shapes,
                       const ObjBatch& batch, std::size_t& line, std::string& message) {
    line = 0;
    if (!batch.sameValues(attrib.vertices, attrib.normals, attrib.texcoords, line, message)) return false;
    for (std::size_t i = 0; i < attrib.vertices.size(); i += 3)
        positions_.emplace_back(attrib.vertices[i], attrib.vertices[i + 1], attrib.vertices[i + 2]);
    for (std::size_t i = 0; i < attrib.normals.size(); i += 3)
        normals_.emplace_back(attrib.normals[i], attrib.normals[i + 1], attrib.normals[i + 2]);
    for (std::size_t i = 0; i < attrib.texcoords.size(); i += 2)
        texcoords_.push_back({attrib.texcoords[i], attrib.texcoords[i + 1]});

    // The faces in the order given. The library counts a face's corners in a
    // byte, so the checker's counts say where each face's corners end.
    std::size_t face = 0;
    for (const tinyobj::shape_t& shape : shapes) {
        const std::vector<tinyobj::index_t>& indices = shape.mesh.indices;
        std::size_t first = 0;
        for (const unsigned char libraryCount : shape.mesh.num_face_vertices) {
            if (face == batch.faces.size() || libraryCount != static_cast<unsigned char>(batch.faces[face].corners) ||
                indices.size() - first < batch.faces[face].corners) {
                message = "the OBJ library read faces other than those given";
                return false;
            }
            line = batch.faces[face].line;
            if (!ObjAssembly::face(&indices[first], batch.faces[face], message)) return false;
            first += batch.faces[face].corners;
            ++face;
        }
        if (first != indices.size()) {
            message = "the OBJ library read faces other than those given";
            return false;
        }
    }
    if (face != batch.faces.size()) {
        line = 0;
        message = "the OBJ library read " + std::to_string(face) + " faces where " +
                  std::to_string(batch.faces.size()) + " were given";
        return false;
    }
    return true;
}

bool readObj(ObjLineSource& source, const std::string& name, TriangleMesh& mesh, std::string& error,
             const ObjLimits& limits, const std::atomic<bool>* cancel) {
    mesh = TriangleMesh();
    ObjChecker checker(source, limits, cancel);
    ObjAssembly assembly(limits, cancel);
    const auto fail = [&](std::size_t line, const std::string& message) {
        error = name + (message == "interrupted" || line == 0 ? "" : ":" + std::to_string(line)) + ": " + message;
        return false;
    };
    do {
        checker.nextBatch();
        std::istream batchText(&checker);
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warnings, failure;
        // No triangulation (the library's counts its corners in a byte and
        // splits only convex polygons soundly), no default colours
        const bool read = tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &failure, &batchText, nullptr,
                                           false, false);
        if (checker.interrupted()) return fail(0, "interrupted");
        if (!read) {
            while (!failure.empty() && (failure.back() == '\n' || failure.back() == '.')) failure.pop_back();
            return fail(0, failure.empty() ? std::string("cannot be read as OBJ") : failure);
        }
        // What went wrong in the batch lies before the line that ended it
        std::size_t line = 0;
        std::string message;
        if (!assembly.take(attrib, shapes, checker.batch(), line, message)) return fail(line, message);
    } while (!checker.finished());
    if (!checker.error().empty()) return fail(checker.errorLine(), checker.error());
    if (checker.faces() == 0) return fail(0, "no faces");
    assembly.takeMesh(mesh);

    prepareMesh(mesh);
    if (mesh.triangles.empty()) return fail(0, "every face has zero area");
    return true;
}

}  // namespace

bool parseObj(std::string_view text, const std::string& name, TriangleMesh& mesh, std::string& error,
              const ObjLimits& limits, const std::atomic<bool>* cancel) {
    ObjLineSource source(text);
    return readObj(source, name, mesh, error, limits, cancel);
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
    if (!file) {
        error = path + ": cannot be read";
        return false;
    }
    ObjLineSource source(file, cancel);
    return readObj(source, path, mesh, error, ObjLimits(), cancel);
}

}  // namespace flakecoat::preview
