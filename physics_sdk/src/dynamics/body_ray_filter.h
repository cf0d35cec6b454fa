// The caller's ray filter as the grid's hit handler: each body hit goes to the
// filter as its PhysBody handle with the world normal, the hit's face
// attribute, the caller's user data and the parameter along the caller's
// segment; the filter's answer is the new bound.
#ifndef PHYSICS_SDK_DYNAMICS_BODY_RAY_FILTER_H
#define PHYSICS_SDK_DYNAMICS_BODY_RAY_FILTER_H

#include "collision/broadphase.h"
#include "dynamics/sdk_callbacks.h"

class phBodyRayFilter : public phBroadPhaseRayHandler {
public:
    phBodyRayFilter(PhysRayFilterCallback filter, void* userData)
        : m_filter(filter), m_userData(userData) {}

    // Every body in a world's grid is a rigid body.
    float OnHit(phBroadPhaseBody* body, const phVector& normal, int attribute, float t) override;

private:
    PhysRayFilterCallback m_filter;
    void* m_userData;
};

#endif
