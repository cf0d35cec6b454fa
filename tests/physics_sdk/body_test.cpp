#include "dynamics/rigid_body.h"

#include "body_test_shape.h"
#include "collision/broadphase.h"
#include "collision/collision.h"
#include "core/class_ids.h"
#include "dynamics/body_math.h"
#include "dynamics/body_ray_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const float kPi = 3.14159265f;

// A shape that says it is a static mesh.
class TestMesh : public TestSphere {
public:
    TestMesh() : TestSphere(1.0f) {}
    uint32_t GetClassId() const override { return kClassIdPolygonalSoup; }
    bool IsClass(uint32_t classId) const override {
        return classId == kClassIdPolygonalSoup || TestSphere::IsClass(classId);
    }
};

// A body on a grid, released with its shape at the end.
struct BodyFixture {
    explicit BodyFixture(phCollision* shape = new TestSphere(0.5f)) {
        grid.SetWorldSize(phVector(-100.0f, -100.0f, -100.0f), phVector(100.0f, 100.0f, 100.0f));
        body.Init(nullptr, &grid, shape, 7, 0, phFreezeThresholds());
        shape->Release();
    }
    ~BodyFixture() { body.Shutdown(); }

    phBroadPhase grid;
    phRigidBody body;
};

void ExpectNear(const phVector& a, const phVector& b, float tolerance, const char* what = "") {
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
    EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

void ExpectRotationNear(const phMatrix& a, const phMatrix& b, float tolerance, const char* what) {
    for (int i = 0; i < 3; ++i) {
        ExpectNear(a[i], b[i], tolerance, what);
    }
}

// One step as the island solver drives a lone body: the force callback's
// force, damping (when asked for), then integration.
void Step(phRigidBody& body, const phVector& force, float dt, bool damped) {
    body.SetForce(force);
    body.SetTorque(phVector(0.0f, 0.0f, 0.0f));
    if (damped) {
        body.ApplyDamping();
    }
    body.Integrate(dt);
}

}  // namespace

TEST(RigidBody, ANewBodyIsStaticAwakeAndInItsCell) {
    BodyFixture f;
    const phRigidBody& body = f.body;
    EXPECT_EQ(body.Flags(), kBodyActive | kBodyAutoFreeze);
    EXPECT_EQ(body.Id(), 7u);
    EXPECT_TRUE(body.IsStatic());
    EXPECT_TRUE(body.IsActive());
    float mass, ixx, iyy, izz;
    body.GetMass(mass, ixx, iyy, izz);
    EXPECT_EQ(mass, 0.0f);
    EXPECT_EQ(izz, 0.0f);
    EXPECT_FLOAT_EQ(body.LinearDampingFactor(), 0.99791f);
    EXPECT_NEAR(body.GetLinearDamping(), 0.1f, 1e-4f);
    EXPECT_FLOAT_EQ(body.Rotation().w, 1.0f);
    EXPECT_EQ(body.Shape()->GetRefCount(), 1u);
    ExpectNear(body.BoxMin(), phVector(-0.5f, -0.5f, -0.5f), 0.0f);
    ASSERT_NE(body.Cell(), nullptr);
    EXPECT_EQ(body.Cell(), &f.grid.Level(0).GetCell(0, 0, 0));
}

