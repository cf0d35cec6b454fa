#pragma once

#include "game/units/component.h"

// Keeps a flying unit (a balloon, an autogyro) hovering near its cruising
// altitude: each step it cancels the unit's weight and adds up to 2 % more
// lift below the altitude, or takes up to 2 % away above it, unless the unit
// already moves towards the altitude faster than 0.5 units a second. Each
// unit draws its own altitude around the cruising one, so that a flight of
// them spreads out.
//
// Sent into its fall to death, it gives no lift, passes through everything
// but the ground and dies there. A unit whose gravity is off (the dead) gets
// no lift either, so that a corpse stays where it died. Contact with the ground, or with an enemy
// building, can be made fatal.
class FloaterComponent : public Component {
public:
    // The bias below and above the altitude, and the speed towards the
    // altitude beyond which none is given.
    static constexpr float kBias = 0.02f;
    static constexpr float kSettleSpeed = 0.5f;

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void ApplyForces() override;
    ComponentPtr Clone() const override;

    float GetAltitude() const { return altitude; }
    float GetCruisingAltitude() const { return cruisingAltitude; }
    float GetCruisingAltitudeVariance() const { return cruisingAltitudeVariance; }
    bool IsFalling() const { return falling; }

private:
    void DrawAltitude();
    // The weight multiplier that lifts the unit towards its altitude.
    float LiftFactor(float y, float vy) const;

    float altitude = 0.0f;
    float cruisingAltitude = 0.0f;
    float cruisingAltitudeVariance = 0.0f;
    bool falling = false;
    bool terrainIsLethal = false;
    bool staticIsLethal = false;
};
