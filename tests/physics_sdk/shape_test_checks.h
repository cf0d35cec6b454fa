// Checks shared by the shape tests: vectors within a tolerance, and ray casts
// against a table of expected hits.
#ifndef TESTS_PHYSICS_SDK_SHAPE_TEST_CHECKS_H
#define TESTS_PHYSICS_SDK_SHAPE_TEST_CHECKS_H

#include "collision/collision.h"

#include <gtest/gtest.h>

inline void ExpectNear(const phVector& a, const phVector& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
    EXPECT_NEAR(a.w, b.w, tolerance);
}

// A ray from p0 to p1 and the fraction t where it must hit (1 or more: no
// hit), with the outward normal (x, y, z) there.
struct RayCase {
    const char* name;
    phVector p0;
    phVector p1;
    float t;
    phVector normal;
};

// Casts the case's ray at the shape; a hit must also carry `attribute`, the
// user data of the shape it met.
inline void ExpectRayHit(const phCollision& shape, const RayCase& c, int attribute) {
    SCOPED_TRACE(c.name);
    phRayHit hit;
    const float t = shape.RayCast(c.p0, c.p1, hit);
    EXPECT_NEAR(t, c.t, 1e-4f);
    if (c.t < 1.0f) {
        ExpectNear(hit.normal, phVector(c.normal.x, c.normal.y, c.normal.z, 1.0f), 1e-4f);
        EXPECT_EQ(hit.attribute, attribute);
    }
}

#endif
