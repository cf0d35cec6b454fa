#include "collision/narrow_phase.h"

#include "collision/box.h"
#include "collision/compound.h"
#include "collision/static_mesh_tree.h"
#include "contact_test_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

phCollision* NewBox(float dx, float dy, float dz) {
    return new phCollisionBox(0, dx, dy, dz, phMatrix());
}

// A flat mesh of small quads, one unit of floor per 1 / cells.
phCollision* NewFloorMesh(int cells, float size) {
    phCollisionPolygonalSoup* mesh = phCreateTreeCollision(nullptr, nullptr, 1u, 2u, 3u);
    phTreeCollisionBeginBuild(*mesh);
    const float step = size / static_cast<float>(cells);
    for (int i = 0; i < cells; ++i) {
        for (int k = 0; k < cells; ++k) {
            const float x = -0.5f * size + step * static_cast<float>(i);
            const float z = -0.5f * size + step * static_cast<float>(k);
            const float quad[] = {x, 0, z, x, 0, z + step, x + step, 0, z + step, x + step, 0, z};
            phTreeCollisionAddFace(*mesh, 4, quad, 12, i * cells + k);
        }
    }
    phTreeCollisionEndBuild(*mesh, 0);
    return mesh;
}

int g_beginCalls = 0;
int g_endCalls = 0;
int g_beginAnswer = 1;
int CountingBegin(PhysMaterial*, PhysBody*, PhysBody*) {
    ++g_beginCalls;
    return g_beginAnswer;
}
void CountingEnd(PhysMaterial*) { ++g_endCalls; }

class NarrowPhaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_beginCalls = 0;
        g_endCalls = 0;
        g_beginAnswer = 1;
        ground = world.AddBody(NewBox(10, 1, 10), At(0, 0, 0), 0.0f);
        box = world.AddBody(NewBox(1, 1, 1), At(0, 0.98f, 0));
    }

    ContactTestWorld world;
    phRigidBody* ground = nullptr;
    phRigidBody* box = nullptr;
};

TEST_F(NarrowPhaseTest, BoxOnStaticGroundMakesOneContactWithTheBoxFirst) {
    for (auto order : {std::make_pair(box, ground), std::make_pair(ground, box)}) {
        world.Step({order});
        ASSERT_EQ(world.contacts.GetCount(), 1u);
        phContactJoint* contact = world.contacts.GetFirst();
        EXPECT_EQ(contact->Body0(), box);
        EXPECT_EQ(contact->Body1(), ground);
        EXPECT_EQ(contact->Kind(), kJointContact);
        ASSERT_EQ(contact->UsedCount(), 4);
        EXPECT_EQ(contact->MaxRowCount(), 12);
        phContactPointNode* node = contact->FirstPoint();
        for (int i = 0; i < 4; ++i, node = node->next) {
            EXPECT_NEAR(node->material.normal.y, 1.0f, 1e-5f);
            EXPECT_NEAR(node->material.contactData[0], 0.02f - kContactSkin, 1e-4f);
        }
    }
}

TEST_F(NarrowPhaseTest, BeginCallbackDecidesAndEndFollowsOnlyAnAcceptedBegin) {
    world.materials.SetCollisionCallback(0, 0, nullptr, CountingBegin, nullptr, CountingEnd);
    g_beginAnswer = 0;
    world.Step({{box, ground}});
    EXPECT_EQ(g_beginCalls, 1);
    EXPECT_EQ(g_endCalls, 0);
    EXPECT_EQ(world.contacts.GetCount(), 0u);
    g_beginAnswer = 1;
    world.Step({{box, ground}});
    EXPECT_EQ(g_beginCalls, 2);
    EXPECT_EQ(g_endCalls, 1);
    EXPECT_EQ(world.contacts.GetCount(), 1u);
}

TEST_F(NarrowPhaseTest, PairsThatMayNotCollideMakeNoContact) {
    world.materials.SetCollidable(0, 0, 0);
    world.Step({{box, ground}});
    EXPECT_EQ(world.contacts.GetCount(), 0u);
    world.materials.SetCollidable(0, 0, 1);
    world.jointsWithoutCollision.push_back({ground, box});
    world.Step({{box, ground}});
    EXPECT_EQ(world.contacts.GetCount(), 0u);
}

TEST_F(NarrowPhaseTest, ContactNotRefreshedForAStepGoes) {
    world.Step({{box, ground}});
    ASSERT_EQ(world.contacts.GetCount(), 1u);
    world.Step({});
    EXPECT_EQ(world.contacts.GetCount(), 0u);
    EXPECT_EQ(phContactPointNodeCount(), 0u);
}

