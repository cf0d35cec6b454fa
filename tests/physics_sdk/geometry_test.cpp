#include "collision/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

void ExpectNear(const phVector& a, const phVector& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(ClipSegmentToBoxTest, Table) {
    const phVector boxMin(-1, -1, -1);
    const phVector boxMax(1, 1, 1);
    struct Case {
        const char* name;
        phVector p0, p1;
        bool inside;
        phVector q0, q1;
    };
    const Case cases[] = {
        {"both outside one face", phVector(2, 0, 0), phVector(3, 0.5f, 0), false, {}, {}},
        {"both outside min y", phVector(0, -2, 0), phVector(0.5f, -1.5f, 0), false, {}, {}},
        {"both inside", phVector(0.5f, 0, 0), phVector(-0.5f, 0.2f, 0.1f), true,
         phVector(0.5f, 0, 0), phVector(-0.5f, 0.2f, 0.1f)},
        {"across x", phVector(-3, 0, 0), phVector(3, 0, 0), true, phVector(-1, 0, 0),
         phVector(1, 0, 0)},
        {"across z interpolates", phVector(0, 0, 3), phVector(0.6f, 0.6f, -3), true,
         phVector(0.2f, 0.2f, 1), phVector(0.4f, 0.4f, -1)},
        {"enters through y", phVector(0, 5, 0), phVector(0, 0, 0), true, phVector(0, 1, 0),
         phVector(0, 0, 0)},
        {"misses a corner", phVector(0, 3, 0), phVector(3, 0, 0), false, {}, {}},
        {"touching a face from outside", phVector(1, 0, 0), phVector(1, 0.5f, 0), false, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phVector p0 = c.p0;
        phVector p1 = c.p1;
        ASSERT_EQ(ClipSegmentToBox(p0, p1, boxMin, boxMax), c.inside);
        if (c.inside) {
            ExpectNear(p0, c.q0);
            ExpectNear(p1, c.q1);
        }
    }
}

TEST(ClosestPointOnSegmentTest, TableWithEqualEnds) {
    struct Case {
        phVector q, a, b, expected;
    };
    const Case cases[] = {
        {phVector(5, 0, 0), phVector(0, 0, 0), phVector(2, 0, 0), phVector(2, 0, 0)},
        {phVector(-5, 1, 0), phVector(0, 0, 0), phVector(2, 0, 0), phVector(0, 0, 0)},
        {phVector(1, 3, 0), phVector(0, 0, 0), phVector(2, 0, 0), phVector(1, 0, 0)},
        {phVector(1, 3, 4), phVector(1, 1, 1), phVector(1, 1, 1), phVector(1, 1, 1)},
    };
    for (const Case& c : cases) {
        const phVector out = ClosestPointOnSegment(c.q, c.a, c.b);
        ExpectNear(out, c.expected);
        EXPECT_TRUE(std::isfinite(out.x));
    }
    phVector a(0, 0, 0, 7.0f);
    EXPECT_EQ(ClosestPointOnSegment(phVector(1, 1, 1), a, phVector(1, 0, 0)).w, 7.0f);
}

// Brute force: the smallest distance over a fine grid of both parameters.
float BruteForceDistance(const phVector& a0, const phVector& a1, const phVector& b0,
                         const phVector& b1) {
    float best = 1e30f;
    const int steps = 200;
    for (int i = 0; i <= steps; ++i) {
        const phVector p = a0 + (a1 - a0) * (float(i) / steps);
        const phVector q = ClosestPointOnSegment(p, b0, b1);
        best = std::fmin(best, phLength(p - q));
    }
    return best;
}

TEST(ClosestPointsOfSegmentsTest, MatchesBruteForceOnRandomSegments) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f);
    auto point = [&] {
        return phVector(coordinate(random), coordinate(random), coordinate(random));
    };
    for (int i = 0; i < 300; ++i) {
        const phVector a0 = point(), a1 = point(), b0 = point(), b1 = point();
        phVector onA;
        phVector onB;
        ClosestPointsOfSegments(a0, a1, b0, b1, onA, onB);
        // Both points lie on their segments.
        EXPECT_NEAR(phLength(onA - a0) + phLength(a1 - onA), phLength(a1 - a0), 1e-3f);
        EXPECT_NEAR(phLength(onB - b0) + phLength(b1 - onB), phLength(b1 - b0), 1e-3f);
        EXPECT_NEAR(phLength(onA - onB), BruteForceDistance(a0, a1, b0, b1), 2e-3f) << i;
    }
}

