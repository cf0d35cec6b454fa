// What the game's physics layer relies on of the SDK, through the public
// header alone: the defaults of a new world and a new body, the contact
// callbacks' order, joint stiffness and the matrix product's order.
#include "physics_sdk/phys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

struct World {
    World()
        : world(PhysWorldCreate(nullptr, nullptr)), box(PhysCreateBox(world, 1, 1, 1, nullptr)) {}
    ~World() {
        PhysReleaseCollision(world, box);
        PhysWorldDestroy(world);
    }
    PhysBody* Body(float x, float y, float mass) {
        PhysBody* body = PhysBodyCreate(world, box);
        float matrix[16];
        std::copy(kIdentity, kIdentity + 16, matrix);
        matrix[12] = x;
        matrix[13] = y;
        PhysBodySetMatrix(body, matrix);
        PhysBodySetMassMatrix(body, mass, mass, mass, mass);
        PhysBodySetAutoFreeze(body, 0);
        return body;
    }

    PhysWorld* world;
    PhysCollision* box;
};

TEST(LayerServices, NewWorldsAndBodiesStartAsTheLayerExpects) {
    World w;
    PhysWorldUpdate(w.world, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(PhysWorldGetTimeStep(w.world), 1.0f / 60.0f);
    PhysBody* body = PhysBodyCreate(w.world, w.box);
    float matrix[16];
    PhysBodyGetMatrix(body, matrix);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(matrix[i], kIdentity[i]);
    }
    float mass = -1, ixx = -1, iyy = -1, izz = -1;
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    EXPECT_EQ(mass + ixx + iyy + izz, 0.0f);  // infinite mass reads as zeros
    EXPECT_EQ(PhysBodyGetWorld(body), w.world);
}

TEST(LayerServices, TheDefaultWorldBoxReachesAHundred) {
    World w;
    static int left;
    left = 0;
    PhysWorldSetBodyLeaveWorldCallback(w.world, [](PhysBody*) { ++left; });
    w.Body(99.0f, 0.0f, 1.0f);
    PhysWorldUpdate(w.world, 1.0f / 60.0f);
    EXPECT_EQ(left, 0);
    w.Body(0.0f, -101.0f, 1.0f);
    PhysWorldUpdate(w.world, 1.0f / 60.0f);
    EXPECT_EQ(left, 1);
}

std::string g_calls;

TEST(LayerServices, ContactCallbacksRunBeginProcessEndForOnePairAtATime) {
    World w;
    const PhysMaterialGroupId a = PhysMaterialCreateGroupId(w.world);
    const PhysMaterialGroupId b = PhysMaterialCreateGroupId(w.world);
    PhysMaterialSetCollisionCallback(
        w.world, a, b, nullptr,
        [](PhysMaterial*, PhysBody*, PhysBody*) {
            g_calls += "b";
            return 1;
        },
        [](PhysMaterial* material, PhysContact*) {
            float position[3];
            float normal[3];
            PhysMaterialGetContactPositionAndNormal(material, position, normal);
            g_calls += "p";
            return 1;
        },
        [](PhysMaterial*) { g_calls += "e"; });
    PhysBody* floor = w.Body(0.0f, 0.0f, 0.0f);
    PhysBody* box = w.Body(0.0f, 0.99f, 1.0f);
    PhysBodySetMaterialGroupId(floor, a);
    PhysBodySetMaterialGroupId(box, b);
    g_calls.clear();
    PhysWorldUpdate(w.world, 1.0f / 60.0f);
    ASSERT_GE(g_calls.size(), 3u);
    EXPECT_EQ(g_calls.front(), 'b');
    EXPECT_EQ(g_calls.back(), 'e');
    EXPECT_EQ(g_calls.find_first_not_of('p', 1), g_calls.size() - 1);
}

TEST(LayerServices, JointStiffnessIsClampedAndProductsApplyTheLeftFirst) {
    World w;
    PhysBody* body = w.Body(0.0f, 0.0f, 1.0f);
    const float pin[3] = {0.0f, 0.0f, 1.0f};
    PhysJoint* up = PhysJointCreateUpVector(w.world, pin, body);
    ASSERT_NE(up, nullptr);
    PhysJointSetStiffness(up, 3.0f);
    EXPECT_EQ(PhysJointGetStiffness(up), 1.0f);
    PhysJointSetStiffness(up, -1.0f);
    EXPECT_EQ(PhysJointGetStiffness(up), 0.0f);

    // Move by (1, 0, 0), then turn a quarter about z: the point lands on y.
    float move[16];
    std::copy(kIdentity, kIdentity + 16, move);
    move[12] = 1.0f;
    const float turn[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float both[16];
    PhysMatrixMultiply(both, move, turn);
    EXPECT_FLOAT_EQ(both[12], 0.0f);
    EXPECT_FLOAT_EQ(both[13], 1.0f);
}

}  // namespace
