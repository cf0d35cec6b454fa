#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/core/watched.h"
#include "engine/physics/matrix4.h"
#include "engine/physics/vector4.h"
#include "physics_sdk/phys.h"

namespace orvel {

class Collision;
class Mechanica;

// One rigid body of the world: an SDK body with its collision shape, the
// object definition it was made from, its team, mass, damping, material
// group and a force accumulator that is applied during the next step.
// Watchers hear when it goes away. The world owns bodies through shared
// pointers; the SDK body dies with this wrapper or with the SDK world,
// whichever goes first. Each body has a serial number, counted up from 1
// in the order bodies are made in this process: the world walks its bodies
// in that order, so that a replayed match meets them in the same order
// wherever the allocator put them.
//
// The three SDK callbacks reach the wrapper through the SDK body's user
// data: the force callback runs ApplyForces, the transform callback
// OnTransform; contacts of pairs with callbacks run AcceptContact, OnContact
// and OnContactEnd (see Mechanica).
class Body : public Watched {
public:
    Body();
    ~Body() override;

    // Reads the optional body keys "mass", "materialGroupName",
    // "angularDamping" (z only) and "linearDamping". Throws
    // ExceptionGeneral naming the key for a mass or damping that is negative
    // or not a number.
    virtual void Load(const PropertiesPtr& definition);
    virtual void ResetOwn();
    virtual void Reset();
    virtual void Draw();
    virtual void DrawIcon();
    // Builds the body of the object `name` of `definitions`: its "Geometry"
    // (mirrored when the body is flipped), the SDK body, then Load. Throws
    // ExceptionStringNotFound when the entry is missing.
    virtual void CreateFromObjectFile(Mechanica* world, const PropertiesPtr& definitions,
                                      PropertyKey name);
    virtual void CreateWithCollision(Mechanica* world, const std::shared_ptr<Collision>& collision);
    // Builds the shape again from the definition with the current flipped
    // flag; mass, damping and group stay.
    virtual void RebuildCollision();
    // Becomes a copy of the prototype with a shape of its own: mass matrix,
    // mass, team, alive flag, damping, material group and matrix.
    virtual void CopyFrom(const Body& prototype);
    // A new default body of the same class (empty here); follow it with
    // CopyFrom or a create operation.
    virtual std::shared_ptr<Body> Clone() const;
    virtual int HandleEvent(int id, int value, Body* sender);
    virtual void ApplyAccumulatedForce();
    virtual void SetMatrix(const Matrix4& matrix);
    virtual void SetMatrixDirect(const Matrix4& matrix);
    virtual Matrix4 GetMatrix() const;
    virtual void SetTeam(int team);
    // Moves the body, keeping its orientation, and tells it with OnTeleport.
    virtual void SetPosition(const Vector4& position);
    virtual Vector4 GetPosition() const;
    virtual void Freeze();
    virtual void Unfreeze();
    // The force-and-torque callback: add this step's forces.
    virtual void ApplyForces() = 0;
    virtual void OnTransform(const Matrix4& matrix) = 0;
    virtual void OnTeleport(bool teleported) = 0;
    // Whether a contact with `other` may happen this step.
    virtual bool AcceptContact(PhysMaterial* material, Body* other);
    // Whether this contact point is kept.
    virtual bool OnContact(PhysMaterial* material, PhysContact* contact, Body* other);
    virtual void OnContactEnd(PhysMaterial* material, Body* other);
    // Both passes of the world keep the body while these answer true.
    virtual bool PreStep();
    virtual bool Update();
    // The body has left the world box: it dies, and the next pass drops it.
    virtual bool OnLeaveWorld();
    virtual void ClearForce();
    // Adds mass times the world's gravity to this step's force.
    virtual void ApplyGravity();

    void SetMaterialGroup(PropertyKey name);
    void SetMass(float mass);
    void AddImpulse(const Vector4& deltaVelocity, const Vector4& point);
    // Adds to the force applied by ApplyAccumulatedForce.
    void AddForce(const Vector4& force);
    void DrawCollision();

    uint64_t GetSerial() const { return serial; }
    Mechanica* GetWorld() const { return world; }
    PhysBody* GetPhysBody() const { return body; }
    const std::shared_ptr<Collision>& GetCollision() const { return collision; }
    const PropertiesPtr& GetObjectDefinitions() const { return objectDefinitions; }
    PropertyKey GetObjectName() const { return objectName; }
    float GetMass() const { return mass; }
    float GetLinearDamping() const { return linearDamping; }
    const Vector4& GetAngularDamping() const { return angularDamping; }
    PropertyKey GetMaterialGroup() const { return materialGroup; }
    bool IsAlive() const { return alive; }
    void SetAlive(bool value) { alive = value; }
    bool IsFlipped() const { return flipped; }
    void SetFlipped(bool value) { flipped = value; }
    int GetTeam() const { return team; }
    const Vector4& GetForce() const { return force; }

    // SDK callbacks set on every SDK body a wrapper makes.
    static void ForceCallback(PhysBody* body);
    static void TransformCallback(PhysBody* body, const float matrix[16]);
    static void DestroyCallback(PhysBody* body);

protected:
    // Makes the SDK body over the current collision, replacing any earlier
    // one, with the callbacks set and automatic sleeping off.
    void CreatePhysBody();
    void DestroyPhysBody();

    const uint64_t serial;
    Mechanica* world = nullptr;
    PhysBody* body = nullptr;
    std::shared_ptr<Collision> collision;
    PropertiesPtr objectDefinitions;
    PropertyKey objectName;
    float mass = 0.0f;
    float linearDamping = 0.0f;
    PropertyKey materialGroup;
    bool alive = true;
    bool flipped = false;
    int team = 0;
    Vector4 force;
    Vector4 angularDamping;
};

}  // namespace orvel
