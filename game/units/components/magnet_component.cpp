#include "game/units/components/magnet_component.h"

#include <algorithm>
#include <cmath>

#include "engine/core/exception.h"
#include "engine/physics/compound_collision.h"
#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey STICK_SOUND("stickSound");
const PropertyKey CONTACT_SENSOR("ContactSensor");
const PropertyKey CONTACT_GROUP("contactMaterialGroupName");
const PropertyKey ATTRACT_SENSOR("AttractSensor");
const PropertyKey ATTRACT_GROUP("attractMaterialGroupName");
const PropertyKey ATTRACT_FORCE("attractForce");
const PropertyKey MAX_STACK("maxStack");
const PropertyKey UNIT_TYPES_DEFLECTED("unitTypesDeflected");
const PropertyKey MOBILE_UNIT_GROUP("mg_mobile_unit");

// A definition without the key pulls more gently than a new magnet.
const float LOADED_ATTRACT_FORCE = 3.0f;
const int BAD_SIDE = -1;

std::shared_ptr<orvel::MultiSensorBody> CopySensor(
    const std::shared_ptr<orvel::MultiSensorBody>& sensor) {
    if (!sensor) {
        return nullptr;
    }
    auto copy = std::make_shared<orvel::MultiSensorBody>();
    copy->CopyFrom(*sensor);
    return copy;
}

}  // namespace

MagnetComponent::~MagnetComponent() {
    joints.clear();
    heldBodies.clear();
    heldWatched.clear();
    heldMasses.clear();
    DisconnectAll();
}

ComponentPtr MagnetComponent::Clone() const { return std::make_shared<MagnetComponent>(); }

std::shared_ptr<orvel::MultiSensorBody> MagnetComponent::MakeSensor(const orvel::Properties& entry,
                                                                    PropertyKey sensorKey,
                                                                    PropertyKey groupKey) const {
    if (!entry.HasProperty(sensorKey)) {
        return nullptr;
    }
    const orvel::PropertiesPtr definition = entry.GetStruct(sensorKey);
    if (!definition->HasProperty(groupKey)) {
        throw orvel::ExceptionStringNotFound(groupKey.GetName(), "MagnetComponent");
    }
    orvel::Mechanica* world = GetWorld();
    auto shape = std::make_shared<orvel::CompoundCollision>(world);
    shape->SetDepth(kSensorDepth);
    shape->LoadGeometry(definition, false);
    auto sensor = std::make_shared<orvel::MultiSensorBody>();
    sensor->CreateWithCollision(world, shape);
    sensor->SetMaterialGroup(PropertyKey::Intern(definition->GetString(groupKey)));
    sensor->SetMatrixDirect(GetOwner()->GetMatrix());
    return sensor;
}

void MagnetComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    stickSound = LoadComponentSound(entry, STICK_SOUND);
    contactSensor = MakeSensor(entry, CONTACT_SENSOR, CONTACT_GROUP);
    attractSensor = MakeSensor(entry, ATTRACT_SENSOR, ATTRACT_GROUP);
    attractForce =
        entry.HasProperty(ATTRACT_FORCE) ? entry.GetFloat(ATTRACT_FORCE) : LOADED_ATTRACT_FORCE;
    if (entry.HasProperty(MAX_STACK)) {
        // A negative stack holds nothing, as 0 does.
        maxStack = static_cast<uint32_t>(std::max(entry.GetInt(MAX_STACK), 0));
    }
    if (entry.HasProperty(UNIT_TYPES_DEFLECTED)) {
        const orvel::AnyVectorPtr names = entry.GetList(UNIT_TYPES_DEFLECTED);
        for (size_t i = 0; i < names->Size(); ++i) {
            unitTypesDeflected.push_back(PropertyKey::Intern(names->GetString(i)));
        }
    }
}

// maxStack stays the new magnet's: a copy holds at most the default stack.
void MagnetComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const MagnetComponent&>(prototypeComponent);
    attractForce = prototype.attractForce;
    stickSound = CopyComponentSound(prototype.stickSound);
    contactSensor = CopySensor(prototype.contactSensor);
    attractSensor = CopySensor(prototype.attractSensor);
    unitTypesDeflected.insert(unitTypesDeflected.end(), prototype.unitTypesDeflected.begin(),
                              prototype.unitTypesDeflected.end());
}

bool MagnetComponent::HandleMessage(int id, intptr_t data, void*) {
    switch (id) {
    case MESSAGE_STOP:
    case MESSAGE_DIE:
        Release();
        return true;
    case MESSAGE_FIRE:
        Activate();
        return true;
    case MESSAGE_ADD_CARRIED_MASS:
        *reinterpret_cast<float*>(data) += heldMass;
        return true;
    default:
        return false;
    }
}

bool MagnetComponent::IsDeflected(PropertyKey type) const {
    return std::find(unitTypesDeflected.begin(), unitTypesDeflected.end(), type) !=
           unitTypesDeflected.end();
}

bool MagnetComponent::IsHeld(const orvel::Body* body) const {
    return std::find(heldBodies.begin(), heldBodies.end(), body) != heldBodies.end();
}

bool MagnetComponent::AcceptContact(PhysMaterial*, orvel::Body* other) {
    if (IsDeflected(other->GetObjectName())) {
        return false;
    }
    const auto* unit = dynamic_cast<const ComponentBody*>(other);
    return !(unit != nullptr && other->GetMaterialGroup() == MOBILE_UNIT_GROUP && unit->IsStowed());
}

