#include "collision/polyhedra.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

TEST(VertexWeldTest, NearVerticesBecomeOne) {
    float vertices[] = {0, 0, 0, 0.00005f, 0, 0, 1, 0, 0};
    int32_t remap[3] = {-5, -5, -5};
    EXPECT_EQ(VertexListToIndexList(vertices, 12, 12, 0, 3, remap, 0.0001f), 2);
    EXPECT_EQ(remap[0], 0);
    EXPECT_EQ(remap[1], 0);
    EXPECT_EQ(remap[2], 1);
    EXPECT_EQ(vertices[0], 0.0f);
    EXPECT_EQ(vertices[3], 1.0f);
}

TEST(VertexWeldTest, ExtraWordsMustMatchBitForBit) {
    // x, y, z and one attribute word per vertex.
    struct Vertex {
        float x, y, z;
        int32_t attribute;
    };
    Vertex vertices[] = {{0, 0, 0, 7}, {0, 0, 0, 8}, {0, 0, 0, 7}, {5, 5, 5, 7}};
    int32_t remap[4];
    EXPECT_EQ(VertexListToIndexList(&vertices[0].x, sizeof(Vertex), 12, 4, 4, remap, 0.001f), 3);
    EXPECT_EQ(remap[0], remap[2]);
    EXPECT_NE(remap[0], remap[1]);
    EXPECT_EQ(vertices[remap[1]].attribute, 8);
    EXPECT_EQ(vertices[remap[3]].x, 5.0f);
}

TEST(VertexWeldTest, RefusedSizes) {
    float vertices[12] = {};
    int32_t remap[4];
    struct Case {
        int stride, compare, extra;
    };
    const Case cases[] = {{8, 8, 4}, {12, 8, 0}, {12, 12, 4}, {16, 4, 4}};
    for (const Case& c : cases) {
        EXPECT_EQ(VertexListToIndexList(vertices, c.stride, c.compare, c.extra, 3, remap, 0.1f), 0);
    }
}

TEST(VertexWeldTest, ClustersMatchBruteForceAndEveryRemapPointsAtItsVertex) {
    // Points on a coarse lattice, each repeated with jitter well inside the
    // tolerance: one unique vertex per lattice point.
    std::mt19937 random(3);
    std::uniform_int_distribution<int> cell(0, 9);
    std::uniform_real_distribution<float> jitter(-0.00002f, 0.00002f);
    std::vector<float> original;
    std::vector<int> latticeId;
    for (int i = 0; i < 400; ++i) {
        const int x = cell(random), y = cell(random), z = cell(random);
        original.insert(original.end(),
                        {x + jitter(random), y * 0.5f + jitter(random), z * 2.0f + jitter(random)});
        latticeId.push_back((x * 10 + y) * 10 + z);
    }
    std::vector<float> welded = original;
    std::vector<int32_t> remap(400);
    const int unique = VertexListToIndexList(welded.data(), 12, 12, 0, 400, remap.data(), 0.0001f);
    std::vector<int> distinct(latticeId);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_EQ(unique, int(distinct.size()));
    for (int i = 0; i < 400; ++i) {
        for (int j = i + 1; j < 400; ++j) {
            ASSERT_EQ(remap[i] == remap[j], latticeId[i] == latticeId[j]);
        }
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(welded[remap[i] * 3 + a], original[i * 3 + a], 0.0001f);
        }
    }
}

TEST(VertexWeldTest, LatticeAcrossZeroWeldsAndComesOutInSortOrder) {
    // Each lattice point three times: as it is, with its zero coordinates
    // given as -0, and with z moved within the tolerance. x spreads most,
    // so it is the sort key and y the second coordinate; many points share
    // both and differ only in z.
    struct Point {
        float p[3];
        int lattice;
    };
    std::vector<Point> points;
    for (int x = -4; x <= 4; ++x) {
        for (int y = -2; y <= 2; ++y) {
            for (int z = -1; z <= 1; ++z) {
                const int lattice = ((x + 4) * 5 + y + 2) * 3 + z + 1;
                const float p[3] = {x * 0.75f, y * 0.5f, z * 0.25f};
                points.push_back({{p[0], p[1], p[2]}, lattice});
                points.push_back(
                    {{x == 0 ? -0.0f : p[0], y == 0 ? -0.0f : p[1], z == 0 ? -0.0f : p[2]},
                     lattice});
                points.push_back({{p[0], p[1], p[2] + 0.00003f}, lattice});
            }
        }
    }
    std::mt19937 random(5);
    std::shuffle(points.begin(), points.end(), random);
    const int count = int(points.size());
    std::vector<float> vertices;
    for (const Point& point : points) {
        vertices.insert(vertices.end(), point.p, point.p + 3);
    }
    std::vector<int32_t> remap(size_t(count), -1);
    const int unique =
        VertexListToIndexList(vertices.data(), 12, 12, 0, count, remap.data(), 0.0001f);
    ASSERT_EQ(unique, 9 * 5 * 3);
    std::vector<int> latticeOf(size_t(unique), -1);
    for (int i = 0; i < count; ++i) {
        ASSERT_GE(remap[i], 0);
        ASSERT_LT(remap[i], unique);
        if (latticeOf[remap[i]] < 0) {
            latticeOf[remap[i]] = points[i].lattice;
        }
        EXPECT_EQ(latticeOf[remap[i]], points[i].lattice);
        for (int a = 0; a < 3; ++a) {
            EXPECT_NEAR(vertices[remap[i] * 3 + a], points[i].p[a], 0.0001f);
        }
    }
    // The unique vertices are numbered as the sweep meets them: by x, then
    // by y.
    for (int u = 1; u < unique; ++u) {
        const float* before = &vertices[size_t(u - 1) * 3];
        const float* after = &vertices[size_t(u) * 3];
        EXPECT_TRUE(before[0] < after[0] || (before[0] == after[0] && before[1] <= after[1])) << u;
    }
}

}  // namespace
