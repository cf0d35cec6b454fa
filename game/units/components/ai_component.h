#pragma once

#include <cstdint>

#include "engine/physics/vector4.h"
#include "game/units/component.h"
#include "game/units/components/ai_capabilities.h"
#include "game/units/components/ai_target.h"
#include "game/units/components/fuzzy_steering.h"

class MagnetComponent;

// Flies a computer-controlled airship. Each update it plans what to fetch,
// carry or drop (AIPlanner), takes the best-scoring task as its target and
// the heaviest magnet vote as the magnet's state, and computes the force
// that steers it: FuzzySteering gives the velocity wanted at the offset
// from the magnet point under the gondola to the target, and the force
// reaches it within a frame horizontally and carries the weight of the load
// (and of the airship itself while gravity pulls it) vertically.
// Each physics step applies that force, the horizontal part limited by
// horizontalThrust.
//
// An airship whose magnet has held nothing for kHuntAfterIdle seconds of
// game time hunts: it seeks enemy tanks anywhere on the field, not only
// within reach, so that armies that stand still out of its reach (below and
// above a rise, firing into it) do not hold a match for ever.
//
// The airship must carry a MagnetComponent. What a level lets the opponent
// do is read from the registry's "AI_COMPONENT_Capabilities" when the
// component is loaded.
class AIComponent : public Component {
public:
    // The magnet point lies this far (world units) under the airship.
    static constexpr float kMagnetDrop = 2.7f;
    // The vertical velocity is corrected this many times a second.
    static constexpr float kVerticalResponse = 4.0f;
    // Seconds of game time with an empty magnet before the airship hunts.
    static constexpr float kHuntAfterIdle = 60.0f;

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    // Two computer airships pass through each other: meeting head-on, each
    // pushing for the other's factory at the same cruising height, they
    // would hold each other there for good.
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override;
    void Update() override;
    void ApplyForces() override;
    ComponentPtr Clone() const override;

    const AITarget& GetTarget() const { return target; }
    const orvel::Vector4& GetForce() const { return force; }
    bool IsMagnetOn() const { return magnetOn != 0; }
    bool IsSuspended() const { return suspended != 0; }
    float GetPickupCooldown() const { return pickupCooldown; }
    uint32_t GetUpdateCounter() const { return updateCounter; }
    // Seconds of game time since the magnet last held something.
    float GetIdleTime() const { return idleTime; }
    const AICapabilities& GetCapabilities() const { return capabilities; }
    const AIWeights& GetWeights() const { return weights; }
    const FuzzySteering& GetSteering() const { return steering; }

private:
    void FindMagnet();
    float CarriedMass();
    // Plans and chooses; false when a side has no factory.
    bool Choose(const orvel::Vector4& magnetPoint, const orvel::Vector4& velocity);
    void Steer(const orvel::Vector4& targetPosition, const orvel::Vector4& targetVelocity,
               const orvel::Vector4& magnetPoint, float carried, float dt);

    AITarget target;
    MagnetComponent* magnet = nullptr;
    FuzzySteering steering;
    orvel::Vector4 force = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    int32_t magnetOn = 0;
    int32_t suspended = 0;
    float pickupCooldown = 0.0f;
    float idleTime = 0.0f;
    uint32_t updateCounter = 0;
    AIWeights weights;
    AICapabilities capabilities;
};
