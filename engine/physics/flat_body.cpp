#include "engine/physics/flat_body.h"

#include <cmath>

#include "engine/physics/joint.h"
#include "engine/physics/mechanica.h"

namespace orvel {

FlatBody::FlatBody() = default;

FlatBody::~FlatBody() = default;

void FlatBody::ResetOwn() {
    creationContext = nullptr;
    loadContext = nullptr;
    upVectorJoint.reset();
}

void FlatBody::Reset() {
    Body::ResetOwn();
    FlatBody::ResetOwn();
}

void FlatBody::CopyFrom(const Body& prototype) {
    Body::CopyFrom(prototype);
    PhysBodySetAutoFreeze(body, 0);
    PhysWorldUnfreezeBody(world->GetPhysWorld(), body);
    if (const FlatBody* flat = dynamic_cast<const FlatBody*>(&prototype)) {
        creationContext = flat->creationContext;
        loadContext = flat->loadContext;
    }
}

void FlatBody::Spawn(Mechanica* inWorld, void* inCreationContext, void* inLoadContext,
                     const PropertiesPtr& definitions, PropertyKey name) {
    creationContext = inCreationContext;
    loadContext = inLoadContext;
    CreateFromObjectFile(inWorld, definitions, name);
    PhysBodySetAutoFreeze(body, 0);
    PhysWorldUnfreezeBody(world->GetPhysWorld(), body);
    PhysBodySetLinearDamping(body, 0.01f);
}

void FlatBody::ApplyPlaneForce() {
    float m, ixx, iyy, izz;
    PhysBodyGetMassMatrix(body, &m, &ixx, &iyy, &izz);
    const float dt = PhysWorldGetTimeStep(world->GetPhysWorld());
    if (!(dt > 0.0f)) {
        return;
    }
    float matrix[16];
    PhysBodyGetMatrix(body, matrix);
    float velocity[3];
    PhysBodyGetVelocity(body, velocity);
    const float z = matrix[14];
    const float forceZ = ((z - velocity[2] * dt) / dt) * dt * m * -2.0f;
    const float planeForce[3] = {0.0f, 0.0f, forceZ};
    PhysBodyAddForce(body, planeForce);
}

void FlatBody::FlattenPosition() {
    float m[16];
    PhysBodyGetMatrix(body, m);
    // Contacts between the two faces of a body's depth turn it a little
    // about x or y within a step; left alone the tilt would add up over a
    // game. Its z axis goes back to +z, or -z for a body turned to face the
    // other way, keeping its heading in the plane.
    const bool tilted = m[2] != 0.0f || m[6] != 0.0f || m[8] != 0.0f || m[9] != 0.0f;
    if (!tilted && m[14] == 0.0f) {
        return;
    }
    m[14] = 0.0f;
    if (tilted) {
        const float length = std::sqrt(m[0] * m[0] + m[1] * m[1]);
        const float x0 = length > 0.0f ? m[0] / length : 1.0f;
        const float x1 = length > 0.0f ? m[1] / length : 0.0f;
        const float side = m[10] < 0.0f ? -1.0f : 1.0f;
        const float axes[12] = {x0,   x1,   0.0f, 0.0f, -side * x1, side * x0,
                                0.0f, 0.0f, 0.0f, 0.0f, side,       0.0f};
        for (int i = 0; i < 12; ++i) {
            m[i] = axes[i];
        }
    }
    PhysBodySetMatrix(body, m);
}

void FlatBody::FlattenMotion() {
    FlattenPosition();
    float v[3];
    PhysBodyGetForce(body, v);
    v[2] = 0.0f;
    PhysBodySetForce(body, v);
    PhysBodyGetVelocity(body, v);
    v[2] = 0.0f;
    PhysBodySetVelocity(body, v);
    PhysBodyGetAngularVelocity(body, v);
    v[0] = v[1] = 0.0f;
    PhysBodySetAngularVelocity(body, v);
    PhysBodyGetTorque(body, v);
    v[0] = v[1] = 0.0f;
    PhysBodySetTorque(body, v);
}

void FlatBody::StopMotion() {
    FlattenPosition();
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    PhysBodySetForce(body, zero);
    PhysBodySetVelocity(body, zero);
    PhysBodySetAngularVelocity(body, zero);
    PhysBodySetTorque(body, zero);
}

void FlatBody::CreateUpVectorJoint() {
    std::shared_ptr<Joint> joint = std::make_shared<Joint>(world);
    joint->CreateUpVector(Vector4(0.0f, 0.0f, 1.0f), this);
    upVectorJoint = joint;
}

}  // namespace orvel
