#include "physics_sdk/phys.h"

#include "body_test_shape.h"
#include "counting_allocator.h"
#include "dynamics/material.h"
#include "dynamics/rigid_body.h"
#include "dynamics/two_body_joint.h"
#include "dynamics/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

phPhysicsWorld* Internal(PhysWorld* world) { return reinterpret_cast<phPhysicsWorld*>(world); }
phRigidBody* Internal(PhysBody* body) { return phRigidBody::FromHandle(body); }

PhysCollision* NewSphere(float radius = 0.5f) {
    return reinterpret_cast<PhysCollision*>(static_cast<phCollision*>(new TestSphere(radius)));
}

// A world through the interface, with its counting memory callbacks.
struct ApiFixture {
    ApiFixture() {
        phReleaseMemoryCaches();
        world = PhysWorldCreate(CountingAllocator::Alloc, CountingAllocator::Free);
        sphere = NewSphere();
    }
    ~ApiFixture() {
        PhysReleaseCollision(world, sphere);
        PhysWorldDestroy(world);
        // The last world gave every block back through the callbacks.
        EXPECT_TRUE(CountingAllocator::Blocks().empty());
        phSetMemoryCallbacks(nullptr, nullptr);
    }

    PhysBody* Body(float mass = 1.0f, float x = 0.0f, float y = 0.0f) {
        PhysBody* body = PhysBodyCreate(world, sphere);
        PhysBodySetMassMatrix(body, mass, mass, mass, mass);
        float matrix[16];
        std::copy(kIdentity, kIdentity + 16, matrix);
        matrix[12] = x;
        matrix[13] = y;
        PhysBodySetMatrix(body, matrix);
        return body;
    }

    PhysWorld* world;
    PhysCollision* sphere;
};

int g_forceCalls = 0;
PhysWorld* g_world = nullptr;

void Gravity(PhysBody* body) {
    ++g_forceCalls;
    float mass, ixx, iyy, izz;
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    const float weight[3] = {0.0f, -9.8f * mass, 0.0f};
    PhysBodyAddForce(body, weight);
}

}  // namespace

TEST(PhysApi, UpdateClampsTheStepAndSplitsIt) {
    struct Case {
        float step;
        float subStep;
        int subSteps;
    };
    const Case cases[] = {
        {0.0001f, 0.001f, 1},
        {0.05f, 1.0f / 60.0f, 1},
        {1.0f / 60.0f, 1.0f / 60.0f, 1},
        {0.01f, 0.01f, 1},
        {-1.0f, 0.001f, 1},
        {std::numeric_limits<float>::quiet_NaN(), 0.001f, 1},
        {std::numeric_limits<float>::infinity(), 1.0f / 60.0f, 1},
    };
    for (const Case& c : cases) {
        ApiFixture f;
        PhysBody* body = f.Body();
        PhysBodySetAutoFreeze(body, 0);
        PhysBodySetForceAndTorqueCallback(body, Gravity);
        g_forceCalls = 0;
        PhysWorldUpdate(f.world, c.step);
        EXPECT_FLOAT_EQ(PhysWorldGetTimeStep(f.world), c.subStep) << c.step;
        EXPECT_EQ(g_forceCalls, c.subSteps) << c.step;
        float velocity[3];
        PhysBodyGetVelocity(body, velocity);
        EXPECT_NEAR(velocity[1], -9.8f * c.subStep * c.subSteps, 1e-5f) << c.step;
    }
}

TEST(PhysApi, UpdateAndDestroyAreRefusedInsideCallbacks) {
    ApiFixture f;
    PhysBody* body = f.Body();
    PhysBodySetAutoFreeze(body, 0);
    g_world = f.world;
    g_forceCalls = 0;
    PhysBodySetForceAndTorqueCallback(body, [](PhysBody* b) {
        ++g_forceCalls;
        PhysWorldUpdate(g_world, 1.0f / 60.0f);
        PhysWorldDestroy(g_world);
        PhysBodyDestroy(g_world, b);
    });
    PhysWorldUpdate(f.world, 1.0f / 60.0f);
    EXPECT_EQ(g_forceCalls, 1);
    // The body itself went at the end of the update.
    EXPECT_EQ(Internal(f.world)->BodyCount(), 0u);
    PhysWorldDestroy(nullptr);
}

