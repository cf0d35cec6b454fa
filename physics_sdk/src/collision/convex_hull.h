// phCollisionConvexHull: the convex shape built from a cloud of points. The
// constructor computes the hull itself, incrementally over a half-edge
// polyhedron, and keeps the result in the convex base's layout (vertices and
// half-edge table), so that volume, centre, face walk and volume below a
// plane work unchanged. It answers the support vertex by hill climbing over
// the half-edges, the plane section by walking the ring of cut faces and the
// ray cast against its face planes.
//
// A cloud that spans no volume (fewer than four points apart, all points on
// a line or in a plane) gives an empty hull: no vertices, volume 0, support
// vertex the origin, no sections, no ray hits.
#ifndef PHYSICS_SDK_COLLISION_CONVEX_HULL_H
#define PHYSICS_SDK_COLLISION_CONVEX_HULL_H

#include "collision/convex_collision.h"

#include <cstdint>

class phCollisionConvexHull : public phConvexCollision {
public:
    // pointCount points, each three floats at the start of strideInBytes
    // bytes (rounded down to a multiple of 4), in the shape's frame; the
    // offset matrix is only stored. Points that are not finite are ignored.
    phCollisionConvexHull(uint32_t signature, int pointCount, int strideInBytes,
                          const float* points, const phMatrix& offset);
    ~phCollisionConvexHull() override;

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    // The entry parameter into the hull, or 1.2 when the ray misses it or
    // starts inside it; the normal is the entered face's.
    float RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const override;
    uint32_t GetSignature() const override { return m_signature; }
    // A vertex of largest dir·vertex, w = 1; the origin for an empty hull.
    phVector SupportVertex(const phVector& dir) const override;
    // The points where the plane cuts the hull's edges, counter-clockwise
    // about the normal. points needs room for GetEdgeCount() / 2 points.
    int PlaneSection(const phVector& normal, const phVector& point,
                     phVector* points) const override;

    // The hull's box in its own frame (a single point at the origin for an
    // empty hull).
    const phVector& GetBoxMin() const { return m_boxMin; }
    const phVector& GetBoxMax() const { return m_boxMax; }
    int GetFaceCount() const { return m_faceCount; }

private:
    void Build(int pointCount, int strideInBytes, const float* points);
    void MakeFacePlanes();
    const phConvexEdge* FindCrossing(const float* dist) const;

    phVector m_boxMin;
    phVector m_boxMax;
    // Outward unit plane (n, w) of each face, for the ray cast.
    phVector* m_facePlanes = nullptr;
    int m_faceCount = 0;
};

// The signature of a hull of these points as the shape cache computes it
// before any hull exists: the kind, every coordinate quantised, then the
// offset matrix.
uint32_t phConvexHullSignature(int pointCount, int strideInBytes, const float* points,
                               const phMatrix& offset);

#endif
