#pragma once

#include <memory>

#include "engine/physics/joint.h"
#include "game/units/components/bunker_component.h"

// A gun emplacement that one soldier mans. The soldier who enters stays in
// sight, pinned at the gun ("gunnerOffset"), arms the turret and gives it
// his side; the turret faces that side. Damage to the turret goes to the
// gunner ("hitPoints"); when he falls or goes away the turret is unmanned,
// disarmed and neutral again.
class TurretComponent : public BunkerComponent {
public:
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void Update() override;
    ComponentPtr Clone() const override;

    void OnWatchedGoingAway(orvel::Watched* watched) override;

    virtual ComponentBody* GetGunner() const { return gunner; }
    int GetGunnerHitPoints() const { return gunnerHitPoints; }
    const orvel::Vector4& GetGunnerOffset() const { return gunnerOffset; }

private:
    void Man(ComponentBody& unit);
    // Leaves the turret unmanned, disarmed and neutral.
    void Unman();

    ComponentBody* gunner = nullptr;
    orvel::Vector4 gunnerOffset = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    std::shared_ptr<orvel::Joint> gunnerJoint;
    int gunnerHitPoints = 0;
    int gunnerMaxHitPoints = 0;
    bool gunnerHasHitPoints = false;
    int facingSide = 0;
};
