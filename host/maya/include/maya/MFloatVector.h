#ifndef FLAKECOAT_HOST_MAYA_MFLOATVECTOR_H
#define FLAKECOAT_HOST_MAYA_MFLOATVECTOR_H

#include <math.h>

#include <maya/MStatus.h>

class MFloatMatrix;

// Three single-precision components. Every operator rounds to single
// precision after each operation, in the order written here; the shading
// results depend on it.
class MFloatVector {
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    MFloatVector() = default;
    MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    MFloatVector(const float v[3]) : x(v[0]), y(v[1]), z(v[2]) {}

    float& operator[](unsigned i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](unsigned i) const { return i == 0 ? x : (i == 1 ? y : z); }

    MFloatVector operator-() const { return MFloatVector(-x, -y, -z); }
    MFloatVector operator+(const MFloatVector& o) const { return MFloatVector(x + o.x, y + o.y, z + o.z); }
    MFloatVector operator-(const MFloatVector& o) const { return MFloatVector(x - o.x, y - o.y, z - o.z); }
    MFloatVector& operator+=(const MFloatVector& o) { x += o.x; y += o.y; z += o.z; return *this; }
    MFloatVector& operator-=(const MFloatVector& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    MFloatVector operator*(float s) const { return MFloatVector(x * s, y * s, z * s); }
    MFloatVector operator/(float s) const { return MFloatVector(x / s, y / s, z / s); }
    MFloatVector& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    MFloatVector& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }

    // Dot product: (x*x' + y*y') + z*z'.
    float operator*(const MFloatVector& o) const { return (x * o.x + y * o.y) + z * o.z; }
    // Cross product.
    MFloatVector operator^(const MFloatVector& o) const {
        return MFloatVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    // Vector form of the matrix product; the translation row is ignored.
    MFloatVector operator*(const MFloatMatrix& m) const;

    bool operator==(const MFloatVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MFloatVector& o) const { return !(*this == o); }

    MStatus get(float dest[3]) const {
        dest[0] = x;
        dest[1] = y;
        dest[2] = z;
        return MS::kSuccess;
    }

    float length() const { return sqrtf((x * x + y * y) + z * z); }

    // Scales to unit length in place: each component times the reciprocal
    // of the length. A vector whose squared length is not above 1e-20 (the
    // float compared in double), or holds a NaN, is left as it is. Always
    // reports success.
    MStatus normalize() {
        const float lensq = (x * x + y * y) + z * z;
        if (lensq > 1e-20) {
            const float factor = 1.0f / sqrtf(lensq);
            x *= factor;
            y *= factor;
            z *= factor;
        }
        return MS::kSuccess;
    }
    MFloatVector normal() const {
        MFloatVector v(*this);
        v.normalize();
        return v;
    }
};

// Scalar on the left: s times each component. Other scalar types convert to
// float first.
inline MFloatVector operator*(float s, const MFloatVector& v) { return MFloatVector(s * v.x, s * v.y, s * v.z); }
inline MFloatVector operator*(int s, const MFloatVector& v) { return static_cast<float>(s) * v; }
inline MFloatVector operator*(short s, const MFloatVector& v) { return static_cast<float>(s) * v; }
inline MFloatVector operator*(unsigned int s, const MFloatVector& v) { return static_cast<float>(s) * v; }
inline MFloatVector operator*(double s, const MFloatVector& v) { return static_cast<float>(s) * v; }

#include <maya/MFloatMatrix.h>

inline MFloatVector MFloatVector::operator*(const MFloatMatrix& m) const {
    return MFloatVector((x * m(0, 0) + y * m(1, 0)) + z * m(2, 0),
                        (x * m(0, 1) + y * m(1, 1)) + z * m(2, 1),
                        (x * m(0, 2) + y * m(1, 2)) + z * m(2, 2));
}

#endif
