#include "collision/contact_calculation.h"
#include "collision/contact_calculation_solver.h"
#include "contact_test_shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kCapacity = 128;

phContactSide Side(phCollision* shape, const phMatrix& matrix) {
    phContactSide side;
    side.shape = shape;
    side.matrix = matrix;
    return side;
}

phMatrix At(float x, float y, float z, const phMatrix& rotation = phMatrix()) {
    phMatrix m = rotation;
    m[3] = phVector(x, y, z, 1.0f);
    return m;
}

std::vector<phContactPoint> Collide(phCollision* shape0, const phMatrix& m0, phCollision* shape1,
                                    const phMatrix& m1, int capacity = kCapacity) {
    std::vector<phContactPoint> points(kCapacity);
    const int count = CalculateConvexToConvexContacts(Side(shape0, m0), Side(shape1, m1),
                                                      points.data(), capacity);
    points.resize(count);
    return points;
}

// Every point carries one unit normal, a penetration of at least 0, finite
// values, and lies within tolerance of its contact plane.
void ExpectWellFormed(const std::vector<phContactPoint>& points, float planeTolerance) {
    for (const phContactPoint& p : points) {
        EXPECT_TRUE(std::isfinite(p.position.x) && std::isfinite(p.position.y) &&
                    std::isfinite(p.position.z));
        EXPECT_TRUE(std::isfinite(p.normal.w) && std::isfinite(p.penetration));
        EXPECT_NEAR(phLength(p.normal), 1.0f, 1e-4f);
        EXPECT_GE(p.penetration, 0.0f);
        EXPECT_NEAR(phDot(p.normal, p.position) + p.normal.w, 0.0f, planeTolerance);
    }
}

struct BoxStackCase {
    const char* name;
    float overlap;
    int expectedCount;
    float expectedPenetration;
};

TEST(ContactCalculationTest, UnitBoxOnUnitBoxByOverlap) {
    const BoxStackCase cases[] = {
        {"just under the margin", 0.003f, 0, 0.0f},
        {"just over the margin", 0.005f, 4, 0.0f},
        {"deep", 0.1f, 4, 0.1f - kContactSkin},
        {"separated", -0.5f, 0, 0.0f},
    };
    ShapePtr upper(MakeBox(1, 1, 1));
    ShapePtr lower(MakeBox(1, 1, 1));
    for (const BoxStackCase& c : cases) {
        const auto points =
            Collide(upper.get(), At(0, 1.0f - c.overlap, 0), lower.get(), At(0, 0, 0));
        ASSERT_EQ(static_cast<int>(points.size()), c.expectedCount) << c.name;
        ExpectWellFormed(points, 1e-4f);
        for (const phContactPoint& p : points) {
            EXPECT_NEAR(p.normal.y, 1.0f, 1e-5f) << c.name;
            EXPECT_NEAR(p.penetration, c.expectedPenetration, 1e-5f) << c.name;
            EXPECT_NEAR(std::fabs(p.position.x), 0.5f, 1e-4f) << c.name;
            EXPECT_NEAR(std::fabs(p.position.z), 0.5f, 1e-4f) << c.name;
            EXPECT_NEAR(p.position.y, 0.5f - 0.5f * c.overlap, 1e-4f) << c.name;
        }
    }
}

TEST(ContactCalculationTest, BoxRestingOnLargerBoxGivesItsFourCorners) {
    ShapePtr box(MakeBox(1, 1, 1));
    ShapePtr ground(MakeBox(10, 1, 10));
    const auto points = Collide(box.get(), At(2, 0.99f, -1), ground.get(), At(0, 0, 0));
    ASSERT_EQ(points.size(), 4u);
    ExpectWellFormed(points, 1e-4f);
    for (const phContactPoint& p : points) {
        EXPECT_NEAR(std::fabs(p.position.x - 2.0f), 0.5f, 1e-4f);
        EXPECT_NEAR(std::fabs(p.position.z + 1.0f), 0.5f, 1e-4f);
    }
}

