// Quadric edge-collapse simplification of a phPolyhedra (after Garland and
// Heckbert). Each vertex carries the sum of the squared-distance quadrics of
// the planes around it: its faces, and for edges on a boundary a plane through
// the edge perpendicular to the face beside it, weighted ten times as a unit
// plane so that outlines hold their shape. Half-edges whose collapse costs
// less than the threshold wait in a heap, cheapest first; a collapse updates
// the quadrics around the surviving vertex and re-examines its edges.
//
// All of it runs in double precision on positions taken relative to the
// centre of the mesh's box. A cost p'Qp is a sum of terms as large as the
// squared distance of the planes from the origin, which cancel down to an
// error of the order of the squared tolerance (1e-5): in floats some ten
// units from the origin the rounding of those terms is already larger than
// that, and collapses that fold the surface look free.
#include "collision/polyhedra.h"

#include "core/memory.h"
#include "core/pool.h"
#include "core/scratch_stack.h"

#include <cmath>

namespace {

struct Vec3 {
    double x, y, z;
};

Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }

struct Quadric {
    // a², b², c², d², 2ab, 2ac, 2ad, 2bc, 2bd, 2cd of a sum of planes.
    double q[10];

    void Clear() {
        for (double& value : q) {
            value = 0.0;
        }
    }

    void AddPlane(double a, double b, double c, double d) {
        q[0] += a * a;
        q[1] += b * b;
        q[2] += c * c;
        q[3] += d * d;
        q[4] += 2.0 * a * b;
        q[5] += 2.0 * a * c;
        q[6] += 2.0 * a * d;
        q[7] += 2.0 * b * c;
        q[8] += 2.0 * b * d;
        q[9] += 2.0 * c * d;
    }

    // pᵀ Q p for p = (x, y, z, 1).
    double Evaluate(const Vec3& p) const {
        const double x = p.x;
        const double y = p.y;
        const double z = p.z;
        return q[0] * x * x + q[1] * y * y + q[2] * z * z + q[3] + q[4] * x * y + q[5] * x * z +
               q[6] * x + q[7] * y * z + q[8] * y + q[9] * z;
    }
};

// A pending collapse. The half-edge comes first: the polyhedra clears it
// through the half-edge's user word when it removes that half-edge.
struct Candidate {
    phEdge* edge;
    double cost;
};

}  // namespace

