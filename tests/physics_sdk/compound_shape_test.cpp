#include "collision/box.h"
#include "collision/compound.h"
#include "collision/convex_hull.h"
#include "collision/cylinder.h"
#include "core/class_ids.h"
#include "shape_test_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

phMatrix Moved(const phVector& position, const phMatrix& rotation = phMatrix()) {
    phMatrix m = rotation;
    m[3] = phVector(position.x, position.y, position.z, 1.0f);
    return m;
}

phCollisionBox* MakeBox(float dx, float dy, float dz, const phMatrix& offset = phMatrix()) {
    return new phCollisionBox(phBoxSignature(dx, dy, dz, offset), dx, dy, dz, offset);
}

// Counts the references it gives back, as the world's shape cache would.
class CountingReleaser : public phCollisionReleaser {
public:
    void ReleaseCollision(phCollision* shape) override {
        ++released;
        shape->Release();
    }
    int released = 0;
};

TEST(CompoundShapeTest, LocalBoxAndBoxUnderMatrix) {
    struct Case {
        const char* name;
        phMatrix offset;
        phVector localMin;
        phVector localMax;
    };
    const Case cases[] = {
        // The local box starts at the origin, so it reaches x = 0.
        {"box at x = 10", Moved(phVector(10, 0, 0)), phVector(0, -0.5f, -1.0f),
         phVector(10.5f, 0.5f, 1.0f)},
        {"box at the origin", phMatrix(), phVector(-0.5f, -0.5f, -1.0f),
         phVector(0.5f, 0.5f, 1.0f)},
        {"turned box below", Moved(phVector(0, -3, 0), phMatrix::RotationX(0.5f * 3.14159265f)),
         phVector(-0.5f, -4.0f, -0.5f), phVector(0.5f, 0.0f, 0.5f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phCollisionBox* box = MakeBox(1, 1, 2, c.offset);
        phCollision* children[] = {box};
        phCompoundCollision* compound = new phCompoundCollision(1, children, nullptr);
        ExpectNear(compound->GetLocalBoxMin(), phVector(c.localMin.x, c.localMin.y, c.localMin.z));
        ExpectNear(compound->GetLocalBoxMax(), phVector(c.localMax.x, c.localMax.y, c.localMax.z));
        // The world box is the box of the local box's corners under the matrix.
        const phMatrix body = Moved(phVector(1, 2, 3), phMatrix::RotationY(0.6f));
        phVector boxMin;
        phVector boxMax;
        compound->CalcAABB(body, boxMin, boxMax);
        phVector low(1e30f, 1e30f, 1e30f);
        phVector high(-1e30f, -1e30f, -1e30f);
        for (int i = 0; i < 8; ++i) {
            const phVector corner((i & 1) ? c.localMin.x : c.localMax.x,
                                  (i & 2) ? c.localMin.y : c.localMax.y,
                                  (i & 4) ? c.localMin.z : c.localMax.z);
            low = phMin(low, body.TransformVector(corner));
            high = phMax(high, body.TransformVector(corner));
        }
        ExpectNear(boxMin, low);
        ExpectNear(boxMax, high);
        compound->Release();
        box->Release();
    }
}

TEST(CompoundShapeTest, NearestChildRayHit) {
    struct Case {
        RayCase ray;
        int attribute;
    };
    // A box at x = 2 (attribute 7), a box turned a quarter about z at x = 5
    // (attribute 9) and a cylinder along z at y = 4 (attribute 3).
    const Case cases[] = {
        {{"nearer of two from -x", phVector(0, 0, 0), phVector(10, 0, 0), 0.15f,
          phVector(-1, 0, 0)},
         7},
        // The turned box's long side (2 along its y) lies along x.
        {{"nearer of two from +x", phVector(10, 0, 0), phVector(0, 0, 0), 0.4f, phVector(1, 0, 0)},
         9},
        {{"turned box only", phVector(5, -3, 0), phVector(5, 0, 0), 2.5f / 3.0f,
          phVector(0, -1, 0)},
         9},
        {{"cylinder cap", phVector(0, 4, -3), phVector(0, 4, 3), 1.0f / 3.0f, phVector(0, 0, -1)},
         3},
        {{"between the children", phVector(3.5f, -3, 0), phVector(3.5f, 3, 0), 1.2f, phVector()},
         0},
    };
    phCollisionBox* near = MakeBox(1, 1, 1, Moved(phVector(2, 0, 0)));
    phCollisionBox* far =
        MakeBox(1, 2, 1, Moved(phVector(5, 0, 0), phMatrix::RotationZ(1.5707963f)));
    phCollisionCylinder* cylinder = new phCollisionCylinder(
        0, 1.0f, 2.0f, Moved(phVector(0, 4, 0), phMatrix::RotationY(-1.5707963f)));
    near->SetUserData(7);
    far->SetUserData(9);
    cylinder->SetUserData(3);
    phCollision* children[] = {far, near, cylinder};
    phCompoundCollision* compound = new phCompoundCollision(3, children, nullptr);
    for (const Case& c : cases) {
        ExpectRayHit(*compound, c.ray, c.attribute);
    }
    compound->Release();
    near->Release();
    far->Release();
    cylinder->Release();
}

TEST(CompoundShapeTest, VolumeAndVolumeBelowPlane) {
    phCollisionBox* a = MakeBox(1, 1, 1, Moved(phVector(-2, 0, 0)));
    phCollisionBox* b = MakeBox(1, 1, 1, Moved(phVector(2, 0, 0)));
    phCollision* children[] = {a, b};
    phCompoundCollision* compound = new phCompoundCollision(2, children, nullptr);
    EXPECT_NEAR(compound->GetVolume(), 2.0f, 1e-5f);

    // The plane y = 0 in the world, with the compound placed at height 0.25:
    // a quarter of each box lies below.
    struct Plane {
        static void Fill(void*, const phMatrix&, phVector& plane) { plane = phVector(0, 1, 0, 0); }
    };
    const phMatrix body = Moved(phVector(1, 0.25f, 0));
    const phVector below = compound->VolumeBelowPlane(body, Plane::Fill, nullptr);
    EXPECT_NEAR(below.w, 0.5f, 1e-4f);
    ExpectNear(phVector(below.x, below.y, below.z, 0), phVector(1, -0.125f, 0, 0), 1e-3f);
    // The same compound carried elsewhere answers for that place.
    const phVector high =
        compound->VolumeBelowPlane(Moved(phVector(0, 5, 0)), Plane::Fill, nullptr);
    EXPECT_NEAR(high.w, 0.0f, 1e-5f);
    compound->Release();
    a->Release();
    b->Release();

    phCompoundCollision* empty = new phCompoundCollision(0, nullptr, nullptr);
    EXPECT_FLOAT_EQ(empty->GetVolume(), 0.0f);
    ExpectNear(empty->GetLocalBoxMin(), phVector(0, 0, 0));
    ExpectNear(empty->GetLocalBoxMax(), phVector(0, 0, 0));
    phRayHit hit;
    EXPECT_FLOAT_EQ(empty->RayCast(phVector(-1, 0, 0), phVector(1, 0, 0), hit), 1.2f);
    empty->Release();
}

TEST(CompoundShapeTest, ReferenceCountsOfSharedChildren) {
    phCollisionBox* shared = MakeBox(1, 1, 1);
    phCollisionBox* own = MakeBox(2, 2, 2, Moved(phVector(3, 0, 0)));
    EXPECT_EQ(shared->GetRefCount(), 1u);
    phCollision* children[] = {shared, own};
    CountingReleaser releaser;
    phCompoundCollision* first = new phCompoundCollision(2, children, &releaser);
    phCompoundCollision* second = new phCompoundCollision(1, children, &releaser);
    EXPECT_EQ(shared->GetRefCount(), 3u);
    EXPECT_EQ(own->GetRefCount(), 2u);
    // The caller lets go of its own box: the compound keeps it alive.
    own->Release();
    EXPECT_EQ(own->GetRefCount(), 1u);

    // A compound held by its maker and by a body outlives the maker's release.
    first->AddRef();
    first->Release();
    EXPECT_EQ(first->GetRefCount(), 1u);
    EXPECT_EQ(first->GetChildCount(), 2);
    EXPECT_NEAR(first->GetVolume(), 9.0f, 1e-4f);

    first->Release();
    EXPECT_EQ(releaser.released, 2);
    EXPECT_EQ(shared->GetRefCount(), 2u);
    second->Release();
    EXPECT_EQ(releaser.released, 3);
    EXPECT_EQ(shared->GetRefCount(), 1u);
    shared->Release();
}

TEST(CompoundShapeTest, RefusesChildrenThatAreNotConvex) {
    phCollisionBox* box = MakeBox(1, 1, 1);
    phCollision* inner[] = {box};
    phCompoundCollision* nested = new phCompoundCollision(1, inner, nullptr);
    phCollision* children[] = {nested, box, nullptr};
    phCompoundCollision* compound = new phCompoundCollision(3, children, nullptr);
    EXPECT_EQ(compound->GetChildCount(), 1);
    EXPECT_EQ(compound->GetChild(0), box);
    EXPECT_EQ(nested->GetRefCount(), 1u);
    EXPECT_EQ(compound->GetKind(), kCollisionCompound);
    EXPECT_EQ(compound->GetSignature(), 0u);
    EXPECT_EQ(compound->GetUserData(), 0u);
    EXPECT_TRUE(compound->IsClass(kClassIdCompound));
    EXPECT_TRUE(compound->IsClass(kClassIdCollision));
    EXPECT_TRUE(compound->IsClass(kClassIdRef));
    EXPECT_FALSE(compound->IsClass(kClassIdConvexCollision));
    compound->Release();
    nested->Release();
    box->Release();
}

struct WalkRecord {
    phVector low{1e30f, 1e30f, 1e30f};
    phVector high{-1e30f, -1e30f, -1e30f};
    int faces = 0;
};

void RecordWalk(void* context, int count, const float* vertices) {
    auto* record = static_cast<WalkRecord*>(context);
    ++record->faces;
    for (int i = 0; i < count; ++i) {
        record->low = phMin(record->low, phVector(vertices + 3 * i));
        record->high = phMax(record->high, phVector(vertices + 3 * i));
    }
}

TEST(CompoundShapeTest, ChildMatricesComeFromTheBodyAsked) {
    phCollisionBox* box = MakeBox(1, 1, 1, Moved(phVector(2, 0, 0)));
    phCollision* children[] = {box};
    phCompoundCollision* compound = new phCompoundCollision(1, children, nullptr);
    const phMatrix bodyA = Moved(phVector(0, 10, 0));
    const phMatrix bodyB = Moved(phVector(-5, 0, 0), phMatrix::RotationZ(1.5707963f));

    // Asking for one body's boxes leaves another body's answers unchanged.
    phVector aMin;
    phVector aMax;
    compound->CalcChildAABB(0, bodyA, aMin, aMax);
    phVector bMin;
    phVector bMax;
    compound->CalcAABB(bodyB, bMin, bMax);
    compound->CalcChildAABB(0, bodyB, bMin, bMax);
    phVector again;
    phVector againMax;
    compound->CalcChildAABB(0, bodyA, again, againMax);
    ExpectNear(aMin, phVector(1.5f, 9.5f, -0.5f));
    ExpectNear(aMax, phVector(2.5f, 10.5f, 0.5f));
    ExpectNear(again, aMin);
    ExpectNear(bMin, phVector(-5.5f, 1.5f, -0.5f));
    ExpectNear(bMax, phVector(-4.5f, 2.5f, 0.5f));

    // The face walk places the children by the matrix it is given.
    WalkRecord walk;
    compound->ForEachPolygon(bodyB, &walk, RecordWalk);
    EXPECT_EQ(walk.faces, 6);
    ExpectNear(phVector(walk.low.x, walk.low.y, walk.low.z), phVector(bMin.x, bMin.y, bMin.z));
    ExpectNear(phVector(walk.high.x, walk.high.y, walk.high.z), phVector(bMax.x, bMax.y, bMax.z));
    compound->Release();
    box->Release();
}

}  // namespace
