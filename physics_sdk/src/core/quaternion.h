// Unit quaternion (x, y, z, w) for body rotations.
#ifndef PHYSICS_SDK_CORE_QUATERNION_H
#define PHYSICS_SDK_CORE_QUATERNION_H

#include "core/vector.h"

#include <cmath>

struct phQuaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    phQuaternion() = default;
    phQuaternion(float xIn, float yIn, float zIn, float wIn) : x(xIn), y(yIn), z(zIn), w(wIn) {}

    // Rotation by angle (radians) about a unit axis: (axis·sin(a/2), cos(a/2)).
    static phQuaternion FromAxisAngle(const phVector& unitAxis, float angle) {
        const float s = std::sin(angle * 0.5f);
        return phQuaternion(unitAxis.x * s, unitAxis.y * s, unitAxis.z * s, std::cos(angle * 0.5f));
    }

    float DotProduct(const phQuaternion& b) const { return x * b.x + y * b.y + z * b.z + w * b.w; }

    // Scaled to unit length; a zero quaternion becomes the identity.
    phQuaternion Normalized() const {
        const float lengthSquared = DotProduct(*this);
        if (lengthSquared <= 0.0f) {
            return phQuaternion();
        }
        const float s = 1.0f / std::sqrt(lengthSquared);
        return phQuaternion(x * s, y * s, z * s, w * s);
    }

    phQuaternion Conjugate() const { return phQuaternion(-x, -y, -z, w); }
};

// Hamilton product a ⊗ b.
inline phQuaternion operator*(const phQuaternion& a, const phQuaternion& b) {
    return phQuaternion(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                        a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                        a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
                        a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

#endif
