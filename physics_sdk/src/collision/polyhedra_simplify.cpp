// Quadric edge-collapse simplification of a phPolyhedra (after Garland and
// Heckbert). Each vertex carries the sum of the squared-distance quadrics of
// the planes around it: its faces, and for edges on a boundary a plane through
// the edge perpendicular to the face beside it, weighted ten times as a unit
// plane so that outlines hold their shape. Half-edges whose collapse costs
// less than the threshold wait in a heap, cheapest first; a collapse updates
// the quadrics around the surviving vertex and re-examines its edges.
#include "collision/polyhedra.h"

#include "core/memory.h"
#include "core/pool.h"
#include "core/scratch_stack.h"

#include <cmath>

namespace {

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

    // pᵀ Q p for p = (x, y, z, 1), in floats.
    float Evaluate(const float* p) const {
        const float x = p[0];
        const float y = p[1];
        const float z = p[2];
        return float(q[0]) * x * x + float(q[1]) * y * y + float(q[2]) * z * z + float(q[3]) +
               float(q[4]) * x * y + float(q[5]) * x * z + float(q[6]) * x + float(q[7]) * y * z +
               float(q[8]) * y + float(q[9]) * z;
    }
};

// A pending collapse. The half-edge comes first: the polyhedra clears it
// through the half-edge's user word when it removes that half-edge.
struct Candidate {
    phEdge* edge;
    float cost;
};

}  // namespace

class phQuadricSimplifier {
public:
    phQuadricSimplifier(phPolyhedra& polyhedra, const float* vertices, int strideInBytes,
                        float tolerance)
        : m_polyhedra(polyhedra),
          m_threshold(tolerance * tolerance * 10.0f),
          m_candidates(sizeof(Candidate), phPool::ElementsPerPage(sizeof(Candidate), 4)) {
        phPolyhedraStatistics statistics;
        m_polyhedra.GetStatistics(statistics);
        m_vertexRange = statistics.vertexIndexRange;
        m_positions = static_cast<float*>(phMalloc(sizeof(float) * 3 * (m_vertexRange + 1)));
        m_quadrics = static_cast<Quadric*>(phMalloc(sizeof(Quadric) * (m_vertexRange + 1)));
        for (int i = 0; i < m_vertexRange; ++i) {
            const float* p = reinterpret_cast<const float*>(
                reinterpret_cast<const char*>(vertices) + size_t(i) * strideInBytes);
            m_positions[i * 3 + 0] = p[0];
            m_positions[i * 3 + 1] = p[1];
            m_positions[i * 3 + 2] = p[2];
            m_quadrics[i].Clear();
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
            const float popped = candidate->cost;
            m_candidates.Free(candidate);
            if (edge == nullptr) {
                continue;
            }
            edge->userData = 0;
            ComputeVertexQuadric(edge, 0);
            if (std::fabs(Cost(edge) - popped) >= 1e-5f) {
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
    const float* P(int vertex) const { return &m_positions[vertex * 3]; }

    phVector Vec(int vertex) const { return phVector(P(vertex)); }

    int Limit() const { return m_polyhedra.GetEdgeCount(); }

    // Unit plane of the loop at half-edge h, through its origin, its end and
    // the origin of its previous half-edge.
    void FacePlane(const phEdge* h, double plane[4]) const {
        const phVector p0 = Vec(h->incidentVertex);
        const phVector p1 = Vec(h->next->incidentVertex);
        const phVector p2 = Vec(h->prev->incidentVertex);
        const double e1[3] = {double(p1.x) - p0.x, double(p1.y) - p0.y, double(p1.z) - p0.z};
        const double e2[3] = {double(p2.x) - p0.x, double(p2.y) - p0.y, double(p2.z) - p0.z};
        double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                       e1[0] * e2[1] - e1[1] * e2[0]};
        double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length < 1e-12) {
            length = 1e-12;
        }
        for (double& c : n) {
            c /= length;
        }
        plane[0] = n[0];
        plane[1] = n[1];
        plane[2] = n[2];
        plane[3] = -(n[0] * p0.x + n[1] * p0.y + n[2] * p0.z);
    }

    // Adds the plane through the boundary half-edge b that stands
    // perpendicular to the face on its other side, ten times a unit plane.
    void AddBoundaryPlane(const phEdge* b, Quadric& quadric) const {
        double face[4];
        FacePlane(b->twin, face);
        const phVector u = Vec(b->incidentVertex);
        const phVector w = Vec(b->next->incidentVertex);
        const double d[3] = {double(w.x) - u.x, double(w.y) - u.y, double(w.z) - u.z};
        double m[3] = {d[1] * face[2] - d[2] * face[1], d[2] * face[0] - d[0] * face[2],
                       d[0] * face[1] - d[1] * face[0]};
        const double length = std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
        if (length < 1e-12) {
            return;
        }
        const double scale = 10.0 / length;
        for (double& c : m) {
            c *= scale;
        }
        quadric.AddPlane(m[0], m[1], m[2], -(m[0] * u.x + m[1] * u.y + m[2] * u.z));
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
        const int32_t i = h->incidentVertex;
        const int32_t j = t->incidentVertex;
        const phVector pi = Vec(i);
        const phVector pj = Vec(j);
        if (phLengthSquared(pj - pi) < 1e-6f) {
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
                const phVector a = Vec(g->next->incidentVertex);
                const phVector b = Vec(g->prev->incidentVertex);
                const phVector n = phCross(a - pi, b - pi);
                const phVector moved = phCross(a - pj, b - pj);
                const float nLength = phLength(n);
                const float movedLength = phLength(moved);
                if (!(phDot(moved, n) > movedLength * nLength / 64.0f) ||
                    !(16.0f * movedLength >= nLength)) {
                    return true;
                }
            }
            g = g->prev->twin;
        } while (g != h && ++steps < Limit());
        return !anyOther;
    }

    // Cost of collapsing h, plus the threshold when the collapse is refused.
    float Cost(const phEdge* h) const {
        float cost = m_quadrics[h->incidentVertex].Evaluate(P(h->twin->incidentVertex));
        if (Refused(h)) {
            cost += m_threshold;
        }
        return cost;
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
        const float cost = Cost(h);
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
    float m_threshold;
    phPool m_candidates;
    int m_vertexRange = 0;
    float* m_positions = nullptr;
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
