#include "collision/broadphase.h"

#include "collision/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// The ray cast walks each level's cells along the ray with a digital
// differential analyser. Every body sits in exactly one cell, so each body is
// tested at most once per cast; the bound carried from cell to cell lets the
// caller's filter prune later hits. The walk runs along the ray's line across
// the whole grid cube (so that it starts and ends strictly inside the cube),
// and each span of it is compared with the ray itself before a cell's bodies
// are tested.

namespace {

bool IsFinite(const phVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

int AxisOfLargest(const phVector& d) {
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    if (ax >= ay && ax >= az) {
        return 0;
    }
    return ay >= az ? 1 : 2;
}

// The list axis of a cast: the one along which the ray is shortest, so that the
// early stop in each cell's list cuts off the most.
int AxisOfShortest(const phVector& d) {
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    if (ax <= ay && ax <= az) {
        return 0;
    }
    return ay <= az ? 1 : 2;
}

struct RayCast {
    phBroadPhase* grid;
    phBroadPhaseRayHandler* handler;
    // The clipped ray, in world space and relative to the grid origin.
    phVector q0;
    phVector q1;
    phVector q0Grid;
    phVector q1Grid;
    // Parameters of the clipped ends along the caller's segment.
    float tc0;
    float tc1;
    // The clipped ray made ready for box tests.
    const phSegmentSlabs* slabs;
    // How far a body's box is grown before the ray is tested against it, so
    // that rounding in the shape's own ray test never loses a hit.
    float margin;
    int axis;
    // The ray's lower end on the list axis, less the margin.
    float axisLow;
    float bound;

    void WalkLevel(phBroadPhaseLevel& level, const phVector& start, const phVector& delta,
                   float from, float to);
    void TestSpan(phBroadPhaseCell& cell, const phVector& a, const phVector& b);
    void TestCell(phBroadPhaseCell& cell, float limit);
    void TestBody(phBroadPhaseBody* body);
    bool MayHit(const phBroadPhaseBody& body) const;
};

// A body can only be hit where the ray passes through its box, and only a hit
// below the bound counts. This slab test against the slightly grown box costs
// far less than the body's own ray test, which most bodies of a cell fail.
bool RayCast::MayHit(const phBroadPhaseBody& body) const {
    float enter = 0.0f;
    if (!slabs->CrossesBox(&body.BoxMin().x, &body.BoxMax().x, margin, enter)) {
        return false;
    }
    return !(tc0 + enter * (tc1 - tc0) >= bound);
}

// Walks the cells that the line start + t delta passes through for t from
// `from` to `to`; the crossings are parameters of the whole line, so every
// walk meets the same cell borders wherever it starts.
void RayCast::WalkLevel(phBroadPhaseLevel& level, const phVector& start, const phVector& delta,
                        float from, float to) {
    const int n = level.CellsPerAxis();
    const float size = level.CellSize();
    const float inv = level.InvCellSize();
    const phVector first = start + delta * from;
    int cell[3];
    int step[3];
    float next[3];
    float advance[3];
    for (int i = 0; i < 3; ++i) {
        const float f = std::floor(first[i] * inv);
        cell[i] = !(f >= 0.0f) ? -1 : (f > float(n) ? n : int(f));
        if (delta[i] > 0.0f) {
            step[i] = 1;
            advance[i] = size / delta[i];
            next[i] = (float(cell[i] + 1) * size - start[i]) / delta[i];
        } else if (delta[i] < 0.0f) {
            step[i] = -1;
            advance[i] = -size / delta[i];
            next[i] = (float(cell[i]) * size - start[i]) / delta[i];
        } else {
            step[i] = 0;
            advance[i] = 0.0f;
            next[i] = 1e10f;
        }
    }

    float t = from;
    for (;;) {
        int m = 0;
        if (next[1] < next[m]) {
            m = 1;
        }
        if (next[2] < next[m]) {
            m = 2;
        }
        const float exit = next[m] < to ? next[m] : to;
        if (cell[0] >= 0 && cell[0] < n && cell[1] >= 0 && cell[1] < n && cell[2] >= 0 &&
            cell[2] < n) {
            phBroadPhaseCell& c = level.GetCell(cell[0], cell[1], cell[2]);
            if (c.count != 0) {
                TestSpan(c, start + delta * t, start + delta * exit);
            }
        }
        if (next[m] >= to) {
            break;
        }
        t = next[m];
        cell[m] += step[m];
        next[m] += advance[m];
    }
}

void RayCast::TestSpan(phBroadPhaseCell& cell, const phVector& a, const phVector& b) {
    const phVector span = b - a;
    const float length2 = phDot(span, span);
    if (!(length2 > 0.0f)) {
        return;
    }
    float t0 = phDot(q0Grid - a, span) / length2;
    float t1 = phDot(q1Grid - a, span) / length2;
    if (!(t0 < 1.0f && t1 > 0.0f)) {
        return;
    }
    if (t0 < 0.0f) {
        t0 = 0.0f;
    }
    if (t1 > 1.0f) {
        t1 = 1.0f;
    }
    const float c0 = a[axis] + span[axis] * t0;
    const float c1 = a[axis] + span[axis] * t1;
    TestCell(cell, (c0 > c1 ? c0 : c1) + grid->GridOrigin()[axis]);
}

void RayCast::TestCell(phBroadPhaseCell& cell, float limit) {
    phBroadPhaseList& list = cell.lists[axis];
    // A changed cell's lists are in the order of adds, removals and moves since
    // its last search; sort this one so that the early stop below holds. Once
    // sorted it stays so until the cell changes again, and so do the extents.
    const uint32_t axisBit = 1u << axis;
    if (!(cell.rayReadyLists & axisBit)) {
        if (cell.changed) {
            list.Sort();
        }
        list.FillExtents();
        cell.rayReadyLists |= axisBit;
    }
    // Page by page; a NaN minimum compares false, as the list's sort key puts
    // it first. Most bodies that the walk meets end before the ray on the
    // list's axis; one comparison turns them away, and one turns away a block
    // of them. Passing a block over the early stop changes nothing: its
    // bodies all fail, and the stop comes at the next body tested.
    const int blockSize = phBroadPhasePage::kRayBlock;
    for (const phBroadPhasePage* page = list.Begin().page; page != nullptr; page = page->next) {
        const int count = page->count;
        for (int first = 0; first < count; first += blockSize) {
            if (page->blockMax[first / blockSize] < axisLow) {
                continue;
            }
            const int end = std::min(first + blockSize, count);
            for (int i = first; i < end; ++i) {
                if (page->axisMin[i] >= limit) {
                    return;
                }
                if (page->axisMax[i] < axisLow) {
                    continue;
                }
                phBroadPhaseBody* const body = page->bodies[i];
                if (MayHit(*body)) {
                    TestBody(body);
                }
            }
        }
    }
}

void RayCast::TestBody(phBroadPhaseBody* body) {
    phVector normal;
    int attribute = 0;
    const float t = body->RayHit(q0, q1, normal, attribute);
    if (!(t < 1.0f)) {
        return;
    }
    const float tCaller = tc0 + t * (tc1 - tc0);
    if (tCaller < bound) {
        bound = handler->OnHit(body, normal, attribute, tCaller);
    }
}

}  // namespace

void phBroadPhase::RayCastGrid(const phVector& p0, const phVector& p1,
                               phBroadPhaseRayHandler& handler) {
    if (!IsFinite(p0) || !IsFinite(p1)) {
        return;
    }
    RayCast cast;
    cast.grid = this;
    cast.handler = &handler;
    cast.q0 = phVector(p0.x, p0.y, p0.z, 1.0f);
    cast.q1 = phVector(p1.x, p1.y, p1.z, 1.0f);
    if (!ClipSegmentToBox(cast.q0, cast.q1, m_worldMin, m_worldMax)) {
        return;
    }
    const phVector ray = cast.q1 - cast.q0;
    const float rayLength2 = phDot(ray, ray);
    if (!(rayLength2 > 0.0f)) {
        return;
    }

    // The filter sees parameters along the caller's segment, not the clipped one.
    const phVector whole = p1 - p0;
    const int k = AxisOfLargest(whole);
    cast.tc0 = (cast.q0[k] - p0[k]) / whole[k];
    cast.tc1 = (cast.q1[k] - p0[k]) / whole[k];
    cast.axis = AxisOfShortest(ray);
    const phSegmentSlabs slabs(cast.q0, cast.q1);
    cast.slabs = &slabs;
    float reachOfWorld = 0.0f;
    for (int i = 0; i < 3; ++i) {
        reachOfWorld =
            std::max(reachOfWorld, std::max(std::fabs(m_worldMin[i]), std::fabs(m_worldMax[i])));
    }
    cast.margin = 1e-4f * (reachOfWorld + GridSide());
    cast.axisLow = std::min(cast.q0[cast.axis], cast.q1[cast.axis]) - cast.margin;
    cast.bound = 1.1f;
    cast.q0Grid = cast.q0 - m_origin;
    cast.q1Grid = cast.q1 - m_origin;

    const float side = GridSide();
    const float reach = 2.0f * side / std::sqrt(rayLength2 + 1e-12f);
    phVector a = cast.q0 - ray * reach;
    phVector b = cast.q1 + ray * reach;
    const phVector cubeMax(m_origin.x + side, m_origin.y + side, m_origin.z + side, 1.0f);
    if (!ClipSegmentToBox(a, b, m_origin, cubeMax)) {
        return;
    }
    a = a - m_origin;
    b = b - m_origin;
    const phVector d = b - a;
    const phVector start = a + d * 0.0001f;
    const phVector delta = a + d * 0.9999f - start;

    // Only the stretch of the line that the ray covers is walked, a little
    // longer on both sides for rounding; each span is compared with the ray
    // itself anyway.
    const int along = AxisOfLargest(delta);
    const float enter = (cast.q0Grid[along] - start[along]) / delta[along];
    const float leave = (cast.q1Grid[along] - start[along]) / delta[along];
    const float slack = 1e-4f;
    const float from = std::max(std::min(enter, leave) - slack, 0.0f);
    const float to = std::min(std::max(enter, leave) + slack, 1.0f);
    if (!(from < to)) {
        return;
    }
    for (int l = kLevelCount - 1; l >= 0; --l) {
        if (m_levels[l]->BodyCount() > 0) {
            cast.WalkLevel(*m_levels[l], start, delta, from, to);
        }
    }
}
