// Boxes and cylinders that hit a static terrain mesh fast must stay on top
// of it: seeded random mixes, as fast as after drops of 5 to 20 m, in the
// default and in the game's solver settings.
#include "physics_sdk/phys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

const float kG = 9.8f;
const float kStep = 1.0f / 60.0f;
// The terrain: a grid of cells, two triangles each, over a square.
const int kCells = 14;
const float kCellSize = 3.0f;

// Gentle hills, up to about 1.5 m.
float Height(float x, float z) {
    return 0.8f * std::sin(0.35f * x) * std::cos(0.27f * z) + 0.4f * std::sin(0.9f * z + 0.3f);
}

// The height of the terrain's triangles at (x, z): each cell is split along
// its diagonal from (x0, z0) to (x1, z1).
float SurfaceHeight(float x, float z) {
    const int i = std::min(kCells - 1, std::max(0, int(x / kCellSize)));
    const int j = std::min(kCells - 1, std::max(0, int(z / kCellSize)));
    const float x0 = float(i) * kCellSize, z0 = float(j) * kCellSize;
    const float u = (x - x0) / kCellSize, v = (z - z0) / kCellSize;
    const float h00 = Height(x0, z0), h11 = Height(x0 + kCellSize, z0 + kCellSize);
    if (u >= v) {
        const float h10 = Height(x0 + kCellSize, z0);
        return h00 + u * (h10 - h00) + v * (h11 - h10);
    }
    const float h01 = Height(x0, z0 + kCellSize);
    return h00 + v * (h01 - h00) + u * (h11 - h01);
}

void Weight(PhysBody* body) {
    float mass, ixx, iyy, izz;
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    const float force[3] = {0.0f, -kG * mass, 0.0f};
    PhysBodySetForce(body, force);
}

struct Terrain {
    explicit Terrain(bool gameSettings) : world(PhysWorldCreate(nullptr, nullptr)) {
        if (gameSettings) {
            PhysWorldSetSolverPasses(world, 1);
            PhysWorldSetEqualityRowMode(world, 1);
        }
        PhysCollision* mesh = PhysCreateTreeCollision(world, nullptr);
        PhysTreeCollisionBeginBuild(mesh);
        for (int i = 0; i < kCells; ++i) {
            for (int j = 0; j < kCells; ++j) {
                const float x0 = float(i) * kCellSize, z0 = float(j) * kCellSize;
                const float x1 = x0 + kCellSize, z1 = z0 + kCellSize;
                // Counter-clockwise seen from above.
                const float lower[9] = {x0, Height(x0, z0), z0, x1, Height(x1, z1), z1,
                                        x1, Height(x1, z0), z0};
                const float upper[9] = {x0, Height(x0, z0), z0, x0, Height(x0, z1), z1,
                                        x1, Height(x1, z1), z1};
                PhysTreeCollisionAddFace(mesh, 3, lower, 3 * sizeof(float), 0);
                PhysTreeCollisionAddFace(mesh, 3, upper, 3 * sizeof(float), 0);
            }
        }
        PhysTreeCollisionEndBuild(mesh, 0);
        PhysBodyCreate(world, mesh);
        PhysReleaseCollision(world, mesh);
    }
    ~Terrain() { PhysWorldDestroy(world); }

    // A box or cylinder of random size and attitude, a little above the
    // terrain at (x, z), falling as fast as after a drop from height.
    PhysBody* Drop(std::mt19937& random, float x, float z, float height) {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        const float size = 0.6f + 0.6f * unit(random);
        PhysCollision* shape = nullptr;
        float inertia = 0.0f;
        if (unit(random) < 0.5f) {
            const float length = 0.6f + 0.6f * unit(random);
            shape = PhysCreateBox(world, size, length, size, nullptr);
            inertia = (size * size + length * length) / 12.0f;
        } else {
            shape = PhysCreateCylinder(world, 0.5f * size, size, nullptr);
            inertia = size * size / 8.0f;
        }
        PhysBody* body = PhysBodyCreate(world, shape);
        PhysReleaseCollision(world, shape);
        PhysBodySetMassMatrix(body, 1.0f, inertia, inertia, inertia);
        // A random rotation from a random unit quaternion.
        std::normal_distribution<float> normal;
        float q[4];
        float length = 0.0f;
        for (float& c : q) {
            c = normal(random);
            length += c * c;
        }
        for (float& c : q) {
            c /= std::sqrt(length);
        }
        const float w = q[0], a = q[1], b = q[2], c = q[3];
        const float top = SurfaceHeight(x, z) + 1.5f;
        const float matrix[16] = {1 - 2 * (b * b + c * c),
                                  2 * (a * b + w * c),
                                  2 * (a * c - w * b),
                                  0,
                                  2 * (a * b - w * c),
                                  1 - 2 * (a * a + c * c),
                                  2 * (b * c + w * a),
                                  0,
                                  2 * (a * c + w * b),
                                  2 * (b * c - w * a),
                                  1 - 2 * (a * a + b * b),
                                  0,
                                  x,
                                  top,
                                  z,
                                  1};
        PhysBodySetMatrix(body, matrix);
        const float velocity[3] = {0.0f, -std::sqrt(2.0f * kG * height), 0.0f};
        PhysBodySetVelocity(body, velocity);
        const float spin[3] = {unit(random) - 0.5f, unit(random) - 0.5f, unit(random) - 0.5f};
        PhysBodySetAngularVelocity(body, spin);
        PhysBodySetForceAndTorqueCallback(body, Weight);
        return body;
    }

    PhysWorld* world;
};

// The depth of the body's centre below the terrain surface (negative when
// above).
float Depth(const PhysBody* body) {
    float m[16];
    PhysBodyGetMatrix(body, m);
    return SurfaceHeight(m[12], m[14]) - m[13];
}

}  // namespace

TEST(TerrainDrop, FastBodiesStayOnTheTerrain) {
    const int seeds = 100;
    for (bool game : {false, true}) {
        for (int seed = 0; seed < seeds; ++seed) {
            std::mt19937 random{unsigned(seed)};
            std::uniform_real_distribution<float> unit(0.0f, 1.0f);
            Terrain terrain(game);
            std::vector<PhysBody*> bodies;
            // A 3 by 3 pattern of drops, far enough apart not to meet and
            // far enough inside not to bounce off the terrain.
            for (int k = 0; k < 9; ++k) {
                const float x = 10.0f + float(k % 3) * 9.0f + 4.0f * unit(random);
                const float z = 10.0f + float(k / 3) * 9.0f + 4.0f * unit(random);
                bodies.push_back(terrain.Drop(random, x, z, 5.0f + 15.0f * unit(random)));
            }
            for (int step = 0; step < 40; ++step) {
                PhysWorldUpdate(terrain.world, kStep);
            }
            for (size_t k = 0; k < bodies.size(); ++k) {
                EXPECT_LT(Depth(bodies[k]), 0.0f)
                    << "game settings " << game << ", seed " << seed << ", body " << k;
            }
        }
    }
}
