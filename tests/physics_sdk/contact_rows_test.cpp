#include "dynamics/contact_rows.h"

#include "collision/box.h"
#include "contact_test_world.h"
#include "dynamics/contact_joint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

phContactPoint PointAt(float x, float z, float penetration = 0.0f) {
    phContactPoint p;
    p.position = phVector(x, 0, z);
    p.normal = phVector(0, 1, 0, 0);
    p.penetration = penetration;
    return p;
}

// A unit box (first body) on a static floor (second body), touching at y = 0.
class ContactRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        box = world.AddBody(new phCollisionBox(0, 1, 1, 1, phMatrix()), At(0, 0.5f, 0));
        floor = world.AddBody(new phCollisionBox(0, 10, 1, 10, phMatrix()), At(0, -0.5f, 0), 0.0f);
        contact = world.contacts.Create(box, floor);
        params.dt = 1.0f / 60.0f;
        params.invDt = 60.0f;
    }

    int Build(const phContactPoint* points, int count) {
        contact->Update(pair, points, count, 2);
        for (phRowBound& bound : params.bounds) {
            bound = phRowBound();
        }
        return contact->BuildRows(params);
    }

    ContactTestWorld world;
    phRigidBody* box = nullptr;
    phRigidBody* floor = nullptr;
    phContactJoint* contact = nullptr;
    phMaterial pair;
    phJointRowParams params;
};

TEST_F(ContactRowsTest, TwoPointsGiveNormalRowsFirstThenFrictionRowsInPointOrder) {
    const phContactPoint points[] = {PointAt(0.5f, 0.5f), PointAt(-0.5f, -0.5f)};
    ASSERT_EQ(Build(points, 2), 6);
    EXPECT_EQ(contact->FrictionRowCount(), 4);
    phMaterial& first = contact->FirstPoint()->material;
    phMaterial& second = contact->FirstPoint()->next->material;
    struct RowCase {
        int row;
        int32_t kind;
        float* force;
    };
    const RowCase rows[] = {
        {0, kRowOneSided, &first.contactForces[0]},
        {1, kRowOneSided, &second.contactForces[0]},
        {2, 0, &first.contactForces[1]},
        {3, 0, &first.contactForces[2]},
        {4, 1, &second.contactForces[1]},
        {5, 1, &second.contactForces[2]},
    };
    for (const RowCase& r : rows) {
        EXPECT_EQ(params.bounds[r.row].kind, r.kind) << r.row;
        EXPECT_EQ(params.bounds[r.row].force, r.force) << r.row;
        EXPECT_FLOAT_EQ(params.stiffness[r.row], 1.0f) << r.row;
    }
    EXPECT_FLOAT_EQ(params.bounds[0].lower, 0.0f);
    EXPECT_FLOAT_EQ(params.bounds[0].upper, 1e15f);
    // Normal row Jacobian: the normal and r0 x n for the box, their negatives
    // through the floor's centre for the floor.
    const phJacobian& j = params.jacobians[0];
    EXPECT_FLOAT_EQ(j.linear0.y, 1.0f);
    const phVector r0x = phCross(phVector(0.5f, -0.5f, 0.5f, 0), phVector(0, 1, 0, 0));
    EXPECT_NEAR(j.angular0.x, r0x.x, 1e-6f);
    EXPECT_NEAR(j.angular0.z, r0x.z, 1e-6f);
    EXPECT_FLOAT_EQ(j.linear1.y, -1.0f);
    // Friction rows run along the tangents.
    EXPECT_NEAR(phDot(params.jacobians[2].linear0, first.tangent0), 1.0f, 1e-5f);
    EXPECT_NEAR(phDot(params.jacobians[3].linear0, first.tangent1), 1.0f, 1e-5f);
}

TEST_F(ContactRowsTest, FrictionSwitchedOffLeavesOneRowPerPoint) {
    world.materials.SetFriction(0, 0, 0.0f, 0.0f);
    pair = *world.materials.Find(0, 0);
    const phContactPoint points[] = {PointAt(0.5f, 0.5f), PointAt(-0.5f, -0.5f)};
    EXPECT_EQ(Build(points, 2), 2);
    EXPECT_EQ(contact->FrictionRowCount(), 0);
}

