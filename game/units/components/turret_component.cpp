#include "game/units/components/turret_component.h"

#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"

namespace {
const PropertyKey GUNNER_OFFSET("gunnerOffset");
const PropertyKey HIT_POINTS("hitPoints");
}  // namespace

ComponentPtr TurretComponent::Clone() const { return std::make_shared<TurretComponent>(); }

void TurretComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    BunkerComponent::Load(entryPtr);
    const orvel::Properties& entry = *entryPtr;
    if (entry.HasProperty(GUNNER_OFFSET)) {
        const orvel::PointI point = entry.GetPoint(GUNNER_OFFSET);
        const float scale = GetWorld()->GetScale();
        gunnerOffset = orvel::Vector4(point.x / scale, point.y / scale, 0.0f, 1.0f);
    }
    if (entry.HasProperty(HIT_POINTS)) {
        gunnerHitPoints = gunnerMaxHitPoints = entry.GetInt(HIT_POINTS);
        gunnerHasHitPoints = true;
    }
}

void TurretComponent::CopyFrom(const Component& prototypeComponent) {
    BunkerComponent::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const TurretComponent&>(prototypeComponent);
    gunnerOffset = prototype.gunnerOffset;
    gunnerHitPoints = prototype.gunnerHitPoints;
    gunnerMaxHitPoints = prototype.gunnerMaxHitPoints;
    gunnerHasHitPoints = prototype.gunnerHasHitPoints;
}

bool TurretComponent::AcceptContact(PhysMaterial*, orvel::Body* other) {
    return !gunner || other->GetTeam() != GetOwnerTeam();
}

bool TurretComponent::OnContact(PhysMaterial*, PhysContact*, orvel::Body* other) {
    if (!other->IsAlive() || other->GetTeam() == GetOwnerTeam()) {
        return false;
    }
    return GetOwnerTeam() != 0;
}

void TurretComponent::Update() {
    if (!gunner && sensor) {
        for (const orvel::SensedBody& record : sensor->GetSensed()) {
            auto* unit = dynamic_cast<ComponentBody*>(record.body);
            if (unit && unit->IsAlive() && IsAllowed(unit->GetObjectName()) &&
                EnterUnit(unit->GetTeam(), unit->GetObjectName())) {
                Man(*unit);
                break;
            }
        }
    }
    if (sensor) {
        sensor->ClearSensed();
    }
}

void TurretComponent::Man(ComponentBody& unit) {
    gunner = &unit;
    unit.HandleEvent(EVENT_STOWED, 0, GetOwner());
    SendOwnerMessage(MESSAGE_MOVE);
    SendOwnerMessage(MESSAGE_SET_ARMED, 1);
    gunnerHitPoints = gunnerMaxHitPoints;
    unit.NotifyEvent();
    unit.AddWatcher(this);
    ComponentBody* owner = GetOwner();
    if (facingSide == 0) {
        facingSide = owner->IsFlipped() ? -1 : 1;
    }
    if (facingSide != unit.GetTeam()) {
        SendOwnerMessage(MESSAGE_TURN_AROUND);
    }
    const orvel::Vector4 base = owner->GetMatrix().GetPosition();
    const float x = owner->IsFlipped() ? base.x - gunnerOffset.x : base.x + gunnerOffset.x;
    const orvel::Vector4 seat(x, base.y + gunnerOffset.y, base.z + gunnerOffset.z);
    unit.SetPosition(seat);
    gunnerJoint = std::make_shared<orvel::Joint>(owner->GetWorld());
    gunnerJoint->CreateHinge(unit.GetPosition(), &unit, nullptr);
    owner->SetTeam(unit.GetTeam());
    facingSide = owner->GetTeam();
}

bool TurretComponent::HandleMessage(int id, intptr_t data, void* arg) {
    if (id == MESSAGE_IS_CREW) {
        return gunner != nullptr && arg == gunner;
    }
    if (id != MESSAGE_HURT) {
        return false;
    }
    if (gunnerHasHitPoints && gunner) {
        gunnerHitPoints -= static_cast<int>(data);
        if (gunnerHitPoints < 1) {
            ComponentBody* fallen = gunner;
            fallen->RecordInUnitStats();
            GetWorld()->KeepObject(gunnerJoint);
            fallen->RemoveWatcher(this);
            fallen->HandleEvent(EVENT_UNSTOWED, 0, GetOwner());
            fallen->HandleEvent(EVENT_MAKE_NO_COLLIDE, 0, GetOwner());
            fallen->HandleEvent(EVENT_REMOVE, 0, GetOwner());
            Unman();
        }
    }
    return true;
}

void TurretComponent::OnWatchedGoingAway(orvel::Watched* watched) {
    if (watched == gunner) {
        Unman();
    } else {
        BunkerComponent::OnWatchedGoingAway(watched);
    }
}

void TurretComponent::Unman() {
    gunner = nullptr;
    // The count goes with the gunner, so that the next one mans an empty
    // turret rather than "killing" a defender who is not there.
    soldiers = 0;
    gunnerHitPoints = gunnerMaxHitPoints;
    gunnerJoint.reset();
    SendOwnerMessage(MESSAGE_LOSE);
    SendOwnerMessage(MESSAGE_SET_ARMED, 0);
    GetOwner()->SetTeam(0);
}
