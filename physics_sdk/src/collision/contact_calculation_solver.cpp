#include "collision/contact_calculation_solver.h"

#include "collision/convex_collision.h"
#include "collision/geometry.h"
#include "core/scratch_stack.h"

#include <algorithm>
#include <cmath>

namespace {

// Sentinel key in slot 0 of each face heap.
constexpr float kHeapSentinel = 1e10f;
// Thresholds of the starting tetrahedron: distance, area and volume measures.
constexpr float kStartThreshold = 1.0f / 128.0f;
// Faces whose normal is shorter than this (squared) are never queued.
constexpr float kDegenerateNormal = 1e-14f;

constexpr int kDirectionCount = 14;
constexpr int kTetrahedronEdges = 12;

// The starting tetrahedron's faces, each counter-clockwise seen from outside
// once the vertices are ordered so that (s1 - s0) x (s2 - s0) faces away from
// s3.
constexpr int kTetrahedronFaces[4][3] = {{0, 1, 2}, {0, 3, 1}, {1, 3, 2}, {2, 3, 0}};

// The polytope's working storage, laid once per process on first use.
struct PolytopeTables {
    phVector difference[kPolytopeCapacity];
    phVector sum[kPolytopeCapacity];
    phVector planes[kPolytopeCapacity];
    phPolytopeEdge edges[kPolytopeCapacity];
    phFaceHeap::Entry outside[kFaceQueueCapacity + 1];
    phFaceHeap::Entry inside[kFaceQueueCapacity + 1];
    int32_t stack[kPolytopeStackCapacity];
    int32_t visibleFaces[kPolytopeStackCapacity];
    int32_t horizon[kPolytopeStackCapacity];
    int32_t loop[kPolytopeStackCapacity];
    // Per plane: the expansion that tested it and the one that found it
    // visible. Per vertex: the horizon edge that starts there.
    uint32_t testedStamp[kPolytopeCapacity];
    uint32_t visibleStamp[kPolytopeCapacity];
    uint32_t originStamp[kPolytopeCapacity];
    int32_t horizonFromVertex[kPolytopeCapacity];
    uint32_t stamp;
    phPolytopeEdge tetrahedron[kTetrahedronEdges];
    phVector directions[kDirectionCount];