TEST(PhysApi, WorldSettingsAndTheBodyWalk) {
    ApiFixture f;
    PhysWorldSetSolverPasses(f.world, 0);
    EXPECT_EQ(Internal(f.world)->SolverPasses(), 0);
    PhysWorldSetSolverPasses(f.world, 1);
    EXPECT_EQ(Internal(f.world)->SolverPasses(), 1);
    PhysWorldSetEqualityRowMode(f.world, 1);
    EXPECT_EQ(Internal(f.world)->EqualityRowMode(), 1);
    const float min[3] = {-10.0f, -10.0f, -10.0f};
    const float max[3] = {10.0f, 10.0f, 10.0f};
    PhysWorldSetSize(f.world, min, max);
    EXPECT_FLOAT_EQ(Internal(f.world)->BroadPhase().WorldMax().y, 10.0f);
    static int left;
    left = 0;
    PhysWorldSetBodyLeaveWorldCallback(f.world, [](PhysBody*) { ++left; });
    PhysBody* inside = f.Body(1.0f, 0.0f, 0.0f);
    PhysBody* outside = f.Body(1.0f, 20.0f, 0.0f);
    PhysBodySetAutoFreeze(inside, 0);
    PhysWorldUpdate(f.world, 1.0f / 60.0f);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(Internal(outside)->Flags() & kBodyAutoFreeze, 0u);
    static std::vector<PhysBody*> walked;
    walked.clear();
    PhysWorldForEachBodyDo(f.world, [](PhysBody* body) { walked.push_back(body); });
    EXPECT_EQ(walked, std::vector<PhysBody*>({inside, outside}));
    PhysWorldFreezeBody(f.world, inside);
    EXPECT_EQ(Internal(inside)->activeNode, nullptr);
    PhysWorldUnfreezeBody(f.world, inside);
    EXPECT_NE(Internal(inside)->activeNode, nullptr);
}

TEST(PhysApi, RayCastHandsHitsToTheFilter) {
    ApiFixture f;
    PhysBody* body = f.Body(1.0f, 5.0f, 0.0f);
    const float p0[3] = {0.0f, 0.0f, 0.0f};
    const float p1[3] = {10.0f, 0.0f, 0.0f};
    PhysWorldRayCast(f.world, p0, p1, nullptr, nullptr);
    struct Hit {
        PhysBody* body = nullptr;
        float t = -1.0f;
        float normalX = 0.0f;
    } hit;
    PhysWorldRayCast(
        f.world, p0, p1,
        [](PhysBody* b, const float normal[4], int, void* user, float t) {
            Hit* h = static_cast<Hit*>(user);
            h->body = b;
            h->t = t;
            h->normalX = normal[0];
            return t;
        },
        &hit);
    EXPECT_EQ(hit.body, body);
    EXPECT_NEAR(hit.t, 0.45f, 1e-4f);
    EXPECT_NEAR(hit.normalX, -1.0f, 1e-4f);
}

