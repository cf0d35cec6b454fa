#include "collision/geometry.h"

#include <cmath>

namespace {

// Moves p onto the plane through the interpolation between p0 and p1 at
// factor d0 / (p1_k - p0_k), then sets its k-th component exactly.
phVector PointOnPlane(const phVector& p0, const phVector& p1, int k, float m, float d0) {
    const float factor = d0 / (p1[k] - p0[k]);
    phVector p = p0 + (p1 - p0) * factor;
    p[k] = m;
    return p;
}

// One plane of the box. isMax: the box lies below m on axis k.
bool ClipToPlane(phVector& p0, phVector& p1, int k, float m, bool isMax) {
    const float d0 = m - p0[k];
    const float d1 = m - p1[k];
    const bool p0Outside = isMax ? (d0 <= 0.0f) : (d0 >= 0.0f);
    const bool p1Outside = isMax ? (d1 <= 0.0f) : (d1 >= 0.0f);
    if (p0Outside) {
        if (p1Outside) {
            return false;
        }
        p0 = PointOnPlane(p0, p1, k, m, d0);
    } else if (isMax ? (d1 < 0.0f) : (d1 > 0.0f)) {
        p1 = PointOnPlane(p0, p1, k, m, d0);
    }
    return true;
}

}  // namespace

bool ClipSegmentToBox(phVector& p0, phVector& p1, const phVector& boxMin, const phVector& boxMax) {
    static const int kAxes[3] = {0, 2, 1};
    for (int axis : kAxes) {
        if (!ClipToPlane(p0, p1, axis, boxMax[axis], true)) {
            return false;
        }
        if (!ClipToPlane(p0, p1, axis, boxMin[axis], false)) {
            return false;
        }
    }
    return true;
}

phVector ClosestPointOnSegment(const phVector& q, const phVector& a, const phVector& b) {
    const phVector ab = b - a;
    const float lengthSquared = phDot(ab, ab);
    if (!(lengthSquared > 0.0f)) {
        return a;
    }
    float t = phDot(q - a, ab) / lengthSquared;
    if (t < 0.0f) {
        t = 0.0f;
    } else if (t > 1.0f) {
        t = 1.0f;
    }
    phVector out = a + ab * t;
    out.w = a.w;
    return out;
}

void ClosestPointsOfSegments(const phVector& a0, const phVector& a1, const phVector& b0,
                             const phVector& b1, phVector& onA, phVector& onB) {
    const phVector u = a1 - a0;
    const phVector v = b1 - b0;
    const phVector r = a0 - b0;
    const float a = phDot(u, u);
    const float b = phDot(u, v);
    const float c = phDot(u, r);
    const float e = phDot(v, v);
    const float f = phDot(v, r);
    const float det = a * e - b * b;
    if (!(std::fabs(det) >= 1e-8f)) {
        onA = a0 + u * 0.5f;
        onB = b0 + v * 0.5f;
        return;
    }
    // Parameters of the closest points of the two lines, then clamped case by
    // case to the segments. When A's parameter leaves [0, 1], its end is taken
    // and B's point is the one nearest to that end; if that point is itself an
    // end of B, A's point is moved to the one nearest to it, which makes the
    // pair the closest points of the segments and not only of the lines.
    const float s = (b * f - c * e) / det;
    if (s < 0.0f || s > 1.0f) {
        onA = (s < 0.0f) ? a0 : a1;
        const float t = phDot(onA - b0, v) / e;
        if (t > 0.0f && t < 1.0f) {
            onB = b0 + v * t;
        } else {
            onB = (t <= 0.0f) ? b0 : b1;
            onA = ClosestPointOnSegment(onB, a0, a1);
        }
        return;
    }
    const float t = (a * f - b * c) / det;
    if (t < 0.0f) {
        onB = b0;
        onA = ClosestPointOnSegment(b0, a0, a1);
    } else if (t > 1.0f) {
        onB = b1;
        onA = ClosestPointOnSegment(b1, a0, a1);
    } else {
        onA = a0 + u * s;
        onB = b0 + v * t;
    }
}

bool RayHitsPolygon(const phVector& p0, const phVector& p1, const float* vertices,
                    int strideInBytes, const int* indices, int indexCount, float& t,
                    phVector& normal) {
    if (indexCount < 3) {
        return false;
    }
    const char* base = reinterpret_cast<const char*>(vertices);
    auto vertex = [&](int i) {
        return phVector(reinterpret_cast<const float*>(base + size_t(indices[i]) * strideInBytes));
    };
    const phVector c0 = vertex(0);
    const phVector c1 = vertex(1);
    const phVector c2 = vertex(2);
    const phVector n = phCross(c1 - c0, c2 - c0);
    const phVector dp = p1 - p0;
    const float denominator = phDot(dp, n);
    if (!(denominator < 0.0f)) {
        return false;
    }
    const float hitT = phDot(c0 - p0, n) / denominator;
    if (hitT < 0.0f || hitT > 1.0f) {
        return false;
    }
    const phVector q = (p0 + dp * hitT) - c0;
    phVector previous = c1;
    for (int i = 2; i < indexCount; ++i) {
        const phVector next = (i == 2) ? c2 : vertex(i);
        const phVector e1 = previous - c0;
        const phVector e2 = next - c0;
        previous = next;
        const float d11 = phDot(e1, e1);
        const float d22 = phDot(e2, e2);
        const float d12 = phDot(e1, e2);
        const float den = d11 * d22 - d12 * d12;
        if (i > 2 && !(den > 0.0f)) {
            continue;
        }
        const float tolerance = -1e-5f * den;
        const float q1 = phDot(q, e1);
        const float q2 = phDot(q, e2);
        const float u = q1 * d22 - q2 * d12;
        const float w = q2 * d11 - q1 * d12;
        if (u >= tolerance && w >= tolerance && u + w <= den) {
            t = hitT;
            normal = phVector(n.x, n.y, n.z, 1.0f);
            return true;
        }
    }
    return false;
}
