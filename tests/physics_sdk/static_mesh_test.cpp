#include "collision/static_mesh.h"

#include "collision/static_mesh_tree.h"
#include "core/class_ids.h"
#include "test_convex_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Three draws of the SDK's pseudo-random sequence from its start.
struct Draws {
    uint32_t state = 0;
    uint32_t Next() {
        state = state * 31415821u + 1u;
        return state;
    }
};

// A tree collision shape released at the end of the test.
struct Tree {
    phCollisionPolygonalSoup* shape;

    explicit Tree(Draws& draws, phTreeFaceCallback faceCallback = nullptr) {
        const uint32_t r0 = draws.Next();
        const uint32_t r1 = draws.Next();
        const uint32_t r2 = draws.Next();
        shape = phCreateTreeCollision(nullptr, faceCallback, r0, r1, r2);
    }
    ~Tree() { shape->Release(); }

    void AddQuad(float x0, float y0, float x1, float y1, int attribute, float z0 = 0.0f,
                 float z1 = 1.0f) {
        const float quad[] = {x0, y0, z0, x0, y0, z1, x1, y1, z1, x1, y1, z0};
        phTreeCollisionAddFace(*shape, 4, quad, 12, attribute);
    }

    phTreeCollisionMesh& Mesh() const { return *phGetTreeCollisionMesh(*shape); }
};

// A terrain strip of quads along x, one unit deep in z; quad i has
// attribute i.
void AddStrip(Tree& tree, const std::vector<float>& heights) {
    for (size_t i = 0; i + 1 < heights.size(); ++i) {
        tree.AddQuad(float(i), heights[i], float(i + 1), heights[i + 1], int(i));
    }
}

float Cast(const Tree& tree, const phVector& p0, const phVector& p1, phRayHit& hit) {
    return tree.shape->RayCast(p0, p1, hit);
}

TEST(StaticMeshTest, NewTreeCollisionIsAnEmptyMeshWithAProperKeyBox) {
    Draws draws;
    Tree tree(draws);
    EXPECT_EQ(tree.shape->GetKind(), kCollisionPolygonalSoup);
    EXPECT_EQ(tree.shape->GetRefWord(), 0x101u);
    EXPECT_FALSE(tree.shape->HasOffset());
    EXPECT_TRUE(tree.shape->IsClass(kClassIdCollision));
    EXPECT_FALSE(tree.shape->IsClass(kClassIdConvexCollision));
    EXPECT_EQ(tree.shape->GetStoredSignature(), tree.shape->GetSignature());
    // The first draws are 1 and 31415822, both near 0 as floats.
    EXPECT_LT(tree.shape->GetBoxMin().x, -0.1f + 1e-6f);
    EXPECT_NEAR(tree.shape->GetBoxMin().y, -0.1f, 1e-6f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(tree.shape->GetBoxMin()[i], 0.0f);
        EXPECT_EQ(tree.shape->GetBoxMin()[i], -tree.shape->GetBoxMax()[i]);
    }
    EXPECT_FALSE(tree.Mesh().IsBuilding());
    EXPECT_EQ(tree.Mesh().GetNodeCount(), 0);
    phRayHit hit;
    EXPECT_GE(Cast(tree, phVector(0, 5, 0), phVector(0, -5, 0), hit), 1.0f);
}

TEST(StaticMeshTest, KeyBoxFromDraws) {
    // Draws 0.5, 0.25 and almost 1: min = (-(0.25 + 0.1), 0.5 - 0.1, 1 - 0.1).
    phVector boxMin;
    phVector boxMax;
    phTreeCollisionKeyBox(0x80000000u, 0x40000000u, 0xffffffffu, boxMin, boxMax);
    EXPECT_FLOAT_EQ(boxMin.x, -0.35f);
    EXPECT_FLOAT_EQ(boxMin.y, 0.4f);
    EXPECT_NEAR(boxMin.z, 0.9f, 1e-6f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(boxMax[i], -boxMin[i]);
    }
    // The shape orders the corners.
    phCollisionPolygonalSoup* shape =
        phCreateTreeCollision(nullptr, nullptr, 0x80000000u, 0x40000000u, 0xffffffffu);
    EXPECT_FLOAT_EQ(shape->GetBoxMin().y, -0.4f);
    EXPECT_FLOAT_EQ(shape->GetBoxMax().y, 0.4f);
    EXPECT_NEAR(shape->GetBoxMin().z, -0.9f, 1e-6f);
    shape->Release();
}

