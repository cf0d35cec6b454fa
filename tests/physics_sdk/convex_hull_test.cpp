#include "collision/convex_hull.h"
#include "core/class_ids.h"
#include "shape_test_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Point {
    float x;
    float y;
    float z;
};

phCollisionConvexHull* MakeHull(const std::vector<Point>& points,
                                const phMatrix& offset = phMatrix()) {
    const int count = static_cast<int>(points.size());
    const float* data = points.empty() ? nullptr : &points[0].x;
    return new phCollisionConvexHull(phConvexHullSignature(count, sizeof(Point), data, offset),
                                     count, sizeof(Point), data, offset);
}

std::vector<Point> CubeCorners(float half) {
    std::vector<Point> points;
    for (int i = 0; i < 8; ++i) {
        points.push_back({(i & 1) ? -half : half, (i & 2) ? -half : half, (i & 4) ? -half : half});
    }
    return points;
}

std::vector<Point> SpherePoints(int count, float radius, uint32_t seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, 1.0f);
    std::vector<Point> points;
    while (static_cast<int>(points.size()) < count) {
        const phVector v(normal(random), normal(random), normal(random));
        const float length = phLength(v);
        if (length > 1e-3f) {
            points.push_back({radius * v.x / length, radius * v.y / length, radius * v.z / length});
        }
    }
    return points;
}

// The game's capsule: two half circles of five points at each end of a
// bar, on two layers in z: twenty points, all of them corners.
std::vector<Point> Capsule(float halfLength, float radius, float halfDepth) {
    std::vector<Point> points;
    for (float z : {-halfDepth, halfDepth}) {
        for (int i = 0; i < 5; ++i) {
            const float angle = -1.5707963f + static_cast<float>(i) * 3.14159265f / 4.0f;
            points.push_back({halfLength + radius * std::cos(angle), radius * std::sin(angle), z});
            points.push_back(
                {-halfLength - radius * std::cos(angle), -radius * std::sin(angle), z});
        }
    }
    return points;
}

// The outward unit planes of the hull's faces, from its half-edge table.
std::vector<phVector> FacePlanes(const phCollisionConvexHull& hull) {
    std::vector<phVector> planes;
    std::vector<bool> seen(static_cast<size_t>(hull.GetEdgeCount()), false);
    const phConvexEdge* edges = hull.GetEdges();
    const phVector* vertices = hull.GetVertices();
    for (int i = 0; i < hull.GetEdgeCount(); ++i) {
        if (seen[i]) {
            continue;
        }
        const phVector& p0 = vertices[edges[i].vertex];
        phVector n(0, 0, 0, 0);
        const phConvexEdge* e = &edges[i];
        do {
            seen[e - edges] = true;
            n += phCross(vertices[e->vertex] - p0, vertices[e->next->vertex] - p0);
            e = e->next;
        } while (e != &edges[i]);
        n = phNormalize(n);
        n.w = -phDot(n, p0);
        planes.push_back(n);
    }
    return planes;
}

// Twins, loops and Euler's formula; every vertex behind every face (convex)
// and every input point inside within tolerance.
void CheckHull(const phCollisionConvexHull& hull, const std::vector<Point>& input,
               float tolerance) {
    const phConvexEdge* edges = hull.GetEdges();
    const int edgeCount = hull.GetEdgeCount();
    ASSERT_GT(edgeCount, 0);
    for (int i = 0; i < edgeCount; ++i) {
        ASSERT_EQ(edges[i].twin->twin, &edges[i]);
        ASSERT_EQ(edges[i].twin->vertex, edges[i].next->vertex);
        ASSERT_EQ(edges[i].next->prev, &edges[i]);
        ASSERT_GE(edges[i].vertex, 0);
        ASSERT_LT(edges[i].vertex, hull.GetVertexCount());
    }
    const std::vector<phVector> planes = FacePlanes(hull);
    const int faces = static_cast<int>(planes.size());
    EXPECT_EQ(hull.GetVertexCount() - edgeCount / 2 + faces, 2);
    EXPECT_EQ(hull.GetFaceCount(), faces);
    for (const phVector& plane : planes) {
        for (int v = 0; v < hull.GetVertexCount(); ++v) {
            EXPECT_LE(phDot(plane, hull.GetVertices()[v]) + plane.w, tolerance);
            EXPECT_FLOAT_EQ(hull.GetVertices()[v].w, 1.0f);
        }
        for (const Point& p : input) {
            EXPECT_LE(phDot(plane, phVector(p.x, p.y, p.z)) + plane.w, tolerance);
        }
    }
}

