#include "collision/cylinder.h"
#include "core/class_ids.h"
#include "shape_test_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr float kTwoPi = 6.28318f;

phCollisionCylinder* MakeCylinder(float radius, float height, const phMatrix& offset = phMatrix()) {
    return new phCollisionCylinder(phCylinderSignature(radius, height, offset), radius, height,
                                   offset);
}

TEST(CylinderShapeTest, SideCountsByRadius) {
    struct Case {
        float radius;
        int sides;
    };
    const Case cases[] = {{0.0f, 128}, {0.1f, 128},  {0.49f, 128}, {0.6f, 153},  {1.0f, 256},
                          {2.0f, 512}, {-2.0f, 512}, {4.0f, 1024}, {10.0f, 1024}};
    for (const Case& c : cases) {
        phCollisionCylinder* cylinder = MakeCylinder(c.radius, 1.0f);
        EXPECT_EQ(cylinder->GetSideCount(), c.sides) << c.radius;
        EXPECT_NEAR(cylinder->GetAngleStep(), kTwoPi / static_cast<float>(c.sides), 1e-6f);
        cylinder->Release();
    }
}

TEST(CylinderShapeTest, SupportWithinPolygonTolerance) {
    struct Case {
        float radius;
        float height;
    };
    const Case cases[] = {{0.3f, 2.0f}, {1.0f, 1.0f}, {2.5f, 0.5f}, {6.0f, 3.0f}};
    for (const Case& c : cases) {
        phCollisionCylinder* cylinder = MakeCylinder(c.radius, c.height);
        const float hh = 0.5f * c.height;
        const float step = cylinder->GetAngleStep();
        for (int i = 0; i < 200; ++i) {
            const float angle = 0.0371f + static_cast<float>(i) * 0.0317f * kTwoPi;
            const float tilt = std::sin(static_cast<float>(i) * 1.7f);
            const phVector d(tilt, std::cos(angle), std::sin(angle), 0.0f);
            const phVector s = cylinder->SupportVertex(d);
            EXPECT_FLOAT_EQ(s.w, 1.0f);
            EXPECT_FLOAT_EQ(s.x, tilt > 0.0f ? hh : -hh);
            // On the circle, and no worse than the polygon allows: the best
            // polygon vertex lies within half a step of the direction.
            const float radial = std::sqrt(s.y * s.y + s.z * s.z);
            EXPECT_NEAR(radial, c.radius, 1e-4f * c.radius + 1e-6f);
            const float reach = s.y * d.y + s.z * d.z;
            EXPECT_GE(reach, c.radius * std::cos(0.5f * step) - 1e-4f);
            EXPECT_LE(reach, c.radius + 1e-4f);
        }
        // A direction along z: x takes -hh (d.x is not positive), and the
        // polygon has a vertex at (y, z) = (0, r).
        ExpectNear(cylinder->SupportVertex(phVector(0, 0, 1, 0)), phVector(-hh, 0, c.radius, 1),
                   1e-5f);
        cylinder->Release();
    }
}

TEST(CylinderShapeTest, RayCastTable) {
    const float none = 1.2f;
    // Radius 1, height 2 (hh = 1).
    const RayCase cases[] = {
        {"-x cap along the axis", phVector(-2, 0, 0), phVector(2, 0, 0), 0.25f, phVector(-1, 0, 0)},
        {"+x cap along the axis", phVector(2, 0, 0), phVector(-2, 0, 0), 0.25f, phVector(1, 0, 0)},
        {"-x cap off axis", phVector(-3, 0.5f, -0.5f), phVector(1, 0.5f, -0.5f), 0.5f,
         phVector(-1, 0, 0)},
        {"side along -z", phVector(0, 0, -3), phVector(0, 0, 3), 1.0f / 3.0f, phVector(0, 0, -1)},
        {"side along +y", phVector(0.3f, 3, 0), phVector(0.3f, -1, 0), 0.5f, phVector(0, 1, 0)},
        // Near the end of the side the normal stays radial.
        {"side near the end", phVector(0.9f, 0, -3), phVector(0.9f, 0, 3), 1.0f / 3.0f,
         phVector(0, 0, -1)},
        {"side diagonal", phVector(0, -3, -3), phVector(0, 0, 0),
         1.0f - 1.0f / (3.0f * std::sqrt(2.0f)), phVector(0, -std::sqrt(0.5f), -std::sqrt(0.5f))},
        {"+x cap from outside the radius", phVector(3, 0, 1.5f), phVector(-1, 0, -0.5f), 0.5f,
         phVector(1, 0, 0)},
        {"starts inside", phVector(0, 0, 0), phVector(0, 0, 3), none, phVector()},
        {"starts inside the radius past the cap", phVector(2, 0, 0), phVector(3, 0, 0), none,
         phVector()},
        {"points away", phVector(0, 0, 3), phVector(0, 0, 6), none, phVector()},
        {"stops short", phVector(0, 0, 3), phVector(0, 0, 1.5f), none, phVector()},
        {"passes beside", phVector(0, 1.5f, -3), phVector(0, 1.5f, 3), none, phVector()},
        {"passes beyond the cap", phVector(1.5f, 0, -3), phVector(1.5f, 0, 3), none, phVector()},
    };
    phCollisionCylinder* cylinder = MakeCylinder(1.0f, 2.0f);
    cylinder->SetUserData(5);
    for (const RayCase& c : cases) {
        ExpectRayHit(*cylinder, c, 5);
    }
    cylinder->Release();
}