TEST(PhysApi, MaterialPairsThroughTheInterface) {
    ApiFixture f;
    const PhysMaterialGroupId wood = PhysMaterialCreateGroupId(f.world);
    EXPECT_EQ(wood, 1);
    phMaterialPairs& pairs = Internal(f.world)->Materials();
    phMaterial* pair = pairs.Find(0, wood);
    ASSERT_NE(pair, nullptr);
    PhysMaterialSetDefaultCollidable(f.world, 0, wood, 0);
    EXPECT_EQ(pair->flags & kMaterialCollidable, 0u);
    PhysMaterialSetDefaultFriction(f.world, 0, wood, 0.005f, 0.3f);
    EXPECT_EQ(pair->flags & (kMaterialFriction0 | kMaterialFriction1), 0u);
    EXPECT_FLOAT_EQ(pair->staticFriction[0], 0.9f);
    PhysMaterialSetDefaultFriction(f.world, 0, wood, 0.5f, 0.8f);
    EXPECT_FLOAT_EQ(pair->staticFriction[1], 0.8f);
    EXPECT_FLOAT_EQ(pair->kineticFriction[0], 0.8f);
    PhysMaterialSetDefaultFriction(f.world, 0, 7, 0.5f, 0.8f);
    PhysMaterialSetDefaultElasticity(f.world, wood, 0, 5.0f);
    EXPECT_FLOAT_EQ(pair->elasticity, 2.0f);
    PhysMaterialSetDefaultSoftness(f.world, wood, wood, 0.0f);
    EXPECT_FLOAT_EQ(pairs.Find(wood, wood)->softness, 0.01f);
    int user = 0;
    auto begin = [](PhysMaterial*, PhysBody*, PhysBody*) { return 1; };
    PhysMaterialSetCollisionCallback(f.world, wood, 0, &user, begin, nullptr, nullptr);
    EXPECT_EQ(pair->userData, &user);
    EXPECT_NE(pair->beginCallback, nullptr);

    // The per-contact record that contact callbacks see.
    phMaterial contact;
    contact.point = phVector(1.0f, 2.0f, 3.0f);
    contact.normal = phVector(0.0f, 1.0f, 0.0f);
    contact.tangent0 = phVector(1.0f, 0.0f, 0.0f);
    contact.tangent1 = phVector(0.0f, 0.0f, 1.0f);
    PhysMaterial* handle = reinterpret_cast<PhysMaterial*>(&contact);
    float position[3], normal[3];
    PhysMaterialGetContactPositionAndNormal(handle, position, normal);
    EXPECT_FLOAT_EQ(position[2], 3.0f);
    EXPECT_FLOAT_EQ(normal[1], 1.0f);
    PhysMaterialSetContactFrictionState(handle, 0, 1);
    EXPECT_EQ(contact.flags & kMaterialFriction1, 0u);
    EXPECT_NE(contact.flags & kMaterialFriction0, 0u);
    const float parallel[3] = {0.0f, 2.0f, 0.0f};
    PhysMaterialSetContactTangentDirection(handle, parallel);
    EXPECT_FLOAT_EQ(contact.tangent0.x, 1.0f);
    const float along[3] = {0.0f, 0.0f, 1.0f};
    PhysMaterialSetContactTangentDirection(handle, along);
    EXPECT_NEAR(std::fabs(contact.tangent0.z), 1.0f, 1e-5f);
}

TEST(PhysApi, BodyPropertiesReadBack) {
    ApiFixture f;
    PhysBody* body = PhysBodyCreate(f.world, f.sphere);
    EXPECT_EQ(PhysBodyGetWorld(body), f.world);
    int user = 0;
    PhysBodySetUserData(body, &user);
    EXPECT_EQ(PhysBodyGetUserData(body), &user);

    float mass, ixx, iyy, izz;
    PhysBodySetMassMatrix(body, 0.001f, 1.0f, 1.0f, 1.0f);
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    EXPECT_EQ(mass, 0.0f);
    EXPECT_EQ(izz, 0.0f);
    PhysBodySetMassMatrix(body, -2.0f, 1000.0f, 0.0f, 1.0f);
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    EXPECT_FLOAT_EQ(mass, 2.0f);
    EXPECT_FLOAT_EQ(ixx, 200.0f);
    EXPECT_FLOAT_EQ(iyy, 0.02f);

    PhysBodySetLinearDamping(body, 2.0f);
    EXPECT_FLOAT_EQ(Internal(body)->LinearDampingFactor(), 0.98f);
    EXPECT_NEAR(PhysBodyGetLinearDamping(body), 1.0f, 1e-4f);
    const float angularDamping[3] = {0.0f, 0.5f, 1.0f};
    PhysBodySetAngularDamping(body, angularDamping);
    float damping[3];
    PhysBodyGetAngularDamping(body, damping);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(damping[i], angularDamping[i], 1e-4f);
    }

    const float v[3] = {1.0f, 2.0f, 3.0f};
    float out[3];
    PhysBodySetVelocity(body, v);
    PhysBodyGetVelocity(body, out);
    EXPECT_FLOAT_EQ(out[2], 3.0f);
    PhysBodySetAngularVelocity(body, v);
    PhysBodyGetAngularVelocity(body, out);
    EXPECT_FLOAT_EQ(out[1], 2.0f);
    PhysBodySetForce(body, v);
    PhysBodyAddForce(body, v);
    PhysBodyGetForce(body, out);
    EXPECT_FLOAT_EQ(out[0], 2.0f);
    EXPECT_FLOAT_EQ(Internal(body)->Force().w, 1.0f);
    PhysBodySetTorque(body, v);
    PhysBodyGetTorque(body, out);
    EXPECT_FLOAT_EQ(out[2], 3.0f);

    float matrix[16];
    PhysMatrixRotationX(matrix, 0.5f);
    matrix[12] = 4.0f;
    PhysBodySetMatrix(body, matrix);
    float back[16];
    PhysBodyGetMatrix(body, back);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(back[i], matrix[i], 1e-6f) << i;
    }

    PhysCollision* bigger = NewSphere(2.0f);
    PhysBodySetCollision(body, bigger);
    PhysReleaseCollision(f.world, bigger);
    EXPECT_FLOAT_EQ(Internal(body)->BoxMax().x, 6.0f);
    PhysBodySetMaterialGroupId(body, 3);
    EXPECT_EQ(Internal(body)->MaterialGroup(), 3);
    PhysBodySetAutoFreeze(body, 0);
    EXPECT_EQ(Internal(body)->Flags() & kBodyAutoFreeze, 0u);
    PhysBodySetAutoFreeze(body, 1);
    EXPECT_NE(Internal(body)->Flags() & kBodyAutoFreeze, 0u);

    static int calls;
    calls = 0;
    PhysBodySetTransformCallback(body, [](PhysBody*, const float*) { ++calls; });
    PhysBodySetDestructorCallback(body, [](PhysBody*) { calls += 100; });
    PhysWorldUpdate(f.world, 1.0f / 60.0f);
    EXPECT_EQ(calls, 1);
    PhysBodyDestroy(f.world, body);
    EXPECT_EQ(calls, 101);
}

