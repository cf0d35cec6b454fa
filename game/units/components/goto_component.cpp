#include "game/units/components/goto_component.h"

#include <algorithm>
#include <cmath>

#include "engine/fuzzy/fuzzy_set.h"
#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey LITRES_PER_SECOND("litresPerSecond");

const PropertyKey FAST("fast");
const PropertyKey VERY_CLOSE_X("veryCloseX");
const PropertyKey CLOSE_Y("closeY");

const PropertyKey MAGNET_COMPONENT("MagnetComponent");
const PropertyKey TANK("Tank");
const PropertyKey FLAK_TRUCK("FlakTruck");

const int GOOD_SIDE = 1;

// Right above the target: closer in x than this "veryCloseX", and "closeY"
// below this.
const float OVER_TARGET_X = 0.87f;
const float OVER_TARGET_Y = -0.85f;
// Faster than this "fast" counts as moving.
const float MOVING = 0.2f;
const float PUFF = 0.5f;
// The weight of the load takes this much more lift than it weighs.
const float LOAD_LIFT = 1.25f;
// A force of this size burns fuel at the full rate, horizontally and
// vertically.
const float FULL_BURN_X = 6.5f;
const float FULL_BURN_Y = 5.5f;

float FloatOr(const orvel::Properties& entry, PropertyKey key, float fallback) {
    return entry.HasProperty(key) ? entry.GetFloat(key) : fallback;
}

// Into [-limit, limit]; a negative limit turns the force round, as the
// plain comparisons do.
float Clamp(float value, float limit) {
    return value > 0.0f ? std::min(value, limit) : std::max(value, -limit);
}

}  // namespace

ComponentPtr GotoComponent::Clone() const { return std::make_shared<GotoComponent>(); }

void GotoComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    steering.Load(entry);
    litresPerSecond = FloatOr(entry, LITRES_PER_SECOND, kDefaultLitresPerSecond);
}

void GotoComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const GotoComponent&>(prototypeComponent);
    if (&prototype != this) {
        steering = prototype.steering;
    }
    gotoTarget.CopyFrom(prototype.gotoTarget);
    litresPerSecond = prototype.litresPerSecond;
}

bool GotoComponent::HandleMessage(int id, intptr_t, void*) {
    switch (id) {
    case MESSAGE_FALL_TO_DEATH:
        suspended = 1;
        return true;
    case MESSAGE_DIE:
        suspended = 0;
        return true;
    default:
        return false;
    }
}

void GotoComponent::FindMagnet() {
    if (magnet == nullptr) {
        magnet = static_cast<MagnetComponent*>(GetOwner()->GetComponent(MAGNET_COMPONENT));
    }
}

bool GotoComponent::MagnetHoldsNothing() const {
    return magnet == nullptr || magnet->GetHeldBodies().empty();
}

bool GotoComponent::MagnetIsOn() const { return magnet != nullptr && magnet->IsActive(); }

float GotoComponent::CarriedMass() {
    float carried = 0.0f;
    SendOwnerMessage(MESSAGE_ADD_CARRIED_MASS, reinterpret_cast<intptr_t>(&carried), this);
    return carried;
}

float GotoComponent::Distance(PropertyKey set, float x) const {
    return steering.distanceContext.GetFuzzySet(set)->Evaluate(x);
}

void GotoComponent::SetTargetBody(orvel::Body* body) {
    active = targetIsBody = body != nullptr;
    gotoTarget.SetBody(body);
}

void GotoComponent::SetTargetPoint(float x, float y) {
    active = true;
    gotoTarget.SetPoint(orvel::Vector4(x, y, 0.0f, 1.0f));
    targetIsBody = false;
    FindMagnet();
    if (MagnetHoldsNothing()) {
        SendOwnerMessage(MESSAGE_STOP, 0, nullptr);
    }
}

