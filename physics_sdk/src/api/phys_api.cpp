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
#include <exception>

namespace {

// Shapes larger than this (in metres, along any size) are refused: their
// products and squared distances would leave the float range.
constexpr float kMaxShapeSize = 1e6f;

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
    if (shape == nullptr || !shape->IsClass(kClassIdPolygonalSoup)) {
        return nullptr;
    }
    return static_cast<phCollisionPolygonalSoup*>(shape);
}

// A shape a body may carry: anything but a static mesh whose build is still
// open or that holds no face.
bool Usable(const phCollision* shape) {
    if (shape == nullptr) {
        return false;
    }
    if (!shape->IsClass(kClassIdPolygonalSoup)) {
        return true;
    }
    const phTreeCollisionMesh* mesh =
        phGetTreeCollisionMesh(*static_cast<const phCollisionPolygonalSoup*>(shape));
    return mesh == nullptr || (!mesh->IsBuilding() && mesh->GetNodeCount() > 0);
}

bool Finite(const float* values, int count) {
    if (values == nullptr) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            return false;
        }
    }
    return true;
}
bool Finite3(const float* v) { return Finite(v, 3); }
bool FiniteMatrix(const float* m) { return Finite(m, 16); }
// An offset matrix may be null (the identity).
bool FiniteOffset(const float* m) { return m == nullptr || FiniteMatrix(m); }

bool UsableSize(float size) {
    const float value = std::fabs(size);
    return value > 0.0f && value <= kMaxShapeSize;
}

// At least four points, each finite and within the largest shape size.
bool PointsWithin(int count, int strideInBytes, const float* points) {
    if (count < 4) {
        return false;
    }
    const char* bytes = reinterpret_cast<const char*>(points);
    for (int i = 0; i < count; ++i) {
        const float* p = reinterpret_cast<const float*>(bytes + size_t(i) * size_t(strideInBytes));
        for (int k = 0; k < 3; ++k) {
            if (!(std::fabs(p[k]) <= kMaxShapeSize)) {
                return false;
            }
        }
    }
    return true;
}

// The work of an entry point. Nothing may leave the C interface as an
// exception: a failing allocator (or any other failure of the SDK's memory)
// ends the call with the entry point's failure value.
template <class Result, class Work>
Result Guarded(Result failure, Work work) noexcept {
    try {
        return work();
    } catch (const std::exception&) {
        return failure;
    }
}

template <class Work>
void Guarded(Work work) noexcept {
    try {
        work();
    } catch (const std::exception&) {
    }
}

// Setting the state of a sleeping body wakes it, so that what was set takes
// effect in the next step.
void Wake(phRigidBody* body) {
    if (!body->IsStatic()) {
        body->World()->UnfreezeBody(body);
    }
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
    return Guarded(static_cast<PhysWorld*>(nullptr), [&] {
        phSetMemoryCallbacks(alloc, free);
        return reinterpret_cast<PhysWorld*>(phPhysicsWorld::Create());
    });
}

void PhysWorldDestroy(PhysWorld* world) {
    if (world == nullptr || World(world)->Busy()) {
        return;
    }
    Guarded([&] {
        phPhysicsWorld::Destroy(World(world));
        if (phPhysicsWorld::LiveCount() == 0) {
            phReleaseMemoryCaches();
        }
    });
}

