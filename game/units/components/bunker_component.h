#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/property_key.h"
#include "engine/core/watcher.h"
#include "engine/physics/matrix4.h"
#include "engine/physics/vector4.h"
#include "game/units/component.h"
#include "game/units/components/unit_sensor.h"

namespace orvel {
class Sound;
}

// A building that soldiers walk into. A unit of an allowed type that
// reaches the door (the sensor) goes inside and leaves the world. The first
// to enter an empty bunker takes it for its side; friends add to the
// garrison up to its capacity; each enemy that enters kills one defender,
// and the last defender's death leaves the bunker neutral. A flag, a unit of
// its own, rises from its lowest to its highest place as the garrison
// grows. A unit of a fatal type that touched the bunker and then dies kills
// the whole garrison.
class BunkerComponent : public Component, public orvel::Watcher {
public:
    // Throws ExceptionGeneral when a bunker with a flag can hold no soldier
    // (its flag height, the share of a full garrison, would have no value)
    // and when "soldierCapacity" or "numSoldiers" is negative.
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void Update() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnSetPosition(const orvel::Vector4& position) override;
    ComponentPtr Clone() const override;

    void OnWatchedGoingAway(orvel::Watched* watched) override;

    // Moves the flag to its height for the garrison on a bunker of `matrix`.
    virtual void PlaceFlag(const orvel::Matrix4& matrix);
    virtual uint32_t GetSoldiers() const { return soldiers; }
    virtual uint32_t GetSoldierCapacity() const { return soldierCapacity; }
    // A soldier of `side` and `type` enters; false when it must stay
    // outside (a full bunker of its own side).
    virtual bool EnterUnit(int side, PropertyKey type);

    const std::shared_ptr<ComponentBody>& GetFlag() const { return flag; }
    const SensorPtr& GetSensor() const { return sensor; }
    const std::vector<PropertyKey>& GetSoldierTypes() const { return soldierTypes; }
    // The flag's offset from the bunker for the garrison now.
    orvel::Vector4 GetFlagOffset() const;

protected:
    bool IsAllowed(PropertyKey type) const;
    void ForgetFatalUnit();

    uint32_t soldierCapacity = 0;
    uint32_t soldiers = 0;
    std::vector<PropertyKey> unitTypesAllowed;
    std::vector<PropertyKey> unitTypesFatal;
    std::vector<PropertyKey> soldierTypes;
    SensorPtr sensor;
    std::shared_ptr<ComponentBody> flag;
    orvel::Vector4 flagMinOffset = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    orvel::Vector4 flagMaxOffset = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    ComponentBody* fatalUnit = nullptr;
    std::shared_ptr<orvel::Sound> flagSound;

private:
    void LoadFlag(const orvel::Properties& entry);
    void Garrison(int side);
    void LoseDefender();
};
