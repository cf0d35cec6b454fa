#include "dynamics/two_body_joint.h"

#include "body_test_shape.h"
#include "collision/broadphase.h"
#include "dynamics/rigid_body.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// The smallest joint: the base's helpers, one point row per axis.
class TestJoint : public phTwoBodyJoint {
public:
    int BuildRows(phJointRowParams& params) override {
        phMatrix frame0, frame1;
        CalculateGlobalMatrix(frame0, frame1);
        phPointParam points;
        ComputePointParams(points, 1.0f, frame0[3], frame1[3]);
        for (int i = 0; i < 3; ++i) {
            AddPointRow(i, params, frame0[i], points, ForceSlot(i));
        }
        return 3;
    }
};

// A root constraint with nothing of its own.
class TestConstraint : public phConstraint {
public:
    void SetDestructorCallback(PhysJointDestructorCallback) override {}
    void Release() override {}
    int BuildRows(phJointRowParams&) override { return 0; }
};

// Dynamic bodies on a grid.
struct JointFixture {
    JointFixture() {
        grid.SetWorldSize(phVector(-100.0f, -100.0f, -100.0f), phVector(100.0f, 100.0f, 100.0f));
        for (phRigidBody* body : {&child, &parent}) {
            phCollision* shape = new TestSphere(0.5f);
            body->Init(nullptr, &grid, shape, 0, 0, phFreezeThresholds());
            shape->Release();
            body->SetMass(1.0f, 1.0f, 1.0f, 1.0f);
        }
        joint.Init();
    }
    ~JointFixture() {
        child.Shutdown();
        parent.Shutdown();
    }

    phBroadPhase grid;
    phRigidBody child;
    phRigidBody parent;
    TestJoint joint;
};

void ExpectNear(const phVector& a, const phVector& b, float tolerance, const char* what = "") {
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
    EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

void ExpectOrthonormalFrame(const phMatrix& frame, const char* what) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(phLength(frame[i]), 1.0f, 1e-6f) << what << " row " << i;
        EXPECT_NEAR(phDot(frame[i], frame[(i + 1) % 3]), 0.0f, 1e-6f) << what << " row " << i;
    }
    // Right-handed: pin x second = third.
    ExpectNear(phCross(frame[0], frame[1]), frame[2], 1e-6f, what);
}

}  // namespace

TEST(JointBase, InitSetsTheDefaults) {
    TestConstraint root;
    EXPECT_EQ(root.Init(), 0);
    EXPECT_FLOAT_EQ(root.GetStiffness(), 1.0f);
    root.SetStiffness(0.2f);
    EXPECT_FLOAT_EQ(root.GetStiffness(), 1.0f);
    EXPECT_FALSE(root.IsBilateral());
    EXPECT_EQ(root.Kind(), kJointUnset);
    EXPECT_EQ(root.MaxRowCount(), 6);

    TestJoint joint;
    joint.SetUserData(&joint);
    EXPECT_EQ(joint.Init(), 0);
    EXPECT_EQ(joint.UserData(), nullptr);
    EXPECT_EQ(joint.Body0(), nullptr);
    EXPECT_TRUE(joint.IsBilateral());
    EXPECT_FLOAT_EQ(joint.StoredStiffness(), 10.9f);
    EXPECT_EQ(*joint.ForceSlot(5), 0.0f);
    EXPECT_EQ(joint.LocalFrame1()[3].w, 1.0f);
}

TEST(JointBase, StiffnessClampsAndReadsBack) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float in, stored, readBack;
    };
    const Case cases[] = {
        {0.9f, 10.9f, 0.9f},   {1.0f, 1.0f, 1.0f}, {0.0f, 100.0f, 0.0f}, {0.5f, 50.5f, 0.5f},
        {-2.0f, 100.0f, 0.0f}, {7.0f, 1.0f, 1.0f}, {nan, 100.0f, 0.0f},
    };
    for (const Case& c : cases) {
        TestJoint joint;
        joint.Init();
        joint.SetStiffness(c.in);
        EXPECT_NEAR(joint.StoredStiffness(), c.stored, 1e-5f) << c.in;
        EXPECT_NEAR(joint.GetStiffness(), c.readBack, 1e-5f) << c.in;
    }
}