TEST(CylinderShapeTest, PlaneSectionTable) {
    struct Case {
        const char* name;
        phVector normal;
        phVector point;
        int count;
        // Radius of every point about the axis, or -1 to skip.
        float radius;
    };
    // Radius 1, height 2 (hh = 1).
    const float s = std::sqrt(0.5f);
    const Case cases[] = {
        {"axial plane", phVector(0, 1, 0, 0), phVector(0, 0, 0), 4, 1.0f},
        {"axial plane flipped", phVector(0, -s, s, 0), phVector(0, 0, 0), 4, 1.0f},
        {"across the axis", phVector(1, 0, 0, 0), phVector(0.5f, 0, 0), 8, 1.0f},
        {"across the axis, -x", phVector(-1, 0, 0, 0), phVector(-0.5f, 0.2f, 0.1f), 8, 1.0f},
        {"on the +x cap", phVector(1, 0, 0, 0), phVector(1, 0, 0), 8, 1.0f},
        {"on the -x cap", phVector(-1, 0, 0, 0), phVector(-1, 0, 0), 8, 1.0f},
        {"tilted through the caps", phVector(0.6f, 0.8f, 0, 0), phVector(0, 0, 0), 4, 1.0f},
        {"off the axis", phVector(0, 0, 1, 0), phVector(0, 0, 0.5f), 4, -1.0f},
        {"grazing the side", phVector(0, 0.8f, 0.6f, 0), phVector(0, 0.79f, 0.59f), 4, -1.0f},
        {"side and cap", phVector(0.2f, 0.9798f, 0, 0), phVector(0, 0.9f, 0), 3, -1.0f},
        {"across both sides", phVector(0.9f, 0.43589f, 0, 0), phVector(0, 0, 0), 2, 1.0f},
        {"misses the side", phVector(0, 1, 0, 0), phVector(0, 1.1f, 0), 0, 0.0f},
        {"misses beyond the cap", phVector(1, 0, 0, 0), phVector(1.1f, 0, 0), 0, 0.0f},
    };
    phCollisionCylinder* cylinder = MakeCylinder(1.0f, 2.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phVector points[kCylinderMaxSectionPoints];
        const int count = cylinder->PlaneSection(c.normal, c.point, points);
        ASSERT_EQ(count, c.count);
        for (int i = 0; i < count; ++i) {
            EXPECT_NEAR(phDot(c.normal, points[i] - c.point), 0.0f, 1e-4f) << "point " << i;
            EXPECT_LE(std::fabs(points[i].x), 1.0f + 1e-4f);
            const float radial = std::sqrt(points[i].y * points[i].y + points[i].z * points[i].z);
            EXPECT_LE(radial, 1.0f + 1e-4f);
            if (c.radius >= 0.0f) {
                EXPECT_NEAR(radial, c.radius, 1e-4f);
            }
        }
        // Counter-clockwise about the normal, as the contact clipping needs.
        for (int i = 1; i + 1 < count; ++i) {
            const phVector turn = phCross(points[i] - points[0], points[i + 1] - points[0]);
            EXPECT_GT(phDot(turn, c.normal), 0.0f) << "triangle " << i;
        }
    }
    cylinder->Release();
}

TEST(CylinderShapeTest, SectionDirectionsNeedNoWorld) {
    const phVector* directions = phCylinderSectionDirections();
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(directions[i].x, 0.0f);
        EXPECT_NEAR(phLength(directions[i]), 1.0f, 1e-6f);
        EXPECT_NEAR(phDot(directions[i], directions[(i + 1) % 8]), std::sqrt(0.5f), 1e-5f);
        EXPECT_GT(phCross(directions[i], directions[(i + 1) % 8]).x, 0.0f);
    }
}

