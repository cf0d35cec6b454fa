// phPolyhedra: the SDK's editable polygon mesh. Half-edges live in a
// red-black tree under a 64-bit key made of their two vertex indices
// (end · 2^32 + origin), so the twin of a half-edge is found by swapping the
// two; twin, next and previous links make faces and boundary loops. Vertex
// positions are not stored: every geometric operation takes the caller's
// vertex array and its stride.
//
// A polyhedra is built with AddFace calls followed by one EndFace; the
// editing operations after that keep twins, loops and keys consistent.
#ifndef PHYSICS_SDK_COLLISION_POLYHEDRA_H
#define PHYSICS_SDK_COLLISION_POLYHEDRA_H

#include "core/list.h"
#include "core/tree.h"
#include "core/vector.h"

#include <cstdint>

// One half-edge.
struct phEdge {
    uint32_t mark;           // visit stamp, compared with the polyhedra's mark counter
    int32_t incidentFace;    // face on the left; -1 for a boundary half-edge
    int32_t incidentVertex;  // origin vertex
    uint64_t userData;       // per face corner; 0 when none was given
    phEdge* twin;
    phEdge* next;
    phEdge* prev;
};

using phEdgeKey = int64_t;

// Key of the half-edge from a to b.
inline phEdgeKey phMakeEdgeKey(int32_t a, int32_t b) {
    return (static_cast<phEdgeKey>(b) << 32) + static_cast<phEdgeKey>(a);
}

struct phPolyhedraStatistics {
    int loopCount = 0;              // faces and boundary loops
    int edgeCount = 0;              // half-edges
    int vertexCount = 0;            // vertex fans
    int vertexIndexRange = 0;       // largest vertex index + 1
    phList<phEdge*> boundaryLoops;  // one half-edge of each boundary loop
};

class phPolyhedra {
public:
    using EdgeTree = phTree<phEdgeKey, phEdge>;

    phPolyhedra();
    ~phPolyhedra();

    phPolyhedra(const phPolyhedra&) = delete;
    phPolyhedra& operator=(const phPolyhedra&) = delete;

    // Adds a face through the given vertex indices (counter-clockwise seen
    // from outside) with a user word per corner. Returns a half-edge of the
    // new face, or null when the face is refused (fewer than three corners,
    // two equal consecutive indices, an edge used twice, or a half-edge the
    // polyhedra already has); a refused face leaves the polyhedra unchanged.
    phEdge* AddFace(int count, const int32_t* indices, const uint64_t* userData);
    phEdge* AddFace(int count, const int32_t* indices);
    phEdge* AddFace(int32_t i0, int32_t i1, int32_t i2);
    // Links twins and closes the boundaries with boundary loops.
    void EndFace();

    phEdge* FindEdge(int32_t a, int32_t b) const;
    // A new unlinked half-edge a->b, or null when there is one already.
    phEdge* AddHalfEdge(int32_t a, int32_t b);
    // Removes a half-edge and its twin, joining the loops on both sides.
    void DeleteEdge(phEdge* edge);
    // Turns the face of the half-edge into boundary; edges left with boundary
    // on both sides are removed.
    void DeleteFace(phEdge* edge);

    // Twice the face's area along its normal (w = 0), in double precision.
    phVector FaceNormal(const phEdge* face, const float* vertices, int strideInBytes) const;

    void GetStatistics(phPolyhedraStatistics& out);

    // Collapses the edge: its origin goes away and its end stays. Returns a
    // half-edge leaving the surviving vertex, or null when the collapse would
    // leave a doubled or dangling edge.
    phEdge* CollapseEdge(phEdge* edge);

    // Cuts the face into triangles by ears. Returns null on success, otherwise
    // a half-edge of the part left untriangulated.
    phEdge* TriangulateFace(phEdge* face, const float* vertices, int strideInFloats);
    // Triangulates every face; a face that cannot be triangulated is removed,
    // and copied into leftover first when one is given.
    void Triangulate(const float* vertices, int strideInBytes, phPolyhedra* leftover);
    // Removes every face whose area is below minArea.
    void RemoveSmallFaces(const float* vertices, int strideInBytes, float minArea);
    // One pass that merges groups of coplanar neighbouring faces (normals
    // within the angle tolerance, corners in the plane of the group's first
    // face) into flat convex polygons; an interior vertex whose faces all
    // merge leaves no spike behind. True when any group was found.
    bool MergeCoplanarFaces(const float* vertices, int strideInBytes);
    // Collapses edges whose quadric error stays below the tolerance.
    void SimplifyByQuadrics(const float* vertices, int strideInBytes, float tolerance);
    // Triangulate, remove small faces, simplify, remove small faces again and
    // merge coplanar faces (up to two passes).
    void Optimize(const float* vertices, int strideInBytes, phPolyhedra* leftover);

    int GetEdgeCount() const { return static_cast<int>(m_edges.GetCount()); }
    EdgeTree::Node* First() const { return m_edges.First(); }
    static EdgeTree::Node* Next(EdgeTree::Node* node) { return EdgeTree::Next(node); }
    int32_t GetMark() const { return m_mark; }
    int32_t IncrementMark() { return ++m_mark; }
    int32_t GetFaceIdCounter() const { return m_faceId; }

private:
    friend class phQuadricSimplifier;

    // Twice the face's area along its normal, in double precision.
    void AreaVector(const phEdge* face, const float* vertices, int strideInBytes,
                    double n[3]) const;
    phEdge* InsertEdge(int32_t a, int32_t b, int32_t face, uint64_t userData);
    void RemoveEdgeNode(phEdge* edge);
    bool CollapseRefused(phEdge* edge) const;
    bool SameLoop(const phEdge* a, const phEdge* b) const;
    int LoopLength(const phEdge* edge) const;

    EdgeTree m_edges;
    int32_t m_mark = 0;
    int32_t m_faceId = 0;
    // Set while the quadric simplification runs: a removed half-edge's user
    // word then refers to a pending collapse candidate, which is cancelled.
    bool m_cancelCandidates = false;
};

// Welds a vertex list: vertices whose first compareBytes / 4 floats differ by
// less than tolerance + 0.0001 each and whose next extraBytes / 4 words are
// equal become one. The unique vertices are moved to the front of the array,
// indexListOut[i] receives the new index of input vertex i, and the number of
// unique vertices is returned (0 when the sizes are refused).
int VertexListToIndexList(float* vertices, int strideInBytes, int compareBytes, int extraBytes,
                          int count, int32_t* indexListOut, float tolerance);

#endif
