#include "bench/physics/scene.h"

#include <cmath>

namespace bench {

namespace {

const Vec3 kUnitBox = {1.0f, 1.0f, 1.0f};
const Vec3 kGroundSize = {100.0f, 1.0f, 100.0f};
// Boxes of a pyramid row stand this far apart, so that they start without
// touching sideways.
const float kPyramidGap = 0.05f;
// Chain links: bars along x, jointed end to end, hanging from this height.
const Vec3 kLinkSize = {1.0f, 0.2f, 0.2f};
const float kChainHeight = 60.0f;
const float kDropHeight = 6.0f;

Pose PoseAt(const Vec3& position) {
    Pose pose;
    pose.position = position;
    return pose;
}

Pose TurnedPose(const Vec3& position, float angleZ) {
    Pose pose = PoseAt(position);
    const float c = std::cos(angleZ);
    const float s = std::sin(angleZ);
    pose.axes[0][0] = c;
    pose.axes[0][1] = s;
    pose.axes[1][0] = -s;
    pose.axes[1][1] = c;
    return pose;
}

void AddStaticBox(SceneRecord& record, BenchWorld& world, const Vec3& centre, const Vec3& size) {
    world.AddStaticBox(centre, size);
    record.staticPoses.push_back(PoseAt(centre));
    record.staticSizes.push_back(size);
}

// The top face of the ground lies at y = 0.
void AddGround(SceneRecord& record, BenchWorld& world) {
    AddStaticBox(record, world, {0.0f, -0.5f * kGroundSize.y, 0.0f}, kGroundSize);
}

int AddRecordedBox(SceneRecord& record, BenchWorld& world, const Vec3& centre, const Vec3& size,
                   float angleZ) {
    const int body = world.AddBox(centre, size, angleZ, 1.0f);
    record.sizes.push_back(size);
    record.start.push_back(TurnedPose(centre, angleZ));
    return body;
}

void BuildStack(const SceneSpec& spec, SceneRecord& record, BenchWorld& world) {
    AddGround(record, world);
    for (int i = 0; i < spec.size; ++i) {
        record.topBody = AddRecordedBox(record, world, {0.0f, 0.5f + i, 0.0f}, kUnitBox, 0.0f);
    }
}

void BuildPyramid(const SceneSpec& spec, SceneRecord& record, BenchWorld& world) {
    AddGround(record, world);
    const float pitch = 1.0f + kPyramidGap;
    for (int row = 0; row < spec.size; ++row) {
        const int count = spec.size - row;
        const float left = -0.5f * (count - 1) * pitch;
        for (int i = 0; i < count; ++i) {
            const Vec3 centre = {left + i * pitch, 0.5f + row, 0.0f};
            record.topBody = AddRecordedBox(record, world, centre, kUnitBox, 0.0f);
        }
    }
}

// Bodies dropped onto the terrain, each turned a little so that they land on
// an edge rather than flat. They fall for longer than the warm-up lasts, so
// the timed stretch sees them land and settle. In three dimensions
// they stand on a square grid; a planar engine gets rows along its profile.
void BuildTerrainBodies(const SceneSpec& spec, const TerrainMesh& terrain, SceneRecord& record,
                        BenchWorld& world) {
    world.AddTerrain(terrain);
    record.terrain = &terrain;
    const float half = 0.5f * terrain.cells * terrain.spacing;
    if (record.planar) {
        // A planar heap spreads sideways; walls at both ends of the profile
        // keep it from falling off, as the wide three-dimensional grid does.
        const Vec3 wall = {1.0f, 40.0f, 1.0f};
        AddStaticBox(record, world, {-half - 0.5f, 10.0f, 0.0f}, wall);
        AddStaticBox(record, world, {half + 0.5f, 10.0f, 0.0f}, wall);
        const int perRow = 38;
        const float pitch = 1.5f;
        for (int i = 0; i < spec.size; ++i) {
            const int row = i / perRow;
            const int column = i % perRow;
            const float x = -0.5f * (perRow - 1) * pitch + column * pitch;
            const float y = terrain.HeightAt(x, 0.0f) + kDropHeight + row * pitch;
            AddRecordedBox(record, world, {x, y, 0.0f}, kUnitBox, 0.1f * (i % 7) - 0.3f);
        }
        return;
    }
    const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(spec.size))));
    const float pitch = (2.0f * half - 6.0f) / perRow;
    for (int i = 0; i < spec.size; ++i) {
        const float x = -half + 3.0f + (i % perRow + 0.5f) * pitch;
        const float z = -half + 3.0f + (i / perRow + 0.5f) * pitch;
        const float y = terrain.HeightAt(x, z) + kDropHeight;
        AddRecordedBox(record, world, {x, y, z}, kUnitBox, 0.1f * (i % 7) - 0.3f);
    }
}

// A horizontal chain fixed to the world at its left end, released to swing
// down. Link i spans x = i .. i + 1; joint i sits at x = i.
void BuildChain(const SceneSpec& spec, SceneRecord& record, BenchWorld& world) {
    const Vec3 pin = {0.0f, 0.0f, 1.0f};
    const Vec3 halfLink = {-0.5f * kLinkSize.x, 0.0f, 0.0f};
    for (int i = 0; i < spec.size; ++i) {
        const Vec3 centre = {i + 0.5f * kLinkSize.x, kChainHeight, 0.0f};
        const int link = AddRecordedBox(record, world, centre, kLinkSize, 0.0f);
        const int parent = link - 1;
        const Vec3 pivot = {static_cast<float>(i), kChainHeight, 0.0f};
        world.AddJoint(spec.joint, link, parent, pivot, pin);
        JointRecord joint;
        joint.child = link;
        joint.parent = parent;
        joint.childAnchor = halfLink;
        joint.parentAnchor = parent < 0 ? pivot : Vec3{0.5f * kLinkSize.x, 0.0f, 0.0f};
        joint.childPin = pin;
        joint.parentPin = pin;
        joint.hinge = spec.joint == JointKind::Hinge;
        record.joints.push_back(joint);
    }
}

}  // namespace

std::string SceneSpec::Label() const {
    const std::string n = std::to_string(size);
    switch (kind) {
        case SceneKind::Stack:
            return "stack " + n;
        case SceneKind::Pyramid:
            return "pyramid " + n;
        case SceneKind::Terrain:
            if (!atRest) {
                return "terrain " + n + " settling";
            }
            return "terrain " + n + (sleeping ? " rest asleep" : " rest awake");
        case SceneKind::Chain:
            return "chain " + n + (joint == JointKind::Ball ? " ball" : " hinge");
        case SceneKind::RayCast:
            return "1000 rays, terrain " + n;
        case SceneKind::TerrainBuild:
            return optimise ? "terrain build optimised" : "terrain build";
    }
    return n;
}

SceneRecord BuildScene(const SceneSpec& spec, const TerrainMesh& terrain, bool planar,
                       BenchWorld& world) {
    SceneRecord record;
    record.planar = planar;
    switch (spec.kind) {
        case SceneKind::Stack:
            BuildStack(spec, record, world);
            break;
        case SceneKind::Pyramid:
            BuildPyramid(spec, record, world);
            break;
        case SceneKind::Terrain:
        case SceneKind::RayCast:
            BuildTerrainBodies(spec, terrain, record, world);
            break;
        case SceneKind::Chain:
            BuildChain(spec, record, world);
            break;
        case SceneKind::TerrainBuild:
            break;
    }
    return record;
}

}  // namespace bench
