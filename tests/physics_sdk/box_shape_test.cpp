#include "collision/box.h"
#include "core/class_ids.h"
#include "shape_test_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

phCollisionBox* MakeBox(float dx, float dy, float dz, const phMatrix& offset = phMatrix()) {
    return new phCollisionBox(phBoxSignature(dx, dy, dz, offset), dx, dy, dz, offset);
}

// Checks that a section lies in the plane, inside the box, turns
// counter-clockwise about the normal and is convex; returns its area.
float CheckSection(const phCollisionBox& box, const phVector& normal, const phVector& point,
                   const phVector* points, int count) {
    const phVector& h = box.GetHalfExtents();
    for (int i = 0; i < count; ++i) {
        EXPECT_NEAR(phDot(normal, points[i] - point), 0.0f, 1e-4f) << "point " << i;
        EXPECT_LE(std::fabs(points[i].x), h.x + 1e-4f);
        EXPECT_LE(std::fabs(points[i].y), h.y + 1e-4f);
        EXPECT_LE(std::fabs(points[i].z), h.z + 1e-4f);
        EXPECT_FLOAT_EQ(points[i].w, 1.0f);
    }
    float area = 0.0f;
    for (int i = 1; i + 1 < count; ++i) {
        const float turn = phDot(phCross(points[i] - points[0], points[i + 1] - points[0]), normal);
        EXPECT_GT(turn, 0.0f) << "triangle " << i;
        area += 0.5f * turn / phLength(normal);
    }
    for (int i = 0; i < count && count >= 3; ++i) {
        const phVector& a = points[i];
        const phVector& b = points[(i + 1) % count];
        const phVector& c = points[(i + 2) % count];
        EXPECT_GE(phDot(phCross(b - a, c - b), normal), -1e-5f) << "corner " << i;
    }
    return area;
}

