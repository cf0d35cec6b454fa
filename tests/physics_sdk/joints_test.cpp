#include "dynamics/ball_joint.h"
#include "dynamics/hinge_joint.h"
#include "dynamics/slider_joint.h"
#include "dynamics/up_vector_joint.h"

#include "world_test_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

const float kPi = 3.14159265f;

phVector Pos(const phRigidBody* body) { return body->Position(); }

float Distance(const phVector& a, const phVector& b) { return phLength(a - b); }

// How far apart the joint's two frame origins are.
float JointError(const phTwoBodyJoint* joint) {
    phMatrix frame0, frame1;
    joint->CalculateGlobalMatrix(frame0, frame1);
    return Distance(frame0[3], frame1[3]);
}

struct JointCase {
    const char* name;
    std::function<phTwoBodyJoint*(phPhysicsWorld&, phRigidBody*, phRigidBody*)> create;
    uint16_t kind;
    uint16_t maxRows;
    int rows;
    bool bilateral;
};

std::vector<JointCase> JointCases() {
    const phVector pivot(0.0f, 1.0f, 0.0f);
    const phVector pin(0.0f, 0.0f, 1.0f);
    return {
        {"ball",
         [=](phPhysicsWorld& w, phRigidBody* c, phRigidBody* p) {
             return w.CreateBallJoint(pivot, c, p);
         },
         kJointBall, 6, 3, true},
        {"hinge",
         [=](phPhysicsWorld& w, phRigidBody* c, phRigidBody* p) {
             return w.CreateHingeJoint(pivot, pin, c, p);
         },
         kJointHinge, 6, 5, true},
        {"slider",
         [=](phPhysicsWorld& w, phRigidBody* c, phRigidBody* p) {
             return w.CreateSliderJoint(pivot, pin, c, p);
         },
         kJointSlider, 6, 5, true},
        {"up-vector",
         [=](phPhysicsWorld& w, phRigidBody* c, phRigidBody*) {
             return w.CreateUpVectorJoint(phVector(0.0f, 1.0f, 0.0f), c);
         },
         kJointUpVector, 2, 2, false},
    };
}

}  // namespace

TEST(Joints, KindsRowCountsAndRows) {
    for (const JointCase& c : JointCases()) {
        TestScene scene;
        phRigidBody* child = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 1.0f);
        phRigidBody* parent = scene.Cube(phVector(0.0f, 2.0f, 0.0f), 1.0f);
        phTwoBodyJoint* joint = c.create(*scene.world, child, parent);
        ASSERT_NE(joint, nullptr) << c.name;
        EXPECT_EQ(joint->Kind(), c.kind) << c.name;
        EXPECT_EQ(joint->MaxRowCount(), c.maxRows) << c.name;
        EXPECT_EQ(joint->IsBilateral(), c.bilateral) << c.name;
        EXPECT_EQ(scene.world->ConstraintCount(), 1) << c.name;
        phJointRowParams params;
        ASSERT_EQ(joint->BuildRows(params), c.rows) << c.name;
        for (int i = 0; i < c.rows; ++i) {
            // Every row is unbounded, keeps its force in the joint and, at
            // rest in the creation pose, asks for nothing.
            EXPECT_EQ(params.bounds[i].kind, kRowUnbounded) << c.name << i;
            EXPECT_EQ(params.bounds[i].force, joint->ForceSlot(i)) << c.name << i;
            EXPECT_NEAR(params.rhs[i], 0.0f, 1e-3f) << c.name << i;
        }
    }
}

TEST(Joints, UpVectorStiffnessIsStoredForItsRows) {
    TestScene scene;
    phRigidBody* body = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 1.0f);
    phTwoBodyJoint* joint = scene.world->CreateUpVectorJoint(phVector(0.0f, 1.0f, 0.0f), body);
    EXPECT_NEAR(joint->StoredStiffness(), 1.495f, 1e-4f);
    phJointRowParams params;
    joint->BuildRows(params);
    EXPECT_NEAR(params.stiffness[0], 1.495f, 1e-4f);
    EXPECT_NEAR(params.stiffness[1], 1.495f, 1e-4f);
    EXPECT_NEAR(joint->GetStiffness(), 0.995f, 1e-4f);
}

