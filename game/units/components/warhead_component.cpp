#include "game/units/components/warhead_component.h"

#include <cmath>

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey LIFE("life");
const PropertyKey IMPULSE("impulse");
const PropertyKey START_ARMED("startArmed");
const PropertyKey CLEAR_BUNKERS("clearBunkers");
const PropertyKey ARM_ON_CONTACT_WITH_TERRAIN("armOnContactWithTerrain");
const PropertyKey HIT_POINTS("hitPoints");
const PropertyKey GEOMETRY("Geometry");

const PropertyKey TERRAIN("mg_terrain");
const PropertyKey MAGNET("mg_magnet");
const PropertyKey STATIC_UNIT("mg_static_unit");
const PropertyKey NO_COLLIDE("mg_no_collide");

// The blast centre lies this far down, so a throw always lifts.
const float BLAST_CENTRE_Y = -1.0f;
// The point of a throw is moved sideways by this share of the offset in
// pixels, which sets what is thrown spinning.
const float SPIN_PIXELS = 200.0f;

orvel::Vector4 Normalised(const orvel::Vector4& d) {
    const float length = d.z == 0.0f ? std::sqrt(d.x * d.x + d.y * d.y)
                                     : std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length == 0.0f) {
        return orvel::Vector4(0.0f, 0.0f, 0.0f, d.w);
    }
    return orvel::Vector4(d.x / length, d.y / length, d.z / length, d.w);
}

// Whether the sensor still holds the body: one that went away meanwhile has
// left its list.
bool StillSensed(const orvel::MultiSensorBody& sensor, const orvel::Body* body) {
    for (const orvel::SensedBody& record : sensor.GetSensed()) {
        if (record.body == body) {
            return true;
        }
    }
    return false;
}

}  // namespace

ComponentPtr WarheadComponent::Clone() const { return std::make_shared<WarheadComponent>(); }

void WarheadComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    if (!entry.HasProperty(LIFE)) {
        throw orvel::ExceptionStringNotFound(LIFE.GetName(), "objectFile?");
    }
    life = entry.GetFloat(LIFE);
    lifeCounting = life != 0.0f;
    if (entry.HasProperty(IMPULSE)) {
        impulse = entry.GetFloat(IMPULSE);
    }
    if (entry.HasProperty(START_ARMED)) {
        startArmed = armed = entry.GetBool(START_ARMED);
    }
    if (entry.HasProperty(CLEAR_BUNKERS)) {
        clearBunkers = entry.GetBool(CLEAR_BUNKERS);
    }
    if (entry.HasProperty(ARM_ON_CONTACT_WITH_TERRAIN)) {
        armOnContactWithTerrain = entry.GetBool(ARM_ON_CONTACT_WITH_TERRAIN);
    }
    if (entry.HasProperty(HIT_POINTS)) {
        hitPoints = entry.GetInt(HIT_POINTS);
    }
    if (entry.HasProperty(GEOMETRY)) {
        sensor = CreateSensorFromShape(*GetOwner(), entry.GetStruct(GEOMETRY), entry);
    }
}

void WarheadComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const WarheadComponent&>(prototypeComponent);
    sensor = CopySensor(prototype.sensor);
    life = prototype.life;
    hitPoints = prototype.hitPoints;
    lifeCounting = prototype.lifeCounting;
    armOnContactWithTerrain = prototype.armOnContactWithTerrain;
    armPermitted = prototype.armPermitted;
    impulse = prototype.impulse;
    clearBunkers = prototype.clearBunkers;
    startArmed = armed = prototype.startArmed;
}

bool WarheadComponent::HandleMessage(int id, intptr_t data, void* arg) {
    switch (id) {
        case MESSAGE_DIE:
            NotifyOwnerWatchers();
            if (sensor) {
                explodeRequested = true;
            }
            return true;
        case MESSAGE_SET_ARMED:
            armPermitted = data != 0;
            return true;
        case MESSAGE_SET_FIRER:
            firer = static_cast<orvel::Body*>(arg);
            firer->AddWatcher(this);
            return true;
        default:
            return false;
    }
}

bool WarheadComponent::AcceptContact(PhysMaterial*, orvel::Body* other) {
    if (!armed) {
        return true;
    }
    if (other->GetTeam() == GetOwnerTeam()) {
        return false;
    }
    return !(other->GetMaterialGroup() == STATIC_UNIT && other->GetTeam() == 0);
}