TEST_F(ContactRowsTest, NormalRowRightHandSideTable) {
    struct RhsCase {
        const char* name;
        float penetration;
        float boxSpeedY;
        float expected;
    };
    // Softness 0.1, elasticity 0.4. The relative velocity is the floor's
    // less the box's, so a box falling at speed v approaches with vr.n = v.
    const RhsCase cases[] = {
        {"resting, no penetration", 0.0f, 0.0f, 0.0f},
        {"resting, penetration corrected", 0.2f, 0.0f, 10 * 0.1f * 0.2f * 60},
        {"deep penetration capped", 0.9f, 0.0f, 10 * 0.1f * 0.5f * 60},
        {"approaching gets restitution", 0.0f, -2.0f, 1.4f * 2.0f * 60},
        {"separating keeps its speed", 0.0f, 2.0f, -2.0f * 60},
        {"barely approaching gets none", 0.0f, -0.001f, 0.001f * 60},
    };
    for (const RhsCase& c : cases) {
        box->SetVelocity(phVector(0, c.boxSpeedY, 0));
        const phContactPoint point = PointAt(0, 0, c.penetration);
        ASSERT_EQ(Build(&point, 1), 3) << c.name;
        EXPECT_NEAR(params.rhs[0], c.expected, 1e-3f) << c.name;
    }
}

TEST_F(ContactRowsTest, StaticAndKineticFrictionBySlidingSpeed) {
    pair.staticFriction[0] = pair.staticFriction[1] = 0.9f;
    pair.kineticFriction[0] = pair.kineticFriction[1] = 0.5f;
    struct SpeedCase {
        float speed;
        float expectedBound;
    };
    const SpeedCase cases[] = {
        {0.0f, 0.9f}, {0.2f, 0.9f}, {0.3f, 0.9f}, {0.31f, 0.5f}, {3.0f, 0.5f}};
    for (const SpeedCase& c : cases) {
        box->SetVelocity(phVector(c.speed, 0, 0));
        const phContactPoint point = PointAt(0, 0);
        ASSERT_EQ(Build(&point, 1), 3);
        // Tangent 0 runs along the sliding, tangent 1 across it (never
        // sliding).
        EXPECT_FLOAT_EQ(params.bounds[1].upper, c.expectedBound) << c.speed;
        EXPECT_FLOAT_EQ(params.bounds[1].lower, -c.expectedBound) << c.speed;
        EXPECT_FLOAT_EQ(params.bounds[2].upper, 0.9f) << c.speed;
        EXPECT_EQ(params.bounds[1].kind, 0);
        EXPECT_EQ(params.bounds[2].kind, 0);
        // The sliding row wants the tangential speed gone.
        const float vt =
            phDot(phVector(-c.speed, 0, 0, 0), contact->FirstPoint()->material.tangent0);
        EXPECT_NEAR(params.rhs[1], vt * 60.0f, 1e-3f) << c.speed;
    }
}

TEST_F(ContactRowsTest, OnlyPointsInUseMakeRows) {
    const phContactPoint four[] = {PointAt(0.5f, 0.5f), PointAt(-0.5f, 0.5f), PointAt(-0.5f, -0.5f),
                                   PointAt(0.5f, -0.5f)};
    ASSERT_EQ(Build(four, 4), 12);
    // Next step only one point is left; the other three records stay unused.
    ASSERT_EQ(Build(four, 1), 3);
    EXPECT_EQ(contact->PointCount(), 4);
    EXPECT_EQ(contact->MaxRowCount(), 3);
    EXPECT_EQ(Build(four, 0), 0);
}

TEST_F(ContactRowsTest, ContactWithoutSecondBodyHasZeroSecondJacobian) {
    contact->SetBodies(box, nullptr);
    const phContactPoint point = PointAt(0.5f, 0.5f);
    ASSERT_EQ(Build(&point, 1), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_FLOAT_EQ(phLength(params.jacobians[row].linear1), 0.0f);
        EXPECT_FLOAT_EQ(phLength(params.jacobians[row].angular1), 0.0f);
        EXPECT_GT(phLength(params.jacobians[row].linear0), 0.99f);
    }
}

// The box's accelerations when its contact rows are solved against an
// outside force: the bounded system A x = b, A = J M^-1 J^T + diag(c), by
// projected Gauss-Seidel, the friction bounds following the normal forces.
struct Motion {
    phVector linear;
    phVector angular;
    float normalForce = 0.0f;
};

