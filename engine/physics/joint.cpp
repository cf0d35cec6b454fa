#include "engine/physics/joint.h"

#include "engine/physics/body.h"
#include "engine/physics/mechanica.h"

namespace orvel {

namespace {

// Hinges turn about z and sliders slide along z: the play plane's normal.
const float kPlanePin[3] = {0.0f, 0.0f, 1.0f};

PhysBody* PhysBodyOf(const Body* body) { return body != nullptr ? body->GetPhysBody() : nullptr; }

// A world, a child with an SDK body, and a parent that is the world or has
// an SDK body too.
bool CanJoin(const Mechanica* world, const Body* child, const Body* parent) {
    return world != nullptr && PhysBodyOf(child) != nullptr &&
           (parent == nullptr || PhysBodyOf(parent) != nullptr);
}

}  // namespace

Joint::Joint(Mechanica* world) : world(world) {}

Joint::~Joint() { Joint::Destroy(); }

void Joint::Destroy() {
    if (joint != nullptr) {
        PhysJointSetUserData(joint, nullptr);
        PhysJointDestroy(world->GetPhysWorld(), joint);
        joint = nullptr;
    }
}

bool Joint::IsAttached() const { return joint != nullptr; }

void Joint::SetStiffness(float stiffness) {
    if (joint != nullptr) {
        PhysJointSetStiffness(joint, stiffness);
    }
}

float Joint::GetStiffness() const { return joint != nullptr ? PhysJointGetStiffness(joint) : 0.0f; }

void Joint::Attach(PhysJoint* created) {
    joint = created;
    if (joint != nullptr) {
        PhysJointSetUserData(joint, this);
        PhysJointSetDestructorCallback(joint, &Joint::OnPhysJointDestroyed);
    }
}

void Joint::CreateHinge(const Vector4& pivot, Body* child, Body* parent) {
    Destroy();
    if (!CanJoin(world, child, parent)) {
        return;
    }
    float p[3];
    pivot.Store3(p);
    Attach(PhysJointCreateHinge(world->GetPhysWorld(), p, kPlanePin, PhysBodyOf(child),
                                PhysBodyOf(parent)));
}

void Joint::CreateSlider(const Vector4& pivot, Body* child, Body* parent) {
    Destroy();
    if (!CanJoin(world, child, parent)) {
        return;
    }
    float p[3];
    pivot.Store3(p);
    Attach(PhysJointCreateSlider(world->GetPhysWorld(), p, kPlanePin, PhysBodyOf(child),
                                 PhysBodyOf(parent)));
}

void Joint::CreateBall(const Vector4& pivot, Body* child, Body* parent) {
    Destroy();
    if (!CanJoin(world, child, parent)) {
        return;
    }
    float p[3];
    pivot.Store3(p);
    Attach(PhysJointCreateBall(world->GetPhysWorld(), p, PhysBodyOf(child), PhysBodyOf(parent)));
}

void Joint::CreateUpVector(const Vector4& pin, Body* body) {
    Destroy();
    if (!CanJoin(world, body, nullptr)) {
        return;
    }
    float p[3];
    pin.Store3(p);
    Attach(PhysJointCreateUpVector(world->GetPhysWorld(), p, PhysBodyOf(body)));
}

void Joint::OnPhysJointDestroyed(PhysJoint* joint) {
    Joint* wrapper = static_cast<Joint*>(PhysJointGetUserData(joint));
    if (wrapper != nullptr) {
        PhysJointSetUserData(joint, nullptr);
        wrapper->joint = nullptr;
    }
}

}  // namespace orvel
