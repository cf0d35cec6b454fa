#include "game/units/components/bomber_component.h"

#include "engine/core/exception.h"
#include "engine/physics/collision.h"
#include "engine/physics/joint.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/multi_sensor_body.h"
#include "engine/sound/sound.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"

namespace {

const PropertyKey BOMB_DROPPED_SOUND("bombDroppedSound");
const PropertyKey SHOT_CREATION_POINT("shotCreationPoint");
const PropertyKey SHOT_OBJECT_NAME("shotObjectName");
const PropertyKey GEOMETRY("Geometry");
const PropertyKey MATERIAL_GROUP_NAME("materialGroupName");
const PropertyKey BALLOON_BOMB("BalloonBomb");

// Sensors sit a pixel inside the 10-pixel-deep units they watch.
const float SENSOR_DEPTH = 9.0f;
const float HINGE_STIFFNESS = 0.9f;

void Require(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        throw orvel::ExceptionStringNotFound(key.GetName(), "objectFile?");
    }
}

orvel::Vector4 Offset(const orvel::Vector4& position, const orvel::Vector4& offset) {
    return orvel::Vector4(position.x + offset.x, position.y + offset.y, position.z + offset.z,
                          position.w);
}

}  // namespace

ComponentPtr BomberComponent::Clone() const { return std::make_shared<BomberComponent>(); }

void BomberComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    Require(entry, SHOT_CREATION_POINT);
    Require(entry, SHOT_OBJECT_NAME);
    const bool hasSensor = entry.HasProperty(GEOMETRY);
    if (hasSensor) {
        Require(entry, MATERIAL_GROUP_NAME);
    }
    if (entry.HasProperty(BOMB_DROPPED_SOUND)) {
        dropSound = CreateUnitSound(PropertyKey::Intern(entry.GetString(BOMB_DROPPED_SOUND)));
    }
    const orvel::PointI point = entry.GetPoint(SHOT_CREATION_POINT);
    const float scale = GetWorld()->GetScale();
    bombOffset = orvel::Vector4(point.x / scale, point.y / scale, 0.0f, 1.0f);
    if (IsOwnerFlipped()) {
        bombOffset.x = -bombOffset.x;
    }
    bombObjectName = PropertyKey::Intern(entry.GetString(SHOT_OBJECT_NAME));

    ComponentBody* owner = GetOwner();
    auto newBomb = std::make_shared<ComponentBody>();
    newBomb->SpawnUnit(GetWorld(), owner->GetCreationContext(), owner->GetLoadContext(),
                       GetOwnerObjectDefinitions(), bombObjectName, GetOwnerTeam());
    newBomb->SetTeam(GetOwnerTeam());
    Hang(newBomb);

    if (hasSensor) {
        auto shape = std::make_shared<orvel::Collision>(GetWorld());
        shape->SetDepth(SENSOR_DEPTH);
        shape->Load(entry.GetStruct(GEOMETRY), IsOwnerFlipped());
        sensor = std::make_shared<orvel::MultiSensorBody>();
        sensor->CreateWithCollision(GetWorld(), shape);
        sensor->SetMaterialGroup(PropertyKey::Intern(entry.GetString(MATERIAL_GROUP_NAME)));
    }
}

void BomberComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const BomberComponent&>(prototypeComponent);
    if (prototype.sensor) {
        sensor = std::make_shared<orvel::MultiSensorBody>();
        sensor->CopyFrom(*prototype.sensor);
    }
    bombOffset = prototype.bombOffset;
    bombObjectName = prototype.bombObjectName;
    if (prototype.dropSound) {
        dropSound = CreateUnitSound(prototype.dropSound->GetSample()->GetName());
    }
    if (prototype.bomb != nullptr) {
        auto newBomb = std::make_shared<ComponentBody>();
        newBomb->CopyFrom(*prototype.bomb);
        Hang(newBomb);
    }
}

