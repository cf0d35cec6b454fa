#include "core/pool.h"

#include "counting_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

namespace {

TEST(PoolTest, SlotSizesRoundUpTo16AndPagesHoldAtLeastOneElement) {
    struct Case {
        size_t elementSize;
        size_t slot;
        size_t perFourKilobytes;
    };
    const Case cases[] = {{1, 16, 256}, {16, 16, 256},   {20, 32, 128},
                          {33, 48, 85}, {4096, 4096, 1}, {5000, 5008, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(phPool::SlotSize(c.elementSize), c.slot) << c.elementSize;
        EXPECT_EQ(phPool::ElementsPerPage(c.elementSize, 4), c.perFourKilobytes) << c.elementSize;
    }
}

TEST(PoolTest, HandsOutDistinctAlignedSlotsAndGivesPagesBackWhenEmpty) {
    ScopedCountingAllocator scope;
    phPool pool(20, phPool::ElementsPerPage(20, 4));
    EXPECT_EQ(pool.GetSlotSize(), 32u);
    std::vector<void*> elements;
    std::set<uintptr_t> seen;
    for (int i = 0; i < 300; ++i) {
        void* e = pool.Allocate();
        ASSERT_EQ(reinterpret_cast<uintptr_t>(e) & 15, 0u);
        ASSERT_TRUE(seen.insert(reinterpret_cast<uintptr_t>(e)).second);
        elements.push_back(e);
    }
    EXPECT_EQ(pool.GetPageCount(), 3u);  // 128 per page
    EXPECT_EQ(pool.GetLiveCount(), 300u);
    // A freed slot is handed out again before a new page is taken.
    pool.Free(elements[5]);
    EXPECT_EQ(pool.Allocate(), elements[5]);
    for (void* e : elements) {
        pool.Free(e);
    }
    EXPECT_EQ(pool.GetLiveCount(), 0u);
    EXPECT_EQ(pool.GetPageCount(), 0u);
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
}

TEST(PoolTest, WorldPoolsTakeAPageEvery256Elements) {
    phPool pool(200, 256);
    std::vector<void*> elements;
    for (int i = 0; i < 256; ++i) {
        elements.push_back(pool.Allocate());
    }
    EXPECT_EQ(pool.GetPageCount(), 1u);
    elements.push_back(pool.Allocate());
    EXPECT_EQ(pool.GetPageCount(), 2u);
    pool.Clear();
    EXPECT_EQ(pool.GetPageCount(), 0u);
}

}  // namespace
