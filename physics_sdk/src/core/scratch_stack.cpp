#include "core/scratch_stack.h"

#include "core/exception.h"

#include <cstdint>

phScratchStack::phScratchStack(size_t reserveBytes, size_t commitPages)
    : m_buffer(reserveBytes, commitPages), m_top(m_buffer.GetBase()) {}

void* phScratchStack::Push(size_t size) {
    const uintptr_t top = reinterpret_cast<uintptr_t>(m_top);
    const uintptr_t block = (top + sizeof(Link) + 15) & ~uintptr_t(15);
    const size_t blockOffset = block - reinterpret_cast<uintptr_t>(m_buffer.GetBase());
    if (size > m_buffer.GetUsableBytes() || !m_buffer.CommitThrough(blockOffset + size)) {
        throw phException(kVirtualMemoryFailureText);
    }
    char* blockPointer = reinterpret_cast<char*>(block);
    Link* link = reinterpret_cast<Link*>(blockPointer) - 1;
    link->oldTop = m_top;
    link->previousBlock = m_topBlock;
    m_topBlock = blockPointer;
    m_top = blockPointer + size;
    ++m_depth;
    return blockPointer;
}

void phScratchStack::Pop() {
    if (m_topBlock == nullptr) {
        return;
    }
    const Link* link = reinterpret_cast<const Link*>(m_topBlock) - 1;
    m_top = link->oldTop;
    m_topBlock = link->previousBlock;
    --m_depth;
}

phScratchStack& phScratch() {
    static phScratchStack stack(kScratchReserveBytes, kScratchCommitPages);
    return stack;
}
