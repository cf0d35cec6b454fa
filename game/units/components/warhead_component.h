#pragma once

#include "engine/core/watcher.h"
#include "game/units/component.h"
#include "game/units/components/unit_sensor.h"

// Makes a unit (a shot, a bomb, a balloon bomb) a charge. Once armed it goes
// off on touching a body of another side, or when its life runs out. A
// charge with a blast area ("Geometry") then hits everything inside it: with
// an impulse it throws each body away from a point below the charge; without
// one it damages (positive "hitPoints") or heals (negative) each body. A
// charge without a blast area acts on the body it struck alone. A blast
// spares the unit whose gun fired the charge and that unit's crew, so a
// burst close to its own gun does not hurt the gunner.
class WarheadComponent : public Component, public orvel::Watcher {
public:
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void OnFreeze() override;
    void OnUnfreeze() override;
    void PreStep() override;
    void Update() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnSetPosition(const orvel::Vector4& position) override;
    ComponentPtr Clone() const override;

    void OnWatchedGoingAway(orvel::Watched* watched) override;

    // Hits every body in the blast area, `trigger` (may be null) last. Goes
    // off once only; needs a blast area.
    void Explode(orvel::Body* trigger);

    bool IsArmed() const { return armed; }
    bool HasExploded() const { return exploded; }
    float GetLife() const { return life; }
    int GetHitPoints() const { return hitPoints; }
    const SensorPtr& GetSensor() const { return sensor; }

private:
    void Blast(orvel::Body& body);
    // Damage for positive hit points, healing for negative ones.
    void HitOrHeal(orvel::Body& body, orvel::Body* sender);
    void Strike(orvel::Body* body);
    // Whether the blast leaves the body alone: the firer or its crew.
    bool Spares(orvel::Body& body) const;

    SensorPtr sensor;
    float life = 0.0f;
    float impulse = 0.0f;
    int hitPoints = 0;
    bool clearBunkers = true;
    bool lifeCounting = false;
    bool startArmed = true;
    bool armed = true;
    bool armOnContactWithTerrain = false;
    bool armPermitted = false;
    bool exploded = false;
    bool explodeRequested = false;
    orvel::Body* struck = nullptr;
    orvel::Body* firer = nullptr;
};