TEST(ClosestPointsOfSegmentsTest, ParallelAndDegenerateSegmentsGiveMidpoints) {
    struct Case {
        phVector a0, a1, b0, b1;
    };
    const Case cases[] = {
        {phVector(0, 0, 0), phVector(2, 0, 0), phVector(5, 1, 0), phVector(9, 1, 0)},
        {phVector(0, 0, 0), phVector(2, 0, 0), phVector(1, 1, 0), phVector(-1, 1, 0)},
        {phVector(1, 1, 1), phVector(1, 1, 1), phVector(0, 0, 0), phVector(0, 4, 0)},
    };
    for (const Case& c : cases) {
        phVector onA;
        phVector onB;
        ClosestPointsOfSegments(c.a0, c.a1, c.b0, c.b1, onA, onB);
        ExpectNear(onA, c.a0 + (c.a1 - c.a0) * 0.5f);
        ExpectNear(onB, c.b0 + (c.b1 - c.b0) * 0.5f);
    }
}

TEST(RayHitsPolygonTest, Table) {
    // A unit square in the plane z = 0, counter-clockwise seen from +z, stored
    // with a stride of four floats; and an L-free convex pentagon.
    const float vertices[] = {0, 0, 0, 9, 1, 0, 0, 9, 1, 1, 0, 9, 0, 1, 0, 9, 0.5f, 1.5f, 0, 9};
    const int square[] = {0, 1, 2, 3};
    const int triangle[] = {0, 1, 2};
    const int pentagon[] = {0, 1, 2, 4, 3};
    struct Case {
        const char* name;
        const int* indices;
        int count;
        phVector p0, p1;
        bool hit;
        float t;
    };
    const Case cases[] = {
        {"from the front", square, 4, phVector(0.5f, 0.5f, 1), phVector(0.5f, 0.5f, -1), true,
         0.5f},
        {"from behind", square, 4, phVector(0.5f, 0.5f, -1), phVector(0.5f, 0.5f, 1), false, 0},
        {"in the second fan triangle", square, 4, phVector(0.2f, 0.8f, 1), phVector(0.2f, 0.8f, -3),
         true, 0.25f},
        {"beside the polygon", square, 4, phVector(1.5f, 0.5f, 1), phVector(1.5f, 0.5f, -1), false,
         0},
        {"on an edge", square, 4, phVector(1, 0.5f, 1), phVector(1, 0.5f, -1), true, 0.5f},
        {"short of the plane", square, 4, phVector(0.5f, 0.5f, 3), phVector(0.5f, 0.5f, 1), false,
         0},
        {"along the plane", square, 4, phVector(-1, 0.5f, 0), phVector(2, 0.5f, 0), false, 0},
        {"triangle outside its hypotenuse", triangle, 3, phVector(0.2f, 0.8f, 1),
         phVector(0.2f, 0.8f, -1), false, 0},
        {"pentagon tip", pentagon, 5, phVector(0.5f, 1.3f, 1), phVector(0.5f, 1.3f, -1), true,
         0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        float t = -1;
        phVector normal;
        ASSERT_EQ(RayHitsPolygon(c.p0, c.p1, vertices, 16, c.indices, c.count, t, normal), c.hit);
        if (c.hit) {
            EXPECT_NEAR(t, c.t, 1e-5f);
            EXPECT_GT(normal.z, 0.0f);
            EXPECT_EQ(normal.w, 1.0f);
        }
    }
}

}  // namespace