TEST(RigidBody, MassClampsReadBackThroughTheGetter) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float in[4];
        float out[4];
        bool isStatic;
    };
    const Case cases[] = {
        {{10.0f, 1.0f, 2000.0f, 5.0f}, {10.0f, 1.0f, 1000.0f, 5.0f}, false},
        {{-10.0f, -3.0f, 0.01f, 0.0f}, {10.0f, 3.0f, 0.1f, 0.1f}, false},
        {{0.01f, 1.0f, 1.0f, 1.0f}, {0.01f, 1.0f, 1.0f, 1.0f}, false},
        {{0.001f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, true},
        {{0.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, true},
        {{nan, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, true},
        {{2e15f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, true},
        {{4e14f, 1.0f, 1.0f, 1.0f}, {4e14f, 4e12f, 4e12f, 4e12f}, false},
    };
    for (const Case& c : cases) {
        BodyFixture f;
        f.body.SetMass(c.in[0], c.in[1], c.in[2], c.in[3]);
        float out[4];
        f.body.GetMass(out[0], out[1], out[2], out[3]);
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(out[i], c.out[i]) << "mass " << c.in[0] << ", entry " << i;
        }
        EXPECT_EQ(f.body.IsStatic(), c.isStatic) << c.in[0];
        if (!c.isStatic) {
            EXPECT_FLOAT_EQ(f.body.InvMassMatrix().w * c.out[0], 1.0f);
        }
    }
}

TEST(RigidBody, AStaticMeshShapeMakesTheBodyStatic) {
    BodyFixture f;
    f.body.SetMass(10.0f, 1.0f, 1.0f, 1.0f);
    ASSERT_FALSE(f.body.IsStatic());
    phCollision* mesh = new TestMesh;
    f.body.SetShape(mesh);
    mesh->Release();
    EXPECT_TRUE(f.body.IsStatic());
    EXPECT_EQ(f.body.MassMatrix().w, kInfiniteMass);
    f.body.SetMass(10.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(f.body.IsStatic());
}

TEST(RigidBody, DampingClampsReadBackThroughTheGetters) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float in, factor, readBack;
    };
    const Case cases[] = {
        {0.0f, 0.9999f, 0.0f}, {0.1f, 0.99791f, 0.1f}, {0.5f, 0.98995f, 0.5f}, {1.0f, 0.98f, 1.0f},
        {2.0f, 0.98f, 1.0f},   {-1.0f, 0.9999f, 0.0f}, {nan, 0.9999f, 0.0f},
    };
    for (const Case& c : cases) {
        BodyFixture f;
        f.body.SetLinearDamping(c.in);
        EXPECT_NEAR(f.body.LinearDampingFactor(), c.factor, 1e-6f) << c.in;
        EXPECT_NEAR(f.body.GetLinearDamping(), c.readBack, 1e-4f) << c.in;
        f.body.SetAngularDamping(phVector(c.in, 0.5f, c.in));
        EXPECT_NEAR(f.body.AngularDampingFactors().x, c.factor, 1e-6f) << c.in;
        EXPECT_NEAR(f.body.GetAngularDamping().x, c.readBack, 1e-4f) << c.in;
        EXPECT_NEAR(f.body.GetAngularDamping().y, 0.5f, 1e-4f) << c.in;
        EXPECT_NEAR(f.body.GetAngularDamping().z, c.readBack, 1e-4f) << c.in;
    }
}

TEST(RigidBody, AngularDampingActsPerBodyAxis) {
    BodyFixture f;
    f.body.SetMass(1.0f, 1.0f, 1.0f, 1.0f);
    // Body x axis along world y.
    f.body.SetMatrix(phMatrix::RotationZ(0.5f * kPi));
    f.body.SetAngularDamping(phVector(1.0f, 0.0f, 0.0f));
    f.body.SetLinearDamping(1.0f);
    f.body.SetVelocity(phVector(2.0f, 0.0f, 0.0f));
    f.body.SetAngularVelocity(phVector(1.0f, 1.0f, 1.0f));
    f.body.ApplyDamping();
    ExpectNear(f.body.Velocity(), phVector(1.96f, 0.0f, 0.0f), 1e-6f);
    ExpectNear(f.body.AngularVelocity(), phVector(0.9999f, 0.98f, 0.9999f), 1e-5f);
}

TEST(RigidBody, FreeFallFollowsTheStepRecurrence) {
    struct Case {
        bool damped;
        float damping;
        float dt;
    };
    const Case cases[] = {{false, 0.0f, 1.0f / 60.0f},
                          {true, 0.0f, 1.0f / 60.0f},
                          {true, 0.1f, 1.0f / 60.0f},
                          {true, 1.0f, 0.01f}};
    for (const Case& c : cases) {
        BodyFixture f;
        const float mass = 3.0f;
        f.body.SetMass(mass, 1.0f, 1.0f, 1.0f);
        f.body.SetLinearDamping(c.damping);
        f.body.SetMatrix(phMatrix(phQuaternion(), phVector(0.0f, 50.0f, 0.0f)));
        f.body.SetVelocity(phVector(1.0f, 2.0f, 0.0f));
        const double factor = c.damped ? f.body.LinearDampingFactor() : 1.0;
        const double g = -9.8;
        // Symplectic order: velocity first, then position with the new velocity.
        double vx = 1.0, vy = 2.0, x = 0.0, y = 50.0;
        for (int i = 0; i < 120; ++i) {
            Step(f.body, phVector(0.0f, float(g) * mass, 0.0f), c.dt, c.damped);
            vx = vx * factor;
            vy = vy * factor + g * c.dt;
            x += vx * c.dt;
            y += vy * c.dt;
        }
        EXPECT_NEAR(f.body.Velocity().x, vx, 1e-4) << c.damping;
        EXPECT_NEAR(f.body.Velocity().y, vy, 1e-4) << c.damping;
        EXPECT_NEAR(f.body.Position().x, x, 1e-3) << c.damping;
        EXPECT_NEAR(f.body.Position().y, y, 1e-3) << c.damping;
        // The force field holds the step's acceleration.
        EXPECT_NEAR(f.body.Force().y, g, 1e-5) << c.damping;
        // The box followed the body.
        EXPECT_NEAR(f.body.BoxMin().y, y - 0.5, 1e-3) << c.damping;
        if (!c.damped) {
            // Undamped, the recurrence has a closed form: each step's position
            // moves with the velocity at the step's end.
            const int n = 120;
            EXPECT_NEAR(y, 50.0 + 2.0 * n * c.dt + g * c.dt * c.dt * n * (n + 1) / 2.0, 1e-9);
            EXPECT_NEAR(f.body.Position().y, y, 1e-3);
        }
    }
}

TEST(RigidBody, SpinClampScalesInOneStepAndDropsNonFiniteValues) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float dt = 1.0f / 60.0f;
    const float limit = 45.0f * kPi / 180.0f;
    struct Case {
        phVector omega;
        phVector expected;  // x < 0: only check that one step's turn is within the limit
    };
    const Case cases[] = {
        {phVector(0.0f, 0.0f, 100.0f), phVector(0.0f, 0.0f, 40.96f)},
        {phVector(0.0f, 40.0f, 0.0f), phVector(0.0f, 40.0f, 0.0f)},
        {phVector(inf, 0.0f, 0.0f), phVector(0.0f, 0.0f, 0.0f)},
        {phVector(inf, 0.0f, 30.0f), phVector(0.0f, 0.0f, 30.0f)},
        {phVector(nan, -inf, 1.0f), phVector(0.0f, 0.0f, 1.0f)},
        {phVector(1e30f, 0.0f, 0.0f), phVector(-1.0f, 0.0f, 0.0f)},
        {phVector(3e38f, 3e38f, 3e38f), phVector(-1.0f, 0.0f, 0.0f)},
    };
    for (const Case& c : cases) {
        BodyFixture f;
        f.body.SetMass(1.0f, 1.0f, 1.0f, 1.0f);
        f.body.SetAngularVelocity(c.omega);
        f.body.Integrate(dt);
        const phVector w = f.body.AngularVelocity();
        ASSERT_TRUE(std::isfinite(w.x) && std::isfinite(w.y) && std::isfinite(w.z));
        if (c.expected.x >= 0.0f) {
            ExpectNear(w, c.expected, 1e-3f);
        } else {
            const float turn = phLength(w) * dt;
            EXPECT_LE(turn, limit * 1.0001f);
            EXPECT_GT(turn, 0.8f * limit * 0.9999f);
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(f.body.Matrix()[i].x));
        }
    }
}

