// The benchmark scenes, written once against BenchWorld. Building a scene
// also records what the quality measures need: the boxes' sizes and start
// poses, the static ground, the terrain and the joints' anchors.
#ifndef BENCH_PHYSICS_SCENE_H
#define BENCH_PHYSICS_SCENE_H

#include <string>
#include <vector>

#include "bench/physics/bench_world.h"
#include "bench/physics/terrain.h"

namespace bench {

enum class SceneKind { Stack, Pyramid, Terrain, Chain, RayCast, TerrainBuild };

struct SceneSpec {
    SceneKind kind = SceneKind::Stack;
    int size = 0;  // boxes of a stack, rows of a pyramid, bodies on the terrain, chain links
    JointKind joint = JointKind::Ball;
    bool sleeping = true;
    bool atRest = false;    // terrain: let the bodies settle before measuring
    bool optimise = false;  // terrain build

    std::string Label() const;
};

// A joint as the scene made it: anchors in each body's own frame (the
// parent's anchor is a world point when parent is -1), and the pin likewise.
struct JointRecord {
    int child = 0;
    int parent = -1;
    Vec3 childAnchor;
    Vec3 parentAnchor;
    Vec3 childPin;
    Vec3 parentPin;
    bool hinge = false;
};

struct SceneRecord {
    std::vector<Vec3> sizes;  // full sizes of every dynamic box
    std::vector<Pose> start;  // start pose of every dynamic box
    std::vector<Pose> staticPoses;  // the ground and walls
    std::vector<Vec3> staticSizes;
    const TerrainMesh* terrain = nullptr;
    bool planar = false;
    std::vector<JointRecord> joints;
    int topBody = -1;  // the top box of a stack
};

SceneRecord BuildScene(const SceneSpec& spec, const TerrainMesh& terrain, bool planar,
                       BenchWorld& world);

}  // namespace bench

#endif
