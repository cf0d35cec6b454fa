#pragma once

#include "engine/core/property_key.h"
#include "game/units/component.h"

// Marks a unit as breakable: when it dies it does not vanish from the play
// but lies on as a wreck in its definition's broken material group (the
// group that engineers' sensors see and that shots pass through).
class BreakableComponent : public Component {
public:
    // Reads "brokenMGName"; throws ExceptionStringNotFound when it is missing.
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    // Answers the unit's death and puts the wreck into the broken group;
    // every other message goes by.
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    ComponentPtr Clone() const override;

    PropertyKey GetBrokenMaterialGroup() const { return brokenMaterialGroup; }

private:
    PropertyKey brokenMaterialGroup;
};
