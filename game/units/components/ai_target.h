#pragma once

#include <cstdint>
#include <memory>

#include "engine/physics/vector4.h"

class ComponentBody;

// What the opponent's airship steers for: a unit it follows, or a fixed
// point of the play field (world units) when the body is null. The body is
// held, so a target that dies stays readable until another replaces it.
struct AITarget {
    std::shared_ptr<ComponentBody> body;
    orvel::Vector4 position = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);

    static AITarget Point(const orvel::Vector4& point);
    static AITarget Of(const std::shared_ptr<ComponentBody>& unit);

    // The body's position, or the stored point.
    orvel::Vector4 GetPosition() const;
    // The body's linear velocity with w = 0; a point stands still, w = 1.
    orvel::Vector4 GetVelocity() const;
};

// A target that one planning block proposes, with its score.
struct AITask {
    AITarget target;
    float score = 0.0f;
};

// One planning block's wish for the magnet: on (1) or off (0), and how much
// it weighs.
struct MagnetVote {
    int32_t on = 0;
    float weight = 0.0f;
};
