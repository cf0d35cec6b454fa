#include "core/pool.h"

#include "core/memory.h"

namespace {
// The page link sits in front of the slots; 16 bytes keep the slots aligned.
constexpr size_t kPageHeader = 16;
}  // namespace

phPool::phPool(size_t elementSize, size_t elementsPerPage)
    : m_slotSize(SlotSize(elementSize == 0 ? 1 : elementSize)),
      m_elementsPerPage(elementsPerPage == 0 ? 1 : elementsPerPage) {}

phPool::~phPool() { Clear(); }

size_t phPool::ElementsPerPage(size_t elementSize, size_t pageKilobytes) {
    const size_t perPage = pageKilobytes * 1024 / SlotSize(elementSize == 0 ? 1 : elementSize);
    return perPage == 0 ? 1 : perPage;
}

bool phPool::AddPage() {
    char* memory = static_cast<char*>(phMalloc(kPageHeader + m_slotSize * m_elementsPerPage));
    if (memory == nullptr) {
        return false;
    }
    Page* page = reinterpret_cast<Page*>(memory);
    page->next = m_pages;
    m_pages = page;
    ++m_pageCount;
    // Thread the new slots onto the free list so that they are handed out in
    // address order.
    char* slots = memory + kPageHeader;
    for (size_t i = m_elementsPerPage; i-- > 0;) {
        FreeSlot* slot = reinterpret_cast<FreeSlot*>(slots + i * m_slotSize);
        slot->next = m_freeList;
        m_freeList = slot;
    }
    return true;
}

void* phPool::Allocate() {
    if (m_freeList == nullptr && !AddPage()) {
        return nullptr;
    }
    FreeSlot* slot = m_freeList;
    m_freeList = slot->next;
    ++m_liveCount;
    return slot;
}

void phPool::Free(void* element) {
    if (element == nullptr) {
        return;
    }
    FreeSlot* slot = static_cast<FreeSlot*>(element);
    slot->next = m_freeList;
    m_freeList = slot;
    --m_liveCount;
    if (m_liveCount == 0) {
        Clear();
    }
}

void phPool::Clear() {
    while (m_pages != nullptr) {
        Page* next = m_pages->next;
        phFree(m_pages);
        m_pages = next;
    }
    m_pageCount = 0;
    m_liveCount = 0;
    m_freeList = nullptr;
}
