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

// Three doubles for the polygon test: the float inputs convert exactly, and
// the products of a long thin polygon's edges keep their small differences.
struct Vector3d {
    double x;
    double y;
    double z;

    Vector3d(double xIn, double yIn, double zIn) : x(xIn), y(yIn), z(zIn) {}
    explicit Vector3d(const float* p) : x(p[0]), y(p[1]), z(p[2]) {}

    Vector3d operator+(const Vector3d& b) const { return Vector3d(x + b.x, y + b.y, z + b.z); }
    Vector3d operator-(const Vector3d& b) const { return Vector3d(x - b.x, y - b.y, z - b.z); }
    Vector3d operator*(double s) const { return Vector3d(x * s, y * s, z * s); }
};

double Dot(const Vector3d& a, const Vector3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3d Cross(const Vector3d& a, const Vector3d& b) {
    return Vector3d(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// Whether the point lies on the inner side of the polygon's edge from vertex
// i to the next one, seen along the normal n. The side value is the edge
// crossed with the point's offset, dotted with n: it grows with the distance
// from the edge's line and is positive inside a counter-clockwise polygon.
// A point on the edge counts, within 1e-5 of the polygon's own width across
// that edge (the largest side value of its vertices), so a ray through the
// edge shared by two faces always hits one of them and the tolerance scales
// with the polygon, not with its distance from the origin.
template <typename VertexAt>
bool InsideEdge(const Vector3d& point, int i, int count, const Vector3d& n,
                const VertexAt& vertex) {
    const Vector3d start = vertex(i);
    const Vector3d edge = vertex(i + 1 == count ? 0 : i + 1) - start;
    const Vector3d across = Cross(n, edge);
    const double side = Dot(point - start, across);
    if (side >= 0.0) {
        return true;
    }
    // The width starts at 0 and a NaN side value leaves it, as fmax would.
    double width = 0.0;
    for (int j = 0; j < count; ++j) {
        const double d = Dot(vertex(j) - start, across);
        width = d > width ? d : width;
    }
    return side >= -1e-5 * width;
}

// Whether the point lies on the inner side of every edge of the polygon.
template <typename VertexAt>
bool InsidePolygon(const Vector3d& point, int count, const Vector3d& n, const VertexAt& vertex) {
    for (int i = 0; i < count; ++i) {
        if (!InsideEdge(point, i, count, n, vertex)) {
            return false;
        }
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

phSegmentSlabs::phSegmentSlabs(const phVector& p0, const phVector& p1) {
    float inverse[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    int moving[4] = {0, 0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const float d = p1[i] - p0[i];
        if (d != 0.0f) {
            inverse[i] = 1.0f / d;
            moving[i] = -1;
        }
    }
    m_origin = _mm_setr_ps(p0.x, p0.y, p0.z, 0.0f);
    m_inverse = _mm_loadu_ps(inverse);
    m_moving = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(moving)));
    m_movingOrSpare = _mm_or_ps(m_moving, _mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, -1)));
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
        return Vector3d(reinterpret_cast<const float*>(base + size_t(indices[i]) * strideInBytes));
    };
    const Vector3d c0 = vertex(0);
    const Vector3d c1 = vertex(1);
    const Vector3d c2 = vertex(2);
    const Vector3d n = Cross(c1 - c0, c2 - c0);
    const Vector3d start(&p0.x);
    const Vector3d dp = Vector3d(&p1.x) - start;
    const double denominator = Dot(dp, n);
    if (!(denominator < 0.0)) {
        return false;
    }
    const double hitT = Dot(c0 - start, n) / denominator;
    if (hitT < 0.0 || hitT > 1.0) {
        return false;
    }
    const Vector3d hit = start + dp * hitT;
    // The edge tests read each corner several times: a triangle's, the
    // common case, are read and converted once.
    const Vector3d corners[3] = {c0, c1, c2};
    const bool inside = indexCount == 3
                            ? InsidePolygon(hit, 3, n, [&corners](int i) { return corners[i]; })
                            : InsidePolygon(hit, indexCount, n, vertex);
    if (!inside) {
        return false;
    }
    t = float(hitT);
    normal = phVector(float(n.x), float(n.y), float(n.z), 1.0f);
    return true;
}
