#include "collision/broadphase_cell.h"

void phBroadPhaseCell::Add(phBroadPhaseBody* body) {
    for (phBroadPhaseList& list : lists) {
        list.Append(body);
    }
    ++count;
    MarkChanged();
}

void phBroadPhaseCell::Remove(phBroadPhaseBody* body) {
    for (phBroadPhaseList& list : lists) {
        list.Remove(body);
    }
    --count;
    changed = count != 0;
    rayReadyLists = 0;
}

void phBroadPhaseCell::SortLists() {
    for (phBroadPhaseList& list : lists) {
        list.Sort();
    }
}

void phBroadPhaseCell::MarkChanged() {
    changed = 1;
    rayReadyLists = 0;
}
