#include "collision/collision.h"
#include "collision/convex_collision.h"
#include "core/class_ids.h"
#include "shape_test_checks.h"
#include "test_convex_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr float kTwoPi = 6.2831855f;

TestConvexShape* MakeTetrahedron() {
    return new TestConvexShape(
        {phVector(0, 0, 0), phVector(1, 0, 0), phVector(0, 1, 0), phVector(0, 0, 1)},
        {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
}

// |x| + |y| + |z| <= 1, with its four equator vertices at y = 0.
TestConvexShape* MakeOctahedron() {
    return new TestConvexShape(
        {phVector(1, 0, 0), phVector(0, 0, -1), phVector(-1, 0, 0), phVector(0, 0, 1),
         phVector(0, 1, 0), phVector(0, -1, 0)},
        {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}, {1, 0, 5}, {2, 1, 5}, {3, 2, 5}, {0, 3, 5}});
}

TEST(CollisionTest, OffsetMatrixIdentityFlag) {
    TestConvexShape* box = MakeTestBox(phVector(1, 1, 1));
    EXPECT_FALSE(box->HasOffset());
    phMatrix negativeZeros;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (i != j) {
                negativeZeros[i][j] = -0.0f;
            }
        }
    }
    box->SetOffsetMatrix(negativeZeros);
    EXPECT_FALSE(box->HasOffset());
    phMatrix moved;
    moved[3] = phVector(0, 1, 0, 1);
    box->SetOffsetMatrix(moved);
    EXPECT_TRUE(box->HasOffset());
    phMatrix almostOne;
    almostOne[1][1] = std::nextafter(1.0f, 2.0f);
    box->SetOffsetMatrix(almostOne);
    EXPECT_TRUE(box->HasOffset());
    box->SetOffsetMatrix(phMatrix());
    EXPECT_EQ(box->GetFlags(), 0u);
    box->Release();
}

TEST(CollisionTest, ReferenceWordClassIdsAndUserWord) {
    TestConvexShape* box = MakeTestBox(phVector(1, 1, 1));
    EXPECT_EQ(box->GetRefWord(), 0x101u);
    box->AddRef();
    EXPECT_EQ(box->GetRefWord(), 0x201u);
    box->Release();
    EXPECT_EQ(box->GetRefWord(), 0x101u);
    EXPECT_EQ(box->GetClassId(), kClassIdConvexCollision);
    EXPECT_TRUE(box->IsClass(kClassIdConvexCollision));
    EXPECT_TRUE(box->IsClass(kClassIdCollision));
    EXPECT_TRUE(box->IsClass(kClassIdRef));
    EXPECT_FALSE(box->IsClass(kClassIdBox));
    EXPECT_EQ(box->GetUserData(), 0u);
    box->SetUserData(77);
    EXPECT_EQ(box->GetUserData(), 77u);
    EXPECT_EQ(box->GetKind(), kCollisionConvexHull);
    EXPECT_EQ(box->ReservedQuery(), 0u);
    const phMatrix frame = box->GetLocalFrame();
    EXPECT_EQ(frame[3].w, 1.0f);
    box->Release();
}

TEST(CollisionHelpersTest, AngleStep) {
    struct Case {
        float radius;
        int k;
    };
    const Case cases[] = {{0.1f, 128},
                          {0.0f, 128},
                          {-5.0f, 128},
                          {0.75f, 192},
                          {2.0f, 512},
                          {10.0f, 1024},
                          {1e30f, 1024},
                          {std::numeric_limits<float>::infinity(), 1024},
                          {std::numeric_limits<float>::quiet_NaN(), 128}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(AngleStep(c.radius), kTwoPi / c.k) << c.radius;
    }
}

