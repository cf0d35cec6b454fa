#ifndef PHYSICS_SDK_COLLISION_BROADPHASE_H
#define PHYSICS_SDK_COLLISION_BROADPHASE_H

#include "collision/broadphase_body.h"
#include "collision/broadphase_level.h"
#include "core/vector.h"

// Receives every pair of bodies whose boxes overlap and that the pair rule lets
// through (the narrow phase in a world; a recorder in tests).
class phBroadPhasePairHandler {
public:
    virtual ~phBroadPhasePairHandler() = default;
    virtual void OnPair(phBroadPhaseBody* body0, phBroadPhaseBody* body1) = 0;
};

// Receives each body that a ray cast hits below the current bound. `t` is the
// parameter along the caller's segment; the result becomes the new upper bound
// of the parameter (later hits at or beyond it are ignored).
class phBroadPhaseRayHandler {
public:
    virtual ~phBroadPhaseRayHandler() = default;
    virtual float OnHit(phBroadPhaseBody* body, const phVector& normal, int attribute, float t) = 0;
};

// A hierarchical grid of four levels over one cube around the world box. Every
// body lives in the cell of the finest level that holds its whole box; pairs are
// found by sweeping each changed cell along its axis of widest spread and by
// merging each cell with the coarser cells that contain it.
class phBroadPhase {
public:
    static const int kLevelCount = 4;

    phBroadPhase();
    phBroadPhase(const phBroadPhase&) = delete;
    phBroadPhase& operator=(const phBroadPhase&) = delete;

    const phVector& WorldMin() const { return m_worldMin; }
    const phVector& WorldMax() const { return m_worldMax; }
    const phVector& GridOrigin() const { return m_origin; }
    // The side of the grid cube (16 times the base size).
    float GridSide() const { return m_levels[0]->CellSize(); }
    phBroadPhaseLevel& Level(int level) { return *m_levels[level]; }
    phBroadPhaseLevel& LevelOf(const phBroadPhaseCell* cell);

    // Rebuilds the cell geometry for a new world box and moves every body to
    // its cell under it. Boxes with a non-finite corner, and boxes so large
    // that the grid's cells would leave the float range, are ignored.
    void SetWorldSize(const phVector& min, const phVector& max);

    // A new body starts in the root cell; its first refit moves it down.
    void AddBodyToRoot(phBroadPhaseBody* body);
    void RemoveBodyFromCell(phBroadPhaseBody* body);
    // Called after each refit of the body's world box.
    void UpdateBodyCell(phBroadPhaseBody* body);

    // Reports every overlapping pair of the step that passes the pair rule.
    void UpdatePairs(phBroadPhasePairHandler& handler);

    // Casts the segment p0-p1 through the grid, reporting each body hit below
    // the current bound to the handler. Nothing happens for a segment that
    // misses the world box or has a non-finite end.
    void RayCastGrid(const phVector& p0, const phVector& p1, phBroadPhaseRayHandler& handler);

    // Strict overlap on all three axes: boxes that only touch are apart.
    static bool BoxesOverlap(const phVector& min0, const phVector& max0, const phVector& min1,
                             const phVector& max1);
    // At least one body awake and at least one able to move.
    static bool PairAllowed(const phBroadPhaseBody* body0, const phBroadPhaseBody* body1);

private:
    void SearchCell(phBroadPhaseCell& cell, phBroadPhasePairHandler& handler);
    void CrossSearch(phBroadPhaseCell& fine, phBroadPhaseCell& coarse,
                     phBroadPhasePairHandler& handler);

    phVector m_worldMin;
    phVector m_worldMax;
    phVector m_origin;
    phBroadPhaseLevelN<1> m_level0;
    phBroadPhaseLevelN<2> m_level1;
    phBroadPhaseLevelN<4> m_level2;
    phBroadPhaseLevelN<8> m_level3;
    phBroadPhaseLevel* m_levels[kLevelCount];
};

#endif
