#include "game/units/components/factory_component.h"

#include <algorithm>
#include <cmath>

#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"

namespace {

const PropertyKey NO_MONEY_SOUND("noMoneySound");
const PropertyKey INFILTRATED_SOUND("infiltratedSound");
const PropertyKey DIE_SOUND("dieSound");
const PropertyKey TIME_BETWEEN_SPAWNS("timeBetweenSpawns");
const PropertyKey MAX_DOLLARS("maxDollars");
const PropertyKey DEPOSIT_AMOUNT("depositAmount");
const PropertyKey TIME_BETWEEN_DEPOSITS("timeBetweenDeposits");
const PropertyKey SPAWN_POINT("spawnPoint");
const PropertyKey SPAWN_VELOCITY("spawnVelocity");
const PropertyKey UNIT_TYPES_ALLOWED("unitTypesAllowed");
const PropertyKey UNIT_TYPES_DEFLECTED("unitTypesDeflected");

const PropertyKey DELTA_MONEY_BAGS("deltaMoneyBags");
const PropertyKey SPAWNED_UNIT("spawnedUnit");

const int GOOD_SIDE = 1;
const int BAD_SIDE = -1;

orvel::SoundPtr LoadSound(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        return nullptr;
    }
    return CreateUnitSound(PropertyKey::Intern(entry.GetString(key)));
}

orvel::SoundPtr CopySound(const orvel::SoundPtr& sound) {
    return sound ? CreateUnitSound(sound->GetSample()->GetName()) : nullptr;
}

void Play(const orvel::SoundPtr& sound) {
    if (sound) {
        sound->Play();
    }
}

void LoadTypes(const orvel::Properties& entry, PropertyKey key, std::vector<PropertyKey>& types) {
    if (!entry.HasProperty(key)) {
        return;
    }
    const orvel::AnyVectorPtr names = entry.GetList(key);
    for (size_t i = 0; i < names->Size(); ++i) {
        types.push_back(PropertyKey::Intern(names->GetString(i)));
    }
}

}  // namespace

FactoryComponent::FactoryComponent() { repeatable.fill(false); }

ComponentPtr FactoryComponent::Clone() const { return std::make_shared<FactoryComponent>(); }

void FactoryComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    noMoneySound = LoadSound(entry, NO_MONEY_SOUND);
    infiltratedSound = LoadSound(entry, INFILTRATED_SOUND);
    dieSound = LoadSound(entry, DIE_SOUND);
    timeBetweenSpawns =
        entry.HasProperty(TIME_BETWEEN_SPAWNS) ? entry.GetFloat(TIME_BETWEEN_SPAWNS) : 1.0f;
    maxDollars = entry.HasProperty(MAX_DOLLARS) ? entry.GetInt(MAX_DOLLARS) : 50;
    depositAmount = entry.HasProperty(DEPOSIT_AMOUNT) ? entry.GetInt(DEPOSIT_AMOUNT) : 1;
    timeBetweenDeposits =
        entry.HasProperty(TIME_BETWEEN_DEPOSITS) ? entry.GetFloat(TIME_BETWEEN_DEPOSITS) : 1.0f;

    if (!entry.HasProperty(SPAWN_POINT)) {
        throw orvel::ExceptionStringNotFound(SPAWN_POINT.GetName(), "objectFile?");
    }
    const orvel::PointI point = entry.GetPoint(SPAWN_POINT);
    const float scale = GetWorld()->GetScale();
    spawnPoint = orvel::Vector4(point.x / scale, point.y / scale, 0.0f, 1.0f);
    const float side = IsOwnerFlipped() ? -1.0f : 1.0f;
    spawnPoint.x *= side;

    if (entry.HasProperty(SPAWN_VELOCITY)) {
        const orvel::PointF velocity = entry.GetPointF(SPAWN_VELOCITY);
        spawnVelocity =
            orvel::Vector4(std::trunc(velocity.x) * side, std::trunc(velocity.y), 0.0f, 1.0f);
    }
    LoadTypes(entry, UNIT_TYPES_ALLOWED, unitTypesAllowed);
    LoadTypes(entry, UNIT_TYPES_DEFLECTED, unitTypesDeflected);
}

void FactoryComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const FactoryComponent&>(prototypeComponent);
    spawnTimer = prototype.spawnTimer;
    timeBetweenSpawns = prototype.timeBetweenSpawns;
    depositTimer = prototype.depositTimer;
    timeBetweenDeposits = prototype.timeBetweenDeposits;
    dollars = prototype.dollars;
    maxDollars = prototype.maxDollars;
    depositAmount = prototype.depositAmount;
    spawnPoint = prototype.spawnPoint;
    spawnVelocity = prototype.spawnVelocity;
    holdPosition = prototype.holdPosition;
    noMoneySound = CopySound(prototype.noMoneySound);
    infiltratedSound = CopySound(prototype.infiltratedSound);
    dieSound = CopySound(prototype.dieSound);
    unitTypesAllowed.insert(unitTypesAllowed.end(), prototype.unitTypesAllowed.begin(),
                            prototype.unitTypesAllowed.end());
    unitTypesDeflected.insert(unitTypesDeflected.end(), prototype.unitTypesDeflected.begin(),
                              prototype.unitTypesDeflected.end());
}

const std::shared_ptr<ComponentBody>& FactoryComponent::GetHeldBody(int slot) const {
    static const std::shared_ptr<ComponentBody> none;
    return IsSlot(slot) ? heldBodies[slot] : none;
}

void FactoryComponent::HoldBody(int slot, const std::shared_ptr<ComponentBody>& body,
                                bool slotRepeatable) {
    if (!IsSlot(slot)) {
        return;
    }
    if (body) {
        body->SetPosition(holdPosition);
        body->HandleEvent(EVENT_SET_SPRITE_VALUE, 0, nullptr);
        body->HandleEvent(EVENT_REBUILD_SPRITE, -100, nullptr);
        body->Freeze();
    }
    heldBodies[slot] = body;
    repeatable[slot] = slotRepeatable;
}

bool FactoryComponent::IsQueued(int slot) const {
    return std::find(queue.begin(), queue.end(), slot) != queue.end();
}

bool FactoryComponent::CanBuy(int slot) const {
    if (!IsSlot(slot) || (!repeatable[slot] && IsQueued(slot))) {
        return false;
    }
    return heldBodies[slot] != nullptr;
}

bool FactoryComponent::CanAfford(int slot) const {
    return CanBuy(slot) && heldBodies[slot]->GetUnitCost() <= dollars;
}

void FactoryComponent::Buy(int slot) {
    if (CanAfford(slot)) {
        dollars -= heldBodies[slot]->GetUnitCost();
        queue.push_back(slot);
    } else if (GetOwnerTeam() == GOOD_SIDE) {
        Play(noMoneySound);
    }
}

void FactoryComponent::PreStep() {
    if (!IsOwnerAlive() || destroyed || infiltrated) {
        return;
    }
    const float frameTime = GetFrameTime();
    spawnTimer += frameTime;
    if (!queue.empty() && spawnTimer > timeBetweenSpawns) {
        spawnTimer = 0.0f;
        // Taken off the queue before the unit is made, so that a unit whose
        // definition fails to load is not tried again every frame.
        const int slot = queue.front();
        queue.pop_front();
        SpawnUnit(slot);
    }
    depositTimer += frameTime;
    if (depositTimer > timeBetweenDeposits) {
        Deposit();
        depositTimer -= timeBetweenDeposits;
    }
}

void FactoryComponent::Deposit() {
    if (dollars < maxDollars) {
        const int32_t amount = std::min(depositAmount, maxDollars - dollars);
        dollars += amount;
        if (GetOwnerTeam() == GOOD_SIDE) {
            orvel::Attributes& registry = orvel::GlobalProperties();
            const int shown = registry.Contains(DELTA_MONEY_BAGS)
                                  ? registry.GetInt(DELTA_MONEY_BAGS)
                                  : 0;
            registry.SetInt(DELTA_MONEY_BAGS, shown + amount);
        }
    }
    dollars = std::min(dollars, maxDollars);
}

