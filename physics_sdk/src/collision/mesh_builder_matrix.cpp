#include "collision/mesh_builder_matrix.h"

#include <cmath>
#include <cstring>

namespace {

// Keeps the arc sine away from ±1, where the other two angles are lost.
constexpr float kMaxEulerSine = 0.99999899f;

}  // namespace

void TransformPoints(const phMatrix& matrix, float* out, int outStrideInBytes, const float* in,
                     int inStrideInBytes, int count) {
    const char* source = reinterpret_cast<const char*>(in);
    char* target = reinterpret_cast<char*>(out);
    for (int i = 0; i < count; ++i) {
        float p[3];
        std::memcpy(p, source + size_t(i) * size_t(inStrideInBytes), sizeof(p));
        const phVector q = matrix.TransformVector(phVector(p));
        const float result[3] = {q.x, q.y, q.z};
        std::memcpy(target + size_t(i) * size_t(outStrideInBytes), result, sizeof(result));
    }
}

const phMatrix& phIdentityMatrix() {
    static const phMatrix identity;
    return identity;
}

const phMatrix& phZeroMatrix() {
    static const phMatrix zero(phVector(0, 0, 0, 0), phVector(0, 0, 0, 0), phVector(0, 0, 0, 0),
                               phVector(0, 0, 0, 0));
    return zero;
}

phMatrix phSymmetricInverse3x3(const phMatrix& m) {
    const float a = m[0][0];
    const float b = m[0][1];
    const float c = m[0][2];
    const float d = m[1][1];
    const float e = m[1][2];
    const float f = m[2][2];
    const float c00 = d * f - e * e;
    const float c01 = c * e - b * f;
    const float c02 = b * e - c * d;
    const float c11 = a * f - c * c;
    const float c12 = b * c - a * e;
    const float c22 = a * d - b * b;
    const float det = a * c00 + b * c01 + c * c02;
    const float inv = (det != 0.0f && std::isfinite(det)) ? 1.0f / det : 0.0f;
    return phMatrix(phVector(c00 * inv, c01 * inv, c02 * inv, 0.0f),
                    phVector(c01 * inv, c11 * inv, c12 * inv, 0.0f),
                    phVector(c02 * inv, c12 * inv, c22 * inv, 0.0f),
                    phVector(0.0f, 0.0f, 0.0f, 1.0f));
}

phVector phMatrixToEulerAngles(const phMatrix& m) {
    float sine = -m[0][2];
    if (sine > kMaxEulerSine) {
        sine = kMaxEulerSine;
    } else if (sine < -kMaxEulerSine) {
        sine = -kMaxEulerSine;
    }
    return phVector(std::atan2(m[1][2], m[2][2]), std::asin(sine), std::atan2(m[0][1], m[0][0]),
                    0.0f);
}