TEST(RigidBody, RotationAdvancesByTheBodyRate) {
    BodyFixture f;
    f.body.SetMass(1.0f, 1.0f, 1.0f, 1.0f);
    f.body.SetAngularVelocity(phVector(0.0f, 0.0f, 1.0f));
    const float dt = 1.0f / 60.0f;
    for (int i = 0; i < 60; ++i) {
        f.body.Integrate(dt);
    }
    // The local rate carries a factor 1.05.
    ExpectRotationNear(f.body.Matrix(), phMatrix::RotationZ(1.05f), 1e-4f, "about z");

    // A tumbling body's axes stay orthonormal.
    f.body.SetAngularVelocity(phVector(3.0f, -2.0f, 5.0f));
    for (int i = 0; i < 600; ++i) {
        f.body.Integrate(dt);
    }
    const phMatrix& m = f.body.Matrix();
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(phLength(m[i]), 1.0f, 1e-5f);
        EXPECT_NEAR(phDot(m[i], m[(i + 1) % 3]), 0.0f, 1e-5f);
    }
    EXPECT_NEAR(f.body.Rotation().DotProduct(f.body.Rotation()), 1.0f, 1e-5f);
}

TEST(RigidBody, SlowSpinKeepsTheRotationWhileThePositionMoves) {
    BodyFixture f;
    f.body.SetMass(1.0f, 1.0f, 1.0f, 1.0f);
    f.body.SetAngularVelocity(phVector(0.0f, 0.0001f, 0.0f));
    f.body.SetVelocity(phVector(1.0f, 0.0f, 0.0f));
    f.body.Integrate(0.5f);
    EXPECT_EQ(f.body.Rotation().w, 1.0f);
    EXPECT_EQ(f.body.Matrix()[0].x, 1.0f);
    EXPECT_FLOAT_EQ(f.body.Position().x, 0.5f);
}

