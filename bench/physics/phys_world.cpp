// Our physics SDK in the benchmark, reached only through its public Phys
// entry points, the way the game's physics layer uses it: gravity comes from
// each body's force-and-torque callback, boxes and the terrain are cached
// shapes, and pair friction and elasticity are set on the default group.
#include <cmath>
#include <cstring>
#include <vector>

#include "bench/physics/bench_world.h"
#include "bench/physics/terrain.h"
#include "physics_sdk/phys.h"

namespace bench {

namespace {

const float kStep = 1.0f / 60.0f;
const float kGravity = -9.8f;
const float kFriction = 0.5f;
// The smallest elasticity the SDK accepts.
const float kElasticity = 0.01f;

void ApplyGravity(PhysBody* body) {
    float mass = 0.0f;
    float ixx = 0.0f;
    float iyy = 0.0f;
    float izz = 0.0f;
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    const float force[3] = {0.0f, kGravity * mass, 0.0f};
    PhysBodySetForce(body, force);
}

// Keeps the nearest hit: the returned parameter becomes the ray's new bound.
float NearestHit(PhysBody*, const float*, int, void* userData, float param) {
    float* nearest = static_cast<float*>(userData);
    if (param < *nearest) {
        *nearest = param;
    }
    return param;
}

void Identity(float matrix[16]) {
    std::memset(matrix, 0, 16 * sizeof(float));
    matrix[0] = matrix[5] = matrix[10] = matrix[15] = 1.0f;
}

// Rows are the axes, row 3 the position.
void PlaceMatrix(const Vec3& centre, float angleZ, float matrix[16]) {
    Identity(matrix);
    const float c = std::cos(angleZ);
    const float s = std::sin(angleZ);
    matrix[0] = c;
    matrix[1] = s;
    matrix[4] = -s;
    matrix[5] = c;
    matrix[12] = centre.x;
    matrix[13] = centre.y;
    matrix[14] = centre.z;
}

PhysCollision* BuildTree(PhysWorld* world, const TerrainMesh& terrain, bool optimise) {
    PhysCollision* tree = PhysCreateTreeCollision(world, nullptr);
    PhysTreeCollisionBeginBuild(tree);
    float face[9];
    for (size_t i = 0; i < terrain.triangles.size(); i += 3) {
        for (int corner = 0; corner < 3; ++corner) {
            const Vec3& v = terrain.vertices[terrain.triangles[i + corner]];
            face[3 * corner] = v.x;
            face[3 * corner + 1] = v.y;
            face[3 * corner + 2] = v.z;
        }
        PhysTreeCollisionAddFace(tree, 3, face, 3 * sizeof(float), 0);
    }
    PhysTreeCollisionEndBuild(tree, optimise ? 1 : 0);
    return tree;
}

PhysWorld* CreateConfiguredWorld(bool gameSettings) {
    PhysWorld* world = PhysWorldCreate(nullptr, nullptr);
    PhysMaterialSetDefaultFriction(world, 0, 0, kFriction, kFriction);
    PhysMaterialSetDefaultElasticity(world, 0, 0, kElasticity);
    if (gameSettings) {
        PhysWorldSetSolverPasses(world, 1);
        PhysWorldSetEqualityRowMode(world, 1);
    }
    return world;
}

class PhysBenchWorld : public BenchWorld {
public:
    PhysBenchWorld(bool gameSettings, bool sleeping)
        : world_(CreateConfiguredWorld(gameSettings)), sleeping_(sleeping) {}

    ~PhysBenchWorld() override { PhysWorldDestroy(world_); }

    PhysBenchWorld(const PhysBenchWorld&) = delete;
    PhysBenchWorld& operator=(const PhysBenchWorld&) = delete;

    void AddStaticBox(const Vec3& centre, const Vec3& size) override {
        PhysCollision* box = PhysCreateBox(world_, size.x, size.y, size.z, nullptr);
        PhysBody* body = PhysBodyCreate(world_, box);
        PhysReleaseCollision(world_, box);
        float matrix[16];
        PlaceMatrix(centre, 0.0f, matrix);
        PhysBodySetMatrix(body, matrix);
    }

