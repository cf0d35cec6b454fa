#include "engine/physics/joint.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/engine/physics/physics_test_world.h"

using namespace orvel;

namespace {

float Distance(const Vector4& a, const Vector4& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

// A point fixed in a body, followed through the body's motion.
struct BodyPoint {
    const Body* body;
    Vector4 local;

    BodyPoint(const Body& body, const Vector4& world) : body(&body) {
        float inverse[16];
        const Matrix4 m = body.GetMatrix();
        PhysMatrixRigidInverse(inverse, m.m);
        Matrix4 undo;
        std::copy(inverse, inverse + 16, undo.m);
        local = undo.TransformPoint(world);
    }
    Vector4 Now() const { return body->GetMatrix().TransformPoint(local); }
};

class JointTest : public ::testing::Test {
protected:
    std::shared_ptr<ProbeBody> Link(float x, float y) {
        return MakeBox(world, 1.0f, 0.2f, x, y, 1);
    }

    Mechanica world;
};

TEST_F(JointTest, AHingeHoldsAPendulumInThePlane) {
    std::shared_ptr<ProbeBody> arm = Link(1.0f, 5.0f);
    const float swing[3] = {0.0f, 0.0f, 0.0f};
    PhysBodySetVelocity(arm->GetPhysBody(), swing);
    Joint hinge(&world);
    hinge.CreateHinge(Vector4(0.5f, 5.0f, 0.0f), arm.get(), nullptr);
    ASSERT_TRUE(hinge.IsAttached());
    const BodyPoint pin(*arm, Vector4(0.5f, 5.0f, 0.0f));
    float worst = 0.0f;
    float tilt = 0.0f;
    float lowest = 5.0f;
    for (int frame = 0; frame < 600; ++frame) {
        RunFrames(world, 1);
        worst = std::max(worst, Distance(pin.Now(), Vector4(0.5f, 5.0f, 0.0f)));
        tilt = std::max(tilt, std::abs(1.0f - arm->GetMatrix().m[10]));
        lowest = std::min(lowest, arm->GetPosition().y);
    }
    EXPECT_LT(worst, 0.01f);
    EXPECT_LT(tilt, 1e-3f);
    EXPECT_LT(lowest, 4.6f);  // it swung
}

TEST_F(JointTest, BallJointsHoldAChain) {
    std::shared_ptr<ProbeBody> anchor = MakeBox(world, 0.2f, 0.2f, 0.0f, 8.0f, 0);
    std::vector<std::shared_ptr<ProbeBody>> links;
    std::vector<std::shared_ptr<Joint>> joints;
    std::vector<std::pair<BodyPoint, BodyPoint>> pivots;
    Body* parent = anchor.get();
    for (int i = 0; i < 4; ++i) {
        std::shared_ptr<ProbeBody> link = Link(0.5f + i, 8.0f);
        const Vector4 pivot(float(i), 8.0f, 0.0f);
        std::shared_ptr<Joint> joint = std::make_shared<Joint>(&world);
        joint->CreateBall(pivot, link.get(), parent);
        ASSERT_TRUE(joint->IsAttached());
        pivots.emplace_back(BodyPoint(*link, pivot), BodyPoint(*parent, pivot));
        joints.push_back(joint);
        links.push_back(link);
        parent = link.get();
    }
    float worst = 0.0f;
    for (int frame = 0; frame < 600; ++frame) {
        RunFrames(world, 1);
        for (const auto& pair : pivots) {
            worst = std::max(worst, Distance(pair.first.Now(), pair.second.Now()));
        }
    }
    EXPECT_LT(worst, 0.05f);
    EXPECT_LT(links.back()->GetPosition().y, 6.0f);  // the chain fell and swung
}

TEST_F(JointTest, ASliderLetsTheBodyMoveAlongZOnly) {
    std::shared_ptr<ProbeBody> rail = MakeBox(world, 0.5f, 0.5f, 0.0f, 3.0f, 0);
    std::shared_ptr<ProbeBody> car = Link(0.0f, 2.0f);
    PhysBodySetLinearDamping(car->GetPhysBody(), 0.0f);
    Joint slider(&world);
    slider.CreateSlider(Vector4(0.0f, 2.0f, 0.0f), car.get(), rail.get());
    ASSERT_TRUE(slider.IsAttached());
    const float push[3] = {0.0f, 0.0f, 0.5f};
    PhysBodySetVelocity(car->GetPhysBody(), push);
    float worst = 0.0f;
    for (int frame = 0; frame < 600; ++frame) {
        RunFrames(world, 1);
        const Vector4 at = car->GetPosition();
        worst = std::max(worst, std::hypot(at.x, at.y - 2.0f));
    }
    EXPECT_LT(worst, 0.01f);
    EXPECT_GT(car->GetPosition().z, 3.0f);  // free along the pin
}

TEST_F(JointTest, AnUpVectorKeepsABodyUprightWhileItSpinsAboutThePin) {
    std::shared_ptr<ProbeBody> wheel = Link(0.0f, 5.0f);
    wheel->gravity = false;
    Joint up(&world);
    up.CreateUpVector(Vector4(0.0f, 0.0f, 1.0f), wheel.get());
    ASSERT_TRUE(up.IsAttached());
    const float spin[3] = {2.0f, -3.0f, 4.0f};
    PhysBodySetAngularVelocity(wheel->GetPhysBody(), spin);
    float worst = 0.0f;
    float turned = 0.0f;
    for (int frame = 0; frame < 600; ++frame) {
        RunFrames(world, 1);
        const Matrix4 m = wheel->GetMatrix();
        worst = std::max(worst, std::acos(std::min(1.0f, m.m[10])));
        turned = std::max(turned, std::abs(m.m[1]));
    }
    EXPECT_LT(worst, 0.05f);
    EXPECT_GT(turned, 0.9f);
}

TEST_F(JointTest, AttachmentFollowsTheJointsLife) {
    std::shared_ptr<ProbeBody> a = Link(0.0f, 0.0f);
    std::shared_ptr<ProbeBody> b = Link(1.0f, 0.0f);
    Joint joint(&world);
    EXPECT_FALSE(joint.IsAttached());
    joint.CreateBall(Vector4(0.5f, 0, 0), b.get(), a.get());
    EXPECT_TRUE(joint.IsAttached());
    joint.SetStiffness(2.0f);
    EXPECT_EQ(joint.GetStiffness(), 1.0f);
    joint.SetStiffness(0.0f);
    EXPECT_EQ(joint.GetStiffness(), 0.0f);
    // A second create replaces the first joint.
    joint.CreateHinge(Vector4(0.5f, 0, 0), b.get(), a.get());
    EXPECT_TRUE(joint.IsAttached());
    EXPECT_EQ(PhysJointGetUserData(joint.GetPhysJoint()), &joint);
    joint.Destroy();
    EXPECT_FALSE(joint.IsAttached());
    // The SDK refuses a body jointed to itself: the wrapper stays detached.
    joint.CreateBall(Vector4(0, 0, 0), a.get(), a.get());
    EXPECT_FALSE(joint.IsAttached());
    // A joint whose body goes is detached by the SDK.
    joint.CreateBall(Vector4(0.5f, 0, 0), b.get(), a.get());
    ASSERT_TRUE(joint.IsAttached());
    b->SetAlive(false);
    b.reset();
    world.UpdateBodies();
    EXPECT_FALSE(joint.IsAttached());
}

TEST(JointLife, WrappersOutlivingTheWorldAreDetached) {
    std::shared_ptr<Joint> joint;
    std::shared_ptr<ProbeBody> kept;
    {
        Mechanica world;
        kept = MakeBox(world, 1, 1, 0, 0, 1);
        joint = std::make_shared<Joint>(&world);
        joint->CreateUpVector(Vector4(0, 0, 1), kept.get());
        ASSERT_TRUE(joint->IsAttached());
        world.KeepObject(joint);
    }
    EXPECT_FALSE(joint->IsAttached());
    joint.reset();
    // A joint made with a body that lost its SDK body is never made.
    Mechanica other;
    Joint late(&other);
    late.CreateBall(Vector4(0, 0, 0), kept.get(), nullptr);
    EXPECT_FALSE(late.IsAttached());
    // Nor one without a world.
    std::shared_ptr<ProbeBody> body = MakeBox(other, 1, 1, 0, 0, 1);
    Joint nowhere;
    nowhere.CreateUpVector(Vector4(0, 0, 1), body.get());
    EXPECT_FALSE(nowhere.IsAttached());
}

TEST(JointLife, UpVectorJointOfAFlatBody) {
    Mechanica world;
    std::shared_ptr<ProbeBody> unit = MakeBox(world, 1, 1, 0, 0, 1);
    unit->CreateUpVectorJoint();
    ASSERT_NE(unit->GetUpVectorJoint(), nullptr);
    EXPECT_TRUE(unit->GetUpVectorJoint()->IsAttached());
    unit->Reset();
    EXPECT_EQ(unit->GetUpVectorJoint(), nullptr);
}

}  // namespace