TEST(ConvexHullTest, ConstructionTable) {
    struct Case {
        const char* name;
        std::vector<Point> points;
        int vertices;
        int edges;
        float volume;
    };
    std::vector<Point> cubeWithInside = CubeCorners(1.0f);
    for (float t : {-0.5f, 0.0f, 0.3f, 0.9f}) {
        cubeWithInside.push_back({t, -t * 0.5f, 0.1f});
    }
    // Points on faces and edges add nothing either.
    cubeWithInside.push_back({1.0f, 0.2f, -0.3f});
    cubeWithInside.push_back({0.0f, -1.0f, 0.0f});
    cubeWithInside.push_back({1.0f, 1.0f, 0.0f});
    std::vector<Point> repeated = CubeCorners(2.0f);
    for (const Point& p : CubeCorners(2.0f)) {
        repeated.push_back({p.x + 0.001f, p.y, p.z - 0.001f});
    }
    const Case cases[] = {
        {"cube with inner points", cubeWithInside, 8, 36, 8.0f},
        {"tetrahedron", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}}, 4, 12, 8.0f / 6.0f},
        {"tetrahedron far away",
         {{100, 100, 100}, {102, 100, 100}, {100, 102, 100}, {100, 100, 102}},
         4,
         12,
         8.0f / 6.0f},
        {"cube with near repeats", repeated, 8, 36, 64.0f},
        {"octahedron",
         {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}},
         6,
         24,
         4.0f / 3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phCollisionConvexHull* hull = MakeHull(c.points);
        EXPECT_EQ(hull->GetVertexCount(), c.vertices);
        EXPECT_EQ(hull->GetEdgeCount(), c.edges);
        EXPECT_NEAR(hull->GetVolume(), c.volume, 2e-3f * c.volume);
        CheckHull(*hull, c.points, 2e-3f);
        hull->Release();
    }
}

TEST(ConvexHullTest, NearlyCoplanarCloudsKeepAValidHull) {
    struct Case {
        const char* name;
        std::vector<Point> points;
        float volume;
    };
    std::mt19937 random(17);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> jitter(-0.002f, 0.002f);
    // Many points on the faces of a cube, exactly and slightly off.
    std::vector<Point> cubeFaces = CubeCorners(2.0f);
    std::vector<Point> noisyFaces = CubeCorners(2.0f);
    for (int i = 0; i < 300; ++i) {
        const int axis = i % 3;
        const float side = (i % 2 == 0) ? 2.0f : -2.0f;
        float p[3] = {2.0f * unit(random), 2.0f * unit(random), 2.0f * unit(random)};
        p[axis] = side;
        cubeFaces.push_back({p[0], p[1], p[2]});
        p[axis] = side + jitter(random);
        noisyFaces.push_back({p[0], p[1], p[2]});
    }
    // A slab: two layers of a 12 x 12 grid with jitter.
    std::vector<Point> slab;
    for (int i = 0; i < 12; ++i) {
        for (int j = 0; j < 12; ++j) {
            for (float z : {0.0f, 1.0f}) {
                slab.push_back({static_cast<float>(i) + jitter(random),
                                static_cast<float>(j) + jitter(random), z + jitter(random)});
            }
        }
    }
    // A disc of many rim points: its caps hold 64 coplanar points each.
    std::vector<Point> disc;
    for (int i = 0; i < 64; ++i) {
        const float angle = static_cast<float>(i) * 6.2831853f / 64.0f;
        for (float z : {-0.25f, 0.25f}) {
            disc.push_back({3.0f * std::cos(angle), 3.0f * std::sin(angle), z});
        }
    }
    const float discArea = 0.5f * 64.0f * 9.0f * std::sin(6.2831853f / 64.0f);
    const Case cases[] = {
        {"points on cube faces", cubeFaces, 64.0f},
        {"points near cube faces", noisyFaces, 64.0f},
        {"jittered slab", slab, 121.0f},
        {"disc", disc, 0.5f * discArea},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phCollisionConvexHull* hull = MakeHull(c.points);
        CheckHull(*hull, c.points, 4e-3f);
        EXPECT_NEAR(hull->GetVolume(), c.volume, 0.01f * c.volume);
        hull->Release();
    }
}

