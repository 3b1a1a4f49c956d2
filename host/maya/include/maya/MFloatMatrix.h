#ifndef FLAKECOAT_HOST_MAYA_MFLOATMATRIX_H
#define FLAKECOAT_HOST_MAYA_MFLOATMATRIX_H

// A 4x4 single-precision matrix stored row-major, m[row][col]; row vectors
// multiply from the left, so row 3 holds the translation.
class MFloatMatrix {
public:
    float matrix[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    MFloatMatrix() = default;
    explicit MFloatMatrix(const float m[4][4]) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
    }

    float& operator()(unsigned row, unsigned col) { return matrix[row][col]; }
    float operator()(unsigned row, unsigned col) const { return matrix[row][col]; }
    float* operator[](unsigned row) { return matrix[row]; }
    const float* operator[](unsigned row) const { return matrix[row]; }

    bool operator==(const MFloatMatrix& o) const {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                if (matrix[r][c] != o.matrix[r][c]) return false;
        return true;
    }
    bool operator!=(const MFloatMatrix& o) const { return !(*this == o); }
};

#endif
