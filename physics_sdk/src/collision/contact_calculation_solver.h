// The penetration search of two convex shapes: an expanding polytope on their
// Minkowski difference, driven by the shapes' support vertices and worked in
// the first shape's frame, followed by the contact polygon of the face it
// converged on. The polytope lives in process-wide tables filled on first
// use; every table and queue is guarded, so a search that would overflow one
// ends with what it has.
#ifndef PHYSICS_SDK_COLLISION_CONTACT_CALCULATION_SOLVER_H
#define PHYSICS_SDK_COLLISION_CONTACT_CALCULATION_SOLVER_H

#include "collision/contact_calculation.h"
#include "core/matrix.h"
#include "core/vector.h"

#include <cstdint>

inline constexpr int kPolytopeCapacity = 4096;
inline constexpr int kFaceQueueCapacity = 2038;
inline constexpr int kPolytopeStackCapacity = 2048;
// Support evaluations shared by the outside and inside phases.
inline constexpr int kPolytopeBudget = 64;
// The search converges once a new support vertex gains less than this.
inline constexpr float kPolytopeTolerance = 1.0f / 2048.0f;

// Flag bits of a polytope half-edge.
inline constexpr uint32_t kPolytopeLive = 1u;
inline constexpr uint32_t kPolytopeQueued = 2u;
inline constexpr uint32_t kPolytopeSeen = 4u;
inline constexpr uint32_t kPolytopeRemoved = 8u;

// A half-edge of the polytope: a face is a triangle of three of them that
// share one plane index. Links are table indices.
struct phPolytopeEdge {
    uint32_t flags;
    int32_t plane;
    int32_t vertex;
    int32_t twin;
    int32_t next;
    int32_t prev;
};

// A max-heap of faces keyed by a float, over a 1-based array whose slot 0
// holds a sentinel key. Push refuses an entry when the heap is full.
class phFaceHeap {
public:
    struct Entry {
        float key;
        int32_t edge;
    };

    // Uses storage of capacity + 1 entries that the caller keeps.
    void Attach(Entry* storage, int capacity);
    void Clear() { m_count = 0; }
    int Count() const { return m_count; }
    bool Full() const { return m_count >= m_capacity; }
    const Entry& Top() const { return m_entries[1]; }
    bool Push(float key, int32_t edge);
    Entry Pop();

private:
    Entry* m_entries = nullptr;
    int m_capacity = 0;
    int m_count = 0;
};

class phContactSolver {
public:
    // Two convex shapes: the second shape's matrix is taken into the first's
    // frame.
    phContactSolver(const phContactSide& side0, const phContactSide& side1);

    // Replaces the second shape (a mesh pair hands in its face shape, placed
    // by the mesh's matrix, for each face). sectionRoom is the room the
    // shape's plane section needs beyond what its polyhedron tells.
    void SetSecond(const phContactSide& side1, int sectionRoom = 0);

    // Runs the search; true when it converged on a face, with the result
    // distance below or at 0.
    bool CalculatePenetration();
    // The contact points of the converged face, at most capacity of them.
    int CalculateContactPoints(phContactPoint* out, int capacity, int32_t faceAttribute);

    float ResultDistance() const { return m_resultDistance; }
    const phVector& ResultPlane() const { return m_resultPlane; }
    int VertexCount() const { return m_vertexCount; }

private:
    // Adds a support pair along d (first shape's frame); false when the
    // vertex table is full.
    bool AddSupportVertex(const phVector& direction);
    // The plane of the face of edge at the next plane index; false for a
    // degenerate face (or a full plane table).
    bool CalculateFacePlane(int32_t edge);
    bool BuildStartingTetrahedron();
    // Replaces the faces that vertex sees, starting at face, by a fan of new
    // faces around it; the new faces' edges are listed in newFaces. False,
    // changing nothing, when the tables cannot hold the fan or the visible
    // region has no single horizon loop.
    bool Expand(int32_t face, int32_t vertex, int32_t* newFaces, int& newFaceCount);
    // Queues a new face by the side of it the origin lies on (outside faces
    // only when insideOnly is false); false when a full queue refused it.
    bool QueueFace(int32_t edge, bool insideOnly);
    bool PushInside(int32_t edge);
    bool Converge(int32_t edge);

    phContactSide m_side0;
    phContactSide m_side1;
    const phConvexCollision* m_shape0 = nullptr;
    const phConvexCollision* m_shape1 = nullptr;
    phMatrix m_relative;
    int m_sectionRoom1 = 0;
    int m_edgeCount = 0;
    int m_planeCount = 0;
    int m_vertexCount = 0;
    float m_resultDistance = 0.0f;
    phVector m_resultPlane;
    int32_t m_resultFace = -1;
    phFaceHeap m_outside;
    phFaceHeap m_inside;
};

// Lays the polytope tables, fills the starting tetrahedron and the search
// directions. Done once per process, on first use; calling it again (the
// world does when it is created) changes nothing.
void InitContactSolverTables();

// The 14 search directions of the starting tetrahedron as the search uses
// them (normalised and negated).
const phVector* phPolytopeSearchDirections();

#endif