TEST(ConvexHullTest, GameCapsule) {
    const std::vector<Point> points = Capsule(1.0f, 0.5f, 0.5f);
    ASSERT_EQ(points.size(), 20u);
    phCollisionConvexHull* hull = MakeHull(points);
    EXPECT_EQ(hull->GetVertexCount(), 20);
    CheckHull(*hull, points, 2e-3f);
    // A prism over the outline: the bar's rectangle and two half octagons.
    const float halfOctagon = 0.5f * 0.25f * 8.0f * std::sin(3.14159265f / 4.0f);
    EXPECT_NEAR(hull->GetVolume(), (2.0f * 1.0f + halfOctagon) * 1.0f, 1e-3f);
    ExpectNear(hull->GetCentreAndVolume(), phVector(0, 0, 0, hull->GetVolume()), 1e-3f);
    ExpectNear(hull->GetBoxMin(), phVector(-1.5f, -0.5f, -0.5f), 1e-3f);
    ExpectNear(hull->GetBoxMax(), phVector(1.5f, 0.5f, 0.5f), 1e-3f);
    hull->Release();
}

TEST(ConvexHullTest, ThousandPointsOnASphere) {
    const std::vector<Point> points = SpherePoints(1000, 10.0f, 1234);
    phCollisionConvexHull* hull = MakeHull(points);
    // Every point of a sphere is a corner, unless it lies within the weld or
    // face tolerance of others.
    EXPECT_GT(hull->GetVertexCount(), 950);
    CheckHull(*hull, points, 2e-3f);
    const float sphere = 4.0f / 3.0f * 3.14159265f * 1000.0f;
    EXPECT_LT(hull->GetVolume(), sphere);
    EXPECT_GT(hull->GetVolume(), 0.97f * sphere);
    ExpectNear(hull->GetCentreAndVolume(), phVector(0, 0, 0, hull->GetVolume()), 0.05f);
    hull->Release();
}

// The twelve corners of an icosahedron of circumradius 1, with points
// scattered inside it.
std::vector<Point> IcosahedronWithInnerPoints() {
    const float g = 0.5f * (1.0f + std::sqrt(5.0f));
    const float k = 1.0f / std::sqrt(1.0f + g * g);
    std::vector<Point> points;
    for (float a : {-1.0f, 1.0f}) {
        for (float b : {-g, g}) {
            points.push_back({0, a * k, b * k});
            points.push_back({a * k, b * k, 0});
            points.push_back({b * k, 0, a * k});
        }
    }
    for (const Point& p : SpherePoints(40, 0.6f, 99)) {
        points.push_back(p);
    }
    return points;
}

TEST(ConvexHullTest, ScaleInvariance) {
    // Volume of the icosahedron of circumradius 1.
    const float edge = 4.0f / std::sqrt(10.0f + 2.0f * std::sqrt(5.0f));
    const float volume = 5.0f / 12.0f * (3.0f + std::sqrt(5.0f)) * edge * edge * edge;
    const std::vector<Point> base = IcosahedronWithInnerPoints();
    // Small clouds are blown up, large ones brought down, the ones between
    // keep their size; the hull is the same in all three ranges and across
    // their borders.
    for (float scale : {0.001f, 0.01f, 0.3f, 0.6f, 4.0f, 49.0f, 51.0f, 1000.0f, 20000.0f}) {
        SCOPED_TRACE(scale);
        std::vector<Point> points;
        for (const Point& p : base) {
            points.push_back({p.x * scale, p.y * scale, p.z * scale});
        }
        phCollisionConvexHull* hull = MakeHull(points);
        EXPECT_EQ(hull->GetVertexCount(), 12);
        EXPECT_EQ(hull->GetEdgeCount(), 60);
        EXPECT_NEAR(hull->GetVolume() / (scale * scale * scale), volume, 5e-3f * volume);
        CheckHull(*hull, points, 4e-3f * scale);
        hull->Release();
    }
}

