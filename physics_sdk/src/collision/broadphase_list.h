#ifndef PHYSICS_SDK_COLLISION_BROADPHASE_LIST_H
#define PHYSICS_SDK_COLLISION_BROADPHASE_LIST_H

#include <cmath>
#include <limits>

#include "collision/broadphase_body.h"

// One page of a cell list. Every page of a chain but the last is full.
struct phBroadPhasePage {
    static const int kCapacity = 32;
    // Entries per block of the ray walk's skip.
    static const int kRayBlock = 8;

    phBroadPhasePage* next;
    phBroadPhasePage* prev;
    int count;
    phBroadPhaseBody* bodies[kCapacity];
    // For the ray walk: each entry's box minimum and maximum on the list's
    // axis, side by side, so that the walk passes over the many bodies that
    // start after the ray or end before it without loading them. Filled by
    // FillExtents.
    float axisMin[kCapacity];
    float axisMax[kCapacity];
    // The largest axisMax of each block of kRayBlock entries (infinity when
    // one is NaN): a block that ends before the ray is passed in one step.
    float blockMax[kCapacity / kRayBlock];
};

// A position in a list, walked page by page.
struct phBroadPhaseCursor {
    phBroadPhasePage* page;
    int index;

    bool Valid() const { return page != nullptr; }
    phBroadPhaseBody* Body() const { return page->bodies[index]; }
    void SetBody(phBroadPhaseBody* body) const { page->bodies[index] = body; }
    // Inline: every sweep, sort and ray walk steps through the lists this way.
    void Next() {
        ++index;
        if (index == page->count) {
            page = page->next;
            index = 0;
        }
    }
    void Prev();
};

// The bodies of one cell in a chain of fixed-size pages, sortable by the box
// minimum on one axis. Adding and removing keep the chain compact (removal moves
// the last entry into the hole), so the order is only meaningful after Sort.
class phBroadPhaseList {
public:
    explicit phBroadPhaseList(int axis = 0);
    ~phBroadPhaseList();
    phBroadPhaseList(const phBroadPhaseList&) = delete;
    phBroadPhaseList& operator=(const phBroadPhaseList&) = delete;

    void SetAxis(int axis) { m_axis = axis; }
    int Axis() const { return m_axis; }
    int PageCount() const { return m_pageCount; }

    void Append(phBroadPhaseBody* body);
    // Returns false when the body is not in the list.
    bool Remove(phBroadPhaseBody* body);
    // Ascending order of box minimum on the list's axis. Insertion sort: the
    // lists are nearly sorted from one step to the next.
    void Sort();
    bool IsSorted() const;
    // Copies the entries' extents on the list's axis into their pages.
    void FillExtents();

    phBroadPhaseCursor Begin() const { return phBroadPhaseCursor{m_first, 0}; }
    // The entry at a position counted from the front; the position must exist.
    phBroadPhaseBody* At(int position) const;

    // The sort key: the box minimum on the axis, with NaN ordered first so that
    // one broken box cannot disturb the order of the others.
    float Key(const phBroadPhaseBody* body) const {
        const float key = body->BoxMin()[m_axis];
        return std::isnan(key) ? -std::numeric_limits<float>::infinity() : key;
    }

private:
    void ReleaseLastPage();

    int m_pageCount = 0;
    phBroadPhasePage* m_last = nullptr;
    phBroadPhasePage* m_first = nullptr;
    int m_axis;
};

#endif
