#pragma once

#include "engine/core/property_key.h"
#include "engine/physics/vector4.h"
#include "engine/sound/sound_manager.h"
#include "game/units/component.h"

// Makes a unit give off steam: at a fixed interval it makes a puff (a unit
// of its own, from a named definition) at its emission point and sends it
// straight up. The puff shows the unit's state: light steam above two
// thirds of its hit points, medium steam above one third, dark steam below.
class SteamEmitterComponent : public Component {
public:
    // The hit-point ratios above which the steam is light and medium.
    static constexpr float kLightAbove = 0.66f;
    static constexpr float kMediumAbove = 0.33f;

    // Reads "shotCreationPoint" (pixels), "timeBetweenShots" and the three
    // steam object names (all required), and the optional "sound",
    // "randomizeBarrel" and "randomizeBarrelBy" (degrees).
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    // Death and removal disarm the emitter; SetArmed arms or disarms it.
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    void PreStep() override;
    void Update() override;
    ComponentPtr Clone() const override;

    // Picks the next puff by the unit's hit points. A unit that has no
    // hit points to lose counts as unharmed.
    virtual void ChooseSteam();

    PropertyKey GetCurrentSteam() const { return currentSteam; }
    PropertyKey GetLightSteam() const { return lightSteam; }
    PropertyKey GetMediumSteam() const { return mediumSteam; }
    PropertyKey GetDarkSteam() const { return darkSteam; }
    float GetTimeBetweenShots() const { return timeBetweenShots; }
    const orvel::Vector4& GetShotCreationPoint() const { return shotCreationPoint; }
    const orvel::Vector4& GetShotStart() const { return shotStart; }
    bool GetRandomizeBarrel() const { return randomizeBarrel; }
    // Radians.
    float GetBarrelSpread() const { return barrelSpread; }
    bool IsArmed() const { return armed; }

private:
    void Emit();

    float emitTimer = 0.0f;
    float timeBetweenShots = 0.0f;
    PropertyKey currentSteam;
    PropertyKey lightSteam;
    PropertyKey mediumSteam;
    PropertyKey darkSteam;
    orvel::Vector4 shotCreationPoint = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    orvel::Vector4 emitDirection = orvel::Vector4(0.0f, 1.0f, 0.0f, 1.0f);
    orvel::Vector4 shotStart = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    bool randomizeBarrel = false;
    float barrelSpread = 0.0f;
    bool armed = true;
    orvel::SoundPtr sound;
};