bool WarheadComponent::OnContact(PhysMaterial*, PhysContact*, orvel::Body* other) {
    if (!IsOwnerAlive() || hitPoints == 0) {
        return false;
    }
    if (armOnContactWithTerrain) {
        if (other->GetMaterialGroup() != TERRAIN) {
            return other->GetMaterialGroup() == MAGNET;
        }
        if (armPermitted) {
            GetOwner()->SetLink(0, 1);
            GetOwner()->SetLink(1, reinterpret_cast<intptr_t>(other));
            SendOwnerMessage(MESSAGE_AIM, 0, this);
            armed = true;
        }
        return true;
    }
    if (!armed) {
        return true;
    }
    if (!struck) {
        Strike(other);
    }
    // An armed charge passes into what it hits; the hit is dealt after the step.
    return false;
}

void WarheadComponent::Strike(orvel::Body* body) {
    struck = body;
    body->AddWatcher(this);
}

void WarheadComponent::OnWatchedGoingAway(orvel::Watched* watched) {
    if (watched == struck) {
        struck = nullptr;
    }
    if (watched == firer) {
        firer = nullptr;
    }
}

bool WarheadComponent::Spares(orvel::Body& body) const {
    if (!firer) {
        return false;
    }
    if (&body == firer) {
        return true;
    }
    auto* unit = dynamic_cast<ComponentBody*>(firer);
    return unit && unit->SendMessage(MESSAGE_IS_CREW, 0, &body);
}

void WarheadComponent::OnFreeze() {
    if (sensor) {
        sensor->Freeze();
    }
}

void WarheadComponent::OnUnfreeze() {
    if (sensor) {
        sensor->Unfreeze();
    }
}

void WarheadComponent::OnTransform(const orvel::Matrix4& matrix) {
    if (sensor) {
        sensor->SetMatrix(matrix);
    }
}

void WarheadComponent::OnSetPosition(const orvel::Vector4& position) {
    if (sensor) {
        sensor->SetPosition(position);
    }
}

void WarheadComponent::PreStep() {
    if (lifeCounting && armed) {
        life -= GetFrameTime();
    }
}

void WarheadComponent::HitOrHeal(orvel::Body& body, orvel::Body* sender) {
    if (hitPoints > 0) {
        body.HandleEvent(EVENT_HIT, hitPoints, sender);
    } else {
        body.HandleEvent(EVENT_HEAL, -hitPoints, sender);
    }
}

void WarheadComponent::Update() {
    if (explodeRequested) {
        explodeRequested = false;
        Explode(nullptr);
    }
    if (armed && struck) {
        orvel::Body* target = struck;
        struck = nullptr;
        // Removes this strike's watch alone: a struck firer stays watched.
        target->RemoveWatcher(this);
        if (sensor) {
            Explode(target);
        } else {
            HitOrHeal(*target, nullptr);
        }
        if (hitPoints >= 0) {
            hitPoints = 0;
            SendOwnerMessage(MESSAGE_DIE, 0, this);
        } else {
            // A healing charge that struck stays in the world, spent.
            GetOwner()->SetMaterialGroup(NO_COLLIDE);
        }
        hitPoints = 0;
        lifeCounting = false;
    }
    if (lifeCounting && armed && life <= 0.0f) {
        lifeCounting = false;
        SendOwnerMessage(MESSAGE_DIE, 0, this);
        if (sensor) {
            Explode(nullptr);
        }
    }
    if (sensor) {
        sensor->ClearSensed();
    }
}

void WarheadComponent::Explode(orvel::Body* trigger) {
    if (exploded) {
        return;
    }
    exploded = true;
    // The list is copied: a body hit may die and leave the sensor's list.
    const std::vector<orvel::SensedBody> sensed = sensor->GetSensed();
    for (const orvel::SensedBody& record : sensed) {
        if (record.body != trigger && StillSensed(*sensor, record.body)) {
            Blast(*record.body);
        }
    }
    if (trigger) {
        Blast(*trigger);
    }
    GetOwner()->RecordInUnitStats();
    hitPoints = 0;
}

void WarheadComponent::Blast(orvel::Body& body) {
    if (Spares(body)) {
        return;
    }
    if (impulse == 0.0f) {
        HitOrHeal(body, GetOwner());
        return;
    }
    orvel::Vector4 centre = GetOwner()->GetPosition();
    centre.y = BLAST_CENTRE_Y;
    orvel::Vector4 point = body.GetPosition();
    const orvel::Vector4 offset(point.x - centre.x, point.y - centre.y, point.z - centre.z,
                                point.w);
    point.x -= offset.x * GetWorld()->GetScale() / SPIN_PIXELS;
    const orvel::Vector4 direction = Normalised(offset);
    body.HandleEvent(EVENT_FALL_TO_DEATH, 0, GetOwner());
    body.AddImpulse(orvel::Vector4(direction.x * impulse, direction.y * impulse, 0.0f), point);
}
