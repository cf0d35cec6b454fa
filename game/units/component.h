#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/physics/matrix4.h"
#include "engine/physics/vector4.h"

struct PhysMaterial;
struct PhysContact;

namespace orvel {
class Body;
class Mechanica;
}  // namespace orvel

class ComponentBody;

// A pluggable part of a unit: moving, shooting, selling units and the rest.
// The unit calls every component in list order from each of its own
// callbacks; components speak to their unit and to each other only through
// the UnitMessage and UnitEvent ids. A component never owns its unit: the
// unit owns its components.
class Component {
public:
    Component() = default;
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // Reads the component's keys from its struct in the unit's Components list.
    virtual void Load(const orvel::PropertiesPtr& entry) = 0;
    // Takes the prototype's parameters; the base copies the type name.
    // `prototype` is of the same class as this component.
    virtual void CopyFrom(const Component& prototype);
    // This component when its type name is `typeName`, else null.
    virtual Component* GetIfType(PropertyKey typeName);
    virtual bool HandleMessage(int id, intptr_t data, void* arg);
    virtual bool AcceptContact(PhysMaterial* material, orvel::Body* other);
    virtual bool OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other);
    virtual void OnContactEnd(PhysMaterial* material, orvel::Body* other);
    virtual void OnFreeze() {}
    virtual void OnUnfreeze() {}
    virtual void PreStep() {}
    virtual void Update() {}
    virtual void ApplyForces() {}
    virtual void OnTransform(const orvel::Matrix4& matrix);
    virtual void OnSetPosition(const orvel::Vector4& position);
    virtual void OnLeaveWorld() {}
    virtual void Draw() {}
    // A new, empty component of the same class; CopyFrom then fills it.
    virtual std::shared_ptr<Component> Clone() const = 0;

    ComponentBody* GetOwner() const { return owner; }
    void SetOwner(ComponentBody* body) { owner = body; }
    PropertyKey GetType() const { return type; }
    void SetType(PropertyKey name) { type = name; }

protected:
    // Shorthands for what components ask of their unit.
    orvel::Mechanica* GetWorld() const;
    // The length of the world's last frame.
    float GetFrameTime() const;
    int GetOwnerTeam() const;
    bool IsOwnerAlive() const;
    bool IsOwnerFlipped() const;
    orvel::PropertiesPtr GetOwnerObjectDefinitions() const;
    bool SendOwnerMessage(int id, intptr_t data = 0, void* arg = nullptr);
    // The body's HandleEvent with this component's unit as the sender.
    int SendEventTo(orvel::Body* body, int id, int value);
    void NotifyOwnerWatchers();

private:
    ComponentBody* owner = nullptr;
    PropertyKey type;
};

typedef std::shared_ptr<Component> ComponentPtr;
