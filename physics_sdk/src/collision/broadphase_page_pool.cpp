#include "collision/broadphase_page_pool.h"

#include "collision/broadphase_list.h"
#include "core/pool.h"

namespace {

// Pages of 4 KB; the pool gives its pages back whenever the last list page
// is freed, so no block outlives the last world.
phPool& Pool() {
    static phPool pool(sizeof(phBroadPhasePage),
                       phPool::ElementsPerPage(sizeof(phBroadPhasePage), 4));
    return pool;
}

}  // namespace

phBroadPhasePage* phBroadPhasePagePool::Allocate() {
    return static_cast<phBroadPhasePage*>(Pool().Allocate());
}

void phBroadPhasePagePool::Free(phBroadPhasePage* page) { Pool().Free(page); }