Motion SolveBoxRows(const phRigidBody& body, phJointRowParams& params, int rows,
                    const phVector& force) {
    const float invMass = body.InvMassMatrix().w;
    const phMatrix invInertia = body.WorldInverseInertia();
    std::vector<phVector> scaledLinear(rows);
    std::vector<phVector> scaledAngular(rows);
    std::vector<float> b(rows);
    std::vector<float> diagonal(rows);
    std::vector<float> x(rows, 0.0f);
    for (int i = 0; i < rows; ++i) {
        const phJacobian& j = params.jacobians[i];
        scaledLinear[i] = j.linear0 * invMass;
        scaledAngular[i] = invInertia.RotateVector(j.angular0);
        const float d = phDot(j.linear0, scaledLinear[i]) + phDot(j.angular0, scaledAngular[i]);
        diagonal[i] = d * (1.0f + 0.001f * params.stiffness[i]);
        b[i] = params.rhs[i] - phDot(scaledLinear[i], force);
    }
    for (int pass = 0; pass < 500; ++pass) {
        for (int i = 0; i < rows; ++i) {
            float ax = 0.0f;
            for (int k = 0; k < rows; ++k) {
                if (k != i) {
                    const phJacobian& j = params.jacobians[i];
                    ax += x[k] *
                          (phDot(j.linear0, scaledLinear[k]) + phDot(j.angular0, scaledAngular[k]));
                }
            }
            float value = (b[i] - ax) / diagonal[i];
            const phRowBound& bound = params.bounds[i];
            float lower = bound.lower;
            float upper = bound.upper;
            if (bound.kind >= 0) {
                lower *= std::max(x[bound.kind], 0.0f);
                upper *= std::max(x[bound.kind], 0.0f);
            }
            x[i] = std::min(std::max(value, lower), upper);
        }
    }
    Motion motion;
    phVector total = force;
    phVector torque(0, 0, 0, 0);
    for (int i = 0; i < rows; ++i) {
        total += params.jacobians[i].linear0 * x[i];
        torque += params.jacobians[i].angular0 * x[i];
        if (params.bounds[i].kind == kRowOneSided) {
            motion.normalForce += x[i];
        }
    }
    motion.linear = total * invMass;
    motion.angular = invInertia.RotateVector(torque);
    return motion;
}

// A unit box resting on the floor under gravity, pushed sideways: the solved
// rows must hold its weight, and let it slide only past the friction bound.
TEST_F(ContactRowsTest, SolvedRowsHoldTheWeightAndResistSliding) {
    pair.staticFriction[0] = pair.staticFriction[1] = 0.9f;
    pair.kineticFriction[0] = pair.kineticFriction[1] = 0.5f;
    const float g = 9.8f;
    struct FrictionCase {
        const char* name;
        float speed;
        float push;
        float expectedAcceleration;
    };
    const FrictionCase cases[] = {
        {"resting", 0.0f, 0.0f, 0.0f},
        {"pushed below static friction", 0.0f, 0.5f * 0.9f * g, 0.0f},
        {"pushed past static friction", 0.0f, 12.0f, 12.0f - 0.9f * g},
        {"sliding slows by kinetic friction", 2.0f, 0.0f, -0.5f * g},
    };
    const phContactPoint corners[] = {PointAt(0.5f, 0.5f), PointAt(-0.5f, 0.5f),
                                      PointAt(-0.5f, -0.5f), PointAt(0.5f, -0.5f)};
    for (const FrictionCase& c : cases) {
        box->SetVelocity(phVector(c.speed, 0, 0));
        const int rows = Build(corners, 4);
        ASSERT_EQ(rows, 12) << c.name;
        const Motion motion = SolveBoxRows(*box, params, rows, phVector(c.push, -g, 0, 0));
        EXPECT_NEAR(motion.normalForce, g, 0.05f) << c.name;
        EXPECT_NEAR(motion.linear.y, 0.0f, 0.05f) << c.name;
        EXPECT_NEAR(motion.linear.x, c.expectedAcceleration, 0.05f) << c.name;
        EXPECT_NEAR(phLength(motion.angular), 0.0f, 0.2f) << c.name;
    }
}

}  // namespace