TEST(PhysApi, ImpulsesWakeBodies) {
    ApiFixture f;
    PhysBody* body = f.Body(2.0f);
    PhysWorldUpdate(f.world, 1.0f / 60.0f);
    EXPECT_EQ(Internal(body)->activeNode, nullptr);
    const float dv[3] = {0.0f, 1.0f, 0.0f};
    const float point[3] = {0.0f, 0.0f, 0.0f};
    PhysBodyAddImpulse(body, dv, point);
    float velocity[3];
    PhysBodyGetVelocity(body, velocity);
    EXPECT_NEAR(velocity[1], 1.0f, 1e-5f);
    EXPECT_NE(Internal(body)->activeNode, nullptr);
}

TEST(PhysApi, ShapeBoxAndFaceWalk) {
    ApiFixture f;
    float matrix[16];
    std::copy(kIdentity, kIdentity + 16, matrix);
    matrix[13] = 3.0f;
    float min[3], max[3];
    PhysCollisionCalculateAABB(f.sphere, matrix, min, max);
    EXPECT_FLOAT_EQ(min[1], 2.5f);
    EXPECT_FLOAT_EQ(max[0], 0.5f);
    // The test sphere has no faces: the walk reports none.
    static int faces;
    faces = 0;
    PhysBodyForEachPolygonDo(f.Body(), [](PhysBody*, int, const float*) { ++faces; });
    EXPECT_EQ(faces, 0);
}