class phQuadricSimplifier {
public:
    phQuadricSimplifier(phPolyhedra& polyhedra, const float* vertices, int strideInBytes,
                        float tolerance)
        : m_polyhedra(polyhedra),
          m_threshold(double(tolerance) * double(tolerance) * 10.0),
          m_candidates(sizeof(Candidate), phPool::ElementsPerPage(sizeof(Candidate), 4)) {
        phPolyhedraStatistics statistics;
        m_polyhedra.GetStatistics(statistics);
        m_vertexRange = statistics.vertexIndexRange;
        m_positions = static_cast<Vec3*>(phMalloc(sizeof(Vec3) * (m_vertexRange + 1)));
        m_quadrics = static_cast<Quadric*>(phMalloc(sizeof(Quadric) * (m_vertexRange + 1)));
        if (m_positions == nullptr || m_quadrics == nullptr) {
            return;
        }
        auto read = [&](int i) {
            const float* p = reinterpret_cast<const float*>(
                reinterpret_cast<const char*>(vertices) + size_t(i) * strideInBytes);
            return Vec3{p[0], p[1], p[2]};
        };
        // The centre of the box of the vertices in use becomes the origin.
        Vec3 low = read(m_polyhedra.First()->info.incidentVertex);
        Vec3 high = low;
        for (auto* node = m_polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
            const Vec3 p = read(node->info.incidentVertex);
            low = {std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
            high = {std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
        }
        const Vec3 centre = {0.5 * (low.x + high.x), 0.5 * (low.y + high.y),
                             0.5 * (low.z + high.z)};
        for (int i = 0; i < m_vertexRange; ++i) {
            m_positions[i] = {0.0, 0.0, 0.0};
            m_quadrics[i].Clear();
        }
        for (auto* node = m_polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
            const int32_t i = node->info.incidentVertex;
            m_positions[i] = read(i) - centre;
        }
    }

    ~phQuadricSimplifier() {
        while (m_heapCount > 0) {
            m_candidates.Free(m_heap[--m_heapCount]);
        }
        phFree(m_heap);
        phFree(m_quadrics);
        phFree(m_positions);
        for (auto* node = m_polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
            node->info.userData = 0;
        }
    }

    void Run() {
        if (m_positions == nullptr || m_quadrics == nullptr) {
            return;
        }
        for (auto* node = m_polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
            node->info.userData = 0;
        }
        const uint32_t mark = static_cast<uint32_t>(m_polyhedra.IncrementMark());
        for (auto* node = m_polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
            phEdge* edge = &node->info;
            if (edge->mark != mark) {
                ComputeVertexQuadric(edge, mark);
            }
        }
        for (auto* node = m_polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
            Examine(&node->info);
        }

        m_polyhedra.m_cancelCandidates = true;
        while (m_heapCount > 0) {
            Candidate* candidate = PopCheapest();
            phEdge* edge = candidate->edge;
            const double popped = candidate->cost;
            m_candidates.Free(candidate);
            if (edge == nullptr) {
                continue;
            }
            edge->userData = 0;
            ComputeVertexQuadric(edge, 0);
            // A refusal shows in the cost only as the added threshold; when
            // the cost fell meanwhile, the refused cost can still come within
            // 1e-5 of the popped one, so the collapse test is asked on its
            // own.
            if (Refused(edge) || std::fabs(Error(edge) - popped) >= 1e-5) {
                continue;
            }
            phEdge* survivor = m_polyhedra.CollapseEdge(edge);
            if (survivor != nullptr) {
                Refresh(survivor);
            }
        }
        m_polyhedra.m_cancelCandidates = false;
    }

private:
    const Vec3& P(int vertex) const { return m_positions[vertex]; }

    int Limit() const { return m_polyhedra.GetEdgeCount(); }

    // Unit plane of the loop at half-edge h, through its origin, its end and
    // the origin of its previous half-edge.
    void FacePlane(const phEdge* h, double plane[4]) const {
        const Vec3& p0 = P(h->incidentVertex);
        Vec3 n = Cross(P(h->next->incidentVertex) - p0, P(h->prev->incidentVertex) - p0);
        double length = Length(n);
        if (length < 1e-12) {
            length = 1e-12;
        }
        n = {n.x / length, n.y / length, n.z / length};
        plane[0] = n.x;
        plane[1] = n.y;
        plane[2] = n.z;
        plane[3] = -Dot(n, p0);
    }

    // Adds the plane through the boundary half-edge b that stands
    // perpendicular to the face on its other side, ten times a unit plane.
    void AddBoundaryPlane(const phEdge* b, Quadric& quadric) const {
        double face[4];
        FacePlane(b->twin, face);
        const Vec3& u = P(b->incidentVertex);
        const Vec3 m = Cross(P(b->next->incidentVertex) - u, Vec3{face[0], face[1], face[2]});
        const double length = Length(m);
        if (length < 1e-12) {
            return;
        }
        const double scale = 10.0 / length;
        const Vec3 plane = {m.x * scale, m.y * scale, m.z * scale};
        quadric.AddPlane(plane.x, plane.y, plane.z, -Dot(plane, u));
    }

    // Quadric of the origin of edge from the planes around it; stamps the
    // half-edges leaving the vertex when mark is not 0.
    void ComputeVertexQuadric(phEdge* edge, uint32_t mark) {
        Quadric& quadric = m_quadrics[edge->incidentVertex];
        quadric.Clear();
        phEdge* h = edge;
        int steps = 0;
        do {
            if (mark != 0) {
                h->mark = mark;
            }
            if (h->incidentFace > 0) {
                double plane[4];
                FacePlane(h, plane);
                quadric.AddPlane(plane[0], plane[1], plane[2], plane[3]);
            } else {
                AddBoundaryPlane(h, quadric);
            }
            if (h->twin->incidentFace <= 0) {
                AddBoundaryPlane(h->twin, quadric);
            }
            h = h->prev->twin;
        } while (h != edge && ++steps < Limit());
    }

    // True when collapsing h (its origin onto its end) must not happen.
    bool Refused(const phEdge* h) const {
        const phEdge* t = h->twin;
        const Vec3& pi = P(h->incidentVertex);
        const Vec3& pj = P(t->incidentVertex);
        if (Dot(pj - pi, pj - pi) < 1e-6) {
            return true;
        }
        const bool bothReal = h->incidentFace > 0 && t->incidentFace > 0;
        if (bothReal) {
            double a[4];
            double b[4];
            FacePlane(h, a);
            FacePlane(t, b);
            if (a[0] * b[0] + a[1] * b[1] + a[2] * b[2] < -0.999) {
                return true;
            }
            // A vertex on a boundary never moves off an interior edge.
            const phEdge* g = h;
            int steps = 0;
            do {
                if (g->incidentFace <= 0 || g->twin->incidentFace <= 0) {
                    return true;
                }
                g = g->prev->twin;
            } while (g != h && ++steps < Limit());
        }
        // No other face around the vertex may turn over or shrink to nothing.
        bool anyOther = false;
        const phEdge* g = h;
        int steps = 0;
        do {
            if (g != h && g != t->next && g->incidentFace > 0) {
                anyOther = true;
                const Vec3& a = P(g->next->incidentVertex);
                const Vec3& b = P(g->prev->incidentVertex);
                const Vec3 n = Cross(a - pi, b - pi);
                const Vec3 moved = Cross(a - pj, b - pj);
                const double nLength = Length(n);
                const double movedLength = Length(moved);
                if (!(Dot(moved, n) > movedLength * nLength / 64.0) ||
                    !(16.0 * movedLength >= nLength)) {
                    return true;
                }
            }
            g = g->prev->twin;
        } while (g != h && ++steps < Limit());
        return !anyOther;
    }

    // Error of collapsing h: its end measured by the quadric of its origin.
    double Error(const phEdge* h) const {
        return m_quadrics[h->incidentVertex].Evaluate(P(h->twin->incidentVertex));
    }

    void Cancel(phEdge* h) {
        if (h->userData != 0) {
            reinterpret_cast<Candidate*>(static_cast<uintptr_t>(h->userData))->edge = nullptr;
            h->userData = 0;
        }
    }

    // Queues h when its collapse is cheap enough, replacing any earlier
    // candidate of it.
    void Examine(phEdge* h) {
        Cancel(h);
        // The cost is the error, plus the threshold when the collapse is
        // refused. An error that reaches the threshold alone is never queued,
        // so the refusal is not asked for it.
        const double error = Error(h);
        if (!(error < m_threshold)) {
            return;
        }
        const double cost = Refused(h) ? error + m_threshold : error;
        if (!(cost < m_threshold)) {
            return;
        }
        Candidate* candidate = static_cast<Candidate*>(m_candidates.Allocate());
        if (candidate == nullptr) {
            return;
        }
        candidate->edge = h;
        candidate->cost = cost;
        if (!Push(candidate)) {
            m_candidates.Free(candidate);
            return;
        }
        h->userData = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(candidate));
    }

    // After a collapse: new quadrics for the surviving vertex and its
    // neighbours, then every half-edge at the vertex is examined once.
    void Refresh(phEdge* survivor) {
        ComputeVertexQuadric(survivor, 0);
        phEdge* h = survivor;
        int steps = 0;
        do {
            ComputeVertexQuadric(h->twin, 0);
            h = h->prev->twin;
        } while (h != survivor && ++steps < Limit());
        const uint32_t mark = static_cast<uint32_t>(m_polyhedra.IncrementMark());
        h = survivor;
        steps = 0;
        do {
            if (h->mark != mark) {
                h->mark = mark;
                Examine(h);
            }
            if (h->twin->mark != mark) {
                h->twin->mark = mark;
                Examine(h->twin);
            }
            h = h->prev->twin;
        } while (h != survivor && ++steps < Limit());
    }

    bool Push(Candidate* candidate) {
        if (m_heapCount == m_heapCapacity) {
            const size_t capacity = m_heapCapacity == 0 ? 256 : m_heapCapacity * 2;
            Candidate** grown = static_cast<Candidate**>(phMalloc(sizeof(Candidate*) * capacity));
            if (grown == nullptr) {
                return false;
            }
            for (size_t i = 0; i < m_heapCount; ++i) {
                grown[i] = m_heap[i];
            }
            phFree(m_heap);
            m_heap = grown;
            m_heapCapacity = capacity;
        }
        size_t i = m_heapCount++;
        while (i > 0) {
            const size_t parent = (i - 1) / 2;
            if (!(candidate->cost < m_heap[parent]->cost)) {
                break;
            }
            m_heap[i] = m_heap[parent];
            i = parent;
        }
        m_heap[i] = candidate;
        return true;
    }

    Candidate* PopCheapest() {
        Candidate* top = m_heap[0];
        Candidate* last = m_heap[--m_heapCount];
        size_t i = 0;
        while (true) {
            size_t child = 2 * i + 1;
            if (child >= m_heapCount) {
                break;
            }
            if (child + 1 < m_heapCount && m_heap[child + 1]->cost < m_heap[child]->cost) {
                ++child;
            }
            if (!(m_heap[child]->cost < last->cost)) {
                break;
            }
            m_heap[i] = m_heap[child];
            i = child;
        }
        if (m_heapCount > 0) {
            m_heap[i] = last;
        }
        return top;
    }

    phPolyhedra& m_polyhedra;
    double m_threshold;
    phPool m_candidates;
    int m_vertexRange = 0;
    Vec3* m_positions = nullptr;
    Quadric* m_quadrics = nullptr;
    Candidate** m_heap = nullptr;
    size_t m_heapCount = 0;
    size_t m_heapCapacity = 0;
};

void phPolyhedra::SimplifyByQuadrics(const float* vertices, int strideInBytes, float tolerance) {
    if (m_edges.GetCount() == 0) {
        return;
    }
    phQuadricSimplifier simplifier(*this, vertices, strideInBytes, tolerance);
    simplifier.Run();
}
