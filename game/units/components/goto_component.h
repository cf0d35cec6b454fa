#pragma once

#include <vector>

#include "engine/fuzzy/fuzzy_context.h"
#include "engine/physics/vector4.h"
#include "game/units/component.h"
#include "game/units/components/goto_target.h"

class MagnetComponent;

// Flies the player's airship to a point, or to a unit that it follows, with
// fuzzy steering: the wanted velocity is a fuzzy function of the distance
// (set "approachVelocity" of the distance context, scaled by the maximum
// velocities), far away in x it climbs to a cruising height (set
// "distantX"), and each update computes the force that reaches the wanted
// velocity in one frame, carrying the weight of airship and load. The force
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
    // Far from the target in x the airship holds this height.
    static constexpr float kCruisingHeight = 10.0f;
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
    float GetVerticalThrust() const { return verticalThrust; }
    float GetHorizontalThrust() const { return horizontalThrust; }
    float GetMaxVerticalVelocity() const { return maxVerticalVelocity; }
    float GetMaxHorizontalVelocity() const { return maxHorizontalVelocity; }
    const orvel::FuzzyContext& GetDistanceContext() const { return distanceContext; }
    const orvel::FuzzyContext& GetSpeedContext() const { return speedContext; }

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
    float verticalThrust = 0.0f;
    float horizontalThrust = 0.0f;
    float maxVerticalVelocity = 0.0f;
    float maxHorizontalVelocity = 0.0f;
    orvel::FuzzyContext distanceContext;
    orvel::FuzzyContext speedContext;
    orvel::Vector4 force = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    int32_t suspended = 0;
    float damageFuel = 0.0f;
    float puffFuel = 0.0f;
    float litresPerSecond = kDefaultLitresPerSecond;
};
