#include "game/units/components/breakable_component.h"

#include "engine/core/exception.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"

namespace {
const PropertyKey BROKEN_MG_NAME("brokenMGName");
}  // namespace

ComponentPtr BreakableComponent::Clone() const { return std::make_shared<BreakableComponent>(); }

void BreakableComponent::Load(const orvel::PropertiesPtr& entry) {
    if (!entry->HasProperty(BROKEN_MG_NAME)) {
        throw orvel::ExceptionStringNotFound(BROKEN_MG_NAME.GetName(), "BreakableComponent");
    }
    brokenMaterialGroup = PropertyKey::Intern(entry->GetString(BROKEN_MG_NAME));
}

void BreakableComponent::CopyFrom(const Component& prototype) {
    Component::CopyFrom(prototype);
    brokenMaterialGroup = static_cast<const BreakableComponent&>(prototype).brokenMaterialGroup;
}

// The unit has already gone into the no-collide group of the dead when its
// components hear of the death, so the broken group is the last word.
bool BreakableComponent::HandleMessage(int id, intptr_t, void*) {
    if (id != MESSAGE_DIE) {
        return false;
    }
    GetOwner()->SetMaterialGroup(brokenMaterialGroup);
    return true;
}
