#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/physics/matrix4.h"

// One look of a unit: the animation (and the bad side's), the sound that
// starts with it, a scale or a scale ramp, an offset from the body, a draw
// layer, a life after which the look fades out and kills its unit, and how
// the animation starts.
struct SpriteState {
    PropertyKey state;
    PropertyKey sprite;
    PropertyKey badSprite;
    PropertyKey sound;
    float currentScale[2] = {1.0f, 1.0f};
    float scale[2] = {1.0f, 1.0f};
    float scaleTo[2] = {1.0f, 1.0f};
    float offset[2] = {0.0f, 0.0f};
    int16_t priority = 0;
    bool hasLife = false;
    bool hasScaleTo = false;
    bool randomStartingFrame = false;
    bool randomStartingRotation = false;
    bool hasRotation = false;
    bool noChangeState = false;
    bool hasPriority = false;
    float lifeRemaining = 0.0f;
    float life = 0.0f;
    float fps = -1.0f;
    orvel::Matrix4 rotation = orvel::Matrix4::Identity();

    // Reads one entry of a "States" list; `flipped` mirrors the offset.
    // Throws ExceptionStringNotFound for a missing "state" or "sprite".
    void Load(const orvel::Properties& entry, bool flipped);
    // The animation the unit shows on `team`.
    PropertyKey SpriteFor(int team) const;
};

typedef std::shared_ptr<SpriteState> SpriteStatePtr;
