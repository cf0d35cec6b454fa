#pragma once

#include <memory>

#include "game/units/component.h"

namespace orvel {
class MultiSensorBody;
}

// Blows the other sides' units out of an area around its unit (the fan
// bunker): every step, each body of another team in its sensor is pushed
// straight away from the unit with an acceleration of the push magnitude,
// fading to nothing at the range when a range is given. A unit of no team
// pushes nothing.
class PusherComponent : public Component {
public:
    // Reads "pushMagnitude" (required), "range" (pixels, 0 for no fading)
    // and the sensor's "Geometry" list with its "materialGroupName".
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    void Update() override;
    void OnFreeze() override;
    void OnUnfreeze() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnSetPosition(const orvel::Vector4& position) override;
    ComponentPtr Clone() const override;

    float GetPushMagnitude() const { return pushMagnitude; }
    // World units; 0 when the push does not fade.
    float GetRange() const { return range; }
    const std::shared_ptr<orvel::MultiSensorBody>& GetSensor() const { return sensor; }

private:
    // Adds the push on `body` to its force for the next step.
    void Push(orvel::Body& body, const orvel::Vector4& from) const;

    float pushMagnitude = 0.0f;
    float range = 0.0f;
    std::shared_ptr<orvel::MultiSensorBody> sensor;
};
