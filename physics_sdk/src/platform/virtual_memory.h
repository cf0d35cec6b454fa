// Reserved address space that is committed in steps as it is used. The range
// beyond the committed part stays inaccessible, so an overrun faults at once
// instead of corrupting memory. Commits are explicit (CommitThrough); nothing
// grows from a fault handler.
#ifndef PHYSICS_SDK_PLATFORM_VIRTUAL_MEMORY_H
#define PHYSICS_SDK_PLATFORM_VIRTUAL_MEMORY_H

#include <cstddef>

inline constexpr size_t kVirtualPageSize = 4096;

class phVirtualBuffer {
public:
    // step = commitPages pages; reserves ((reserveBytes - 1) rounded down to a
    // step) + 2 steps, of which the last step is never committed (a guard),
    // and commits the first step. Throws phException when reserving or the
    // first commit fails.
    phVirtualBuffer(size_t reserveBytes, size_t commitPages);
    ~phVirtualBuffer();

    phVirtualBuffer(const phVirtualBuffer&) = delete;
    phVirtualBuffer& operator=(const phVirtualBuffer&) = delete;

    char* GetBase() const { return m_base; }
    size_t GetReservedBytes() const { return m_reservedBytes; }
    size_t GetCommittedBytes() const { return m_committedBytes; }
    // The bytes that may ever be committed (reserved less the guard step).
    size_t GetUsableBytes() const { return m_reservedBytes - m_stepBytes; }
    size_t GetStepBytes() const { return m_stepBytes; }

    // Commits whole steps until the first endOffset bytes are usable. Returns
    // false when that would pass the usable range or the system refuses.
    bool CommitThrough(size_t endOffset);

private:
    char* m_base = nullptr;
    size_t m_reservedBytes = 0;
    size_t m_committedBytes = 0;
    size_t m_stepBytes = 0;
};

#endif
