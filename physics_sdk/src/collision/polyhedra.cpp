#include "collision/polyhedra.h"

#include "core/pool.h"
#include "core/scratch_stack.h"

#include <algorithm>
#include <cmath>

namespace {

using Node = phPolyhedra::EdgeTree::Node;

// All polyhedra share one node pool; it gives its pages back whenever the
// last half-edge of every polyhedra is gone.
phPool& EdgePool() {
    static phPool pool(sizeof(Node), phPool::ElementsPerPage(sizeof(Node), 4));
    return pool;
}

// True when two sides of the loop join the same two vertices, in either
// direction: sorted by their vertex pairs, such sides lie next to each other.
bool RepeatsSide(int count, const int32_t* indices) {
    phScratchArray<phEdgeKey> sides(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int32_t p = indices[(i + count - 1) % count];
        const int32_t c = indices[i];
        sides[i] = phMakeEdgeKey(std::min(p, c), std::max(p, c));
    }
    std::sort(sides.Data(), sides.Data() + count);
    return std::adjacent_find(sides.Data(), sides.Data() + count) != sides.Data() + count;
}

const float* Position(const float* vertices, int strideInBytes, int index) {
    return reinterpret_cast<const float*>(reinterpret_cast<const char*>(vertices) +
                                          static_cast<size_t>(index) * strideInBytes);
}

phVector PositionVector(const float* vertices, int strideInBytes, int index) {
    return phVector(Position(vertices, strideInBytes, index));
}

int32_t EndVertex(const phEdge* edge) { return edge->next->incidentVertex; }

}  // namespace

phPolyhedra::phPolyhedra() : m_edges(&EdgePool()) {}

phPolyhedra::~phPolyhedra() { m_edges.Clear(); }

phEdge* phPolyhedra::InsertEdge(int32_t a, int32_t b, int32_t face, uint64_t userData) {
    bool existed = false;
    const phEdge blank = {0, face, a, userData, nullptr, nullptr, nullptr};
    Node* node = m_edges.Insert(phMakeEdgeKey(a, b), blank, &existed);
    return existed ? nullptr : &node->info;
}

void phPolyhedra::RemoveEdgeNode(phEdge* edge) {
    if (m_cancelCandidates && edge->userData != 0) {
        // The user word refers to the half-edge's pending collapse candidate,
        // whose first member is the half-edge it stands for.
        *reinterpret_cast<phEdge**>(static_cast<uintptr_t>(edge->userData)) = nullptr;
    }
    m_edges.Erase(Node::FromInfo(edge));
}

phEdge* phPolyhedra::AddFace(int count, const int32_t* indices, const uint64_t* userData) {
    if (count < 3) {
        return nullptr;
    }
    for (int i = 0; i < count; ++i) {
        const int32_t p = indices[(i + count - 1) % count];
        const int32_t c = indices[i];
        if (p == c || FindEdge(p, c) != nullptr) {
            return nullptr;
        }
    }
    if (RepeatsSide(count, indices)) {
        return nullptr;
    }
    const int32_t face = ++m_faceId;
    phEdge* first = nullptr;
    phEdge* previous = nullptr;
    for (int i = 0; i < count; ++i) {
        const int origin = (i + count - 1) % count;
        phEdge* edge = InsertEdge(indices[origin], indices[i], face,
                                  userData != nullptr ? userData[origin] : 0);
        if (previous != nullptr) {
            previous->next = edge;
            edge->prev = previous;
        } else {
            first = edge;
        }
        previous = edge;
    }
    previous->next = first;
    first->prev = previous;
    return first;
}

phEdge* phPolyhedra::AddFace(int count, const int32_t* indices) {
    return AddFace(count, indices, nullptr);
}

phEdge* phPolyhedra::AddFace(int32_t i0, int32_t i1, int32_t i2) {
    const int32_t indices[3] = {i0, i1, i2};
    return AddFace(3, indices, nullptr);
}

