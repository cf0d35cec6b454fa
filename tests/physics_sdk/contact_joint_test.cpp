#include "dynamics/contact_joint.h"

#include "collision/box.h"
#include "contact_test_world.h"
#include "dynamics/contact_joint_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

phContactPoint PointAt(float x, float y, float z, float penetration = 0.01f) {
    phContactPoint p;
    p.position = phVector(x, y, z);
    p.normal = phVector(0, 1, 0, -y);
    p.penetration = penetration;
    p.faceAttribute = 9;
    return p;
}

class ContactJointTest : public ::testing::Test {
protected:
    void SetUp() override {
        body0 = world.AddBody(new phCollisionBox(0, 1, 1, 1, phMatrix()), At(0, 0.5f, 0));
        body1 = world.AddBody(new phCollisionBox(0, 10, 1, 10, phMatrix()), At(0, -0.5f, 0), 0.0f);
        contact = world.contacts.Create(body0, body1);
    }

    std::vector<phContactPointNode*> UsedNodes() const {
        std::vector<phContactPointNode*> nodes;
        phContactPointNode* node = contact->FirstPoint();
        for (int i = 0; i < contact->UsedCount(); ++i, node = node->next) {
            nodes.push_back(node);
        }
        return nodes;
    }

    ContactTestWorld world;
    phRigidBody* body0 = nullptr;
    phRigidBody* body1 = nullptr;
    phContactJoint* contact = nullptr;
    phMaterial pair;
};

TEST_F(ContactJointTest, NewContactIsEmpty) {
    EXPECT_EQ(contact->Kind(), kJointContact);
    EXPECT_EQ(contact->MaxRowCount(), 3);
    EXPECT_EQ(contact->PointCount(), 0);
    EXPECT_EQ(contact->RefreshMark(), 0u);
    EXPECT_EQ(contact->Flag(), 1);
    EXPECT_FLOAT_EQ(contact->GetStiffness(), 1.0f);
    EXPECT_FALSE(contact->IsBilateral());
}

TEST_F(ContactJointTest, UpdateCopiesPointsAndPairParameters) {
    pair.softness = 0.3f;
    pair.elasticity = 0.2f;
    pair.staticFriction[0] = 1.2f;
    pair.kineticFriction[1] = 0.7f;
    pair.timeStep = 0.02f;
    const phContactPoint points[] = {PointAt(0.5f, 0, 0.5f, 0.04f), PointAt(-0.5f, 0, 0.5f)};
    contact->Update(pair, points, 2, 8);
    EXPECT_EQ(contact->RefreshMark(), 8u);
    ASSERT_EQ(contact->UsedCount(), 2);
    EXPECT_EQ(contact->MaxRowCount(), 6);
    const phMaterial& record = contact->FirstPoint()->material;
    EXPECT_FLOAT_EQ(record.point.x, 0.5f);
    EXPECT_FLOAT_EQ(record.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(record.contactData[0], 0.04f);
    EXPECT_FLOAT_EQ(record.softness, 0.3f);
    EXPECT_FLOAT_EQ(record.elasticity, 0.2f);
    EXPECT_FLOAT_EQ(record.staticFriction[0], 1.2f);
    EXPECT_FLOAT_EQ(record.kineticFriction[1], 0.7f);
    EXPECT_FLOAT_EQ(record.timeStep, 0.02f);
}

TEST_F(ContactJointTest, PointsAreMatchedToTheNearestEarlierRecord) {
    const phContactPoint first[] = {PointAt(0.5f, 0, 0.5f), PointAt(-0.5f, 0, 0.5f),
                                    PointAt(-0.5f, 0, -0.5f)};
    contact->Update(pair, first, 3, 4);
    std::vector<phContactPointNode*> before = UsedNodes();
    for (int i = 0; i < 3; ++i) {
        before[i]->material.contactForces[0] = static_cast<float>(i + 1);
    }
    // The same points in another order, slightly moved, and one fewer.
    const phContactPoint second[] = {PointAt(-0.49f, 0, -0.5f), PointAt(0.51f, 0, 0.5f)};
    contact->Update(pair, second, 2, 6);
    std::vector<phContactPointNode*> after = UsedNodes();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0], before[2]);
    EXPECT_EQ(after[1], before[0]);
    EXPECT_FLOAT_EQ(after[0]->material.contactForces[0], 3.0f);
    EXPECT_FLOAT_EQ(after[1]->material.contactForces[0], 1.0f);
    EXPECT_EQ(contact->PointCount(), 3);
    EXPECT_EQ(contact->MaxRowCount(), 6);
}

TEST_F(ContactJointTest, PointsWhoseDistancesDoNotCompareTakeTheNextStoredRecord) {
    const phContactPoint first[] = {PointAt(0.5f, 0, 0.5f), PointAt(-0.5f, 0, 0.5f)};
    contact->Update(pair, first, 2, 4);
    std::vector<phContactPointNode*> before = UsedNodes();
    // Squared distances to these overflow to infinity, or are NaN.
    const float far = 1e30f;
    const phContactPoint second[] = {PointAt(far, 0, far), PointAt(NAN, 0, 0)};
    contact->Update(pair, second, 2, 6);
    std::vector<phContactPointNode*> after = UsedNodes();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_EQ(contact->PointCount(), 2);
}