TEST(JointBase, FramesAreOrthonormalForAwkwardPins) {
    const phVector pins[] = {
        phVector(1.0f, 0.0f, 0.0f),      phVector(0.0f, 1.0f, 0.0f),
        phVector(0.0f, 0.0f, 1.0f),      phVector(0.0f, 0.0f, -1.0f),
        phVector(0.0f, 0.8166f, 0.577f), phVector(0.0f, 0.8164f, 0.5775f),
        phVector(1e-20f, 0.0f, 1e-20f),  phVector(3e-39f, 0.0f, 0.0f),
        phVector(1e30f, -1e30f, 1e30f),  phVector(-0.3f, 0.4f, -0.866f),
        phVector(5.0f, 5.0f, 5.0f),      phVector(0.0f, 0.0f, 1e-30f),
    };
    for (const phVector& pin : pins) {
        JointFixture f;
        const phVector pivot(1.0f, 2.0f, 3.0f);
        ASSERT_TRUE(f.joint.Attach(&f.child, nullptr, pivot, pin)) << pin.x << " " << pin.z;
        phMatrix frame0, frame1;
        f.joint.CalculateGlobalMatrix(frame0, frame1);
        ExpectOrthonormalFrame(frame0, "first frame");
        ExpectOrthonormalFrame(frame1, "second frame");
        const double length =
            std::sqrt(double(pin.x) * pin.x + double(pin.y) * pin.y + double(pin.z) * pin.z);
        ExpectNear(frame0[0],
                   phVector(float(pin.x / length), float(pin.y / length), float(pin.z / length)),
                   1e-6f, "pin");
        ExpectNear(frame0[3], pivot, 1e-6f, "pivot");
        EXPECT_EQ(frame0[3].w, 1.0f);
        if (std::fabs(frame0[0].z) <= 0.577f) {
            // The third row is the part of world z perpendicular to the pin.
            EXPECT_GT(frame0[2].z, 0.0f);
            EXPECT_NEAR(frame0[2].x * frame0[0].y - frame0[2].y * frame0[0].x, 0.0f, 1e-6f);
        }
    }
}

TEST(JointBase, ZeroPinsAndSelfJointsAreRefused) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        bool noChild, selfParent;
        phVector pivot, pin;
    };
    const phVector origin(0.0f, 0.0f, 0.0f);
    const phVector up(0.0f, 1.0f, 0.0f);
    const Case cases[] = {
        {"zero pin", false, false, origin, phVector(0.0f, 0.0f, 0.0f)},
        {"underflowing pin", false, false, origin, phVector(1e-45f, 0.0f, 0.0f) * 0.0f},
        {"NaN pin", false, false, origin, phVector(nan, 0.0f, 1.0f)},
        {"infinite pin", false, false, origin, phVector(inf, 0.0f, 0.0f)},
        {"NaN pivot", false, false, phVector(0.0f, nan, 0.0f), up},
        {"child is its parent", false, true, origin, up},
        {"no child", true, false, origin, up},
    };
    for (const Case& c : cases) {
        JointFixture f;
        phRigidBody* child = c.noChild ? nullptr : &f.child;
        phRigidBody* parent = c.selfParent ? &f.child : &f.parent;
        EXPECT_FALSE(f.joint.Attach(child, parent, c.pivot, c.pin)) << c.what;
        EXPECT_EQ(f.joint.Body0(), nullptr) << c.what;
        EXPECT_EQ(f.joint.Body1(), nullptr) << c.what;
    }
}

TEST(JointBase, LocalFramesFollowTheBodies) {
    JointFixture f;
    f.child.SetMatrix(phMatrix(phQuaternion::FromAxisAngle(phVector(0.0f, 1.0f, 0.0f), 0.7f),
                               phVector(1.0f, 0.0f, 0.0f)));
    f.parent.SetMatrix(phMatrix(phQuaternion::FromAxisAngle(phVector(1.0f, 0.0f, 0.0f), -0.4f),
                                phVector(-1.0f, 0.0f, 0.0f)));
    const phVector pivot(0.0f, 0.5f, 0.0f);
    ASSERT_TRUE(f.joint.Attach(&f.child, &f.parent, pivot, phVector(0.0f, 0.0f, 2.0f)));
    phMatrix frame0, frame1;
    f.joint.CalculateGlobalMatrix(frame0, frame1);
    for (int i = 0; i < 4; ++i) {
        ExpectNear(frame0[i], frame1[i], 1e-6f, "both frames start as the world frame");
    }
    // Moving the child carries its frame; the parent's stays.
    f.child.SetMatrix(phMatrix(phQuaternion::FromAxisAngle(phVector(0.0f, 1.0f, 0.0f), 0.7f),
                               phVector(4.0f, 0.0f, 0.0f)));
    f.joint.CalculateGlobalMatrix(frame0, frame1);
    ExpectNear(frame0[3], phVector(3.0f, 0.5f, 0.0f), 1e-5f, "moved pivot");
    ExpectNear(frame1[3], pivot, 1e-5f, "parent pivot");
    ExpectOrthonormalFrame(frame0, "moved frame");
}

