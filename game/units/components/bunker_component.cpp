#include "game/units/components/bunker_component.h"

#include <algorithm>
#include <string>

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"

namespace {

const PropertyKey FLAG_SOUND("flagSound");
const PropertyKey SOLDIER_CAPACITY("soldierCapacity");
const PropertyKey NUM_SOLDIERS("numSoldiers");
const PropertyKey UNIT_TYPES_ALLOWED("unitTypesAllowed");
const PropertyKey UNIT_TYPES_FATAL("unitTypesFatal");
const PropertyKey FLAG_NAME("flagName");
const PropertyKey FLAG_MIN_OFFSET("flagMinOffset");
const PropertyKey FLAG_MAX_OFFSET("flagMaxOffset");
const PropertyKey SENSOR_GEOMETRY("SensorGeometry");
const PropertyKey INFANTRY("Infantry");
// The object file's name as the other definition errors give it.
const char* const OBJECT_FILE = "objectFile?";

void LoadTypes(const orvel::Properties& entry, PropertyKey key, std::vector<PropertyKey>& types) {
    if (!entry.HasProperty(key)) {
        return;
    }
    const orvel::AnyVectorPtr names = entry.GetList(key);
    for (size_t i = 0; i < names->Size(); ++i) {
        types.push_back(PropertyKey::Intern(names->GetString(i)));
    }
}

// A garrison count of the object file. The counts are unsigned, so a
// negative one would turn into billions of soldiers: it is refused instead.
uint32_t ReadCount(const orvel::Properties& entry, PropertyKey key, const std::string& object) {
    const int count = entry.GetInt(key);
    if (count < 0) {
        throw orvel::ExceptionGeneral("The bunker " + object + " has a " + key.GetName() + " of " +
                                      std::to_string(count) +
                                      "; it must be 0 or more.\nIn file: " + OBJECT_FILE);
    }
    return static_cast<uint32_t>(count);
}

}  // namespace

ComponentPtr BunkerComponent::Clone() const { return std::make_shared<BunkerComponent>(); }

void BunkerComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    if (entry.HasProperty(FLAG_SOUND)) {
        flagSound = CreateUnitSound(PropertyKey::Intern(entry.GetString(FLAG_SOUND)));
    }
    const std::string object = GetOwner()->GetObjectName().GetName();
    if (entry.HasProperty(SOLDIER_CAPACITY)) {
        soldierCapacity = ReadCount(entry, SOLDIER_CAPACITY, object);
    }
    if (entry.HasProperty(NUM_SOLDIERS)) {
        soldiers = ReadCount(entry, NUM_SOLDIERS, object);
    }
    LoadTypes(entry, UNIT_TYPES_ALLOWED, unitTypesAllowed);
    LoadTypes(entry, UNIT_TYPES_FATAL, unitTypesFatal);
    if (entry.HasProperty(FLAG_NAME)) {
        LoadFlag(entry);
    }
    if (entry.HasProperty(SENSOR_GEOMETRY)) {
        const orvel::PropertiesPtr shape = entry.GetStruct(SENSOR_GEOMETRY);
        sensor = CreateSensorFromShape(*GetOwner(), shape, *shape);
    }
}

void BunkerComponent::LoadFlag(const orvel::Properties& entry) {
    if (soldierCapacity == 0) {
        throw orvel::ExceptionGeneral("The bunker " + GetOwner()->GetObjectName().GetName() +
                                      " has a flag but a soldierCapacity of 0");
    }
    const float scale = GetWorld()->GetScale();
    const float side = IsOwnerFlipped() ? -1.0f : 1.0f;
    for (PropertyKey key : {FLAG_MIN_OFFSET, FLAG_MAX_OFFSET}) {
        if (!entry.HasProperty(key)) {
            throw orvel::ExceptionStringNotFound(key.GetName(), "objectFile?");
        }
        const orvel::PointI point = entry.GetPoint(key);
        (key == FLAG_MIN_OFFSET ? flagMinOffset : flagMaxOffset) =
            orvel::Vector4(side * point.x / scale, point.y / scale, 0.0f, 1.0f);
    }
    ComponentBody* owner = GetOwner();
    flag = std::make_shared<ComponentBody>();
    flag->SpawnUnit(owner->GetWorld(), owner->GetCreationContext(), owner->GetLoadContext(),
                    owner->GetObjectDefinitions(), PropertyKey::Intern(entry.GetString(FLAG_NAME)),
                    0);
    flag->SetTeam(GetOwnerTeam());
    const orvel::Vector4 position = owner->GetPosition();
    flag->SetPosition(orvel::Vector4(position.x + flagMinOffset.x, position.y + flagMinOffset.y,
                                     position.z + flagMinOffset.z));
    flag->HandleEvent(EVENT_SET_SPRITE_VALUE, 0, nullptr);
    owner->GetWorld()->AddBody(flag);
}

void BunkerComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const BunkerComponent&>(prototypeComponent);
    sensor = CopySensor(prototype.sensor);
    if (prototype.flag) {
        flag = std::make_shared<ComponentBody>();
        flag->CopyFrom(*prototype.flag);
    }
    flagSound = prototype.flagSound ? CreateUnitSound(prototype.flagSound->GetSample()->GetName())
                                    : nullptr;
    unitTypesAllowed = prototype.unitTypesAllowed;
    unitTypesFatal = prototype.unitTypesFatal;
    soldiers = prototype.soldiers;
    soldierCapacity = prototype.soldierCapacity;
    // A copy's flag rises over the same heights as the prototype's.
    flagMinOffset = prototype.flagMinOffset;
    flagMaxOffset = prototype.flagMaxOffset;
}

