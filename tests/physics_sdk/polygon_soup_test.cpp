#include "collision/polygon_soup.h"

#include "collision/geometry.h"
#include "collision/mesh_builder.h"
#include "core/class_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// Adds count random triangles (edges about a unit long) scattered over a
// cube of the given size, with attributes 0 to 9.
void AddRandomTriangles(phMeshBuilder& builder, int count, float size, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> where(0.0f, size);
    std::uniform_real_distribution<float> offset(-1.0f, 1.0f);
    for (int i = 0; i < count; ++i) {
        const float cx = where(random);
        const float cy = where(random);
        const float cz = where(random);
        float v[9];
        for (int k = 0; k < 3; ++k) {
            v[3 * k] = cx + offset(random);
            v[3 * k + 1] = cy + offset(random);
            v[3 * k + 2] = cz + offset(random);
        }
        builder.AddFace(3, v, 12, i % 10);
    }
}

struct Soup {
    phMeshBuilder builder;
    phAABBPolygonSoup* soup = new phAABBPolygonSoup();

    ~Soup() { soup->Release(); }

    void Build() {
        builder.Close(false);
        ASSERT_TRUE(soup->Create(builder));
    }

    // Builds the soup from AddRandomTriangles(count, size, seed).
    void BuildRandom(int count, float size, unsigned seed) {
        builder.Open();
        AddRandomTriangles(builder, count, size, seed);
        Build();
    }
};

void TightBox(const phPolygonSoupDatabase& soup, int position, int count, float* boxMin,
              float* boxMax) {
    const float* vertices = soup.GetVertices();
    const int32_t* indices = soup.GetIndices();
    for (int a = 0; a < 3; ++a) {
        boxMin[a] = boxMax[a] = vertices[3 * indices[position] + a];
    }
    for (int i = 1; i < count; ++i) {
        for (int a = 0; a < 3; ++a) {
            const float v = vertices[3 * indices[position + i] + a];
            boxMin[a] = std::min(boxMin[a], v);
            boxMax[a] = std::max(boxMax[a], v);
        }
    }
}

// Faces as (position, count) read from the builder's runs.
std::vector<std::pair<int, int>> BuilderFaces(const phMeshBuilder& builder) {
    std::vector<std::pair<int, int>> faces;
    int position = 0;
    for (int f = 0; f < builder.GetFaceCount(); ++f) {
        const int length = builder.GetRunLengths()[f];
        faces.push_back({position + 1, length - 1});
        position += length;
    }
    return faces;
}

bool Inside(const float* innerMin, const float* innerMax, const float* outerMin,
            const float* outerMax) {
    for (int a = 0; a < 3; ++a) {
        if (innerMin[a] < outerMin[a] || innerMax[a] > outerMax[a]) {
            return false;
        }
    }
    return true;
}

int CollectPositions(void* context, const float*, int strideInBytes, const int32_t* indices, int) {
    EXPECT_EQ(strideInBytes, 12);
    auto& found = *static_cast<std::vector<const int32_t*>*>(context);
    found.push_back(indices);
    return 1;
}

std::set<int> Query(const phAABBPolygonSoup& soup, const phVector& boxMin, const phVector& boxMax) {
    std::vector<const int32_t*> found;
    soup.ForAllSectors(boxMin, boxMax, CollectPositions, &found);
    std::set<int> positions;
    for (const int32_t* p : found) {
        EXPECT_TRUE(positions.insert(int(p - soup.GetIndices())).second) << "face reported twice";
    }
    return positions;
}

