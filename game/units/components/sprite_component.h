#pragma once

#include <map>
#include <memory>

#include "engine/core/property_key.h"
#include "engine/sprites/sprite.h"
#include "engine/sprites/sprite_callback.h"
#include "game/units/component.h"
#include "game/units/components/sprite_state.h"

namespace orvel {
class Sound;
class SpriteManager;
}  // namespace orvel

// Gives a unit its animated look: a table of named looks (SpriteState) that
// the unit's messages choose between ("moving" on Move, "dying" on Die and
// so on), placed on the unit's body every frame. The end of a play-once
// animation moves on to the look that follows it, or removes a dead unit.
//
// The sprite comes from the unit's creation context, the level's sprite
// manager. A unit made without one (a world with no screen) keeps its looks
// and answers its messages the same, only nothing is drawn.
class SpriteComponent : public Component, public orvel::SpriteCallback {
public:
    SpriteComponent() = default;
    ~SpriteComponent() override;

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    void PreStep() override;
    void Update() override;
    void OnSetPosition(const orvel::Vector4& position) override;
    ComponentPtr Clone() const override;

    virtual void SetLayer(int16_t layer);
    virtual void SetVisible(bool visible);
    // Puts the sprite where the body of matrix `body` is, in pixels.
    virtual void PlaceSprite(const orvel::Matrix4& body);

    void OnLoop(orvel::SpriteAnimation& sprite) override;

    // Shows the look of that name; returns the name of the look shown before.
    PropertyKey SetState(PropertyKey name);
    SpriteStatePtr FindState(PropertyKey name) const;
    // The look shown now.
    PropertyKey GetStateName() const;
    const orvel::SpritePtr& GetSprite() const { return sprite; }
    bool IsDying() const { return dying; }

private:
    orvel::SpriteManager* GetSpriteManager() const;
    // Starts the current look on the sprite: animation, frame, rotation.
    void StartAnimation();
    void PlaceOnLayer(const SpriteState& state);
    void MakeStateSound();
    void Die();
    // Shows `name`, or `fallback` when that did not become current.
    void SetStateOr(PropertyKey name, PropertyKey fallback);
    void RemoveOwner();

    bool firstUpdate = true;
    bool hideIfStateNotFound = false;
    bool canFlip = true;
    bool dying = false;
    orvel::SpritePtr sprite;
    std::shared_ptr<orvel::Sound> sound;
    std::map<PropertyKey, SpriteStatePtr> states;
    SpriteStatePtr current;
    float savedFps = 0.0f;
    PropertyKey pendingState;
};
