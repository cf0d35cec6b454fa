// The world's contact joints: made in pages of 256 with a free list, kept in
// one list while they live, and queued for destruction when the narrow phase
// stops refreshing them. A contact leaves the list and the queue at most once
// each, however often it is removed or released.
#ifndef PHYSICS_SDK_DYNAMICS_CONTACT_JOINT_LIST_H
#define PHYSICS_SDK_DYNAMICS_CONTACT_JOINT_LIST_H

#include "dynamics/contact_joint.h"

#include <cstddef>

inline constexpr int kContactJointsPerPage = 256;

class phContactJointList {
public:
    phContactJointList() = default;
    // Destroys every contact still alive and gives the pages back.
    ~phContactJointList();

    phContactJointList(const phContactJointList&) = delete;
    phContactJointList& operator=(const phContactJointList&) = delete;

    // A new empty contact of the two bodies (a freed one first, else the next
    // slot of the current page, else a new page), appended to the list.
    phContactJoint* Create(phRigidBody* body0, phRigidBody* body1);
    // A contact that went stale: its points go, it leaves the list and waits
    // on the destroy queue.
    void Remove(phContactJoint* contact);
    // The next contact of the destroy queue, taken off it; null when empty.
    // The world destroys it as a constraint, which ends in its Release.
    phContactJoint* PopQueued();
    // Called by a contact's Release: off the list and the queue, onto the
    // free list.
    void Recycle(phContactJoint* contact);

    size_t GetCount() const { return m_count; }
    phContactJoint* GetFirst() const { return m_first; }
    size_t GetQueuedCount() const { return m_queuedCount; }
    size_t GetPageCount() const { return m_pageCount; }

private:
    struct Page;
    struct FreeSlot;

    void Unlist(phContactJoint* contact);
    void Unqueue(phContactJoint* contact);

    Page* m_pages = nullptr;
    size_t m_pageCount = 0;
    int m_pageUsed = kContactJointsPerPage;
    FreeSlot* m_free = nullptr;
    phContactJoint* m_first = nullptr;
    phContactJoint* m_last = nullptr;
    size_t m_count = 0;
    phContactJoint* m_queueFirst = nullptr;
    phContactJoint* m_queueLast = nullptr;
    size_t m_queuedCount = 0;
};

#endif
