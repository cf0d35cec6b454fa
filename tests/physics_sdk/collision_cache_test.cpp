#include "collision/collision_cache.h"
#include "collision/box.h"
#include "collision/compound.h"
#include "collision/convex_hull.h"
#include "collision/cylinder.h"
#include "collision/static_mesh_tree.h"
#include "core/hash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <unordered_map>

namespace {

// A convex shape that reports its own destruction.
class WatchedShape : public phConvexCollision {
public:
    explicit WatchedShape(bool* deleted)
        : phConvexCollision(0, phMatrix(), kCollisionConvexHull), m_deleted(deleted) {}
    ~WatchedShape() override { *m_deleted = true; }
    float RayCast(const phVector&, const phVector&, phRayHit&) const override { return 1.2f; }
    uint32_t GetSignature() const override { return 0; }

private:
    bool* m_deleted;
};

TEST(CollisionCacheTest, SizeTable) {
    struct SizeCase {
        const char* name;
        float dx;
        bool shares;
    };
    const SizeCase cases[] = {
        {"same size", 1.0f, true}, {"1.0001", 1.0001f, true},      {"1.001", 1.001f, true},
        {"1.002", 1.002f, false},  {"negative size", -1.0f, true},
    };
    for (const SizeCase& c : cases) {
        phCollisionCache cache;
        phCollision* first = cache.CreateBox(1.0f, 2.0f, 3.0f, phMatrix());
        phCollision* second = cache.CreateBox(c.dx, 2.0f, 3.0f, phMatrix());
        EXPECT_EQ(first == second, c.shares) << c.name;
        EXPECT_EQ(cache.GetCount(), c.shares ? 1u : 2u) << c.name;
        cache.ReleaseCollision(first);
        cache.ReleaseCollision(second);
        EXPECT_EQ(cache.GetCount(), 0u) << c.name;
    }
    EXPECT_EQ(phBoxEdgeTableUseCount(), 0);
}

TEST(CollisionCacheTest, TwoEqualBoxesAreOneShapeUntilBothAreReleased) {
    phCollisionCache cache;
    phCollision* a = cache.CreateBox(1, 2, 3, phMatrix());
    phCollision* b = cache.CreateBox(1, 2, 3, phMatrix());
    ASSERT_EQ(a, b);
    EXPECT_EQ(a->GetRefCount(), 3u);
    cache.ReleaseCollision(a);
    EXPECT_EQ(a->GetRefCount(), 2u);
    EXPECT_TRUE(cache.Contains(a));
    cache.ReleaseCollision(b);
    EXPECT_EQ(cache.GetCount(), 0u);
    EXPECT_EQ(phBoxEdgeTableUseCount(), 0);
}

TEST(CollisionCacheTest, OffsetMatrixTellsShapesApart) {
    phCollisionCache cache;
    phMatrix moved;
    moved[3] = phVector(0, 1, 0);
    phCollision* a = cache.CreateBox(1, 1, 1, phMatrix());
    phCollision* b = cache.CreateBox(1, 1, 1, moved);
    EXPECT_NE(a, b);
    cache.ReleaseCollision(a);
    cache.ReleaseCollision(b);
}

TEST(CollisionCacheTest, KeysEqualTheShapesOwnSignatures) {
    phMatrix offset = phMatrix::RotationY(0.3f);
    offset[3] = phVector(1, 2, 3);
    phCollisionCache cache;
    phCollision* box = cache.CreateBox(1.5f, 0.25f, 3.0f, offset);
    EXPECT_EQ(box->GetSignature(), phBoxSignature(1.5f, 0.25f, 3.0f, offset));
    EXPECT_EQ(box->GetStoredSignature(), box->GetSignature());
    phCollision* cylinder = cache.CreateCylinder(0.5f, 2.0f, offset);
    EXPECT_EQ(cylinder->GetSignature(), phCylinderSignature(0.5f, 2.0f, offset));
    const float points[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 9};
    phCollision* hull = cache.CreateConvexHull(4, 12, points, offset);
    EXPECT_EQ(hull->GetStoredSignature(), phConvexHullSignature(4, 12, points, offset));
    EXPECT_EQ(cache.CreateConvexHull(4, 12, points, offset), hull);
    cache.ReleaseCollision(hull);
    EXPECT_EQ(cache.CreateCylinder(0.5f, 2.0f, offset), cylinder);
    cache.ReleaseCollision(cylinder);
    cache.ReleaseCollision(box);
    cache.ReleaseCollision(cylinder);
    cache.ReleaseCollision(hull);
    EXPECT_EQ(cache.GetCount(), 0u);
}

// Two different key records with the same hash must stay two shapes.
TEST(CollisionCacheTest, HashCollisionComparesTheWholeRecord) {
    std::mt19937_64 random(5);
    std::unordered_map<uint32_t, uint64_t> seen;
    uint64_t recordA = 0;
    uint64_t recordB = 0;
    for (;;) {
        const uint64_t record = random();
        const uint32_t key = phCollisionCache::KeyOf(&record, sizeof(record));
        auto found = seen.find(key);
        if (found != seen.end() && found->second != record) {
            recordA = found->second;
            recordB = record;
            break;
        }
        seen.emplace(key, record);
    }
    ASSERT_EQ(phCollisionCache::KeyOf(&recordA, 8), phCollisionCache::KeyOf(&recordB, 8));

    bool deletedA = false;
    bool deletedB = false;
    phCollisionCache cache;
    phCollision* a = new WatchedShape(&deletedA);
    cache.Insert(a, &recordA, 8);
    EXPECT_EQ(cache.Find(&recordB, 8), nullptr);
    phCollision* b = new WatchedShape(&deletedB);
    cache.Insert(b, &recordB, 8);
    phCollision* foundA = cache.Find(&recordA, 8);
    phCollision* foundB = cache.Find(&recordB, 8);
    EXPECT_EQ(foundA, a);
    EXPECT_EQ(foundB, b);
    cache.ReleaseCollision(foundA);
    cache.ReleaseCollision(foundB);
    cache.ReleaseCollision(a);
    EXPECT_TRUE(deletedA);
    EXPECT_FALSE(deletedB);
    EXPECT_EQ(cache.Find(&recordA, 8), nullptr);
    cache.ReleaseCollision(b);
    EXPECT_TRUE(deletedB);
}

TEST(CollisionCacheTest, UncachedShapeDiesOnlyAtCountZero) {
    bool deleted = false;
    phCollisionCache cache;
    phCollision* shape = new WatchedShape(&deleted);
    shape->AddRef();
    cache.ReleaseCollision(shape);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(shape->GetRefCount(), 1u);
    cache.ReleaseCollision(shape);
    EXPECT_TRUE(deleted);
}

TEST(CollisionCacheTest, CompoundReleasesItsChildrenThroughTheCache) {
    phCollisionCache cache;
    phCollision* box = cache.CreateBox(1, 1, 1, phMatrix());
    phCollision* children[] = {box};
    phCollision* compound = new phCompoundCollision(1, children, &cache);
    compound->AddRef();
    cache.ReleaseCollision(compound);
    EXPECT_EQ(box->GetRefCount(), 3u);
    cache.ReleaseCollision(compound);
    EXPECT_EQ(box->GetRefCount(), 2u);
    cache.ReleaseCollision(box);
    EXPECT_EQ(cache.GetCount(), 0u);
    EXPECT_EQ(phBoxEdgeTableUseCount(), 0);
}

TEST(CollisionCacheTest, RekeyMovesTheShape) {
    bool deleted = false;
    phCollisionCache cache;
    phCollision* shape = new WatchedShape(&deleted);
    const int32_t oldRecord[2] = {10, 1};
    const int32_t newRecord[2] = {10, 2};
    cache.Insert(shape, oldRecord, sizeof(oldRecord));
    cache.Rekey(shape, newRecord, sizeof(newRecord));
    EXPECT_EQ(cache.Find(oldRecord, sizeof(oldRecord)), nullptr);
    phCollision* found = cache.Find(newRecord, sizeof(newRecord));
    EXPECT_EQ(found, shape);
    EXPECT_EQ(shape->GetRefCount(), 3u);
    cache.ReleaseCollision(found);
    cache.ReleaseCollision(shape);
    EXPECT_TRUE(deleted);
}

TEST(CollisionCacheTest, DestroyingTheCacheDestroysShapesOthersStillHold) {
    // The cache goes with its world; a caller's reference never released
    // must not keep a shape alive past it.
    bool deleted = false;
    phCollision* shape = new WatchedShape(&deleted);
    {
        phCollisionCache cache;
        const int32_t record[1] = {7};
        cache.Insert(shape, record, sizeof(record));
        shape->AddRef();
        EXPECT_EQ(shape->GetRefCount(), 3u);
    }
    EXPECT_TRUE(deleted);
}

TEST(CollisionCacheTest, StaticMeshesAreNeverSharedAndMoveAfterTheirBuild) {
    phCollisionCache cache;
    phCollisionPolygonalSoup* a = phCreateTreeCollision(nullptr, nullptr, 1u, 2u, 3u);
    phCollisionPolygonalSoup* b = phCreateTreeCollision(nullptr, nullptr, 1u, 2u, 3u);
    cache.AddStaticMesh(a);
    cache.AddStaticMesh(b);
    EXPECT_EQ(cache.GetCount(), 2u);
    const phStaticMeshKey keyA = phMakeStaticMeshKey(*a);
    const phStaticMeshKey keyB = phMakeStaticMeshKey(*b);
    EXPECT_NE(phCollisionCache::KeyOf(&keyA, sizeof(keyA)),
              phCollisionCache::KeyOf(&keyB, sizeof(keyB)));

    phTreeCollisionBeginBuild(*a);
    const float quad[] = {0, 0, 0, 0, 0, 5, 5, 0, 5, 5, 0, 0};
    phTreeCollisionAddFace(*a, 4, quad, 12, 1);
    phTreeCollisionAddFace(*a, 4, quad, 12, 2);
    phTreeCollisionEndBuild(*a, 0);
    cache.UpdateStaticMesh(a);
    EXPECT_EQ(cache.Find(&keyA, sizeof(keyA)), nullptr);
    const phStaticMeshKey built = phMakeStaticMeshKey(*a);
    phCollision* found = cache.Find(&built, sizeof(built));
    EXPECT_EQ(found, a);
    cache.ReleaseCollision(found);
    cache.ReleaseCollision(a);
    cache.ReleaseCollision(b);
    EXPECT_EQ(cache.GetCount(), 0u);
}

}  // namespace
