#pragma once

#include "engine/sound/sound_manager.h"
#include "game/units/component.h"

// Flies an airship. A controller sets the four throttles (0 to 1) every
// frame; each physics step turns them into forces on the unit and burns
// fuel for them. Burnt fuel is charged to the unit's hit points in whole
// litres, so an airship's hit points are its fuel: running dry destroys it.
// While the fuel is low a warning plays, louder as the tank empties.
//
// Thrust is per unit of the airship's mass. Lifting also carries half the
// weight of what the magnet holds. Horizontal thrust never takes the speed
// past maxHorizontalVelocity in one step; vertical speed has no limit. The
// throttles act for one frame only: Update sets them back to 0.
class ThrusterComponent : public Component {
public:
    // The warning starts at this fraction of the fuel left.
    static constexpr float kLowFuel = 0.3f;

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    void PreStep() override;
    void Update() override;
    void ApplyForces() override;
    ComponentPtr Clone() const override;

    virtual void SetUpThrottle(float value) { upThrottle = value; }
    virtual void FullUpThrottle() { upThrottle = 1.0f; }
    virtual void SetDownThrottle(float value) { downThrottle = value; }
    virtual void FullDownThrottle() { downThrottle = 1.0f; }
    virtual void SetLeftThrottle(float value) { leftThrottle = value; }
    virtual void FullLeftThrottle() { leftThrottle = 1.0f; }
    virtual void SetRightThrottle(float value) { rightThrottle = value; }
    virtual void FullRightThrottle() { rightThrottle = 1.0f; }

    float GetVerticalThrust() const { return verticalThrust; }
    float GetHorizontalThrust() const { return horizontalThrust; }
    float GetMaxVerticalVelocity() const { return maxVerticalVelocity; }
    float GetMaxHorizontalVelocity() const { return maxHorizontalVelocity; }
    float GetLitresPerSecond() const { return litresPerSecond; }
    void SetLitresPerSecond(float value) { litresPerSecond = value; }
    float GetLitresUsed() const { return litresUsed; }
    bool IsOutOfFuel() const { return outOfFuel != 0.0f; }
    bool IsEnabled() const { return enabled; }
    const orvel::SoundPtr& GetLowSteamSound() const { return lowSteamSound; }

private:
    // Each throttle costs the same fuel per second at full strength.
    void Burn(float throttle, float dt) { litresUsed += litresPerSecond * throttle * dt; }
    void SoundLowFuel();

    float verticalThrust = 0.0f;
    float horizontalThrust = 0.0f;
    float maxVerticalVelocity = 0.0f;
    float maxHorizontalVelocity = 0.0f;
    float litresPerSecond = 0.0f;
    float litresUsed = 0.0f;
    float outOfFuel = 0.0f;
    float upThrottle = 0.0f;
    float downThrottle = 0.0f;
    float leftThrottle = 0.0f;
    float rightThrottle = 0.0f;
    bool enabled = true;
    orvel::SoundPtr lowSteamSound;
    // The low-fuel warning has been started and not stopped since.
    bool warning = false;
};
