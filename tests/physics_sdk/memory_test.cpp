#include "core/memory.h"

#include "core/name_dictionary.h"
#include "counting_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

bool IsAligned16(const void* p) { return (reinterpret_cast<uintptr_t>(p) & 15) == 0; }

TEST(MemoryTest, BlocksAreAlignedAndCarryTheirHeaderForEverySize) {
    ScopedCountingAllocator scope;
    ASSERT_TRUE(scope.Installed());
    EXPECT_EQ(phMalloc(0), nullptr);
    for (size_t size = 1; size <= 65536; size += (size < 256 ? 1 : 97)) {
        void* block = phMalloc(size);
        ASSERT_NE(block, nullptr);
        ASSERT_TRUE(IsAligned16(block)) << size;
        ASSERT_EQ(CountingAllocator::LastAllocSize(), static_cast<int>(size + 32)) << size;
        // The whole block is writable inside the raw allocation (ASan checks).
        static_cast<char*>(block)[0] = 1;
        static_cast<char*>(block)[size - 1] = 1;
        phFree(block);
        ASSERT_EQ(CountingAllocator::LastFreedSize(), static_cast<int>(size + 32)) << size;
    }
    void* largest = phMalloc(65536);
    phFree(largest);
    EXPECT_EQ(CountingAllocator::LastFreedSize(), 65536 + 32);
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
}

TEST(MemoryTest, OneByteBlockIsFreedWithSize33AndNullFreeDoesNothing) {
    ScopedCountingAllocator scope;
    void* block = phMalloc(1);
    EXPECT_TRUE(IsAligned16(block));
    EXPECT_EQ(phOutstandingBlocks(), 1u);
    phFree(nullptr);
    phFree(block);
    EXPECT_EQ(CountingAllocator::LastFreedSize(), 33);
    EXPECT_EQ(phOutstandingBlocks(), 0u);
}

TEST(MemoryTest, CallbacksChangeOnlyWhileNoBlockIsOutstanding) {
    ScopedCountingAllocator scope;
    void* block = phMalloc(64);
    // Changing the pair now would free this block through the wrong pair.
    EXPECT_FALSE(phSetMemoryCallbacks(nullptr, nullptr));
    // Re-installing the same pair is always fine.
    EXPECT_TRUE(phSetMemoryCallbacks(CountingAllocator::Alloc, CountingAllocator::Free));
    phFree(block);
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
}

TEST(MemoryTest, CachedBlocksAreReleasedBeforeTheCallbacksChange) {
    ScopedCountingAllocator scope;
    void* object = phClassAlloc(40);
    phClassFree(object);
    EXPECT_EQ(phClassCachedBlocks(), 1u);
    EXPECT_GT(phOutstandingBlocks(), 0u);
    // Only cached blocks are out: they go back to the old pair, and the change
    // goes through.
    EXPECT_TRUE(phSetMemoryCallbacks(nullptr, nullptr));
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
    EXPECT_EQ(phClassCachedBlocks(), 0u);
}

TEST(ClassAllocatorTest, ObjectsStayAlignedAndFreedBlocksAreReusedBySize) {
    ScopedCountingAllocator scope;
    std::vector<void*> objects;
    for (size_t size = 1; size <= 65536; size *= 2) {
        void* object = phClassAlloc(size);
        ASSERT_TRUE(IsAligned16(object)) << size;
        // Size prefix plus block header; at least room for a free-list link.
        const size_t room = size < 8 ? 8 : size;
        ASSERT_EQ(CountingAllocator::LastAllocSize(), static_cast<int>(room + 16 + 32));
        objects.push_back(object);
    }
    for (void* object : objects) {
        phClassFree(object);
    }
    EXPECT_EQ(phClassCachedBlocks(), objects.size());
    // A request of a cached size takes the cached block; another size does not.
    void* again = phClassAlloc(64);
    EXPECT_EQ(again, objects[6]);
    EXPECT_EQ(phClassCachedBlocks(), objects.size() - 1);
    void* fresh = phClassAlloc(48);
    EXPECT_EQ(phClassCachedBlocks(), objects.size() - 1);
    phClassFree(again);
    phClassFree(fresh);
}

TEST(NameDictionaryTest, NamesAreFoundByHashAndLongNamesGetTheirOwnBlock) {
    ScopedCountingAllocator scope;
    const uint32_t hash = phStringHash("phCollisionBox");
    EXPECT_STREQ(phFindName(hash), "phCollisionBox");
    EXPECT_EQ(phNameBlockCount(), 1u);

    std::string longName(kNameBlockRoom + 100, 'x');
    const uint32_t longHash = phStringHash(longName.c_str());
    EXPECT_EQ(phFindName(longHash), longName);
    EXPECT_EQ(phNameBlockCount(), 2u);
    // The shared block keeps packing short names after the long one.
    phStringHash("another");
    EXPECT_EQ(phNameBlockCount(), 2u);

    // Filling the shared block starts a new one.
    std::string chunk(1000, 'a');
    for (int i = 0; i < 10; ++i) {
        chunk[0] = static_cast<char>('b' + i);
        phStringHash(chunk.c_str());
    }
    EXPECT_EQ(phNameBlockCount(), 3u);
    EXPECT_STREQ(phFindName(hash), "phCollisionBox");
}

}  // namespace