TEST(BoxShapeTest, RayCastTable) {
    struct Case {
        const char* name;
        phVector size;
        phVector p0;
        phVector p1;
        float t;
        phVector normal;
    };
    const float none = 1.2f;
    const phVector unit(1, 1, 1);
    const Case cases[] = {
        {"+x inward", unit, phVector(-1, 0, 0), phVector(1, 0, 0), 0.25f, phVector(-1, 0, 0)},
        {"-x inward", unit, phVector(1, 0, 0), phVector(-1, 0, 0), 0.25f, phVector(1, 0, 0)},
        {"+y inward", unit, phVector(0, -1, 0), phVector(0, 1, 0), 0.25f, phVector(0, -1, 0)},
        {"-y inward", unit, phVector(0, 1, 0), phVector(0, -1, 0), 0.25f, phVector(0, 1, 0)},
        {"+z inward", unit, phVector(0, 0, -1), phVector(0, 0, 1), 0.25f, phVector(0, 0, -1)},
        {"-z inward", unit, phVector(0, 0, 1), phVector(0, 0, -1), 0.25f, phVector(0, 0, 1)},
        {"long box y", phVector(2, 4, 6), phVector(0.5f, -4, 1), phVector(0.5f, 4, 1), 0.25f,
         phVector(0, -1, 0)},
        {"off-centre z", phVector(2, 4, 6), phVector(0.9f, 1.9f, 10), phVector(0.9f, 1.9f, 0), 0.7f,
         phVector(0, 0, 1)},
        // Entering through an edge: -x and -y tie; the earlier face in the
        // clipping order gives the normal.
        {"diagonal tie xy", unit, phVector(-1, -1, 0), phVector(1, 1, 0), 0.25f,
         phVector(-1, 0, 0)},
        {"diagonal tie zy", unit, phVector(0, -1, 1), phVector(0, 1, -1), 0.25f, phVector(0, 0, 1)},
        {"corner", unit, phVector(1, 1, 1), phVector(-1, -1, -1), 0.25f, phVector(1, 0, 0)},
        {"oblique", unit, phVector(-1, 0.2f, 0.1f), phVector(0, 0.2f, 0.1f), 0.5f,
         phVector(-1, 0, 0)},
        {"starts inside", unit, phVector(0, 0, 0), phVector(2, 0, 0), none, phVector()},
        {"outside one face", unit, phVector(-2, 1, 0), phVector(2, 1, 0), none, phVector()},
        {"ends on the face", unit, phVector(-1, 0, 0), phVector(-0.5f, 0, 0), none, phVector()},
        {"stops short", unit, phVector(-2, 0, 0), phVector(-1, 0, 0), none, phVector()},
        {"passes by", unit, phVector(-1, 0.7f, 0), phVector(1, 0.55f, 0.6f), none, phVector()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phCollisionBox* box = MakeBox(c.size.x, c.size.y, c.size.z);
        box->SetUserData(42);
        phRayHit hit;
        const float t = box->RayCast(c.p0, c.p1, hit);
        EXPECT_NEAR(t, c.t, 1e-5f);
        if (c.t < 1.0f) {
            ExpectNear(hit.normal, c.normal, 1e-6f);
            EXPECT_EQ(hit.attribute, 42);
        }
        box->Release();
    }
}

TEST(BoxShapeTest, SupportVertexSigns) {
    struct Case {
        phVector dir;
        phVector corner;
    };
    const Case cases[] = {
        {phVector(0, 0, 0, 0), phVector(1, 2, 3)},
        {phVector(1, 1, 1, 0), phVector(1, 2, 3)},
        {phVector(-1, 1, 1, 0), phVector(-1, 2, 3)},
        {phVector(1, -1, 1, 0), phVector(1, -2, 3)},
        {phVector(1, 1, -1, 0), phVector(1, 2, -3)},
        {phVector(-5, -0.1f, -2, 0), phVector(-1, -2, -3)},
        {phVector(-0.0f, 0, -1e-20f, 0), phVector(1, 2, -3)},
    };
    phCollisionBox* box = MakeBox(-2, 4, 6);
    for (const Case& c : cases) {
        // Every consumer takes the result as a point: w = 1.
        ExpectNear(box->SupportVertex(c.dir), c.corner, 0.0f);
    }
    box->Release();
}

TEST(BoxShapeTest, BoxOfRotatedAndMovedBox) {
    const phMatrix matrices[] = {
        phMatrix(),
        phMatrix(phMatrix::RotationZ(0.7f)[0], phMatrix::RotationZ(0.7f)[1],
                 phMatrix::RotationZ(0.7f)[2], phVector(3, -2, 5, 1)),
        phMatrix::RotationX(1.1f) * phMatrix::RotationY(-0.4f),
        phMatrix(phQuaternion(0.3f, -0.5f, 0.1f, 0.806226f), phVector(-10, 0.5f, 2)),
    };
    phCollisionBox* box = MakeBox(1, 2, 3);
    for (const phMatrix& m : matrices) {
        phVector boxMin;
        phVector boxMax;
        box->CalcAABB(m, boxMin, boxMax);
        phVector low(1e30f, 1e30f, 1e30f);
        phVector high(-1e30f, -1e30f, -1e30f);
        for (int i = 0; i < box->GetVertexCount(); ++i) {
            const phVector p = m.TransformVector(box->GetVertices()[i]);
            low = phMin(low, p);
            high = phMax(high, p);
        }
        ExpectNear(boxMin, low, 1e-4f);
        ExpectNear(boxMax, high, 1e-4f);
        // The closed form agrees with the support-query box of the base.
        phVector baseMin;
        phVector baseMax;
        box->phConvexCollision::CalcAABB(m, baseMin, baseMax);
        ExpectNear(boxMin, baseMin, 1e-4f);
        ExpectNear(boxMax, baseMax, 1e-4f);
    }
    box->Release();
}

TEST(BoxShapeTest, PlaneSectionTable) {
    struct Case {
        const char* name;
        phVector normal;
        phVector point;
        int count;
        float area;
    };
    const float s3 = 1.0f / std::sqrt(3.0f);
    const float s2 = 1.0f / std::sqrt(2.0f);
    const Case cases[] = {
        {"horizontal", phVector(0, 0, 1, 0), phVector(0, 0, 0), 4, 1.0f},
        {"horizontal flipped", phVector(0, 0, -1, 0), phVector(0.2f, 0.1f, 0.3f), 4, 1.0f},
        {"side", phVector(1, 0, 0, 0), phVector(-0.4f, 0, 0), 4, 1.0f},
        {"diagonal hexagon", phVector(s3, s3, s3, 0), phVector(0, 0, 0), 6,
         0.75f * std::sqrt(3.0f)},
        {"near +++", phVector(s3, s3, s3, 0), phVector(0.4f, 0.4f, 0.4f), 3, -1.0f},
        {"near ---", phVector(s3, s3, s3, 0), phVector(-0.4f, -0.4f, -0.4f), 3, -1.0f},
        {"near +-- flipped", phVector(-s3, s3, s3, 0), phVector(0.4f, -0.4f, -0.4f), 3, -1.0f},
        {"near -+-", phVector(-s3, s3, -s3, 0), phVector(-0.4f, 0.4f, -0.4f), 3, -1.0f},
        {"near --+", phVector(s3, s3, -s3, 0), phVector(-0.4f, -0.4f, 0.4f), 3, -1.0f},
        {"miss", phVector(0, 1, 0, 0), phVector(0, 0.6f, 0), 0, 0.0f},
        {"miss below", phVector(0, 1, 0, 0), phVector(0, -0.6f, 0), 0, 0.0f},
        // Through three corners: the triangle of those corners.
        {"through corners", phVector(s3, s3, s3, 0), phVector(0.5f, 0.5f, -0.5f), 3,
         0.5f * std::sqrt(3.0f)},
        // Through four corners along a diagonal.
        {"diagonal rectangle", phVector(s2, -s2, 0, 0), phVector(0, 0, 0), 4, std::sqrt(2.0f)},
        {"tilted", phVector(0, 0.6f, 0.8f, 0), phVector(0, 0, 0), 4, 1.25f},
    };
    phCollisionBox* box = MakeBox(1, 1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phVector points[kBoxMaxSectionPoints];
        const int count = box->PlaneSection(c.normal, c.point, points);
        ASSERT_EQ(count, c.count);
        const float area = CheckSection(*box, c.normal, c.point, points, count);
        if (c.area >= 0.0f) {
            EXPECT_NEAR(area, c.area, 1e-4f);
        }
        // The plane form gives the same points.
        phVector plane = c.normal;
        plane.w = -phDot(c.normal, c.point);
        phVector again[kBoxMaxSectionPoints];
        ASSERT_EQ(box->SectionByPlane(plane, again), count);
        for (int i = 0; i < count; ++i) {
            ExpectNear(again[i], points[i], 0.0f);
        }
    }
    box->Release();
}

TEST(BoxShapeTest, SignaturesShareQuantisedSizes) {
    struct Case {
        phVector size;
        phMatrix offset;
        bool shares;
    };
    phMatrix moved;
    moved[3] = phVector(0, 1, 0, 1);
    const Case cases[] = {
        {phVector(1, 2, 3), phMatrix(), true},   {phVector(1.0001f, 2, 3), phMatrix(), true},
        {phVector(-1, 2, -3), phMatrix(), true}, {phVector(1.002f, 2, 3), phMatrix(), false},
        {phVector(2, 1, 3), phMatrix(), false},  {phVector(1, 2, 3), moved, false},
    };
    const uint32_t reference = phBoxSignature(1, 2, 3, phMatrix());
    for (const Case& c : cases) {
        const uint32_t signature = phBoxSignature(c.size.x, c.size.y, c.size.z, c.offset);
        EXPECT_EQ(signature == reference, c.shares) << c.size.x << " " << c.size.y;
        // The box computes the same record as the cache did before it existed.
        phCollisionBox* box = MakeBox(c.size.x, c.size.y, c.size.z, c.offset);
        EXPECT_EQ(box->GetSignature(), signature);
        EXPECT_EQ(box->GetStoredSignature(), signature);
        box->Release();
    }
}

TEST(BoxShapeTest, VolumeAndCentre) {
    struct Case {
        phVector size;
        float volume;
    };
    const Case cases[] = {
        {phVector(1, 1, 1), 1.0f}, {phVector(2, 4, 6), 48.0f}, {phVector(-2, 0.5f, 3), 3.0f},
        {phVector(0, 0, 0), 0.0f}, {phVector(0, 1, 1), 0.0f},  {phVector(3, 2, 0), 0.0f},
    };
    for (const Case& c : cases) {
        phCollisionBox* box = MakeBox(c.size.x, c.size.y, c.size.z);
        const phVector& centre = box->GetCentreAndVolume();
        EXPECT_FALSE(std::isnan(box->GetVolume()));
        EXPECT_NEAR(box->GetVolume(), c.volume, 1e-4f * (1.0f + c.volume));
        ExpectNear(phVector(centre.x, centre.y, centre.z, 0.0f), phVector(0, 0, 0, 0), 1e-5f);
        box->Release();
    }
}

TEST(BoxShapeTest, ClassKindAndSharedTable) {
    const int before = phBoxEdgeTableUseCount();
    phCollisionBox* a = MakeBox(1, 1, 1);
    phCollisionBox* b = MakeBox(2, 3, 4);
    EXPECT_EQ(phBoxEdgeTableUseCount(), before + 2);
    EXPECT_EQ(a->GetEdges(), b->GetEdges());
    EXPECT_EQ(a->GetKind(), kCollisionBox);
    EXPECT_EQ(a->GetClassId(), kClassIdBox);
    for (uint32_t id : {kClassIdBox, kClassIdConvexCollision, kClassIdCollision, kClassIdRef}) {
        EXPECT_TRUE(a->IsClass(id));
    }
    EXPECT_FALSE(a->IsClass(kClassIdCylinder));
    EXPECT_EQ(a->GetVertexCount(), 8);
    EXPECT_EQ(a->GetEdgeCount(), 24);
    // Every record's twin runs the other way and its face loop has four
    // half-edges.
    const phConvexEdge* edges = a->GetEdges();
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(edges[i].twin->twin, &edges[i]);
        EXPECT_EQ(edges[i].twin->vertex, edges[i].next->vertex);
        EXPECT_EQ(edges[i].next->prev, &edges[i]);
        EXPECT_EQ(edges[i].next->next->next->next, &edges[i]);
    }
    a->Release();
    b->Release();
    EXPECT_EQ(phBoxEdgeTableUseCount(), before);
    // Built again when the last box has gone.
    phCollisionBox* c = MakeBox(1, 1, 1);
    EXPECT_NEAR(c->GetVolume(), 1.0f, 1e-5f);
    c->Release();
}

