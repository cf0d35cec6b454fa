// A sphere shape for tests of bodies and joints, before the real shapes exist.
#ifndef TESTS_PHYSICS_SDK_BODY_TEST_SHAPE_H
#define TESTS_PHYSICS_SDK_BODY_TEST_SHAPE_H

#include "collision/collision.h"

#include <cmath>

// A sphere about the shape's origin: enough of a shape for a body.
class TestSphere : public phCollision {
public:
    explicit TestSphere(float radius, const phMatrix& offset = phMatrix())
        : phCollision(1, offset, kCollisionConvexHull), m_radius(radius) {}

    void SetBox(const phVector&, const phVector&) override {}
    void CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const override {
        const phVector r(m_radius, m_radius, m_radius, 0.0f);
        boxMin = matrix[3] - r;
        boxMax = matrix[3] + r;
    }
    float RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const override {
        const phVector d = p1 - p0;
        const float a = phDot(d, d);
        const float b = phDot(p0, d);
        const float c = phDot(p0, p0) - m_radius * m_radius;
        const float disc = b * b - a * c;
        if (a == 0.0f || disc < 0.0f) {
            return 1.2f;
        }
        const float t = (-b - std::sqrt(disc)) / a;
        if (t < 0.0f || t >= 1.0f) {
            return 1.2f;
        }
        hit.normal = phNormalize(p0 + d * t);
        hit.attribute = 3;
        return t;
    }
    float GetVolume() const override {
        return 4.0f / 3.0f * 3.14159265f * m_radius * m_radius * m_radius;
    }
    phVector VolumeBelowPlane(const phMatrix&, phPlaneCallback, void*) override {
        return phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }
    uint32_t GetSignature() const override { return 1; }

private:
    float m_radius;
};

#endif
