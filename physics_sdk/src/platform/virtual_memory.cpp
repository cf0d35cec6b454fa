#include "platform/virtual_memory.h"

#include "core/exception.h"

#include <sys/mman.h>

phVirtualBuffer::phVirtualBuffer(size_t reserveBytes, size_t commitPages) {
    m_stepBytes = (commitPages == 0 ? 1 : commitPages) * kVirtualPageSize;
    const size_t request = reserveBytes == 0 ? 1 : reserveBytes;
    m_reservedBytes = ((request - 1) / m_stepBytes) * m_stepBytes + 2 * m_stepBytes;
    void* base = mmap(nullptr, m_reservedBytes, PROT_NONE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) {
        throw phException(kVirtualMemoryFailureText);
    }
    m_base = static_cast<char*>(base);
    if (!CommitThrough(m_stepBytes)) {
        munmap(m_base, m_reservedBytes);
        m_base = nullptr;
        throw phException(kVirtualMemoryFailureText);
    }
}

phVirtualBuffer::~phVirtualBuffer() {
    if (m_base != nullptr) {
        munmap(m_base, m_reservedBytes);
    }
}

bool phVirtualBuffer::CommitThrough(size_t endOffset) {
    if (endOffset <= m_committedBytes) {
        return true;
    }
    if (endOffset > GetUsableBytes()) {
        return false;
    }
    const size_t steps = (endOffset - m_committedBytes + m_stepBytes - 1) / m_stepBytes;
    const size_t bytes = steps * m_stepBytes;
    if (mprotect(m_base + m_committedBytes, bytes, PROT_READ | PROT_WRITE) != 0) {
        return false;
    }
    m_committedBytes += bytes;
    return true;
}
