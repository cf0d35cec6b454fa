#pragma once

#include <memory>

#include "engine/physics/vector4.h"
#include "game/units/component.h"

namespace orvel {
class Joint;
}

// Hangs a second unit, the spar (an airship's magnet arm), from its unit on
// a hinge and makes it behave as part of it. The spar is built from its own
// definition, components included, but never joins the world's bodies: this
// component pre-steps, updates and draws it, passes the unit's messages on
// to it, and lets the unit's GetComponent find the spar's components.
class SparComponent : public Component {
public:
    // Reads "magnet", the spar's object name, and "sparAttachPoint" (pixels),
    // both optional; a definition without "magnet" has no spar.
    void Load(const orvel::PropertiesPtr& entry) override;
    void CopyFrom(const Component& prototype) override;
    // This component for its own type, else the spar's component of that
    // type.
    Component* GetIfType(PropertyKey typeName) override;
    // FallToDeath and the animation pauses stay with the unit; every other
    // message goes on to the spar, whose answer is the answer.
    bool HandleMessage(int id, intptr_t data, void* arg) override;
    void PreStep() override;
    void Update() override;
    // Moves the spar under the unit's new position and hinges it there
    // afresh.
    void OnSetPosition(const orvel::Vector4& position) override;
    void Draw() override;
    ComponentPtr Clone() const override;

    const std::shared_ptr<ComponentBody>& GetSpar() const { return spar; }
    // Where the spar hangs from, relative to the unit, in world units.
    const orvel::Vector4& GetAttachPoint() const { return sparAttachPoint; }
    const std::shared_ptr<orvel::Joint>& GetJoint() const { return joint; }

private:
    std::shared_ptr<ComponentBody> spar;
    orvel::Vector4 sparAttachPoint = orvel::Vector4(0.0f, 0.0f, 0.0f, 0.0f);
    std::shared_ptr<orvel::Joint> joint;
};
