#include "collision/static_mesh_face.h"

#include "core/class_ids.h"

#include <cmath>

namespace {

// An edge's component along the normal, kept at least 1e-8 in magnitude (its
// sign kept, + for 0) so that the crossing never divides by zero.
float GuardedComponent(float component) {
    if (std::fabs(component) < 1e-8f) {
        return component < 0.0f ? -1e-8f : 1e-8f;
    }
    return component;
}

// The point where edge a-b crosses the plane; da is a's signed distance.
phVector Crossing(const phVector& a, const phVector& b, float da, const phVector& normal) {
    const phVector e = b - a;
    phVector p = a - e * (da / GuardedComponent(phDot(e, normal)));
    p.w = 1.0f;
    return p;
}

phVector VertexOf(const float* vertices, const int32_t* indices, int i, int strideInFloats) {
    return phVector(vertices + size_t(indices[i]) * size_t(strideInFloats));
}

}  // namespace

phCollisionConvexPolygon::phCollisionConvexPolygon()
    : phConvexCollision(kConvexPolygonSignature, phMatrix::Identity(), kCollisionConvexPolygon) {}

uint32_t phCollisionConvexPolygon::GetClassId() const { return kClassIdConvexPolygon; }

bool phCollisionConvexPolygon::IsClass(uint32_t classId) const {
    return classId == kClassIdConvexPolygon || phConvexCollision::IsClass(classId);
}

void phCollisionConvexPolygon::SetFace(int count, int strideInFloats, const int32_t* indices,
                                       const float* vertices) {
    m_faceVertexCount = count;
    m_strideInFloats = strideInFloats;
    m_faceIndices = indices;
    m_faceVertices = vertices;
}

phVector phCollisionConvexPolygon::FaceVertex(int i) const {
    return VertexOf(m_faceVertices, m_faceIndices, i, m_strideInFloats);
}

phVector phCollisionConvexPolygon::SupportVertex(const phVector& dir) const {
    if (m_faceVertexCount <= 0) {
        return phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }
    phVector best = FaceVertex(0);
    float bestDot = phDot(dir, best);
    for (int i = 1; i < m_faceVertexCount; ++i) {
        const phVector v = FaceVertex(i);
        const float d = phDot(dir, v);
        if (d > bestDot) {
            bestDot = d;
            best = v;
        }
    }
    best.w = 0.0f;
    return best;
}

int phCollisionConvexPolygon::PlaneSection(const phVector& normal, const phVector& point,
                                           phVector* points) const {
    if (m_faceVertexCount <= 0) {
        return 0;
    }
    int written = 0;
    phVector a = FaceVertex(m_faceVertexCount - 1);
    float da = phDot(normal, a - point);
    for (int i = 0; i < m_faceVertexCount; ++i) {
        const phVector b = FaceVertex(i);
        const float db = phDot(normal, b - point);
        if (da <= 0.0f) {
            phVector projected = a - normal * da;
            projected.w = 1.0f;
            points[written++] = projected;
        }
        if ((da < 0.0f && db > 0.0f) || (da > 0.0f && db < 0.0f)) {
            points[written++] = Crossing(a, b, da, normal);
        }
        a = b;
        da = db;
    }
    return written;
}

bool phCollisionConvexPolygon::FaceStraddlesPlane(const phConvexCollision& shape,
                                                  const phMatrix& matrix) {
    if (m_faceVertexCount < 3) {
        return false;
    }
    const phVector a = FaceVertex(0);
    const phVector b = FaceVertex(1);
    const phVector c = FaceVertex(2);
    phVector n = phCross(b - a, c - b);
    n = n * (1.0f / std::sqrt(phDot(n, n) + 1e-14f));

    const phVector front = matrix.TransformVector(shape.SupportVertex(matrix.UnrotateVector(n)));
    if (phDot(front - a, n) <= 0.0f) {
        return false;
    }
    m_normal = phVector(-n.x, -n.y, -n.z, 0.0f);
    const phVector back = matrix.TransformVector(shape.SupportVertex(matrix.UnrotateVector(-n)));
    return phDot(back - a, n) < 0.0f;
}

int PolygonFrontSection(const float* vertices, const int32_t* indices, int count,
                        int strideInFloats, const phVector& plane, phVector* out) {
    if (count <= 0) {
        return 0;
    }
    int written = 0;
    phVector previous = VertexOf(vertices, indices, count - 1, strideInFloats);
    float dp = phDot(plane, previous) + plane.w;
    for (int i = 0; i < count; ++i) {
        const phVector current = VertexOf(vertices, indices, i, strideInFloats);
        const float dc = phDot(plane, current) + plane.w;
        if (dp >= 0.0f) {
            phVector projected = previous - plane * dp;
            projected.w = 1.0f;
            out[written++] = projected;
        }
        if ((dp >= 0.0f) != (dc >= 0.0f)) {
            out[written++] = Crossing(previous, current, dp, plane);
        }
        previous = current;
        dp = dc;
    }
    return written;
}