TEST(PolygonSoupTest, TreeOverRandomMeshHasOneLeafPerFaceAndNestedBoxes) {
    for (const int faceCount : {2, 3, 7, 100, 1000}) {
        Soup s;
        s.BuildRandom(faceCount, 40.0f, 11u + unsigned(faceCount));
        const phAABBPolygonSoup& soup = *s.soup;
        const auto faces = BuilderFaces(s.builder);
        const int f = int(faces.size());
        ASSERT_GE(f, 2);
        ASSERT_EQ(soup.GetNodeCount(), f - 1);

        std::multiset<int> leaves;
        std::vector<int> parents(size_t(soup.GetNodeCount()), -1);
        float meshMin[3] = {1e30f, 1e30f, 1e30f};
        float meshMax[3] = {-1e30f, -1e30f, -1e30f};
        for (int i = 0; i < soup.GetNodeCount(); ++i) {
            const phAABBNode& node = soup.GetNodes()[i];
            for (const uint32_t child : {node.back, node.front}) {
                ASSERT_NE(child, kSoupNoChild);
                if (phIsLeafCode(child)) {
                    const int position = phLeafIndexPosition(child);
                    const int count = phLeafVertexCount(child);
                    leaves.insert(position);
                    float faceMin[3];
                    float faceMax[3];
                    TightBox(soup, position, count, faceMin, faceMax);
                    for (int a = 0; a < 3; ++a) {
                        meshMin[a] = std::min(meshMin[a], faceMin[a]);
                        meshMax[a] = std::max(meshMax[a], faceMax[a]);
                        faceMin[a] -= kSoupBoxPadding;
                        faceMax[a] += kSoupBoxPadding;
                    }
                    EXPECT_TRUE(Inside(faceMin, faceMax, node.boxMin, node.boxMax));
                } else {
                    const int index = int(child / 2);
                    ASSERT_GT(index, 0);
                    ASSERT_LT(index, soup.GetNodeCount());
                    EXPECT_EQ(parents[index], -1);
                    parents[index] = i;
                    const phAABBNode& inner = soup.GetNodes()[index];
                    EXPECT_TRUE(Inside(inner.boxMin, inner.boxMax, node.boxMin, node.boxMax));
                }
            }
        }
        std::multiset<int> expected;
        for (const auto& face : faces) {
            expected.insert(face.first);
        }
        EXPECT_EQ(leaves, expected);

        phVector rootMin;
        phVector rootMax;
        soup.GetAABB(rootMin, rootMax);
        for (int a = 0; a < 3; ++a) {
            EXPECT_FLOAT_EQ(rootMin[a], meshMin[a] - kSoupBoxPadding);
            EXPECT_FLOAT_EQ(rootMax[a], meshMax[a] + kSoupBoxPadding);
        }
        // A median split keeps the tree shallow.
        int depthBound = 2;
        for (int n = f; n > 1; n /= 2) {
            depthBound += 2;
        }
        EXPECT_GE(soup.GetDepth(), 1);
        EXPECT_LE(soup.GetDepth(), depthBound) << f;
    }
}

TEST(PolygonSoupTest, BoxQueriesMatchBruteForce) {
    Soup s;
    s.BuildRandom(800, 30.0f, 5u);
    const auto faces = BuilderFaces(s.builder);
    std::mt19937 random(9u);
    std::uniform_real_distribution<float> where(-2.0f, 32.0f);
    std::uniform_real_distribution<float> extent(0.0f, 6.0f);
    for (int q = 0; q < 300; ++q) {
        phVector boxMin(where(random), where(random), where(random));
        phVector boxMax = boxMin + phVector(extent(random), extent(random), extent(random));
        std::set<int> expected;
        for (const auto& face : faces) {
            float faceMin[3];
            float faceMax[3];
            TightBox(*s.soup, face.first, face.second, faceMin, faceMax);
            bool overlap = true;
            for (int a = 0; a < 3; ++a) {
                overlap = overlap && boxMax[a] >= faceMin[a] && faceMax[a] >= boxMin[a];
            }
            if (overlap) {
                expected.insert(face.first);
            }
        }
        EXPECT_EQ(Query(*s.soup, boxMin, boxMax), expected) << q;
    }
}

// Two unit triangles side by side in y = 0: x in [0, 1] and x in [2, 3].
void AddTwoTriangles(phMeshBuilder& builder) {
    const float a[] = {0, 0, 0, 0, 0, 1, 1, 0, 0};
    const float b[] = {2, 0, 0, 2, 0, 1, 3, 0, 0};
    builder.AddFace(3, a, 12, 4);
    builder.AddFace(3, b, 12, 5);
}

