#include "game/units/components/ai_component.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/components/ai_planner.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey MAGNET_COMPONENT("MagnetComponent");
const PropertyKey AI_COMPONENT("AIComponent");

}  // namespace

ComponentPtr AIComponent::Clone() const { return std::make_shared<AIComponent>(); }

void AIComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    steering.Load(*entryPtr);
    capabilities = AICapabilities::FromRegistry();
}

void AIComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const AIComponent&>(prototypeComponent);
    if (&prototype != this) {
        steering = prototype.steering;
    }
    target = prototype.target;
    capabilities = prototype.capabilities;
    weights = prototype.weights;
}

bool AIComponent::HandleMessage(int id, intptr_t, void*) {
    switch (id) {
        case MESSAGE_FALL_TO_DEATH:
            suspended = 1;
            return true;
        case MESSAGE_DIE:
            suspended = 0;
            // A dead airship steers for nothing. Its factory may hold it to
            // be bought back, and a target held on to (that same factory,
            // say) would then keep both alive for ever.
            target = AITarget();
            return true;
        default:
            return false;
    }
}

bool AIComponent::AcceptContact(PhysMaterial*, orvel::Body* other) {
    const auto* unit = dynamic_cast<const ComponentBody*>(other);
    return unit == nullptr || unit->GetComponent(AI_COMPONENT) == nullptr;
}

void AIComponent::FindMagnet() {
    if (magnet != nullptr) {
        return;
    }
    magnet = static_cast<MagnetComponent*>(GetOwner()->GetComponent(MAGNET_COMPONENT));
    if (magnet == nullptr) {
        throw orvel::ExceptionGeneral("The computer's airship " +
                                      GetOwner()->GetObjectName().GetName() +
                                      " has no MagnetComponent to carry units with.");
    }
}

float AIComponent::CarriedMass() {
    float carried = 0.0f;
    SendOwnerMessage(MESSAGE_ADD_CARRIED_MASS, reinterpret_cast<intptr_t>(&carried), this);
    return carried;
}

void AIComponent::Update() {
    FindMagnet();
    ComponentBody& owner = *GetOwner();
    // The steering follows the target as it stood when the update began; a
    // newly chosen target steers from the next update on.
    const orvel::Vector4 targetPosition = target.GetPosition();
    const orvel::Vector4 targetVelocity = target.GetVelocity();
    const orvel::Vector4 velocity = VelocityOf(owner);
    const orvel::Vector4 position = owner.GetPosition();
    const orvel::Vector4 magnetPoint(position.x, position.y - kMagnetDrop, position.z, position.w);
    const float carried = CarriedMass();
    const float dt = GetFrameTime();
    pickupCooldown -= dt;
    ++updateCounter;
    if (!Choose(magnetPoint, velocity)) {
        return;
    }
    // A frame that took no physics step has no time to reach a velocity in:
    // the last force stays.
    if (dt > 0.0f) {
        Steer(targetPosition, targetVelocity, magnetPoint, carried, dt);
    }
}

bool AIComponent::Choose(const orvel::Vector4& magnetPoint, const orvel::Vector4& velocity) {
    AISituation situation;
    situation.owner = GetOwner();
    situation.magnetPoint = magnetPoint;
    situation.velocity = velocity;
    situation.held = magnet->GetHeldBodies();
    idleTime = situation.held.empty() ? idleTime + GetFrameTime() : 0.0f;
    situation.hunting = idleTime >= kHuntAfterIdle;
    situation.scale = GetWorld()->GetScale();
    situation.updateCounter = updateCounter;
    situation.distance = &steering.distanceContext;
    situation.speed = &steering.speedContext;
    situation.capabilities = capabilities;
    situation.weights = weights;
    std::vector<std::shared_ptr<orvel::Body>> bodies;
    GetWorld()->CopyBodyList(bodies);
    AIPlanner planner(situation, pickupCooldown);
    if (!planner.Plan(bodies)) {
        return false;
    }

    const MagnetVote* vote = AIPlanner::ChooseVote(planner.GetVotes());
    if (vote != nullptr && vote->on != 0 && magnetOn == 0) {
        magnetOn = 1;
        magnet->Activate();
    } else if (vote != nullptr && vote->on == 0 && magnetOn != 0) {
        magnetOn = 0;
        magnet->Release();
    } else if (vote == nullptr && !situation.held.empty()) {
        // Nothing that any block carries, picked up on the way: without a
        // drop it would hang there for ever and keep the airship from
        // every other task.
        magnetOn = 0;
        magnet->Release();
    }
    target = AIPlanner::ChooseTarget(planner.GetTasks());
    return true;
}

void AIComponent::Steer(const orvel::Vector4& targetPosition, const orvel::Vector4& targetVelocity,
                        const orvel::Vector4& magnetPoint, float carried, float dt) {
    const ComponentBody& owner = *GetOwner();
    const orvel::Vector4 velocity = VelocityOf(owner);
    const float load = owner.GetMass() + carried;
    // The lift carries the weight that pulls: the load's, and the airship's
    // own only while gravity acts on it (an airship floats until it falls).
    const float weight = carried + (owner.IsGravityOn() ? owner.GetMass() : 0.0f);
    const float dx = targetPosition.x - magnetPoint.x;
    const orvel::Vector4 w =
        steering.WantedVelocity(dx, targetPosition.y, magnetPoint.y, steering.Distant(dx));
    force.x = (w.x - (velocity.x - targetVelocity.x)) * load / dt;
    force.y = kVerticalResponse * (w.y - (velocity.y - targetVelocity.y)) * load -
              weight * GetWorld()->GetGravity().y;
}

void AIComponent::ApplyForces() {
    if (suspended == 0) {
        force.x =
            std::max(-steering.horizontalThrust, std::min(force.x, steering.horizontalThrust));
    }
    AddForceNow(*GetOwner(), force);
}
