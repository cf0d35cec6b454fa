// The C entry points: each unpacks its arguments, applies the interface's
// clamps and defaults and forwards to the world, a body, the material pairs,
// a shape or a joint.
#include "physics_sdk/phys.h"

#include "collision/collision.h"
#include "collision/compound.h"
#include "collision/static_mesh_tree.h"
#include "core/class_ids.h"
#include "core/matrix.h"
#include "core/memory.h"
#include "dynamics/body_math.h"
#include "dynamics/rigid_body.h"
#include "dynamics/two_body_joint.h"
#include "dynamics/world.h"

#include <cmath>

namespace {

phPhysicsWorld* World(PhysWorld* world) { return reinterpret_cast<phPhysicsWorld*>(world); }
const phPhysicsWorld* World(const PhysWorld* world) {
    return reinterpret_cast<const phPhysicsWorld*>(world);
}
phRigidBody* Body(PhysBody* body) { return reinterpret_cast<phRigidBody*>(body); }
const phRigidBody* Body(const PhysBody* body) { return reinterpret_cast<const phRigidBody*>(body); }
phCollision* Shape(PhysCollision* shape) { return reinterpret_cast<phCollision*>(shape); }
const phCollision* Shape(const PhysCollision* shape) {
    return reinterpret_cast<const phCollision*>(shape);
}
phTwoBodyJoint* Joint(PhysJoint* joint) { return reinterpret_cast<phTwoBodyJoint*>(joint); }
const phTwoBodyJoint* Joint(const PhysJoint* joint) {
    return reinterpret_cast<const phTwoBodyJoint*>(joint);
}
phMaterial* Material(PhysMaterial* material) { return reinterpret_cast<phMaterial*>(material); }
const phMaterial* Material(const PhysMaterial* material) {
    return reinterpret_cast<const phMaterial*>(material);
}
PhysJoint* JointHandle(phTwoBodyJoint* joint) { return joint ? joint->Handle() : nullptr; }
PhysCollision* ShapeHandle(phCollision* shape) { return reinterpret_cast<PhysCollision*>(shape); }

phMatrix Offset(const float offset[16]) { return offset ? phMatrix(offset) : phMatrix(); }

// The static mesh behind a tree handle; null for any other shape.
phCollisionPolygonalSoup* Tree(PhysCollision* tree) {
    phCollision* shape = Shape(tree);
    if (!shape->IsClass(kClassIdPolygonalSoup)) {
        return nullptr;
    }
    return static_cast<phCollisionPolygonalSoup*>(shape);
}

// A point or direction as the SDK keeps it: x, y, z and w = 1.
phVector Vector(const float v[3]) { return phVector(v[0], v[1], v[2], 1.0f); }

void Store3(const phVector& v, float out[3]) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

// The face walk of a body: each face goes to the caller's iterator with the
// body's handle.
struct PolygonWalk {
    PhysBody* body;
    PhysPolygonIterator iterator;
};

void ForwardPolygon(void* context, int vertexCount, const float* vertices) {
    const PolygonWalk* walk = static_cast<const PolygonWalk*>(context);
    walk->iterator(walk->body, vertexCount, vertices);
}

}  // namespace