TEST(PolygonSoupTest, TwoFacesMakeOneNodeOfTwoLeaves) {
    Soup s;
    s.builder.Open();
    AddTwoTriangles(s.builder);
    s.Build();
    ASSERT_EQ(s.soup->GetNodeCount(), 1);
    const phAABBNode& root = s.soup->GetNodes()[0];
    EXPECT_TRUE(phIsLeafCode(root.back));
    EXPECT_TRUE(phIsLeafCode(root.front));
    EXPECT_EQ(phMakeLeafCode(21, 3), 5383u);
    EXPECT_EQ(phLeafIndexPosition(5383u), 21);
    EXPECT_EQ(phLeafVertexCount(5383u), 3);
}

TEST(PolygonSoupTest, BoxesThatOnlyTouchOverlap) {
    Soup s;
    s.builder.Open();
    AddTwoTriangles(s.builder);
    s.Build();
    struct Case {
        phVector boxMin;
        phVector boxMax;
        size_t faces;
    };
    const Case cases[] = {
        {phVector(-1, -1, -1), phVector(0, 1, 2), 1},           // touches x = 0
        {phVector(1, 0, 0), phVector(2, 0, 0), 2},              // touches both, flat box
        {phVector(1.001f, -1, -1), phVector(1.999f, 1, 2), 0},  // the gap between them
        {phVector(-1, 0, -1), phVector(4, 1, -0.0f), 2},        // max z of -0.0 touches z = 0
        {phVector(-1, 0.0001f, -1), phVector(4, 1, 2), 0},      // just above the plane
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Query(*s.soup, c.boxMin, c.boxMax).size(), c.faces);
    }
}

TEST(PolygonSoupTest, CallbackReturningZeroStopsTheQuery) {
    Soup s;
    s.BuildRandom(50, 3.0f, 3u);
    int calls = 0;
    auto stop = [](void* context, const float*, int, const int32_t*, int) {
        ++*static_cast<int*>(context);
        return 0;
    };
    s.soup->ForAllSectors(phVector(-10, -10, -10), phVector(10, 10, 10), stop, &calls);
    EXPECT_EQ(calls, 1);
    calls = 0;
    s.soup->ForAllSectorsRayHit(phVector(-10, 1, 1), phVector(10, 2, 2), stop, &calls);
    EXPECT_EQ(calls, 1);
}

TEST(PolygonSoupTest, SegmentQueryReportsEveryFaceTheSegmentHits) {
    Soup s;
    s.BuildRandom(600, 20.0f, 21u);
    const auto faces = BuilderFaces(s.builder);
    std::mt19937 random(4u);
    std::uniform_real_distribution<float> where(-3.0f, 23.0f);
    int hitsSeen = 0;
    for (int q = 0; q < 300; ++q) {
        const phVector p0(where(random), where(random), where(random));
        const phVector p1(where(random), where(random), where(random));
        std::vector<const int32_t*> found;
        s.soup->ForAllSectorsRayHit(p0, p1, CollectPositions, &found);
        std::set<int> reported;
        for (const int32_t* p : found) {
            reported.insert(int(p - s.soup->GetIndices()));
        }
        EXPECT_LE(reported.size(), faces.size());
        for (const auto& face : faces) {
            for (const bool reversed : {false, true}) {
                float t;
                phVector normal;
                const phVector& a = reversed ? p1 : p0;
                const phVector& b = reversed ? p0 : p1;
                if (RayHitsPolygon(a, b, s.soup->GetVertices(), 12,
                                   s.soup->GetIndices() + face.first, face.second, t, normal)) {
                    ++hitsSeen;
                    EXPECT_EQ(reported.count(face.first), 1u) << q;
                }
            }
        }
    }
    EXPECT_GT(hitsSeen, 20);
}