void phPolyhedra::EndFace() {
    for (Node* node = m_edges.First(); node != nullptr; node = EdgeTree::Next(node)) {
        phEdge* edge = &node->info;
        if (edge->twin == nullptr) {
            phEdge* twin = FindEdge(EndVertex(edge), edge->incidentVertex);
            if (twin != nullptr) {
                edge->twin = twin;
                twin->twin = edge;
            }
        }
    }

    // Every half-edge still without a twin gets a boundary half-edge running
    // the other way.
    const size_t total = m_edges.GetCount();
    phScratchArray<phEdge*> boundary(total);
    size_t boundaryCount = 0;
    for (Node* node = m_edges.First(); node != nullptr; node = EdgeTree::Next(node)) {
        if (node->info.twin == nullptr) {
            boundary[boundaryCount++] = &node->info;
        }
    }
    for (size_t i = 0; i < boundaryCount; ++i) {
        phEdge* edge = boundary[i];
        phEdge* twin = InsertEdge(EndVertex(edge), edge->incidentVertex, -1, 0);
        twin->twin = edge;
        edge->twin = twin;
        boundary[i] = twin;
    }

    // Link the boundary half-edges into loops: the half-edge before b is the
    // boundary half-edge that ends where b starts, found by turning around
    // that vertex from b's twin.
    const size_t limit = m_edges.GetCount();
    for (size_t i = 0; i < boundaryCount; ++i) {
        phEdge* b = boundary[i];
        phEdge* h = b->twin;
        for (size_t steps = 0; h->next != nullptr && steps < limit; ++steps) {
            h = h->next->twin;
        }
        if (h->next == nullptr) {
            h->next = b;
            b->prev = h;
        }
    }
}

phEdge* phPolyhedra::FindEdge(int32_t a, int32_t b) const {
    Node* node = m_edges.Find(phMakeEdgeKey(a, b));
    return node == nullptr ? nullptr : &node->info;
}

phEdge* phPolyhedra::AddHalfEdge(int32_t a, int32_t b) { return InsertEdge(a, b, -1, 0); }

void phPolyhedra::DeleteEdge(phEdge* edge) {
    phEdge* twin = edge->twin;
    phEdge* ep = edge->prev;
    phEdge* en = edge->next;
    phEdge* tp = twin->prev;
    phEdge* tn = twin->next;
    if (en == twin && tn == edge) {
        // An isolated edge: nothing to join.
    } else if (tn == edge) {
        // twin runs straight into edge (a spike): close the gap around it.
        tp->next = en;
        en->prev = tp;
    } else if (en == twin) {
        ep->next = tn;
        tn->prev = ep;
    } else {
        ep->next = tn;
        tn->prev = ep;
        tp->next = en;
        en->prev = tp;
    }
    RemoveEdgeNode(twin);
    RemoveEdgeNode(edge);
}

int phPolyhedra::LoopLength(const phEdge* edge) const {
    const int limit = GetEdgeCount();
    int length = 0;
    const phEdge* h = edge;
    do {
        ++length;
        h = h->next;
    } while (h != edge && length < limit);
    return length;
}

bool phPolyhedra::SameLoop(const phEdge* a, const phEdge* b) const {
    const int limit = GetEdgeCount();
    const phEdge* h = a;
    int steps = 0;
    do {
        if (h == b) {
            return true;
        }
        h = h->next;
        ++steps;
    } while (h != a && steps < limit);
    return false;
}

void phPolyhedra::DeleteFace(phEdge* edge) {
    const int length = LoopLength(edge);
    phScratchArray<phEdge*> members(static_cast<size_t>(length));
    phEdge* h = edge;
    for (int i = 0; i < length; ++i) {
        h->incidentFace = -1;
        members[i] = h;
        h = h->next;
    }
    for (int i = 0; i < length; ++i) {
        phEdge* member = members[i];
        if (member == nullptr || member->twin->incidentFace != -1) {
            continue;
        }
        // Both sides of an edge of this face may be in the list: forget the
        // twin before its node goes.
        for (int j = i + 1; j < length; ++j) {
            if (members[j] == member->twin) {
                members[j] = nullptr;
            }
        }
        DeleteEdge(member);
    }
}

