#include "collision/convex_hull.h"

#include "collision/box_section.h"
#include "collision/polyhedra.h"
#include "core/class_ids.h"
#include "core/hash.h"
#include "core/memory.h"
#include "core/scratch_stack.h"
#include "core/tree.h"

#include <cmath>
#include <cstring>
#include <new>

// Construction works in scaled coordinates: each axis is scaled so that the
// cloud's extent along it lies between 1 and 100 (clouds already in that
// range keep their size), coordinates are rounded to 1/2048 and points within
// 0.01 of each other are welded. The fixed thresholds below are in those
// units. The hull grows from a tetrahedron: a face that has a point farther
// than 0.001 outside it is replaced, together with every face that point
// sees, by a cone of triangles from the horizon to the point.

namespace {

constexpr float kNoHit = 1.2f;
constexpr float kWeldTolerance = 0.01f;
constexpr float kQuantum = 2048.0f;
// The tetrahedron's second point must lie farther than 0.1 from the first,
// its third off their line and its fourth off their plane by these amounts.
constexpr float kMinSpan = 0.01f;
// A point this far outside a face becomes a vertex.
constexpr float kOutsideDistance = 0.001f;
// A face is seen from a point that lies farther than this outside its
// plane; points within the band count as on the face.
constexpr float kVisibleTolerance = 1e-4f;
// The half-edge and vertex counts of the base are 16-bit.
constexpr int kMaxTableSize = 0xffff;

const phVector kProbeDirections[14] = {
    phVector(1, -1, 1, 0), phVector(-1, -1, -1, 0), phVector(1, -1, -1, 0), phVector(-1, 1, 1, 0),
    phVector(1, 1, -1, 0), phVector(-1, 1, -1, 0),  phVector(-1, -1, 1, 0), phVector(1, 1, 1, 0),
    phVector(0, -1, 0, 0), phVector(0, 1, 0, 0),    phVector(1, 0, 0, 0),   phVector(-1, 0, 0, 0),
    phVector(0, 0, -1, 0), phVector(0, 0, 1, 0)};

// A list of plain items in SDK memory that grows as needed.
template <class T>
class GrowList {
public:
    GrowList() = default;
    ~GrowList() { phFree(m_data); }
    GrowList(const GrowList&) = delete;
    GrowList& operator=(const GrowList&) = delete;

    void Push(const T& item) {
        if (m_count == m_capacity) {
            Grow();
        }
        m_data[m_count++] = item;
    }
    T Pop() { return m_data[--m_count]; }
    // Removes item i by moving the last item into its place.
    void RemoveSwap(int i) { m_data[i] = m_data[--m_count]; }
    void Clear() { m_count = 0; }
    void Truncate(int count) { m_count = count; }

    int Count() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    T& operator[](int i) { return m_data[i]; }
    const T& operator[](int i) const { return m_data[i]; }
    T* Data() { return m_data; }
    const T* Data() const { return m_data; }

private:
    void Grow() {
        const int capacity = (m_capacity == 0) ? 64 : m_capacity * 2;
        T* data = static_cast<T*>(phMalloc(sizeof(T) * static_cast<size_t>(capacity)));
        if (data == nullptr) {
            throw std::bad_alloc();
        }
        if (m_count > 0) {
            std::memcpy(static_cast<void*>(data), m_data, sizeof(T) * static_cast<size_t>(m_count));
        }
        phFree(m_data);
        m_data = data;
        m_capacity = capacity;
    }

    T* m_data = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

// The faces still to be examined, keyed by face id.
using WorkSet = phTree<int32_t, phEdge*>;

// The incremental hull over a polyhedra, in scaled coordinates.
class HullBuilder {
public:
    // Builds the hull of points (welded, scaled); false when they span no
    // volume.
    bool Build(GrowList<phVector>& points);

    phPolyhedra& GetPolyhedra() { return m_polyhedra; }
    const GrowList<phVector>& GetVertices() const { return m_vertices; }

private:
    bool StartTetrahedron(GrowList<phVector>& points);
    bool AddApex(phEdge* face, const phVector& apex);
    phVector UnitNormal(const phEdge* face) const;
    bool Sees(const phEdge* face, const phVector& apex) const;
    void MarkFace(phEdge* face, uint32_t mark) const;
    void InsertWork(phEdge* face);
    void RemoveWork(int32_t faceId);

