#ifndef PHYSICS_SDK_COLLISION_BROADPHASE_LEVEL_H
#define PHYSICS_SDK_COLLISION_BROADPHASE_LEVEL_H

#include "collision/broadphase_cell.h"
#include "core/vector.h"

// One level of the grid: n cells per axis over the grid cube, stored with x
// fastest, then z, then y. The concrete levels differ only in n.
class phBroadPhaseLevel {
public:
    virtual ~phBroadPhaseLevel() = default;

    int CellsPerAxis() const { return m_cellsPerAxis; }
    float CellSize() const { return m_cellSize; }
    float InvCellSize() const { return m_invCellSize; }

    // Cell size = baseSize * 16 / n; each cell's box laid out from the origin.
    void InitCells(float baseSize, const phVector& origin);
    phBroadPhaseCell& GetCell(int x, int y, int z) {
        return m_cells[x + m_cellsPerAxis * (z + m_cellsPerAxis * y)];
    }
    // Indices outside the level land in the nearest edge cell.
    phBroadPhaseCell& GetCellClamped(int x, int y, int z);
    bool Holds(const phBroadPhaseCell* cell) const {
        const int count = m_cellsPerAxis * m_cellsPerAxis * m_cellsPerAxis;
        return cell >= m_cells && cell < m_cells + count;
    }
    // The bodies in the level's cells; a ray cast skips a level without any.
    int BodyCount() const { return m_bodyCount; }
    void CountBodies(int change) { m_bodyCount += change; }

protected:
    phBroadPhaseLevel(int cellsPerAxis, phBroadPhaseCell* cells)
        : m_cellsPerAxis(cellsPerAxis), m_cells(cells) {}

private:
    int m_cellsPerAxis;
    float m_cellSize = 0.0f;
    float m_invCellSize = 0.0f;
    phBroadPhaseCell* m_cells;
    int m_bodyCount = 0;
};

template <int N>
class phBroadPhaseLevelN : public phBroadPhaseLevel {
public:
    phBroadPhaseLevelN() : phBroadPhaseLevel(N, m_storage) {}

private:
    phBroadPhaseCell m_storage[N * N * N];
};

#endif
