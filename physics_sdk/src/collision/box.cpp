#include "collision/box.h"

#include "collision/box_edge_table.h"
#include "collision/box_section.h"
#include "core/class_ids.h"
#include "core/hash.h"

#include <cmath>
#include <cstring>

namespace {

constexpr float kNoHit = 1.2f;

// Corner i has the signs of x, y, z given by bits 0, 1 and 2 of i (set = -).
constexpr int kBoxFaceSizes[6] = {4, 4, 4, 4, 4, 4};
// The faces counter-clockwise seen from outside: +y, +z, -x, -z, +x, -y.
constexpr int kBoxFaceCorners[24] = {0, 4, 5, 1, 0, 1, 3, 2, 1, 5, 7, 3,
                                     5, 4, 6, 7, 4, 0, 2, 6, 6, 2, 3, 7};

phConvexEdge g_boxEdgeRecords[24];
phSharedEdgeTable g_boxEdges(g_boxEdgeRecords, 24);

// kind, three quantised half sizes and the sixteen floats of the offset.
constexpr int kSignatureWords = 20;

uint32_t BoxSignature(float hx, float hy, float hz, const phMatrix& offset) {
    int32_t words[kSignatureWords];
    words[0] = kCollisionBox;
    words[1] = QuantizeFloat(hx);
    words[2] = QuantizeFloat(hy);
    words[3] = QuantizeFloat(hz);
    float matrix[16];
    offset.Store(matrix);
    std::memcpy(&words[4], matrix, sizeof(matrix));
    return phHash(0, words, sizeof(words));
}

// A face that clips a ray: its axis and the sign of its outward normal.
struct SlabFace {
    int axis;
    float sign;
};

// The order in which the faces clip a ray: +x, -x, +z, -z, +y, -y. On equal
// entry parameters the earlier face gives the normal.
constexpr SlabFace kSlabFaces[6] = {{0, 1.0f},  {0, -1.0f}, {2, 1.0f},
                                    {2, -1.0f}, {1, 1.0f},  {1, -1.0f}};

}  // namespace

phCollisionBox::phCollisionBox(uint32_t signature, float dx, float dy, float dz,
                               const phMatrix& offset)
    : phConvexCollision(signature, offset, kCollisionBox),
      m_half(0.5f * std::fabs(dx), 0.5f * std::fabs(dy), 0.5f * std::fabs(dz), 1.0f) {
    for (int i = 0; i < 8; ++i) {
        m_corners[i] = phVector((i & 1) ? -m_half.x : m_half.x, (i & 2) ? -m_half.y : m_half.y,
                                (i & 4) ? -m_half.z : m_half.z, 1.0f);
    }
    phConvexEdge* edges = g_boxEdges.Acquire(kBoxFaceSizes, 6, kBoxFaceCorners);
    SetPolyhedron(m_corners, 8, edges, 24);
    CalculateVolumeAndCentre();
}

phCollisionBox::~phCollisionBox() {
    g_boxEdges.ReleaseUse();
    SetPolyhedron(nullptr, 0, nullptr, 0);
}

uint32_t phCollisionBox::GetClassId() const { return kClassIdBox; }

bool phCollisionBox::IsClass(uint32_t classId) const {
    return classId == kClassIdBox || phConvexCollision::IsClass(classId);
}

phVector phCollisionBox::SupportVertex(const phVector& dir) const {
    return phVector(dir.x < 0.0f ? -m_half.x : m_half.x, dir.y < 0.0f ? -m_half.y : m_half.y,
                    dir.z < 0.0f ? -m_half.z : m_half.z, 1.0f);
}

void phCollisionBox::CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const {
    for (int j = 0; j < 3; ++j) {
        const float extent = std::fabs(matrix[0][j]) * m_half.x +
                             std::fabs(matrix[1][j]) * m_half.y +
                             std::fabs(matrix[2][j]) * m_half.z;
        boxMin[j] = matrix[3][j] - extent;
        boxMax[j] = matrix[3][j] + extent;
    }
    boxMin.w = 1.0f;
    boxMax.w = 1.0f;
}

uint32_t phCollisionBox::GetSignature() const {
    return BoxSignature(m_half.x, m_half.y, m_half.z, m_offset);
}

float phCollisionBox::RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const {
    phVector q0 = p0;
    phVector q1 = p1;
    float tmin = 0.0f;
    bool hasHit = false;
    for (const SlabFace& face : kSlabFaces) {
        const int axis = face.axis;
        const float plane = face.sign * m_half[axis];
        // How far a point lies inside the face's plane.
        const float room0 = face.sign * (plane - q0[axis]);
        const float room1 = face.sign * (plane - q1[axis]);
        if (room0 <= 0.0f) {
            if (room1 <= 0.0f) {
                return kNoHit;
            }
            const float t = (plane - p0[axis]) / (p1[axis] - p0[axis]);
            if (t > tmin) {
                phVector normal(0.0f, 0.0f, 0.0f, 1.0f);
                normal[axis] = face.sign;
                hit.normal = normal;
                hit.attribute = static_cast<int>(GetUserData());
                tmin = t;
                hasHit = true;
            }
            q0 = q0 + (q1 - q0) * (room0 / (room0 - room1));
            q0[axis] = plane;
        } else if (room1 < 0.0f) {
            q1 = q0 + (q1 - q0) * (room0 / (room0 - room1));
            q1[axis] = plane;
        }
    }
    return hasHit ? tmin : kNoHit;
}

int phCollisionBox::PlaneSection(const phVector& normal, const phVector& point,
                                 phVector* points) const {
    phVector plane = normal;
    plane.w = -phDot(normal, point);
    return SectionByPlane(plane, points);
}

int phCollisionBox::SectionByPlane(const phVector& plane, phVector* points) const {
    float dist[8];
    for (int i = 0; i < 8; ++i) {
        dist[i] = phDot(plane, m_corners[i]) + plane.w;
    }
    // The walk starts from any half-edge that runs from above the plane to a
    // corner on or below it. All 24 records are scanned, so the result does
    // not depend on how the table is numbered. Counting a corner on the plane
    // as below lets a plane through corners (a diagonal plane, a plane
    // through one corner) give its section too.
    const phConvexEdge* start = nullptr;
    for (int i = 0; i < m_edgeCount; ++i) {
        const phConvexEdge& e = m_edges[i];
        if (dist[e.vertex] > 0.0f && dist[e.twin->vertex] <= 0.0f) {
            start = &e;
            break;
        }
    }
    if (start == nullptr) {
        return 0;
    }
    return phWalkSectionRing(start, m_corners, dist, m_edgeCount, kBoxMaxSectionPoints, points);
}

uint32_t phBoxSignature(float dx, float dy, float dz, const phMatrix& offset) {
    return BoxSignature(0.5f * std::fabs(dx), 0.5f * std::fabs(dy), 0.5f * std::fabs(dz), offset);
}

int phBoxEdgeTableUseCount() { return g_boxEdges.GetUseCount(); }