TEST(CollisionHelpersTest, QuantizeFloatTruncatesAndClamps) {
    struct Case {
        float x;
        int32_t q;
    };
    const Case cases[] = {{1.0f, 1024},
                          {0.5f, 512},
                          {0.0009f, 0},
                          {-0.0009f, 0},
                          {-1.00049f, -1024},
                          {2.7f, 2764},
                          {1e10f, INT32_MAX},
                          {-1e10f, INT32_MIN},
                          {std::numeric_limits<float>::infinity(), INT32_MAX},
                          {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(QuantizeFloat(c.x), c.q) << c.x;
    }
}

TEST(CollisionHelpersTest, PlanesFromPointsAndIntoALocalFrame) {
    const phVector plane = PlaneFromPoints(phVector(0, 2, 0), phVector(0, 2, 1), phVector(1, 2, 0));
    ExpectNear(plane, phVector(0, 1, 0, -2));
    // The world plane y = 2 seen from a frame moved up by 1 and turned a
    // quarter about z (its x axis is world y): local x = 1.
    phMatrix m = phMatrix::RotationZ(1.5707964f);
    m[3] = phVector(0, 1, 0, 1);
    ExpectNear(UntransformPlane(m, plane), phVector(1, 0, 0, -1));
}

TEST(ConvexCollisionTest, VolumeAndCentre) {
    struct Case {
        const char* name;
        TestConvexShape* shape;
        phVector expected;  // centre, volume in w
    };
    const Case cases[] = {
        {"unit cube", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), phVector(0, 0, 0, 1)},
        {"moved box", MakeTestBox(phVector(1, 2, 0.5f), phVector(1, 2, 3)), phVector(1, 2, 3, 8)},
        {"tetrahedron", MakeTetrahedron(), phVector(0.25f, 0.25f, 0.25f, 1.0f / 6.0f)},
        {"octahedron", MakeOctahedron(), phVector(0, 0, 0, 4.0f / 3.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectNear(c.shape->GetCentreAndVolume(), c.expected);
        EXPECT_NEAR(c.shape->GetVolume(), c.expected.w, 1e-5f);
        c.shape->Release();
    }
}

TEST(ConvexCollisionTest, FlatShapeHasVolumeAndCentreZero) {
    // Two faces back to back: no volume, and no division by it.
    TestConvexShape* flat = new TestConvexShape(
        {phVector(0, 0, 0), phVector(1, 0, 0), phVector(1, 1, 0), phVector(0, 1, 0)},
        {{0, 1, 2, 3}, {3, 2, 1, 0}});
    ExpectNear(flat->GetCentreAndVolume(), phVector(0, 0, 0, 0));
    flat->Release();
    // A degenerate sliver face (three collinear points) adds nothing.
    TestConvexShape* sliver = new TestConvexShape(
        {phVector(0, 0, 0), phVector(1, 0, 0), phVector(2, 0, 0)}, {{0, 1, 2}, {2, 1, 0}});
    EXPECT_TRUE(std::isfinite(sliver->GetCentreAndVolume().x));
    EXPECT_EQ(sliver->GetVolume(), 0.0f);
    sliver->Release();
}

TEST(ConvexCollisionTest, BoxUnderAMatrixFromSupportQueries) {
    TestConvexShape* box = MakeTestBox(phVector(1, 2, 3));
    phMatrix m = phMatrix::RotationZ(1.5707964f);  // x -> y, y -> -x
    m[3] = phVector(10, 20, 30, 1);
    phVector boxMin;
    phVector boxMax;
    box->CalcAABB(m, boxMin, boxMax);
    ExpectNear(boxMin, phVector(8, 19, 27, 1));
    ExpectNear(boxMax, phVector(12, 21, 33, 1));
    box->Release();
}

struct PlaneContext {
    phVector plane;
};

void FillPlane(void* context, const phMatrix&, phVector& plane) {
    plane = static_cast<PlaneContext*>(context)->plane;
}

TEST(ConvexCollisionTest, VolumeBelowAPlane) {
    phMatrix moved;
    moved[3] = phVector(5, 1, 0, 1);
    struct Case {
        const char* name;
        TestConvexShape* shape;
        phMatrix matrix;
        phVector plane;  // world space; w = 0 with a zero normal means "no callback"
        phVector expected;
    };
    const Case cases[] = {
        {"no callback: all below y = 10000", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), moved,
         phVector(0, 0, 0, 0), phVector(5, 1, 0, 1)},
        {"entirely above", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), moved, phVector(0, 1, 0, 0),
         phVector(0, 0, 0, 0)},
        {"entirely below", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), moved, phVector(0, 1, 0, -3),
         phVector(5, 1, 0, 1)},
        {"cut in half", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), moved, phVector(0, 1, 0, -1),
         phVector(5, 0.75f, 0, 0.5f)},
        {"cut at a quarter", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), phMatrix(),
         phVector(0, 1, 0, 0.25f), phVector(0, -0.375f, 0, 0.25f)},
        {"cut diagonally", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), phMatrix(),
         phVector(0.70710678f, 0.70710678f, 0, 0), phVector(-1.0f / 6, -1.0f / 6, 0, 0.5f)},
        {"resting on the plane", MakeTestBox(phVector(0.5f, 0.5f, 0.5f)), phMatrix(),
         phVector(0, 1, 0, 0.5f), phVector(0, 0, 0, 0)},
        {"plane through the equator vertices", MakeOctahedron(), phMatrix(), phVector(0, 1, 0, 0),
         phVector(0, -0.25f, 0, 2.0f / 3.0f)},
        {"tetrahedron below x + y + z = 0.5", MakeTetrahedron(), phMatrix(),
         phVector(1, 1, 1, -0.5f), phVector(0.125f, 0.125f, 0.125f, 1.0f / 48.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlaneContext context{c.plane};
        const bool noCallback = c.plane.x == 0 && c.plane.y == 0 && c.plane.z == 0;
        const phVector result =
            c.shape->VolumeBelowPlane(c.matrix, noCallback ? nullptr : FillPlane, &context);
        ExpectNear(result, c.expected, 2e-4f);
        c.shape->Release();
    }
}

