#include "engine/physics/flat_body.h"

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
    float matrix[16];
    PhysBodyGetMatrix(body, matrix);
    if (matrix[14] != 0.0f) {
        matrix[14] = 0.0f;
        PhysBodySetMatrix(body, matrix);
    }
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
