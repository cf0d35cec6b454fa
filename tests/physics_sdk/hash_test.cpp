#include "core/hash.h"

#include "core/class_ids.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(HashTest, EmptyRunGivesTheSeedAndSingleBytesReadTheTable) {
    EXPECT_EQ(phHash(0, "", 0), 0u);
    EXPECT_EQ(phHash(12345, "abc", 0), 12345u);
    const unsigned char bytes[] = {0, 1, 2, 3};
    const uint32_t expected[] = {0x00000001u, 0x2c11f801u, 0xdfd8f60eu, 0x6c8fa2b7u};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(phHash(0, &bytes[i], 1), expected[i]);
    }
    // h = (h << 8) xor table[(h >> 24) xor b]
    EXPECT_EQ(phHash(0, bytes + 1, 2), (0x2c11f801u << 8) ^ ph_detail::kHashTable.words[0x2c ^ 2]);
}

TEST(HashTest, TextHashMatchesTheByteHashAndClassIdsDiffer) {
    EXPECT_EQ(phTextHash("phCollisionBox"), phHash(0, "phCollisionBox", 14));
    static_assert(kClassIdBox == phTextHash("phCollisionBox"), "computed at compile time");
    const uint32_t ids[] = {kClassIdPolygonalSoup,
                            kClassIdConvexPolygon,
                            kClassIdRef,
                            kClassIdCollision,
                            kClassIdConvexCollision,
                            kClassIdAABBPolygonSoup,
                            kClassIdPolygonSoupDatabase,
                            kClassIdBox,
                            kClassIdNull,
                            kClassIdCone,
                            kClassIdSphere,
                            kClassIdEllipse,
                            kClassIdCapsule,
                            kClassIdCylinder,
                            kClassIdCompound,
                            kClassIdConvexHull,
                            kClassIdConvexModifier,
                            kClassIdChamferCylinder,
                            kClassIdBaseNode,
                            kClassIdVideo};
    EXPECT_EQ(std::set<uint32_t>(std::begin(ids), std::end(ids)).size(), std::size(ids));
}

}  // namespace