// A flat grid of unit cells, two triangles each, at y = 0 and far from the
// origin. The segment query's node boxes hug the faces, so rays along grid
// lines, through shared corners and lying in the faces' plane meet the boxes
// exactly at their edges; every face the face test hits must still come back.
TEST(PolygonSoupTest, SegmentQueryReachesFacesAtTheirBoxEdges) {
    const int cells = 8;
    const float origin = 1000.0f;
    Soup s;
    s.builder.Open();
    for (int i = 0; i < cells; ++i) {
        for (int k = 0; k < cells; ++k) {
            const float x = origin + float(i);
            const float z = origin + float(k);
            const float first[9] = {x, 0, z, x, 0, z + 1, x + 1, 0, z};
            const float second[9] = {x + 1, 0, z, x, 0, z + 1, x + 1, 0, z + 1};
            s.builder.AddFace(3, first, 12, 0);
            s.builder.AddFace(3, second, 12, 1);
        }
    }
    s.Build();
    const auto faces = BuilderFaces(s.builder);
    const float edge = origin + 3.0f;
    const float inside = origin + 3.5f;
    const float far = origin + float(cells) + 2.0f;
    const struct {
        phVector p0;
        phVector p1;
    } rays[] = {
        {phVector(edge, 5, edge), phVector(edge, -5, edge)},          // down through a corner
        {phVector(edge, 5, inside), phVector(edge, -5, inside)},      // down onto a grid line
        {phVector(inside, 5, inside), phVector(inside, -5, inside)},  // down onto a diagonal
        {phVector(origin, 5, origin), phVector(origin, -5, origin)},  // down at the mesh corner
        {phVector(origin - 2, 0, edge), phVector(far, 0, edge)},      // in the plane, on a line
        {phVector(origin - 2, 0, inside), phVector(far, 0, inside)},  // in the plane, across
        {phVector(inside, 0, origin - 2), phVector(inside, 0, far)},  // in the plane, along z
        {phVector(edge, 1, edge), phVector(edge, 0, edge)},           // ends on a corner
        {phVector(origin - 1, 0, far - 1), phVector(far - 1, 0, origin - 1)},  // along diagonals
        {phVector(origin - 1, 2, edge), phVector(far, -2, edge)},    // slanting down a line
        {phVector(edge, 2, origin - 1), phVector(edge, -2, far)},    // the same along z
        {phVector(inside, 0, inside), phVector(inside, 0, inside)},  // a point on a face
    };
    for (const auto& ray : rays) {
        std::vector<const int32_t*> found;
        s.soup->ForAllSectorsRayHit(ray.p0, ray.p1, CollectPositions, &found);
        std::set<int> reported;
        for (const int32_t* p : found) {
            reported.insert(int(p - s.soup->GetIndices()));
        }
        int hits = 0;
        for (const auto& face : faces) {
            for (const bool reversed : {false, true}) {
                float t;
                phVector normal;
                if (RayHitsPolygon(reversed ? ray.p1 : ray.p0, reversed ? ray.p0 : ray.p1,
                                   s.soup->GetVertices(), 12, s.soup->GetIndices() + face.first,
                                   face.second, t, normal)) {
                    ++hits;
                    EXPECT_EQ(reported.count(face.first), 1u)
                        << ray.p0.x << " " << ray.p0.y << " " << ray.p0.z;
                }
            }
        }
        EXPECT_EQ(reported.size(), found.size());
        if (ray.p0.y != 0.0f) {
            EXPECT_GT(hits, 0) << ray.p0.x << " " << ray.p0.z;
        }
    }
}

TEST(PolygonSoupTest, SingleFaceMeshHasATreeAndAnswersQueries) {
    Soup s;
    s.builder.Open();
    const float quad[] = {0, 0, 0, 0, 0, 10, 10, 0, 10, 10, 0, 0};
    s.builder.AddFace(4, quad, 12, 9);
    s.Build();
    ASSERT_EQ(s.soup->GetNodeCount(), 1);
    phVector boxMin;
    phVector boxMax;
    s.soup->GetAABB(boxMin, boxMax);
    EXPECT_FLOAT_EQ(boxMin.x, -kSoupBoxPadding);
    EXPECT_FLOAT_EQ(boxMax.z, 10.0f + kSoupBoxPadding);
    const std::set<int> found = Query(*s.soup, phVector(4, -1, 4), phVector(5, 1, 5));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(s.soup->GetIndices()[*found.begin() - 1], 9);
    std::vector<const int32_t*> hits;
    s.soup->ForAllSectorsRayHit(phVector(5, 5, 5), phVector(5, -5, 5), CollectPositions, &hits);
    EXPECT_EQ(hits.size(), 1u);
}

TEST(PolygonSoupTest, EmptyMeshHasNoTree) {
    Soup s;
    s.builder.Open();
    const float line[] = {0, 0, 0, 1, 0, 0, 2, 0, 0};
    s.builder.AddFace(3, line, 12, 0);
    s.Build();
    EXPECT_EQ(s.soup->GetNodeCount(), 0);
    phVector boxMin(5, 5, 5);
    phVector boxMax(5, 5, 5);
    s.soup->GetAABB(boxMin, boxMax);
    EXPECT_EQ(boxMin.x, 0.0f);
    EXPECT_EQ(boxMax.y, 0.0f);
    EXPECT_TRUE(Query(*s.soup, phVector(-9, -9, -9), phVector(9, 9, 9)).empty());
}

