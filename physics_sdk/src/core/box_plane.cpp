#include "core/box_plane.h"

#include <cmath>

int phBoxPlaneSide(const phVector& halfSize, const phMatrix& matrix, const phVector& plane) {
    static const int kSide[4] = {0, 1, 1, -1};
    const float r = std::fabs(phDot(matrix[0], plane)) * halfSize.x +
                    std::fabs(phDot(matrix[1], plane)) * halfSize.y +
                    std::fabs(phDot(matrix[2], plane)) * halfSize.z;
    const float d = phDot(matrix[3], plane) + plane.w;
    return kSide[((d - r) < 0.0f ? 1 : 0) + 2 * ((d + r) < 0.0f ? 1 : 0)];
}