TEST(Joints, CreatorsRefuseDegenerateJoints) {
    TestScene scene;
    phRigidBody* body = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 1.0f);
    const phVector pivot(0.0f, 1.0f, 0.0f);
    const phVector zero(0.0f, 0.0f, 0.0f);
    phPhysicsWorld& w = *scene.world;
    EXPECT_EQ(w.CreateBallJoint(pivot, nullptr, body), nullptr);
    EXPECT_EQ(w.CreateBallJoint(pivot, body, body), nullptr);
    EXPECT_EQ(w.CreateHingeJoint(pivot, zero, body, nullptr), nullptr);
    EXPECT_EQ(w.CreateSliderJoint(pivot, zero, body, nullptr), nullptr);
    EXPECT_EQ(w.CreateUpVectorJoint(zero, body), nullptr);
    EXPECT_EQ(w.CreateUpVectorJoint(pivot, nullptr), nullptr);
    EXPECT_EQ(w.ConstraintCount(), 0);
    EXPECT_EQ(body->constraintLinks, nullptr);
}

TEST(Joints, BallPivotAtTheChildsOriginTakesThePinFromItsAxis) {
    TestScene scene;
    phRigidBody* body = scene.Cube(phVector(1.0f, 2.0f, 3.0f), 1.0f);
    phTwoBodyJoint* joint = scene.world->CreateBallJoint(phVector(1.0f, 2.0f, 3.0f), body, nullptr);
    ASSERT_NE(joint, nullptr);
    phMatrix frame0, frame1;
    joint->CalculateGlobalMatrix(frame0, frame1);
    EXPECT_NEAR(frame0[0].x, 1.0f, 1e-6f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(phLength(frame0[i]), 1.0f, 1e-5f);
    }
}

TEST(Joints, HingeWithALongPinMatchesTheUnitPin) {
    TestScene scene;
    phRigidBody* a = scene.Cube(phVector(1.0f, 0.0f, 0.0f), 1.0f);
    phRigidBody* b = scene.Cube(phVector(1.0f, 0.0f, 0.0f), 1.0f);
    phTwoBodyJoint* unit = scene.world->CreateHingeJoint(phVector(0.0f, 0.0f, 0.0f),
                                                         phVector(0.0f, 0.0f, 1.0f), a, nullptr);
    phTwoBodyJoint* longer = scene.world->CreateHingeJoint(phVector(0.0f, 0.0f, 0.0f),
                                                           phVector(0.0f, 0.0f, 7.0f), b, nullptr);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(unit->LocalFrame0()[i][j], longer->LocalFrame0()[i][j], 1e-6f);
        }
    }
}

TEST(Joints, UpVectorAlongItsPinHasNoAngleError) {
    TestScene scene;
    phRigidBody* body = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 1.0f);
    phTwoBodyJoint* joint = scene.world->CreateUpVectorJoint(phVector(0.0f, 1.0f, 0.0f), body);
    phJointRowParams params;
    ASSERT_EQ(joint->BuildRows(params), 2);
    EXPECT_FLOAT_EQ(params.rhs[0], 0.0f);
    EXPECT_FLOAT_EQ(params.rhs[1], 0.0f);
    // Tilted by 0.3 rad about z: the first row pulls back by 1000 times the
    // angle about the axis that turns the pin home.
    body->SetMatrix(phMatrix::RotationZ(0.3f));
    joint->BuildRows(params);
    EXPECT_NEAR(std::fabs(params.rhs[0]), 300.0f, 1.0f);
    EXPECT_NEAR(std::fabs(params.jacobians[0].angular0.z), 1.0f, 1e-5f);
    EXPECT_NEAR(params.rhs[1], 0.0f, 1e-4f);
}

TEST(Joints, BallPendulumPeriod) {
    // In the default settings and in the game's.
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        TestScene scene(game);
        const float length = 2.0f;
        const float mass = 1.0f;
        const float inertia = 0.01f;
        const float angle = 0.1f;
        phRigidBody* bob = scene.Cube(
            phVector(length * std::sin(angle), -length * std::cos(angle), 0.0f), mass, inertia);
        bob->SetAutoFreeze(false);
        ASSERT_NE(scene.world->CreateBallJoint(phVector(0.0f, 0.0f, 0.0f), bob, nullptr), nullptr);
        // The bob swings as a physical pendulum about the pivot.
        const float expected =
            2.0f * kPi * std::sqrt((inertia + mass * length * length) / (mass * kGravity * length));
        std::vector<float> crossings;
        float previous = Pos(bob).x;
        const float dt = 1.0f / 60.0f;
        for (int i = 1; i <= 600; ++i) {
            scene.world->Update(dt);
            const float x = Pos(bob).x;
            if (previous > 0.0f && x <= 0.0f) {
                crossings.push_back(dt * (i - 1 + previous / (previous - x)));
            }
            previous = x;
        }
        ASSERT_GE(crossings.size(), 3u);
        const float period = (crossings.back() - crossings.front()) / float(crossings.size() - 1);
        EXPECT_NEAR(period, expected, 0.05f * expected);
        EXPECT_NEAR(Distance(Pos(bob), phVector(0.0f, 0.0f, 0.0f)), length, 0.02f);
    }
}

