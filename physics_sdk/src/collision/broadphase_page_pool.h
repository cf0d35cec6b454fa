#ifndef PHYSICS_SDK_COLLISION_BROADPHASE_PAGE_POOL_H
#define PHYSICS_SDK_COLLISION_BROADPHASE_PAGE_POOL_H

struct phBroadPhasePage;

// The one pool of list pages that every cell list of every world draws from.
class phBroadPhasePagePool {
public:
    static phBroadPhasePage* Allocate();
    static void Free(phBroadPhasePage* page);
};

#endif