TEST(RigidBody, RotationFromMatrixRoundTrips) {
    struct Case {
        const char* what;
        phMatrix matrix;
    };
    const Case cases[] = {
        {"identity", phMatrix()},
        {"90 about x", phMatrix::RotationX(0.5f * kPi)},
        {"90 about y", phMatrix::RotationY(0.5f * kPi)},
        {"90 about z", phMatrix::RotationZ(0.5f * kPi)},
        {"180 about x", phMatrix::RotationX(kPi)},
        {"180 about y", phMatrix::RotationY(kPi)},
        {"180 about z", phMatrix::RotationZ(kPi)},
        {"-90 about z", phMatrix::RotationZ(-0.5f * kPi)},
        {"mixed",
         phMatrix::RotationX(0.3f) * phMatrix::RotationY(-1.2f) * phMatrix::RotationZ(2.9f)},
        {"180 about a diagonal",
         phMatrix(phQuaternion::FromAxisAngle(phNormalize(phVector(1.0f, 1.0f, 0.0f)), kPi),
                  phVector(0.0f, 0.0f, 0.0f))},
    };
    for (const Case& c : cases) {
        const phQuaternion q = phRotationFromMatrix(c.matrix);
        EXPECT_NEAR(q.DotProduct(q), 1.0f, 1e-5f) << c.what;
        ExpectRotationNear(phMatrix(q, phVector(0.0f, 0.0f, 0.0f)), c.matrix, 1e-5f, c.what);
    }
    // A half turn set on a body gives the quaternion of that turn, up to sign.
    BodyFixture f;
    f.body.SetMatrix(phMatrix::RotationY(kPi));
    const phQuaternion expected = phQuaternion::FromAxisAngle(phVector(0.0f, 1.0f, 0.0f), kPi);
    EXPECT_NEAR(std::fabs(f.body.Rotation().DotProduct(expected)), 1.0f, 1e-5f);
    // The rotation of a 90 degree turn matches the axis-angle quaternion.
    const phQuaternion quarter = phRotationFromMatrix(phMatrix::RotationX(0.5f * kPi));
    const phQuaternion quarterExpected =
        phQuaternion::FromAxisAngle(phVector(1.0f, 0.0f, 0.0f), 0.5f * kPi);
    EXPECT_NEAR(std::fabs(quarter.DotProduct(quarterExpected)), 1.0f, 1e-5f);
}