TEST(ContactCalculationTest, BoxTurnedFortyFiveDegreesOnEqualBoxGivesEightPoints) {
    ShapePtr upper(MakeBox(1, 1, 1));
    ShapePtr lower(MakeBox(1, 1, 1));
    const auto points = Collide(upper.get(), At(0, 0.98f, 0, phMatrix::RotationY(0.7853982f)),
                                lower.get(), At(0, 0, 0));
    ASSERT_EQ(points.size(), 8u);
    ExpectWellFormed(points, 1e-4f);
    for (const phContactPoint& p : points) {
        EXPECT_NEAR(p.normal.y, 1.0f, 1e-5f);
    }
}

TEST(ContactCalculationTest, CrossedEdgesGiveOnePointBetweenTheEdges) {
    ShapePtr upper(MakeBox(1, 1, 1));
    ShapePtr lower(MakeBox(1, 1, 1));
    // Both boxes stand on an edge, the edges crossed at right angles.
    const float reach = 0.70710678f;
    const float gap = 0.02f;
    const auto points =
        Collide(upper.get(), At(0, 2 * reach - gap, 0, phMatrix::RotationX(0.7853982f)),
                lower.get(), At(0, 0, 0, phMatrix::RotationZ(0.7853982f)));
    ASSERT_EQ(points.size(), 1u);
    ExpectWellFormed(points, 1e-3f);
    EXPECT_NEAR(points[0].normal.y, 1.0f, 1e-4f);
    EXPECT_NEAR(points[0].position.y, reach - 0.5f * gap, 1e-3f);
    EXPECT_NEAR(points[0].penetration, gap - kContactSkin, 1e-4f);
}

TEST(ContactCalculationTest, SwappedOrderNegatesTheNormal) {
    ShapePtr a(MakeBox(1, 2, 1));
    ShapePtr b(MakeBox(3, 1, 2));
    const phMatrix ma = At(0.3f, 1.4f, 0.1f, phMatrix::RotationY(0.3f));
    const phMatrix mb = At(0, 0, 0, phMatrix::RotationX(0.05f));
    const auto ab = Collide(a.get(), ma, b.get(), mb);
    const auto ba = Collide(b.get(), mb, a.get(), ma);
    ASSERT_FALSE(ab.empty());
    ASSERT_EQ(ab.size(), ba.size());
    EXPECT_NEAR(ab[0].normal.x, -ba[0].normal.x, 1e-5f);
    EXPECT_NEAR(ab[0].normal.y, -ba[0].normal.y, 1e-5f);
    EXPECT_NEAR(ab[0].normal.z, -ba[0].normal.z, 1e-5f);
    EXPECT_NEAR(ab[0].normal.w, -ba[0].normal.w, 1e-5f);
}

TEST(ContactCalculationTest, CapacityBoundsEveryPath) {
    ShapePtr box(MakeBox(1, 1, 1));
    ShapePtr hull(MakeHullBox(1, 1, 1));
    ShapePtr ground(MakeBox(10, 1, 10));
    for (phCollision* shape :
         {static_cast<phCollision*>(box.get()), static_cast<phCollision*>(hull.get())}) {
        for (int capacity : {0, 1, 2}) {
            std::vector<phContactPoint> points(4);
            const int count = CalculateConvexToConvexContacts(
                Side(shape, At(0, 0.95f, 0, phMatrix::RotationY(0.7853982f))),
                Side(ground.get(), At(0, 0, 0)), points.data(), capacity);
            EXPECT_EQ(count, capacity);
        }
    }
}

