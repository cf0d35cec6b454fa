#include "game/units/component.h"

#include "game/units/component_body.h"
#include "engine/physics/mechanica.h"

void Component::CopyFrom(const Component& prototype) { type = prototype.type; }

Component* Component::GetIfType(PropertyKey typeName) {
    return typeName == type ? this : nullptr;
}

bool Component::HandleMessage(int, intptr_t, void*) { return false; }

bool Component::AcceptContact(PhysMaterial*, orvel::Body*) { return true; }

bool Component::OnContact(PhysMaterial*, PhysContact*, orvel::Body*) { return true; }

void Component::OnContactEnd(PhysMaterial*, orvel::Body*) {}

void Component::OnTransform(const orvel::Matrix4&) {}

void Component::OnSetPosition(const orvel::Vector4&) {}

orvel::Mechanica* Component::GetWorld() const { return owner->GetWorld(); }

float Component::GetFrameTime() const { return owner->GetWorld()->GetFrameTime(); }

int Component::GetOwnerTeam() const { return owner->GetTeam(); }

bool Component::IsOwnerAlive() const { return owner->IsAlive(); }

bool Component::IsOwnerFlipped() const { return owner->IsFlipped(); }

orvel::PropertiesPtr Component::GetOwnerObjectDefinitions() const {
    return owner->GetObjectDefinitions();
}

bool Component::SendOwnerMessage(int id, intptr_t data, void* arg) {
    return owner->SendMessage(id, data, arg);
}

int Component::SendEventTo(orvel::Body* body, int id, int value) {
    return body->HandleEvent(id, value, owner);
}

void Component::NotifyOwnerWatchers() { owner->NotifyEvent(); }