TEST(JointBase, WithoutASecondBodyTheFrameIsFixedAndItsJacobianZero) {
    JointFixture f;
    const phVector pivot(0.0f, 1.0f, 0.0f);
    ASSERT_TRUE(f.joint.Attach(&f.child, nullptr, pivot, phVector(1.0f, 0.0f, 0.0f)));
    f.child.SetMatrix(phMatrix(phQuaternion::FromAxisAngle(phVector(0.0f, 0.0f, 1.0f), 0.3f),
                               phVector(2.0f, 0.0f, 0.0f)));
    f.child.SetVelocity(phVector(1.0f, -2.0f, 0.5f));
    f.child.SetAngularVelocity(phVector(0.2f, 0.4f, -1.0f));
    phMatrix frame0, frame1;
    f.joint.CalculateGlobalMatrix(frame0, frame1);
    ExpectNear(frame1[3], pivot, 0.0f, "world frame");

    phJointRowParams params;
    EXPECT_EQ(f.joint.BuildRows(params), 3);
    phPointParam points;
    f.joint.ComputePointParams(points, 0.5f, frame0[3], frame1[3]);
    ExpectNear(points.r1, phVector(0.0f, 0.0f, 0.0f), 0.0f, "r1");
    ExpectNear(points.velocity1, phVector(0.0f, 0.0f, 0.0f), 0.0f, "velocity1");
    EXPECT_EQ(points.scale, 0.5f);
    for (int i = 0; i < 3; ++i) {
        const phJacobian& j = params.jacobians[i];
        ExpectNear(j.linear1, phVector(0.0f, 0.0f, 0.0f), 0.0f, "linear1");
        ExpectNear(j.angular1, phVector(0.0f, 0.0f, 0.0f), 0.0f, "angular1");
        EXPECT_EQ(j.linear0.w, 0.0f);
        EXPECT_EQ(j.angular0.w, 0.0f);
        // The Jacobian maps the body's motion to the point's speed along the row.
        const float jv =
            phDot(j.linear0, f.child.Velocity()) + phDot(j.angular0, f.child.AngularVelocity());
        EXPECT_NEAR(jv, phDot(points.velocity0, frame0[i]), 1e-5f) << "row " << i;
        EXPECT_EQ(params.bounds[i].force, f.joint.ForceSlot(i));
        EXPECT_EQ(params.bounds[i].kind, kRowUnbounded);
        EXPECT_EQ(params.stiffness[i], 1.0f);
    }
}

TEST(JointBase, PointRowOfTwoBodiesMovingTogether) {
    JointFixture f;
    f.child.SetMatrix(phMatrix(phQuaternion(), phVector(1.0f, 0.0f, 0.0f)));
    f.parent.SetMatrix(phMatrix(phQuaternion(), phVector(-1.0f, 0.5f, 0.0f)));
    const phVector point(0.0f, 1.0f, 0.0f);
    ASSERT_TRUE(f.joint.Attach(&f.child, &f.parent, point, phVector(0.0f, 1.0f, 0.0f)));
    // One rigid motion: the same spin, velocities that agree at the point.
    const phVector w(0.0f, 0.0f, 3.0f);
    const phVector v0(0.5f, 0.0f, 0.0f);
    const phVector r0 = point - f.child.Position();
    const phVector r1 = point - f.parent.Position();
    f.child.SetVelocity(v0);
    f.parent.SetVelocity(v0 + phCross(w, r0) - phCross(w, r1));
    f.child.SetAngularVelocity(w);
    f.parent.SetAngularVelocity(w);

    phPointParam points;
    f.joint.ComputePointParams(points, 1.0f, point, point);
    ExpectNear(points.velocity0, points.velocity1, 1e-5f, "point velocities");
    const phVector d = phNormalize(phVector(1.0f, 2.0f, 0.0f));
    phJointRowParams params;
    f.joint.AddPointRow(0, params, d, points, f.joint.ForceSlot(0));
    const float centripetal = phDot(phCross(w, phCross(w, r1)) - phCross(w, phCross(w, r0)), d);
    EXPECT_NEAR(params.rhs[0], centripetal, 1e-4f);
    EXPECT_NE(centripetal, 0.0f);
    const phJacobian& j = params.jacobians[0];
    ExpectNear(j.linear1, -d, 0.0f, "linear1");
    ExpectNear(j.angular1, -phCross(r1, d), 1e-6f, "angular1");

    // A fast spin: the centripetal term is clamped.
    f.child.SetAngularVelocity(phVector(0.0f, 0.0f, 500.0f));
    f.joint.ComputePointParams(points, 1.0f, point, point);
    f.joint.AddPointRow(1, params, phVector(1.0f, 0.0f, 0.0f), points, f.joint.ForceSlot(1));
    const float spring = 100.0f * (points.velocity1.x - points.velocity0.x);
    EXPECT_NEAR(params.rhs[1] - spring, -10000.0f, 1e-2f);
}

