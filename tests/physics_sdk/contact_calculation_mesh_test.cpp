#include "collision/contact_calculation.h"
#include "collision/static_mesh_tree.h"
#include "contact_test_shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kCapacity = 128;

// A tree collision built from quads, released at the end of the test.
class TestMesh {
public:
    TestMesh() : m_shape(phCreateTreeCollision(nullptr, nullptr, 11u, 22u, 33u)) {
        phTreeCollisionBeginBuild(*m_shape);
    }
    ~TestMesh() { m_shape->Release(); }

    void AddFace(const std::vector<phVector>& points, int attribute) {
        std::vector<float> packed;
        for (const phVector& p : points) {
            packed.insert(packed.end(), {p.x, p.y, p.z});
        }
        phTreeCollisionAddFace(*m_shape, static_cast<int>(points.size()), packed.data(), 12,
                               attribute);
    }
    // A quad facing up (counter-clockwise seen from above) from (x0, y0) to
    // (x1, y1) along x, spanning z0..z1.
    void AddQuad(float x0, float y0, float x1, float y1, int attribute, float z0 = -2.0f,
                 float z1 = 2.0f) {
        AddFace({phVector(x0, y0, z0), phVector(x0, y0, z1), phVector(x1, y1, z1),
                 phVector(x1, y1, z0)},
                attribute);
    }
    void End() { phTreeCollisionEndBuild(*m_shape, 0); }

    phContactSide Side() const {
        phContactSide side;
        side.shape = m_shape;
        return side;
    }

private:
    phCollisionPolygonalSoup* m_shape;
};

phMatrix At(float x, float y, float z, const phMatrix& rotation = phMatrix()) {
    phMatrix m = rotation;
    m[3] = phVector(x, y, z, 1.0f);
    return m;
}

std::vector<phContactPoint> Collide(phCollision* shape, const phMatrix& matrix,
                                    const TestMesh& mesh, int capacity = kCapacity) {
    phContactSide convex;
    convex.shape = shape;
    convex.matrix = matrix;
    std::vector<phContactPoint> points(kCapacity);
    const int count = CalculateConvexToMeshContacts(convex, mesh.Side(), points.data(), capacity);
    points.resize(count);
    return points;
}

void ExpectWellFormed(const std::vector<phContactPoint>& points) {
    for (const phContactPoint& p : points) {
        EXPECT_TRUE(std::isfinite(p.position.x) && std::isfinite(p.position.y) &&
                    std::isfinite(p.position.z) && std::isfinite(p.penetration));
        EXPECT_NEAR(phLength(p.normal), 1.0f, 1e-4f);
        EXPECT_GE(p.penetration, 0.0f);
    }
}

TEST(ContactCalculationMeshTest, BoxRestingOnAFaceGivesFourPointsAlongItsNormal) {
    TestMesh mesh;
    mesh.AddQuad(-3, 0, 3, 0, 5);
    mesh.AddQuad(3, 0, 6, 0, 6);
    mesh.End();
    ShapePtr box = MakeBox(1, 1, 1);
    const auto points = Collide(box.get(), At(0.5f, 0.47f, 0.2f), mesh);
    ASSERT_EQ(points.size(), 4u);
    ExpectWellFormed(points);
    for (const phContactPoint& p : points) {
        EXPECT_NEAR(p.normal.y, 1.0f, 1e-5f);
        EXPECT_NEAR(p.penetration, 0.03f - kContactSkin, 1e-3f);
        EXPECT_EQ(p.faceAttribute, 5);
        EXPECT_NEAR(std::fabs(p.position.x - 0.5f), 0.5f, 1e-4f);
        EXPECT_NEAR(std::fabs(p.position.z - 0.2f), 0.5f, 1e-4f);
        EXPECT_NEAR(phDot(p.normal, p.position) + p.normal.w, 0.0f, 0.02f);
    }
}

TEST(ContactCalculationMeshTest, BoxWhoseCentreIsBehindTheFaceGetsNothing) {
    TestMesh mesh;
    mesh.AddQuad(-3, 0, 3, 0, 5);
    mesh.AddQuad(3, 0, 6, 0, 6);
    mesh.End();
    ShapePtr box = MakeBox(1, 1, 1);
    EXPECT_TRUE(Collide(box.get(), At(0, -0.3f, 0), mesh).empty());
    EXPECT_TRUE(Collide(box.get(), At(0, -0.6f, 0), mesh).empty());
}

TEST(ContactCalculationMeshTest, BoxOnASharedEdgeGetsItsCornersOnce) {
    TestMesh mesh;
    mesh.AddQuad(-3, 0, 0, 0, 1);
    mesh.AddQuad(0, 0, 3, 0, 2);
    mesh.End();
    ShapePtr box = MakeBox(1, 1, 1);
    // Four corners and the two points where the box's edges cross the
    // shared edge, made by both faces and merged.
    const auto points = Collide(box.get(), At(0, 0.48f, 0), mesh);
    ASSERT_EQ(points.size(), 6u);
    ExpectWellFormed(points);
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].normal.y, 1.0f, 1e-5f);
        EXPECT_NEAR(std::fabs(points[i].position.z), 0.5f, 1e-4f);
        for (size_t j = i + 1; j < points.size(); ++j) {
            EXPECT_GE(phLengthSquared(points[i].position - points[j].position), 0.005f);
        }
    }
}

