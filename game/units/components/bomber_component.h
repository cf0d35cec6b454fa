#pragma once

#include <memory>

#include "engine/core/property_key.h"
#include "engine/core/watcher.h"
#include "engine/physics/vector4.h"
#include "engine/sound/sound_manager.h"
#include "game/units/component.h"

namespace orvel {
class Joint;
class MultiSensorBody;
}  // namespace orvel

// Lets a unit (the balloon bomb) carry one bomb hinged under it and drop it
// on the first enemy that passes below, or when the carrier dies. The bomb
// is a unit of its own in the world; the carrier watches it so that it
// forgets a bomb that goes away, and stops the drop sound when the bomb
// tells its end.
class BomberComponent : public Component, public orvel::Watcher {
public:
    // Reads "shotCreationPoint" (pixels) and "shotObjectName" (required),
    // "bombDroppedSound", and the sensor's "Geometry" struct with its
    // "materialGroupName"; makes the bomb, adds it to the world and hinges
    // it to the carrier.
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    void OnFreeze() override;
    void OnUnfreeze() override;
    void Update() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnSetPosition(const orvel::Vector4& position) override;
    void OnLeaveWorld() override;
    ComponentPtr Clone() const override;

    void OnWatchedEvent(orvel::Watched* watched) override;
    void OnWatchedGoingAway(orvel::Watched* watched) override;

    ComponentBody* GetBomb() const { return bomb; }
    const std::shared_ptr<orvel::Joint>& GetBombJoint() const { return bombJoint; }
    const std::shared_ptr<orvel::MultiSensorBody>& GetSensor() const { return sensor; }
    PropertyKey GetBombObjectName() const { return bombObjectName; }
    const orvel::Vector4& GetBombOffset() const { return bombOffset; }
    float GetBombMass() const { return bombMass; }
    bool IsDropped() const { return dropped; }
    // The bomb still hangs under the carrier.
    bool IsCarrying() const { return bomb != nullptr && !dropped; }

private:
    // Puts the new bomb under the carrier, adds it to the world and hinges
    // it halfway between the two.
    void Hang(const std::shared_ptr<ComponentBody>& newBomb);
    void Drop();
    void ForgetBomb();

    std::shared_ptr<orvel::MultiSensorBody> sensor;
    PropertyKey bombObjectName;
    orvel::Vector4 bombOffset = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    ComponentBody* bomb = nullptr;
    std::shared_ptr<orvel::Joint> bombJoint;
    float bombMass = 0.0f;
    bool dropped = false;
    orvel::SoundPtr dropSound;
};