void PhysWorldUpdate(PhysWorld* world, float step) {
    if (world == nullptr || World(world)->Busy()) {
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
    Guarded([&] {
        for (int i = 0; i < count; ++i) {
            World(world)->Update(subStep);
        }
    });
}

float PhysWorldGetTimeStep(const PhysWorld* world) {
    return world != nullptr ? World(world)->TimeStep() : 0.0f;
}

void PhysWorldSetSize(PhysWorld* world, const float min[3], const float max[3]) {
    if (world == nullptr || !Finite3(min) || !Finite3(max)) {
        return;
    }
    Guarded([&] { World(world)->SetWorldSize(Vector(min), Vector(max)); });
}

void PhysWorldSetSolverPasses(PhysWorld* world, int mode) {
    if (world != nullptr) {
        World(world)->SetSolverPasses(mode);
    }
}

void PhysWorldSetEqualityRowMode(PhysWorld* world, int mode) {
    if (world != nullptr) {
        World(world)->SetEqualityRowMode(mode);
    }
}

void PhysWorldSetBodyLeaveWorldCallback(PhysWorld* world, PhysBodyLeaveWorldCallback callback) {
    if (world != nullptr) {
        World(world)->SetLeaveWorldCallback(callback);
    }
}

void PhysWorldFreezeBody(PhysWorld* world, PhysBody* body) {
    if (world != nullptr && body != nullptr) {
        Guarded([&] { World(world)->FreezeBody(Body(body)); });
    }
}

void PhysWorldUnfreezeBody(PhysWorld* world, PhysBody* body) {
    if (world != nullptr && body != nullptr) {
        Guarded([&] { World(world)->UnfreezeBody(Body(body)); });
    }
}

void PhysWorldForEachBodyDo(PhysWorld* world, PhysBodyIterator iterator) {
    if (world != nullptr && iterator != nullptr) {
        Guarded([&] { World(world)->ForEachBody(iterator); });
    }
}

void PhysWorldRayCast(PhysWorld* world, const float p0[3], const float p1[3],
                      PhysRayFilterCallback filter, void* userData) {
    if (world == nullptr || !Finite3(p0) || !Finite3(p1)) {
        return;
    }
    Guarded([&] { World(world)->RayCast(Vector(p0), Vector(p1), filter, userData); });
}

PhysMaterialGroupId PhysMaterialCreateGroupId(PhysWorld* world) {
    if (world == nullptr) {
        return -1;
    }
    return Guarded(-1, [&] { return World(world)->Materials().CreateGroup(); });
}

void PhysMaterialSetDefaultCollidable(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, int state) {
    if (world != nullptr) {
        World(world)->Materials().SetCollidable(id0, id1, state);
    }
}

void PhysMaterialSetCollisionCallback(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, void* userData,
                                      PhysContactBeginCallback begin,
                                      PhysContactProcessCallback process,
                                      PhysContactEndCallback end) {
    if (world != nullptr) {
        World(world)->Materials().SetCollisionCallback(id0, id1, userData, begin, process, end);
    }
}

void PhysMaterialSetDefaultFriction(PhysWorld* world, PhysMaterialGroupId id0,
                                    PhysMaterialGroupId id1, float staticFriction,
                                    float kineticFriction) {
    if (world != nullptr && std::isfinite(staticFriction) && std::isfinite(kineticFriction)) {
        World(world)->Materials().SetFriction(id0, id1, staticFriction, kineticFriction);
    }
}

void PhysMaterialSetDefaultElasticity(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, float elasticity) {
    if (world != nullptr && std::isfinite(elasticity)) {
        World(world)->Materials().SetElasticity(id0, id1, elasticity);
    }
}

void PhysMaterialSetDefaultSoftness(PhysWorld* world, PhysMaterialGroupId id0,
                                    PhysMaterialGroupId id1, float softness) {
    if (world != nullptr && std::isfinite(softness)) {
        World(world)->Materials().SetSoftness(id0, id1, softness);
    }
}

void PhysMaterialGetContactPositionAndNormal(const PhysMaterial* material, float position[3],
                                             float normal[3]) {
    if (material != nullptr && position != nullptr && normal != nullptr) {
        Material(material)->GetContactPositionAndNormal(position, normal);
    }
}

void PhysMaterialSetContactFrictionState(PhysMaterial* material, int state, int index) {
    if (material != nullptr) {
        Material(material)->SetContactFrictionState(state, index);
    }
}

void PhysMaterialSetContactTangentDirection(PhysMaterial* material, const float direction[3]) {
    if (material != nullptr && Finite3(direction)) {
        Material(material)->SetContactTangentDirection(direction);
    }
}

PhysCollision* PhysCreateBox(PhysWorld* world, float dx, float dy, float dz,
                             const float offset[16]) {
    if (world == nullptr || !UsableSize(dx) || !UsableSize(dy) || !UsableSize(dz) ||
        !FiniteOffset(offset)) {
        return nullptr;
    }
    return Guarded(static_cast<PhysCollision*>(nullptr), [&] {
        return ShapeHandle(World(world)->Shapes().CreateBox(dx, dy, dz, Offset(offset)));
    });
}

PhysCollision* PhysCreateCylinder(PhysWorld* world, float radius, float height,
                                  const float offset[16]) {
    if (world == nullptr || !UsableSize(radius) || !UsableSize(height) || !FiniteOffset(offset)) {
        return nullptr;
    }
    return Guarded(static_cast<PhysCollision*>(nullptr), [&] {
        return ShapeHandle(World(world)->Shapes().CreateCylinder(radius, height, Offset(offset)));
    });
}

PhysCollision* PhysCreateConvexHull(PhysWorld* world, int count, const float* points,
                                    int strideInBytes, const float offset[16]) {
    if (world == nullptr || points == nullptr || strideInBytes < int(3 * sizeof(float)) ||
        !FiniteOffset(offset) || !PointsWithin(count, strideInBytes, points)) {
        return nullptr;
    }
    return Guarded(static_cast<PhysCollision*>(nullptr), [&] {
        return ShapeHandle(
            World(world)->Shapes().CreateConvexHull(count, strideInBytes, points, Offset(offset)));
    });
}

PhysCollision* PhysCreateCompoundCollision(PhysWorld* world, int count,
                                           PhysCollision* const* parts) {
    if (world == nullptr || count <= 0 || parts == nullptr) {
        return nullptr;
    }
    return Guarded(static_cast<PhysCollision*>(nullptr), [&] {
        return ShapeHandle(World(world)->Shapes().CreateCompound(
            count, reinterpret_cast<phCollision* const*>(parts)));
    });
}

PhysCollision* PhysCreateTreeCollision(PhysWorld* world, PhysTreeCollisionFaceCallback callback) {
    if (world == nullptr) {
        return nullptr;
    }
    return Guarded(static_cast<PhysCollision*>(nullptr), [&] {
        // Three draws of the SDK's sequence key the new mesh apart from every
        // other.
        const uint32_t draw0 = phRandomNext();
        const uint32_t draw1 = phRandomNext();
        const uint32_t draw2 = phRandomNext();
        phCollisionPolygonalSoup* tree =
            phCreateTreeCollision(World(world), callback, draw0, draw1, draw2);
        World(world)->Shapes().AddStaticMesh(tree);
        return ShapeHandle(tree);
    });
}

void PhysTreeCollisionBeginBuild(PhysCollision* tree) {
    if (phCollisionPolygonalSoup* mesh = Tree(tree)) {
        Guarded([&] { phTreeCollisionBeginBuild(*mesh); });
    }
}

void PhysTreeCollisionAddFace(PhysCollision* tree, int vertexCount, const float* vertices,
                              int strideInBytes, int faceAttribute) {
    phCollisionPolygonalSoup* mesh = Tree(tree);
    if (mesh == nullptr || vertexCount < 3 || vertices == nullptr ||
        strideInBytes < int(3 * sizeof(float))) {
        return;
    }
    const char* bytes = reinterpret_cast<const char*>(vertices);
    for (int i = 0; i < vertexCount; ++i) {
        if (!Finite3(reinterpret_cast<const float*>(bytes + size_t(i) * size_t(strideInBytes)))) {
            return;
        }
    }
    Guarded([&] {
        phTreeCollisionAddFace(*mesh, vertexCount, vertices, strideInBytes, faceAttribute);
    });
}

void PhysTreeCollisionEndBuild(PhysCollision* tree, int optimize) {
    phCollisionPolygonalSoup* mesh = Tree(tree);
    if (mesh == nullptr) {
        return;
    }
    Guarded([&] {
        if (!phTreeCollisionEndBuild(*mesh, optimize)) {
            return;
        }
        // The mesh knows its world; the cache moves it to its new key.
        phTreeCollisionMesh* treeMesh = phGetTreeCollisionMesh(*mesh);
        static_cast<phPhysicsWorld*>(treeMesh->GetWorld())->Shapes().UpdateStaticMesh(mesh);
    });
}

void PhysReleaseCollision(PhysWorld* world, PhysCollision* collision) {
    if (world != nullptr && collision != nullptr) {
        Guarded([&] { World(world)->ReleaseShape(Shape(collision)); });
    }
}

void PhysCollisionCalculateAABB(const PhysCollision* collision, const float matrix[16],
                                float min[3], float max[3]) {
    if (collision == nullptr || !FiniteMatrix(matrix) || min == nullptr || max == nullptr) {
        return;
    }
    phVector boxMin;
    phVector boxMax;
    Shape(collision)->CalcAABB(phMatrix(matrix), boxMin, boxMax);
    Store3(boxMin, min);
    Store3(boxMax, max);
}

PhysBody* PhysBodyCreate(PhysWorld* world, PhysCollision* collision) {
    if (world == nullptr || !Usable(Shape(collision))) {
        return nullptr;
    }
    return Guarded(static_cast<PhysBody*>(nullptr),
                   [&] { return World(world)->CreateBody(Shape(collision))->Handle(); });
}

void PhysBodyDestroy(PhysWorld* world, PhysBody* body) {
    if (world != nullptr && body != nullptr) {
        Guarded([&] { World(world)->DestroyBody(Body(body)); });
    }
}

void PhysBodySetUserData(PhysBody* body, void* userData) {
    if (body != nullptr) {
        Body(body)->SetUserData(userData);
    }
}

void* PhysBodyGetUserData(const PhysBody* body) {
    return body != nullptr ? Body(body)->UserData() : nullptr;
}

PhysWorld* PhysBodyGetWorld(const PhysBody* body) {
    return body != nullptr ? reinterpret_cast<PhysWorld*>(Body(body)->World()) : nullptr;
}

void PhysBodySetTransformCallback(PhysBody* body, PhysBodyTransformCallback callback) {
    if (body != nullptr) {
        Body(body)->transformCallback = callback;
    }
}

void PhysBodySetForceAndTorqueCallback(PhysBody* body, PhysBodyForceAndTorqueCallback callback) {
    if (body != nullptr) {
        Body(body)->forceAndTorqueCallback = callback;
    }
}

void PhysBodySetDestructorCallback(PhysBody* body, PhysBodyDestructorCallback callback) {
    if (body != nullptr) {
        Body(body)->destructorCallback = callback;
    }
}

void PhysBodySetMassMatrix(PhysBody* body, float mass, float ixx, float iyy, float izz) {
    const float values[4] = {mass, ixx, iyy, izz};
    if (body == nullptr || !Finite(values, 4)) {
        return;
    }
    Guarded([&] {
        Body(body)->SetMass(mass, ixx, iyy, izz);
        Wake(Body(body));
    });
}

void PhysBodyGetMassMatrix(const PhysBody* body, float* mass, float* ixx, float* iyy, float* izz) {
    if (body == nullptr || mass == nullptr || ixx == nullptr || iyy == nullptr || izz == nullptr) {
        return;
    }
    Body(body)->GetMass(*mass, *ixx, *iyy, *izz);
}

void PhysBodySetMatrix(PhysBody* body, const float matrix[16]) {
    if (body == nullptr || !FiniteMatrix(matrix)) {
        return;
    }
    Guarded([&] {
        Body(body)->SetMatrix(phMatrix(matrix));
        Wake(Body(body));
    });
}

void PhysBodyGetMatrix(const PhysBody* body, float matrix[16]) {
    if (body != nullptr && matrix != nullptr) {
        Body(body)->Matrix().Store(matrix);
    }
}

void PhysBodySetForce(PhysBody* body, const float force[3]) {
    if (body != nullptr && Finite3(force)) {
        Body(body)->SetForce(Vector(force));
    }
}

void PhysBodyAddForce(PhysBody* body, const float force[3]) {
    if (body != nullptr && Finite3(force)) {
        Body(body)->AddForce(phVector(force[0], force[1], force[2], 0.0f));
    }
}

void PhysBodyGetForce(const PhysBody* body, float force[3]) {
    if (body != nullptr && force != nullptr) {
        Store3(Body(body)->Force(), force);
    }
}

void PhysBodySetTorque(PhysBody* body, const float torque[3]) {
    if (body != nullptr && Finite3(torque)) {
        Body(body)->SetTorque(Vector(torque));
    }
}

void PhysBodyGetTorque(const PhysBody* body, float torque[3]) {
    if (body != nullptr && torque != nullptr) {
        Store3(Body(body)->Torque(), torque);
    }
}

void PhysBodySetVelocity(PhysBody* body, const float velocity[3]) {
    if (body == nullptr || !Finite3(velocity)) {
        return;
    }
    Guarded([&] {
        Body(body)->SetVelocity(Vector(velocity));
        Wake(Body(body));
    });
}

void PhysBodyGetVelocity(const PhysBody* body, float velocity[3]) {
    if (body != nullptr && velocity != nullptr) {
        Store3(Body(body)->Velocity(), velocity);
    }
}

void PhysBodySetAngularVelocity(PhysBody* body, const float omega[3]) {
    if (body == nullptr || !Finite3(omega)) {
        return;
    }
    Guarded([&] {
        Body(body)->SetAngularVelocity(Vector(omega));
        Wake(Body(body));
    });
}

void PhysBodyGetAngularVelocity(const PhysBody* body, float omega[3]) {
    if (body != nullptr && omega != nullptr) {
        Store3(Body(body)->AngularVelocity(), omega);
    }
}

void PhysBodySetLinearDamping(PhysBody* body, float damping) {
    if (body != nullptr) {
        Body(body)->SetLinearDamping(damping);
    }
}

float PhysBodyGetLinearDamping(const PhysBody* body) {
    return body != nullptr ? Body(body)->GetLinearDamping() : 0.0f;
}

void PhysBodySetAngularDamping(PhysBody* body, const float damping[3]) {
    if (body != nullptr && damping != nullptr) {
        Body(body)->SetAngularDamping(Vector(damping));
    }
}

void PhysBodyGetAngularDamping(const PhysBody* body, float damping[3]) {
    if (body != nullptr && damping != nullptr) {
        Store3(Body(body)->GetAngularDamping(), damping);
    }
}

void PhysBodySetCollision(PhysBody* body, PhysCollision* collision) {
    if (body == nullptr || !Usable(Shape(collision))) {
        return;
    }
    Guarded([&] { Body(body)->World()->SetBodyShape(Body(body), Shape(collision)); });
}

void PhysBodySetMaterialGroupId(PhysBody* body, PhysMaterialGroupId id) {
    if (body != nullptr) {
        Body(body)->SetMaterialGroup(id);
    }
}

void PhysBodySetAutoFreeze(PhysBody* body, int state) {
    if (body != nullptr) {
        Body(body)->SetAutoFreeze(state != 0);
    }
}

void PhysBodyAddImpulse(PhysBody* body, const float deltaVelocity[3], const float point[3]) {
    if (body == nullptr || !Finite3(deltaVelocity) || !Finite3(point)) {
        return;
    }
    Guarded(
        [&] { Body(body)->World()->AddImpulse(Body(body), Vector(deltaVelocity), Vector(point)); });
}

void PhysBodyForEachPolygonDo(PhysBody* body, PhysPolygonIterator iterator) {
    if (body == nullptr || iterator == nullptr) {
        return;
    }
    Guarded([&] {
        PolygonWalk walk = {body, iterator};
        Body(body)->Shape()->ForEachPolygon(Body(body)->ShapeMatrix(), &walk, ForwardPolygon);
    });
}

PhysJoint* PhysJointCreateBall(PhysWorld* world, const float pivot[3], PhysBody* child,
                               PhysBody* parent) {
    if (world == nullptr || !Finite3(pivot)) {
        return nullptr;
    }
    return Guarded(static_cast<PhysJoint*>(nullptr), [&] {
        return JointHandle(World(world)->CreateBallJoint(Vector(pivot), Body(child), Body(parent)));
    });
}

PhysJoint* PhysJointCreateHinge(PhysWorld* world, const float pivot[3], const float pin[3],
                                PhysBody* child, PhysBody* parent) {
    if (world == nullptr || !Finite3(pivot) || !Finite3(pin)) {
        return nullptr;
    }
    return Guarded(static_cast<PhysJoint*>(nullptr), [&] {
        return JointHandle(
            World(world)->CreateHingeJoint(Vector(pivot), Vector(pin), Body(child), Body(parent)));
    });
}

PhysJoint* PhysJointCreateSlider(PhysWorld* world, const float pivot[3], const float pin[3],
                                 PhysBody* child, PhysBody* parent) {
    if (world == nullptr || !Finite3(pivot) || !Finite3(pin)) {
        return nullptr;
    }
    return Guarded(static_cast<PhysJoint*>(nullptr), [&] {
        return JointHandle(
            World(world)->CreateSliderJoint(Vector(pivot), Vector(pin), Body(child), Body(parent)));
    });
}

PhysJoint* PhysJointCreateUpVector(PhysWorld* world, const float pin[3], PhysBody* body) {
    if (world == nullptr || !Finite3(pin)) {
        return nullptr;
    }
    return Guarded(static_cast<PhysJoint*>(nullptr), [&] {
        return JointHandle(World(world)->CreateUpVectorJoint(Vector(pin), Body(body)));
    });
}

void PhysJointSetUserData(PhysJoint* joint, void* userData) {
    if (joint != nullptr) {
        Joint(joint)->SetUserData(userData);
    }
}

void* PhysJointGetUserData(const PhysJoint* joint) {
    return joint != nullptr ? Joint(joint)->UserData() : nullptr;
}

void PhysJointSetStiffness(PhysJoint* joint, float stiffness) {
    if (joint != nullptr && std::isfinite(stiffness)) {
        Joint(joint)->SetStiffness(stiffness);
    }
}

float PhysJointGetStiffness(const PhysJoint* joint) {
    return joint != nullptr ? Joint(joint)->GetStiffness() : 0.0f;
}

void PhysJointSetDestructorCallback(PhysJoint* joint, PhysJointDestructorCallback callback) {
    if (joint != nullptr) {
        Joint(joint)->SetDestructorCallback(callback);
    }
}

void PhysJointDestroy(PhysWorld* world, PhysJoint* joint) {
    if (world != nullptr && joint != nullptr) {
        Guarded([&] { World(world)->DestroyJoint(Joint(joint)); });
    }
}
}