TEST(ContactCalculationMeshTest, BoxInAValleyTouchesBothSlopes) {
    TestMesh mesh;
    mesh.AddQuad(-3, 3, 0, 0, 1);
    mesh.AddQuad(0, 0, 3, 3, 2);
    mesh.End();
    // A box turned 45 degrees sits with two faces on the two slopes.
    ShapePtr box = MakeBox(1, 1, 1);
    const float h = 0.70710678f;
    const auto points =
        Collide(box.get(), At(0, h - 0.03f, 0, phMatrix::RotationZ(0.7853982f)), mesh);
    ASSERT_GE(points.size(), 2u);
    ExpectWellFormed(points);
    bool left = false;
    bool right = false;
    for (const phContactPoint& p : points) {
        EXPECT_GT(p.normal.y, 0.5f);
        left = left || p.normal.x > 0.5f;
        right = right || p.normal.x < -0.5f;
    }
    EXPECT_TRUE(left && right);
}

// A capsule as a convex hull of two rings of points and its two tips,
// lying along x on a strip of sloped quads.
TEST(ContactCalculationMeshTest, CapsuleHullOnTheTerrainStrip) {
    TestMesh mesh;
    const float heights[] = {0.0f, 0.2f, 0.1f, -0.1f, 0.0f, 0.3f};
    for (int i = 0; i < 5; ++i) {
        mesh.AddQuad(float(i), heights[i], float(i + 1), heights[i + 1], 10 + i);
    }
    mesh.End();
    std::vector<phVector> points;
    const float radius = 0.3f;
    for (float x : {-0.5f, 0.5f}) {
        for (int k = 0; k < 12; ++k) {
            const float a = 6.2831853f * float(k) / 12.0f;
            for (float lat : {0.0f, 0.5f, 1.0f}) {
                const float ring = radius * std::cos(lat);
                const float dx = (x > 0 ? 1.0f : -1.0f) * radius * std::sin(lat);
                points.push_back(phVector(x + dx, ring * std::cos(a), ring * std::sin(a)));
            }
        }
    }
    ShapePtr capsule = MakeHull(points);
    for (float x = 1.0f; x <= 4.0f; x += 0.5f) {
        // Place it just into the strip: lower it until the first contact.
        std::vector<phContactPoint> found;
        for (float y = 1.0f; y > -0.5f && found.empty(); y -= 0.01f) {
            found = Collide(capsule.get(), At(x, y, 0), mesh);
        }
        ASSERT_FALSE(found.empty()) << x;
        ExpectWellFormed(found);
        for (const phContactPoint& p : found) {
            EXPECT_GT(p.normal.y, 0.8f) << x;
            EXPECT_GE(p.faceAttribute, 10) << x;
            EXPECT_LE(p.faceAttribute, 14) << x;
            EXPECT_LT(p.penetration, 0.02f) << x;
        }
    }
}

// A grid of small faces under a large box makes more points than any buffer:
// every path keeps to the room it is given.
TEST(ContactCalculationMeshTest, ManyFacesNeverOverrunTheBuffer) {
    TestMesh mesh;
    for (int i = 0; i < 24; ++i) {
        for (int k = 0; k < 24; ++k) {
            const float x = -3.0f + 0.25f * float(i);
            const float z = -3.0f + 0.25f * float(k);
            const float y = 0.01f * float((i + k) % 3);
            mesh.AddFace({phVector(x, y, z), phVector(x, y, z + 0.25f),
                          phVector(x + 0.25f, y, z + 0.25f), phVector(x + 0.25f, y, z)},
                         i * 24 + k);
        }
    }
    mesh.End();
    ShapePtr box = MakeBox(5, 1, 5);
    ShapePtr hull = MakeHullBox(5, 1, 5);
    for (phCollision* shape :
         {static_cast<phCollision*>(box.get()), static_cast<phCollision*>(hull.get())}) {
        for (int capacity : {3, 40, kCapacity}) {
            const auto points = Collide(shape, At(0, 0.45f, 0), mesh, capacity);
            EXPECT_LE(static_cast<int>(points.size()), capacity);
            EXPECT_GT(points.size(), 0u);
            ExpectWellFormed(points);
        }
    }
}

TEST(ContactCalculationMeshTest, FuzzShapesOnTerrain) {
    TestMesh mesh;
    std::mt19937 random(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 8; ++i) {
        for (int k = 0; k < 8; ++k) {
            const float x = float(i) - 4.0f;
            const float z = float(k) - 4.0f;
            mesh.AddFace(
                {phVector(x, unit(random) - 0.5f, z), phVector(x, unit(random) - 0.5f, z + 1),
                 phVector(x + 1, unit(random) - 0.5f, z + 1)},
                1);
            mesh.AddFace(
                {phVector(x, unit(random) - 0.5f, z), phVector(x + 1, unit(random) - 0.5f, z + 1),
                 phVector(x + 1, unit(random) - 0.5f, z)},
                2);
        }
    }
    mesh.End();
    int touching = 0;
    for (int round = 0; round < 300; ++round) {
        const float a = 0.1f + 2.0f * unit(random);
        const float b = 0.1f + 2.0f * unit(random);
        const float c = 0.1f + 2.0f * unit(random);
        ShapePtr shape = round % 3 == 0   ? MakeBox(a, b, c)
                         : round % 3 == 1 ? MakeHullBox(a, b, c)
                                          : MakeCylinder(a, b);
        const phMatrix rotation =
            phMatrix::RotationX(6.3f * unit(random)) * phMatrix::RotationZ(6.3f * unit(random));
        const int capacity = 1 + round % 30;
        const auto points = Collide(shape.get(),
                                    At(6.0f * unit(random) - 3.0f, 1.5f * unit(random) - 0.5f,
                                       6.0f * unit(random) - 3.0f, rotation),
                                    mesh, capacity);
        ASSERT_LE(static_cast<int>(points.size()), capacity);
        ExpectWellFormed(points);
        touching += points.empty() ? 0 : 1;
    }
    EXPECT_GT(touching, 100);
}

}  // namespace