void phPolyhedra::AreaVector(const phEdge* face, const float* vertices, int strideInBytes,
                             double n[3]) const {
    const float* q0 = Position(vertices, strideInBytes, face->incidentVertex);
    n[0] = n[1] = n[2] = 0.0;
    const int limit = GetEdgeCount();
    int steps = 0;
    for (const phEdge* e = face->next; e->next != face && steps < limit; e = e->next, ++steps) {
        const float* qa = Position(vertices, strideInBytes, e->incidentVertex);
        const float* qb = Position(vertices, strideInBytes, e->next->incidentVertex);
        const double a[3] = {double(qa[0]) - q0[0], double(qa[1]) - q0[1], double(qa[2]) - q0[2]};
        const double b[3] = {double(qb[0]) - q0[0], double(qb[1]) - q0[1], double(qb[2]) - q0[2]};
        n[0] += a[1] * b[2] - a[2] * b[1];
        n[1] += a[2] * b[0] - a[0] * b[2];
        n[2] += a[0] * b[1] - a[1] * b[0];
    }
}

phVector phPolyhedra::FaceNormal(const phEdge* face, const float* vertices,
                                 int strideInBytes) const {
    double n[3];
    AreaVector(face, vertices, strideInBytes, n);
    return phVector(static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2]),
                    0.0f);
}

void phPolyhedra::GetStatistics(phPolyhedraStatistics& out) {
    out.loopCount = 0;
    out.edgeCount = 0;
    out.vertexCount = 0;
    out.vertexIndexRange = 0;
    out.boundaryLoops.Clear();
    for (Node* node = m_edges.First(); node != nullptr; node = EdgeTree::Next(node)) {
        node->info.mark = 0;
    }
    const int limit = GetEdgeCount();
    for (Node* node = m_edges.First(); node != nullptr; node = EdgeTree::Next(node)) {
        phEdge* edge = &node->info;
        ++out.edgeCount;
        if (edge->incidentVertex + 1 > out.vertexIndexRange) {
            out.vertexIndexRange = edge->incidentVertex + 1;
        }
        if ((edge->mark & 1) == 0) {
            ++out.loopCount;
            if (edge->incidentFace < 0) {
                out.boundaryLoops.Append(edge);
            }
            phEdge* h = edge;
            int steps = 0;
            do {
                h->mark |= 1;
                h = h->next;
            } while (h != edge && ++steps < limit);
        }
        if ((edge->mark & 2) == 0) {
            // The fan of half-edges leaving this vertex.
            ++out.vertexCount;
            phEdge* h = edge;
            int steps = 0;
            do {
                h->mark |= 2;
                h = h->prev->twin;
            } while (h != edge && ++steps < limit);
        }
        edge->mark |= 4;
    }
    if (m_mark < 8) {
        m_mark = 8;
    }
}

bool phPolyhedra::CollapseRefused(phEdge* e) const {
    phEdge* t = e->twin;
    phEdge* a = t->prev->twin;
    if (a == t->next || a == t) {
        return true;
    }
    phEdge* b = e->prev->twin;
    if (a == e->next && (b == t->next || b == t)) {
        return true;
    }
    // No neighbour k of the vanishing vertex i may already have an edge to
    // the surviving vertex j, except the third corners of triangles on either
    // side of the edge, whose edges are fused.
    const int32_t j = t->incidentVertex;
    const bool leftTriangle = e->next->next->next == e;
    const bool rightTriangle = t->next->next->next == t;
    const int32_t leftWing = leftTriangle ? e->prev->incidentVertex : -1;
    const int32_t rightWing = rightTriangle ? EndVertex(t->next) : -1;
    const int limit = GetEdgeCount();
    const phEdge* h = e;
    int steps = 0;
    do {
        const int32_t k = EndVertex(h);
        if (k != j && k != leftWing && k != rightWing &&
            (FindEdge(k, j) != nullptr || FindEdge(j, k) != nullptr)) {
            return true;
        }
        h = h->prev->twin;
    } while (h != e && ++steps < limit);
    return false;
}

