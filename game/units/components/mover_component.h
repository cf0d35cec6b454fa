#pragma once

#include "engine/core/property_key.h"
#include "engine/physics/vector4.h"
#include "game/units/component.h"

// Drives a ground unit along its direction at a target speed: each physics
// step it pushes with the force that brings the velocity along the direction
// to that speed in one step. After a stop the speed climbs back to
// maxVelocity at 1 unit per second per second.
//
// Optional behaviours, each switched on by its key:
// - moveOnContact: the unit drives only while it touches a group (the
//   ground); in the air it gets no driving force.
// - stopOnContact: touching an enemy of a group (a building) stops it until
//   the contact ends.
// - dieOnImpact: falling faster than impactVelocity starts its fall to death,
//   and the landing on a group kills it.
// - moveOnUpright: upside down it dies; on its side it does not drive on.
class MoverComponent : public Component {
public:
    // How fast a stopped unit gets back to speed, in units per second per second.
    static constexpr float kAcceleration = 1.0f;

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void PreStep() override;
    void Update() override;
    void ApplyForces() override;
    ComponentPtr Clone() const override;

    float GetSpeed() const { return speed; }
    float GetMaxVelocity() const { return maxVelocity; }
    float GetImpactVelocity() const { return impactVelocity; }
    bool IsEnabled() const { return enabled; }
    bool IsMoving() const { return moving; }
    bool IsStopped() const { return stopped; }
    bool DiesOnImpact() const { return dieOnImpact; }
    const orvel::Vector4& GetDirection() const { return direction; }

private:
    // Stops for an enemy in the way, and drives on once it has gone.
    void HandleStopContact();
    // Whether the unit stands on its ground (starting it when it lands).
    bool HandleMoveContact();

    float speed = 0.0f;
    float maxVelocity = 0.0f;
    float impactVelocity = 0.0f;
    PropertyKey moveOnContactWithMG;
    PropertyKey stopOnContactWithEnemyMG;
    PropertyKey dieOnImpactWithMG;
    bool enabled = true;
    bool moveOnContact = false;
    bool stopOnContact = false;
    bool dieOnImpact = false;
    bool moveOnUpright = false;
    bool impactContact = false;
    bool moveContactNow = false;
    bool moving = false;
    bool stopContact = false;
    bool stopped = false;
    orvel::Body* contactBody = nullptr;
    orvel::Vector4 direction = orvel::Vector4(1.0f, 0.0f, 0.0f, 1.0f);
};
