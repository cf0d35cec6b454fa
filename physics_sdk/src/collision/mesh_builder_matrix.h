// Small matrix operations that the mesh builder and the rest of the SDK use
// next to phMatrix's own: transforming strided point lists, the shared
// identity and zero matrices, the inverse of a symmetric 3x3 (inertia
// tensors), Euler angles of a rotation, and scaling all four components of
// a vector.
#ifndef PHYSICS_SDK_COLLISION_MESH_BUILDER_MATRIX_H
#define PHYSICS_SDK_COLLISION_MESH_BUILDER_MATRIX_H

#include "core/matrix.h"

// Each of count points (x, y, z) times the matrix (rotation rows plus
// row 3), read inStrideInBytes apart and written outStrideInBytes apart.
void TransformPoints(const phMatrix& matrix, float* out, int outStrideInBytes, const float* in,
                     int inStrideInBytes, int count);

// One process-wide identity matrix and one all-zero matrix, built on first
// use.
const phMatrix& phIdentityMatrix();
const phMatrix& phZeroMatrix();

// The inverse of the rotation part, which must be symmetric, by cofactors
// over the determinant; row 3 = (0, 0, 0, 1). A singular matrix gives a zero
// rotation part.
phMatrix phSymmetricInverse3x3(const phMatrix& m);

// Angles (x, y, z; w = 0) of a rotation m = RotationX(x) * RotationY(y) *
// RotationZ(z): the sine of y is clamped to ±0.99999899 before its arc sine,
// and x and z come from atan2 of the matrix entries.
phVector phMatrixToEulerAngles(const phMatrix& m);

// (x·s, y·s, z·s, w·s).
inline phVector phScaleAll(const phVector& v, float s) {
    return phVector(v.x * s, v.y * s, v.z * s, v.w * s);
}

#endif