TEST(StaticMeshTest, SignaturesDifferBeforeAndAfterTheBuild) {
    Draws draws;
    Tree a(draws);
    Tree b(draws);
    EXPECT_NE(a.shape->GetSignature(), b.shape->GetSignature());

    // The same faces in both: equal boxes and callbacks, still two keys.
    for (Tree* tree : {&a, &b}) {
        const uint32_t before = tree->shape->GetSignature();
        phTreeCollisionBeginBuild(*tree->shape);
        AddStrip(*tree, {0, 0, 1, 1});
        EXPECT_TRUE(phTreeCollisionEndBuild(*tree->shape, 1));
        EXPECT_NE(tree->shape->GetSignature(), before);
        EXPECT_EQ(tree->shape->GetStoredSignature(), tree->shape->GetSignature());
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.shape->GetBoxMin()[i], b.shape->GetBoxMin()[i]);
        EXPECT_EQ(a.shape->GetBoxMax()[i], b.shape->GetBoxMax()[i]);
    }
    EXPECT_NE(a.shape->GetSignature(), b.shape->GetSignature());
}

TEST(StaticMeshTest, EndOfBuildGivesTheShapeTheSoupBox) {
    Draws draws;
    Tree tree(draws);
    phTreeCollisionBeginBuild(*tree.shape);
    EXPECT_TRUE(tree.Mesh().IsBuilding());
    AddStrip(tree, {0, 2, 2, 0});
    phTreeCollisionEndBuild(*tree.shape, 0);
    EXPECT_FALSE(tree.Mesh().IsBuilding());
    phVector soupMin;
    phVector soupMax;
    tree.Mesh().GetAABB(soupMin, soupMax);
    EXPECT_FLOAT_EQ(soupMin.x, -0.125f);
    EXPECT_FLOAT_EQ(soupMax.y, 2.125f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tree.shape->GetBoxMin()[i], soupMin[i]);
        EXPECT_EQ(tree.shape->GetBoxMax()[i], soupMax[i]);
    }
    // The box under a matrix: moved and turned a quarter about y.
    phMatrix matrix = phMatrix::RotationY(float(M_PI / 2));
    matrix[3] = phVector(10, 20, 30);
    phVector boxMin;
    phVector boxMax;
    tree.shape->CalcAABB(matrix, boxMin, boxMax);
    EXPECT_NEAR(boxMax.y - boxMin.y, soupMax.y - soupMin.y, 1e-5f);
    EXPECT_NEAR(boxMax.x - boxMin.x, soupMax.z - soupMin.z, 1e-5f);
    EXPECT_NEAR(boxMax.z - boxMin.z, soupMax.x - soupMin.x, 1e-5f);
    EXPECT_NEAR(boxMin.y, 20.0f + soupMin.y, 1e-5f);
}

TEST(StaticMeshTest, BuildCallsOutOfOrderAreIgnored) {
    Draws draws;
    Tree tree(draws);
    tree.AddQuad(0, 0, 1, 0, 1);
    EXPECT_FALSE(phTreeCollisionEndBuild(*tree.shape, 1));
    EXPECT_EQ(tree.Mesh().GetNodeCount(), 0);

    phTreeCollisionBeginBuild(*tree.shape);
    tree.AddQuad(0, 0, 1, 0, 1);
    phTreeCollisionBeginBuild(*tree.shape);
    tree.AddQuad(5, 0, 6, 0, 2);
    phTreeCollisionEndBuild(*tree.shape, 0);
    EXPECT_EQ(tree.Mesh().GetNodeCount(), 1);
    EXPECT_EQ(tree.Mesh().GetIndexCount(), 10);

    // A second build replaces the first.
    phTreeCollisionBeginBuild(*tree.shape);
    tree.AddQuad(0, 0, 1, 0, 1);
    phTreeCollisionEndBuild(*tree.shape, 0);
    EXPECT_EQ(tree.Mesh().GetIndexCount(), 5);

    // A build left open is freed with the shape.
    phTreeCollisionBeginBuild(*tree.shape);
    tree.AddQuad(0, 0, 1, 0, 1);
}