TEST(RigidBody, SetMatrixRefitsTheBoxThroughTheShapeOffset) {
    phMatrix offset;
    offset[3] = phVector(0.0f, 2.0f, 0.0f);
    BodyFixture f(new TestSphere(1.0f, offset));
    f.body.SetMatrix(phMatrix(phQuaternion::FromAxisAngle(phVector(0.0f, 0.0f, 1.0f), 0.5f * kPi),
                              phVector(10.0f, 5.0f, 5.0f)));
    // The offset's +y lands on world -x after a quarter turn about z.
    ExpectNear(f.body.ShapeMatrix()[3], phVector(8.0f, 5.0f, 5.0f), 1e-5f);
    ExpectNear(f.body.BoxMin(), phVector(7.0f, 4.0f, 4.0f), 1e-5f);
    ExpectNear(f.body.BoxMax(), phVector(9.0f, 6.0f, 6.0f), 1e-5f);
    EXPECT_EQ(f.body.Cell(), &f.grid.Level(3).GetCell(4, 4, 4));
}

TEST(RigidBody, WorldInverseInertiaFollowsTheBodyAxes) {
    BodyFixture f;
    f.body.SetMass(1.0f, 1.0f, 2.0f, 4.0f);
    f.body.SetMatrix(phMatrix::RotationX(0.7f) * phMatrix::RotationZ(-0.4f));
    const phMatrix j = f.body.WorldInverseInertia();
    const float inverse[3] = {1.0f, 0.5f, 0.25f};
    for (int i = 0; i < 3; ++i) {
        const phVector axis = f.body.Matrix()[i];
        ExpectNear(j.RotateVector(axis), axis * inverse[i], 1e-5f);
    }
}

TEST(RigidBody, ImpulsesChangeThePointVelocityByTheAskedAmount) {
    BodyFixture f;
    EXPECT_FALSE(f.body.AddImpulse(phVector(1.0f, 0.0f, 0.0f), phVector(0.0f, 0.0f, 0.0f)));
    ExpectNear(f.body.Velocity(), phVector(0.0f, 0.0f, 0.0f), 0.0f);

    f.body.SetMass(2.0f, 1.0f, 3.0f, 2.0f);
    f.body.SetMatrix(
        phMatrix(phQuaternion::FromAxisAngle(phNormalize(phVector(1.0f, 2.0f, 3.0f)), 0.8f),
                 phVector(1.0f, 1.0f, 1.0f)));
    // At the centre of mass only the velocity changes.
    ASSERT_TRUE(f.body.AddImpulse(phVector(1.0f, 0.0f, 0.0f), phVector(1.0f, 1.0f, 1.0f)));
    ExpectNear(f.body.Velocity(), phVector(1.0f, 0.0f, 0.0f), 1e-5f);
    ExpectNear(f.body.AngularVelocity(), phVector(0.0f, 0.0f, 0.0f), 1e-5f);

    // Off the centre the point's velocity changes by exactly the request.
    const phVector point(1.5f, 2.0f, 0.2f);
    const phVector r = point - f.body.Position();
    const phVector before = f.body.Velocity() + phCross(f.body.AngularVelocity(), r);
    const phVector delta(0.3f, -1.0f, 2.0f);
    ASSERT_TRUE(f.body.AddImpulse(delta, point));
    const phVector after = f.body.Velocity() + phCross(f.body.AngularVelocity(), r);
    ExpectNear(after - before, delta, 1e-4f);
}