TEST(Joints, ChainOfTenLinksHoldsTogether) {
    // In the default settings and in the game's.
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        TestScene scene(game);
        std::vector<phTwoBodyJoint*> joints;
        std::vector<phRigidBody*> links;
        phRigidBody* parent = nullptr;
        // Links of length 1 hang from the pivot at 40 degrees and swing down.
        const float angle = 0.7f;
        const phVector along(std::sin(angle), -std::cos(angle), 0.0f, 0.0f);
        for (int i = 0; i < 10; ++i) {
            phRigidBody* link = scene.Cube(along * (float(i) + 0.5f), 1.0f, 0.1f);
            phTwoBodyJoint* joint = scene.world->CreateBallJoint(along * float(i), link, parent);
            ASSERT_NE(joint, nullptr);
            joints.push_back(joint);
            links.push_back(link);
            parent = link;
        }
        float worst = 0.0f;
        float lowest = 0.0f;
        for (int step = 0; step < 300; ++step) {
            scene.world->Update(1.0f / 60.0f);
            for (const phTwoBodyJoint* joint : joints) {
                worst = std::fmax(worst, JointError(joint));
            }
            lowest = std::fmin(lowest, Pos(links.back()).y);
        }
        EXPECT_LT(worst, 0.1f);
        // It swung through the bottom, and is never longer than its links.
        EXPECT_LT(lowest, -9.0f);
        for (size_t i = 0; i < links.size(); ++i) {
            EXPECT_LT(phLength(Pos(links[i])), float(i) + 0.6f) << i;
        }
    }
}

TEST(Joints, ChainReleasedLevelStaysTogetherForTenSeconds) {
    // Rod-like links whip round fast at the free end of a chain that falls
    // from level: the joints must not feed energy into it. The links touch
    // end to end and do not collide, so only the joints hold them.
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        TestScene scene(game);
        scene.world->Materials().SetCollidable(0, 0, 0);
        std::vector<phTwoBodyJoint*> joints;
        std::vector<phRigidBody*> links;
        phRigidBody* parent = nullptr;
        const float length = 1.0f;
        for (int i = 0; i < 10; ++i) {
            phCollision* shape = scene.world->Shapes().CreateBox(length, 0.2f, 0.2f, phMatrix());
            phRigidBody* link = scene.world->CreateBody(shape);
            scene.world->ReleaseShape(shape);
            link->SetMass(1.0f, 0.0067f, 0.0867f, 0.0867f);
            link->SetLinearDamping(0.0f);
            link->SetAngularDamping(phVector(0.0f, 0.0f, 0.0f));
            link->SetAutoFreeze(false);
            phMatrix matrix;
            matrix[3] = phVector((float(i) + 0.5f) * length, 0.0f, 0.0f, 1.0f);
            link->SetMatrix(matrix);
            link->forceAndTorqueCallback = ApplyGravity;
            phTwoBodyJoint* joint =
                scene.world->CreateBallJoint(phVector(float(i) * length, 0.0f, 0.0f), link, parent);
            ASSERT_NE(joint, nullptr);
            joints.push_back(joint);
            links.push_back(link);
            parent = link;
        }
        float worst = 0.0f;
        float lowest = 0.0f;
        float outOfPlane = 0.0f;
        for (int step = 0; step < 600; ++step) {
            scene.world->Update(1.0f / 60.0f);
            for (const phTwoBodyJoint* joint : joints) {
                worst = std::fmax(worst, JointError(joint));
            }
            for (const phRigidBody* link : links) {
                outOfPlane = std::fmax(outOfPlane, std::fabs(Pos(link).z));
            }
            lowest = std::fmin(lowest, Pos(links.back()).y);
        }
        EXPECT_LT(worst, 0.05f * length);
        EXPECT_LT(outOfPlane, 0.05f * length);
        EXPECT_LT(lowest, -9.0f * length);
    }
}

