// phCollisionPolygonalSoup: a static polygon mesh as a collision shape. It
// owns no geometry itself: it is defined by a box, a user data pointer and
// three callbacks (collide, ray hit, destroy). For contacts the narrow phase
// asks it, through the collide callback, for the faces that overlap a box,
// and presents each face in turn as the shape's face shape to the convex
// contact code.
//
// The shape's signature (its cache key) is the hash of the kind, the
// quantised box, the three callback addresses as 64-bit words and a serial
// number that each mesh takes when it is made, so that two meshes never
// share a key even when their boxes and callbacks are equal.
#ifndef PHYSICS_SDK_COLLISION_STATIC_MESH_H
#define PHYSICS_SDK_COLLISION_STATIC_MESH_H

#include "collision/collision.h"
#include "collision/static_mesh_face.h"

#include <cstdint>

// What the collide callback is asked and what it answers.
struct phMeshCollideDesc {
    // The query box, in the mesh's frame.
    phVector boxMin;
    phVector boxMax;
    // The mesh's user data.
    void* userData = nullptr;
    // Filled by the callback: the faces found, the vertex array they index,
    // and per face its attribute, its vertex count and (one face after the
    // other) its vertex indices.
    int faceCount = 0;
    const float* vertices = nullptr;
    int vertexStrideInBytes = 0;
    const int32_t* faceAttributes = nullptr;
    const int32_t* faceVertexCounts = nullptr;
    const int32_t* faceIndices = nullptr;
    // Set by the caller; the second is the body that owns the mesh.
    void* callerWords[2] = {nullptr, nullptr};
    // Set only by the face walk: instead of collecting faces, the callback
    // hands every face of the mesh, placed by walkMatrix, to walkIterator
    // with the body in callerWords[1].
    phPolygonIterator walkIterator = nullptr;
    const phMatrix* walkMatrix = nullptr;
};

// What the ray-hit callback is asked (the segment, the best parameter so
// far and the mesh's user data) and what it answers (normal and attribute
// of the nearest hit).
struct phMeshRayRecord {
    phVector p0;
    phVector p1;
    float best = 2.0f;
    void* userData = nullptr;
    phVector normal;
    int attribute = 0;
};

typedef void (*phMeshCollideCallback)(phMeshCollideDesc& desc);
// Returns the parameter of the nearest hit along p0 + t (p1 - p0); 1 or more
// for none.
typedef float (*phMeshRayHitCallback)(phMeshRayRecord& record);
typedef void (*phMeshDestroyCallback)(void* userData);

// RayCast's answer for a mesh that has no ray-hit callback: no hit.
inline constexpr float kMeshRayMiss = 1.2f;

class phCollisionPolygonalSoup : public phCollision {
public:
    // The box is stored as given by SetBox; the signature is computed from it.
    phCollisionPolygonalSoup(const phVector& boxMin, const phVector& boxMax, void* userData,
                             phMeshCollideCallback collide, phMeshRayHitCallback rayHit,
                             phMeshDestroyCallback destroy);
    // Releases the face shape, then calls the destroy callback with the user
    // data when there is one.
    ~phCollisionPolygonalSoup() override;

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    // min and max per axis of the two corners, w = 1.
    void SetBox(const phVector& p0, const phVector& p1) override;
    void CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const override;
    // The face walk: the collide callback, asked with walkIterator set.
    void ForEachPolygon(const phMatrix& globalMatrix, void* body,
                        phPolygonIterator iterator) override;
    // Through the ray-hit callback; kMeshRayMiss without one.
    float RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const override;
    float GetVolume() const override { return 0.0f; }
    phVector VolumeBelowPlane(const phMatrix&, phPlaneCallback, void*) override {
        return phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }
    uint32_t GetSignature() const override;

    // Per axis the box's max where dir >= 0, else its min; w = 0.
    phVector SupportVertex(const phVector& dir) const;
    // Recomputes the signature after the box changed and stores it. Returns
    // true when it differs from the stored one (the shape cache must then
    // move the shape to its new key).
    bool UpdateSignature();

    // Asks the collide callback for the faces that overlap desc's box.
    void Collide(phMeshCollideDesc& desc) const;

    const phVector& GetBoxMin() const { return m_boxMin; }
    const phVector& GetBoxMax() const { return m_boxMax; }
    // The user data pointer (GetUserData's 32-bit word cannot hold it).
    void* GetMeshUserData() const { return m_userData; }
    phMeshCollideCallback GetCollideCallback() const { return m_collide; }
    phMeshRayHitCallback GetRayHitCallback() const { return m_rayHit; }
    phMeshDestroyCallback GetDestroyCallback() const { return m_destroy; }
    phCollisionConvexPolygon& GetFaceShape() const { return *m_face; }

private:
    phVector m_boxMin;
    phVector m_boxMax;
    void* m_userData;
    phMeshCollideCallback m_collide;
    phMeshDestroyCallback m_destroy;
    phMeshRayHitCallback m_rayHit;
    phCollisionConvexPolygon* m_face;
    uint32_t m_serial;
};

#endif