    phPolyhedra m_polyhedra;
    GrowList<phVector> m_vertices;
    GrowList<uint32_t> m_vertexStamps;
    uint32_t m_stamp = 0;
    WorkSet m_work;
    int32_t m_nextFaceId = 0;
    GrowList<phEdge*> m_stack;
    GrowList<phEdge*> m_visibleFaces;
    GrowList<phEdge*> m_horizon;
    GrowList<phEdge*> m_interior;
    GrowList<phEdge*> m_coneUp;
    GrowList<phEdge*> m_coneDown;
};

// Index of the point of largest dot product with dir, or -1 for none.
int Support(const GrowList<phVector>& points, const phVector& dir) {
    int best = -1;
    float bestDot = -1e10f;
    for (int i = 0; i < points.Count(); ++i) {
        const float d = phDot(points[i], dir);
        if (d > bestDot) {
            bestDot = d;
            best = i;
        }
    }
    return best;
}

// Picks a point whose score exceeds minScore: first the support points of the
// probe directions from *probe on, then, when they run out, the point of
// highest score, so that a cloud that spans a volume is never taken for flat.
// Removes the point from the list. Returns false when no point qualifies.
template <class Score>
bool PickPoint(GrowList<phVector>& points, int* probe, float minScore, Score score,
               phVector& picked) {
    int chosen = -1;
    for (; *probe < 14 && chosen < 0; ++*probe) {
        const int i = Support(points, kProbeDirections[*probe]);
        if (i >= 0 && score(points[i]) > minScore) {
            chosen = i;
        }
    }
    if (chosen < 0) {
        float best = minScore;
        for (int i = 0; i < points.Count(); ++i) {
            const float s = score(points[i]);
            if (s > best) {
                best = s;
                chosen = i;
            }
        }
    }
    if (chosen < 0) {
        return false;
    }
    picked = points[chosen];
    points.RemoveSwap(chosen);
    return true;
}

bool HullBuilder::StartTetrahedron(GrowList<phVector>& points) {
    const int first = Support(points, kProbeDirections[0]);
    if (first < 0) {
        return false;
    }
    phVector p0 = points[first];
    points.RemoveSwap(first);
    int probe = 1;
    phVector p1;
    phVector p2;
    phVector p3;
    if (!PickPoint(
            points, &probe, kMinSpan, [&](const phVector& x) { return phLengthSquared(x - p0); },
            p1)) {
        return false;
    }
    if (!PickPoint(
            points, &probe, kMinSpan,
            [&](const phVector& x) { return phLengthSquared(phCross(x - p0, p1 - p0)); }, p2)) {
        return false;
    }
    const phVector n = phCross(p2 - p0, p1 - p0);
    if (!PickPoint(
            points, &probe, kMinSpan,
            [&](const phVector& x) { return std::fabs(phDot(x - p0, n)); }, p3)) {
        return false;
    }
    // The faces below are counter-clockwise from outside when the fourth
    // point lies behind the first face.
    if (phDot(phCross(p1 - p0, p2 - p0), p3 - p0) > 0.0f) {
        const phVector swap = p0;
        p0 = p1;
        p1 = swap;
    }
    const phVector corners[4] = {p0, p1, p2, p3};
    for (const phVector& corner : corners) {
        m_vertices.Push(corner);
        m_vertexStamps.Push(0);
    }
    const phEdge* faces[4] = {m_polyhedra.AddFace(0, 1, 2), m_polyhedra.AddFace(0, 2, 3),
                              m_polyhedra.AddFace(2, 1, 3), m_polyhedra.AddFace(1, 0, 3)};
    m_polyhedra.EndFace();
    m_nextFaceId = m_polyhedra.GetFaceIdCounter() + 1;
    for (const phEdge* face : faces) {
        InsertWork(const_cast<phEdge*>(face));
    }
    return true;
}

phVector HullBuilder::UnitNormal(const phEdge* face) const {
    const phVector n =
        m_polyhedra.FaceNormal(face, &m_vertices.Data()[0].x, static_cast<int>(sizeof(phVector)));
    return n * (1.0f / std::sqrt(phLengthSquared(n) + 1e-16f));
}

bool HullBuilder::Sees(const phEdge* face, const phVector& apex) const {
    const phVector n = UnitNormal(face);
    return phDot(n, apex - m_vertices[face->incidentVertex]) > kVisibleTolerance;
}

void HullBuilder::MarkFace(phEdge* face, uint32_t mark) const {
    phEdge* h = face;
    do {
        h->mark = mark;
        h = h->next;
    } while (h != face);
}

void HullBuilder::InsertWork(phEdge* face) { m_work.Insert(face->incidentFace, face); }

void HullBuilder::RemoveWork(int32_t faceId) {
    WorkSet::Node* node = m_work.Find(faceId);
    if (node != nullptr) {
        m_work.Erase(node);
    }
}

bool HullBuilder::AddApex(phEdge* start, const phVector& apex) {
    // Flood fill the faces that see the apex, starting from one that does.
    const uint32_t seen = static_cast<uint32_t>(m_polyhedra.IncrementMark());
    const uint32_t hidden = static_cast<uint32_t>(m_polyhedra.IncrementMark());
    m_stack.Clear();
    m_visibleFaces.Clear();
    MarkFace(start, seen);
    m_stack.Push(start);
    while (!m_stack.Empty()) {
        phEdge* face = m_stack.Pop();
        m_visibleFaces.Push(face);
        phEdge* h = face;
        do {
            phEdge* other = h->twin;
            if (other->mark != seen && other->mark != hidden) {
                if (Sees(other, apex)) {
                    MarkFace(other, seen);
                    m_stack.Push(other);
                } else {
                    MarkFace(other, hidden);
                }
            }
            h = h->next;
        } while (h != face);
    }

    // The horizon: the half-edges of the seen region whose twins lie in faces
    // that do not see the apex. It must be one simple loop, or the cone would
    // not close the hole; a point whose region is not a disc (possible only
    // for points within rounding of the hull) is left out.
    int horizonCount = 0;
    phEdge* first = nullptr;
    for (int i = 0; i < m_visibleFaces.Count(); ++i) {
        phEdge* h = m_visibleFaces[i];
        do {
            if (h->twin->mark == hidden) {
                ++horizonCount;
                first = (first == nullptr) ? h : first;
            }
            h = h->next;
        } while (h != m_visibleFaces[i]);
    }
    if (first == nullptr) {
        return false;
    }
    ++m_stamp;
    m_horizon.Clear();
    const int limit = m_polyhedra.GetEdgeCount();
    phEdge* h = first;
    do {
        if (m_vertexStamps[h->incidentVertex] == m_stamp || m_horizon.Count() == horizonCount) {
            return false;
        }
        m_vertexStamps[h->incidentVertex] = m_stamp;
        m_horizon.Push(h);
        // Turn about h's end through the seen faces to the next horizon edge.
        phEdge* g = h->next;
        for (int steps = 0; g->twin->mark == seen; ++steps) {
            if (steps > limit) {
                return false;
            }
            g = g->twin->next;
        }
        h = g;
    } while (h != first);
    if (m_horizon.Count() != horizonCount) {
        return false;
    }

    // Remove the seen faces: their interior edges go, their horizon edges stay
    // and become the bases of the cone.
    m_interior.Clear();
    for (int i = 0; i < m_visibleFaces.Count(); ++i) {
        phEdge* face = m_visibleFaces[i];
        RemoveWork(face->incidentFace);
        phEdge* e = face;
        do {
            if (e->twin->mark == seen &&
                reinterpret_cast<uintptr_t>(e) < reinterpret_cast<uintptr_t>(e->twin)) {
                m_interior.Push(e);
            }
            e = e->next;
        } while (e != face);
    }
    for (int i = 0; i < m_interior.Count(); ++i) {
        m_polyhedra.DeleteEdge(m_interior[i]);
    }

    // The cone: one triangle (a, b, apex) on every horizon edge a -> b.
    const int32_t k = m_vertices.Count();
    m_vertices.Push(apex);
    m_vertexStamps.Push(0);
    const int count = m_horizon.Count();
    m_coneUp.Clear();
    m_coneDown.Clear();
    for (int i = 0; i < count; ++i) {
        phEdge* base = m_horizon[i];
        const int32_t a = base->incidentVertex;
        const int32_t b = base->twin->incidentVertex;
        phEdge* up = m_polyhedra.AddHalfEdge(b, k);
        phEdge* down = m_polyhedra.AddHalfEdge(k, a);
        const int32_t id = m_nextFaceId++;
        base->next = up;
        up->prev = base;
        up->next = down;
        down->prev = up;
        down->next = base;
        base->prev = down;
        base->incidentFace = id;
        up->incidentFace = id;
        down->incidentFace = id;
        base->mark = 0;
        m_coneUp.Push(up);
        m_coneDown.Push(down);
    }
    for (int i = 0; i < count; ++i) {
        // b -> apex of one triangle and apex -> b of the next are twins.
        phEdge* up = m_coneUp[i];
        phEdge* down = m_coneDown[(i + 1) % count];
        up->twin = down;
        down->twin = up;
    }
    for (int i = 0; i < count; ++i) {
        InsertWork(m_horizon[i]);
    }
    return true;
}

bool HullBuilder::Build(GrowList<phVector>& points) {
    if (!StartTetrahedron(points)) {
        return false;
    }
    while (m_work.GetCount() > 0 && !points.Empty()) {
        WorkSet::Node* node = m_work.GetRoot();
        phEdge* face = node->info;
        m_work.Erase(node);
        const phVector n = UnitNormal(face);
        const int farthest = Support(points, n);
        if (farthest < 0 ||
            !(phDot(n, points[farthest] - m_vertices[face->incidentVertex]) > kOutsideDistance)) {
            continue;
        }
        const phVector apex = points[farthest];
        points.RemoveSwap(farthest);
        if (!AddApex(face, apex)) {
            // The face stays; the point is dropped.
            InsertWork(face);
        }
    }
    return true;
}

}  // namespace

phCollisionConvexHull::phCollisionConvexHull(uint32_t signature, int pointCount, int strideInBytes,
                                             const float* points, const phMatrix& offset)
    : phConvexCollision(signature, offset, kCollisionConvexHull),
      m_boxMin(0.0f, 0.0f, 0.0f, 1.0f),
      m_boxMax(0.0f, 0.0f, 0.0f, 1.0f) {
    Build(pointCount, strideInBytes, points);
    if (m_edgeCount == 0) {
        // An empty hull holds nothing: its volume is 0, not the base's
        // starting 1, or the volume below any plane would report a unit of
        // volume (and a body on it buoyancy) where there is no shape.
        m_centre = phVector(0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    CalculateVolumeAndCentre();
    MakeFacePlanes();
    CalcAABB(phMatrix(), m_boxMin, m_boxMax);
}

phCollisionConvexHull::~phCollisionConvexHull() { phFree(m_facePlanes); }

uint32_t phCollisionConvexHull::GetClassId() const { return kClassIdConvexHull; }

bool phCollisionConvexHull::IsClass(uint32_t classId) const {
    return classId == kClassIdConvexHull || phConvexCollision::IsClass(classId);
}

void phCollisionConvexHull::Build(int pointCount, int strideInBytes, const float* points) {
    const int stride = strideInBytes & ~3;
    if (pointCount <= 0 || points == nullptr || stride < 12) {
        return;
    }
    GrowList<phVector> cloud;
    for (int i = 0; i < pointCount; ++i) {
        const float* p = reinterpret_cast<const float*>(reinterpret_cast<const char*>(points) +
                                                        static_cast<size_t>(i) * stride);
        if (std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])) {
            cloud.Push(phVector(p[0], p[1], p[2], 1.0f));
        }
    }
    if (cloud.Count() < 4) {
        return;
    }

    // Per-axis scale: small extents are blown up to 1, large ones brought down
    // to 100, and extents between keep their size (scale 1). Scaling those by
    // their own extent instead would stretch them to up to 10000, outside the
    // range for which the fixed thresholds above are chosen.
    phVector low = cloud[0];
    phVector high = cloud[0];
    for (int i = 1; i < cloud.Count(); ++i) {
        low = phMin(low, cloud[i]);
        high = phMax(high, cloud[i]);
    }
    double scale[3];
    for (int a = 0; a < 3; ++a) {
        const double extent = static_cast<double>(high[a]) - static_cast<double>(low[a]);
        if (extent < 1.0) {
            scale[a] = 1.0 / (extent + 1e-6);
        } else if (extent > 100.0) {
            scale[a] = 100.0 / extent;
        } else {
            scale[a] = 1.0;
        }
    }
    for (int i = 0; i < cloud.Count(); ++i) {
        for (int a = 0; a < 3; ++a) {
            const double q = std::floor(scale[a] * cloud[i][a] * kQuantum) / kQuantum;
            cloud[i][a] = static_cast<float>(q);
            if (!std::isfinite(cloud[i][a])) {
                // A tiny extent far from the origin leaves the float range.
                return;
            }
        }
    }

    phScratchArray<int32_t> remap(static_cast<size_t>(cloud.Count()));
    const int unique = VertexListToIndexList(&cloud.Data()[0].x, static_cast<int>(sizeof(phVector)),
                                             12, 0, cloud.Count(), remap.Data(), kWeldTolerance);
    cloud.Truncate(unique);

    HullBuilder builder;
    if (!builder.Build(cloud)) {
        return;
    }

    // Compact: number the half-edges in the polyhedra's order and the vertices
    // in the order they are first met.
    phPolyhedra& polyhedra = builder.GetPolyhedra();
    const GrowList<phVector>& hullVertices = builder.GetVertices();
    const int edgeCount = polyhedra.GetEdgeCount();
    if (edgeCount > kMaxTableSize) {
        return;
    }
    phScratchArray<int32_t> newIndex(static_cast<size_t>(hullVertices.Count()));
    for (int i = 0; i < hullVertices.Count(); ++i) {
        newIndex[i] = -1;
    }
    int vertexCount = 0;
    int record = 0;
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        node->info.userData = static_cast<uint64_t>(record++);
        int32_t& index = newIndex[node->info.incidentVertex];
        if (index < 0) {
            index = vertexCount++;
        }
    }
    auto* vertices = static_cast<phVector*>(phMalloc(sizeof(phVector) * size_t(vertexCount)));
    auto* edges = static_cast<phConvexEdge*>(phMalloc(sizeof(phConvexEdge) * size_t(edgeCount)));
    if (vertices == nullptr || edges == nullptr) {
        phFree(vertices);
        phFree(edges);
        throw std::bad_alloc();
    }
    for (int i = 0; i < hullVertices.Count(); ++i) {
        if (newIndex[i] >= 0) {
            const phVector& v = hullVertices[i];
            vertices[newIndex[i]] =
                phVector(static_cast<float>(v.x / scale[0]), static_cast<float>(v.y / scale[1]),
                         static_cast<float>(v.z / scale[2]), 1.0f);
        }
    }
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        const phEdge& e = node->info;
        phConvexEdge& out = edges[e.userData];
        out.mark = 0;
        out.vertex = newIndex[e.incidentVertex];
        out.twin = &edges[e.twin->userData];
        out.next = &edges[e.next->userData];
        out.prev = &edges[e.prev->userData];
    }
    SetPolyhedron(vertices, vertexCount, edges, edgeCount);
}