TEST(Joints, HingeTurnsOnlyAboutItsPin) {
    // In the default settings and in the game's.
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        TestScene scene(game);
        phRigidBody* door = scene.Cube(phVector(1.0f, 0.0f, 0.0f), 1.0f, 0.2f, false);
        ASSERT_NE(scene.world->CreateHingeJoint(phVector(0.0f, 0.0f, 0.0f),
                                                phVector(0.0f, 0.0f, 1.0f), door, nullptr),
                  nullptr);
        door->SetVelocity(phVector(1.0f, 2.0f, 3.0f));
        door->SetAngularVelocity(phVector(2.0f, -1.0f, 1.5f));
        scene.Run(2.0f);
        // The pin stays along z and the door's centre on its circle in the
        // plane across the pin; it keeps turning about z.
        EXPECT_NEAR(door->Matrix()[2].z, 1.0f, 1e-3f);
        EXPECT_NEAR(Pos(door).z, 0.0f, 0.01f);
        EXPECT_NEAR(phLength(Pos(door) - phVector(0.0f, 0.0f, 0.0f)), 1.0f, 0.01f);
        EXPECT_NEAR(door->AngularVelocity().x, 0.0f, 0.01f);
        EXPECT_NEAR(door->AngularVelocity().y, 0.0f, 0.01f);
        EXPECT_GT(std::fabs(door->AngularVelocity().z), 0.1f);
    }
}

TEST(Joints, SliderMovesOnlyAlongItsPin) {
    // In the default settings and in the game's.
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        TestScene scene(game);
        phRigidBody* carriage = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 1.0f, 0.2f, false);
        ASSERT_NE(scene.world->CreateSliderJoint(phVector(0.0f, 0.0f, 0.0f),
                                                 phVector(1.0f, 0.0f, 0.0f), carriage, nullptr),
                  nullptr);
        carriage->SetVelocity(phVector(1.0f, 2.0f, 3.0f));
        carriage->SetAngularVelocity(phVector(2.0f, -1.0f, 1.5f));
        scene.Run(2.0f);
        EXPECT_GT(Pos(carriage).x, 1.0f);
        EXPECT_NEAR(Pos(carriage).y, 0.0f, 0.01f);
        EXPECT_NEAR(Pos(carriage).z, 0.0f, 0.01f);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(carriage->Matrix()[i][i], 1.0f, 1e-3f) << i;
        }
        EXPECT_NEAR(carriage->Velocity().y, 0.0f, 0.01f);
        EXPECT_NEAR(phLength(carriage->AngularVelocity()), 0.0f, 0.01f);
    }
}

TEST(Joints, SliderBetweenTwoBodiesKeepsThemOnOneLine) {
    // In the default settings and in the game's.
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        TestScene scene(game);
        phRigidBody* rail = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 2.0f, 0.5f, false);
        phRigidBody* carriage = scene.Cube(phVector(1.0f, 0.0f, 0.0f), 1.0f, 0.2f, false);
        ASSERT_NE(scene.world->CreateSliderJoint(phVector(1.0f, 0.0f, 0.0f),
                                                 phVector(1.0f, 0.0f, 0.0f), carriage, rail),
                  nullptr);
        carriage->SetVelocity(phVector(0.5f, 1.0f, 0.0f));
        scene.Run(1.0f);
        const phVector apart = rail->Matrix().UntransformVector(Pos(carriage));
        EXPECT_NEAR(apart.y, 0.0f, 0.01f);
        EXPECT_NEAR(apart.z, 0.0f, 0.01f);
        // The joint's forces are internal: the pair keeps its momentum across
        // the pin (the two turn together about their common centre).
        EXPECT_NEAR(carriage->Velocity().y + 2.0f * rail->Velocity().y, 1.0f, 0.02f);
        EXPECT_NEAR(rail->AngularVelocity().z, carriage->AngularVelocity().z, 0.01f);
    }
}

TEST(Joints, UpVectorTurnsATiltedBodyUpright) {
    // In the default settings and in the game's.
    for (bool game : {false, true}) {
        SCOPED_TRACE(game);
        TestScene scene(game);
        phRigidBody* unit = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 1.0f, 0.2f, false);
        ASSERT_NE(scene.world->CreateUpVectorJoint(phVector(0.0f, 1.0f, 0.0f), unit), nullptr);
        unit->SetMatrix(phMatrix::RotationX(0.6f) * phMatrix::RotationZ(0.4f));
        unit->SetAngularVelocity(phVector(0.0f, 2.0f, 0.0f));
        scene.Run(3.0f);
        // Upright again, while still free to spin about the pin.
        EXPECT_NEAR(unit->Matrix()[1].y, 1.0f, 1e-3f);
        EXPECT_GT(std::fabs(unit->AngularVelocity().y), 1.0f);
    }
}
