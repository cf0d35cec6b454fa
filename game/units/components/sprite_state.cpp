#include "game/units/components/sprite_state.h"

#include "engine/core/exception.h"

namespace {

const PropertyKey STATE("state");
const PropertyKey SPRITE("sprite");
const PropertyKey BAD_SPRITE("badSprite");
const PropertyKey SOUND("sound");
const PropertyKey SCALE("scale");
const PropertyKey SCALE_TO("scaleTo");
const PropertyKey OFFSET("offset");
const PropertyKey PRIORITY("priority");
const PropertyKey LIFE("life");
const PropertyKey FPS("fps");
const PropertyKey ROTATION("rotation");
const PropertyKey RANDOM_STARTING_FRAME("randomStartingFrame");
const PropertyKey RANDOM_STARTING_ROTATION("randomStartingRotation");
const PropertyKey NO_CHANGE_STATE("noChangeState");

const char* const WHERE = "sprite state";
const float RADIANS_PER_DEGREE = 0.017453292f;

PropertyKey RequiredName(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        throw orvel::ExceptionStringNotFound(key.GetName(), WHERE);
    }
    return PropertyKey::Intern(entry.GetString(key));
}

PropertyKey OptionalName(const orvel::Properties& entry, PropertyKey key) {
    return entry.HasProperty(key) ? PropertyKey::Intern(entry.GetString(key)) : PropertyKey();
}

bool OptionalBool(const orvel::Properties& entry, PropertyKey key) {
    return entry.HasProperty(key) && entry.GetBool(key);
}

}  // namespace

void SpriteState::Load(const orvel::Properties& entry, bool flipped) {
    state = RequiredName(entry, STATE);
    sprite = RequiredName(entry, SPRITE);
    badSprite = OptionalName(entry, BAD_SPRITE);
    sound = OptionalName(entry, SOUND);
    if (entry.HasProperty(SCALE)) {
        const orvel::PointF value = entry.GetPointF(SCALE);
        scale[0] = currentScale[0] = value.x;
        scale[1] = currentScale[1] = value.y;
    }
    if (entry.HasProperty(SCALE_TO)) {
        const orvel::PointF value = entry.GetPointF(SCALE_TO);
        scaleTo[0] = value.x;
        scaleTo[1] = value.y;
        hasScaleTo = true;
    }
    if (entry.HasProperty(OFFSET)) {
        const orvel::PointI value = entry.GetPoint(OFFSET);
        offset[0] = flipped ? -float(value.x) : float(value.x);
        offset[1] = float(value.y);
    }
    if (entry.HasProperty(PRIORITY)) {
        priority = static_cast<int16_t>(entry.GetInt(PRIORITY));
        hasPriority = true;
    }
    if (entry.HasProperty(LIFE)) {
        life = lifeRemaining = entry.GetFloat(LIFE);
        hasLife = true;
    }
    if (entry.HasProperty(FPS)) {
        fps = entry.GetFloat(FPS);
    }
    if (entry.HasProperty(ROTATION)) {
        rotation = orvel::Matrix4::RotationZ(entry.GetFloat(ROTATION) * RADIANS_PER_DEGREE);
        hasRotation = true;
    }
    randomStartingFrame = OptionalBool(entry, RANDOM_STARTING_FRAME);
    randomStartingRotation = OptionalBool(entry, RANDOM_STARTING_ROTATION);
    hasRotation = hasRotation || randomStartingRotation;
    noChangeState = OptionalBool(entry, NO_CHANGE_STATE);
}

PropertyKey SpriteState::SpriteFor(int team) const {
    return team == -1 && badSprite != PropertyKey() ? badSprite : sprite;
}
