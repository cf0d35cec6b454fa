#include "collision/polyhedra.h"

#include <gtest/gtest.h>

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

}  // namespace
