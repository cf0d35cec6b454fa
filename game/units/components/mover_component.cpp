#include "game/units/components/mover_component.h"

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey MAX_VELOCITY("maxVelocity");
const PropertyKey MOVE_ON_UPRIGHT("moveOnUpright");
const PropertyKey MOVE_ON_CONTACT("moveOnContact");
const PropertyKey DIE_ON_IMPACT("dieOnImpact");
const PropertyKey MOVE_ON_CONTACT_WITH_MG("moveOnContactWithMG");
const PropertyKey DIE_ON_IMPACT_WITH_MG("dieOnImpactWithMG");
const PropertyKey IMPACT_VELOCITY("impactVelocity");
const PropertyKey STOP_ON_CONTACT("stopOnContact");
const PropertyKey STOP_ON_CONTACT_WITH_ENEMY_MG("stopOnContactWithEnemyMG");

const char* const WHERE = "MoverComponent";

// Upside down below this height of the up axis, on its side below its negation.
const float UPSIDE_DOWN = -0.25f;
const float ON_ITS_SIDE = 0.25f;

bool BoolOr(const orvel::Properties& entry, PropertyKey key, bool fallback) {
    return entry.HasProperty(key) ? entry.GetBool(key) : fallback;
}

const orvel::Properties& Require(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        throw orvel::ExceptionStringNotFound(key.GetName(), WHERE);
    }
    return entry;
}

PropertyKey RequiredGroup(const orvel::Properties& entry, PropertyKey key) {
    return PropertyKey::Intern(Require(entry, key).GetString(key));
}

}  // namespace

ComponentPtr MoverComponent::Clone() const { return std::make_shared<MoverComponent>(); }

void MoverComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    if (entry.HasProperty(MAX_VELOCITY)) {
        maxVelocity = speed = entry.GetFloat(MAX_VELOCITY);
    }
    moveOnUpright = BoolOr(entry, MOVE_ON_UPRIGHT, false);
    moveOnContact = BoolOr(entry, MOVE_ON_CONTACT, false);
    dieOnImpact = BoolOr(entry, DIE_ON_IMPACT, false);
    if (moveOnContact) {
        moveOnContactWithMG = RequiredGroup(entry, MOVE_ON_CONTACT_WITH_MG);
    }
    if (dieOnImpact) {
        dieOnImpactWithMG = RequiredGroup(entry, DIE_ON_IMPACT_WITH_MG);
        impactVelocity = Require(entry, IMPACT_VELOCITY).GetFloat(IMPACT_VELOCITY);
    }
    stopOnContact = BoolOr(entry, STOP_ON_CONTACT, false);
    if (stopOnContact) {
        stopOnContactWithEnemyMG = RequiredGroup(entry, STOP_ON_CONTACT_WITH_ENEMY_MG);
    }
}

void MoverComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const MoverComponent&>(prototypeComponent);
    maxVelocity = prototype.maxVelocity;
    impactVelocity = prototype.impactVelocity;
    speed = prototype.speed;
    dieOnImpact = prototype.dieOnImpact;
    moveOnContact = prototype.moveOnContact;
    stopOnContact = prototype.stopOnContact;
    moveOnUpright = prototype.moveOnUpright;
    moveOnContactWithMG = prototype.moveOnContactWithMG;
    stopOnContactWithEnemyMG = prototype.stopOnContactWithEnemyMG;
    dieOnImpactWithMG = prototype.dieOnImpactWithMG;
}

bool MoverComponent::HandleMessage(int id, intptr_t data, void*) {
    switch (id) {
    case MESSAGE_STOP:
        speed = 0.0f;
        return true;
    case MESSAGE_MOVE:
        return true;
    case MESSAGE_FALL:
        moving = false;
        return true;
    case MESSAGE_FALL_TO_DEATH:
        moving = false;
        enabled = false;
        dieOnImpact = false;
        return true;
    case MESSAGE_DIE:
        enabled = false;
        return true;
    case MESSAGE_TURN_AROUND:
        maxVelocity = -maxVelocity;
        speed = -speed;
        return true;
    case MESSAGE_SET_TARGET:
        // Without a direction to read, the unit keeps its own.
        if (data != 0) {
            const float* xy = reinterpret_cast<const float*>(data);
            direction = orvel::Vector4(xy[0], xy[1], 0.0f, 1.0f);
        }
        return true;
    default:
        return false;
    }
}

