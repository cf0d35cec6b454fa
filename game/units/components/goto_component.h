#pragma once

#include <vector>

#include "engine/physics/vector4.h"
#include "game/units/component.h"
#include "game/units/components/fuzzy_steering.h"
#include "game/units/components/goto_target.h"

class MagnetComponent;

// Flies the player's airship to a point, or to a unit that it follows:
// FuzzySteering gives the velocity wanted at the distance, and each update
// computes the force that reaches it in one frame, carrying the weight of
// airship and load. The force
// is limited by thrust (less lift with a heavy load) and costs fuel, paid in
// hit points.
//
// Hovering right above a target unit ("veryCloseX" and "closeY") it switches
// the magnet on; once the magnet holds the unit, it lifts it straight up.
// It reports its motion to its unit (Move when faster than "fast" of the
// speed context allows, Lose when it slows) and its fuel use in halves
// (SetArmed 1 for each half litre, else SetArmed 0).
//
// Nothing happens until a target is set; a null body makes it idle again.
class GotoComponent : public Component {
public:
    static constexpr float kDefaultLitresPerSecond = 0.01f;
    // The target tank or flak truck is approached this far to its side.
    static constexpr float kVehicleSideOffset = 0.5f;

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    void Update() override;
    void ApplyForces() override;
    ComponentPtr Clone() const override;

    virtual void SetTargetBody(orvel::Body* body);
    // A point of the play field in world units.
    virtual void SetTargetPoint(float x, float y);

    bool IsActive() const { return active; }
    // The controls make the steering idle when the player takes over.
    void SetActive(bool value) { active = value; }
    bool IsTargetBody() const { return targetIsBody; }
    bool IsMoving() const { return moving; }
    bool IsSuspended() const { return suspended != 0; }
    GotoTarget& GetTarget() { return gotoTarget; }
    const orvel::Vector4& GetForce() const { return force; }
    float GetDamageFuel() const { return damageFuel; }
    float GetPuffFuel() const { return puffFuel; }
    float GetLitresPerSecond() const { return litresPerSecond; }
    const FuzzySteering& GetSteering() const { return steering; }

private:
    void FindMagnet();
    bool MagnetHoldsNothing() const;
    bool MagnetIsOn() const;
    float CarriedMass();
    float Distance(PropertyKey set, float x) const;
    // The force that brings the velocity relative to the target to the
    // wanted one in `dt`, carrying the weight of airship and load.
    void Steer(const orvel::Vector4& target, const orvel::Vector4& targetVelocity,
               const orvel::Vector4& d, float D, float load, bool hover, float dt);
    void ReportMotion(float fast);
    void ReportFuel();
    void PayFuel();

    GotoTarget gotoTarget;
    bool targetIsBody = false;
    bool active = false;
    bool moving = false;
    MagnetComponent* magnet = nullptr;
    FuzzySteering steering;
    orvel::Vector4 force = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    int32_t suspended = 0;
    float damageFuel = 0.0f;
    float puffFuel = 0.0f;
    float litresPerSecond = kDefaultLitresPerSecond;
};
