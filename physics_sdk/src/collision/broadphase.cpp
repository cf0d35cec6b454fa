#include "collision/broadphase.h"

#include <cmath>

namespace {

bool IsFinite(const phVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// floor(v) as a cell index, clamped to [-1, n] before the conversion so that
// huge and NaN coordinates stay defined; -1 and n both mean "outside".
int CellIndex(float v, int n) {
    const float f = std::floor(v);
    if (!(f >= -1.0f)) {
        return -1;
    }
    if (f > float(n)) {
        return n;
    }
    return int(f);
}

}  // namespace

phBroadPhase::phBroadPhase()
    : m_worldMin(-1000.0f, -1000.0f, -1000.0f, 1.0f),
      m_worldMax(1000.0f, 1000.0f, 1000.0f, 1.0f),
      m_levels{&m_level0, &m_level1, &m_level2, &m_level3} {
    SetWorldSize(m_worldMin, m_worldMax);
}

bool phBroadPhase::BoxesOverlap(const phVector& min0, const phVector& max0, const phVector& min1,
                                const phVector& max1) {
    return min0.x < max1.x && max0.x > min1.x && min0.z < max1.z && max0.z > min1.z &&
           min0.y < max1.y && max0.y > min1.y;
}

bool phBroadPhase::PairAllowed(const phBroadPhaseBody* body0, const phBroadPhaseBody* body1) {
    return (body0->IsActive() || body1->IsActive()) && !(body0->IsStatic() && body1->IsStatic());
}

void phBroadPhase::SetWorldSize(const phVector& min, const phVector& max) {
    if (!IsFinite(min) || !IsFinite(max)) {
        return;
    }
    float extent = max.x - min.x;
    if (max.y - min.y > extent) {
        extent = max.y - min.y;
    }
    if (max.z - min.z > extent) {
        extent = max.z - min.z;
    }
    float base = extent * 0.5f * 0.5f * 0.5f * 0.5f;
    if (!(base >= 16.0f)) {
        base = 16.0f;
    }
    const phVector origin((min.x + max.x) * 0.5f - 8.0f * base,
                          (min.y + max.y) * 0.5f - 8.0f * base,
                          (min.z + max.z) * 0.5f - 8.0f * base, 1.0f);
    // The grid and a cell beyond either end of it must stay within the float
    // range, or cell sizes and cell coordinates stop being numbers.
    const float reach = 32.0f * base;
    if (!std::isfinite(reach) || !IsFinite(origin - phVector(reach, reach, reach, 0.0f)) ||
        !IsFinite(origin + phVector(reach, reach, reach, 0.0f))) {
        return;
    }
    m_worldMin = phVector(min.x, min.y, min.z, 1.0f);
    m_worldMax = phVector(max.x, max.y, max.z, 1.0f);
    m_origin = origin;
    for (phBroadPhaseLevel* level : m_levels) {
        level->InitCells(base, m_origin);
    }

    // Every body goes to its cell under the new geometry. Walking each list
    // from the back keeps the walk valid: a removal fills the hole with an
    // entry that was already visited or just arrived (and is placed already).
    // A level without bodies has no cell to search; most worlds fill only
    // one or two of the levels.
    for (phBroadPhaseLevel* level : m_levels) {
        if (level->BodyCount() == 0) {
            continue;
        }
        const int n = level->CellsPerAxis();
        for (int i = 0; i < n * n * n; ++i) {
            phBroadPhaseCell& cell = level->GetCell(i % n, i / (n * n), (i / n) % n);
            for (int position = int(cell.count) - 1; position >= 0; --position) {
                if (position < int(cell.count)) {
                    UpdateBodyCell(cell.lists[0].At(position));
                }
            }
        }
    }
}

phBroadPhaseLevel& phBroadPhase::LevelOf(const phBroadPhaseCell* cell) {
    for (phBroadPhaseLevel* level : m_levels) {
        if (level->Holds(cell)) {
            return *level;
        }
    }
    return m_level0;
}

void phBroadPhase::AddBodyToRoot(phBroadPhaseBody* body) {
    phBroadPhaseCell& root = m_level0.GetCell(0, 0, 0);
    root.Add(body);
    m_level0.CountBodies(1);
    body->m_cell = &root;
}

void phBroadPhase::RemoveBodyFromCell(phBroadPhaseBody* body) {
    if (body->m_cell) {
        body->m_cell->Remove(body);
        LevelOf(body->m_cell).CountBodies(-1);
        body->m_cell = nullptr;
    }
}

void phBroadPhase::UpdateBodyCell(phBroadPhaseBody* body) {
    const phVector& boxMin = body->BoxMin();
    const phVector& boxMax = body->BoxMax();
    phBroadPhaseCell* cell = &m_level0.GetCell(0, 0, 0);
    for (int l = kLevelCount - 1; l > 0; --l) {
        phBroadPhaseLevel& level = *m_levels[l];
        const int n = level.CellsPerAxis();
        const float inv = level.InvCellSize();
        const int x0 = CellIndex((boxMin.x - m_origin.x) * inv, n);
        const int x1 = CellIndex((boxMax.x - m_origin.x) * inv, n);
        if (x0 != x1) {
            continue;
        }
        const int z0 = CellIndex((boxMin.z - m_origin.z) * inv, n);
        const int z1 = CellIndex((boxMax.z - m_origin.z) * inv, n);
        if (z0 != z1) {
            continue;
        }
        const int y0 = CellIndex((boxMin.y - m_origin.y) * inv, n);
        const int y1 = CellIndex((boxMax.y - m_origin.y) * inv, n);
        if (y0 != y1) {
            continue;
        }
        cell = &level.GetCellClamped(x0, y0, z0);
        break;
    }

    cell->MarkChanged();
    if (cell == body->m_cell) {
        return;
    }
    if (body->m_cell) {
        body->m_cell->Remove(body);
        LevelOf(body->m_cell).CountBodies(-1);
    }
    cell->Add(body);
    LevelOf(cell).CountBodies(1);
    body->m_cell = cell;
}

void phBroadPhase::UpdatePairs(phBroadPhasePairHandler& handler) {
    // A level without bodies has no cell to search; most worlds fill only
    // one or two of the levels.
    for (phBroadPhaseLevel* level : m_levels) {
        if (level->BodyCount() == 0) {
            continue;
        }
        const int n = level->CellsPerAxis();
        for (int y = 0; y < n; ++y) {
            for (int z = 0; z < n; ++z) {
                for (int x = 0; x < n; ++x) {
                    phBroadPhaseCell& cell = level->GetCell(x, y, z);
                    if (cell.count != 0 && cell.changed) {
                        SearchCell(cell, handler);
                    }
                }
            }
        }
    }

    for (int l = kLevelCount - 1; l > 0; --l) {
        if (m_levels[l]->BodyCount() == 0) {
            continue;
        }
        const int n = m_levels[l]->CellsPerAxis();
        for (int x = 0; x < n; ++x) {
            for (int y = 0; y < n; ++y) {
                for (int z = 0; z < n; ++z) {
                    phBroadPhaseCell& fine = m_levels[l]->GetCell(x, y, z);
                    if (fine.count == 0) {
                        continue;
                    }
                    for (int c = l - 1; c >= 0; --c) {
                        if (m_levels[c]->BodyCount() == 0) {
                            continue;
                        }
                        const int shift = l - c;
                        phBroadPhaseCell& coarse =
                            m_levels[c]->GetCell(x >> shift, y >> shift, z >> shift);
                        if (coarse.count != 0) {
                            CrossSearch(fine, coarse, handler);
                        }
                    }
                }
            }
        }
    }
}

void phBroadPhase::SearchCell(phBroadPhaseCell& cell, phBroadPhasePairHandler& handler) {
    cell.changed = 0;

    // Spread of the box centres per axis, as count times the variance.
    double sum[3] = {0.0, 0.0, 0.0};
    double sumSquares[3] = {0.0, 0.0, 0.0};
    for (phBroadPhaseCursor it = cell.lists[0].Begin(); it.Valid(); it.Next()) {
        const phBroadPhaseBody* body = it.Body();
        for (int axis = 0; axis < 3; ++axis) {
            const double c = 0.5 * (double(body->BoxMin()[axis]) + double(body->BoxMax()[axis]));
            sum[axis] += c;
            sumSquares[axis] += c * c;
        }
    }
    double spread[3];
    for (int axis = 0; axis < 3; ++axis) {
        spread[axis] = double(cell.count) * sumSquares[axis] - sum[axis] * sum[axis];
    }

    cell.SortLists();
    if (spread[0] >= spread[1] && spread[0] >= spread[2]) {
        cell.sweepList = &cell.lists[0];
    } else if (spread[2] >= spread[0] && spread[2] >= spread[1]) {
        cell.sweepList = &cell.lists[2];
    } else {
        cell.sweepList = &cell.lists[1];
    }

    const phBroadPhaseList& list = *cell.sweepList;
    const int axis = list.Axis();
    for (phBroadPhaseCursor a = list.Begin(); a.Valid(); a.Next()) {
        phBroadPhaseBody* const body0 = a.Body();
        const float end = body0->BoxMax()[axis];
        phBroadPhaseCursor b = a;
        for (b.Next(); b.Valid(); b.Next()) {
            phBroadPhaseBody* const body1 = b.Body();
            if (list.Key(body1) >= end) {
                break;
            }
            if (BoxesOverlap(body0->BoxMin(), body0->BoxMax(), body1->BoxMin(), body1->BoxMax()) &&
                PairAllowed(body0, body1)) {
                handler.OnPair(body0, body1);
            }
        }
    }
}

namespace {

// Tests one body against the bodies of a sorted list from a position onward,
// until their minimum on the list's axis reaches the body's maximum.
void TestAgainst(phBroadPhaseBody* body, const phBroadPhaseList& list, phBroadPhaseCursor from,
                 phBroadPhasePairHandler& handler) {
    const float end = body->BoxMax()[list.Axis()];
    for (; from.Valid(); from.Next()) {
        phBroadPhaseBody* const other = from.Body();
        if (list.Key(other) >= end) {
            break;
        }
        if (phBroadPhase::BoxesOverlap(body->BoxMin(), body->BoxMax(), other->BoxMin(),
                                       other->BoxMax()) &&
            phBroadPhase::PairAllowed(body, other)) {
            handler.OnPair(body, other);
        }
    }
}

}  // namespace

void phBroadPhase::CrossSearch(phBroadPhaseCell& fine, phBroadPhaseCell& coarse,
                               phBroadPhasePairHandler& handler) {
    const phBroadPhaseList& fineList = *fine.sweepList;
    const phBroadPhaseList& coarseList = coarse.lists[fineList.Axis()];
    phBroadPhaseCursor f = fineList.Begin();
    phBroadPhaseCursor c = coarseList.Begin();
    while (f.Valid() && c.Valid()) {
        if (fineList.Key(f.Body()) < coarseList.Key(c.Body())) {
            TestAgainst(f.Body(), coarseList, c, handler);
            f.Next();
        } else {
            TestAgainst(c.Body(), fineList, f, handler);
            c.Next();
        }
    }
}
