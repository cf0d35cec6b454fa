// phCollision: the interface every collision shape offers to the body, the
// broadphase, the narrow phase and the contact code. A shape is
// reference-counted, placed in its body's frame by an offset matrix, and
// shared through the shape cache under its 32-bit signature.
#ifndef PHYSICS_SDK_COLLISION_COLLISION_H
#define PHYSICS_SDK_COLLISION_COLLISION_H

#include "core/matrix.h"
#include "core/ref.h"
#include "core/vector.h"

#include <cstdint>

// Shape kinds.
enum phCollisionKind : int32_t {
    kCollisionBox = 0,
    kCollisionCylinder = 5,
    kCollisionCompound = 6,
    kCollisionConvexHull = 7,
    kCollisionPolygonalSoup = 10,
    kCollisionConvexPolygon = 12,
};

// Flag bit 0: the offset matrix is not the identity.
inline constexpr uint32_t kCollisionFlagOffset = 1u;

// What a ray cast reports on a hit: the surface normal, and for mesh faces the
// face attribute.
struct phRayHit {
    phVector normal;
    int attribute = 0;
};

// Called by the face walk for each face: the body it was asked for, the
// vertex count and the vertices as packed x, y, z triples in world space.
typedef void (*phPolygonIterator)(void* body, int vertexCount, const float* vertices);

// Fills plane (n, w with n·p + w = 0, in world space) for a shape placed by
// matrix; used by the volume below a plane.
typedef void (*phPlaneCallback)(void* context, const phMatrix& matrix, phVector& plane);

class phCollision : public phRef {
public:
    phCollision(uint32_t signature, const phMatrix& offset, int32_t kind);

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;
    ~phCollision() override = default;

    virtual void SetBox(const phVector& p0, const phVector& p1) = 0;
    virtual uint32_t GetUserData() const { return 0; }
    virtual void SetUserData(uint32_t) {}
    // The shape's world box when it is placed by matrix.
    virtual void CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const = 0;
    // Walks the faces in world space, the shape placed by globalMatrix.
    virtual void ForEachPolygon(const phMatrix&, void*, phPolygonIterator) {}
    // Segment p0-p1 in the shape's frame; the parameter of the first hit along
    // p0 + t (p1 - p0), or 1 or more for no hit.
    virtual float RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const = 0;
    virtual float GetVolume() const = 0;
    // Centre (x, y, z, world space) and volume (w) of the part below a plane.
    virtual phVector VolumeBelowPlane(const phMatrix& matrix, phPlaneCallback callback,
                                      void* context) = 0;
    virtual phMatrix GetLocalFrame() const { return phMatrix(); }
    virtual void ReservedHook() {}
    virtual uint32_t GetSignature() const = 0;

    // Copies the matrix; flag bit 0 = not the identity (diagonal exactly 1.0
    // by bit pattern, every other entry equal to 0, so -0.0 counts as 0).
    void SetOffsetMatrix(const phMatrix& offset);
    const phMatrix& GetOffsetMatrix() const { return m_offset; }
    uint32_t GetFlags() const { return m_flags; }
    bool HasOffset() const { return (m_flags & kCollisionFlagOffset) != 0; }
    int32_t GetKind() const { return m_kind; }
    uint32_t GetStoredSignature() const { return m_signature; }

protected:
    phMatrix m_offset;
    uint32_t m_signature;
    int32_t m_kind;
    uint32_t m_flags = 0;
};

// n = (p1 - p0) x (p2 - p0), not normalised; w = -(n·p0).
phVector PlaneFromPoints(const phVector& p0, const phVector& p1, const phVector& p2);

// A plane given in world space, expressed in the frame of matrix.
phVector UntransformPlane(const phMatrix& matrix, const phVector& plane);

// Angular step for tessellating a circle of radius r: 2π / k with
// k = floor(256 r) kept within [128, 1024].
float AngleStep(float radius);

// x·1024 truncated toward zero to a 32-bit integer, for shape signatures.
// Values beyond the integer range give its ends; NaN gives 0.
int32_t QuantizeFloat(float x);

#endif
