#pragma once

#include <cstdint>
#include <memory>

#include "game/units/component.h"

namespace orvel {
class Body;
class MultiSensorBody;
}  // namespace orvel

// Makes a unit a repairer (the engineer): a sensor around it finds damaged
// units of its own side. Beside one it stops and, once per repair interval,
// heals it one hit point from a limited stock of fix points; the unit dies
// when the stock is spent. With nobody to repair it lets its unit move on.
class FixerComponent : public Component {
public:
    // Reads "fixPoints", "timeBetweenFixes", the sensor's "Geometry" list and
    // "materialGroupName"; each is required and a missing one throws
    // ExceptionStringNotFound naming it.
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    void OnFreeze() override;
    void OnUnfreeze() override;
    void PreStep() override;
    void Update() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnSetPosition(const orvel::Vector4& position) override;
    ComponentPtr Clone() const override;

    int32_t GetFixPoints() const { return fixPoints; }
    float GetTimeBetweenFixes() const { return timeBetweenFixes; }
    const std::shared_ptr<orvel::MultiSensorBody>& GetSensor() const { return sensor; }

private:
    // The first sensed unit of the fixer's side, other than its own unit,
    // that says it is damaged; null when there is none.
    orvel::Body* FindPatient();
    void Repair(orvel::Body* patient);

    int32_t fixPoints = 0;
    float timer = 0.0f;
    float timeBetweenFixes = 0.0f;
    std::shared_ptr<orvel::MultiSensorBody> sensor;
};
