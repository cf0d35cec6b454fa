// phCollisionCylinder: a solid cylinder whose axis is the shape's x axis.
// It keeps two descriptions of itself. The convex base (volume and centre,
// volume below a plane) works on an octagonal prism of 16 vertices with a
// half-edge table shared by all cylinders. Its own answers are finer: the
// support vertex and the box use a regular polygon of 128 to 1024 sides, the
// ray cast is analytic, the plane section cuts the round surface, and the
// face walk draws 24 sides.
#ifndef PHYSICS_SDK_COLLISION_CYLINDER_H
#define PHYSICS_SDK_COLLISION_CYLINDER_H

#include "collision/convex_collision.h"

#include <cstdint>

// The largest section a cylinder returns: the octagon of a plane across its
// axis.
inline constexpr int kCylinderMaxSectionPoints = 8;

class phCollisionCylinder : public phConvexCollision {
public:
    // The absolute values of radius and height are taken.
    phCollisionCylinder(uint32_t signature, float radius, float height, const phMatrix& offset);
    // Gives the shared half-edge table back; the base frees nothing of it.
    ~phCollisionCylinder() override;

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    // Draws the cylinder with 24 side quads and two 24-sided caps.
    void ForEachPolygon(const phMatrix& globalMatrix, void* body,
                        phPolygonIterator iterator) override;
    // Analytic; the entry parameter, or 1.2 when the ray misses or starts
    // inside the cylinder.
    float RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const override;
    uint32_t GetSignature() const override;
    // A vertex of the fine polygon (one vertex at (y, z) = (0, r)) on the cap
    // that dir.x points to (-x when dir.x is 0), w = 1.
    phVector SupportVertex(const phVector& dir) const override;
    // normal: unit length. Up to kCylinderMaxSectionPoints points; 0 when the
    // plane misses the cylinder.
    int PlaneSection(const phVector& normal, const phVector& point,
                     phVector* points) const override;

    float GetRadius() const { return m_radius; }
    float GetHalfHeight() const { return m_halfHeight; }
    float GetAngleStep() const { return m_angleStep; }
    // Number of sides of the polygon that the support vertex uses.
    int GetSideCount() const;

private:
    bool ExitPoint(const phVector& p, const phVector& d, phVector& exit) const;
    phVector CapPoint(const phVector& p, const phVector& d) const;
    int SectionAcrossAxis(const phVector& normal, const phVector& point, phVector* points) const;
    int SectionAlongAxis(const phVector& normal, const phVector& point, phVector* points) const;
    int WriteCapChord(const phVector& q, const phVector& u, bool lowRootFirst,
                      phVector* points) const;

    float m_halfHeight;
    float m_radius;
    float m_cosStep;
    float m_sinStep;
    float m_angleStep;
    float m_invAngleStep;
    phVector m_prism[16];
};

// The signature of a cylinder as the shape cache computes it before any
// cylinder exists; equal to GetSignature of that cylinder.
uint32_t phCylinderSignature(float radius, float height, const phMatrix& offset);

// Eight unit directions 45 degrees apart in the plane x = 0:
// (0, cos(i·2π/8), sin(i·2π/8), 1). Filled on first use, so a cylinder works
// without a world.
const phVector* phCylinderSectionDirections();

// Number of cylinders that use the shared half-edge table.
int phCylinderEdgeTableUseCount();

#endif
