#include "bench/physics/terrain.h"

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

const int kCells = 64;
const float kSpacing = 1.0f;

// Gentle hills: slopes stay below the friction angle of 0.5 so that bodies
// can come to rest on them.
float HillHeight(float x, float z) {
    return 1.2f * std::sin(0.21f * x) * std::cos(0.17f * z) +
           0.4f * std::sin(0.47f * x + 0.6f) * std::sin(0.39f * z + 0.2f);
}

}  // namespace

TerrainMesh MakeTerrain() {
    TerrainMesh mesh;
    mesh.cells = kCells;
    mesh.spacing = kSpacing;
    mesh.origin = -0.5f * kCells * kSpacing;
    const int side = kCells + 1;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const float x = mesh.origin + column * kSpacing;
            const float z = mesh.origin + row * kSpacing;
            mesh.vertices.push_back({x, HillHeight(x, z), z});
        }
    }
    for (int row = 0; row < kCells; ++row) {
        for (int column = 0; column < kCells; ++column) {
            const int v00 = row * side + column;
            const int v10 = v00 + 1;
            const int v01 = v00 + side;
            const int v11 = v01 + 1;
            // Seen from above (y up, looking down), x right and z towards the
            // viewer, this order is counter-clockwise, so the normal points up.
            mesh.triangles.insert(mesh.triangles.end(), {v00, v01, v10, v10, v01, v11});
        }
    }
    return mesh;
}

float TerrainMesh::HeightAt(float x, float z) const {
    const float u = std::clamp((x - origin) / spacing, 0.0f, cells - 1e-4f);
    const float v = std::clamp((z - origin) / spacing, 0.0f, cells - 1e-4f);
    const int column = static_cast<int>(u);
    const int row = static_cast<int>(v);
    const float fu = u - column;
    const float fv = v - row;
    const int side = cells + 1;
    const float h00 = vertices[row * side + column].y;
    const float h10 = vertices[row * side + column + 1].y;
    const float h01 = vertices[(row + 1) * side + column].y;
    const float h11 = vertices[(row + 1) * side + column + 1].y;
    // The cell's diagonal runs from (1, 0) to (0, 1).
    if (fu + fv <= 1.0f) {
        return h00 + (h10 - h00) * fu + (h01 - h00) * fv;
    }
    return h11 + (h01 - h11) * (1.0f - fu) + (h10 - h11) * (1.0f - fv);
}

std::vector<Vec3> TerrainMesh::Profile() const {
    std::vector<Vec3> profile;
    for (int column = 0; column <= cells; ++column) {
        const float x = origin + column * spacing;
        profile.push_back({x, HeightAt(x, 0.0f), 0.0f});
    }
    return profile;
}

}  // namespace bench