phEdge* phPolyhedra::CollapseEdge(phEdge* e) {
    if (CollapseRefused(e)) {
        return nullptr;
    }
    phEdge* t = e->twin;
    const int32_t j = t->incidentVertex;
    const bool leftTriangle = e->next->next->next == e;
    const bool rightTriangle = t->next->next->next == t;

    // The half-edges that go: the edge itself and, on a triangle side, the
    // triangle's two other half-edges (their outer twins are fused).
    phEdge* removed[6] = {e, t, nullptr, nullptr, nullptr, nullptr};
    if (leftTriangle) {
        removed[2] = e->next;
        removed[3] = e->prev;
    }
    if (rightTriangle) {
        removed[4] = t->next;
        removed[5] = t->prev;
    }
    auto isRemoved = [&removed](const phEdge* h) {
        for (const phEdge* r : removed) {
            if (r == h) {
                return true;
            }
        }
        return false;
    };

    // Every half-edge leaving the vanishing vertex and its twin entering it,
    // gathered while the links are intact.
    const int limit = GetEdgeCount();
    phScratchArray<phEdge*> leaving(static_cast<size_t>(limit));
    phScratchArray<phEdge*> entering(static_cast<size_t>(limit));
    phScratchArray<int32_t> ends(static_cast<size_t>(limit));
    int fanCount = 0;
    {
        phEdge* h = e;
        do {
            leaving[fanCount] = h;
            entering[fanCount] = h->twin;
            ends[fanCount] = EndVertex(h);
            ++fanCount;
            h = h->prev->twin;
        } while (h != e && fanCount < limit);
    }

    phEdge* survivor;
    if (leftTriangle) {
        phEdge* outerA = e->next->twin;  // k -> j
        phEdge* outerB = e->prev->twin;  // i -> k, becomes j -> k
        outerA->twin = outerB;
        outerB->twin = outerA;
        survivor = outerB;
    } else {
        e->prev->next = e->next;
        e->next->prev = e->prev;
        survivor = e->next;
    }
    if (rightTriangle) {
        phEdge* outerC = t->next->twin;  // l -> i, becomes l -> j
        phEdge* outerD = t->prev->twin;  // j -> l
        outerC->twin = outerD;
        outerD->twin = outerC;
    } else {
        t->prev->next = t->next;
        t->next->prev = t->prev;
    }
    for (phEdge* r : removed) {
        if (r != nullptr) {
            RemoveEdgeNode(r);
        }
    }

    // Re-key what is left of the fan: each node leaves the tree and comes
    // back under its new key without moving, so every link to it stays valid.
    for (int f = 0; f < fanCount; ++f) {
        phEdge* out = leaving[f];
        if (!isRemoved(out)) {
            Node* node = Node::FromInfo(out);
            m_edges.Detach(node);
            out->incidentVertex = j;
            m_edges.Attach(node, phMakeEdgeKey(j, ends[f]));
        }
        phEdge* in = entering[f];
        if (!isRemoved(in)) {
            Node* node = Node::FromInfo(in);
            m_edges.Detach(node);
            m_edges.Attach(node, phMakeEdgeKey(in->incidentVertex, j));
        }
    }
    return survivor;
}

namespace {

struct EarCandidate {
    phEdge* corner;
    float value;
};

}  // namespace

