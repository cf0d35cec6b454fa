#pragma once

#include "engine/fuzzy/fuzzy_context.h"
#include "engine/physics/vector4.h"

namespace orvel {
class Properties;
}

// The fuzzy approach of an airship that flies itself: the computer's, and the
// player's when it flies to a clicked point or unit. It holds what the
// engines may do and the fuzzy sets that turn the offset from a target into
// the velocity wanted: "approachVelocity" of the distance context, scaled by
// the maximum velocities, and far from the target in x ("distantX") the
// cruising height in place of the target's. The components differ in how
// they reach that velocity, so the force is theirs to work out.
struct FuzzySteering {
    // Far from the target in x the airship holds this height.
    static constexpr float kCruisingHeight = 10.0f;

    // Reads the thrusts, the maximum velocities and the "distanceContext" and
    // "speedContext" of a component's entry; what is not given stays 0 or
    // empty.
    void Load(const orvel::Properties& entry);

    // How far, from 0 to 1, an offset of dx along x counts as distant.
    float Distant(float dx) const;

    // The velocity wanted at an offset of dx along x from a target at height
    // targetY, steering by a point at height y; `distant` is Distant(dx).
    orvel::Vector4 WantedVelocity(float dx, float targetY, float y, float distant) const;

    float verticalThrust = 0.0f;
    float horizontalThrust = 0.0f;
    float maxVerticalVelocity = 0.0f;
    float maxHorizontalVelocity = 0.0f;
    orvel::FuzzyContext distanceContext;
    orvel::FuzzyContext speedContext;
};
