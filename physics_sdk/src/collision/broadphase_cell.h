#ifndef PHYSICS_SDK_COLLISION_BROADPHASE_CELL_H
#define PHYSICS_SDK_COLLISION_BROADPHASE_CELL_H

#include <cstdint>

#include "collision/broadphase_list.h"
#include "core/vector.h"

// One cell of a grid level: its box, its bodies in three lists (one per axis)
// and the changed flag that lets an untouched cell skip its sort and sweep.
struct phBroadPhaseCell {
    phBroadPhaseCell() : lists{phBroadPhaseList(0), phBroadPhaseList(1), phBroadPhaseList(2)} {}

    void Add(phBroadPhaseBody* body);
    void Remove(phBroadPhaseBody* body);
    void SortLists();
    // A body of the cell was added, removed or moved.
    void MarkChanged();

    phVector boxMin;
    phVector boxMax;
    uint32_t count = 0;
    uint32_t changed = 0;
    // Lists (bit per axis) that a ray cast has made ready since the cell last
    // changed: sorted, and their pages' extents filled. The casts between two
    // changes do this at most once per list. Cleared whenever the changed
    // flag is set.
    uint32_t rayReadyLists = 0;
    phBroadPhaseList lists[3];
    // The list of the axis of widest spread, chosen at the last search.
    phBroadPhaseList* sweepList = nullptr;
};

#endif