TEST(PolygonSoupTest, ClassIds) {
    Soup s;
    EXPECT_EQ(s.soup->GetClassId(), kClassIdAABBPolygonSoup);
    EXPECT_TRUE(s.soup->IsClass(kClassIdPolygonSoupDatabase));
    EXPECT_TRUE(s.soup->IsClass(kClassIdRef));
    EXPECT_FALSE(s.soup->IsClass(kClassIdCollision));
    EXPECT_EQ(s.soup->GetRefWord(), 0x101u);
}

void ExpectSameSoup(const phAABBPolygonSoup& a, const phAABBPolygonSoup& b) {
    ASSERT_EQ(a.GetVertexCount(), b.GetVertexCount());
    ASSERT_EQ(a.GetIndexCount(), b.GetIndexCount());
    ASSERT_EQ(a.GetNodeCount(), b.GetNodeCount());
    EXPECT_EQ(a.GetDepth(), b.GetDepth());
    if (a.GetNodeCount() == 0) {
        return;
    }
    EXPECT_EQ(std::memcmp(a.GetVertices(), b.GetVertices(), 12 * size_t(a.GetVertexCount())), 0);
    EXPECT_EQ(std::memcmp(a.GetIndices(), b.GetIndices(), 4 * size_t(a.GetIndexCount())), 0);
    EXPECT_EQ(std::memcmp(a.GetNodes(), b.GetNodes(), 32 * size_t(a.GetNodeCount())), 0);
}

std::string FileBytes(FILE* file) {
    std::string bytes;
    std::rewind(file);
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        bytes.push_back(char(c));
    }
    return bytes;
}

