// Shapes for the contact tests, made directly (without the shape cache).
#ifndef TESTS_PHYSICS_SDK_CONTACT_TEST_SHAPES_H
#define TESTS_PHYSICS_SDK_CONTACT_TEST_SHAPES_H

#include "collision/box.h"
#include "collision/convex_hull.h"
#include "collision/cylinder.h"

#include <memory>
#include <vector>

struct ShapeRelease {
    void operator()(phCollision* shape) const { shape->Release(); }
};
using ShapePtr = std::unique_ptr<phConvexCollision, ShapeRelease>;

inline ShapePtr MakeBox(float dx, float dy, float dz) {
    return ShapePtr(new phCollisionBox(0, dx, dy, dz, phMatrix()));
}

inline ShapePtr MakeHull(const std::vector<phVector>& points) {
    std::vector<float> packed;
    for (const phVector& p : points) {
        packed.insert(packed.end(), {p.x, p.y, p.z});
    }
    return ShapePtr(new phCollisionConvexHull(0, static_cast<int>(points.size()), 3 * sizeof(float),
                                              packed.data(), phMatrix()));
}

// A box as a convex hull of its corners: the same solid on the general path.
inline ShapePtr MakeHullBox(float dx, float dy, float dz) {
    std::vector<phVector> corners;
    for (int i = 0; i < 8; ++i) {
        corners.push_back(phVector((i & 1) ? -0.5f * dx : 0.5f * dx,
                                   (i & 2) ? -0.5f * dy : 0.5f * dy,
                                   (i & 4) ? -0.5f * dz : 0.5f * dz));
    }
    return MakeHull(corners);
}

// A cylinder about the x axis.
inline ShapePtr MakeCylinder(float radius, float height) {
    return ShapePtr(new phCollisionCylinder(0, radius, height, phMatrix()));
}

#endif