bool MagnetComponent::CanTake(orvel::Body* body) {
    return SendEventTo(body, EVENT_QUERY_GRAVITY, 0) != 0 && !IsHeld(body) &&
           !IsDeflected(body->GetObjectName());
}

void MagnetComponent::PickUp(const orvel::SensedBody& record) {
    auto* unit = dynamic_cast<ComponentBody*>(record.body);
    if (unit == nullptr) {
        return;
    }
    ComponentBody* owner = GetOwner();
    auto joint = std::make_shared<orvel::Joint>(GetWorld());
    joint->CreateBall(record.position, unit, owner);
    joint->SetStiffness(0.0f);
    joints.push_back(joint);
    heldBodies.push_back(unit);
    heldWatched.push_back(unit);
    heldMasses.push_back(unit->GetMass());
    heldMass += unit->GetMass();
    unit->AddWatcher(this);
    SendEventTo(unit, EVENT_PICKED_UP, 0);
    if (stickSound && GetOwnerTeam() != BAD_SIDE) {
        stickSound->PlayAt(owner->GetMatrix().m);
    }
}

// Towards the airship, with the unit's weight carried as well.
void MagnetComponent::Attract(orvel::Body& body) const {
    const orvel::Vector4 from = body.GetPosition();
    const orvel::Vector4 to = GetOwner()->GetPosition();
    orvel::Vector4 d(to.x - from.x, to.y - from.y, to.z - from.z, 0.0f);
    const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length > 0.0f) {
        d = orvel::Vector4(d.x / length, d.y / length, d.z / length, 0.0f);
    }
    const float m = body.GetMass();
    const orvel::Vector4& g = GetWorld()->GetGravity();
    body.AddForce(orvel::Vector4(m * attractForce * d.x - m * g.x, m * attractForce * d.y - m * g.y,
                                 m * attractForce * d.z - m * g.z, 0.0f));
}

void MagnetComponent::Update() {
    DropTheDead();
    if (active && heldBodies.size() < maxStack) {
        if (contactSensor) {
            const std::vector<orvel::SensedBody> touching = contactSensor->GetSensed();
            for (const orvel::SensedBody& record : touching) {
                if (heldBodies.size() >= maxStack) {
                    break;
                }
                if (CanTake(record.body)) {
                    PickUp(record);
                }
            }
        }
        if (attractSensor) {
            const std::vector<orvel::SensedBody> inRange = attractSensor->GetSensed();
            for (const orvel::SensedBody& record : inRange) {
                if (heldBodies.size() >= maxStack) {
                    break;
                }
                if (CanTake(record.body)) {
                    Attract(*record.body);
                }
            }
        }
    }
    if (contactSensor) {
        contactSensor->ClearSensed();
    }
    if (attractSensor) {
        attractSensor->ClearSensed();
    }
}

// A held unit that dies tells no watcher (it stays on the joint as a
// corpse), so the magnet looks for the dead itself and lets them fall.
void MagnetComponent::DropTheDead() {
    for (size_t i = heldBodies.size(); i-- > 0;) {
        if (heldBodies[i]->IsDead()) {
            LetGo(i, true);
        }
    }
}

void MagnetComponent::LetGo(size_t index, bool dropped) {
    ComponentBody* unit = heldBodies[index];
    heldMass -= heldMasses[index];
    heldBodies.erase(heldBodies.begin() + index);
    heldWatched.erase(heldWatched.begin() + index);
    heldMasses.erase(heldMasses.begin() + index);
    joints.erase(joints.begin() + index);
    if (heldBodies.empty()) {
        heldMass = 0.0f;
    }
    if (dropped) {
        unit->RemoveWatcher(this);
        SendEventTo(unit, EVENT_DROPPED, 0);
    }
}

void MagnetComponent::Release() {
    active = false;
    std::vector<ComponentBody*> dropped;
    dropped.swap(heldBodies);
    heldWatched.clear();
    heldMasses.clear();
    joints.clear();
    heldMass = 0.0f;
    for (ComponentBody* unit : dropped) {
        unit->RemoveWatcher(this);
        SendEventTo(unit, EVENT_DROPPED, 0);
    }
}

size_t MagnetComponent::IndexOf(const orvel::Watched* watched) const {
    return std::find(heldWatched.begin(), heldWatched.end(), watched) - heldWatched.begin();
}

void MagnetComponent::OnWatchedEvent(orvel::Watched* watched) {
    const size_t index = IndexOf(watched);
    if (index < heldWatched.size()) {
        LetGo(index, true);
    }
}

// The unit is being destroyed: only what was kept beside it is read.
void MagnetComponent::OnWatchedGoingAway(orvel::Watched* watched) {
    const size_t index = IndexOf(watched);
    if (index < heldWatched.size()) {
        LetGo(index, false);
    }
}

void MagnetComponent::OnTransform(const orvel::Matrix4& matrix) {
    if (contactSensor) {
        contactSensor->SetMatrixDirect(matrix);
    }
    if (attractSensor) {
        attractSensor->SetMatrixDirect(matrix);
    }
}

void MagnetComponent::OnSetPosition(const orvel::Vector4& position) {
    if (contactSensor) {
        contactSensor->SetPosition(position);
    }
    if (attractSensor) {
        attractSensor->SetPosition(position);
    }
}
