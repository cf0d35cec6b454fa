#include "collision/contact_calculation.h"

#include "collision/convex_collision.h"

#include <cmath>

namespace {

// Cross axes shorter than this (squared) come from nearly parallel edges.
constexpr float kParallelAxes = 1e-6f;
// A box's plane section has at most six points.
constexpr int kBoxSectionRoom = 8;

struct BoxFrame {
    const phConvexCollision* shape;
    const phMatrix* matrix;
    phVector half;
};

BoxFrame MakeBoxFrame(const phContactSide& side) {
    BoxFrame box;
    box.shape = static_cast<const phConvexCollision*>(side.shape);
    box.matrix = &side.matrix;
    const phVector corner = box.shape->SupportVertex(phVector(1.0f, 1.0f, 1.0f, 0.0f));
    box.half = phVector(std::fabs(corner.x), std::fabs(corner.y), std::fabs(corner.z), 1.0f);
    return box;
}

// The box's half length along a world direction.
float Radius(const BoxFrame& box, const phVector& axis) {
    const phMatrix& m = *box.matrix;
    return std::fabs(phDot(m[0], axis)) * box.half.x + std::fabs(phDot(m[1], axis)) * box.half.y +
           std::fabs(phDot(m[2], axis)) * box.half.z;
}

struct BestAxis {
    float separation = -1e10f;
    phVector plane;
};

// The face axes of box `own` against box `other`: false when an axis
// separates the boxes. The plane found is carried to world space by own's
// matrix; negate flips it so that it points from the second box to the first.
bool TestFaceAxes(const BoxFrame& own, const BoxFrame& other, bool negate, BestAxis& best) {
    const phMatrix& m = *own.matrix;
    const phVector c = m.UntransformVector((*other.matrix)[3]);
    for (int i = 0; i < 3; ++i) {
        const phVector axis(m[i].x, m[i].y, m[i].z, 0.0f);
        const float separation = std::fabs(c[i]) - own.half[i] - Radius(other, axis);
        if (separation > -kContactAcceptMargin) {
            return false;
        }
        if (separation > best.separation) {
            best.separation = separation;
            phVector local(0.0f, 0.0f, 0.0f, 0.0f);
            local[i] = c[i] < 0.0f ? -1.0f : 1.0f;
            local.w = -(own.half[i] + 0.5f * separation);
            phVector plane = TransformPlane(m, local);
            if (negate) {
                plane = phVector(-plane.x, -plane.y, -plane.z, -plane.w);
            }
            best.plane = plane;
        }
    }
    return true;
}

bool TestCrossAxes(const BoxFrame& box0, const BoxFrame& box1, BestAxis& best) {
    const phMatrix& m0 = *box0.matrix;
    const phMatrix& m1 = *box1.matrix;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            phVector axis = phCross(m0[i], m1[j]);
            axis.w = 0.0f;
            const float lengthSquared = phDot(axis, axis);
            if (lengthSquared <= kParallelAxes) {
                continue;
            }
            axis = axis * (1.0f / std::sqrt(lengthSquared));
            const float c0 = phDot(axis, m0[3]);
            const float c1 = phDot(axis, m1[3]);
            const float r0 = Radius(box0, axis);
            const float r1 = Radius(box1, axis);
            const float firstAbove = (c0 - r0) - (c1 + r1);
            const float firstBelow = (c1 - r1) - (c0 + r0);
            if (firstAbove > -kContactAcceptMargin || firstBelow > -kContactAcceptMargin) {
                return false;
            }
            const float separation = std::fmax(firstAbove, firstBelow);
            if (separation > best.separation) {
                best.separation = separation;
                const float support0 = firstAbove >= firstBelow ? c0 - r0 : c0 + r0;
                const float support1 = firstAbove >= firstBelow ? c1 + r1 : c1 - r1;
                phVector plane(axis.x, axis.y, axis.z, -0.5f * (support0 + support1));
                if (phDot(plane, m0[3]) + plane.w < 0.0f) {
                    plane = phVector(-plane.x, -plane.y, -plane.z, -plane.w);
                }
                best.plane = plane;
            }
        }
    }
    return true;
}

// The box's section by a world plane, in world space.
int WorldSection(const BoxFrame& box, const phVector& plane, phVector* points) {
    const phVector local = UntransformPlane(*box.matrix, plane);
    const phVector normal(local.x, local.y, local.z, 0.0f);
    const phVector point = normal * -local.w;
    const int count = box.shape->PlaneSection(normal, phVector(point.x, point.y, point.z), points);
    for (int i = 0; i < count; ++i) {
        points[i] = box.matrix->TransformVector(points[i]);
    }
    return count;
}

}  // namespace

int CalculateBoxToBoxContacts(const phContactSide& side0, const phContactSide& side1,
                              phContactPoint* out, int capacity) {
    const BoxFrame box0 = MakeBoxFrame(side0);
    const BoxFrame box1 = MakeBoxFrame(side1);
    BestAxis best;
    if (!TestFaceAxes(box1, box0, false, best) || !TestFaceAxes(box0, box1, true, best) ||
        !TestCrossAxes(box0, box1, best)) {
        return 0;
    }
    phVector section0[kBoxSectionRoom];
    phVector section1[kBoxSectionRoom];
    const int count0 = WorldSection(box0, best.plane, section0);
    if (count0 == 0) {
        return 0;
    }
    const int count1 = WorldSection(box1, best.plane, section1);
    if (count1 == 0) {
        return 0;
    }
    const float penetration = std::fmax(0.0f, std::fabs(best.separation) - kContactSkin);
    return ClipContactPolygons(best.plane, 0, penetration, count0, section0, count1, section1, out,
                               capacity);
}
