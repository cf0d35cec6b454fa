#pragma once

#include <memory>

#include "engine/core/property_key.h"
#include "engine/physics/vector4.h"
#include "game/units/component.h"
#include "game/units/components/unit_sensor.h"

namespace orvel {
class Sound;
}

// A unit's gun. It watches its sensor ("Geometry") for a body of another
// side, halts the unit while it has one, and every "timeBetweenShots"
// seconds makes a shot unit ("shotObjectName") at the barrel, aimed at the
// target, kicking the unit back by "recoilVector". Without a sensor it fires
// straight up on the interval. A vehicle that keeps pushing against an enemy
// building ("stopOnStatic") is held still and raises the tutorial's
// vehicle-stopped flags.
//
// A shot is told its direction with message SetTarget, whose data points to
// the unit aim direction (an orvel::Vector4) for the time of the call.
class ShooterComponent : public Component {
public:
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void OnFreeze() override;
    void OnUnfreeze() override;
    void PreStep() override;
    void Update() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnSetPosition(const orvel::Vector4& position) override;
    ComponentPtr Clone() const override;

    // Makes one shot at the shot start, aimed along the aim direction, and
    // restarts the interval.
    void Fire();

    const SensorPtr& GetSensor() const { return sensor; }
    const orvel::Vector4& GetShotCreationPoint() const { return shotCreationPoint; }
    const orvel::Vector4& GetAimDirection() const { return aimDirection; }
    bool IsArmed() const { return armed; }
    bool IsEngaged() const { return engaged; }
    float GetBarrelSpread() const { return barrelSpread; }

private:
    void RaiseVehicleStopped();
    void UpdateWithSensor();
    void ClearSensed();
    void Recoil();

    float shotTimer = 0.0f;
    float timeBetweenShots = 0.0f;
    SensorPtr sensor;
    PropertyKey shotObjectName;
    orvel::Vector4 shotCreationPoint = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    orvel::Vector4 aimDirection = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    orvel::Vector4 shotStart = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    orvel::Vector4 recoilVector = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    bool recoilEnabled = false;
    bool armed = true;
    bool engaged = false;
    bool randomizeBarrel = false;
    bool detectFriendly = false;
    bool makeShotEnemy = false;
    bool alwaysActive = false;
    bool suppressMoveMessage = false;
    bool stopOnStatic = false;
    int stopHold = 0;
    int staticContactCount = 0;
    float barrelSpread = 0.0f;
    std::shared_ptr<orvel::Sound> sound;
};
