#pragma once

#include "engine/physics/vector4.h"

namespace orvel {

// A 4x4 transform as the physics SDK keeps it: row major, rows 0 to 2 are the
// axes and row 3 the position; points are row vectors multiplied from the
// left, so in a * b the transform a applies first.
struct Matrix4 {
    float m[16] = {};

    static Matrix4 Identity();
    static Matrix4 Translation(const Vector4& position);
    // A turn about z by `radians`, counter-clockwise in the play field.
    static Matrix4 RotationZ(float radians);

    Vector4 GetPosition() const { return Vector4(m[12], m[13], m[14], m[15]); }
    void SetPosition(const Vector4& position);
    // Row `i` (0 to 2 the axes, 3 the position).
    Vector4 GetRow(int i) const {
        return Vector4(m[i * 4], m[i * 4 + 1], m[i * 4 + 2], m[i * 4 + 3]);
    }
    Vector4 TransformPoint(const Vector4& point) const;

    Matrix4 operator*(const Matrix4& other) const;
};

}  // namespace orvel
