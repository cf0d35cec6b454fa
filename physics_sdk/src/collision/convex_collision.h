// phConvexCollision: the common base of the convex shapes. It keeps the
// shape's polyhedron (vertices and a half-edge table), its volume and centre
// of volume, and a user word, and gives the operations that work on any
// convex polyhedron: the box under a matrix by support queries, the face walk,
// the volume and centre, and the volume below a plane.
#ifndef PHYSICS_SDK_COLLISION_CONVEX_COLLISION_H
#define PHYSICS_SDK_COLLISION_CONVEX_COLLISION_H

#include "collision/collision.h"

#include <cstdint>

// One half-edge of a convex shape's polyhedron. A face is the loop reached by
// following next; the twin runs the other way along the same edge, so the
// twin's origin is this half-edge's end.
struct phConvexEdge {
    uint32_t mark;
    int32_t vertex;
    phConvexEdge* twin;
    phConvexEdge* next;
    phConvexEdge* prev;
};

class phConvexCollision : public phCollision {
public:
    phConvexCollision(uint32_t signature, const phMatrix& offset, int32_t kind);

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;
    // Frees the vertex and half-edge arrays (blocks of phMalloc).
    ~phConvexCollision() override;

    void SetBox(const phVector&, const phVector&) override {}
    uint32_t GetUserData() const override { return m_userData; }
    void SetUserData(uint32_t word) override { m_userData = word; }
    void CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const override;
    void ForEachPolygon(const phMatrix& globalMatrix, void* body,
                        phPolygonIterator iterator) override;
    float GetVolume() const override { return m_centre.w; }
    phVector VolumeBelowPlane(const phMatrix& matrix, phPlaneCallback callback,
                              void* context) override;

    // A point of the shape that maximises dir·point, w = 1 (dir in the shape's
    // frame, any length).
    virtual phVector SupportVertex(const phVector& dir) const;
    // Points of the shape's section by the plane through point with the given
    // normal, written to points; returns their count.
    virtual int PlaneSection(const phVector& normal, const phVector& point, phVector* points) const;

    // Computes the volume and the centre of volume from the faces (the
    // divergence theorem, carried to the first moments).
    void CalculateVolumeAndCentre();

    // Centre of volume in x, y, z and the volume in w.
    const phVector& GetCentreAndVolume() const { return m_centre; }
    const phVector* GetVertices() const { return m_vertices; }
    const phConvexEdge* GetEdges() const { return m_edges; }
    int GetVertexCount() const { return m_vertexCount; }
    int GetEdgeCount() const { return m_edgeCount; }

protected:
    // Hands the polyhedron's arrays to the shape, which frees them.
    void SetPolyhedron(phVector* vertices, int vertexCount, phConvexEdge* edges, int edgeCount);

    phVector m_centre;
    phVector* m_vertices = nullptr;
    phConvexEdge* m_edges = nullptr;
    uint16_t m_edgeCount = 0;
    uint16_t m_vertexCount = 0;
    uint32_t m_userData = 0;
};

// A fresh visit mark for a walk over half-edges: one more than the last mark
// any walk used.
uint32_t phNextVisitMark();

#endif