// The general search against the closed-form box path on the same poses.
TEST(ContactCalculationTest, PolytopePathAgreesWithBoxPath) {
    struct PoseCase {
        const char* name;
        phMatrix upper;
        float expectedPenetration;
    };
    const PoseCase cases[] = {
        {"resting", At(0.2f, 0.97f, 0.1f), 0.03f - kContactSkin},
        {"turned", At(0, 0.95f, 0, phMatrix::RotationY(0.5f)), 0.05f - kContactSkin},
        {"tilted", At(0.1f, 1.0f, 0, phMatrix::RotationZ(0.2f)), -1.0f},
    };
    ShapePtr box(MakeBox(1, 1, 1));
    ShapePtr ground(MakeBox(4, 1, 4));
    ShapePtr hull(MakeHullBox(1, 1, 1));
    ShapePtr hullGround(MakeHullBox(4, 1, 4));
    for (const PoseCase& c : cases) {
        const auto boxPoints = Collide(box.get(), c.upper, ground.get(), At(0, 0, 0));
        const auto hullPoints = Collide(hull.get(), c.upper, hullGround.get(), At(0, 0, 0));
        ASSERT_FALSE(boxPoints.empty()) << c.name;
        // A hull's section may hold extra points on its edges where the
        // faces are triangulated; the corners must agree.
        ASSERT_GE(hullPoints.size(), boxPoints.size()) << c.name;
        ExpectWellFormed(hullPoints, 0.05f);
        phVector lo = boxPoints[0].position;
        phVector hi = boxPoints[0].position;
        for (const phContactPoint& b : boxPoints) {
            lo = phMin(lo, b.position);
            hi = phMax(hi, b.position);
            float nearest = 1e9f;
            for (const phContactPoint& h : hullPoints) {
                nearest = std::fmin(nearest, phLength(h.position - b.position));
            }
            EXPECT_LT(nearest, 0.02f) << c.name;
        }
        for (const phContactPoint& h : hullPoints) {
            EXPECT_NEAR(phDot(boxPoints[0].normal, h.normal), 1.0f, 1e-3f) << c.name;
            EXPECT_NEAR(boxPoints[0].penetration, h.penetration, 2e-3f) << c.name;
            if (c.expectedPenetration >= 0.0f) {
                EXPECT_NEAR(h.penetration, c.expectedPenetration, 1e-3f) << c.name;
            }
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_GE(h.position[axis], lo[axis] - 0.02f) << c.name;
                EXPECT_LE(h.position[axis], hi[axis] + 0.02f) << c.name;
            }
        }
    }
}

TEST(ContactCalculationTest, HullDeepInsideHullGivesItsDepthLessTheSkin) {
    ShapePtr inner(MakeHullBox(1, 1, 1));
    ShapePtr outer(MakeHullBox(4, 4, 4));
    // The inner box leaves the outer one soonest through the top: 2 - 0.7.
    const auto points = Collide(inner.get(), At(0, 1.2f, 0), outer.get(), At(0, 0, 0));
    ASSERT_FALSE(points.empty());
    ExpectWellFormed(points, 1.0f);
    for (const phContactPoint& p : points) {
        EXPECT_NEAR(std::fabs(p.normal.y), 1.0f, 1e-4f);
        EXPECT_NEAR(p.penetration, 1.3f - kContactSkin, 1e-3f);
    }
}

TEST(ContactCalculationTest, DiscLyingFlatAndOnItsRimOnABox) {
    ShapePtr disc(MakeCylinder(0.5f, 0.1f));
    ShapePtr ground(MakeBox(4, 1, 4));
    // Flat: the disc's axis (x) turned onto y.
    const auto flat = Collide(disc.get(), At(0, 0.54f, 0, phMatrix::RotationZ(1.5707963f)),
                              ground.get(), At(0, 0, 0));
    ASSERT_GE(flat.size(), 3u);
    ExpectWellFormed(flat, 1e-3f);
    for (const phContactPoint& p : flat) {
        EXPECT_NEAR(p.normal.y, 1.0f, 1e-4f);
        EXPECT_NEAR(std::hypot(p.position.x, p.position.z), 0.5f, 0.02f);
    }
    // On its rim: the lowest feature is an edge along the axis.
    const auto rim = Collide(disc.get(), At(0, 0.99f, 0), ground.get(), At(0, 0, 0));
    ASSERT_GE(rim.size(), 1u);
    ASSERT_LE(rim.size(), 4u);
    ExpectWellFormed(rim, 1e-3f);
    for (const phContactPoint& p : rim) {
        EXPECT_NEAR(p.normal.y, 1.0f, 1e-3f);
        EXPECT_NEAR(p.position.z, 0.0f, 0.1f);
        EXPECT_LE(std::fabs(p.position.x), 0.05f + 1e-4f);
    }
}