TEST(PhysApi, JointsThroughTheInterface) {
    ApiFixture f;
    PhysBody* a = f.Body(1.0f, 0.0f, 0.0f);
    PhysBody* b = f.Body(1.0f, 1.0f, 0.0f);
    const float pivot[3] = {0.5f, 0.0f, 0.0f};
    const float pin[3] = {0.0f, 0.0f, 1.0f};
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    PhysJoint* ball = PhysJointCreateBall(f.world, pivot, b, a);
    PhysJoint* hinge = PhysJointCreateHinge(f.world, pivot, pin, b, a);
    PhysJoint* slider = PhysJointCreateSlider(f.world, pivot, pin, b, nullptr);
    PhysJoint* up = PhysJointCreateUpVector(f.world, pin, a);
    ASSERT_TRUE(ball && hinge && slider && up);
    EXPECT_EQ(PhysJointCreateHinge(f.world, pivot, zero, b, a), nullptr);
    EXPECT_EQ(PhysJointCreateBall(f.world, pivot, a, a), nullptr);
    EXPECT_EQ(reinterpret_cast<phTwoBodyJoint*>(slider)->Kind(), kJointSlider);
    int user = 0;
    PhysJointSetUserData(hinge, &user);
    EXPECT_EQ(PhysJointGetUserData(hinge), &user);
    PhysJointSetStiffness(hinge, 0.9f);
    EXPECT_NEAR(reinterpret_cast<phTwoBodyJoint*>(hinge)->StoredStiffness(), 10.9f, 1e-4f);
    EXPECT_NEAR(PhysJointGetStiffness(hinge), 0.9f, 1e-5f);
    PhysJointSetStiffness(hinge, -1.0f);
    EXPECT_NEAR(PhysJointGetStiffness(hinge), 0.0f, 1e-5f);
    EXPECT_NEAR(PhysJointGetStiffness(up), 0.995f, 1e-4f);
    static int destroyed;
    destroyed = 0;
    PhysJointSetDestructorCallback(ball, [](PhysJoint*) { ++destroyed; });
    PhysJointSetDestructorCallback(hinge, [](PhysJoint*) { ++destroyed; });
    PhysWorldUpdate(f.world, 1.0f / 60.0f);
    PhysJointDestroy(f.world, ball);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Internal(f.world)->ConstraintCount(), 3);
    // Destroying a body takes its joints with it.
    PhysBodyDestroy(f.world, a);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(Internal(f.world)->ConstraintCount(), 1);
}

TEST(PhysApi, VectorAndMatrixHelpers) {
    const float a[4] = {1.0f, 2.0f, 3.0f, 7.0f};
    const float b[4] = {4.0f, 5.0f, 6.0f, 9.0f};
    float out[4];
    PhysVectorScale(out, a, 2.0f);
    EXPECT_EQ(out[2], 6.0f);
    EXPECT_EQ(out[3], 7.0f);
    PhysVectorAdd(out, a, b);
    EXPECT_EQ(out[0], 5.0f);
    EXPECT_EQ(out[3], 7.0f);
    PhysVectorAddTo(out, a);
    EXPECT_EQ(out[1], 9.0f);
    PhysVectorCross(out, a, b);
    EXPECT_EQ(out[0], -3.0f);
    EXPECT_EQ(out[1], 6.0f);
    EXPECT_EQ(out[2], -3.0f);
    EXPECT_EQ(out[3], 7.0f);

    // A turn about x, then a move: applied in that order to row vectors.
    float turn[16], move[16], both[16];
    PhysMatrixRotationX(turn, 1.5707964f);
    std::copy(kIdentity, kIdentity + 16, move);
    move[12] = 1.0f;
    move[13] = 2.0f;
    PhysMatrixMultiply(both, turn, move);
    const float y[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    PhysMatrixRotateVector(out, both, y);
    EXPECT_NEAR(out[2], 1.0f, 1e-6f);
    EXPECT_NEAR(out[1], 0.0f, 1e-6f);
    float back[4];
    PhysMatrixUnrotateVector(back, both, out);
    EXPECT_NEAR(back[1], 1.0f, 1e-6f);
    const float point[4] = {1.0f, 2.0f, 1.0f, 1.0f};
    PhysMatrixUntransformPoint(out, both, point);
    EXPECT_NEAR(out[1], 1.0f, 1e-6f);
    EXPECT_NEAR(out[2], 0.0f, 1e-6f);
    float inverse[16], product[16];
    PhysMatrixRigidInverse(inverse, both);
    PhysMatrixMultiply(product, both, inverse);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(product[i], kIdentity[i], 1e-6f) << i;
    }
    const float points[] = {1.0f, 5.0f, -2.0f, 99.0f, -3.0f, 0.0f, 4.0f, 99.0f};
    float min[4], max[4];
    PhysPointCloudBox(min, max, points, 2, 4 * sizeof(float));
    EXPECT_EQ(min[0], -3.0f);
    EXPECT_EQ(max[1], 5.0f);
    EXPECT_EQ(max[2], 4.0f);
    EXPECT_EQ(min[3], 1.0f);
}