TEST(ConvexCollisionTest, FlatShapeOnThePlaneHasNothingBelow) {
    TestConvexShape* flat = new TestConvexShape(
        {phVector(0, 0, 0), phVector(1, 0, 0), phVector(1, 0, 1), phVector(0, 0, 1)},
        {{0, 1, 2, 3}, {3, 2, 1, 0}});
    PlaneContext context{phVector(0, 1, 0, 0)};
    ExpectNear(flat->VolumeBelowPlane(phMatrix(), FillPlane, &context), phVector(0, 0, 0, 0));
    flat->Release();
}

struct WalkRecord {
    int faces = 0;
    int corners = 0;
    float maxX = -1e30f;
};

void RecordFace(void* body, int count, const float* vertices) {
    WalkRecord* record = static_cast<WalkRecord*>(body);
    ++record->faces;
    record->corners += count;
    for (int i = 0; i < count; ++i) {
        record->maxX = std::fmax(record->maxX, vertices[i * 3]);
    }
}

TEST(ConvexCollisionTest, FaceWalkVisitsEveryFaceOnceInWorldSpace) {
    TestConvexShape* box = MakeTestBox(phVector(1, 1, 1));
    phMatrix m;
    m[3] = phVector(10, 0, 0, 1);
    WalkRecord record;
    box->ForEachPolygon(m, &record, RecordFace);
    EXPECT_EQ(record.faces, 6);
    EXPECT_EQ(record.corners, 24);
    EXPECT_FLOAT_EQ(record.maxX, 11.0f);
    // A second walk takes a fresh mark and sees everything again.
    WalkRecord again;
    box->ForEachPolygon(m, &again, RecordFace);
    EXPECT_EQ(again.faces, 6);
    box->Release();
}

}  // namespace
