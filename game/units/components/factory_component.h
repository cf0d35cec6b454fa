#pragma once

#include <array>
#include <deque>
#include <memory>
#include <vector>

#include "engine/core/property_key.h"
#include "engine/physics/vector4.h"
#include "game/units/component.h"

namespace orvel {
class Sound;
}

// Turns a building into a factory: it earns money over time up to a
// maximum, holds one prototype unit per purchase slot, queues bought units
// and releases them one at a time at its door, and falls when an enemy unit
// of an allowed type gets in: a short infiltration countdown, then a death
// countdown, after which it tells its unit's watchers every frame.
//
// Slots 0 to 6 hold prototypes that every purchase clones; slot 7 holds a
// one-off unit (a destroyed airship handed back) that is released itself.
class FactoryComponent : public Component {
public:
    static constexpr int kSlotCount = 8;
    static constexpr float kInfiltrationTime = 1.77f;
    static constexpr float kDeathTime = 3.0f;

    FactoryComponent();

    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void PreStep() override;
    void Update() override;
    ComponentPtr Clone() const override;

    // Parks `body` frozen at the hold position as the product of `slot`,
    // releasing the body held there before.
    void HoldBody(int slot, const std::shared_ptr<ComponentBody>& body, bool repeatable);
    // Whether the slot holds a product that may be queued now; a one-off
    // product already waiting in the queue may not be queued again.
    bool CanBuy(int slot) const;
    // CanBuy, and the factory holds the product's cost.
    bool CanAfford(int slot) const;
    // Takes the cost and queues the slot, or refuses (with the no-money
    // sound on the good side) when CanAfford is false.
    void Buy(int slot);
    // Releases one unit of the slot at the door; nothing for an empty slot.
    void SpawnUnit(int slot);

    int32_t GetDollars() const { return dollars; }
    void SetDollars(int32_t value) { dollars = value; }
    int32_t GetMaxDollars() const { return maxDollars; }
    float GetTimeBetweenDeposits() const { return timeBetweenDeposits; }
    void SetTimeBetweenDeposits(float seconds) { timeBetweenDeposits = seconds; }
    const orvel::Vector4& GetHoldPosition() const { return holdPosition; }
    void SetHoldPosition(const orvel::Vector4& position) { holdPosition = position; }
    const orvel::Vector4& GetSpawnPoint() const { return spawnPoint; }
    const orvel::Vector4& GetSpawnVelocity() const { return spawnVelocity; }
    const std::shared_ptr<ComponentBody>& GetHeldBody(int slot) const;
    const std::deque<int32_t>& GetQueue() const { return queue; }
    bool IsInfiltrated() const { return infiltrated; }
    bool IsDestroyed() const { return destroyed; }
    float GetCountdown() const { return countdown; }

private:
    static bool IsSlot(int slot) { return slot >= 0 && slot < kSlotCount; }
    bool IsQueued(int slot) const;
    static bool Lists(const std::vector<PropertyKey>& types, PropertyKey type);
    // A living body of the other side, which the factory cares about.
    bool IsLivingEnemy(const orvel::Body* other) const;
    std::shared_ptr<ComponentBody> MakeUnit(int slot);
    void Deposit();

    std::vector<PropertyKey> unitTypesAllowed;
    std::vector<PropertyKey> unitTypesDeflected;
    std::array<std::shared_ptr<ComponentBody>, kSlotCount> heldBodies;
    std::array<bool, kSlotCount> repeatable;
    bool destroyed = false;
    bool infiltrated = false;
    std::deque<int32_t> queue;
    float spawnTimer = 0.0f;
    float timeBetweenSpawns = 0.0f;
    float countdown = 2.0f;
    int32_t dollars = 0;
    int32_t maxDollars = 0;
    int32_t depositAmount = 0;
    float depositTimer = 0.0f;
    float timeBetweenDeposits = 0.0f;
    orvel::Vector4 spawnPoint = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    orvel::Vector4 holdPosition = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    orvel::Vector4 spawnVelocity = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    std::shared_ptr<orvel::Sound> noMoneySound;
    std::shared_ptr<orvel::Sound> infiltratedSound;
    std::shared_ptr<orvel::Sound> dieSound;
};
