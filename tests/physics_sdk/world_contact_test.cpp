// Bodies resting, stacking, sliding and stopping on each other through the
// whole SDK: shapes, the narrow phase, contact rows and the island solver,
// driven through the entry points as the game drives them.
#include "physics_sdk/phys.h"

#include "dynamics/rigid_body.h"
#include "dynamics/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const float kG = 9.8f;
const float kStep = 1.0f / 60.0f;

void Weight(PhysBody* body) {
    float mass, ixx, iyy, izz;
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    const float force[3] = {0.0f, -kG * mass, 0.0f};
    PhysBodySetForce(body, force);
}

int g_transforms = 0;
void CountTransform(PhysBody*, const float*) { ++g_transforms; }

struct BoxScene {
    // gameSettings: the solver settings the game runs with.
    explicit BoxScene(bool gameSettings = false) : world(PhysWorldCreate(nullptr, nullptr)) {
        if (gameSettings) {
            PhysWorldSetSolverPasses(world, 1);
            PhysWorldSetEqualityRowMode(world, 1);
        }
    }
    ~BoxScene() { PhysWorldDestroy(world); }

    // A static slab whose top face passes through the origin, turned by
    // angle about z.
    PhysBody* Ground(float angle = 0.0f) {
        PhysCollision* shape = PhysCreateBox(world, 200.0f, 1.0f, 200.0f, nullptr);
        PhysBody* ground = PhysBodyCreate(world, shape);
        PhysReleaseCollision(world, shape);
        const float c = std::cos(angle), s = std::sin(angle);
        const float matrix[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0.5f * s, -0.5f * c, 0, 1};
        PhysBodySetMatrix(ground, matrix);
        return ground;
    }

    // A unit cube of mass 1 at (x, y, z), turned by angle about z, under
    // its weight and without damping.
    PhysBody* Box(float x, float y, float z = 0.0f, float angle = 0.0f, float size = 1.0f) {
        PhysCollision* shape = PhysCreateBox(world, size, size, size, nullptr);
        PhysBody* box = PhysBodyCreate(world, shape);
        PhysReleaseCollision(world, shape);
        const float inertia = size * size / 6.0f;
        PhysBodySetMassMatrix(box, 1.0f, inertia, inertia, inertia);
        const float c = std::cos(angle), s = std::sin(angle);
        const float matrix[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, x, y, z, 1};
        PhysBodySetMatrix(box, matrix);
        PhysBodySetForceAndTorqueCallback(box, Weight);
        PhysBodySetLinearDamping(box, 0.0f);
        const float none[3] = {0.0f, 0.0f, 0.0f};
        PhysBodySetAngularDamping(box, none);
        return box;
    }

    void Run(float seconds) {
        const int steps = int(std::lround(seconds / kStep));
        for (int i = 0; i < steps; ++i) {
            PhysWorldUpdate(world, kStep);
        }
    }

    PhysWorld* world;
};

struct Pose {
    float x, y, z;
};

Pose Position(const PhysBody* body) {
    float m[16];
    PhysBodyGetMatrix(body, m);
    return {m[12], m[13], m[14]};
}

float Distance(const Pose& a, const Pose& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

}  // namespace

TEST(WorldContacts, ARestingBoxGoesToSleep) {
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        BoxScene scene(game);
        scene.Ground();
        PhysBody* box = scene.Box(0.0f, 0.55f);
        PhysBodySetTransformCallback(box, CountTransform);
        g_transforms = 0;
        scene.Run(3.0f);
        EXPECT_NEAR(Position(box).y, 0.5f, 0.02f);
        EXPECT_FALSE(phRigidBody::FromHandle(box)->IsActive());
        const int transforms = g_transforms;
        scene.Run(1.0f);
        EXPECT_EQ(g_transforms, transforms);
        // A push wakes it and it moves again.
        const float push[3] = {1.0f, 0.0f, 0.0f};
        const Pose before = Position(box);
        PhysBodyAddImpulse(box, push, &before.x);
        scene.Run(0.5f);
        EXPECT_GT(g_transforms, transforms);
        EXPECT_GT(Position(box).x, 0.05f);
    }
}

TEST(WorldContacts, AStackOfFiveStands) {
    for (bool gameSettings : {false, true}) {
        BoxScene scene(gameSettings);
        scene.Ground();
        std::vector<PhysBody*> boxes;
        for (int i = 0; i < 5; ++i) {
            boxes.push_back(scene.Box(0.0f, 0.5f + 1.0f * float(i)));
        }
        const Pose start = Position(boxes.back());
        scene.Run(10.0f);
        const Pose end = Position(boxes.back());
        EXPECT_LT(Distance(start, end), 0.1f) << gameSettings;
        EXPECT_NEAR(end.x, 0.0f, 0.05f) << gameSettings;
    }
}

