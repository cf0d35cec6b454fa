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

// The slab test of the tree walk answers as the clip does: on the clip's
// table, on rays along an axis and on random segments.
TEST(SegmentSlabsTest, CrossesBoxWhereTheClipFindsAPart) {
    const float boxMin[3] = {-1.0f, -1.0f, -1.0f};
    const float boxMax[3] = {1.0f, 1.0f, 1.0f};
    struct Case {
        const char* name;
        phVector p0, p1;
        bool crosses;
    };
    const Case cases[] = {
        {"both outside one face", phVector(2, 0, 0), phVector(3, 0.5f, 0), false},
        {"both inside", phVector(0.5f, 0, 0), phVector(-0.5f, 0.2f, 0.1f), true},
        {"across x", phVector(-3, 0, 0), phVector(3, 0, 0), true},
        {"down y only", phVector(0.5f, 5, 0.5f), phVector(0.5f, -5, 0.5f), true},
        {"down y beside the box", phVector(1.5f, 5, 0.5f), phVector(1.5f, -5, 0.5f), false},
        {"stops short", phVector(0, 5, 0), phVector(0, 1.5f, 0), false},
        {"misses a corner", phVector(0, 3, 0), phVector(3, 0, 0), false},
        {"touching a face from outside", phVector(1, 0, 0), phVector(1, 0.5f, 0), false},
        {"a point inside", phVector(0.2f, 0.2f, 0.2f), phVector(0.2f, 0.2f, 0.2f), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(phSegmentSlabs(c.p0, c.p1).CrossesBox(boxMin, boxMax), c.crosses);
    }
    std::mt19937 random(77);
    std::uniform_real_distribution<float> coordinate(-3.0f, 3.0f);
    for (int i = 0; i < 2000; ++i) {
        phVector p0(coordinate(random), coordinate(random), coordinate(random));
        phVector p1(coordinate(random), coordinate(random), coordinate(random));
        const bool crosses = phSegmentSlabs(p0, p1).CrossesBox(boxMin, boxMax);
        EXPECT_EQ(crosses, ClipSegmentToBox(p0, p1, phVector(-1, -1, -1), phVector(1, 1, 1))) << i;
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

// A long thin quad lying flat at height y, spanning x0..x0 + length along x
// and z0..z0 + 1 along z, facing +y: the shape a flat terrain strip becomes
// when its faces merge. Its inside test must not lose points in the middle to
// rounding, however long it is and however far from the origin it lies.
struct ThinQuad {
    const char* name;
    float x0;
    float length;
    float y;
    float z0;
};

const ThinQuad kThinQuads[] = {
    {"500 x 1 at the origin", 0.0f, 500.0f, 0.0f, 0.0f},
    {"5000 x 1 at the origin", 0.0f, 5000.0f, 0.0f, 0.0f},
    {"500 x 1 far away", 3600.0f, 500.0f, 250.0f, 1000.0f},
    {"5000 x 1 far away", -60000.0f, 5000.0f, -40.0f, 1000.0f},
};

// Casts a segment from p0 to p1 at the quad and returns whether it hit.
bool CastAtQuad(const ThinQuad& quad, const phVector& p0, const phVector& p1, float& t,
                phVector& normal) {
    const float x1 = quad.x0 + quad.length;
    const float z1 = quad.z0 + 1.0f;
    const float vertices[] = {quad.x0, quad.y, quad.z0, quad.x0, quad.y, z1,
                              x1,      quad.y, z1,      x1,      quad.y, quad.z0};
    const int indices[] = {0, 1, 2, 3};
    return RayHitsPolygon(p0, p1, vertices, 12, indices, 4, t, normal);
}

TEST(RayHitsPolygonTest, LongThinQuadIsHitEverywhereInside) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> along(0.0005, 0.9995);
    std::uniform_real_distribution<double> across(0.002, 0.998);
    std::uniform_real_distribution<float> slant(-3.0f, 3.0f);
    for (const ThinQuad& quad : kThinQuads) {
        SCOPED_TRACE(quad.name);
        int misses = 0;
        for (int i = 0; i < 20000; ++i) {
            const float x = float(quad.x0 + quad.length * along(random));
            const float z = float(quad.z0 + across(random));
            // Half of the rays fall straight down, the others come in at a slant.
            const phVector d =
                (i % 2 == 0) ? phVector(0, 10, 0) : phVector(slant(random), 10, slant(random));
            const phVector p0(x + d.x, quad.y + d.y, z + d.z);
            const phVector p1(x - d.x, quad.y - d.y, z - d.z);
            float t = -1.0f;
            phVector normal;
            if (!CastAtQuad(quad, p0, p1, t, normal)) {
                ++misses;
                continue;
            }
            EXPECT_NEAR(t, 0.5f, 1e-3f);
            EXPECT_GT(normal.y, 0.0f);
        }
        EXPECT_EQ(misses, 0);
    }
}

TEST(RayHitsPolygonTest, RaysJustBesideALongThinQuadMiss) {
    // Across its long sides a millimetre outside; beyond its short ends a
    // ten-thousandth of its length outside.
    for (const ThinQuad& quad : kThinQuads) {
        SCOPED_TRACE(quad.name);
        const float x1 = quad.x0 + quad.length;
        const float z1 = quad.z0 + 1.0f;
        const float xMid = quad.x0 + 0.37f * quad.length;
        const float beyondEnd = 1e-4f * quad.length;
        struct Point {
            const char* where;
            float x;
            float z;
        };
        const Point points[] = {
            {"before the near long side", xMid, quad.z0 - 1e-3f},
            {"beyond the far long side", xMid, z1 + 1e-3f},
            {"before the first end", quad.x0 - beyondEnd, quad.z0 + 0.5f},
            {"beyond the last end", x1 + beyondEnd, quad.z0 + 0.5f},
            {"beside a corner", x1 + beyondEnd, z1 + 1e-3f},
        };
        for (const Point& point : points) {
            SCOPED_TRACE(point.where);
            float t = -1.0f;
            phVector normal;
            EXPECT_FALSE(CastAtQuad(quad, phVector(point.x, quad.y + 10, point.z),
                                    phVector(point.x, quad.y - 10, point.z), t, normal));
        }
        // The corners themselves lie on edges and count as hits.
        for (const float x : {quad.x0, x1}) {
            for (const float z : {quad.z0, z1}) {
                float t = -1.0f;
                phVector normal;
                EXPECT_TRUE(CastAtQuad(quad, phVector(x, quad.y + 10, z),
                                       phVector(x, quad.y - 10, z), t, normal))
                    << x << " " << z;
            }
        }
    }
}

}  // namespace
