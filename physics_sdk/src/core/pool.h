// Fixed-size pool: elements of one size carved from pages taken through
// phMalloc. Freed elements go on a free list; when the last live element is
// freed every page is given back.
#ifndef PHYSICS_SDK_CORE_POOL_H
#define PHYSICS_SDK_CORE_POOL_H

#include <cstddef>

class phPool {
public:
    // elementSize is rounded up to a multiple of 16; each page holds
    // elementsPerPage elements (at least one).
    phPool(size_t elementSize, size_t elementsPerPage);
    ~phPool();

    phPool(const phPool&) = delete;
    phPool& operator=(const phPool&) = delete;

    // Elements per page for a page of pageKilobytes: max(1, bytes / slot).
    static size_t ElementsPerPage(size_t elementSize, size_t pageKilobytes);
    static size_t SlotSize(size_t elementSize) { return (elementSize + 15) & ~size_t(15); }

    // A 16-byte aligned element, or null when no page could be taken.
    void* Allocate();
    void Free(void* element);
    // Gives every page back; all elements become invalid.
    void Clear();

    size_t GetSlotSize() const { return m_slotSize; }
    size_t GetElementsPerPage() const { return m_elementsPerPage; }
    size_t GetLiveCount() const { return m_liveCount; }
    size_t GetPageCount() const { return m_pageCount; }

private:
    struct FreeSlot {
        FreeSlot* next;
    };
    struct Page {
        Page* next;
    };

    bool AddPage();

    size_t m_slotSize;
    size_t m_elementsPerPage;
    size_t m_liveCount = 0;
    size_t m_pageCount = 0;
    Page* m_pages = nullptr;
    FreeSlot* m_freeList = nullptr;
};

#endif