bool MoverComponent::OnContact(PhysMaterial*, PhysContact*, orvel::Body* other) {
    const PropertyKey group = other->GetMaterialGroup();
    if (moveOnContact && group == moveOnContactWithMG) {
        moveContactNow = true;
        contactBody = other;
    }
    if (stopOnContact && group == stopOnContactWithEnemyMG && other->GetTeam() != 0 &&
        other->GetTeam() != GetOwnerTeam()) {
        stopContact = true;
    }
    if (dieOnImpact && group == dieOnImpactWithMG) {
        contactBody = other;
        impactContact = true;
    }
    return true;
}

void MoverComponent::PreStep() {
    if (speed == maxVelocity || maxVelocity == 0.0f) {
        return;
    }
    const float step = kAcceleration * GetFrameTime();
    if (maxVelocity > 0.0f) {
        speed = speed + step < maxVelocity ? speed + step : maxVelocity;
    } else {
        speed = speed - step > maxVelocity ? speed - step : maxVelocity;
    }
}

void MoverComponent::HandleStopContact() {
    if (stopContact && !stopped) {
        SendOwnerMessage(MESSAGE_STOP, 0, this);
        stopped = true;
    } else if (!stopContact && stopped) {
        SendOwnerMessage(MESSAGE_MOVE, 0, this);
        stopped = false;
    }
    stopContact = false;
}

bool MoverComponent::HandleMoveContact() {
    if (!moveContactNow) {
        moving = false;
        return false;
    }
    if (!moving) {
        SendOwnerMessage(MESSAGE_MOVE, 0, this);
        moving = true;
    }
    moveContactNow = false;
    contactBody = nullptr;
    return true;
}

void MoverComponent::ApplyForces() {
    ComponentBody& owner = *GetOwner();
    const float mass = owner.GetMass();
    if (mass == 0.0f) {
        return;
    }
    const orvel::Vector4 v = VelocityOf(owner);
    if (moveContactNow != moving) {
        owner.SetLink(0, moveContactNow ? 1 : 0);
        owner.SetLink(1, reinterpret_cast<intptr_t>(contactBody));
    }
    if (dieOnImpact && v.y < impactVelocity) {
        owner.SetLink(2, 1);
        SendOwnerMessage(MESSAGE_FALL_TO_DEATH, 0, this);
    }
    if (!enabled) {
        return;
    }
    // The step in which the unit stops for an enemy skips the ground check
    // and pushes it to a halt.
    bool stoppedNow = false;
    if (stopOnContact) {
        const bool wasStopped = stopped;
        HandleStopContact();
        stoppedNow = stopped && !wasStopped;
    }
    if (moveOnContact && !stoppedNow && !HandleMoveContact()) {
        return;
    }
    const float along = v.x * direction.x + v.y * direction.y + v.z * direction.z;
    const float scale = (speed - along) * mass / GetWorld()->GetTimeStep();
    AddForceNow(owner, orvel::Vector4(direction.x * scale, direction.y * scale,
                                      direction.z * scale, 0.0f));
}

void MoverComponent::Update() {
    ComponentBody& owner = *GetOwner();
    if (moving && moveOnUpright && !owner.IsMagneted()) {
        const float up = owner.GetMatrix().m[5];
        if (up < UPSIDE_DOWN) {
            SendOwnerMessage(MESSAGE_DIE, 0, this);
            return;
        }
        if (up < ON_ITS_SIDE) {
            return;
        }
    }
    if (dieOnImpact && impactContact && owner.GetLink(2) != 0) {
        owner.SetLink(0, 1);
        owner.SetLink(1, reinterpret_cast<intptr_t>(contactBody));
        SendOwnerMessage(MESSAGE_DIE, 0, this);
    }
    impactContact = false;
}
