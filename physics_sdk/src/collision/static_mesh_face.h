// phCollisionConvexPolygon: one face of a static mesh presented as a convex
// shape, so that the convex contact code can treat a mesh face like any
// other convex shape. The static mesh owns one of them and the contact code
// points it at each face in turn; it has no polyhedron of its own.
#ifndef PHYSICS_SDK_COLLISION_STATIC_MESH_FACE_H
#define PHYSICS_SDK_COLLISION_STATIC_MESH_FACE_H

#include "collision/convex_collision.h"

#include <cstdint>

// The face shape is never cached; it carries this constant signature.
inline constexpr uint32_t kConvexPolygonSignature = 0x12341234;

class phCollisionConvexPolygon : public phConvexCollision {
public:
    phCollisionConvexPolygon();

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    // Points the shape at a face: count vertex indices into vertices, whose
    // vertices lie strideInFloats floats apart. The arrays stay the caller's.
    void SetFace(int count, int strideInFloats, const int32_t* indices, const float* vertices);

    // A face has no inside for a segment to enter: always 0.
    float RayCast(const phVector&, const phVector&, phRayHit&) const override { return 0.0f; }
    uint32_t GetSignature() const override { return kConvexPolygonSignature; }
    // The face vertex with the largest dir·v (the first one on ties), w = 0.
    phVector SupportVertex(const phVector& dir) const override;
    // Walks the edges from the last vertex round to the first; each vertex on
    // or behind the plane (through point, with the given normal) is written
    // projected onto it, and so is each point where an edge crosses it.
    // Returns the number of points written (at most the vertex count + 1).
    int PlaneSection(const phVector& normal, const phVector& point,
                     phVector* points) const override;

    // True when the convex shape, placed in the face's frame by matrix, has
    // points strictly on both sides of the face's plane. When the shape is
    // not wholly behind the face, the face's normal is set to the reverse of
    // its outward normal (the side the contact code pushes toward).
    bool FaceStraddlesPlane(const phConvexCollision& shape, const phMatrix& matrix);

    int GetFaceVertexCount() const { return m_faceVertexCount; }
    const phVector& GetNormal() const { return m_normal; }
    void SetNormal(const phVector& normal) { m_normal = normal; }
    // Vertex i of the face.
    phVector FaceVertex(int i) const;

private:
    int32_t m_faceVertexCount = 0;
    int32_t m_strideInFloats = 3;
    const int32_t* m_faceIndices = nullptr;
    const float* m_faceVertices = nullptr;
    phVector m_normal;
};

// The part of the polygon on or in front of the plane (n·v + w >= 0),
// projected onto it: each such vertex projected, and each point where an
// edge (from a vertex's predecessor to the vertex) crosses the plane. Where
// the plane cuts the polygon steeply this is a sliver along the crossing;
// where it lies almost along the polygon, most of the polygon. Returns the
// number of points; out needs room for count + 1.
int PolygonFrontSection(const float* vertices, const int32_t* indices, int count,
                        int strideInFloats, const phVector& plane, phVector* out);

#endif
