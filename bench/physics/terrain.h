// The benchmark terrain: a smooth height field of rolling hills over a square
// grid, two triangles per cell, about 8,000 triangles in all.
#ifndef BENCH_PHYSICS_TERRAIN_H
#define BENCH_PHYSICS_TERRAIN_H

#include <vector>

#include "bench/physics/bench_world.h"

namespace bench {

struct TerrainMesh {
    int cells = 0;         // cells along each side
    float spacing = 0.0f;  // cell size in metres
    float origin = 0.0f;   // x and z of the grid's first corner
    std::vector<Vec3> vertices;  // (cells + 1)^2, row by row along x
    std::vector<int> triangles;  // three vertex indices each, counter-clockwise seen from above

    int TriangleCount() const { return static_cast<int>(triangles.size() / 3); }
    // Height of the surface at (x, z), following the triangles.
    float HeightAt(float x, float z) const;
    // The cross-section at z = 0 through the grid's x positions, for planar engines.
    std::vector<Vec3> Profile() const;
};

TerrainMesh MakeTerrain();

}  // namespace bench

#endif