TEST(PhysApi, ShapesAreSharedAndReleasedThroughTheCache) {
    ApiFixture f;
    const float offset[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1};
    PhysCollision* box = PhysCreateBox(f.world, 1.0f, 2.0f, 3.0f, nullptr);
    EXPECT_EQ(PhysCreateBox(f.world, 1.0f, 2.0f, 3.0f, nullptr), box);
    PhysCollision* moved = PhysCreateBox(f.world, 1.0f, 2.0f, 3.0f, offset);
    EXPECT_NE(moved, box);
    // The box under a matrix is the shape's own; a body places it by the
    // offset first.
    float min[3], max[3];
    PhysCollisionCalculateAABB(moved, kIdentity, min, max);
    EXPECT_NEAR(min[1], -1.0f, 1e-5f);
    EXPECT_NEAR(max[2], 1.5f, 1e-5f);
    PhysCollision* cylinder = PhysCreateCylinder(f.world, 0.5f, 2.0f, nullptr);
    EXPECT_EQ(PhysCreateCylinder(f.world, 0.5f, 2.0f, nullptr), cylinder);
    const float points[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1};
    PhysCollision* hull = PhysCreateConvexHull(f.world, 5, points, 3 * sizeof(float), nullptr);
    EXPECT_EQ(PhysCreateConvexHull(f.world, 5, points, 3 * sizeof(float), nullptr), hull);
    PhysCollision* parts[2] = {box, cylinder};
    PhysCollision* compound = PhysCreateCompoundCollision(f.world, 2, parts);
    PhysBody* body = PhysBodyCreate(f.world, compound);
    PhysBodySetCollision(body, hull);
    PhysBodySetCollision(body, moved);
    EXPECT_NEAR(Internal(body)->BoxMin().y, 1.0f, 1e-3f);
    for (PhysCollision* shape : {box, box, moved, cylinder, cylinder, hull, hull, compound}) {
        PhysReleaseCollision(f.world, shape);
    }
    // The body holds the last shape; the rest are gone from the cache.
    EXPECT_EQ(Internal(f.world)->Shapes().GetCount(), 1u);
    PhysBodyDestroy(f.world, body);
    EXPECT_EQ(Internal(f.world)->Shapes().GetCount(), 0u);
}

TEST(PhysApi, ABoxRestsOnAStaticMesh) {
    ApiFixture f;
    PhysCollision* tree = PhysCreateTreeCollision(f.world, nullptr);
    PhysCollision* other = PhysCreateTreeCollision(f.world, nullptr);
    EXPECT_NE(tree, other);
    PhysReleaseCollision(f.world, other);
    PhysTreeCollisionBeginBuild(tree);
    // A 20 by 20 floor of two triangles at y = 0, facing up.
    const float floor[2][9] = {{-10, 0, -10, -10, 0, 10, 10, 0, 10},
                               {-10, 0, -10, 10, 0, 10, 10, 0, -10}};
    for (const float* face : floor) {
        PhysTreeCollisionAddFace(tree, 3, face, 3 * sizeof(float), 5);
    }
    PhysTreeCollisionEndBuild(tree, 1);
    PhysBody* ground = PhysBodyCreate(f.world, tree);
    PhysReleaseCollision(f.world, tree);
    PhysBodySetMassMatrix(ground, 10.0f, 1.0f, 1.0f, 1.0f);
    float mass, ixx, iyy, izz;
    PhysBodyGetMassMatrix(ground, &mass, &ixx, &iyy, &izz);
    EXPECT_EQ(mass, 0.0f);

    PhysCollision* shape = PhysCreateBox(f.world, 1.0f, 1.0f, 1.0f, nullptr);
    PhysBody* box = PhysBodyCreate(f.world, shape);
    PhysReleaseCollision(f.world, shape);
    PhysBodySetMassMatrix(box, 1.0f, 0.2f, 0.2f, 0.2f);
    float matrix[16];
    std::copy(kIdentity, kIdentity + 16, matrix);
    matrix[13] = 1.0f;
    PhysBodySetMatrix(box, matrix);
    PhysBodySetForceAndTorqueCallback(box, Gravity);
    for (int i = 0; i < 180; ++i) {
        PhysWorldUpdate(f.world, 1.0f / 60.0f);
    }
    PhysBodyGetMatrix(box, matrix);
    EXPECT_NEAR(matrix[13], 0.5f, 0.02f);
    static int faces;
    faces = 0;
    PhysBodyForEachPolygonDo(ground,
                             [](PhysBody*, int count, const float*) { faces += count > 0; });
    EXPECT_GT(faces, 0);
}
