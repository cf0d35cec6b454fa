// phCollisionBox: the rectangular box, the most used convex shape. It keeps
// its eight corners and a half-edge table shared by all boxes, so that every
// operation of the convex base (volume and centre, face walk, volume below a
// plane) works on it unchanged, and answers in closed form what a box can:
// support vertex, box under a matrix, ray cast, plane section and signature.
#ifndef PHYSICS_SDK_COLLISION_BOX_H
#define PHYSICS_SDK_COLLISION_BOX_H

#include "collision/convex_collision.h"

#include <cstdint>

// The largest section of a box by a plane: a hexagon.
inline constexpr int kBoxMaxSectionPoints = 6;

class phCollisionBox : public phConvexCollision {
public:
    // dx, dy, dz: the full sizes (their absolute values are taken).
    phCollisionBox(uint32_t signature, float dx, float dy, float dz, const phMatrix& offset);
    // Gives the shared half-edge table back; the base frees nothing of it.
    ~phCollisionBox() override;

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    void CalcAABB(const phMatrix& matrix, phVector& boxMin, phVector& boxMax) const override;
    // Slab clipping; the entry parameter, or 1.2 when the ray misses or starts
    // inside the box.
    float RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const override;
    uint32_t GetSignature() const override;
    // The corner in the direction's octant (a zero component selects +), w = 1.
    phVector SupportVertex(const phVector& dir) const override;
    // Up to kBoxMaxSectionPoints points, counter-clockwise about the normal;
    // 0 when the plane misses the box.
    int PlaneSection(const phVector& normal, const phVector& point,
                     phVector* points) const override;
    // The same section with the plane given as (n, w), n·p + w = 0.
    int SectionByPlane(const phVector& plane, phVector* points) const;

    // Half extents in x, y, z, w = 1.
    const phVector& GetHalfExtents() const { return m_half; }

private:
    phVector m_half;
    phVector m_corners[8];
};

// The signature of a box of full sizes dx, dy, dz under an offset matrix, as
// the shape cache computes it before any box exists; equal to GetSignature of
// that box.
uint32_t phBoxSignature(float dx, float dy, float dz, const phMatrix& offset);

// Number of boxes that use the shared half-edge table.
int phBoxEdgeTableUseCount();

#endif