TEST(ConvexHullTest, SupportAgainstBruteForce) {
    const std::vector<Point> points = SpherePoints(300, 3.0f, 7);
    phCollisionConvexHull* hull = MakeHull(points);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    for (int i = 0; i < 500; ++i) {
        const phVector d(any(random), any(random), any(random), 0.0f);
        float best = -1e30f;
        for (int v = 0; v < hull->GetVertexCount(); ++v) {
            best = std::fmax(best, phDot(d, hull->GetVertices()[v]));
        }
        const phVector s = hull->SupportVertex(d);
        EXPECT_NEAR(phDot(d, s), best, 1e-4f);
        EXPECT_FLOAT_EQ(s.w, 1.0f);
    }
    hull->Release();

    // A cube's (+, +, +) corner whatever the first vertex.
    phCollisionConvexHull* cube = MakeHull(CubeCorners(1.0f));
    ExpectNear(cube->SupportVertex(phVector(1, 1, 1, 0)), phVector(1, 1, 1, 1), 1e-4f);
    ExpectNear(cube->SupportVertex(phVector(-1, 1, -1, 0)), phVector(-1, 1, -1, 1), 1e-4f);
    cube->Release();
}

TEST(ConvexHullTest, PlaneSectionTable) {
    struct Case {
        const char* name;
        phVector normal;
        phVector point;
        float area;
    };
    const float s3 = 1.0f / std::sqrt(3.0f);
    const Case cases[] = {
        {"middle", phVector(0, 0, 1, 0), phVector(0, 0, 0), 4.0f},
        {"middle flipped", phVector(0, -1, 0, 0), phVector(0, 0.5f, 0), 4.0f},
        {"hexagon", phVector(s3, s3, s3, 0), phVector(0, 0, 0), 3.0f * std::sqrt(3.0f)},
        {"corner", phVector(-s3, s3, -s3, 0), phVector(-0.8f, 0.8f, -0.8f),
         std::sqrt(3.0f) / 2.0f * 0.36f},
        {"miss", phVector(1, 0, 0, 0), phVector(1.5f, 0, 0), 0.0f},
        {"miss behind", phVector(1, 0, 0, 0), phVector(-1.5f, 0, 0), 0.0f},
    };
    phCollisionConvexHull* cube = MakeHull(CubeCorners(1.0f));
    std::vector<phVector> points(static_cast<size_t>(cube->GetEdgeCount() / 2));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int count = cube->PlaneSection(c.normal, c.point, points.data());
        if (c.area == 0.0f) {
            EXPECT_EQ(count, 0);
            continue;
        }
        ASSERT_GE(count, 3);
        float area = 0.0f;
        for (int i = 0; i < count; ++i) {
            EXPECT_NEAR(phDot(c.normal, points[i] - c.point), 0.0f, 1e-4f);
            EXPECT_FLOAT_EQ(points[i].w, 1.0f);
            if (i >= 1 && i + 1 < count) {
                const float turn =
                    phDot(phCross(points[i] - points[0], points[i + 1] - points[0]), c.normal);
                // Triangulated faces put points in the middle of edges: turns
                // are counter-clockwise or straight.
                EXPECT_GE(turn, -1e-5f);
                area += 0.5f * turn;
            }
        }
        EXPECT_NEAR(area, c.area, 1e-3f);
    }
    cube->Release();
}