phEdge* phPolyhedra::TriangulateFace(phEdge* face, const float* vertices, int strideInFloats) {
    const int strideInBytes = strideInFloats * static_cast<int>(sizeof(float));
    phVector normal = FaceNormal(face, vertices, strideInBytes);
    const float lengthSquared = phDot(normal, normal);
    if (!(lengthSquared >= 1e-12f)) {
        return face;
    }
    normal = normal * (1.0f / std::sqrt(lengthSquared));

    auto position = [&](const phEdge* h) {
        return PositionVector(vertices, strideInBytes, h->incidentVertex);
    };
    auto unitOrZero = [](const phVector& v) {
        const float length = std::fmax(phLength(v), 1e-10f);
        return v * (1.0f / length);
    };

    phEdge* current = face;
    int length = LoopLength(current);
    phScratchArray<EarCandidate> candidates(static_cast<size_t>(length));
    while (length > 3) {
        // Convexity of every corner.
        int candidateCount = 0;
        float smallest = 1e30f;
        phEdge* h = current;
        for (int c = 0; c < length; ++c, h = h->next) {
            const phVector p = position(h->prev);
            const phVector v = position(h);
            const phVector n = position(h->next);
            const float value = phDot(phCross(unitOrZero(v - p), unitOrZero(n - v)), normal);
            smallest = std::fmin(smallest, value);
            if (value >= 0.0f) {
                candidates[candidateCount++] = {h, value};
            }
        }
        if (candidateCount == 0) {
            return current;
        }
        // Largest convexity first.
        for (int a = 1; a < candidateCount; ++a) {
            const EarCandidate key = candidates[a];
            int b = a - 1;
            while (b >= 0 && candidates[b].value < key.value) {
                candidates[b + 1] = candidates[b];
                --b;
            }
            candidates[b + 1] = key;
        }
        phEdge* ear = candidates[0].corner;
        if (!(smallest > 0.1f)) {
            ear = nullptr;
            for (int c = 0; c < candidateCount && ear == nullptr; ++c) {
                phEdge* corner = candidates[c].corner;
                const int32_t pIndex = corner->prev->incidentVertex;
                const int32_t nIndex = EndVertex(corner);
                if (c == candidateCount - 1) {
                    ear = corner;  // every candidate failed: take the last one
                    break;
                }
                if (FindEdge(pIndex, nIndex) != nullptr) {
                    continue;
                }
                const phVector tri[3] = {position(corner->prev), position(corner),
                                         position(corner->next)};
                bool containsOther = false;
                const phEdge* q = corner->next->next;
                for (; q != corner->prev && !containsOther; q = q->next) {
                    const phVector point = position(q);
                    bool inside = true;
                    for (int side = 0; side < 3 && inside; ++side) {
                        const phVector& a = tri[side];
                        const phVector& b = tri[(side + 1) % 3];
                        inside = phDot(phCross(point - a, b - a), normal) < 0.05f;
                    }
                    containsOther = inside;
                }
                if (!containsOther) {
                    ear = corner;
                }
            }
        }

        // Split the ear (p, v, n) off with the diagonal n -> p; the rest of
        // the loop continues through p -> n.
        phEdge* earPrev = ear->prev;
        phEdge* earNext = ear->next;
        phEdge* restPrev = earPrev->prev;
        const int32_t pIndex = earPrev->incidentVertex;
        const int32_t nIndex = earNext->incidentVertex;
        phEdge* inEar = AddHalfEdge(nIndex, pIndex);
        if (inEar == nullptr) {
            return current;
        }
        phEdge* inRest = AddHalfEdge(pIndex, nIndex);
        if (inRest == nullptr) {
            RemoveEdgeNode(inEar);
            return current;
        }
        inEar->incidentFace = ear->incidentFace;
        inRest->incidentFace = ear->incidentFace;
        inEar->userData = earNext->userData;
        inRest->userData = earPrev->userData;
        inEar->twin = inRest;
        inRest->twin = inEar;
        ear->next = inEar;
        inEar->prev = ear;
        inEar->next = earPrev;
        earPrev->prev = inEar;
        restPrev->next = inRest;
        inRest->prev = restPrev;
        inRest->next = earNext;
        earNext->prev = inRest;
        current = inRest;
        --length;
    }
    return nullptr;
}

void phPolyhedra::Triangulate(const float* vertices, int strideInBytes, phPolyhedra* leftover) {
    const int strideInFloats = strideInBytes / static_cast<int>(sizeof(float));
    const uint32_t mark = static_cast<uint32_t>(IncrementMark());
    Node* node = m_edges.First();
    while (node != nullptr) {
        phEdge* edge = &node->info;
        if (edge->mark == mark || edge->incidentFace < 0) {
            node = EdgeTree::Next(node);
            continue;
        }
        const int length = LoopLength(edge);
        phEdge* failed = nullptr;
        if (length > 3) {
            failed = TriangulateFace(edge, vertices, strideInFloats);
        }
        if (failed == nullptr) {
            // Stamp the triangles of the face (the loop is one of them).
            phEdge* h = edge;
            int steps = 0;
            do {
                h->mark = mark;
                h = h->next;
            } while (h != edge && ++steps < GetEdgeCount());
            node = EdgeTree::Next(node);
            continue;
        }
        if (leftover != nullptr) {
            const int remaining = LoopLength(failed);
            phScratchArray<int32_t> indices(static_cast<size_t>(remaining));
            phScratchArray<uint64_t> userData(static_cast<size_t>(remaining));
            phEdge* h = failed;
            for (int i = 0; i < remaining; ++i, h = h->next) {
                indices[i] = h->incidentVertex;
                userData[i] = h->userData;
            }
            leftover->AddFace(remaining, indices.Data(), userData.Data());
        }
        DeleteFace(failed);
        node = m_edges.First();
    }
}