struct FaceRecord {
    int faces = 0;
    float area = 0.0f;
    phVector centre;
};

void RecordFace(void* context, int count, const float* vertices) {
    auto* record = static_cast<FaceRecord*>(context);
    ++record->faces;
    const phVector p0(vertices);
    phVector n(0, 0, 0);
    for (int i = 1; i + 1 < count; ++i) {
        n += phCross(phVector(vertices + 3 * i) - p0, phVector(vertices + 3 * i + 3) - p0);
    }
    record->area += 0.5f * phLength(n);
    // Outward: the face's normal points away from the box's centre.
    EXPECT_GT(phDot(n, p0 - record->centre), 0.0f);
}

TEST(BoxShapeTest, FaceWalkInWorldSpace) {
    phCollisionBox* box = MakeBox(1, 2, 3);
    const phMatrix m(phMatrix::RotationY(0.3f)[0], phMatrix::RotationY(0.3f)[1],
                     phMatrix::RotationY(0.3f)[2], phVector(5, 6, 7, 1));
    FaceRecord record;
    record.centre = phVector(5, 6, 7);
    box->ForEachPolygon(m, &record, RecordFace);
    EXPECT_EQ(record.faces, 6);
    EXPECT_NEAR(record.area, 2.0f * (2 + 3 + 6), 1e-3f);
    box->Release();
}

}  // namespace
