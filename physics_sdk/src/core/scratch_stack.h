// Scratch stack: short-lived blocks pushed and popped strictly last-in,
// first-out on a reserved virtual buffer that is committed as the stack
// grows. Per-step work takes its temporary arrays from here instead of the
// heap.
#ifndef PHYSICS_SDK_CORE_SCRATCH_STACK_H
#define PHYSICS_SDK_CORE_SCRATCH_STACK_H

#include "platform/virtual_memory.h"

#include <cstddef>

inline constexpr size_t kScratchReserveBytes = 0x8000000;
inline constexpr size_t kScratchCommitPages = 256;

class phScratchStack {
public:
    phScratchStack(size_t reserveBytes, size_t commitPages);

    // A 16-byte aligned block of size bytes on top of the stack. Throws
    // phException when the buffer cannot hold it.
    void* Push(size_t size);
    // Removes the top block; does nothing on an empty stack.
    void Pop();

    size_t GetDepth() const { return m_depth; }
    size_t GetUsedBytes() const { return static_cast<size_t>(m_top - m_buffer.GetBase()); }
    size_t GetCommittedBytes() const { return m_buffer.GetCommittedBytes(); }

private:
    // Kept in front of every block: where the stack stood before the push and
    // the block below this one.
    struct Link {
        char* oldTop;
        char* previousBlock;
    };

    phVirtualBuffer m_buffer;
    char* m_top;
    char* m_topBlock = nullptr;
    size_t m_depth = 0;
};

// The process-wide scratch stack (128 MB reserved, 1 MB steps), made on first
// use.
phScratchStack& phScratch();

// A typed scratch array for one scope.
template <class T>
class phScratchArray {
public:
    explicit phScratchArray(size_t count)
        : m_data(static_cast<T*>(phScratch().Push((count == 0 ? 1 : count) * sizeof(T)))) {}
    ~phScratchArray() { phScratch().Pop(); }

    phScratchArray(const phScratchArray&) = delete;
    phScratchArray& operator=(const phScratchArray&) = delete;

    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }
    T* Data() { return m_data; }

private:
    T* m_data;
};

#endif
