#pragma once

#include "engine/physics/vector4.h"
#include "physics_sdk/phys.h"

namespace orvel {

class Body;
class Mechanica;

// One SDK joint between a child body and a parent body (or the world). All
// joints of the game keep to the play plane: hinges turn about z and sliders
// slide along z. A wrapper holds at most one SDK joint; a create operation
// replaces the earlier one. When the SDK destroys the joint by itself (one
// of its bodies or the world went), the wrapper is detached and does
// nothing more with it.
class Joint {
public:
    explicit Joint(Mechanica* world = nullptr);
    virtual ~Joint();
    Joint(const Joint&) = delete;
    Joint& operator=(const Joint&) = delete;

    virtual void Destroy();
    virtual bool IsAttached() const;
    // Clamped into [0, 1] by the SDK.
    virtual void SetStiffness(float stiffness);
    virtual float GetStiffness() const;
    // The create operations leave the wrapper detached when the SDK refuses
    // the joint (no child, a child that is its own parent) or a body has no
    // SDK body.
    virtual void CreateHinge(const Vector4& pivot, Body* child, Body* parent);
    virtual void CreateSlider(const Vector4& pivot, Body* child, Body* parent);
    virtual void CreateBall(const Vector4& pivot, Body* child, Body* parent);
    // Keeps the body's axis parallel to `pin`.
    virtual void CreateUpVector(const Vector4& pin, Body* body);

    void SetWorld(Mechanica* value) { world = value; }
    Mechanica* GetWorld() const { return world; }
    PhysJoint* GetPhysJoint() const { return joint; }

    static void OnPhysJointDestroyed(PhysJoint* joint);

private:
    // Takes the new SDK joint (or none) and points it back here.
    void Attach(PhysJoint* created);

    Mechanica* world;
    PhysJoint* joint = nullptr;
};

}  // namespace orvel
