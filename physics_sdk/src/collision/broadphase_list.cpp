#include "collision/broadphase_list.h"

#include "collision/broadphase_page_pool.h"

void phBroadPhaseCursor::Prev() {
    if (index > 0) {
        --index;
        return;
    }
    page = page->prev;
    index = page ? page->count - 1 : 0;
}

phBroadPhaseList::phBroadPhaseList(int axis) : m_axis(axis) {}

phBroadPhaseList::~phBroadPhaseList() {
    while (m_last) {
        ReleaseLastPage();
    }
}

void phBroadPhaseList::Append(phBroadPhaseBody* body) {
    if (!m_last || m_last->count == phBroadPhasePage::kCapacity) {
        phBroadPhasePage* page = phBroadPhasePagePool::Allocate();
        page->next = nullptr;
        page->prev = m_last;
        page->count = 0;
        if (m_last) {
            m_last->next = page;
        } else {
            m_first = page;
        }
        m_last = page;
        ++m_pageCount;
    }
    m_last->bodies[m_last->count++] = body;
}

bool phBroadPhaseList::Remove(phBroadPhaseBody* body) {
    for (phBroadPhasePage* page = m_first; page; page = page->next) {
        for (int i = 0; i < page->count; ++i) {
            if (page->bodies[i] == body) {
                page->bodies[i] = m_last->bodies[m_last->count - 1];
                --m_last->count;
                if (m_last->count == 0) {
                    ReleaseLastPage();
                }
                return true;
            }
        }
    }
    return false;
}

void phBroadPhaseList::ReleaseLastPage() {
    phBroadPhasePage* page = m_last;
    m_last = page->prev;
    if (m_last) {
        m_last->next = nullptr;
    } else {
        m_first = nullptr;
    }
    --m_pageCount;
    phBroadPhasePagePool::Free(page);
}

void phBroadPhaseList::FillExtents() {
    for (phBroadPhasePage* page = m_first; page != nullptr; page = page->next) {
        for (int i = 0; i < page->count; ++i) {
            page->axisMin[i] = page->bodies[i]->BoxMin()[m_axis];
            page->axisMax[i] = page->bodies[i]->BoxMax()[m_axis];
            float& block = page->blockMax[i / phBroadPhasePage::kRayBlock];
            if (i % phBroadPhasePage::kRayBlock == 0) {
                block = -std::numeric_limits<float>::infinity();
            }
            if (std::isnan(page->axisMax[i])) {
                block = std::numeric_limits<float>::infinity();
            } else if (page->axisMax[i] > block) {
                block = page->axisMax[i];
            }
        }
    }
}

void phBroadPhaseList::Sort() {
    if (!m_first) {
        return;
    }
    phBroadPhaseCursor it = Begin();
    for (it.Next(); it.Valid(); it.Next()) {
        phBroadPhaseBody* const body = it.Body();
        const float key = Key(body);
        phBroadPhaseCursor hole = it;
        phBroadPhaseCursor before = it;
        before.Prev();
        while (before.Valid() && Key(before.Body()) > key) {
            hole.SetBody(before.Body());
            hole = before;
            before.Prev();
        }
        hole.SetBody(body);
    }
}

bool phBroadPhaseList::IsSorted() const {
    if (!m_first) {
        return true;
    }
    phBroadPhaseCursor it = Begin();
    float previous = Key(it.Body());
    for (it.Next(); it.Valid(); it.Next()) {
        const float key = Key(it.Body());
        if (key < previous) {
            return false;
        }
        previous = key;
    }
    return true;
}

phBroadPhaseBody* phBroadPhaseList::At(int position) const {
    phBroadPhasePage* page = m_first;
    while (position >= page->count) {
        position -= page->count;
        page = page->next;
    }
    return page->bodies[position];
}
