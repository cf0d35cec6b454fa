// Oriented box against a plane.
#ifndef PHYSICS_SDK_CORE_BOX_PLANE_H
#define PHYSICS_SDK_CORE_BOX_PLANE_H

#include "core/matrix.h"
#include "core/vector.h"

// The box has half sizes halfSize along the rows of matrix and its centre at
// row 3; the plane is n·p + w = 0. Returns 0 when the box lies wholly on the
// positive side, -1 when wholly on the negative side, 1 when the plane cuts it.
int phBoxPlaneSide(const phVector& halfSize, const phMatrix& matrix, const phVector& plane);

#endif
