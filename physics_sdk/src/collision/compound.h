// phCompoundCollision: several convex shapes (boxes, cylinders, convex
// hulls, each placed by its own offset matrix) carried by one body. The
// compound has no polyhedron of its own; its box, ray cast, face walk and
// volumes go child by child.
//
// A compound may be carried by several bodies at once, so it keeps nothing
// that depends on a body: a child's world matrix is always derived from the
// matrix of the body being asked about (child offset first, then the body's
// collision matrix), never stored in the shared shape. Compounds are not
// cached (their signature is 0): whoever releases one must not take a count
// of 1 for the cache's last reference.
#ifndef PHYSICS_SDK_COLLISION_COMPOUND_H
#define PHYSICS_SDK_COLLISION_COMPOUND_H

#include "collision/collision.h"
#include "collision/convex_collision.h"

#include <cstdint>

// Gives one reference to a shape back; the world does it through its shape
// cache, which removes a cached shape whose last user went.
class phCollisionReleaser {
public:
    virtual void ReleaseCollision(phCollision* shape) = 0;

protected:
    ~phCollisionReleaser() = default;
};

class phCompoundCollision : public phCollision {
public:
    // Takes one reference on every convex child; other children (static
    // meshes, compounds) are left out. The collision cache refuses a request
    // with such a child before it gets here, so that its caller sees the
    // error; leaving them out keeps a direct construction safe. The children
    // are given back through releaser, or released directly when it is null.
    phCompoundCollision(int childCount, phCollision* const* children,
                        phCollisionReleaser* releaser);
    // Gives each child's reference back.
    ~phCompoundCollision() override;

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    void SetBox(const phVector&, const phVector&) override {}
    // The world box of the local box under matrix.
    void CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const override;
    // Walks each child's faces, the child placed by its offset and globalMatrix.
    void ForEachPolygon(const phMatrix& globalMatrix, void* body,
                        phPolygonIterator iterator) override;
    // The nearest child hit; the normal in the compound's frame and the
    // attribute of the child that was hit. 1.2 when no child is hit.
    float RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const override;
    float GetVolume() const override;
    // Volume-weighted centre and the summed volume of the children's parts
    // below the plane, the compound placed by matrix.
    phVector VolumeBelowPlane(const phMatrix& matrix, phPlaneCallback callback,
                              void* context) override;
    uint32_t GetSignature() const override { return 0; }

    int GetChildCount() const { return m_childCount; }
    phConvexCollision* GetChild(int i) const { return m_children[i]; }
    // Child i's world matrix when the compound is placed by bodyMatrix.
    phMatrix GetChildMatrix(int i, const phMatrix& bodyMatrix) const;
    // Child i's world box when the compound is placed by bodyMatrix.
    void CalcChildAABB(int i, const phMatrix& bodyMatrix, phVector& boxMin, phVector& boxMax) const;

    // Union of the children's boxes in the compound's frame; it always holds
    // the origin.
    const phVector& GetLocalBoxMin() const { return m_localMin; }
    const phVector& GetLocalBoxMax() const { return m_localMax; }

private:
    int m_childCount = 0;
    phCollisionReleaser* m_releaser;
    phConvexCollision** m_children = nullptr;
    phVector m_localMin;
    phVector m_localMax;
};

#endif