void GotoComponent::Update() {
    if (!active) {
        return;
    }
    FindMagnet();
    ComponentBody& owner = *GetOwner();
    orvel::Vector4 target = gotoTarget.GetPosition();
    const orvel::Vector4 targetVelocity = gotoTarget.GetVelocity();
    orvel::Body* targetBody = gotoTarget.GetBody();
    if (targetBody != nullptr &&
        (targetBody->GetObjectName() == TANK || targetBody->GetObjectName() == FLAK_TRUCK)) {
        target.x += targetBody->GetTeam() == GOOD_SIDE ? -kVehicleSideOffset : kVehicleSideOffset;
    }
    const orvel::Vector4 v = VelocityOf(owner);
    const orvel::Vector4 position = owner.GetPosition();
    const orvel::Vector4 d(target.x - position.x, target.y - position.y, target.z - position.z,
                           0.0f);
    const float load = owner.GetMass() + CarriedMass();

    const float fast =
        std::fabs(steering.speedContext.GetFuzzySet(FAST)->Evaluate(v.x - targetVelocity.x));
    const float veryCloseX = std::fabs(Distance(VERY_CLOSE_X, d.x));
    const float distantX = steering.Distant(d.x);
    const float closeY = Distance(CLOSE_Y, d.y);

    const std::vector<ComponentBody*> held =
        magnet != nullptr ? magnet->GetHeldBodies() : std::vector<ComponentBody*>();
    if (targetBody != nullptr && std::find(held.begin(), held.end(), targetBody) != held.end()) {
        // Picked up: lift it straight up from here.
        gotoTarget.SetPoint(orvel::Vector4(position.x, position.y + GotoTarget::kKeptHeight,
                                           position.z, position.w));
        targetIsBody = false;
    }
    if (targetIsBody && gotoTarget.GetBody() == nullptr) {
        targetIsBody = false;
        if (MagnetHoldsNothing()) {
            SendOwnerMessage(MESSAGE_STOP, 0, this);
        }
    }
    if (!targetIsBody && MagnetIsOn() && held.empty() && MagnetHoldsNothing()) {
        SendOwnerMessage(MESSAGE_STOP, 0, this);
    }
    const bool hover = targetIsBody && veryCloseX > OVER_TARGET_X && closeY < OVER_TARGET_Y;
    if (hover && !MagnetIsOn()) {
        SendOwnerMessage(MESSAGE_FIRE, 0, this);
    }
    // A frame that took no physics step has no time to reach a velocity in:
    // the force of the last frame stays.
    const float dt = GetFrameTime();
    if (dt > 0.0f) {
        Steer(target, targetVelocity, d, distantX, load, hover, dt);
    }
    ReportMotion(fast);
    ReportFuel();
    PayFuel();
}

void GotoComponent::Steer(const orvel::Vector4& target, const orvel::Vector4& targetVelocity,
                          const orvel::Vector4& d, float D, float load, bool hover, float dt) {
    const ComponentBody& owner = *GetOwner();
    const orvel::Vector4 v = VelocityOf(owner);
    const orvel::Vector4 w = steering.WantedVelocity(d.x, target.y, owner.GetPosition().y, D);
    force.x = (w.x - (v.x - targetVelocity.x)) * load / dt;
    force.y = hover ? 0.0f : (w.y - (v.y - targetVelocity.y)) * load / dt;
    force.y -= load * GetWorld()->GetGravity().y;
}

void GotoComponent::ReportMotion(float fast) {
    if (fast > MOVING) {
        if (!moving) {
            SendOwnerMessage(MESSAGE_MOVE, 0, this);
        }
        moving = true;
    } else {
        if (moving) {
            SendOwnerMessage(MESSAGE_LOSE, 0, this);
        }
        moving = false;
    }
}

void GotoComponent::ReportFuel() {
    if (puffFuel > PUFF) {
        puffFuel -= PUFF;
        SendOwnerMessage(MESSAGE_SET_ARMED, 1, this);
    } else {
        SendOwnerMessage(MESSAGE_SET_ARMED, 0, this);
    }
}

void GotoComponent::PayFuel() {
    if (damageFuel > 1.0f) {
        const float whole = std::trunc(damageFuel);
        damageFuel -= whole;
        SendOwnerMessage(MESSAGE_DAMAGE, static_cast<intptr_t>(whole), this);
    }
}

void GotoComponent::ApplyForces() {
    if (!active) {
        return;
    }
    ComponentBody& owner = *GetOwner();
    const float carried = CarriedMass();
    const float m = owner.GetMass();
    const float hLimit = steering.horizontalThrust;
    const float vLimit =
        m * steering.verticalThrust + LOAD_LIFT * carried * GetWorld()->GetGravity().y;
    if (suspended == 0) {
        force.x = Clamp(force.x, hLimit);
        force.y = Clamp(force.y, vLimit);
        const float a = std::min(std::fabs(force.x) / FULL_BURN_X, 1.0f);
        const float b = std::min(std::fabs(force.y) / FULL_BURN_Y, 1.0f);
        const float fuel = (a + b) * litresPerSecond * GetWorld()->GetTimeStep();
        damageFuel += fuel;
        puffFuel += fuel;
    }
    AddForceNow(owner, force);
}
