#include "dynamics/contact_joint_list.h"

#include "core/memory.h"

#include <new>

struct phContactJointList::FreeSlot {
    FreeSlot* next;
};

struct phContactJointList::Page {
    Page* next;
    alignas(16) unsigned char slots[kContactJointsPerPage][sizeof(phContactJoint)];
};

phContactJointList::~phContactJointList() {
    while (m_first != nullptr) {
        phContactJoint* contact = m_first;
        Unlist(contact);
        Unqueue(contact);
        contact->~phContactJoint();
    }
    while (m_queueFirst != nullptr) {
        phContactJoint* contact = m_queueFirst;
        Unqueue(contact);
        contact->~phContactJoint();
    }
    while (m_pages != nullptr) {
        Page* page = m_pages;
        m_pages = page->next;
        phFree(page);
    }
}

phContactJoint* phContactJointList::Create(phRigidBody* body0, phRigidBody* body1) {
    void* memory = nullptr;
    if (m_free != nullptr) {
        memory = m_free;
        m_free = m_free->next;
    } else {
        if (m_pageUsed == kContactJointsPerPage) {
            Page* page = static_cast<Page*>(phMalloc(sizeof(Page)));
            if (page == nullptr) {
                throw std::bad_alloc();
            }
            page->next = m_pages;
            m_pages = page;
            ++m_pageCount;
            m_pageUsed = 0;
        }
        memory = m_pages->slots[m_pageUsed++];
    }
    phContactJoint* contact = new (memory) phContactJoint();
    contact->Init();
    contact->SetBodies(body0, body1);
    contact->owner = this;
    contact->listPrev = m_last;
    contact->listNext = nullptr;
    (m_last != nullptr ? m_last->listNext : m_first) = contact;
    m_last = contact;
    contact->inList = true;
    ++m_count;
    return contact;
}

void phContactJointList::Unlist(phContactJoint* contact) {
    if (!contact->inList) {
        return;
    }
    (contact->listPrev != nullptr ? contact->listPrev->listNext : m_first) = contact->listNext;
    (contact->listNext != nullptr ? contact->listNext->listPrev : m_last) = contact->listPrev;
    contact->listPrev = nullptr;
    contact->listNext = nullptr;
    contact->inList = false;
    --m_count;
}

void phContactJointList::Unqueue(phContactJoint* contact) {
    if (!contact->queued) {
        return;
    }
    (contact->queuePrev != nullptr ? contact->queuePrev->queueNext : m_queueFirst) =
        contact->queueNext;
    (contact->queueNext != nullptr ? contact->queueNext->queuePrev : m_queueLast) =
        contact->queuePrev;
    contact->queuePrev = nullptr;
    contact->queueNext = nullptr;
    contact->queued = false;
    --m_queuedCount;
}

void phContactJointList::Remove(phContactJoint* contact) {
    contact->EmptyPoints();
    Unlist(contact);
    if (contact->queued) {
        return;
    }
    contact->queuePrev = m_queueLast;
    contact->queueNext = nullptr;
    (m_queueLast != nullptr ? m_queueLast->queueNext : m_queueFirst) = contact;
    m_queueLast = contact;
    contact->queued = true;
    ++m_queuedCount;
}

phContactJoint* phContactJointList::PopQueued() {
    phContactJoint* contact = m_queueFirst;
    if (contact != nullptr) {
        Unqueue(contact);
    }
    return contact;
}

void phContactJointList::Recycle(phContactJoint* contact) {
    Unlist(contact);
    Unqueue(contact);
    contact->owner = nullptr;
    contact->~phContactJoint();
    FreeSlot* slot = reinterpret_cast<FreeSlot*>(contact);
    slot->next = m_free;
    m_free = slot;
}