TEST(CylinderShapeTest, VolumeOfThePrism) {
    struct Case {
        float radius;
        float height;
        float volume;
    };
    // The convex base works on the octagonal prism: 2 sqrt(2) r^2 times the height.
    const float k = 2.0f * std::sqrt(2.0f);
    const Case cases[] = {{1.0f, 1.0f, k},    {2.0f, 0.5f, k * 2.0f}, {-0.5f, -4.0f, k},
                          {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f},     {0.0f, 0.0f, 0.0f}};
    for (const Case& c : cases) {
        phCollisionCylinder* cylinder = MakeCylinder(c.radius, c.height);
        EXPECT_FALSE(std::isnan(cylinder->GetVolume()));
        EXPECT_NEAR(cylinder->GetVolume(), c.volume, 1e-4f * (1.0f + c.volume));
        const phVector& centre = cylinder->GetCentreAndVolume();
        EXPECT_NEAR(phLength(phVector(centre.x, centre.y, centre.z)), 0.0f, 1e-5f);
        cylinder->Release();
    }
}

TEST(CylinderShapeTest, BoxUnderMatrix) {
    struct Case {
        phMatrix matrix;
        phVector half;
    };
    phMatrix upright = phMatrix::RotationZ(0.5f * 3.14159265f);
    upright[3] = phVector(1, 2, 3, 1);
    const Case cases[] = {
        {phMatrix(), phVector(1.5f, 0.5f, 0.5f)},
        {upright, phVector(0.5f, 1.5f, 0.5f)},
    };
    phCollisionCylinder* cylinder = MakeCylinder(0.5f, 3.0f);
    for (const Case& c : cases) {
        phVector boxMin;
        phVector boxMax;
        cylinder->CalcAABB(c.matrix, boxMin, boxMax);
        ExpectNear(boxMin, c.matrix[3] - c.half, 1e-4f);
        ExpectNear(boxMax, c.matrix[3] + c.half, 1e-4f);
    }
    cylinder->Release();
}

TEST(CylinderShapeTest, SignatureClassAndSharedTable) {
    const uint32_t reference = phCylinderSignature(1.0f, 2.0f, phMatrix());
    EXPECT_EQ(phCylinderSignature(-1.0f, -2.0f, phMatrix()), reference);
    EXPECT_EQ(phCylinderSignature(1.0002f, 2.0f, phMatrix()), reference);
    EXPECT_NE(phCylinderSignature(1.002f, 2.0f, phMatrix()), reference);
    // Radius first: swapping radius and half height changes the record.
    EXPECT_NE(phCylinderSignature(1.0f, 2.0f, phMatrix()),
              phCylinderSignature(1.0f, 0.5f, phMatrix()));

    const int before = phCylinderEdgeTableUseCount();
    phCollisionCylinder* a = MakeCylinder(1.0f, 2.0f);
    phCollisionCylinder* b = MakeCylinder(3.0f, 1.0f);
    EXPECT_EQ(phCylinderEdgeTableUseCount(), before + 2);
    EXPECT_EQ(a->GetSignature(), reference);
    EXPECT_EQ(a->GetEdges(), b->GetEdges());
    EXPECT_EQ(a->GetKind(), kCollisionCylinder);
    for (uint32_t id :
         {kClassIdCylinder, kClassIdConvexCollision, kClassIdCollision, kClassIdRef}) {
        EXPECT_TRUE(a->IsClass(id));
    }
    EXPECT_FALSE(a->IsClass(kClassIdBox));
    const phConvexEdge* edges = a->GetEdges();
    for (int i = 0; i < a->GetEdgeCount(); ++i) {
        EXPECT_EQ(edges[i].twin->twin, &edges[i]);
        EXPECT_EQ(edges[i].twin->vertex, edges[i].next->vertex);
    }
    a->Release();
    b->Release();
    EXPECT_EQ(phCylinderEdgeTableUseCount(), before);
}

struct DrawRecord {
    int quads = 0;
    int caps = 0;
};

void RecordDrawnFace(void* context, int count, const float*) {
    auto* record = static_cast<DrawRecord*>(context);
    if (count == 4) {
        ++record->quads;
    } else if (count == 24) {
        ++record->caps;
    }
}

TEST(CylinderShapeTest, FaceWalkDrawsTwentyFourSides) {
    phCollisionCylinder* cylinder = MakeCylinder(1.0f, 2.0f);
    DrawRecord record;
    cylinder->ForEachPolygon(phMatrix(), &record, RecordDrawnFace);
    EXPECT_EQ(record.quads, 24);
    EXPECT_EQ(record.caps, 2);
    cylinder->Release();
}

}  // namespace