    int AddBox(const Vec3& centre, const Vec3& size, float angleZ, float mass) override {
        PhysCollision* box = PhysCreateBox(world_, size.x, size.y, size.z, nullptr);
        PhysBody* body = PhysBodyCreate(world_, box);
        PhysReleaseCollision(world_, box);
        const float k = mass / 12.0f;
        PhysBodySetMassMatrix(body, mass, k * (size.y * size.y + size.z * size.z),
                              k * (size.x * size.x + size.z * size.z),
                              k * (size.x * size.x + size.y * size.y));
        float matrix[16];
        PlaceMatrix(centre, angleZ, matrix);
        PhysBodySetMatrix(body, matrix);
        PhysBodySetForceAndTorqueCallback(body, ApplyGravity);
        PhysBodySetAutoFreeze(body, sleeping_ ? 1 : 0);
        bodies_.push_back(body);
        return static_cast<int>(bodies_.size()) - 1;
    }

    void AddTerrain(const TerrainMesh& terrain) override {
        PhysCollision* tree = BuildTree(world_, terrain, true);
        PhysBodyCreate(world_, tree);
        PhysReleaseCollision(world_, tree);
    }

    void AddJoint(JointKind kind, int child, int parent, const Vec3& pivot,
                  const Vec3& pin) override {
        const float p[3] = {pivot.x, pivot.y, pivot.z};
        const float axis[3] = {pin.x, pin.y, pin.z};
        PhysBody* parentBody = parent < 0 ? nullptr : bodies_[parent];
        if (kind == JointKind::Ball) {
            PhysJointCreateBall(world_, p, bodies_[child], parentBody);
        } else {
            PhysJointCreateHinge(world_, p, axis, bodies_[child], parentBody);
        }
    }

    void Step() override { PhysWorldUpdate(world_, kStep); }

    Pose GetPose(int index) const override {
        float matrix[16];
        PhysBodyGetMatrix(bodies_[index], matrix);
        Pose pose;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                pose.axes[row][column] = matrix[4 * row + column];
            }
        }
        pose.position = {matrix[12], matrix[13], matrix[14]};
        return pose;
    }

    float CastRay(const Vec3& from, const Vec3& to) override {
        const float p0[3] = {from.x, from.y, from.z};
        const float p1[3] = {to.x, to.y, to.z};
        float nearest = 2.0f;
        PhysWorldRayCast(world_, p0, p1, NearestHit, &nearest);
        return nearest;
    }

private:
    PhysWorld* world_;
    bool sleeping_;
    std::vector<PhysBody*> bodies_;
};

class PhysEngine : public BenchEngine {
public:
    explicit PhysEngine(bool gameSettings)
        : gameSettings_(gameSettings), buildWorld_(CreateConfiguredWorld(gameSettings)) {}

    ~PhysEngine() override { PhysWorldDestroy(buildWorld_); }

    PhysEngine(const PhysEngine&) = delete;
    PhysEngine& operator=(const PhysEngine&) = delete;

    std::string Name() const override { return gameSettings_ ? "ours (game)" : "ours"; }
    bool IsPlanar() const override { return false; }

    std::unique_ptr<BenchWorld> CreateWorld(bool sleeping) override {
        return std::make_unique<PhysBenchWorld>(gameSettings_, sleeping);
    }

    void BuildTerrainShape(const TerrainMesh& terrain, bool optimise) override {
        tree_ = BuildTree(buildWorld_, terrain, optimise);
    }

    // A fresh world for the next build, so that the shape cache does not grow
    // from build to build.
    void FreeTerrainShape() override {
        PhysReleaseCollision(buildWorld_, tree_);
        PhysWorldDestroy(buildWorld_);
        buildWorld_ = CreateConfiguredWorld(gameSettings_);
    }

private:
    bool gameSettings_;
    PhysWorld* buildWorld_;
    PhysCollision* tree_ = nullptr;
};

}  // namespace

std::unique_ptr<BenchEngine> MakePhysEngine(bool gameSettings) {
    return std::make_unique<PhysEngine>(gameSettings);
}

}  // namespace bench