void phCollisionConvexHull::MakeFacePlanes() {
    uint32_t mark = phNextVisitMark();
    for (int i = 0; i < m_edgeCount; ++i) {
        if (m_edges[i].mark == mark) {
            continue;
        }
        ++m_faceCount;
        phConvexEdge* e = &m_edges[i];
        do {
            e->mark = mark;
            e = e->next;
        } while (e != &m_edges[i]);
    }
    m_facePlanes = static_cast<phVector*>(phMalloc(sizeof(phVector) * size_t(m_faceCount)));
    if (m_facePlanes == nullptr) {
        throw std::bad_alloc();
    }
    mark = phNextVisitMark();
    int face = 0;
    for (int i = 0; i < m_edgeCount; ++i) {
        phConvexEdge* first = &m_edges[i];
        if (first->mark == mark) {
            continue;
        }
        const phVector& p0 = m_vertices[first->vertex];
        phVector n(0.0f, 0.0f, 0.0f, 0.0f);
        phConvexEdge* e = first;
        do {
            e->mark = mark;
            n += phCross(m_vertices[e->vertex] - p0, m_vertices[e->next->vertex] - p0);
            e = e->next;
        } while (e != first);
        n = phNormalize(n);
        n.w = -phDot(n, p0);
        m_facePlanes[face++] = n;
    }
}