TEST_F(NarrowPhaseTest, RestingPointsKeepTheirRecordsAndForcesBetweenSteps) {
    world.Step({{box, ground}});
    phContactJoint* contact = world.contacts.GetFirst();
    ASSERT_EQ(contact->UsedCount(), 4);
    std::vector<phContactPointNode*> nodes;
    int i = 0;
    for (phContactPointNode* node = contact->FirstPoint(); node != nullptr; node = node->next) {
        node->material.contactForces[0] = 10.0f + static_cast<float>(i++);
        nodes.push_back(node);
    }
    // The box moves a little: the points shift but stay the same points.
    box->SetMatrix(At(0.01f, 0.98f, 0.0f));
    world.Step({{box, ground}});
    ASSERT_EQ(world.contacts.GetFirst(), contact);
    ASSERT_EQ(contact->UsedCount(), 4);
    for (phContactPointNode* node = contact->FirstPoint(); node != nullptr; node = node->next) {
        const auto found = std::find(nodes.begin(), nodes.end(), node);
        ASSERT_NE(found, nodes.end());
        EXPECT_FLOAT_EQ(node->material.contactForces[0],
                        10.0f + static_cast<float>(found - nodes.begin()));
        EXPECT_NEAR(std::fabs(node->material.point.x - 0.01f), 0.5f, 1e-4f);
    }
}

TEST_F(NarrowPhaseTest, TwoStaticMeshesNeverCollide) {
    phRigidBody* meshA = world.AddBody(NewFloorMesh(2, 4), At(0, 0, 0), 0.0f);
    phRigidBody* meshB = world.AddBody(NewFloorMesh(2, 4), At(0, 0.1f, 0), 0.0f);
    world.Step({{meshA, meshB}});
    EXPECT_EQ(world.contacts.GetCount(), 0u);
}

TEST_F(NarrowPhaseTest, BoxOnAFineMeshKeepsAtMostSixteenPoints) {
    phRigidBody* mesh = world.AddBody(NewFloorMesh(24, 6), At(0, 0, 0), 0.0f);
    phRigidBody* slab = world.AddBody(NewBox(5, 1, 5), At(0, 0.47f, 0));
    world.Step({{mesh, slab}});
    ASSERT_EQ(world.contacts.GetCount(), 1u);
    phContactJoint* contact = world.contacts.GetFirst();
    EXPECT_EQ(contact->Body0(), slab);
    EXPECT_EQ(contact->UsedCount(), kMaxPairContacts);
    EXPECT_EQ(contact->MaxRowCount(), 3 * kMaxPairContacts);
    for (phContactPointNode* node = contact->FirstPoint(); node != nullptr; node = node->next) {
        EXPECT_NEAR(node->material.normal.y, 1.0f, 1e-4f);
    }
}

TEST_F(NarrowPhaseTest, CompoundPartsEachTouchTheGround) {
    phCollision* left = NewBox(1, 1, 1);
    phCollision* right = new phCollisionBox(0, 1, 1, 1, At(3, 0, 0));
    phCollision* parts[] = {left, right};
    phCollision* compound = new phCompoundCollision(2, parts, nullptr);
    left->Release();
    right->Release();
    phRigidBody* body = world.AddBody(compound, At(-1, 0.98f, 0));
    world.Step({{ground, body}});
    ASSERT_EQ(world.contacts.GetCount(), 1u);
    phContactJoint* contact = world.contacts.GetFirst();
    EXPECT_EQ(contact->Body0(), body);
    ASSERT_EQ(contact->UsedCount(), 8);
    int onRight = 0;
    for (phContactPointNode* node = contact->FirstPoint(); node != nullptr; node = node->next) {
        EXPECT_NEAR(node->material.normal.y, 1.0f, 1e-5f);
        onRight += node->material.point.x > 1.0f ? 1 : 0;
    }
    EXPECT_EQ(onRight, 4);
}

TEST_F(NarrowPhaseTest, NormalsFollowTheContactsBodyOrder) {
    phRigidBody* upper = world.AddBody(NewBox(1, 1, 1), At(0, 1.96f, 0));
    world.Step({{upper, box}});
    phContactJoint* contact = world.contacts.GetFirst();
    ASSERT_NE(contact, nullptr);
    const float sign = contact->Body0() == upper ? 1.0f : -1.0f;
    EXPECT_NEAR(contact->FirstPoint()->material.normal.y, sign, 1e-5f);
    // The same pair reported the other way round keeps the contact's order.
    world.Step({{box, upper}});
    ASSERT_EQ(world.contacts.GetFirst(), contact);
    EXPECT_NEAR(contact->FirstPoint()->material.normal.y, sign, 1e-5f);
}

TEST(NarrowPhaseDuplicatesTest, FivePointsWithinReachCollapseToOne) {
    phContactPoint points[7];
    for (int i = 0; i < 5; ++i) {
        points[i].position = phVector(0.012f * static_cast<float>(i), 0, 0.01f);
    }
    points[5].position = phVector(2, 0, 0);
    points[6].position = phVector(2.03f, 0, 0.03f);
    EXPECT_EQ(phRemoveDuplicateContacts(points, 7), 2);
    EXPECT_FLOAT_EQ(points[0].position.x, 0.0f);
}

}  // namespace
