#include "engine/physics/matrix4.h"

#include <cmath>

#include "physics_sdk/phys.h"

namespace orvel {

Matrix4 Matrix4::Identity() {
    Matrix4 identity;
    identity.m[0] = identity.m[5] = identity.m[10] = identity.m[15] = 1.0f;
    return identity;
}

Matrix4 Matrix4::Translation(const Vector4& position) {
    Matrix4 translation = Identity();
    translation.SetPosition(position);
    return translation;
}

Matrix4 Matrix4::RotationZ(float radians) {
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    Matrix4 rotation = Identity();
    rotation.m[0] = c;
    rotation.m[1] = s;
    rotation.m[4] = -s;
    rotation.m[5] = c;
    return rotation;
}

void Matrix4::SetPosition(const Vector4& position) {
    m[12] = position.x;
    m[13] = position.y;
    m[14] = position.z;
    m[15] = position.w;
}

Vector4 Matrix4::TransformPoint(const Vector4& p) const {
    return Vector4(p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12],
                   p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
                   p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14], 1.0f);
}

Matrix4 Matrix4::operator*(const Matrix4& other) const {
    Matrix4 product;
    PhysMatrixMultiply(product.m, m, other.m);
    return product;
}

}  // namespace orvel
