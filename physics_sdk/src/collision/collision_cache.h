// The shape cache of a world: equal shapes are one shared, reference-counted
// phCollision. A shape is found by the 32-bit hash of its key record (its
// kind and its quantised parameters), and a hit is taken only when the whole
// record matches, so two different shapes whose keys hash alike never stand
// in for each other. The cache holds one reference on every shape it keeps;
// when that is the last one, the shape goes. Compounds are never shared but
// are known to the cache too, so that the end of the world takes every shape
// with it, whatever references its callers still hold.
#ifndef PHYSICS_SDK_COLLISION_COLLISION_CACHE_H
#define PHYSICS_SDK_COLLISION_COLLISION_CACHE_H

#include "collision/compound.h"
#include "core/matrix.h"
#include "core/tree.h"

#include <cstddef>
#include <cstdint>

class phCollision;
class phCollisionPolygonalSoup;

class phCollisionCache : public phCollisionReleaser {
public:
    phCollisionCache() = default;
    // Destroys every shape it knows: the compounds first, which give their
    // parts back, then every kept shape, whatever its count.
    ~phCollisionCache();

    phCollisionCache(const phCollisionCache&) = delete;
    phCollisionCache& operator=(const phCollisionCache&) = delete;

    // The shape kept under this key record with one more reference, or null.
    phCollision* Find(const void* record, size_t length);
    // Keeps shape under the record (the cache's reference; the caller's stays
    // with the caller, so the count should be 2 afterwards).
    void Insert(phCollision* shape, const void* record, size_t length);
    // Gives one reference back. A cached shape whose only holder left is the
    // cache is removed and deleted; a shape that is not in the cache dies
    // only when its count reaches 0.
    void ReleaseCollision(phCollision* shape) override;
    // Moves a kept shape to a new key record after its contents changed.
    void Rekey(phCollision* shape, const void* record, size_t length);
    bool Contains(const phCollision* shape) const;
    size_t GetCount() const { return m_byShape.GetCount(); }

    // The creators: a shared shape, or a new one entered in the cache.
    phCollision* CreateBox(float dx, float dy, float dz, const phMatrix& offset);
    phCollision* CreateCylinder(float radius, float height, const phMatrix& offset);
    // pointCount points of three floats, strideInBytes apart (rounded down to
    // a multiple of 4).
    // Null when the points span no volume.
    phCollision* CreateConvexHull(int pointCount, int strideInBytes, const float* points,
                                  const phMatrix& offset);
    // A new compound of the convex parts among parts (never shared); null
    // when there is none.
    phCollision* CreateCompound(int count, phCollision* const* parts);

    // Enters a new static mesh (never shared: its record holds its own
    // address) and takes a reference for the caller.
    void AddStaticMesh(phCollisionPolygonalSoup* mesh);
    // After a mesh's build gave it its real box: re-keys it when its
    // signature changed.
    void UpdateStaticMesh(phCollisionPolygonalSoup* mesh);

    // The hash of a key record (seed 0).
    static uint32_t KeyOf(const void* record, size_t length);

private:
    struct Entry;

    void Remove(phCollision* shape);

    // Entries by key hash; entries whose keys hash alike are chained.
    phTree<uint32_t, Entry*> m_byKey;
    // The key hash of every kept shape.
    phTree<const phCollision*, uint32_t> m_byShape;
    // The compounds made here and still alive.
    phTree<const phCollision*, int> m_compounds;
};

// Key records of the cached kinds, as 32-bit words.
struct phBoxKey {
    int32_t words[20];
};
struct phCylinderKey {
    int32_t words[19];
};
phBoxKey phMakeBoxKey(float dx, float dy, float dz, const phMatrix& offset);
phCylinderKey phMakeCylinderKey(float radius, float height, const phMatrix& offset);
// The kind, the quantised box, the three callback addresses and the mesh's
// own address, as 32-bit words.
struct phStaticMeshKey {
    uint32_t words[15];
};
phStaticMeshKey phMakeStaticMeshKey(const phCollisionPolygonalSoup& mesh);
// (3n + 17) words into record, which has room for them.
void phMakeConvexHullKey(int pointCount, int strideInBytes, const float* points,
                         const phMatrix& offset, int32_t* record);

#endif