// Points spread evenly over a sphere (a golden-angle spiral).
std::vector<phVector> SpherePoints(float radius, int count) {
    std::vector<phVector> points;
    for (int i = 0; i < count; ++i) {
        const float y = 1.0f - 2.0f * (static_cast<float>(i) + 0.5f) / static_cast<float>(count);
        const float ring = std::sqrt(1.0f - y * y);
        const float a = 2.3999632f * static_cast<float>(i);
        points.push_back(
            phVector(radius * ring * std::cos(a), radius * y, radius * ring * std::sin(a)));
    }
    return points;
}

// A ball of many faces pressed into a box and into another ball: the depth
// found agrees with the round shapes' depth to within their faceting.
TEST(ContactCalculationTest, BallDepthsAgreeWithTheRoundAnswer) {
    ShapePtr ball = MakeHull(SpherePoints(0.5f, 400));
    ShapePtr ground = MakeBox(4, 1, 4);
    for (float overlap : {0.02f, 0.1f, 0.3f}) {
        const auto onBox =
            Collide(ball.get(), At(0.1f, 1.0f - overlap, -0.2f), ground.get(), At(0, 0, 0));
        ASSERT_FALSE(onBox.empty()) << overlap;
        ExpectWellFormed(onBox, 0.01f);
        for (const phContactPoint& p : onBox) {
            EXPECT_NEAR(p.normal.y, 1.0f, 0.02f) << overlap;
            EXPECT_NEAR(p.penetration, overlap - kContactSkin, 0.01f) << overlap;
            // Within the circle where the mid-overlap plane cuts the ball.
            const float depth = 0.5f - 0.5f * overlap;
            EXPECT_LE(std::hypot(p.position.x - 0.1f, p.position.z + 0.2f),
                      std::sqrt(0.25f - depth * depth) + 0.01f)
                << overlap;
        }
        // Two balls along a diagonal.
        const phVector axis = phNormalize(phVector(1, 2, -1, 0));
        const phVector centre = axis * (1.0f - overlap);
        const auto onBall =
            Collide(ball.get(), At(centre.x, centre.y, centre.z), ball.get(), At(0, 0, 0));
        ASSERT_FALSE(onBall.empty()) << overlap;
        ExpectWellFormed(onBall, 0.01f);
        for (const phContactPoint& p : onBall) {
            EXPECT_GT(phDot(p.normal, axis), 0.98f) << overlap;
            EXPECT_NEAR(p.penetration, overlap - kContactSkin, 0.02f) << overlap;
            EXPECT_NEAR(phDot(p.position, axis), 0.5f - 0.5f * overlap, 0.02f) << overlap;
        }
    }
}

TEST(ContactCalculationTest, PolytopeSearchFailsForSeparatedShapes) {
    ShapePtr a(MakeCylinder(0.5f, 1.0f));
    ShapePtr b(MakeHullBox(1, 1, 1));
    EXPECT_TRUE(Collide(a.get(), At(0, 1.2f, 0), b.get(), At(0, 0, 0)).empty());
    EXPECT_TRUE(Collide(a.get(), At(1.5f, 0.3f, 0.2f), b.get(), At(0, 0, 0)).empty());
}

TEST(ContactCalculationTest, SearchDirectionsAreUnitAndNegated) {
    const phVector* directions = phPolytopeSearchDirections();
    EXPECT_NEAR(directions[0].x, -0.57735f, 1e-5f);
    EXPECT_NEAR(directions[0].y, 0.57735f, 1e-5f);
    EXPECT_NEAR(directions[8].y, 1.0f, 1e-6f);
    for (int i = 0; i < 14; ++i) {
        EXPECT_NEAR(phLength(directions[i]), 1.0f, 1e-6f);
    }
}