phVector phCollisionConvexHull::SupportVertex(const phVector& dir) const {
    if (m_edgeCount == 0) {
        return phVector(0.0f, 0.0f, 0.0f, 1.0f);
    }
    // Climb from vertex to neighbour while the dot product grows; on a convex
    // polyhedron a vertex with no better neighbour is a best vertex.
    const phConvexEdge* leaving = &m_edges[0];
    int vertex = leaving->vertex;
    float best = phDot(dir, m_vertices[vertex]);
    for (int moves = 0; moves < m_vertexCount; ++moves) {
        const phConvexEdge* g = leaving;
        const phConvexEdge* better = nullptr;
        int turns = 0;
        do {
            const int end = g->twin->vertex;
            const float d = phDot(dir, m_vertices[end]);
            if (d > best) {
                best = d;
                vertex = end;
                better = g->twin;
                break;
            }
            g = g->twin->next;
        } while (g != leaving && ++turns < m_edgeCount);
        if (better == nullptr) {
            break;
        }
        leaving = better;
    }
    return m_vertices[vertex];
}

const phConvexEdge* phCollisionConvexHull::FindCrossing(const float* dist) const {
    // Climb (or descend) from the first vertex until a neighbour lies across
    // the plane; a climb that ends without crossing means the plane misses.
    const phConvexEdge* leaving = &m_edges[0];
    const bool above = dist[leaving->vertex] > 0.0f;
    for (int moves = 0; moves < m_vertexCount; ++moves) {
        const float here = dist[leaving->vertex];
        const phConvexEdge* g = leaving;
        const phConvexEdge* step = nullptr;
        int turns = 0;
        do {
            const float there = dist[g->twin->vertex];
            if (above ? there < here : there > here) {
                step = g;
                break;
            }
            g = g->twin->next;
        } while (g != leaving && ++turns < m_edgeCount);
        if (step == nullptr) {
            return nullptr;
        }
        const float there = dist[step->twin->vertex];
        if (above && there <= 0.0f) {
            return step;
        }
        if (!above && there > 0.0f) {
            return step->twin;
        }
        leaving = step->twin;
    }
    return nullptr;
}

