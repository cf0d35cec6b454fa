// The small world interface through which the physics benchmark drives every
// engine. A scene is written once against it; each engine answers it with
// its own calls. Positions are in metres, y is up, gravity is -9.8 on y.
#ifndef BENCH_PHYSICS_BENCH_WORLD_H
#define BENCH_PHYSICS_BENCH_WORLD_H

#include <memory>
#include <string>
#include <vector>

namespace bench {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// A body's placement: rows are the body's axes in world space, as in the
// row-vector convention (world = local.x * axes[0] + ... + position).
struct Pose {
    Vec3 position;
    float axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

enum class JointKind { Ball, Hinge };

struct TerrainMesh;

// One engine's world for one scene run. Dynamic bodies are numbered in the
// order they were added, starting at 0.
class BenchWorld {
public:
    virtual ~BenchWorld() = default;

    // A static box of full sizes `size` centred at `centre`.
    virtual void AddStaticBox(const Vec3& centre, const Vec3& size) = 0;
    // A dynamic box of full sizes `size`, turned by `angleZ` radians about
    // the z axis; returns its number.
    virtual int AddBox(const Vec3& centre, const Vec3& size, float angleZ, float mass) = 0;
    // The static terrain. A planar engine takes its profile at z = 0.
    virtual void AddTerrain(const TerrainMesh& terrain) = 0;
    // Links `child` to `parent` (or to the world when parent is -1) at the
    // world point `pivot`; a hinge turns about `pin`.
    virtual void AddJoint(JointKind kind, int child, int parent, const Vec3& pivot,
                          const Vec3& pin) = 0;

    // Advances the world by one step of 1/60 s.
    virtual void Step() = 0;
    virtual Pose GetPose(int body) const = 0;
    // Casts the segment from -> to; returns the fraction of the first hit
    // along it, or a value above 1 when nothing is hit.
    virtual float CastRay(const Vec3& from, const Vec3& to) = 0;
};

// One engine (or one configuration of an engine) under comparison.
class BenchEngine {
public:
    virtual ~BenchEngine() = default;

    virtual std::string Name() const = 0;
    // True for a two-dimensional engine: scenes then use planar equivalents.
    virtual bool IsPlanar() const = 0;
    virtual std::unique_ptr<BenchWorld> CreateWorld(bool sleeping) = 0;
    // Builds the engine's static collision shape for the terrain and keeps it
    // until FreeTerrainShape, so that a timed build leaves the freeing out.
    virtual void BuildTerrainShape(const TerrainMesh& terrain, bool optimise) = 0;
    virtual void FreeTerrainShape() = 0;
};

std::unique_ptr<BenchEngine> MakeBox2dEngine();
std::unique_ptr<BenchEngine> MakeBulletEngine();
// Our SDK, either with its defaults or with the game's solver settings.
std::unique_ptr<BenchEngine> MakePhysEngine(bool gameSettings);

}  // namespace bench

#endif
