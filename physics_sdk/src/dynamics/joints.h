// What the caller's joint kinds share beyond the two-body joint.
#ifndef PHYSICS_SDK_DYNAMICS_JOINTS_H
#define PHYSICS_SDK_DYNAMICS_JOINTS_H

// The hinge and the slider hold a second pair of points this far from the
// frame origins: far enough that the point rows also fix the turn.
inline constexpr float kJointArm = 16.0f;

#endif