FILE* FileWithBytes(const std::string& bytes) {
    FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

TEST(PolygonSoupTest, FileFormRoundTrip) {
    for (const int faceCount : {0, 1, 2, 300}) {
        Soup s;
        s.BuildRandom(faceCount, 10.0f, 77u);
        FILE* file = std::tmpfile();
        phStdioFileStream stream(file);
        s.soup->WriteToStream(stream);
        const std::string bytes = FileBytes(file);
        ASSERT_GE(bytes.size(), 17u);
        EXPECT_EQ(bytes.substr(0, 5), std::string("aabb\n"));
        int32_t vertexCount;
        std::memcpy(&vertexCount, bytes.data() + 5, 4);
        EXPECT_EQ(vertexCount, s.soup->GetVertexCount());
        EXPECT_EQ(bytes.size(), 5 + 12 + 12 * size_t(s.soup->GetVertexCount()) +
                                    4 * size_t(s.soup->GetIndexCount()) +
                                    32 * size_t(s.soup->GetNodeCount()));

        std::rewind(file);
        phAABBPolygonSoup* copy = new phAABBPolygonSoup();
        EXPECT_TRUE(copy->ReadFromStream(stream));
        ExpectSameSoup(*s.soup, *copy);
        copy->Release();
        std::fclose(file);
    }
}

// Three triangles, two of them sharing an edge, stored byte for byte as
// tests/data/physics_sdk/three_faces.aabb: the stored form must not drift.
TEST(PolygonSoupTest, StoredFormMatchesTheGoldenFile) {
    Soup s;
    s.builder.Open();
    const float a[] = {0, 0, 0, 0, 0, 1, 1, 0, 0};
    const float b[] = {1, 0, 0, 0, 0, 1, 1, 0.5f, 1};
    const float c[] = {4, 1, 0, 4, 1, 2, 6, 1, 0};
    s.builder.AddFace(3, a, 12, 3);
    s.builder.AddFace(3, b, 12, 4);
    s.builder.AddFace(3, c, 12, 9);
    s.Build();
    FILE* file = std::tmpfile();
    phStdioFileStream stream(file);
    s.soup->WriteToStream(stream);
    const std::string bytes = FileBytes(file);
    std::fclose(file);

    FILE* golden = std::fopen("tests/data/physics_sdk/three_faces.aabb", "rb");
    ASSERT_NE(golden, nullptr);
    const std::string expected = FileBytes(golden);
    std::fclose(golden);
    EXPECT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(bytes == expected);

    // Read back, the soup answers box queries with the faces' own boxes.
    FILE* again = FileWithBytes(expected);
    phStdioFileStream readStream(again);
    std::rewind(again);
    phAABBPolygonSoup* copy = new phAABBPolygonSoup();
    ASSERT_TRUE(copy->ReadFromStream(readStream));
    ExpectSameSoup(*s.soup, *copy);
    EXPECT_EQ(Query(*copy, phVector(4.5f, 0.9f, 0.5f), phVector(5.0f, 1.1f, 1.0f)).size(), 1u);
    EXPECT_TRUE(Query(*copy, phVector(2.0f, 0.0f, 0.0f), phVector(3.0f, 1.0f, 1.0f)).empty());
    EXPECT_EQ(Query(*copy, phVector(0.5f, -0.1f, 0.2f), phVector(0.6f, 0.1f, 0.3f)).size(), 2u);
    copy->Release();
    std::fclose(again);
}

// A terraced grid over both signs of x and z, every cell given twice, so
// that many faces share a box maximum: its stored form, summed up as a
// 64-bit FNV-1a digest, must not drift either.
TEST(PolygonSoupTest, StoredFormOfATerracedGridMatchesItsDigest) {
    Soup s;
    s.builder.Open();
    const int cells = 24;
    auto corner = [&](int i, int j, float* v) {
        v[0] = float(i - cells / 2) * 0.5f;
        v[1] = float((i * 7 + j * 13) % 5) * 0.25f - 0.5f;
        v[2] = float(j - cells / 2) * 0.5f;
    };
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 0; i < cells; ++i) {
            for (int j = 0; j < cells; ++j) {
                float a[9];
                float b[9];
                corner(i, j, a);
                corner(i + 1, j, a + 3);
                corner(i + 1, j + 1, a + 6);
                corner(i, j, b);
                corner(i + 1, j + 1, b + 3);
                corner(i, j + 1, b + 6);
                s.builder.AddFace(3, a, 12, copy);
                s.builder.AddFace(3, b, 12, copy);
            }
        }
    }
    s.Build();
    ASSERT_EQ(s.soup->GetNodeCount(), 4 * cells * cells - 1);
    uint64_t digest = 14695981039346656037ull;
    s.soup->Serialize(
        [](void* userData, void* buffer, int size) {
            uint64_t& hash = *static_cast<uint64_t*>(userData);
            const unsigned char* bytes = static_cast<const unsigned char*>(buffer);
            for (int i = 0; i < size; ++i) {
                hash = (hash ^ bytes[i]) * 1099511628211ull;
            }
        },
        &digest);
    EXPECT_EQ(digest, 0x92f71786dcdbd91bull);
}

TEST(PolygonSoupTest, CallbackFormRoundTrip) {
    Soup s;
    s.BuildRandom(120, 10.0f, 8u);
    struct Blocks {
        std::vector<std::string> written;
        size_t next = 0;
    } blocks;
    s.soup->Serialize(
        [](void* userData, void* buffer, int size) {
            static_cast<Blocks*>(userData)->written.emplace_back(static_cast<char*>(buffer),
                                                                 size_t(size));
        },
        &blocks);
    // Three counts and two arrays, then one block per node.
    EXPECT_EQ(blocks.written.size(), 5u + size_t(s.soup->GetNodeCount()));
    EXPECT_EQ(blocks.written.back().size(), 32u);

    phAABBPolygonSoup* copy = new phAABBPolygonSoup();
    EXPECT_TRUE(copy->Deserialize(
        [](void* userData, void* buffer, int size) {
            Blocks& b = *static_cast<Blocks*>(userData);
            const std::string& block = b.written[b.next++];
            ASSERT_EQ(block.size(), size_t(size));
            std::memcpy(buffer, block.data(), block.size());
        },
        &blocks));
    ExpectSameSoup(*s.soup, *copy);
    copy->Release();
}