bool BunkerComponent::IsAllowed(PropertyKey type) const {
    return std::find(unitTypesAllowed.begin(), unitTypesAllowed.end(), type) !=
           unitTypesAllowed.end();
}

void BunkerComponent::ForgetFatalUnit() {
    if (fatalUnit) {
        fatalUnit->RemoveWatcher(this);
        fatalUnit = nullptr;
    }
}

void BunkerComponent::OnWatchedGoingAway(orvel::Watched* watched) {
    if (watched == fatalUnit) {
        fatalUnit = nullptr;
    }
}

bool BunkerComponent::OnContact(PhysMaterial*, PhysContact*, orvel::Body* other) {
    if (!other->IsAlive()) {
        return false;
    }
    const PropertyKey type = other->GetObjectName();
    if (std::find(unitTypesFatal.begin(), unitTypesFatal.end(), type) != unitTypesFatal.end()) {
        if (auto* unit = dynamic_cast<ComponentBody*>(other); unit && unit != fatalUnit) {
            ForgetFatalUnit();
            fatalUnit = unit;
            fatalUnit->AddWatcher(this);
        }
    }
    const int team = GetOwnerTeam();
    if (team == 0 || other->GetTeam() == team) {
        return false;
    }
    return unitTypesAllowed.empty() || !IsAllowed(type);
}

void BunkerComponent::Update() {
    if (sensor) {
        for (const orvel::SensedBody& record : sensor->GetSensed()) {
            orvel::Body* body = record.body;
            if (!body->IsAlive() || !IsAllowed(body->GetObjectName())) {
                continue;
            }
            if (EnterUnit(body->GetTeam(), body->GetObjectName())) {
                if (flagSound) {
                    flagSound->PlayAt(GetOwner()->GetMatrix().m);
                }
                body->SetAlive(false);
            }
        }
        sensor->ClearSensed();
    }
    if (fatalUnit && fatalUnit->IsDead() && soldiers > 0) {
        const int enemy = GetOwnerTeam() == 1 ? -1 : 1;
        while (soldiers > 0) {
            EnterUnit(enemy, INFANTRY);
        }
        // Its work is done: a corpse must not also kill the next garrison.
        ForgetFatalUnit();
    }
}

bool BunkerComponent::EnterUnit(int side, PropertyKey type) {
    if (soldiers == 0) {
        Garrison(side);
        return true;
    }
    if (side == GetOwnerTeam()) {
        if (soldiers >= soldierCapacity) {
            return false;
        }
        ++soldiers;
        soldierTypes.push_back(type);
        PlaceFlag(GetOwner()->GetMatrix());
        return true;
    }
    LoseDefender();
    return true;
}

void BunkerComponent::Garrison(int side) {
    GetOwner()->SetTeam(side);
    soldiers = 1;
    SendOwnerMessage(MESSAGE_MOVE);
    if (flag) {
        flag->SetTeam(side);
        flag->SendMessage(MESSAGE_MOVE);
        flag->HandleEvent(EVENT_SET_SPRITE_VALUE, 1, nullptr);
        PlaceFlag(GetOwner()->GetMatrix());
    }
}

void BunkerComponent::LoseDefender() {
    --soldiers;
    if (!soldierTypes.empty()) {
        const PropertyKey lost = soldierTypes.back();
        soldierTypes.pop_back();
        if (const std::shared_ptr<UnitStats> stats = CurrentUnitStats()) {
            stats->Increment(UnitStats::KIND_LOST, lost, GetOwnerTeam());
        }
    }
    PlaceFlag(GetOwner()->GetMatrix());
    if (soldiers == 0) {
        GetOwner()->SetTeam(0);
        SendOwnerMessage(MESSAGE_IDLE);
        if (flag) {
            flag->SetTeam(0);
            flag->SendMessage(MESSAGE_IDLE);
            flag->HandleEvent(EVENT_SET_SPRITE_VALUE, 0, nullptr);
        }
    }
}

orvel::Vector4 BunkerComponent::GetFlagOffset() const {
    const float share = soldierCapacity == 0
                            ? 0.0f
                            : static_cast<float>(soldiers) / static_cast<float>(soldierCapacity);
    return orvel::Vector4(flagMinOffset.x + (flagMaxOffset.x - flagMinOffset.x) * share,
                          flagMinOffset.y + (flagMaxOffset.y - flagMinOffset.y) * share,
                          flagMinOffset.z + (flagMaxOffset.z - flagMinOffset.z) * share, 1.0f);
}

void BunkerComponent::PlaceFlag(const orvel::Matrix4& matrix) {
    if (!flag) {
        return;
    }
    const orvel::Vector4 offset = GetFlagOffset();
    orvel::Matrix4 placed = matrix;
    const orvel::Vector4 row0 = matrix.GetRow(0);
    const orvel::Vector4 row1 = matrix.GetRow(1);
    const orvel::Vector4 row2 = matrix.GetRow(2);
    placed.m[12] += offset.x * row0.x + offset.y * row1.x + offset.z * row2.x;
    placed.m[13] += offset.x * row0.y + offset.y * row1.y + offset.z * row2.y;
    placed.m[14] += offset.x * row0.z + offset.y * row1.z + offset.z * row2.z;
    flag->SetMatrix(placed);
}

void BunkerComponent::OnTransform(const orvel::Matrix4& matrix) {
    if (sensor) {
        sensor->SetMatrixDirect(matrix);
    }
    PlaceFlag(matrix);
}

void BunkerComponent::OnSetPosition(const orvel::Vector4& position) {
    if (sensor) {
        sensor->SetPosition(position);
    }
    if (flag) {
        const orvel::Vector4 offset = GetFlagOffset();
        flag->SetPosition(
            orvel::Vector4(position.x + offset.x, position.y + offset.y, position.z + offset.z));
    }
}
