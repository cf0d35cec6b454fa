#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/property_key.h"
#include "engine/core/watcher.h"
#include "engine/physics/joint.h"
#include "engine/physics/multi_sensor_body.h"
#include "engine/sound/sound_manager.h"
#include "game/units/component.h"

// The airship's magnet. Switched on (message Fire, or Activate), it picks up
// every unit that touches its contact sensor, up to maxStack, and holds each
// on a ball joint at the point of contact; it pulls the units inside its
// attract sensor towards the airship, carrying their weight. Switched off
// (message Stop or Die, or Release), it drops them all.
//
// Only units that feel gravity are taken: airships and buildings do not, so
// the magnet never takes its own airship or anything built into the ground.
// The thruster and the steering ask for the carried mass with message
// AddCarriedMass. A held unit that dies is dropped, one that goes away is
// forgotten.
class MagnetComponent : public Component, public orvel::Watcher {
public:
    static constexpr float kSensorDepth = 9.0f;
    static constexpr uint32_t kDefaultMaxStack = 4;

    MagnetComponent() = default;
    ~MagnetComponent() override;

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override;
    void Update() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnSetPosition(const orvel::Vector4& position) override;
    ComponentPtr Clone() const override;

    virtual void Activate() { active = true; }
    virtual void Release();
    virtual const std::vector<ComponentBody*>& GetHeldBodies() const { return heldBodies; }

    void OnWatchedEvent(orvel::Watched* watched) override;
    void OnWatchedGoingAway(orvel::Watched* watched) override;

    bool IsActive() const { return active; }
    float GetHeldMass() const { return heldMass; }
    float GetAttractForce() const { return attractForce; }
    uint32_t GetMaxStack() const { return maxStack; }
    const std::vector<PropertyKey>& GetUnitTypesDeflected() const { return unitTypesDeflected; }
    const std::shared_ptr<orvel::MultiSensorBody>& GetContactSensor() const {
        return contactSensor;
    }
    const std::shared_ptr<orvel::MultiSensorBody>& GetAttractSensor() const {
        return attractSensor;
    }

private:
    std::shared_ptr<orvel::MultiSensorBody> MakeSensor(const orvel::Properties& entry,
                                                       PropertyKey sensorKey,
                                                       PropertyKey groupKey) const;
    bool IsDeflected(PropertyKey type) const;
    bool IsHeld(const orvel::Body* body) const;
    // Gravity applies to it, it is not held and not of a deflected type.
    bool CanTake(orvel::Body* body);
    void PickUp(const orvel::SensedBody& record);
    void Attract(orvel::Body& body) const;
    // Takes the held unit at `index` off the lists; `dropped` tells it so.
    void LetGo(size_t index, bool dropped);
    // The index of the held unit whose watched part this is, or the count.
    size_t IndexOf(const orvel::Watched* watched) const;
    void DropTheDead();

    bool active = false;
    std::vector<std::shared_ptr<orvel::Joint>> joints;
    std::vector<ComponentBody*> heldBodies;
    // Beside each held unit: its watched part and its mass when taken, which
    // stay readable while the unit itself is going away.
    std::vector<orvel::Watched*> heldWatched;
    std::vector<float> heldMasses;
    std::vector<PropertyKey> unitTypesDeflected;
    float heldMass = 0.0f;
    float attractForce = 8.0f;
    std::shared_ptr<orvel::MultiSensorBody> contactSensor;
    std::shared_ptr<orvel::MultiSensorBody> attractSensor;
    uint32_t maxStack = kDefaultMaxStack;
    orvel::SoundPtr stickSound;
};
