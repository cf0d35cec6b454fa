#ifndef PHYSICS_SDK_COLLISION_BROADPHASE_BODY_H
#define PHYSICS_SDK_COLLISION_BROADPHASE_BODY_H

#include "core/vector.h"

class phBroadPhaseCell;

// What the grid needs of a body, and nothing more: its world box, the two facts
// the pair rule asks about, a ray test, and the cell the grid keeps it in. The
// rigid body implements it; so do the plain boxes of the grid's own tests.
class phBroadPhaseBody {
public:
    virtual ~phBroadPhaseBody() = default;

    // Awake bodies take part in pairs; two sleeping bodies are never paired.
    virtual bool IsActive() const = 0;
    // Static bodies (inverse mass 0) are never paired with each other.
    virtual bool IsStatic() const = 0;
    // Tests the world-space segment p0-p1 against the body. Returns the segment
    // parameter of the first hit, with the world-space normal and the hit's face
    // attribute; 1 or more means no hit.
    virtual float RayHit(const phVector& p0, const phVector& p1, phVector& normal,
                         int& attribute) const = 0;

    const phVector& BoxMin() const { return m_boxMin; }
    const phVector& BoxMax() const { return m_boxMax; }
    phBroadPhaseCell* Cell() const { return m_cell; }

protected:
    phVector m_boxMin;
    phVector m_boxMax;

private:
    friend class phBroadPhase;
    phBroadPhaseCell* m_cell = nullptr;
};

#endif