TEST(StaticMeshTest, RayCastsHitFacesFromTheFront) {
    Draws draws;
    Tree tree(draws);
    phTreeCollisionBeginBuild(*tree.shape);
    AddStrip(tree, {0, 0, 1, 1, 0});
    phTreeCollisionEndBuild(*tree.shape, 0);

    struct Case {
        const char* what;
        phVector p0;
        phVector p1;
        float t;  // 2 for a miss
        int attribute;
        phVector normal;
    };
    const float s = float(M_SQRT1_2);
    const Case cases[] = {
        {"straight down on the flat", phVector(0.5f, 4, 0.5f), phVector(0.5f, -4, 0.5f), 0.5f, 0,
         phVector(0, 1, 0)},
        {"down on the slope", phVector(1.5f, 4.5f, 0.5f), phVector(1.5f, -3.5f, 0.5f), 0.5f, 1,
         phVector(-s, s, 0)},
        {"from behind", phVector(0.5f, -4, 0.5f), phVector(0.5f, 4, 0.5f), 2.0f, 0, phVector()},
        {"on the shared edge", phVector(1, 2, 0.5f), phVector(1, -2, 0.5f), 0.5f, -1, phVector()},
        {"off the strip", phVector(0.5f, 4, 1.5f), phVector(0.5f, -4, 1.5f), 2.0f, 0, phVector()},
        {"stops short", phVector(0.5f, 4, 0.5f), phVector(0.5f, 1, 0.5f), 2.0f, 0, phVector()},
        {"down the falling slope", phVector(3.9f, 0.5f, 0.5f), phVector(2.9f, 0.5f, 0.5f), 0.4f, 3,
         phVector(s, s, 0)},
    };
    for (const Case& c : cases) {
        phRayHit hit;
        hit.attribute = -99;
        const float t = Cast(tree, c.p0, c.p1, hit);
        if (c.t >= 1.0f) {
            EXPECT_GE(t, 1.0f) << c.what;
            EXPECT_EQ(hit.attribute, -99) << c.what;
            continue;
        }
        ASSERT_NEAR(t, c.t, 1e-5f) << c.what;
        EXPECT_NEAR(phLength(hit.normal), 1.0f, 1e-5f) << c.what;
        if (c.attribute >= 0) {
            EXPECT_EQ(hit.attribute, c.attribute) << c.what;
            EXPECT_NEAR(hit.normal.x, c.normal.x, 1e-5f) << c.what;
            EXPECT_NEAR(hit.normal.y, c.normal.y, 1e-5f) << c.what;
            EXPECT_NEAR(hit.normal.z, c.normal.z, 1e-5f) << c.what;
        } else {
            EXPECT_TRUE(hit.attribute == 0 || hit.attribute == 1) << c.what;
        }
    }
}

TEST(StaticMeshTest, RayThroughTwoFacesReportsTheNearerOne) {
    Draws draws;
    Tree tree(draws);
    phTreeCollisionBeginBuild(*tree.shape);
    tree.AddQuad(0, 0, 1, 0, 8);
    tree.AddQuad(0, 1, 1, 1, 7);
    phTreeCollisionEndBuild(*tree.shape, 1);
    for (const float x : {0.25f, 0.75f}) {
        phRayHit hit;
        const float t = Cast(tree, phVector(x, 3, 0.5f), phVector(x, -1, 0.5f), hit);
        EXPECT_NEAR(t, 0.5f, 1e-6f);
        EXPECT_EQ(hit.attribute, 7);
    }
}