TEST(ConvexHullTest, RayCastAgainstTheHull) {
    const float none = 1.2f;
    const float s3 = 1.0f / std::sqrt(3.0f);
    // The tetrahedron x, y, z >= 0, x + y + z <= 2.
    const RayCase cases[] = {
        {"through the slanted face", phVector(2, 2, 2), phVector(0, 0, 0), 2.0f / 3.0f,
         phVector(s3, s3, s3)},
        {"through the base", phVector(0.5f, 0.5f, -1), phVector(0.5f, 0.5f, 1), 0.5f,
         phVector(0, 0, -1)},
        // Inside the hull's box, outside the hull.
        {"misses the hull within its box", phVector(1.9f, 1.9f, -1), phVector(1.9f, 1.9f, 3), none,
         phVector()},
        {"starts inside", phVector(0.2f, 0.2f, 0.2f), phVector(3, 3, 3), none, phVector()},
        {"stops short", phVector(3, 3, 3), phVector(1, 1, 1), none, phVector()},
    };
    phCollisionConvexHull* hull = MakeHull({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}});
    hull->SetUserData(11);
    for (const RayCase& c : cases) {
        ExpectRayHit(*hull, c, 11);
    }
    hull->Release();
}

TEST(ConvexHullTest, DegenerateCloudsGiveAnEmptyHull) {
    struct Case {
        const char* name;
        std::vector<Point> points;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"no points", {}},
        {"three points", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
        {"coplanar square", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0.5f, 0.5f, 0}}},
        {"on a line", {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}}},
        {"one point repeated", {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}}},
        {"capsule of width 0", Capsule(1.0f, 0.5f, 0.0f)},
        {"not finite", {{nan, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phCollisionConvexHull* hull = MakeHull(c.points);
        EXPECT_EQ(hull->GetVertexCount(), 0);
        EXPECT_EQ(hull->GetEdgeCount(), 0);
        EXPECT_FLOAT_EQ(hull->GetVolume(), 0.0f);
        ExpectNear(hull->SupportVertex(phVector(1, 2, 3, 0)), phVector(0, 0, 0, 1), 0.0f);
        phVector points[4];
        EXPECT_EQ(hull->PlaneSection(phVector(0, 0, 1, 0), phVector(0, 0, 0), points), 0);
        phRayHit hit;
        EXPECT_FLOAT_EQ(hull->RayCast(phVector(-5, 0.1f, 0.1f), phVector(5, 0.1f, 0.1f), hit),
                        1.2f);
        phVector boxMin;
        phVector boxMax;
        hull->CalcAABB(phMatrix(), boxMin, boxMax);
        ExpectNear(boxMin, phVector(0, 0, 0, 1), 0.0f);
        ExpectNear(boxMax, phVector(0, 0, 0, 1), 0.0f);
        hull->Release();
    }
}

TEST(ConvexHullTest, SignatureAndClass) {
    const std::vector<Point> points = CubeCorners(1.0f);
    const float* data = &points[0].x;
    const uint32_t signature = phConvexHullSignature(8, sizeof(Point), data, phMatrix());
    // The same quantised cloud and matrix give the same key.
    std::vector<Point> nudged = points;
    nudged[0].x += 0.0001f;
    EXPECT_EQ(phConvexHullSignature(8, sizeof(Point), &nudged[0].x, phMatrix()), signature);
    nudged[0].x += 0.01f;
    EXPECT_NE(phConvexHullSignature(8, sizeof(Point), &nudged[0].x, phMatrix()), signature);
    phMatrix moved;
    moved[3] = phVector(1, 0, 0, 1);
    EXPECT_NE(phConvexHullSignature(8, sizeof(Point), data, moved), signature);
    // A stride that is not a multiple of 4 is rounded down.
    EXPECT_EQ(phConvexHullSignature(8, sizeof(Point) + 2, data, phMatrix()), signature);

    phCollisionConvexHull* hull = MakeHull(points);
    EXPECT_EQ(hull->GetSignature(), signature);
    EXPECT_EQ(hull->GetKind(), kCollisionConvexHull);
    for (uint32_t id :
         {kClassIdConvexHull, kClassIdConvexCollision, kClassIdCollision, kClassIdRef}) {
        EXPECT_TRUE(hull->IsClass(id));
    }
    EXPECT_FALSE(hull->IsClass(kClassIdBox));
    hull->Release();
}

}  // namespace