int g_rejectIndex = 0;
int g_processCalls = 0;
int RejectOne(PhysMaterial*, PhysContact*) { return g_processCalls++ == g_rejectIndex ? 0 : 1; }
int DropCollidable(PhysMaterial* material, PhysContact*) {
    reinterpret_cast<phMaterial*>(material)->flags &= ~kMaterialCollidable;
    return 1;
}

TEST_F(ContactJointTest, ProcessCallbackCanDropPoints) {
    const phContactPoint points[] = {PointAt(0.5f, 0, 0.5f), PointAt(-0.5f, 0, 0.5f),
                                     PointAt(-0.5f, 0, -0.5f), PointAt(0.5f, 0, -0.5f)};
    g_processCalls = 0;
    g_rejectIndex = 1;
    pair.processCallback = RejectOne;
    contact->Update(pair, points, 4, 4);
    EXPECT_EQ(contact->UsedCount(), 3);
    EXPECT_EQ(contact->MaxRowCount(), 9);
    for (phContactPointNode* node : UsedNodes()) {
        EXPECT_FALSE(node->material.point.x < 0.0f && node->material.point.z > 0.0f);
    }
    pair.processCallback = DropCollidable;
    contact->Update(pair, points, 4, 6);
    EXPECT_EQ(contact->UsedCount(), 0);
    EXPECT_EQ(contact->MaxRowCount(), 0);
}

TEST_F(ContactJointTest, TangentsFollowSlidingOrComeFromTheNormal) {
    const phContactPoint points[] = {PointAt(0, 0, 0)};
    struct TangentCase {
        const char* name;
        phVector velocity;
        bool alongVelocity;
    };
    const TangentCase cases[] = {
        {"at rest", phVector(0, 0, 0), false},
        {"slow", phVector(0.09f, 0, 0), false},
        {"sliding along x", phVector(-2, 0, 0), true},
        {"sliding along z with a vertical part", phVector(0, -1, 0.5f), true},
        // Sliding starts above a tangential speed of 0.1: along z the two
        // ways give different tangents.
        {"just below sliding along z", phVector(0, 0, 0.098f), false},
        {"just above sliding along z", phVector(0, 0, 0.102f), true},
    };
    for (const TangentCase& c : cases) {
        body0->SetVelocity(c.velocity);
        contact->Update(pair, points, 1, 4);
        const phMaterial& m = contact->FirstPoint()->material;
        EXPECT_NEAR(phLength(m.tangent0), 1.0f, 1e-4f) << c.name;
        EXPECT_NEAR(phLength(m.tangent1), 1.0f, 1e-4f) << c.name;
        EXPECT_NEAR(phDot(m.tangent0, m.normal), 0.0f, 1e-5f) << c.name;
        EXPECT_NEAR(phDot(m.tangent1, m.normal), 0.0f, 1e-5f) << c.name;
        EXPECT_NEAR(phDot(m.tangent0, m.tangent1), 0.0f, 1e-5f) << c.name;
        if (c.alongVelocity) {
            // Relative velocity of the second body against the first.
            const phVector t = phNormalize(phVector(-c.velocity.x, 0, -c.velocity.z, 0));
            EXPECT_NEAR(phDot(m.tangent0, t), 1.0f, 1e-4f) << c.name;
        } else {
            // From the normal (0, 1, 0) crossed with z: along x.
            EXPECT_NEAR(std::fabs(m.tangent0.x), 1.0f, 1e-4f) << c.name;
        }
    }
}

TEST(ContactJointListTest, RemoveUnlinksOnceAndReleaseRecycles) {
    phContactJointList list;
    phContactJoint* a = list.Create(nullptr, nullptr);
    phContactJoint* b = list.Create(nullptr, nullptr);
    EXPECT_EQ(list.GetCount(), 2u);
    list.Remove(a);
    list.Remove(a);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.GetQueuedCount(), 1u);
    EXPECT_EQ(list.GetFirst(), b);
    // Released directly while queued (its body went first): off the queue too.
    a->Release();
    EXPECT_EQ(list.GetQueuedCount(), 0u);
    EXPECT_EQ(list.PopQueued(), nullptr);
    phContactJoint* c = list.Create(nullptr, nullptr);
    EXPECT_EQ(c, a);
    EXPECT_EQ(list.GetCount(), 2u);
    list.Remove(b);
    EXPECT_EQ(list.PopQueued(), b);
    b->Release();
    EXPECT_EQ(list.GetCount(), 1u);
}

TEST(ContactJointListTest, PagesHoldTwoHundredFiftySixContactsAndGoWithTheirPoints) {
    {
        phContactJointList list;
        phMaterial pair;
        const phContactPoint point = PointAt(0, 0, 0);
        for (int i = 0; i < 300; ++i) {
            phContactJoint* contact = list.Create(nullptr, nullptr);
            contact->Update(pair, &point, 1, 2);
        }
        EXPECT_EQ(list.GetCount(), 300u);
        EXPECT_EQ(list.GetPageCount(), 2u);
        EXPECT_EQ(phContactPointNodeCount(), 300u);
        list.Remove(list.GetFirst());
    }
    EXPECT_EQ(phContactPointNodeCount(), 0u);
}

}  // namespace