TEST(StaticMeshTest, ShapeWithoutRayHitCallbackMisses) {
    phCollisionPolygonalSoup* shape = new phCollisionPolygonalSoup(
        phVector(1, 1, 1), phVector(-1, -1, -1), nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(shape->GetBoxMin().x, -1.0f);
    EXPECT_EQ(shape->GetBoxMax().x, 1.0f);
    phRayHit hit;
    EXPECT_FLOAT_EQ(shape->RayCast(phVector(0, 5, 0), phVector(0, -5, 0), hit), kMeshRayMiss);
    EXPECT_EQ(shape->GetVolume(), 0.0f);
    const phVector below = shape->VolumeBelowPlane(phMatrix(), nullptr, nullptr);
    EXPECT_EQ(below.w, 0.0f);
    shape->Release();
}

phMeshCollideDesc BoxQuery(const phVector& boxMin, const phVector& boxMax) {
    phMeshCollideDesc desc;
    desc.boxMin = boxMin;
    desc.boxMax = boxMax;
    return desc;
}

TEST(StaticMeshTest, FlatTerrainCollapsesToOneFaceThatStillCollides) {
    Draws draws;
    Tree tree(draws);
    phTreeCollisionBeginBuild(*tree.shape);
    for (int i = 0; i < 200; ++i) {
        tree.AddQuad(float(i), 0.0f, float(i + 1), 0.0f, 3);
    }
    EXPECT_TRUE(phTreeCollisionEndBuild(*tree.shape, 1));
    ASSERT_EQ(tree.Mesh().GetNodeCount(), 1);
    EXPECT_FLOAT_EQ(tree.shape->GetBoxMax().x, 200.125f);

    // A box resting on the ground in the middle of the strip.
    phMeshCollideDesc desc = BoxQuery(phVector(99.5f, -0.01f, 0.2f), phVector(100.5f, 0.99f, 0.8f));
    tree.shape->Collide(desc);
    ASSERT_EQ(desc.faceCount, 1);
    EXPECT_EQ(desc.faceAttributes[0], 3);
    EXPECT_EQ(desc.faceVertexCounts[0], 4);
    EXPECT_EQ(desc.vertexStrideInBytes, 12);
    float area = 0.0f;
    for (int i = 1; i + 1 < 4; ++i) {
        const phVector p0(desc.vertices + 3 * desc.faceIndices[0]);
        const phVector a = phVector(desc.vertices + 3 * desc.faceIndices[i]) - p0;
        const phVector b = phVector(desc.vertices + 3 * desc.faceIndices[i + 1]) - p0;
        area += 0.5f * phCross(a, b).y;
    }
    EXPECT_NEAR(area, 200.0f, 1e-3f);

    // A box above the ground finds nothing.
    desc = BoxQuery(phVector(99.5f, 0.01f, 0.2f), phVector(100.5f, 0.99f, 0.8f));
    tree.shape->Collide(desc);
    EXPECT_EQ(desc.faceCount, 0);

    phRayHit hit;
    const float t = Cast(tree, phVector(150.25f, 1, 0.5f), phVector(150.25f, -1, 0.5f), hit);
    EXPECT_NEAR(t, 0.5f, 1e-6f);
    EXPECT_EQ(hit.attribute, 3);
    EXPECT_NEAR(hit.normal.y, 1.0f, 1e-6f);
}

TEST(StaticMeshTest, FlatStripMergedIntoOneFaceIsHitByEveryRayOverIt) {
    // A flat level's terrain becomes one long thin face; picking and the
    // ground test cast rays straight down at it anywhere along its length.
    struct Strip {
        int first;
        int count;
        float height;
    };
    const Strip strips[] = {{0, 500, 0.0f}, {3600, 1000, 2.5f}};
    for (const Strip& strip : strips) {
        SCOPED_TRACE(strip.first);
        Draws draws;
        Tree tree(draws);
        phTreeCollisionBeginBuild(*tree.shape);
        for (int i = strip.first; i < strip.first + strip.count; ++i) {
            tree.AddQuad(float(i), strip.height, float(i + 1), strip.height, 5);
        }
        phTreeCollisionEndBuild(*tree.shape, 1);
        ASSERT_EQ(tree.Mesh().GetNodeCount(), 1);
        int misses = 0;
        const int stepsAlong = 20 * strip.count;
        for (int i = 1; i < stepsAlong; ++i) {
            const float x = float(strip.first + double(i) / 20.0 + 0.0137);
            for (const float z : {0.013f, 0.25f, 0.5f, 0.77f, 0.987f}) {
                phRayHit hit;
                const float t = Cast(tree, phVector(x, strip.height + 3, z),
                                     phVector(x, strip.height - 1, z), hit);
                if (!(t < 1.0f)) {
                    ++misses;
                    continue;
                }
                EXPECT_NEAR(t, 0.75f, 1e-5f);
                EXPECT_EQ(hit.attribute, 5);
            }
        }
        EXPECT_EQ(misses, 0);
    }
}

TEST(StaticMeshTest, OptimizedBumpyTerrainFarFromTheOriginKeepsItsSurface) {
    // Optimising must not flatten or fold the surface, wherever it lies: a
    // ray straight down anywhere over the strip hits it near the height the
    // caller gave.
    const int first = 3600;
    const int count = 400;
    auto height = [](int i) { return float(std::sin(i * 0.2)); };
    Draws draws;
    Tree tree(draws);
    phTreeCollisionBeginBuild(*tree.shape);
    for (int i = first; i < first + count; ++i) {
        tree.AddQuad(float(i), height(i), float(i + 1), height(i + 1), 0);
    }
    phTreeCollisionEndBuild(*tree.shape, 1);
    EXPECT_LT(tree.Mesh().GetNodeCount() + 1, count);
    for (int i = first; i < first + count; ++i) {
        for (const float f : {0.25f, 0.5f, 0.75f}) {
            for (const float z : {0.1f, 0.9f}) {
                const float x = float(i) + f;
                phRayHit hit;
                const float t = Cast(tree, phVector(x, 5, z), phVector(x, -5, z), hit);
                ASSERT_LT(t, 1.0f) << x << " " << z;
                const float expected = height(i) + (height(i + 1) - height(i)) * f;
                EXPECT_NEAR(5.0f - 10.0f * t, expected, 0.05f) << x << " " << z;
                EXPECT_GT(hit.normal.y, 0.9f);
            }
        }
    }
}

TEST(StaticMeshTest, MeshOfTinyFacesOnlyEndsEmpty) {
    Draws draws;
    Tree tree(draws);
    phTreeCollisionBeginBuild(*tree.shape);
    for (int i = 0; i < 10; ++i) {
        tree.AddQuad(float(i), 0.0f, float(i) + 0.0003f, 0.0f, 0, 0.0f, 0.0004f);
    }
    phTreeCollisionEndBuild(*tree.shape, 1);
    EXPECT_EQ(tree.Mesh().GetNodeCount(), 0);
    EXPECT_EQ(tree.shape->GetBoxMin().x, 0.0f);
    EXPECT_EQ(tree.shape->GetBoxMax().x, 0.0f);
    phMeshCollideDesc desc = BoxQuery(phVector(-9, -9, -9), phVector(9, 9, 9));
    tree.shape->Collide(desc);
    EXPECT_EQ(desc.faceCount, 0);
}

int g_faceCallbackCalls = 0;
void* g_faceCallbackBody = nullptr;

void CountFace(void*, void* body, const float*, int, int indexCount, const int32_t*) {
    ++g_faceCallbackCalls;
    g_faceCallbackBody = body;
    EXPECT_EQ(indexCount, 3);
}

TEST(StaticMeshTest, ContactQueryStopsAtTheFaceBufferLimit) {
    Draws draws;
    Tree tree(draws, CountFace);
    phTreeCollisionBeginBuild(*tree.shape);
    // 70 x 70 cells of two triangles each, every triangle with an attribute
    // of its own.
    for (int i = 0; i < 70; ++i) {
        for (int k = 0; k < 70; ++k) {
            const float x = float(i);
            const float z = float(k);
            const float a[] = {x, 0, z, x, 0, z + 1, x + 1, 0, z + 1};
            const float b[] = {x, 0, z, x + 1, 0, z + 1, x + 1, 0, z};
            phTreeCollisionAddFace(*tree.shape, 3, a, 12, 2 * (i * 70 + k));
            phTreeCollisionAddFace(*tree.shape, 3, b, 12, 2 * (i * 70 + k) + 1);
        }
    }
    phTreeCollisionEndBuild(*tree.shape, 0);
    g_faceCallbackCalls = 0;
    int body = 0;
    phMeshCollideDesc desc = BoxQuery(phVector(-1, -1, -1), phVector(71, 1, 71));
    desc.callerWords[1] = &body;
    tree.shape->Collide(desc);
    EXPECT_EQ(desc.faceCount, kTreeQueryMaxFaces);
    EXPECT_EQ(g_faceCallbackCalls, kTreeQueryMaxFaces);
    EXPECT_EQ(g_faceCallbackBody, &body);
    int indices = 0;
    for (int f = 0; f < desc.faceCount; ++f) {
        indices += desc.faceVertexCounts[f];
    }
    EXPECT_LT(indices, kTreeQueryMaxIndices);

    // A small box gets exactly the faces it overlaps.
    desc = BoxQuery(phVector(10.2f, -1, 20.2f), phVector(10.8f, 1, 20.8f));
    tree.shape->Collide(desc);
    ASSERT_EQ(desc.faceCount, 2);
    EXPECT_EQ(desc.faceAttributes[0] / 2, 10 * 70 + 20);
    EXPECT_EQ(desc.faceAttributes[0] + desc.faceAttributes[1], 4 * (10 * 70 + 20) + 1);
}

int g_walkFaces = 0;
float g_walkMinY = 1e9f;

void WalkFace(void*, int vertexCount, const float* vertices) {
    ++g_walkFaces;
    for (int i = 0; i < vertexCount; ++i) {
        g_walkMinY = std::fmin(g_walkMinY, vertices[3 * i + 1]);
    }
}

TEST(StaticMeshTest, FaceWalkVisitsEveryFaceInWorldSpace) {
    Draws draws;
    Tree tree(draws);
    phTreeCollisionBeginBuild(*tree.shape);
    AddStrip(tree, {0, 1, 0, 1, 0, 1});
    phTreeCollisionEndBuild(*tree.shape, 0);
    phMatrix matrix;
    matrix[3] = phVector(0, 100, 0);
    g_walkFaces = 0;
    g_walkMinY = 1e9f;
    tree.shape->ForEachPolygon(matrix, nullptr, WalkFace);
    EXPECT_EQ(g_walkFaces, 5);
    EXPECT_FLOAT_EQ(g_walkMinY, 100.0f);
}

// The face shape pointed at a unit square in y = 0 facing up.
struct FaceFixture {
    const float vertices[12] = {0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 0};
    const int32_t indices[4] = {0, 1, 2, 3};
    phCollisionConvexPolygon* face = new phCollisionConvexPolygon();

    FaceFixture() { face->SetFace(4, 3, indices, vertices); }
    ~FaceFixture() { face->Release(); }
};

TEST(StaticMeshTest, FaceShapeBasics) {
    FaceFixture f;
    EXPECT_EQ(f.face->GetKind(), kCollisionConvexPolygon);
    EXPECT_EQ(f.face->GetSignature(), 0x12341234u);
    EXPECT_EQ(f.face->GetClassId(), kClassIdConvexPolygon);
    EXPECT_TRUE(f.face->IsClass(kClassIdConvexCollision));
    EXPECT_TRUE(f.face->IsClass(kClassIdRef));
    phRayHit hit;
    EXPECT_EQ(f.face->RayCast(phVector(0, 1, 0), phVector(0, -1, 0), hit), 0.0f);
    const phVector s = f.face->SupportVertex(phVector(1, 0, 1));
    EXPECT_EQ(s.x, 1.0f);
    EXPECT_EQ(s.z, 1.0f);
    EXPECT_EQ(s.w, 0.0f);
    // Ties go to the first vertex.
    EXPECT_EQ(f.face->SupportVertex(phVector(0, 1, 0)).z, 0.0f);
}

TEST(StaticMeshTest, FacePlaneSection) {
    FaceFixture f;
    phVector points[8];
    // Wholly behind the plane x = 5: all four vertices, projected onto it.
    int count = f.face->PlaneSection(phVector(1, 0, 0), phVector(5, 0, 0), points);
    ASSERT_EQ(count, 4);
    for (int i = 0; i < count; ++i) {
        EXPECT_FLOAT_EQ(points[i].x, 5.0f);
        EXPECT_EQ(points[i].w, 1.0f);
    }
    EXPECT_FLOAT_EQ(points[0].z, 0.0f);  // the walk starts at the last vertex (1, 0, 0)
    // Cut through the middle: two vertices behind, two crossings.
    count = f.face->PlaneSection(phVector(1, 0, 0), phVector(0.5f, 0, 0), points);
    ASSERT_EQ(count, 4);
    int onPlane = 0;
    for (int i = 0; i < count; ++i) {
        EXPECT_FLOAT_EQ(points[i].x, 0.5f);
        onPlane += 1;
    }
    EXPECT_EQ(onPlane, 4);
    // Wholly in front: nothing.
    EXPECT_EQ(f.face->PlaneSection(phVector(1, 0, 0), phVector(-1, 0, 0), points), 0);
}

TEST(StaticMeshTest, FrontSectionIsThePartInFrontOfThePlaneProjectedOntoIt) {
    FaceFixture f;
    phVector points[8];
    // The plane z = 0.25 cuts the unit square: the part with z >= 0.25 is a
    // rectangle, its two far corners and two crossings, all on the plane.
    const phVector across(0, 0, 1, -0.25f);
    ASSERT_EQ(PolygonFrontSection(f.vertices, f.indices, 4, 3, across, points), 4);
    float xs = 0.0f;
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(points[i].z, 0.25f);
        EXPECT_EQ(points[i].w, 1.0f);
        xs += points[i].x;
    }
    EXPECT_FLOAT_EQ(xs, 2.0f);
    // A plane tilted a little from the face (y = 0) and lying just below it
    // keeps the whole face, each vertex moved onto the plane.
    const float c = std::cos(0.1f), s = std::sin(0.1f);
    const phVector tilted(s, c, 0, 0.2f);
    ASSERT_EQ(PolygonFrontSection(f.vertices, f.indices, 4, 3, tilted, points), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(s * points[i].x + c * points[i].y + 0.2f, 0.0f, 1e-6f);
    }
    // Wholly behind: nothing.
    const phVector beyond(0, 0, 1, -2.0f);
    EXPECT_EQ(PolygonFrontSection(f.vertices, f.indices, 4, 3, beyond, points), 0);
}

TEST(StaticMeshTest, FaceStraddlesPlaneOnlyWhenTheShapeDipsBelowIt) {
    FaceFixture f;
    TestConvexShape* cube = MakeTestBox(phVector(0.25f, 0.25f, 0.25f));
    struct Case {
        float height;
        bool straddles;
    };
    for (const Case& c : {Case{1.0f, false}, Case{0.1f, true}, Case{-1.0f, false}}) {
        phMatrix matrix;
        matrix[3] = phVector(0.5f, c.height, 0.5f);
        EXPECT_EQ(f.face->FaceStraddlesPlane(*cube, matrix), c.straddles) << c.height;
    }
    EXPECT_FLOAT_EQ(f.face->GetNormal().y, -1.0f);
    cube->Release();
}

}  // namespace
