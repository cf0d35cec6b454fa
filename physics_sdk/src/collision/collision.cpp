#include "collision/collision.h"

#include "core/class_ids.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof(bits));
    return bits;
}

bool IsIdentity(const phMatrix& m) {
    const uint32_t one = FloatBits(1.0f);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (i == j) {
                if (FloatBits(m[i][j]) != one) {
                    return false;
                }
            } else if (m[i][j] != 0.0f) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

phCollision::phCollision(uint32_t signature, const phMatrix& offset, int32_t kind)
    : m_signature(signature), m_kind(kind) {
    SetOffsetMatrix(offset);
}

uint32_t phCollision::GetClassId() const { return kClassIdCollision; }

bool phCollision::IsClass(uint32_t classId) const {
    return classId == kClassIdCollision || classId == kClassIdRef;
}

void phCollision::SetOffsetMatrix(const phMatrix& offset) {
    m_offset = offset;
    if (IsIdentity(offset)) {
        m_flags &= ~kCollisionFlagOffset;
    } else {
        m_flags |= kCollisionFlagOffset;
    }
}

phVector PlaneFromPoints(const phVector& p0, const phVector& p1, const phVector& p2) {
    phVector n = phCross(p1 - p0, p2 - p0);
    n.w = -phDot(n, p0);
    return n;
}

phVector UntransformPlane(const phMatrix& matrix, const phVector& plane) {
    return phVector(phDot(matrix[0], plane), phDot(matrix[1], plane), phDot(matrix[2], plane),
                    phDot(matrix[3], plane) + plane.w);
}

float AngleStep(float radius) {
    // Clamp in floating point before the conversion, so that huge values and
    // NaN never reach it.
    const float steps = std::floor(256.0f * radius);
    int k = 128;
    if (steps > 1024.0f) {
        k = 1024;
    } else if (steps > 128.0f) {
        k = static_cast<int>(steps);
    }
    return 6.2831855f / static_cast<float>(k);
}

int32_t QuantizeFloat(float x) {
    const double scaled = static_cast<double>(x) * 1024.0;
    if (std::isnan(scaled)) {
        return 0;
    }
    if (scaled >= 2147483647.0) {
        return INT32_MAX;
    }
    if (scaled <= -2147483648.0) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(scaled);
}