TEST(PolygonSoupTest, ReadingRefusesDamagedFiles) {
    Soup s;
    s.BuildRandom(3, 10.0f, 2u);
    FILE* file = std::tmpfile();
    phStdioFileStream stream(file);
    s.soup->WriteToStream(stream);
    const std::string good = FileBytes(file);
    std::fclose(file);

    const size_t vertexBytes = 12 * size_t(s.soup->GetVertexCount());
    const size_t indexAt = 5 + 4 + vertexBytes;
    const size_t nodeCountAt = indexAt + 4 + 4 * size_t(s.soup->GetIndexCount());
    const size_t firstNodeAt = nodeCountAt + 4;
    auto withWord = [&](size_t at, uint32_t word) {
        std::string bytes = good;
        std::memcpy(&bytes[at], &word, 4);
        return bytes;
    };
    auto withWords = [&](size_t at, uint32_t first, uint32_t second) {
        std::string bytes = withWord(at, first);
        std::memcpy(&bytes[at + 4], &second, 4);
        return bytes;
    };
    const uint32_t index = uint32_t(s.soup->GetIndexCount());
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"header", "aabc" + good.substr(4)},
        {"empty file", ""},
        {"cut short", good.substr(0, good.size() - 3)},
        {"negative vertex count", withWord(5, 0xffffffffu)},
        {"huge index count", withWord(indexAt, 0x7fffffffu)},
        {"more nodes than faces", withWord(nodeCountAt, index + 1)},
        {"leaf past the indices", withWord(firstNodeAt + 24, (index << 8) | (3 << 1) | 1)},
        {"leaf of no vertices", withWord(firstNodeAt + 24, (1 << 8) | 1)},
        {"leaf at the first entry", withWord(firstNodeAt + 24, (0 << 8) | (3 << 1) | 1)},
        {"child past the nodes", withWord(firstNodeAt + 24, 2 * 9)},
        {"node named twice", withWords(firstNodeAt + 24, 2, 2)},
        {"vertex index out of range", withWord(indexAt + 8, 1000)},
    };
    for (const auto& c : cases) {
        FILE* damaged = FileWithBytes(c.bytes);
        phStdioFileStream in(damaged);
        phAABBPolygonSoup* copy = new phAABBPolygonSoup();
        EXPECT_FALSE(copy->ReadFromStream(in)) << c.what;
        EXPECT_EQ(copy->GetNodeCount(), 0) << c.what;
        EXPECT_EQ(copy->GetIndexCount(), 0) << c.what;
        EXPECT_TRUE(Query(*copy, phVector(-99, -99, -99), phVector(99, 99, 99)).empty());
        copy->Release();
        std::fclose(damaged);
    }
}

// A soup read back from blocks whose tree is a chain: node i holds face i
// and node i + 1, so the tree is as deep as it has nodes.
// A soup read through the callback form from its arrays as given, or null
// when reading refuses them.
phAABBPolygonSoup* SoupFromParts(const std::vector<float>& vertices,
                                 const std::vector<int32_t>& indices,
                                 const std::vector<phAABBNode>& nodes) {
    std::vector<std::string> blocks;
    auto add = [&blocks](const void* data, size_t size) {
        blocks.emplace_back(static_cast<const char*>(data), size);
    };
    const int32_t counts[3] = {int32_t(vertices.size() / 3), int32_t(indices.size()),
                               int32_t(nodes.size())};
    add(&counts[0], 4);
    add(vertices.data(), 4 * vertices.size());
    add(&counts[1], 4);
    add(indices.data(), 4 * indices.size());
    add(&counts[2], 4);
    for (const phAABBNode& node : nodes) {
        add(&node, sizeof(node));
    }
    struct Reader {
        std::vector<std::string>* blocks;
        size_t next;
    } reader = {&blocks, 0};
    phAABBPolygonSoup* soup = new phAABBPolygonSoup();
    const bool read = soup->Deserialize(
        [](void* userData, void* buffer, int size) {
            Reader& r = *static_cast<Reader*>(userData);
            std::memcpy(buffer, (*r.blocks)[r.next++].data(), size_t(size));
        },
        &reader);
    if (!read) {
        soup->Release();
        return nullptr;
    }
    return soup;
}

