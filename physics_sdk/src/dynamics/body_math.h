// Small arithmetic routines that the body, contact and solver code share.
#ifndef PHYSICS_SDK_DYNAMICS_BODY_MATH_H
#define PHYSICS_SDK_DYNAMICS_BODY_MATH_H

#include "core/matrix.h"
#include "core/quaternion.h"

#include <cstdint>

// 1 / sqrt(x) for a positive, normal x: an integer first guess refined three
// times. Equal to the library result within float rounding; the per-step code
// uses it in place of a square root.
float phFastInvSqrt(float x);

// The unit quaternion of the rotation part of a matrix whose rows are the
// axes; the inverse of the phMatrix constructor from a quaternion (up to sign).
phQuaternion phRotationFromMatrix(const phMatrix& m);

// The SDK's one process-wide pseudo-random sequence, x = x * 31415821 + 1
// (wrapping) from 0; returns the new state.
uint32_t phRandomNext();

#endif
