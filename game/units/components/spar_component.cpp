#include "game/units/components/spar_component.h"

#include "engine/physics/collision.h"
#include "engine/physics/joint.h"
#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey MAGNET("magnet");
const PropertyKey SPAR_ATTACH_POINT("sparAttachPoint");

const float HINGE_STIFFNESS = 0.9f;

}  // namespace

ComponentPtr SparComponent::Clone() const { return std::make_shared<SparComponent>(); }

void SparComponent::Load(const orvel::PropertiesPtr& entry) {
    ComponentBody* owner = GetOwner();
    if (entry->HasProperty(MAGNET)) {
        spar = std::make_shared<ComponentBody>();
        spar->SpawnUnit(GetWorld(), owner->GetCreationContext(), owner->GetLoadContext(),
                        GetOwnerObjectDefinitions(), PropertyKey::Intern(entry->GetString(MAGNET)),
                        0);
        spar->SetTeam(GetOwnerTeam());
    }
    if (entry->HasProperty(SPAR_ATTACH_POINT)) {
        const orvel::PointI point = entry->GetPoint(SPAR_ATTACH_POINT);
        const float scale = GetWorld()->GetScale();
        sparAttachPoint = orvel::Vector4(point.x / scale, point.y / scale, 0.0f, 1.0f);
        if (IsOwnerFlipped()) {
            sparAttachPoint.x = -sparAttachPoint.x;
        }
    }
    OnSetPosition(owner->GetPosition());
}

void SparComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const SparComponent&>(prototypeComponent);
    if (prototype.spar) {
        spar = std::make_shared<ComponentBody>();
        spar->CopyFrom(*prototype.spar);
    }
    sparAttachPoint = prototype.sparAttachPoint;
    OnSetPosition(GetOwner()->GetPosition());
}

Component* SparComponent::GetIfType(PropertyKey typeName) {
    if (Component* self = Component::GetIfType(typeName)) {
        return self;
    }
    return spar ? spar->GetComponent(typeName) : nullptr;
}

bool SparComponent::HandleMessage(int id, intptr_t data, void* arg) {
    switch (id) {
    case MESSAGE_FALL_TO_DEATH:
    case MESSAGE_PAUSE_ANIMATION:
    case MESSAGE_RESUME_ANIMATION:
        return true;
    default:
        return spar ? spar->SendMessage(id, data, arg) : false;
    }
}

void SparComponent::PreStep() {
    if (spar) {
        spar->PreStep();
    }
}

void SparComponent::Update() {
    if (spar) {
        spar->Update();
    }
}

void SparComponent::Draw() {
    if (spar) {
        spar->Draw();
    }
}

// The spar's body lies back along x from the pivot by half its length, so
// that it swings down from its end.
void SparComponent::OnSetPosition(const orvel::Vector4& position) {
    if (!spar) {
        return;
    }
    const orvel::Vector4 pivot(position.x + sparAttachPoint.x, position.y + sparAttachPoint.y,
                               position.z + sparAttachPoint.z, position.w);
    const float halfLength =
        spar->GetCollision() ? spar->GetCollision()->GetExtent().x * 0.5f : 0.0f;
    spar->SetPosition(orvel::Vector4(pivot.x - halfLength, pivot.y, pivot.z, pivot.w));
    joint = std::make_shared<orvel::Joint>(GetWorld());
    joint->CreateHinge(pivot, spar.get(), GetOwner());
    joint->SetStiffness(HINGE_STIFFNESS);
}