extern "C" {

PhysWorld* PhysWorldCreate(PhysAllocCallback alloc, PhysFreeCallback free) {
    phSetMemoryCallbacks(alloc, free);
    return reinterpret_cast<PhysWorld*>(phPhysicsWorld::Create());
}

void PhysWorldDestroy(PhysWorld* world) {
    if (world == nullptr || World(world)->Busy()) {
        return;
    }
    phPhysicsWorld::Destroy(World(world));
    if (phPhysicsWorld::LiveCount() == 0) {
        phReleaseMemoryCaches();
    }
}

void PhysWorldUpdate(PhysWorld* world, float step) {
    if (World(world)->Busy()) {
        return;
    }
    float s = step;
    if (!(s >= 0.001f)) {
        s = 0.001f;
    } else if (s > kDefaultTimeStep) {
        s = kDefaultTimeStep;
    }
    const int count = int(std::floor(double(s) / (double(kDefaultTimeStep) + 1e-6))) + 1;
    const float subStep = s / float(count);
    for (int i = 0; i < count; ++i) {
        World(world)->Update(subStep);
    }
}

float PhysWorldGetTimeStep(const PhysWorld* world) { return World(world)->TimeStep(); }

void PhysWorldSetSize(PhysWorld* world, const float min[3], const float max[3]) {
    World(world)->SetWorldSize(Vector(min), Vector(max));
}

void PhysWorldSetSolverPasses(PhysWorld* world, int mode) { World(world)->SetSolverPasses(mode); }

void PhysWorldSetEqualityRowMode(PhysWorld* world, int mode) {
    World(world)->SetEqualityRowMode(mode);
}

void PhysWorldSetBodyLeaveWorldCallback(PhysWorld* world, PhysBodyLeaveWorldCallback callback) {
    World(world)->SetLeaveWorldCallback(callback);
}

void PhysWorldFreezeBody(PhysWorld* world, PhysBody* body) { World(world)->FreezeBody(Body(body)); }

void PhysWorldUnfreezeBody(PhysWorld* world, PhysBody* body) {
    World(world)->UnfreezeBody(Body(body));
}

void PhysWorldForEachBodyDo(PhysWorld* world, PhysBodyIterator iterator) {
    World(world)->ForEachBody(iterator);
}

void PhysWorldRayCast(PhysWorld* world, const float p0[3], const float p1[3],
                      PhysRayFilterCallback filter, void* userData) {
    World(world)->RayCast(Vector(p0), Vector(p1), filter, userData);
}

PhysMaterialGroupId PhysMaterialCreateGroupId(PhysWorld* world) {
    return World(world)->Materials().CreateGroup();
}

void PhysMaterialSetDefaultCollidable(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, int state) {
    World(world)->Materials().SetCollidable(id0, id1, state);
}

void PhysMaterialSetCollisionCallback(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, void* userData,
                                      PhysContactBeginCallback begin,
                                      PhysContactProcessCallback process,
                                      PhysContactEndCallback end) {
    World(world)->Materials().SetCollisionCallback(id0, id1, userData, begin, process, end);
}

void PhysMaterialSetDefaultFriction(PhysWorld* world, PhysMaterialGroupId id0,
                                    PhysMaterialGroupId id1, float staticFriction,
                                    float kineticFriction) {
    World(world)->Materials().SetFriction(id0, id1, staticFriction, kineticFriction);
}

void PhysMaterialSetDefaultElasticity(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, float elasticity) {
    World(world)->Materials().SetElasticity(id0, id1, elasticity);
}

void PhysMaterialSetDefaultSoftness(PhysWorld* world, PhysMaterialGroupId id0,
                                    PhysMaterialGroupId id1, float softness) {
    World(world)->Materials().SetSoftness(id0, id1, softness);
}

void PhysMaterialGetContactPositionAndNormal(const PhysMaterial* material, float position[3],
                                             float normal[3]) {
    Material(material)->GetContactPositionAndNormal(position, normal);
}

void PhysMaterialSetContactFrictionState(PhysMaterial* material, int state, int index) {
    Material(material)->SetContactFrictionState(state, index);
}

void PhysMaterialSetContactTangentDirection(PhysMaterial* material, const float direction[3]) {
    Material(material)->SetContactTangentDirection(direction);
}

PhysCollision* PhysCreateBox(PhysWorld* world, float dx, float dy, float dz,
                             const float offset[16]) {
    return ShapeHandle(World(world)->Shapes().CreateBox(dx, dy, dz, Offset(offset)));
}

PhysCollision* PhysCreateCylinder(PhysWorld* world, float radius, float height,
                                  const float offset[16]) {
    return ShapeHandle(World(world)->Shapes().CreateCylinder(radius, height, Offset(offset)));
}

PhysCollision* PhysCreateConvexHull(PhysWorld* world, int count, const float* points,
                                    int strideInBytes, const float offset[16]) {
    return ShapeHandle(
        World(world)->Shapes().CreateConvexHull(count, strideInBytes, points, Offset(offset)));
}

PhysCollision* PhysCreateCompoundCollision(PhysWorld* world, int count,
                                           PhysCollision* const* parts) {
    return ShapeHandle(new phCompoundCollision(count, reinterpret_cast<phCollision* const*>(parts),
                                               &World(world)->Shapes()));
}

PhysCollision* PhysCreateTreeCollision(PhysWorld* world, PhysTreeCollisionFaceCallback callback) {
    // Three draws of the SDK's sequence key the new mesh apart from every
    // other.
    const uint32_t draw0 = phRandomNext();
    const uint32_t draw1 = phRandomNext();
    const uint32_t draw2 = phRandomNext();
    phCollisionPolygonalSoup* tree =
        phCreateTreeCollision(World(world), callback, draw0, draw1, draw2);
    World(world)->Shapes().AddStaticMesh(tree);
    return ShapeHandle(tree);
}

void PhysTreeCollisionBeginBuild(PhysCollision* tree) {
    if (phCollisionPolygonalSoup* mesh = Tree(tree)) {
        phTreeCollisionBeginBuild(*mesh);
    }
}

void PhysTreeCollisionAddFace(PhysCollision* tree, int vertexCount, const float* vertices,
                              int strideInBytes, int faceAttribute) {
    if (phCollisionPolygonalSoup* mesh = Tree(tree)) {
        phTreeCollisionAddFace(*mesh, vertexCount, vertices, strideInBytes, faceAttribute);
    }
}

void PhysTreeCollisionEndBuild(PhysCollision* tree, int optimize) {
    phCollisionPolygonalSoup* mesh = Tree(tree);
    if (mesh == nullptr || !phTreeCollisionEndBuild(*mesh, optimize)) {
        return;
    }
    // The mesh knows its world; the cache moves it to its new key.
    phTreeCollisionMesh* treeMesh = phGetTreeCollisionMesh(*mesh);
    static_cast<phPhysicsWorld*>(treeMesh->GetWorld())->Shapes().UpdateStaticMesh(mesh);
}

void PhysReleaseCollision(PhysWorld* world, PhysCollision* collision) {
    World(world)->ReleaseShape(Shape(collision));
}

void PhysCollisionCalculateAABB(const PhysCollision* collision, const float matrix[16],
                                float min[3], float max[3]) {
    phVector boxMin;
    phVector boxMax;
    Shape(collision)->CalcAABB(phMatrix(matrix), boxMin, boxMax);
    Store3(boxMin, min);
    Store3(boxMax, max);
}

PhysBody* PhysBodyCreate(PhysWorld* world, PhysCollision* collision) {
    return World(world)->CreateBody(Shape(collision))->Handle();
}

void PhysBodyDestroy(PhysWorld* world, PhysBody* body) { World(world)->DestroyBody(Body(body)); }

void PhysBodySetUserData(PhysBody* body, void* userData) { Body(body)->SetUserData(userData); }

void* PhysBodyGetUserData(const PhysBody* body) { return Body(body)->UserData(); }

PhysWorld* PhysBodyGetWorld(const PhysBody* body) {
    return reinterpret_cast<PhysWorld*>(Body(body)->World());
}

void PhysBodySetTransformCallback(PhysBody* body, PhysBodyTransformCallback callback) {
    Body(body)->transformCallback = callback;
}

void PhysBodySetForceAndTorqueCallback(PhysBody* body, PhysBodyForceAndTorqueCallback callback) {
    Body(body)->forceAndTorqueCallback = callback;
}

void PhysBodySetDestructorCallback(PhysBody* body, PhysBodyDestructorCallback callback) {
    Body(body)->destructorCallback = callback;
}

void PhysBodySetMassMatrix(PhysBody* body, float mass, float ixx, float iyy, float izz) {
    Body(body)->SetMass(mass, ixx, iyy, izz);
}

void PhysBodyGetMassMatrix(const PhysBody* body, float* mass, float* ixx, float* iyy, float* izz) {
    Body(body)->GetMass(*mass, *ixx, *iyy, *izz);
}

void PhysBodySetMatrix(PhysBody* body, const float matrix[16]) {
    Body(body)->SetMatrix(phMatrix(matrix));
}

void PhysBodyGetMatrix(const PhysBody* body, float matrix[16]) {
    Body(body)->Matrix().Store(matrix);
}

void PhysBodySetForce(PhysBody* body, const float force[3]) { Body(body)->SetForce(Vector(force)); }

void PhysBodyAddForce(PhysBody* body, const float force[3]) {
    Body(body)->AddForce(phVector(force[0], force[1], force[2], 0.0f));
}

void PhysBodyGetForce(const PhysBody* body, float force[3]) { Store3(Body(body)->Force(), force); }

void PhysBodySetTorque(PhysBody* body, const float torque[3]) {
    Body(body)->SetTorque(Vector(torque));
}

void PhysBodyGetTorque(const PhysBody* body, float torque[3]) {
    Store3(Body(body)->Torque(), torque);
}

void PhysBodySetVelocity(PhysBody* body, const float velocity[3]) {
    Body(body)->SetVelocity(Vector(velocity));
}

void PhysBodyGetVelocity(const PhysBody* body, float velocity[3]) {
    Store3(Body(body)->Velocity(), velocity);
}

void PhysBodySetAngularVelocity(PhysBody* body, const float omega[3]) {
    Body(body)->SetAngularVelocity(Vector(omega));
}

void PhysBodyGetAngularVelocity(const PhysBody* body, float omega[3]) {
    Store3(Body(body)->AngularVelocity(), omega);
}

void PhysBodySetLinearDamping(PhysBody* body, float damping) {
    Body(body)->SetLinearDamping(damping);
}

float PhysBodyGetLinearDamping(const PhysBody* body) { return Body(body)->GetLinearDamping(); }

void PhysBodySetAngularDamping(PhysBody* body, const float damping[3]) {
    Body(body)->SetAngularDamping(Vector(damping));
}

void PhysBodyGetAngularDamping(const PhysBody* body, float damping[3]) {
    Store3(Body(body)->GetAngularDamping(), damping);
}

void PhysBodySetCollision(PhysBody* body, PhysCollision* collision) {
    Body(body)->World()->SetBodyShape(Body(body), Shape(collision));
}

void PhysBodySetMaterialGroupId(PhysBody* body, PhysMaterialGroupId id) {
    Body(body)->SetMaterialGroup(id);
}

void PhysBodySetAutoFreeze(PhysBody* body, int state) { Body(body)->SetAutoFreeze(state != 0); }

void PhysBodyAddImpulse(PhysBody* body, const float deltaVelocity[3], const float point[3]) {
    Body(body)->World()->AddImpulse(Body(body), Vector(deltaVelocity), Vector(point));
}

void PhysBodyForEachPolygonDo(PhysBody* body, PhysPolygonIterator iterator) {
    PolygonWalk walk = {body, iterator};
    Body(body)->Shape()->ForEachPolygon(Body(body)->ShapeMatrix(), &walk, ForwardPolygon);
}

PhysJoint* PhysJointCreateBall(PhysWorld* world, const float pivot[3], PhysBody* child,
                               PhysBody* parent) {
    return JointHandle(World(world)->CreateBallJoint(Vector(pivot), Body(child), Body(parent)));
}

PhysJoint* PhysJointCreateHinge(PhysWorld* world, const float pivot[3], const float pin[3],
                                PhysBody* child, PhysBody* parent) {
    return JointHandle(
        World(world)->CreateHingeJoint(Vector(pivot), Vector(pin), Body(child), Body(parent)));
}

PhysJoint* PhysJointCreateSlider(PhysWorld* world, const float pivot[3], const float pin[3],
                                 PhysBody* child, PhysBody* parent) {
    return JointHandle(
        World(world)->CreateSliderJoint(Vector(pivot), Vector(pin), Body(child), Body(parent)));
}

PhysJoint* PhysJointCreateUpVector(PhysWorld* world, const float pin[3], PhysBody* body) {
    return JointHandle(World(world)->CreateUpVectorJoint(Vector(pin), Body(body)));
}

void PhysJointSetUserData(PhysJoint* joint, void* userData) { Joint(joint)->SetUserData(userData); }

void* PhysJointGetUserData(const PhysJoint* joint) { return Joint(joint)->UserData(); }

void PhysJointSetStiffness(PhysJoint* joint, float stiffness) {
    Joint(joint)->SetStiffness(stiffness);
}

float PhysJointGetStiffness(const PhysJoint* joint) { return Joint(joint)->GetStiffness(); }

void PhysJointSetDestructorCallback(PhysJoint* joint, PhysJointDestructorCallback callback) {
    Joint(joint)->SetDestructorCallback(callback);
}

void PhysJointDestroy(PhysWorld* world, PhysJoint* joint) {
    World(world)->DestroyJoint(Joint(joint));
}
}