TEST(ContactCalculationTest, FaceHeapPopsLargestKeysAndRefusesWhenFull) {
    phFaceHeap::Entry storage[6];
    phFaceHeap heap;
    heap.Attach(storage, 5);
    const float keys[] = {0.5f, -2.0f, 3.0f, 1.0f, -0.25f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(heap.Push(keys[i], i));
    }
    EXPECT_FALSE(heap.Push(9.0f, 9));
    const int order[] = {2, 3, 0, 4, 1};
    for (int expected : order) {
        EXPECT_EQ(heap.Pop().edge, expected);
    }
    EXPECT_EQ(heap.Count(), 0);
}

// Random shapes in random poses around each other.
TEST(ContactCalculationTest, FuzzRandomShapesAndPoses) {
    std::mt19937 random(14);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto makeShape = [&](int which) -> ShapePtr {
        const float a = 0.1f + 2.0f * unit(random);
        const float b = 0.1f + 2.0f * unit(random);
        const float c = 0.1f + 2.0f * unit(random);
        switch (which % 5) {
            case 0:
                return MakeBox(a, b, c);
            case 1:
                return MakeHullBox(a, b, c);
            case 2:
                return MakeCylinder(a, b);
            case 3:
                return MakeHull(SpherePoints(a, 50 + static_cast<int>(300 * unit(random))));
            default: {
                std::vector<phVector> points;
                for (int i = 0; i < 12; ++i) {
                    points.push_back(phVector(a * (unit(random) - 0.5f), b * (unit(random) - 0.5f),
                                              c * (unit(random) - 0.5f)));
                }
                return MakeHull(points);
            }
        }
    };
    auto randomMatrix = [&]() {
        const phMatrix r = phMatrix::RotationX(6.3f * unit(random)) *
                           phMatrix::RotationY(6.3f * unit(random)) *
                           phMatrix::RotationZ(6.3f * unit(random));
        return At(2.0f * unit(random) - 1.0f, 2.0f * unit(random) - 1.0f,
                  2.0f * unit(random) - 1.0f, r);
    };
    int touching = 0;
    for (int round = 0; round < 600; ++round) {
        ShapePtr a = makeShape(round);
        ShapePtr b = makeShape(round / 4 + round);
        const int capacity = 1 + round % 20;
        const auto points = Collide(a.get(), randomMatrix(), b.get(), randomMatrix(), capacity);
        ASSERT_LE(static_cast<int>(points.size()), capacity);
        ExpectWellFormed(points, 10.0f);
        touching += points.empty() ? 0 : 1;
    }
    // Enough of the poses overlap for the paths to be exercised.
    EXPECT_GT(touching, 150);
}

struct ClipCase {
    const char* name;
    std::vector<phVector> a;
    std::vector<phVector> b;
    int expectedCount;
};

std::vector<phVector> Square(float cx, float cz, float half, bool clockwise) {
    std::vector<phVector> s = {phVector(cx - half, 0, cz - half), phVector(cx - half, 0, cz + half),
                               phVector(cx + half, 0, cz + half),
                               phVector(cx + half, 0, cz - half)};
    if (clockwise) {
        std::reverse(s.begin(), s.end());
    }
    return s;
}

