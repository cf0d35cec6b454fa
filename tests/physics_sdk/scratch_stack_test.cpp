#include "core/scratch_stack.h"

#include "core/exception.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr size_t kMegabyte = 1024 * 1024;

TEST(VirtualBufferTest, ReservesWholeStepsPlusAGuardAndCommitsTheFirstStep) {
    phVirtualBuffer buffer(0x8000000, 256);
    EXPECT_EQ(buffer.GetStepBytes(), kMegabyte);
    EXPECT_EQ(buffer.GetReservedBytes(), 127 * kMegabyte + 2 * kMegabyte);
    EXPECT_EQ(buffer.GetCommittedBytes(), kMegabyte);
    EXPECT_EQ(buffer.GetUsableBytes(), 128 * kMegabyte);
    EXPECT_TRUE(buffer.CommitThrough(kMegabyte + 1));
    EXPECT_EQ(buffer.GetCommittedBytes(), 2 * kMegabyte);
    EXPECT_FALSE(buffer.CommitThrough(buffer.GetUsableBytes() + 1));
}

TEST(ScratchStackTest, GrowsInStepsAsBlocksArePushed) {
    phScratchStack stack(16 * kMegabyte, 256);
    EXPECT_EQ(stack.GetCommittedBytes(), kMegabyte);
    const size_t blockSize = 256 * 1024;
    for (int i = 0; i < 12; ++i) {  // 3 MB in all
        char* block = static_cast<char*>(stack.Push(blockSize));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(block) & 15, 0u);
        std::memset(block, i, blockSize);  // committed memory is writable
    }
    EXPECT_GE(stack.GetCommittedBytes(), 3 * kMegabyte);
    EXPECT_LE(stack.GetCommittedBytes(), 4 * kMegabyte);
    EXPECT_EQ(stack.GetDepth(), 12u);
    for (int i = 0; i < 12; ++i) {
        stack.Pop();
    }
    EXPECT_EQ(stack.GetUsedBytes(), 0u);
    stack.Pop();  // on an empty stack: nothing
    EXPECT_EQ(stack.GetDepth(), 0u);
}

TEST(ScratchStackTest, PopRestoresTheTopSoBlocksAreReused) {
    phScratchStack stack(kMegabyte, 16);
    void* a = stack.Push(10);
    void* b = stack.Push(100);
    stack.Pop();
    EXPECT_EQ(stack.Push(100), b);
    stack.Pop();
    stack.Pop();
    EXPECT_EQ(stack.Push(10), a);
    stack.Pop();
}

TEST(ScratchStackTest, ExhaustedBufferThrowsTheCommitFailureText) {
    phScratchStack stack(2 * kMegabyte, 256);
    stack.Push(kMegabyte);
    try {
        stack.Push(2 * kMegabyte);
        FAIL() << "push beyond the reserved range succeeded";
    } catch (const phException& e) {
        EXPECT_EQ(std::string(e.What()), "phSpawnVirtualBuffer: Unable to commit Virtual Memory");
    }
    // The stack is unchanged after the refused push.
    EXPECT_EQ(stack.GetDepth(), 1u);
    EXPECT_NO_THROW(stack.Push(1000));
}

TEST(ScratchStackTest, ProcessWideStackAndScratchArrays) {
    phScratchStack& stack = phScratch();
    const size_t depth = stack.GetDepth();
    {
        phScratchArray<double> values(1000);
        values[999] = 1.0;
        EXPECT_EQ(stack.GetDepth(), depth + 1);
    }
    EXPECT_EQ(stack.GetDepth(), depth);
}

}  // namespace
