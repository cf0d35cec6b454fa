#include "collision/convex_collision.h"

#include "collision/volume_integrals.h"
#include "core/class_ids.h"
#include "core/memory.h"
#include "core/scratch_stack.h"

#include <algorithm>
#include <cmath>

namespace {

// Distances within this band count as on the plane.
constexpr float kPlaneBand = 1e-5f;
// The cap of the volume below a plane holds fewer points than this.
constexpr int kMaxCapPoints = 127;

uint32_t g_visitMark = 0;

// Sum of the fan's cross products: twice the face's area along its normal.
phVector FaceAreaNormal(const phVector* vertices, const phConvexEdge* face) {
    const phVector& p0 = vertices[face->vertex];
    phVector n(0.0f, 0.0f, 0.0f, 0.0f);
    for (const phConvexEdge* e = face->next; e->next != face; e = e->next) {
        n += phCross(vertices[e->vertex] - p0, vertices[e->next->vertex] - p0);
    }
    return n;
}

// The face's plane: its normal scaled by 1 / sqrt(|n|² + 1e-6), w = -(n·p).
phVector FacePlane(const phVector& areaNormal, const phVector& pointOnFace) {
    const float scale = 1.0f / std::sqrt(phDot(areaNormal, areaNormal) + 1e-6f);
    phVector plane = areaNormal * scale;
    plane.w = -phDot(plane, pointOnFace);
    return plane;
}

// The point where edge a-b crosses the plane, from the signed distances.
phVector Crossing(const phVector& a, const phVector& b, float da, float db) {
    phVector p = a + (b - a) * (da / (da - db));
    p.w = 1.0f;
    return p;
}

}  // namespace

uint32_t phNextVisitMark() { return ++g_visitMark; }

phConvexCollision::phConvexCollision(uint32_t signature, const phMatrix& offset, int32_t kind)
    : phCollision(signature, offset, kind), m_centre(0.0f, 0.0f, 0.0f, 1.0f) {}

phConvexCollision::~phConvexCollision() {
    phFree(m_vertices);
    phFree(m_edges);
}

uint32_t phConvexCollision::GetClassId() const { return kClassIdConvexCollision; }

bool phConvexCollision::IsClass(uint32_t classId) const {
    return classId == kClassIdConvexCollision || classId == kClassIdCollision ||
           classId == kClassIdRef;
}

void phConvexCollision::SetPolyhedron(phVector* vertices, int vertexCount, phConvexEdge* edges,
                                      int edgeCount) {
    m_vertices = vertices;
    m_vertexCount = static_cast<uint16_t>(vertexCount);
    m_edges = edges;
    m_edgeCount = static_cast<uint16_t>(edgeCount);
}

phVector phConvexCollision::SupportVertex(const phVector&) const {
    return phVector(0.0f, 0.0f, 0.0f, 1.0f);
}

int phConvexCollision::PlaneSection(const phVector&, const phVector&, phVector*) const { return 0; }

void phConvexCollision::CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const {
    boxMin = phVector(0.0f, 0.0f, 0.0f, 1.0f);
    boxMax = phVector(0.0f, 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < 3; ++i) {
        // World axis i expressed in the shape's frame.
        const phVector d(matrix[0][i], matrix[1][i], matrix[2][i], 0.0f);
        boxMax[i] = matrix.RotateVector(SupportVertex(d))[i] + matrix[3][i];
        boxMin[i] = matrix.RotateVector(SupportVertex(-d))[i] + matrix[3][i];
    }
}

void phConvexCollision::ForEachPolygon(const phMatrix& globalMatrix, void* body,
                                       phPolygonIterator iterator) {
    if (m_edgeCount == 0) {
        return;
    }
    phScratchArray<phVector> world(m_vertexCount);
    for (int i = 0; i < m_vertexCount; ++i) {
        world[i] = globalMatrix.TransformVector(m_vertices[i]);
    }
    phScratchArray<float> packed(size_t(m_edgeCount) * 3);
    const uint32_t mark = phNextVisitMark();
    for (int i = 0; i < m_edgeCount; ++i) {
        phConvexEdge* face = &m_edges[i];
        if (face->mark == mark) {
            continue;
        }
        int count = 0;
        phConvexEdge* e = face;
        do {
            e->mark = mark;
            const phVector& p = world[e->vertex];
            packed[count * 3 + 0] = p.x;
            packed[count * 3 + 1] = p.y;
            packed[count * 3 + 2] = p.z;
            ++count;
            e = e->next;
        } while (e != face && count < m_edgeCount);
        iterator(body, count, packed.Data());
    }
}

void phConvexCollision::CalculateVolumeAndCentre() {
    phVolumeIntegrals integrals;
    const uint32_t mark = phNextVisitMark();
    phScratchArray<phVector> points(size_t(m_edgeCount) + 1);
    for (int i = 0; i < m_edgeCount; ++i) {
        phConvexEdge* face = &m_edges[i];
        if (face->mark == mark) {
            continue;
        }
        int count = 0;
        phConvexEdge* e = face;
        do {
            e->mark = mark;
            points[count++] = m_vertices[e->vertex];
            e = e->next;
        } while (e != face && count < m_edgeCount);
        const phVector plane = FacePlane(FaceAreaNormal(m_vertices, face), points[0]);
        integrals.AddFace(points.Data(), count, plane);
    }
    m_centre = integrals.CentreAndVolume();
}

