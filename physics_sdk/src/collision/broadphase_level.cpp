#include "collision/broadphase_level.h"

namespace {

int ClampIndex(int i, int n) { return i < 0 ? 0 : (i > n - 1 ? n - 1 : i); }

}  // namespace

void phBroadPhaseLevel::InitCells(float baseSize, const phVector& origin) {
    const int n = m_cellsPerAxis;
    m_cellSize = baseSize * 16.0f / float(n);
    m_invCellSize = 1.0f / m_cellSize;
    for (int y = 0; y < n; ++y) {
        for (int z = 0; z < n; ++z) {
            for (int x = 0; x < n; ++x) {
                phBroadPhaseCell& cell = GetCell(x, y, z);
                cell.boxMin =
                    phVector(origin.x + float(x) * m_cellSize, origin.y + float(y) * m_cellSize,
                             origin.z + float(z) * m_cellSize, 1.0f);
                cell.boxMax = phVector(cell.boxMin.x + m_cellSize, cell.boxMin.y + m_cellSize,
                                       cell.boxMin.z + m_cellSize, 1.0f);
            }
        }
    }
}

phBroadPhaseCell& phBroadPhaseLevel::GetCellClamped(int x, int y, int z) {
    const int n = m_cellsPerAxis;
    return GetCell(ClampIndex(x, n), ClampIndex(y, n), ClampIndex(z, n));
}
