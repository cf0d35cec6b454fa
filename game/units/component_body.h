#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/physics/flat_body.h"
#include "engine/physics/joint.h"
#include "game/units/component.h"

namespace orvel {
class Sound;
}

// A unit: a body kept in the play plane that owns an ordered list of
// components and carries what every unit shares: hit points, cost, team,
// facing, the fall-to-death and death sequence, the corpse timer and its
// outline. Everything else a unit does, its components do.
//
// Two integer protocols reach a unit: SendMessage (a UnitMessage, which the
// body acts on first and then offers to every component) and HandleEvent
// (a UnitEvent that other units and components raise on it). Every physics
// callback is forwarded to the components in list order.
//
// A unit is made either from its definition with SpawnUnit or as a clone of
// a prototype unit with Clone and CopyFrom; its creator then places it and
// adds it to the world.
class ComponentBody : public orvel::FlatBody {
public:
    // The corpse stays this long after death before the unit is removed.
    static constexpr float kCorpseTime = 4.0f;
    // A fall started by message Fall ends with a sprite rebuild after this.
    static constexpr float kFallTime = 1.0f;

    ComponentBody();
    ~ComponentBody() override;

    // The body keys, then the unit keys, then the components. The component
    // list is built aside and taken only when every component has loaded, so
    // a failed load leaves no part-built list behind.
    void Load(const orvel::PropertiesPtr& definition) override;
    void ResetOwn() override;
    void Reset() override;
    void Draw() override;
    void DrawIcon() override;
    void CopyFrom(const orvel::Body& prototype) override;
    std::shared_ptr<orvel::Body> Clone() const override;
    int HandleEvent(int id, int value, orvel::Body* sender) override;
    void SetPosition(const orvel::Vector4& position) override;
    void Freeze() override;
    void Unfreeze() override;
    void ApplyForces() override;
    void OnTransform(const orvel::Matrix4& matrix) override;
    void OnTeleport(bool) override {}
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override;
    bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) override;
    void OnContactEnd(PhysMaterial* material, orvel::Body* other) override;
    bool PreStep() override;
    bool Update() override;
    bool OnLeaveWorld() override;

    // Makes the unit `objectName` of `objectDefinitions` in `world`. A team
    // of -1 asks for the bad side (the unit is mirrored when its definition
    // says otherwise); 0 keeps the definition's team.
    virtual void SpawnUnit(orvel::Mechanica* world, void* creationContext, void* loadContext,
                           const orvel::PropertiesPtr& objectDefinitions, PropertyKey objectName,
                           int team);
    // Handles a UnitMessage; true when the body or a component answered it.
    virtual bool SendMessage(int id, intptr_t data = 0, void* arg = nullptr);
    // Three values components share through the unit: [0] touched down,
    // [1] the body the unit stands or landed on, [2] falling.
    virtual intptr_t GetLink(int i) const { return links[i]; }
    virtual void SetLink(int i, intptr_t value) { links[i] = value; }
    virtual void SetTarget(orvel::Body* target);
    // Sets the matrix, mirrored when the unit is flipped.
    virtual void SetFacingMatrix(const orvel::Matrix4& matrix);
    virtual void ClearFacing();
    virtual float GetExtraSpawnTime() const { return extraSpawnTime; }
    virtual int32_t GetUnitCost() const { return unitCost; }
    virtual orvel::Vector4 GetSpawnOffset() const { return spawnOffset; }
    virtual int32_t GetHitPoints() const { return hitPoints; }
    virtual void SetHitPoints(int32_t value) { hitPoints = value; }
    virtual int32_t GetMaxHitPoints() const { return maxHitPoints; }
    virtual void SetMaxHitPoints(int32_t value) { maxHitPoints = value; }
    virtual bool IsMagneted() const { return magneted; }
    virtual bool IsStowed() const { return stowed; }
    // The first component that answers to the type name, or null.
    virtual Component* GetComponent(PropertyKey typeName) const;
    virtual bool IsDead() const { return dead; }
    virtual void OnDeath();
    // Counts the unit as lost in the level's statistics, once per life.
    void RecordInUnitStats() { CountLoss(); }

    const std::vector<ComponentPtr>& GetComponents() const { return components; }
    bool HasHitPoints() const { return hasHitPoints; }
    int32_t GetDamageMultiplier() const { return damageMultiplier; }
    bool IsFallingToDeath() const { return fallingToDeath; }
    bool IsGravityOn() const { return gravityOn; }
    bool IsDeathHandled() const { return deathHandled; }
    const std::vector<orvel::Vector4>& GetLines() const { return lines; }
    const std::shared_ptr<orvel::Joint>& GetNoRotateJoint() const { return joint; }

private:
    void LoadUnitKeys(const orvel::Properties& definition);
    void LoadComponents(const orvel::Properties& definition);
    void CopyUnitFields(const ComponentBody& prototype);
    void CreateJoints();
    // Material group by name, kept as it is when the name is empty.
    void SetGroupIfNamed(PropertyKey name);
    // Counts the unit as lost in the level's statistics, once per life.
    void CountLoss();
    void Die();
    void TakeHit(int damage);
    void DrawLines(const orvel::Matrix4& model, float scale, const orvel::Vector4& offset) const;
    void DrawComponents();

    bool deathHandled;
    bool stowed;
    bool terrainContactNow;
    bool terrainContactBefore;
    bool fallToDeath;
    bool fallingToDeath;
    bool canShootWhileMagneted;
    bool appliesGravity;
    bool gravityOn;
    bool hasHitPoints;
    bool dead;
    bool noRotate;
    bool magneted;
    bool keepInWorld;
    bool beginAsTeamNone;
    bool useUpVectorJoint;
    bool noFlipLines;
    bool countedInUnitStats;
    int32_t hitPoints;
    int32_t maxHitPoints;
    int32_t unitCost;
    int32_t damageMultiplier;
    float savedMass;
    float corpseTime;
    float extraSpawnTime;
    float fallTimer;
    std::vector<ComponentPtr> components;
    orvel::Vector4 spawnOffset;
    orvel::Vector4 lineOffset;
    PropertyKey savedMaterialGroup;
    orvel::Matrix4 facingBase;
    intptr_t links[3];
    std::shared_ptr<orvel::Joint> joint;
    std::vector<orvel::Vector4> lines;
    std::shared_ptr<orvel::Sound> hitSound;
};

typedef std::shared_ptr<ComponentBody> ComponentBodyPtr;