TEST(JointBase, PointRowSpringAndDamperTerms) {
    JointFixture f;
    ASSERT_TRUE(f.joint.Attach(&f.child, &f.parent, phVector(0.0f, 0.0f, 0.0f),
                               phVector(1.0f, 0.0f, 0.0f)));
    f.child.SetVelocity(phVector(1.0f, 0.0f, 0.0f));
    phPointParam points;
    f.joint.ComputePointParams(points, 1.0f, phVector(0.0f, 0.0f, 0.0f),
                               phVector(0.01f, 0.0f, 0.0f));
    phJointRowParams params;
    f.joint.AddPointRow(0, params, phVector(1.0f, 0.0f, 0.0f), points, f.joint.ForceSlot(0));
    EXPECT_NEAR(params.rhs[0], 100.0f * -1.0f + 1200.0f * 0.01f, 1e-4f);
}

TEST(JointBase, AngularRows) {
    JointFixture f;
    ASSERT_TRUE(f.joint.Attach(&f.child, &f.parent, phVector(0.0f, 0.0f, 0.0f),
                               phVector(1.0f, 0.0f, 0.0f)));
    f.child.SetAngularVelocity(phVector(0.0f, 2.0f, 0.0f));
    f.parent.SetAngularVelocity(phVector(0.0f, 0.5f, 1.0f));
    const phVector axis(0.0f, 1.0f, 0.0f);
    phJointRowParams params;
    f.joint.AddAngularRow(2, params, axis, f.joint.StoredStiffness(), 0.01f, f.joint.ForceSlot(2));
    EXPECT_NEAR(params.rhs[2], 100.0f * (0.5f - 2.0f) + 1000.0f * 0.01f, 1e-4f);
    EXPECT_FLOAT_EQ(params.stiffness[2], 10.9f);
    EXPECT_EQ(params.bounds[2].force, f.joint.ForceSlot(2));
    ExpectNear(params.jacobians[2].angular0, axis, 0.0f, "angular0");
    ExpectNear(params.jacobians[2].angular1, -axis, 0.0f, "angular1");
    ExpectNear(params.jacobians[2].linear0, phVector(0.0f, 0.0f, 0.0f), 0.0f, "linear0");

    // Without a second body only the first body's spin counts.
    JointFixture alone;
    ASSERT_TRUE(alone.joint.Attach(&alone.child, nullptr, phVector(0.0f, 0.0f, 0.0f), axis));
    alone.child.SetAngularVelocity(phVector(0.0f, 2.0f, 0.0f));
    alone.joint.AddAngularRow(0, params, axis, 1.0f, 0.0f, alone.joint.ForceSlot(0));
    EXPECT_NEAR(params.rhs[0], -200.0f, 1e-4f);
    ExpectNear(params.jacobians[0].angular1, phVector(0.0f, 0.0f, 0.0f), 0.0f, "no second body");
}

namespace {

PhysJoint* g_released = nullptr;

void RecordRelease(PhysJoint* joint) { g_released = joint; }

}  // namespace

TEST(JointBase, ReleaseCallsTheDestructorCallback) {
    TestJoint joint;
    joint.Init();
    g_released = nullptr;
    joint.Release();
    EXPECT_EQ(g_released, nullptr);
    joint.SetDestructorCallback(RecordRelease);
    joint.Release();
    EXPECT_EQ(g_released, joint.Handle());
}