TEST(PolygonSoupTest, QueriesWalkATreeAsDeepAsItHasNodes) {
    const int nodeCount = 300;
    const int faceCount = nodeCount + 1;
    std::vector<float> vertices;
    std::vector<int32_t> indices;
    for (int f = 0; f < faceCount; ++f) {
        const float x = float(f);
        const float triangle[] = {x, 0, 0, x, 0, 1, x + 1, 0, 0};
        vertices.insert(vertices.end(), triangle, triangle + 9);
        indices.insert(indices.end(), {f, 3 * f, 3 * f + 1, 3 * f + 2});
    }
    std::vector<phAABBNode> nodes(nodeCount);
    for (int i = 0; i < nodeCount; ++i) {
        phAABBNode& node = nodes[size_t(i)];
        node = {{float(i), -1, -1},
                {float(faceCount) + 1, 1, 2},
                phMakeLeafCode(4 * i + 1, 3),
                uint32_t(2 * (i + 1))};
    }
    nodes.back().front = phMakeLeafCode(4 * nodeCount + 1, 3);
    phAABBPolygonSoup* soup = SoupFromParts(vertices, indices, nodes);
    ASSERT_NE(soup, nullptr);
    EXPECT_EQ(soup->GetDepth(), nodeCount);
    EXPECT_EQ(Query(*soup, phVector(-1, -1, -1), phVector(999, 1, 2)).size(), size_t(faceCount));
    std::vector<const int32_t*> found;
    // Along the row of faces, in their plane: it passes through every face's box.
    soup->ForAllSectorsRayHit(phVector(-5, 0, 0.25f), phVector(999, 0, 0.25f), CollectPositions,
                              &found);
    EXPECT_EQ(found.size(), size_t(faceCount));
    soup->Release();
}

// A stored tree may number a child node below its parent: here the root's
// back child is node 2, whose back child is node 1, and node 2 has no front
// child. The segment query must still reach the faces under node 1.
TEST(PolygonSoupTest, SegmentQueryReadsTreesWhoseNodesComeInAnyOrder) {
    std::vector<float> vertices;
    std::vector<int32_t> indices;
    for (int f = 0; f < 3; ++f) {
        const float x = 2.0f * float(f);
        const float triangle[] = {x, 0, 0, x, 0, 1, x + 1, 0, 0};
        vertices.insert(vertices.end(), triangle, triangle + 9);
        indices.insert(indices.end(), {f, 3 * f, 3 * f + 1, 3 * f + 2});
    }
    const std::vector<phAABBNode> nodes = {
        {{-1, -1, -1}, {6, 1, 2}, 2 * 2, phMakeLeafCode(1, 3)},
        {{1, -1, -1}, {6, 1, 2}, phMakeLeafCode(5, 3), phMakeLeafCode(9, 3)},
        {{1, -1, -1}, {6, 1, 2}, 2 * 1, kSoupNoChild},
    };
    phAABBPolygonSoup* soup = SoupFromParts(vertices, indices, nodes);
    ASSERT_NE(soup, nullptr);
    for (int f = 0; f < 3; ++f) {
        const float x = 2.0f * float(f) + 0.25f;
        std::vector<const int32_t*> found;
        soup->ForAllSectorsRayHit(phVector(x, 1, 0.25f), phVector(x, -1, 0.25f), CollectPositions,
                                  &found);
        ASSERT_EQ(found.size(), 1u) << f;
        EXPECT_EQ(found[0] - soup->GetIndices(), 4 * f + 1) << f;
    }
    soup->Release();
}

TEST(PolygonSoupTest, DumpTextListsVerticesIndicesAndNodes) {
    Soup s;
    s.builder.Open();
    AddTwoTriangles(s.builder);
    s.Build();
    FILE* file = std::tmpfile();
    phStdioFileStream stream(file);
    s.soup->DumpText(stream);
    std::fflush(file);
    const std::string text = FileBytes(file);
    std::fclose(file);
    EXPECT_EQ(text.rfind("Vertex Count 6\n0: ", 0), 0u) << text;
    EXPECT_NE(text.find("\nIndex Count 8\n"), std::string::npos);
    EXPECT_NE(text.find("\n\n\nNodes Count 1\nnode: 0\nmin "), std::string::npos) << text;
    EXPECT_NE(text.find("\nleaf 3 1\nleaf 3 5\n\n"), std::string::npos) << text;
}

}  // namespace