void BomberComponent::Hang(const std::shared_ptr<ComponentBody>& newBomb) {
    bomb = newBomb.get();
    bomb->AddWatcher(this);
    const orvel::Vector4 position = Offset(GetOwner()->GetPosition(), bombOffset);
    bomb->SetPosition(position);
    GetWorld()->AddBody(newBomb);
    const orvel::Vector4 pivot(position.x - bombOffset.x * 0.5f, position.y - bombOffset.y * 0.5f,
                               position.z - bombOffset.z * 0.5f, position.w);
    bombJoint = std::make_shared<orvel::Joint>(GetWorld());
    bombJoint->CreateHinge(pivot, bomb, GetOwner());
    bombJoint->SetStiffness(HINGE_STIFFNESS);
    bombMass = bomb->GetMass();
}

// The joint may still be in use by the step under way, so the world keeps
// it until the frame is over.
void BomberComponent::Drop() {
    GetWorld()->KeepObject(bombJoint);
    bombJoint.reset();
    dropped = true;
    if (dropSound) {
        dropSound->PlayAt(GetOwner()->GetMatrix().m);
    }
}

void BomberComponent::ForgetBomb() {
    if (bomb != nullptr) {
        bomb->RemoveWatcher(this);
        bomb = nullptr;
    }
}

bool BomberComponent::HandleMessage(int id, intptr_t data, void*) {
    switch (id) {
    case MESSAGE_DIE:
        if (bombJoint) {
            Drop();
        }
        return true;
    case MESSAGE_REMOVE:
        if (!dropped && bomb != nullptr && bomb->IsAlive()) {
            bomb->SetAlive(false);
        }
        return true;
    case MESSAGE_ADD_MASS:
        // A dropped bomb is no longer part of the carrier's weight.
        if (IsCarrying()) {
            *reinterpret_cast<float*>(data) += bombMass;
        }
        return true;
    case MESSAGE_SET_TEAM:
        if (bomb != nullptr) {
            bomb->SetTeam(static_cast<int>(data));
        }
        return true;
    default:
        return false;
    }
}

void BomberComponent::OnFreeze() {
    if (bomb != nullptr) {
        bomb->Freeze();
    }
    if (sensor) {
        sensor->Freeze();
    }
}

void BomberComponent::OnUnfreeze() {
    if (bomb != nullptr) {
        bomb->Unfreeze();
    }
    if (sensor) {
        sensor->Unfreeze();
    }
}

// The bomb is a unit of the world, which pre-steps and updates it like any
// other; the carrier only looks out for enemies.
void BomberComponent::Update() {
    if (!sensor) {
        return;
    }
    sensor->PruneOutsideWorld();
    if (bombJoint && sensor->FindEnemy(GetOwnerTeam()) != nullptr) {
        Drop();
    }
    sensor->ClearSensed();
}

void BomberComponent::OnTransform(const orvel::Matrix4& matrix) {
    if (sensor) {
        sensor->SetMatrixDirect(matrix);
    }
}

// Moving the carrier takes a hanging bomb along; a dropped one is on its own.
void BomberComponent::OnSetPosition(const orvel::Vector4& position) {
    if (IsCarrying()) {
        bomb->SetPosition(Offset(position, bombOffset));
    }
}

void BomberComponent::OnLeaveWorld() {
    if (dropped) {
        return;
    }
    if (bomb != nullptr) {
        bomb->SetAlive(false);
        ForgetBomb();
    } else if (GetOwner()->GetObjectName() == BALLOON_BOMB) {
        // A balloon without a bomb that drifts off was no loss: take back
        // the loss that leaving the world counted.
        if (const std::shared_ptr<UnitStats> stats = CurrentUnitStats()) {
            stats->Decrement(UnitStats::KIND_LOST, BALLOON_BOMB, GetOwnerTeam());
        }
    }
}

void BomberComponent::OnWatchedEvent(orvel::Watched*) {
    if (dropSound) {
        dropSound->Stop();
        dropSound.reset();
    }
}

void BomberComponent::OnWatchedGoingAway(orvel::Watched* watched) {
    if (watched == static_cast<orvel::Watched*>(bomb)) {
        bomb = nullptr;
    }
}
