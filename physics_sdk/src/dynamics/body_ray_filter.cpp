#include "dynamics/body_ray_filter.h"

#include "dynamics/rigid_body.h"

float phBodyRayFilter::OnHit(phBroadPhaseBody* body, const phVector& normal, int attribute,
                             float t) {
    const float worldNormal[4] = {normal.x, normal.y, normal.z, 1.0f};
    return m_filter(static_cast<phRigidBody*>(body)->Handle(), worldNormal, attribute, m_userData,
                    t);
}