phVector phConvexCollision::VolumeBelowPlane(const phMatrix& matrix, phPlaneCallback callback,
                                             void* context) {
    phVector plane(0.0f, 1.0f, 0.0f, -10000.0f);
    if (callback != nullptr) {
        phVector worldPlane;
        callback(context, matrix, worldPlane);
        plane = UntransformPlane(matrix, worldPlane);
    }
    if (m_vertexCount == 0) {
        return phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }

    phScratchArray<float> dist(m_vertexCount);
    bool anyBelow = false;
    bool anyAbove = false;
    for (int i = 0; i < m_vertexCount; ++i) {
        float d = phDot(plane, m_vertices[i]) + plane.w;
        if (d > kPlaneBand) {
            anyAbove = true;
        } else if (d < -kPlaneBand) {
            anyBelow = true;
        } else {
            d = 0.0f;
        }
        dist[i] = d;
    }
    // Vertices on the plane count for both sides: with none below, nothing of
    // the shape lies below; with none above, all of it does.
    if (!anyBelow) {
        return phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }
    if (!anyAbove) {
        phVector centre = matrix.TransformVector(m_centre);
        centre.w = m_centre.w;
        return centre;
    }

    phVolumeIntegrals integrals;
    // A convex face clipped by a plane keeps at most one point more than it
    // had; the buffer also holds the cap.
    const size_t room = size_t(m_edgeCount) + size_t(m_vertexCount) + 2;
    phScratchArray<phVector> points(room);
    const uint32_t mark = phNextVisitMark();
    for (int i = 0; i < m_edgeCount; ++i) {
        phConvexEdge* face = &m_edges[i];
        if (face->mark == mark) {
            continue;
        }
        int count = 0;
        int walked = 0;
        phConvexEdge* e = face;
        do {
            e->mark = mark;
            const int a = e->vertex;
            const int b = e->next->vertex;
            if (dist[a] <= 0.0f) {
                points[count++] = m_vertices[a];
                if (dist[b] > 0.0f) {
                    points[count++] = Crossing(m_vertices[a], m_vertices[b], dist[a], dist[b]);
                }
            } else if (dist[b] < 0.0f) {
                points[count++] = Crossing(m_vertices[a], m_vertices[b], dist[a], dist[b]);
            }
            e = e->next;
            ++walked;
        } while (e != face && walked < m_edgeCount && size_t(count) + 2 < room);
        if (count >= 3) {
            const phVector facePlane = FacePlane(FaceAreaNormal(m_vertices, face), points[0]);
            integrals.AddFace(points.Data(), count, facePlane);
        }
    }

    // The cap closes the part below: the section of the shape by the plane,
    // made of the crossing points of the edges that run from below to above
    // and the vertices on the plane, ordered counter-clockwise about the
    // plane's normal (outward for the part below).
    int capCount = 0;
    for (int i = 0; i < m_edgeCount && capCount < kMaxCapPoints; ++i) {
        const phConvexEdge& e = m_edges[i];
        const int a = e.vertex;
        const int b = e.next->vertex;
        if (dist[a] < 0.0f && dist[b] > 0.0f) {
            points[capCount++] = Crossing(m_vertices[a], m_vertices[b], dist[a], dist[b]);
        }
    }
    for (int i = 0; i < m_vertexCount && capCount < kMaxCapPoints; ++i) {
        if (dist[i] == 0.0f) {
            points[capCount++] = m_vertices[i];
        }
    }
    if (capCount >= kMaxCapPoints) {
        return phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }
    if (capCount >= 3) {
        phVector centre(0.0f, 0.0f, 0.0f, 1.0f);
        for (int i = 0; i < capCount; ++i) {
            centre += points[i];
        }
        centre *= 1.0f / static_cast<float>(capCount);
        const phVector normal = phNormalize(phVector(plane.x, plane.y, plane.z, 0.0f));
        const phVector helper = std::fabs(normal.x) < 0.7f ? phVector(1.0f, 0.0f, 0.0f, 0.0f)
                                                           : phVector(0.0f, 1.0f, 0.0f, 0.0f);
        const phVector u = phNormalize(phCross(helper, normal));
        const phVector v = phCross(normal, u);
        phScratchArray<float> angle{size_t(capCount)};
        phScratchArray<int> order{size_t(capCount)};
        for (int i = 0; i < capCount; ++i) {
            const phVector d = points[i] - centre;
            angle[i] = std::atan2(phDot(d, v), phDot(d, u));
            order[i] = i;
        }
        std::sort(order.Data(), order.Data() + capCount,
                  [&angle](int a, int b) { return angle[a] < angle[b]; });
        phScratchArray<phVector> cap{size_t(capCount)};
        for (int i = 0; i < capCount; ++i) {
            cap[i] = points[order[i]];
        }
        integrals.AddFace(cap.Data(), capCount, plane);
    }

    const float volume = std::max(integrals.Volume(), 0.0001f);
    phVector centre = matrix.TransformVector(integrals.Centre(volume));
    centre.w = volume;
    return centre;
}