std::shared_ptr<ComponentBody> FactoryComponent::MakeUnit(int slot) {
    std::shared_ptr<ComponentBody> held = heldBodies[slot];
    if (repeatable[slot]) {
        auto unit = std::make_shared<ComponentBody>();
        unit->CopyFrom(*held);
        return unit;
    }
    // The slot is emptied first: should the definition fail to load, no
    // part-made unit stays on offer.
    heldBodies[slot].reset();
    const int team = held->GetTeam();
    const int32_t maxHitPoints = held->GetMaxHitPoints();
    const PropertyKey name = held->GetObjectName();
    ComponentBody* owner = GetOwner();
    held->Reset();
    held->SpawnUnit(owner->GetWorld(), owner->GetCreationContext(), owner->GetLoadContext(),
                    GetOwnerObjectDefinitions(), name, team);
    held->SetMaxHitPoints(maxHitPoints);
    return held;
}

void FactoryComponent::SpawnUnit(int slot) {
    if (!IsSlot(slot) || !heldBodies[slot]) {
        return;
    }
    const std::shared_ptr<ComponentBody> unit = MakeUnit(slot);

    // The door: the spawn point (mirrored with the factory), raised or
    // moved by the unit's own offset, which turns round for the bad side.
    ComponentBody* owner = GetOwner();
    orvel::Vector4 offset = unit->GetSpawnOffset();
    if (owner->GetTeam() == BAD_SIDE) {
        offset.x = -offset.x;
    }
    orvel::Vector4 position = owner->GetPosition();
    position.x += spawnPoint.x + offset.x;
    position.y += spawnPoint.y + offset.y;
    position.z += offset.z;
    unit->SetPosition(position);

    GetWorld()->AddBody(unit);
    unit->SendMessage(MESSAGE_FALL, 0);
    unit->SendMessage(MESSAGE_REBUILD_SPRITE, 4);
    unit->AddImpulse(spawnVelocity, unit->GetPosition());
    SendOwnerMessage(MESSAGE_EMIT, 0);
    spawnTimer -= unit->GetExtraSpawnTime();
    if (GetOwnerTeam() == GOOD_SIDE) {
        orvel::GlobalProperties().SetBool(SPAWNED_UNIT, true);
    }
    if (const std::shared_ptr<UnitStats> stats = CurrentUnitStats()) {
        stats->Increment(UnitStats::KIND_GOT, unit->GetObjectName(), unit->GetTeam());
    }
}

bool FactoryComponent::Lists(const std::vector<PropertyKey>& types, PropertyKey type) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool FactoryComponent::IsLivingEnemy(const orvel::Body* other) const {
    return other->IsAlive() && other->GetTeam() != GetOwnerTeam();
}

bool FactoryComponent::AcceptContact(PhysMaterial*, orvel::Body* other) {
    if (!IsOwnerAlive() || destroyed || infiltrated) {
        return false;
    }
    const PropertyKey type = other->GetObjectName();
    return IsLivingEnemy(other) &&
           (Lists(unitTypesDeflected, type) || Lists(unitTypesAllowed, type));
}

bool FactoryComponent::OnContact(PhysMaterial*, PhysContact*, orvel::Body* other) {
    if (!IsLivingEnemy(other)) {
        return false;
    }
    const PropertyKey type = other->GetObjectName();
    if (Lists(unitTypesDeflected, type)) {
        return true;
    }
    if (Lists(unitTypesAllowed, type)) {
        if (!infiltrated) {
            infiltrated = true;
            countdown = kInfiltrationTime;
            Play(infiltratedSound);
        }
        SendEventTo(other, EVENT_REMOVE, 0);
    }
    return false;
}

void FactoryComponent::Update() {
    const float frameTime = GetFrameTime();
    if (!destroyed && infiltrated) {
        countdown -= frameTime;
        if (countdown <= 0.0f) {
            Play(dieSound);
            SendOwnerMessage(MESSAGE_LOSE, 0, this);
            SendOwnerMessage(MESSAGE_SET_ARMED, 1);
            destroyed = true;
            countdown = kDeathTime;
        }
    } else if (destroyed) {
        countdown -= frameTime;
        if (countdown <= 0.0f) {
            NotifyOwnerWatchers();
        }
    }
}