    PolytopeTables();
};

PolytopeTables::PolytopeTables() : testedStamp(), visibleStamp(), originStamp(), stamp(0) {
    for (int f = 0; f < 4; ++f) {
        for (int k = 0; k < 3; ++k) {
            phPolytopeEdge& e = tetrahedron[3 * f + k];
            e.flags = kPolytopeLive;
            e.plane = -1;
            e.vertex = kTetrahedronFaces[f][k];
            e.next = 3 * f + (k + 1) % 3;
            e.prev = 3 * f + (k + 2) % 3;
            e.twin = -1;
        }
    }
    for (int i = 0; i < kTetrahedronEdges; ++i) {
        const int start = tetrahedron[i].vertex;
        const int end = tetrahedron[tetrahedron[i].next].vertex;
        for (int j = 0; j < kTetrahedronEdges; ++j) {
            if (tetrahedron[j].vertex == end && tetrahedron[tetrahedron[j].next].vertex == start) {
                tetrahedron[i].twin = j;
            }
        }
    }
    const float raw[kDirectionCount][3] = {
        {1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {-1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1},
        {1, 1, 1},  {0, -1, 0},   {0, 1, 0},   {1, 0, 0},  {-1, 0, 0}, {0, 0, 1},   {0, 0, -1}};
    for (int i = 0; i < kDirectionCount; ++i) {
        const phVector d(raw[i][0], raw[i][1], raw[i][2], 0.0f);
        directions[i] = -phNormalize(d);
        directions[i].w = 0.0f;
    }
}

PolytopeTables& Tables() {
    static PolytopeTables tables;
    return tables;
}

phVector Direction(const phVector& v) { return phVector(v.x, v.y, v.z, 0.0f); }

// Room for the section of a convex shape: a section has at most one point per
// edge of the shape, and a polyhedron of V vertices has at most 3V - 6 edges.
int SectionRoom(const phConvexCollision& shape, int extra) {
    return 3 * shape.GetVertexCount() + shape.GetEdgeCount() + extra + 8;
}

}  // namespace

void InitContactSolverTables() { Tables(); }

const phVector* phPolytopeSearchDirections() { return Tables().directions; }

void phFaceHeap::Attach(Entry* storage, int capacity) {
    m_entries = storage;
    m_capacity = capacity;
    m_count = 0;
    m_entries[0].key = kHeapSentinel;
    m_entries[0].edge = -1;
}

bool phFaceHeap::Push(float key, int32_t edge) {
    if (Full()) {
        return false;
    }
    int i = ++m_count;
    while (i > 1 && m_entries[i / 2].key < key) {
        m_entries[i] = m_entries[i / 2];
        i /= 2;
    }
    m_entries[i].key = key;
    m_entries[i].edge = edge;
    return true;
}

phFaceHeap::Entry phFaceHeap::Pop() {
    const Entry top = m_entries[1];
    const Entry last = m_entries[m_count--];
    int i = 1;
    while (2 * i <= m_count) {
        int child = 2 * i;
        if (child < m_count && m_entries[child + 1].key > m_entries[child].key) {
            ++child;
        }
        if (m_entries[child].key <= last.key) {
            break;
        }
        m_entries[i] = m_entries[child];
        i = child;
    }
    if (m_count > 0) {
        m_entries[i] = last;
    }
    return top;
}

phContactSolver::phContactSolver(const phContactSide& side0, const phContactSide& side1)
    : m_side0(side0), m_shape0(static_cast<const phConvexCollision*>(side0.shape)) {
    PolytopeTables& tables = Tables();
    m_outside.Attach(tables.outside, kFaceQueueCapacity);
    m_inside.Attach(tables.inside, kFaceQueueCapacity);
    SetSecond(side1);
}

void phContactSolver::SetSecond(const phContactSide& side1, int sectionRoom) {
    m_side1 = side1;
    m_sectionRoom1 = sectionRoom;
    m_shape1 = static_cast<const phConvexCollision*>(side1.shape);
    m_relative = side1.matrix * m_side0.matrix.Inverse();
}

bool phContactSolver::AddSupportVertex(const phVector& direction) {
    if (m_vertexCount >= kPolytopeCapacity) {
        return false;
    }
    PolytopeTables& tables = Tables();
    const phVector a = m_shape0->SupportVertex(Direction(direction));
    const phVector turned = m_relative.UnrotateVector(-direction);
    const phVector b = m_relative.TransformVector(m_shape1->SupportVertex(Direction(turned)));
    tables.difference[m_vertexCount] = phVector(a.x - b.x, a.y - b.y, a.z - b.z, 1.0f);
    tables.sum[m_vertexCount] = phVector(a.x + b.x, a.y + b.y, a.z + b.z, 1.0f);
    ++m_vertexCount;
    return true;
}

bool phContactSolver::CalculateFacePlane(int32_t edge) {
    if (m_planeCount >= kPolytopeCapacity) {
        return false;
    }
    PolytopeTables& tables = Tables();
    phPolytopeEdge* edges = tables.edges;
    const int32_t next = edges[edge].next;
    const int32_t prev = edges[edge].prev;
    const phVector& p0 = tables.difference[edges[edge].vertex];
    const phVector& p1 = tables.difference[edges[next].vertex];
    const phVector& p2 = tables.difference[edges[prev].vertex];
    phVector n = phCross(p1 - p0, p2 - p0);
    n.w = -phDot(n, p0);
    const int32_t index = m_planeCount++;
    edges[edge].plane = index;
    edges[next].plane = index;
    edges[prev].plane = index;
    const float lengthSquared = phDot(n, n);
    if (!(lengthSquared >= kDegenerateNormal)) {
        tables.planes[index] = n;
        return false;
    }
    const float scale = 1.0f / std::sqrt(lengthSquared);
    tables.planes[index] = phVector(n.x * scale, n.y * scale, n.z * scale, n.w * scale);
    return true;
}

bool phContactSolver::BuildStartingTetrahedron() {
    PolytopeTables& tables = Tables();
    const phVector* dirs = tables.directions;
    const phVector* v = tables.difference;
    m_vertexCount = 0;
    AddSupportVertex(dirs[0]);
    int i = 1;
    for (; i < kDirectionCount; ++i) {
        m_vertexCount = 1;
        AddSupportVertex(dirs[i]);
        if (phLengthSquared(v[1] - v[0]) > kStartThreshold) {
            break;
        }
    }
    for (++i; i < kDirectionCount; ++i) {
        m_vertexCount = 2;
        AddSupportVertex(dirs[i]);
        if (phLengthSquared(phCross(v[1] - v[0], v[2] - v[0])) > kStartThreshold) {
            break;
        }
    }
    float triple = 0.0f;
    for (++i; i < kDirectionCount; ++i) {
        m_vertexCount = 3;
        AddSupportVertex(dirs[i]);
        triple = phDot(v[3] - v[0], phCross(v[1] - v[0], v[2] - v[0]));
        if (std::fabs(triple) > kStartThreshold) {
            break;
        }
    }
    if (i >= kDirectionCount) {
        return false;
    }
    if (triple > 0.0f) {
        std::swap(tables.difference[0], tables.difference[1]);
        std::swap(tables.sum[0], tables.sum[1]);
    }
    return true;
}

bool phContactSolver::PushInside(int32_t edge) {
    PolytopeTables& tables = Tables();
    while (m_inside.Count() > 0 &&
           (tables.edges[m_inside.Top().edge].flags & kPolytopeQueued) == 0) {
        m_inside.Pop();
    }
    const float key = tables.planes[tables.edges[edge].plane].w;
    if (!m_inside.Push(key, edge)) {
        return false;
    }
    tables.edges[edge].flags |= kPolytopeQueued;
    return true;
}

bool phContactSolver::QueueFace(int32_t edge, bool insideOnly) {
    const phVector& plane = Tables().planes[Tables().edges[edge].plane];
    if (plane.w <= 0.0f) {
        return PushInside(edge);
    }
    return insideOnly || m_outside.Push(-plane.w, edge);
}

bool phContactSolver::Expand(int32_t face, int32_t vertex, int32_t* newFaces, int& newFaceCount) {
    PolytopeTables& tables = Tables();
    phPolytopeEdge* edges = tables.edges;
    const phVector& s = tables.difference[vertex];
    const uint32_t stamp = ++tables.stamp;
    newFaceCount = 0;

    // Flood fill over twins from the popped face through the faces that see s.
    int stackCount = 0;
    int visibleCount = 0;
    tables.stack[stackCount++] = face;
    tables.testedStamp[edges[face].plane] = stamp;
    while (stackCount > 0) {
        const int32_t f = tables.stack[--stackCount];
        const int32_t plane = edges[f].plane;
        if (!(phDot4(tables.planes[plane], s) > 0.0f)) {
            continue;
        }
        if (visibleCount >= kPolytopeStackCapacity) {
            return false;
        }
        tables.visibleStamp[plane] = stamp;
        tables.visibleFaces[visibleCount++] = f;
        int32_t e = f;
        for (int k = 0; k < 3; ++k, e = edges[e].next) {
            const int32_t twin = edges[e].twin;
            const int32_t twinPlane = edges[twin].plane;
            if (tables.testedStamp[twinPlane] == stamp) {
                continue;
            }
            if (stackCount >= kPolytopeStackCapacity) {
                return false;
            }
            tables.testedStamp[twinPlane] = stamp;
            tables.stack[stackCount++] = twin;
        }
    }

    // The horizon: edges of seen faces whose twin's face stays.
    int horizonCount = 0;
    for (int i = 0; i < visibleCount; ++i) {
        int32_t e = tables.visibleFaces[i];
        for (int k = 0; k < 3; ++k, e = edges[e].next) {
            if (tables.visibleStamp[edges[edges[e].twin].plane] == stamp) {
                continue;
            }
            const int32_t origin = edges[e].vertex;
            if (horizonCount >= kPolytopeStackCapacity || tables.originStamp[origin] == stamp) {
                return false;
            }
            tables.originStamp[origin] = stamp;
            tables.horizonFromVertex[origin] = e;
            tables.horizon[horizonCount++] = e;
        }
    }
    if (horizonCount < 3 || m_edgeCount + 3 * horizonCount > kPolytopeCapacity ||
        m_planeCount + horizonCount > kPolytopeCapacity) {
        return false;
    }

    // Order the horizon into one loop: each edge is followed by the one that
    // starts where it ends.
    int loopCount = 0;
    int32_t h = tables.horizon[0];
    do {
        if (loopCount >= horizonCount) {
            return false;
        }
        tables.loop[loopCount++] = h;
        const int32_t end = edges[edges[h].twin].vertex;
        if (tables.originStamp[end] != stamp) {
            return false;
        }
        h = tables.horizonFromVertex[end];
    } while (h != tables.horizon[0]);
    if (loopCount != horizonCount) {
        return false;
    }

    for (int i = 0; i < visibleCount; ++i) {
        int32_t e = tables.visibleFaces[i];
        for (int k = 0; k < 3; ++k, e = edges[e].next) {
            edges[e].flags = kPolytopeSeen | kPolytopeRemoved;
        }
    }

    // A fan of triangles (a, b, new vertex) over the loop's edges a -> b.
    const int32_t base = m_edgeCount;
    for (int i = 0; i < loopCount; ++i) {
        const phPolytopeEdge& old = edges[tables.loop[i]];
        const int32_t e0 = base + 3 * i;
        const int32_t e1 = e0 + 1;
        const int32_t e2 = e0 + 2;
        const int32_t nextTriangle = base + 3 * ((i + 1) % loopCount);
        const int32_t prevTriangle = base + 3 * ((i + loopCount - 1) % loopCount);
        edges[e0] = {kPolytopeLive, -1, old.vertex, old.twin, e1, e2};
        edges[old.twin].twin = e0;
        edges[e1] = {kPolytopeLive, -1, edges[old.twin].vertex, nextTriangle + 2, e2, e0};
        edges[e2] = {kPolytopeLive, -1, vertex, prevTriangle + 1, e0, e1};
    }
    m_edgeCount += 3 * loopCount;
    for (int i = 0; i < loopCount; ++i) {
        const int32_t e0 = base + 3 * i;
        if (CalculateFacePlane(e0)) {
            newFaces[newFaceCount++] = e0;
        }
    }
    return true;
}

bool phContactSolver::Converge(int32_t edge) {
    PolytopeTables& tables = Tables();
    const phPolytopeEdge& e = tables.edges[edge];
    const phVector& n = tables.planes[e.plane];
    m_resultFace = edge;
    m_resultDistance = n.w;
    const phVector normal = m_side0.matrix.RotateVector(-Direction(n));
    m_resultPlane =
        phVector(normal.x, normal.y, normal.z,
                 0.5f * phDot(n, tables.sum[e.vertex]) - phDot(normal, m_side0.matrix[3]));
    return true;
}

bool phContactSolver::CalculatePenetration() {
    PolytopeTables& tables = Tables();
    m_outside.Clear();
    m_inside.Clear();
    m_edgeCount = 0;
    m_planeCount = 0;
    m_vertexCount = 0;
    m_resultFace = -1;
    if (!BuildStartingTetrahedron()) {
        return false;
    }
    std::copy(tables.tetrahedron, tables.tetrahedron + kTetrahedronEdges, tables.edges);
    m_edgeCount = kTetrahedronEdges;
    for (int f = 0; f < 4; ++f) {
        if (CalculateFacePlane(3 * f) && !QueueFace(3 * f, false)) {
            return false;
        }
    }

    int32_t newFaces[kPolytopeStackCapacity];
    int newFaceCount = 0;
    int budget = kPolytopeBudget;
    while (m_outside.Count() > 0) {
        const int32_t face = m_outside.Pop().edge;
        if ((tables.edges[face].flags & kPolytopeLive) == 0) {
            continue;
        }
        if (budget-- <= 0) {
            return false;
        }
        const phVector plane = tables.planes[tables.edges[face].plane];
        if (!AddSupportVertex(plane)) {
            return false;
        }
        const int32_t vertex = m_vertexCount - 1;
        const float gain = phDot4(plane, tables.difference[vertex]);
        if (gain >= kPolytopeTolerance) {
            if (!Expand(face, vertex, newFaces, newFaceCount)) {
                return false;
            }
            // A face lost to a full queue could leave the origin outside the
            // polytope unnoticed: the search gives up instead.
            for (int i = 0; i < newFaceCount; ++i) {
                if (!QueueFace(newFaces[i], false)) {
                    return false;
                }
            }
        } else if (plane.w > 0.0f) {
            return false;
        }
    }

    while (m_inside.Count() > 0) {
        const int32_t face = m_inside.Pop().edge;
        if ((tables.edges[face].flags & kPolytopeQueued) == 0) {
            continue;
        }
        tables.edges[face].flags &= ~kPolytopeQueued;
        if (budget-- <= 0) {
            return false;
        }
        const phVector plane = tables.planes[tables.edges[face].plane];
        if (!AddSupportVertex(plane)) {
            return Converge(face);
        }
        const int32_t vertex = m_vertexCount - 1;
        const float gain = phDot4(plane, tables.difference[vertex]);
        if (gain < kPolytopeTolerance) {
            return Converge(face);
        }
        if (!Expand(face, vertex, newFaces, newFaceCount)) {
            return Converge(face);
        }
        // With the inside queue full, the face at hand is the best answer.
        for (int i = 0; i < newFaceCount; ++i) {
            if (!QueueFace(newFaces[i], true)) {
                return Converge(face);
            }
        }
    }
    return false;
}

int phContactSolver::CalculateContactPoints(phContactPoint* out, int capacity,
                                            int32_t faceAttribute) {
    if (m_resultFace < 0 || capacity <= 0) {
        return 0;
    }
    PolytopeTables& tables = Tables();
    const phPolytopeEdge* edges = tables.edges;
    const phVector n = Direction(tables.planes[edges[m_resultFace].plane]);
    const phVector m = -n;
    const float depth = m_resultDistance;
    phVector sumA(0.0f, 0.0f, 0.0f, 1.0f);
    phVector sumB(0.0f, 0.0f, 0.0f, 1.0f);
    int32_t e = m_resultFace;
    for (int k = 0; k < 3; ++k, e = edges[e].next) {
        const phVector& sum = tables.sum[edges[e].vertex];
        const phVector& difference = tables.difference[edges[e].vertex];
        sumA += sum + difference;
        sumB += sum - difference;
    }
    const phVector p1 = sumA * (1.0f / 6.0f) + n * (0.5f * depth);
    const phVector p2 = sumB * (1.0f / 6.0f) + m * (0.5f * depth);

    const int room0 = SectionRoom(*m_shape0, 0);
    const int room1 = SectionRoom(*m_shape1, m_sectionRoom1);
    phScratchArray<phVector> section0(room0);
    phScratchArray<phVector> section1(room1);
    const int count0 = m_shape0->PlaneSection(m, p1, section0.Data());
    if (count0 <= 0) {
        return 0;
    }
    // A solid's section is the same whichever way the plane faces, but a mesh
    // face is a surface that keeps only what lies behind the plane: it is cut
    // with the normal pointing into the mesh, so that its vertices count.
    const phVector normal1 = m_shape1->GetKind() == kCollisionConvexPolygon ? n : m;
    const int count1 = m_shape1->PlaneSection(Direction(m_relative.UnrotateVector(normal1)),
                                              m_relative.UntransformVector(p2), section1.Data());
    if (count1 <= 0) {
        return 0;
    }
    const float penetration = std::max(0.0f, -(depth + kContactSkin));
    const phMatrix& matrix0 = m_side0.matrix;
    const phMatrix& matrix1 = m_side1.matrix;

    phVector single;
    if (count0 == 1) {
        single = matrix0.TransformVector(section0[0]);
    } else if (count1 == 1) {
        single = matrix1.TransformVector(section1[0]);
    } else if (count0 == 2 && count1 == 2) {
        phVector onA;
        phVector onB;
        ClosestPointsOfSegments(
            matrix0.TransformVector(section0[0]), matrix0.TransformVector(section0[1]),
            matrix1.TransformVector(section1[0]), matrix1.TransformVector(section1[1]), onA, onB);
        single = (onA + onB) * 0.5f;
    } else {
        for (int i = 0; i < count0; ++i) {
            section0[i] = matrix0.TransformVector(section0[i]);
        }
        for (int i = 0; i < count1; ++i) {
            section1[i] = matrix1.TransformVector(section1[i]);
        }
        return ClipContactPolygons(m_resultPlane, faceAttribute, penetration, count0,
                                   section0.Data(), count1, section1.Data(), out, capacity);
    }
    out[0].position = phVector(single.x, single.y, single.z, 1.0f);
    out[0].normal = m_resultPlane;
    out[0].penetration = penetration;
    out[0].faceAttribute = faceAttribute;
    return 1;
}

int CalculatePolytopeContacts(const phContactSide& side0, const phContactSide& side1,
                              phContactPoint* out, int capacity) {
    phContactSolver solver(side0, side1);
    if (!solver.CalculatePenetration() || !(solver.ResultDistance() < -kContactAcceptMargin)) {
        return 0;
    }
    return solver.CalculateContactPoints(out, capacity, 0);
}