int phCollisionConvexHull::PlaneSection(const phVector& normal, const phVector& point,
                                        phVector* points) const {
    if (m_edgeCount == 0) {
        return 0;
    }
    const float offset = -phDot(normal, point);
    phScratchArray<float> dist(static_cast<size_t>(m_vertexCount));
    for (int i = 0; i < m_vertexCount; ++i) {
        dist[i] = phDot(normal, m_vertices[i]) + offset;
    }
    const phConvexEdge* start = FindCrossing(dist.Data());
    if (start == nullptr) {
        return 0;
    }
    return phWalkSectionRing(start, m_vertices, dist.Data(), m_edgeCount, m_edgeCount / 2, points);
}

float phCollisionConvexHull::RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const {
    // Clip the segment by every face plane; it enters through the face of
    // the latest entry and must enter before it leaves. The hull's own faces
    // are used, not its box: a box would report hits in the empty corners
    // around the hull, and a ray cast or a pick would stop on nothing.
    float enter = 0.0f;
    float leave = 1.0f;
    bool hasHit = false;
    phVector normal;
    for (int i = 0; i < m_faceCount; ++i) {
        const phVector& plane = m_facePlanes[i];
        const float d0 = phDot(plane, p0) + plane.w;
        const float d1 = phDot(plane, p1) + plane.w;
        if (d0 > 0.0f) {
            if (d1 >= 0.0f) {
                return kNoHit;
            }
            const float t = d0 / (d0 - d1);
            if (t > enter) {
                enter = t;
                normal = plane;
                hasHit = true;
            }
        } else if (d1 > 0.0f) {
            leave = std::fmin(leave, d0 / (d0 - d1));
        }
    }
    if (!hasHit || enter > leave) {
        return kNoHit;
    }
    hit.normal = phVector(normal.x, normal.y, normal.z, 1.0f);
    hit.attribute = static_cast<int>(GetUserData());
    return enter;
}

uint32_t phConvexHullSignature(int pointCount, int strideInBytes, const float* points,
                               const phMatrix& offset) {
    const int32_t kind = kCollisionConvexHull;
    uint32_t h = phHash(0, &kind, sizeof(kind));
    const int stride = strideInBytes & ~3;
    for (int i = 0; i < pointCount && points != nullptr; ++i) {
        const float* p = reinterpret_cast<const float*>(reinterpret_cast<const char*>(points) +
                                                        static_cast<size_t>(i) * stride);
        const int32_t words[3] = {QuantizeFloat(p[0]), QuantizeFloat(p[1]), QuantizeFloat(p[2])};
        h = phHash(h, words, sizeof(words));
    }
    float matrix[16];
    offset.Store(matrix);
    return phHash(h, matrix, sizeof(matrix));
}