void phPolyhedra::RemoveSmallFaces(const float* vertices, int strideInBytes, float minArea) {
    const size_t room = m_edges.GetCount() / 2 + 100;
    phScratchArray<phEdge*> small(room);
    size_t count = 0;
    const uint32_t mark = static_cast<uint32_t>(IncrementMark());
    const double limit = 4.0 * double(minArea) * double(minArea);
    for (Node* node = m_edges.First(); node != nullptr && count < room;
         node = EdgeTree::Next(node)) {
        phEdge* edge = &node->info;
        if (edge->mark == mark || edge->incidentFace <= 0) {
            continue;
        }
        phEdge* h = edge;
        int steps = 0;
        do {
            h->mark = mark;
            h = h->next;
        } while (h != edge && ++steps < GetEdgeCount());
        const phVector area = FaceNormal(edge, vertices, strideInBytes);
        if (double(phDot(area, area)) < limit) {
            small[count++] = edge;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        DeleteFace(small[i]);
    }
}

namespace {

// Neighbouring faces whose normals agree are merged only when their corners
// lie this close to the first face's plane: on a gently curved surface the
// normals of a long run of faces stay within the angle tolerance of the
// first one while the surface bends away from its plane, and the merged
// polygon would no longer be flat.
constexpr double kCoplanarDistance = 1e-4;

// Stamps every half-edge of the face's loop.
void StampLoop(phEdge* face, uint32_t mark, int limit) {
    phEdge* h = face;
    int steps = 0;
    do {
        h->mark = mark;
        h = h->next;
    } while (h != face && ++steps < limit);
}

}  // namespace

bool phPolyhedra::MergeCoplanarFaces(const float* vertices, int strideInBytes) {
    const int limit = GetEdgeCount();
    const size_t room = m_edges.GetCount() / 2 + 100;
    phScratchArray<phEdgeKey> groups(room);
    size_t groupCount = 0;
    phScratchArray<phEdge*> pending(static_cast<size_t>(limit) + 1);
    // The faces of the group being merged, as the flood fill reaches them.
    phScratchArray<phEdge*> members(static_cast<size_t>(limit) + 1);
    size_t memberCount = 0;

    // The unit normal of a face from its area vector, taken in floats.
    auto unitOf = [](const double area[3]) {
        const phVector n(static_cast<float>(area[0]), static_cast<float>(area[1]),
                         static_cast<float>(area[2]), 0.0f);
        const float length = std::fmax(phLength(n), 1e-12f);
        return n * (1.0f / length);
    };
    auto unitNormal = [&](const phEdge* face) {
        double area[3];
        AreaVector(face, vertices, strideInBytes, area);
        return unitOf(area);
    };
    // The plane of a face in double precision (unnormalised normal, a point
    // of the face and the normal's length): in floats the normal is off by
    // enough to move a corner a few hundred units away out of the tolerance.
    struct Plane {
        double n[3];
        const float* origin;
        double length;
    };
    auto planeOf = [&](const phEdge* face) {
        Plane plane;
        AreaVector(face, vertices, strideInBytes, plane.n);
        plane.origin = Position(vertices, strideInBytes, face->incidentVertex);
        plane.length =
            std::sqrt(plane.n[0] * plane.n[0] + plane.n[1] * plane.n[1] + plane.n[2] * plane.n[2]);
        return plane;
    };
    // True when every corner of face lies within kCoplanarDistance of the
    // plane.
    auto nearPlane = [&](const phEdge* face, const Plane& plane) {
        const phEdge* h = face;
        int steps = 0;
        do {
            const float* q = Position(vertices, strideInBytes, h->incidentVertex);
            const double distance = (double(q[0]) - plane.origin[0]) * plane.n[0] +
                                    (double(q[1]) - plane.origin[1]) * plane.n[1] +
                                    (double(q[2]) - plane.origin[2]) * plane.n[2];
            if (!(std::fabs(distance) <= kCoplanarDistance * plane.length)) {
                return false;
            }
            h = h->next;
        } while (h != face && ++steps < limit);
        return true;
    };
    // Flood fill over twins from start into faces whose normal lies within
    // the coplanar tolerance of the start face's and whose corners lie in
    // its plane; every face reached is stamped, and listed in members when
    // record is set. Returns the number of faces in the group.
    auto floodFill = [&](phEdge* start, uint32_t mark, bool record) {
        const Plane plane = planeOf(start);
        const phVector normal = unitOf(plane.n);
        const bool degenerate = phDot(normal, normal) < 0.5f;
        StampLoop(start, mark, limit);
        memberCount = 0;
        if (record) {
            members[memberCount++] = start;
        }
        int faces = 1;
        if (degenerate) {
            return faces;
        }
        size_t top = 0;
        pending[top++] = start;
        while (top > 0) {
            phEdge* face = pending[--top];
            phEdge* h = face;
            int steps = 0;
            do {
                phEdge* neighbour = h->twin;
                // The corners are tested before the normal: on a curved
                // surface they turn most neighbours away sooner.
                if (neighbour->incidentFace > 0 && neighbour->mark != mark &&
                    nearPlane(neighbour, plane) &&
                    phDot(unitNormal(neighbour), normal) >= 0.9999f) {
                    StampLoop(neighbour, mark, limit);
                    ++faces;
                    if (record && memberCount <= static_cast<size_t>(limit)) {
                        members[memberCount++] = neighbour;
                    }
                    if (top < static_cast<size_t>(limit)) {
                        pending[top++] = neighbour;
                    }
                }
                h = h->next;
            } while (h != face && ++steps < limit);
        }
        return faces;
    };

    const uint32_t mark = static_cast<uint32_t>(IncrementMark());
    for (Node* node = m_edges.First(); node != nullptr && groupCount < room;
         node = EdgeTree::Next(node)) {
        phEdge* edge = &node->info;
        if (edge->mark == mark || edge->incidentFace <= 0) {
            continue;
        }
        if (floodFill(edge, mark, false) > 1) {
            groups[groupCount++] = node->key;
        }
    }

    phScratchArray<phEdgeKey> inner(static_cast<size_t>(limit));
    for (size_t g = 0; g < groupCount; ++g) {
        Node* startNode = m_edges.Find(groups[g]);
        if (startNode == nullptr || startNode->info.incidentFace <= 0) {
            continue;
        }
        phEdge* start = &startNode->info;
        const phVector normal = unitNormal(start);
        const uint32_t groupMark = static_cast<uint32_t>(IncrementMark());
        floodFill(start, groupMark, true);

        // The half-edges inside the group, one of each pair, gathered from
        // the group's faces and taken in key order.
        size_t innerCount = 0;
        for (size_t m = 0; m < memberCount; ++m) {
            const phEdge* h = members[m];
            int steps = 0;
            do {
                if (h->twin->mark == groupMark && h->incidentVertex < h->twin->incidentVertex &&
                    innerCount < static_cast<size_t>(limit)) {
                    inner[innerCount++] = phMakeEdgeKey(h->incidentVertex, EndVertex(h));
                }
                h = h->next;
            } while (h != members[m] && ++steps < limit);
        }
        std::sort(inner.Data(), inner.Data() + innerCount);
        auto direction = [&](int32_t from, int32_t to) {
            const phVector d = PositionVector(vertices, strideInBytes, to) -
                               PositionVector(vertices, strideInBytes, from);
            const float lengthSquared = phDot(d, d);
            return lengthSquared < 1e-12f ? phVector(0, 0, 0, 0)
                                          : d * (1.0f / std::sqrt(lengthSquared));
        };
        // The corner at vertex, between the vertex before it and the one
        // after it in the merged loop, stays convex.
        auto convex = [&](int32_t before, int32_t vertex, int32_t after) {
            const phVector d1 = direction(vertex, after);
            const phVector d2 = direction(vertex, before);
            return phDot(phCross(d1, d2), normal) > -0.005f;
        };
        // The corner of the loop that removing e (and its twin t) leaves
        // where the half-edge in enters a vertex and out leaves it. When in
        // and out are twins, the vertex is the tip of a spike: the loop would
        // run out to it and straight back, and the spike goes with e. The
        // corner judged is then the one at the spike's base, found by walking
        // back along the spike (which can run over several edges).
        auto cornerStaysConvex = [&](const phEdge* e, const phEdge* in, const phEdge* out) {
            const phEdge* t = e->twin;
            auto mergedNext = [&](const phEdge* h) {
                return h == e->prev ? t->next : h == t->prev ? e->next : h->next;
            };
            auto mergedPrev = [&](const phEdge* h) {
                return h == t->next ? e->prev : h == e->next ? t->prev : h->prev;
            };
            for (int steps = 0; out == in->twin; ++steps) {
                if (steps >= limit) {
                    return false;
                }
                in = mergedPrev(in);
                out = mergedNext(out);
            }
            return convex(in->incidentVertex, out->incidentVertex, EndVertex(out));
        };
        auto keyOf = [](const phEdge* h) { return phMakeEdgeKey(h->incidentVertex, EndVertex(h)); };
        // Removes the spike, if any, where the half-edge under inKey runs into
        // its twin under outKey, and the spikes behind it.
        auto removeSpike = [&](phEdgeKey inKey, phEdgeKey outKey) {
            for (int steps = 0; steps < limit; ++steps) {
                Node* inNode = m_edges.Find(inKey);
                Node* outNode = m_edges.Find(outKey);
                if (inNode == nullptr || outNode == nullptr) {
                    return;
                }
                phEdge* in = &inNode->info;
                phEdge* out = &outNode->info;
                if (out != in->twin || in->next != out || in->prev == out) {
                    return;
                }
                inKey = keyOf(in->prev);
                outKey = keyOf(out->next);
                DeleteEdge(in);
            }
        };
        // Removes the inner edge under key when the corners at both of its
        // ends stay convex, and the spikes that this leaves.
        auto removeInner = [&](phEdgeKey key) {
            Node* n = m_edges.Find(key);
            if (n == nullptr) {
                return;
            }
            phEdge* e = &n->info;
            phEdge* t = e->twin;
            // Removing an edge with the same loop on both sides would split
            // that loop in two; only spikes (t straight into e) may go.
            if (SameLoop(e, t) && e->next != t && t->next != e) {
                return;
            }
            if (!cornerStaysConvex(e, e->prev, t->next) ||
                !cornerStaysConvex(e, t->prev, e->next)) {
                return;
            }
            const phEdgeKey ends[4] = {keyOf(e->prev), keyOf(t->next), keyOf(t->prev),
                                       keyOf(e->next)};
            DeleteEdge(e);
            removeSpike(ends[0], ends[1]);
            removeSpike(ends[2], ends[3]);
        };
        for (size_t i = 0; i < innerCount; ++i) {
            removeInner(inner[i]);
        }
    }
    return groupCount > 0;
}

void phPolyhedra::Optimize(const float* vertices, int strideInBytes, phPolyhedra* leftover) {
    Triangulate(vertices, strideInBytes, leftover);
    RemoveSmallFaces(vertices, strideInBytes, 1e-4f);
    SimplifyByQuadrics(vertices, strideInBytes, 0.001f);
    RemoveSmallFaces(vertices, strideInBytes, 1e-4f);
    for (int pass = 0; pass < 2; ++pass) {
        if (!MergeCoplanarFaces(vertices, strideInBytes)) {
            break;
        }
    }
}