TEST(ContactCalculationTest, ClippingTable) {
    // Normal +y: the squares below wind counter-clockwise about it unless
    // reversed.
    const ClipCase cases[] = {
        {"equal squares", Square(0, 0, 1, false), Square(0, 0, 1, false), 4},
        {"clockwise clipper", Square(0, 0, 1, true), Square(0.5f, 0.5f, 1, false), 4},
        {"clockwise both", Square(0, 0, 1, true), Square(0.5f, 0.5f, 1, true), 4},
        {"apart", Square(0, 0, 1, false), Square(5, 0, 1, false), 0},
        {"tiny square", Square(0, 0, 1, false), Square(0.2f, 0.2f, 0.01f, false), 1},
        {"segment across", {phVector(-3, 0, 0.2f), phVector(3, 0, 0.2f)}, Square(0, 0, 1, true), 2},
        {"segment outside", {phVector(-3, 0, 2), phVector(3, 0, 2)}, Square(0, 0, 1, false), 0},
        {"two segments",
         {phVector(-3, 0, 0), phVector(3, 0, 0)},
         {phVector(0, 0, -3), phVector(0, 0, 3)},
         0},
        {"single point", {phVector(0, 0, 0)}, Square(0, 0, 1, false), 0},
    };
    const phVector plane(0, 1, 0, 0);
    for (const ClipCase& c : cases) {
        phContactPoint out[16];
        const int count =
            ClipContactPolygons(plane, 7, 0.25f, static_cast<int>(c.a.size()), c.a.data(),
                                static_cast<int>(c.b.size()), c.b.data(), out, 16);
        ASSERT_EQ(count, c.expectedCount) << c.name;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(out[i].faceAttribute, 7);
            EXPECT_FLOAT_EQ(out[i].penetration, 0.25f);
            EXPECT_LE(std::fabs(out[i].position.x), 1.0f + 1e-5f) << c.name;
            EXPECT_LE(std::fabs(out[i].position.z), 1.0f + 1e-5f) << c.name;
        }
    }
}

TEST(ContactCalculationTest, ClippingEqualSquaresGivesTheirCorners) {
    const auto square = Square(0, 0, 1, false);
    phContactPoint out[8];
    const int count = ClipContactPolygons(phVector(0, 1, 0, 0), 0, 0.0f, 4, square.data(), 4,
                                          square.data(), out, 8);
    ASSERT_EQ(count, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(std::fabs(out[i].position.x), 1.0f, 1e-6f);
        EXPECT_NEAR(std::fabs(out[i].position.z), 1.0f, 1e-6f);
    }
}

TEST(ContactCalculationTest, MergingTable) {
    struct MergeCase {
        const char* name;
        phVector secondPosition;
        phVector secondNormal;
        int expectedCount;
        phVector expectedNormal;
    };
    const float h = 0.70710678f;
    const MergeCase cases[] = {
        {"close, normals summed", phVector(0.05f, 0, 0), phVector(1, 0, 0, 0), 1,
         phVector(h, h, 0)},
        {"far apart", phVector(0.08f, 0, 0), phVector(1, 0, 0, 0), 2, phVector(0, 1, 0)},
        {"normals cancel", phVector(0, 0.01f, 0), phVector(0, -1, 0, 0), 1, phVector(0, 1, 0)},
    };
    for (const MergeCase& c : cases) {
        phContactPoint points[2];
        points[0].position = phVector(0, 0, 0);
        points[0].normal = phVector(0, 1, 0, -0.5f);
        points[1].position = c.secondPosition;
        points[1].normal = c.secondNormal;
        const int count = MergeContacts(2, points);
        ASSERT_EQ(count, c.expectedCount) << c.name;
        EXPECT_NEAR(points[0].normal.x, c.expectedNormal.x, 1e-5f) << c.name;
        EXPECT_NEAR(points[0].normal.y, c.expectedNormal.y, 1e-5f) << c.name;
        EXPECT_FLOAT_EQ(points[0].normal.w, -0.5f) << c.name;
    }
}

TEST(ContactCalculationTest, MergingFivePointsWithinReachLeavesOne) {
    phContactPoint points[6];
    for (int i = 0; i < 5; ++i) {
        points[i].position = phVector(0.01f * static_cast<float>(i), 0, 0.02f);
        points[i].normal = phVector(0, 1, 0, 0);
    }
    points[5].position = phVector(3, 0, 0);
    points[5].normal = phVector(0, 1, 0, 0);
    EXPECT_EQ(MergeContacts(6, points), 2);
}

TEST(ContactCalculationTest, TransformPlaneMovesTheOffset) {
    const phMatrix m = At(0, 2, 0, phMatrix::RotationZ(1.5707963f));
    const phVector plane = TransformPlane(m, phVector(1, 0, 0, -0.5f));
    // The local plane x = 0.5 turned onto y and lifted by 2: y = 2.5.
    EXPECT_NEAR(plane.y, 1.0f, 1e-6f);
    EXPECT_NEAR(plane.w, -2.5f, 1e-5f);
}

}  // namespace