TEST(RigidBody, RayTestInTheShapesFrame) {
    BodyFixture f(new TestSphere(1.0f));
    f.body.SetMatrix(phMatrix(phQuaternion::FromAxisAngle(phVector(0.0f, 1.0f, 0.0f), 1.0f),
                              phVector(5.0f, 0.0f, 0.0f)));
    phVector normal;
    int attribute = 0;
    const float t =
        f.body.RayHit(phVector(0.0f, 0.0f, 0.0f), phVector(10.0f, 0.0f, 0.0f), normal, attribute);
    EXPECT_NEAR(t, 0.4f, 1e-5f);
    ExpectNear(normal, phVector(-1.0f, 0.0f, 0.0f), 1e-5f);
    EXPECT_EQ(attribute, 3);
    EXPECT_GE(
        f.body.RayHit(phVector(0.0f, 3.0f, 0.0f), phVector(10.0f, 3.0f, 0.0f), normal, attribute),
        1.0f);
}

namespace {

std::vector<float> g_transforms;

void RecordTransform(PhysBody*, const float matrix[16]) { g_transforms.push_back(matrix[13]); }

}  // namespace

TEST(RigidBody, IntegrationCallsTheTransformCallback) {
    BodyFixture f;
    f.body.SetMass(1.0f, 1.0f, 1.0f, 1.0f);
    f.body.transformCallback = RecordTransform;
    f.body.SetVelocity(phVector(0.0f, 3.0f, 0.0f));
    g_transforms.clear();
    f.body.Integrate(0.5f);
    ASSERT_EQ(g_transforms.size(), 1u);
    EXPECT_FLOAT_EQ(g_transforms[0], 1.5f);
}

TEST(BodyMath, FastInverseSquareRootMatchesTheLibrary) {
    const float values[] = {1e-20f, 1e-6f, 0.01f,    0.25f, 1.0f, 2.0f,
                            3.0f,   10.0f, 12345.0f, 1e12f, 1e30f};
    for (float x : values) {
        const double expected = 1.0 / std::sqrt(double(x));
        EXPECT_NEAR(phFastInvSqrt(x) / expected, 1.0, 1e-6) << x;
    }
}

TEST(BodyMath, RandomSequenceFollowsItsRecurrence) {
    const uint32_t a = phRandomNext();
    const uint32_t b = phRandomNext();
    EXPECT_EQ(b, a * 31415821u + 1u);
}

namespace {

struct FilterLog {
    PhysBody* body = nullptr;
    float normal[4] = {};
    int attribute = 0;
    float t = -1.0f;
};

float RecordFilter(PhysBody* body, const float normal[4], int attribute, void* userData, float t) {
    FilterLog* log = static_cast<FilterLog*>(userData);
    log->body = body;
    for (int i = 0; i < 4; ++i) {
        log->normal[i] = normal[i];
    }
    log->attribute = attribute;
    log->t = t;
    return t;
}

}  // namespace

TEST(RigidBody, RayCastThroughTheGridReachesTheCallersFilter) {
    BodyFixture f(new TestSphere(1.0f));
    f.body.SetMatrix(phMatrix(phQuaternion(), phVector(20.0f, 5.0f, 5.0f)));
    FilterLog log;
    phBodyRayFilter filter(RecordFilter, &log);
    // From outside the world box: the parameter is along the caller's segment.
    f.grid.RayCastGrid(phVector(-180.0f, 5.0f, 5.0f), phVector(220.0f, 5.0f, 5.0f), filter);
    EXPECT_EQ(log.body, f.body.Handle());
    EXPECT_NEAR(log.t, 199.0f / 400.0f, 1e-5f);
    EXPECT_NEAR(log.normal[0], -1.0f, 1e-5f);
    EXPECT_EQ(log.normal[3], 1.0f);
    EXPECT_EQ(log.attribute, 3);
}
