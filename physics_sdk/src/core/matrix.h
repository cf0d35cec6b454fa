// 4x4 float matrix of the SDK, row-major. Rows 0 to 2 are the axes of the
// frame and row 3 its position; points are row vectors multiplied from the
// left, so p' = p.x·row0 + p.y·row1 + p.z·row2 + row3, and A * B applies A
// first.
#ifndef PHYSICS_SDK_CORE_MATRIX_H
#define PHYSICS_SDK_CORE_MATRIX_H

#include "core/quaternion.h"
#include "core/vector.h"

struct phMatrix {
    phVector row[4];

    // The identity.
    phMatrix();
    phMatrix(const phVector& row0, const phVector& row1, const phVector& row2,
             const phVector& row3);
    // Reads 16 floats, row by row.
    explicit phMatrix(const float* m);
    // Rotation of a unit quaternion with the given position (w of row 3 = 1).
    phMatrix(const phQuaternion& rotation, const phVector& position);

    static phMatrix Identity() { return phMatrix(); }
    // Rotations by angle (radians) about one axis.
    static phMatrix RotationX(float angle);
    static phMatrix RotationY(float angle);
    static phMatrix RotationZ(float angle);

    phVector& operator[](int i) { return row[i]; }
    const phVector& operator[](int i) const { return row[i]; }

    // Writes 16 floats, row by row.
    void Store(float* out) const;

    // v.x·row0 + v.y·row1 + v.z·row2, w = 1: a direction into the outer frame.
    phVector RotateVector(const phVector& v) const;
    // (v·row0, v·row1, v·row2), w = 1: a direction into this frame.
    phVector UnrotateVector(const phVector& v) const;
    // The rotation followed by row 3: a point into the outer frame, w = 1.
    phVector TransformVector(const phVector& p) const;
    // ((p - row3)·row0, (p - row3)·row1, (p - row3)·row2), w = 1.
    phVector UntransformVector(const phVector& p) const;

    // Inverse of a rigid matrix: the 3x3 part transposed and the position
    // row (-(p·row0), -(p·row1), -(p·row2), 1).
    phMatrix Inverse() const;
    // Inverse of a general 4x4 matrix (Gauss-Jordan with partial pivoting); a
    // singular matrix gives the identity.
    phMatrix Inverse4x4() const;
    phMatrix Transpose4x4() const;
};

// Row-vector product: a applied first, then b.
phMatrix operator*(const phMatrix& a, const phMatrix& b);

#endif