TEST(WorldContacts, APyramidOfTwentyRowsStands) {
    BoxScene scene(true);
    scene.Ground();
    std::vector<PhysBody*> boxes;
    const int rows = 20;
    for (int row = 0; row < rows; ++row) {
        for (int i = 0; i < rows - row; ++i) {
            const float x = (float(i) - 0.5f * float(rows - row - 1)) * 1.05f;
            boxes.push_back(scene.Box(x, 0.5f + float(row), 0.0f));
        }
    }
    const Pose start = Position(boxes.back());
    // Each layer settles into the contact margin, about 1/128 deep; after
    // that the top holds still.
    scene.Run(2.0f);
    const Pose settled = Position(boxes.back());
    scene.Run(8.0f);
    const Pose end = Position(boxes.back());
    EXPECT_LT(start.y - end.y, float(rows) / 64.0f);
    EXPECT_LT(Distance(settled, end), 0.02f);
    EXPECT_NEAR(end.x, start.x, 0.02f);
    EXPECT_NEAR(end.z, start.z, 0.02f);
}

TEST(WorldContacts, ABoxOnAnInclineHoldsBelowTheFrictionAngleAndSlidesAbove) {
    const float staticFriction = 0.6f;
    const float kineticFriction = 0.4f;
    const float holdAngle = std::atan(staticFriction) - 0.1f;
    const float slideAngle = std::atan(staticFriction) + 0.15f;
    for (float angle : {holdAngle, slideAngle}) {
        for (bool game : {false, true}) {
            SCOPED_TRACE(game);
            BoxScene scene(game);
            PhysMaterialSetDefaultFriction(scene.world, 0, 0, staticFriction, kineticFriction);
            scene.Ground(angle);
            // On the slope, its bottom face on the slab's top face.
            const float c = std::cos(angle), s = std::sin(angle);
            PhysBody* box = scene.Box(-0.5f * s, 0.5f * c, 0.0f, angle);
            scene.Run(0.5f);
            const Pose a = Position(box);
            float va[3];
            PhysBodyGetVelocity(box, va);
            scene.Run(1.0f);
            const Pose b = Position(box);
            float vb[3];
            PhysBodyGetVelocity(box, vb);
            // Speed down the slope, gained over one second.
            const float down[2] = {-c, -s};
            const float acceleration =
                (vb[0] * down[0] + vb[1] * down[1]) - (va[0] * down[0] + va[1] * down[1]);
            if (angle == holdAngle) {
                EXPECT_LT(Distance(a, b), 0.02f);
            } else {
                const float expected = kG * (std::sin(angle) - kineticFriction * std::cos(angle));
                // With all rows in one solve, friction is bounded by the last
                // step's normal forces, and the lightly loaded back points
                // fall under the friction drop threshold: a little less
                // friction than the coefficient gives.
                EXPECT_NEAR(acceleration, expected, (game ? 0.15f : 0.1f) * expected);
            }
        }
    }
}

TEST(WorldContacts, APushedBoxStopsWhereFrictionSays) {
    const float kineticFriction = 0.4f;
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        BoxScene scene(game);
        PhysMaterialSetDefaultFriction(scene.world, 0, 0, 0.5f, kineticFriction);
        scene.Ground();
        PhysBody* box = scene.Box(0.0f, 0.5f);
        scene.Run(1.0f);
        const Pose start = Position(box);
        const float speed = 3.0f;
        const float velocity[3] = {speed, 0.0f, 0.0f};
        PhysBodySetVelocity(box, velocity);
        PhysWorldUnfreezeBody(scene.world, box);
        scene.Run(3.0f);
        const Pose end = Position(box);
        const float expected = speed * speed / (2.0f * kineticFriction * kG);
        EXPECT_NEAR(end.x - start.x, expected, 0.1f * expected);
        EXPECT_NEAR(end.z - start.z, 0.0f, 0.02f);
        float v[3];
        PhysBodyGetVelocity(box, v);
        EXPECT_NEAR(v[0], 0.0f, 0.05f);
    }
}

TEST(WorldContacts, StaleContactsGoAtTheEndOfTheStepAndJointedBodiesNeverTouch) {
    BoxScene scene;
    PhysBody* ground = scene.Ground();
    PhysBody* box = scene.Box(0.0f, 0.5f);
    const phPhysicsWorld* world = reinterpret_cast<const phPhysicsWorld*>(scene.world);
    scene.Run(0.2f);
    EXPECT_EQ(world->ConstraintCount(), 1);
    // Lifted clear of the ground (and woken: a move alone does not wake a
    // body): its contact is not refreshed and goes.
    float matrix[16];
    PhysBodyGetMatrix(box, matrix);
    matrix[13] = 5.0f;
    PhysBodySetMatrix(box, matrix);
    PhysWorldUnfreezeBody(scene.world, box);
    PhysWorldUpdate(scene.world, kStep);
    EXPECT_EQ(world->ConstraintCount(), 0);
    // Hinged to the ground at its centre and resting in it, the box makes no
    // contact with it.
    matrix[13] = 0.2f;
    PhysBodySetMatrix(box, matrix);
    PhysWorldUnfreezeBody(scene.world, box);
    const float pivot[3] = {0.0f, 0.2f, 0.0f};
    const float pin[3] = {0.0f, 0.0f, 1.0f};
    ASSERT_NE(PhysJointCreateHinge(scene.world, pivot, pin, box, ground), nullptr);
    scene.Run(0.2f);
    EXPECT_EQ(world->ConstraintCount(), 1);
    EXPECT_NEAR(Position(box).y, 0.2f, 0.01f);
}
