// One level's physics world through the game's layer, frame by frame: a
// terrain of 300 nodes, the game's material file, and 50 bodies as a level
// has them (ground units wandering and piling up, two hovering airships,
// buildings, shots in flight and the sensors that follow the units). Each
// frame runs the in-game order: pre-step, the fixed-step clock, update.
// Frames are 1/60 s plus a little, so every frame takes one physics step.
// Prints the CPU time per frame, median and 95th percentile.
//
//   mechanica_bench [frames]
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/core/property_file.h"
#include "engine/physics/flat_body.h"
#include "engine/physics/material_groups.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/multi_sensor_body.h"
#include "engine/physics/terrain_body.h"
#include "engine/physics/terrain_collision.h"

using namespace orvel;

namespace {

const float kScale = 30.0f;
const int kNodes = 300;
const int kSpacing = 30;

double ThreadCpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Rolling ground between 60 and 240 pixels.
float GroundHeight(int node) {
    return 150.0f + 60.0f * std::sin(node * 0.11f) + 30.0f * std::sin(node * 0.37f);
}

// A unit as the game drives one: kept in the plane, under gravity, pushed
// by its own force now and then; an airship also holds its height.
class Unit : public FlatBody {
public:
    float push = 0.0f;
    float hoverHeight = 0.0f;  // 0: it falls

    void ApplyForces() override {
        FlattenMotion();
        float lift = 0.0f;
        if (hoverHeight > 0.0f) {
            float velocity[3];
            PhysBodyGetVelocity(body, velocity);
            lift = 9.8f + 4.0f * (hoverHeight - GetPosition().y) - 2.0f * velocity[1];
        }
        AddForce(Vector4(push * GetMass(), lift * GetMass(), 0.0f));
        ApplyAccumulatedForce();
        ApplyGravity();
    }
    void OnTransform(const Matrix4&) override {}
    void OnTeleport(bool) override {}
};

std::shared_ptr<Collision> Shape(Mechanica& world, int kind, float size) {
    std::shared_ptr<Collision> shape = std::make_shared<Collision>(&world);
    const Matrix4 identity = Matrix4::Identity();
    switch (kind % 3) {
        case 0:
            shape->CreateBox(size, size * 0.6f, 0.0f, identity);
            break;
        case 1:
            shape->CreateSphere(size * 0.5f, 0.0f, 0.0f, identity);
            break;
        default:
            shape->CreateCapsule(size * 0.5f, size, identity);
            break;
    }
    return shape;
}

std::shared_ptr<Unit> AddUnit(Mechanica& world, int kind, float size, float x, float y, float mass,
                              const char* group) {
    std::shared_ptr<Unit> unit = std::make_shared<Unit>();
    unit->CreateWithCollision(&world, Shape(world, kind, size));
    unit->SetMatrix(Matrix4::Translation(Vector4(x, y, 0.0f)));
    if (mass > 0.0f) {
        unit->SetMass(mass);
    }
    unit->SetMaterialGroup(PropertyKey(group));
    world.AddBody(unit);
    return unit;
}

struct Level {
    Mechanica world;
    std::vector<std::shared_ptr<Unit>> walkers;
    std::vector<std::shared_ptr<Unit>> movers;
    std::vector<std::shared_ptr<Unit>> shots;
    std::vector<std::pair<std::shared_ptr<MultiSensorBody>, std::shared_ptr<Unit>>> sensors;
};

void Build(Level& level, const char* materials) {
    Mechanica& world = level.world;
    world.SetScale(kScale);
    LoadMaterialGroups(world, materials);
    const float width = float(kNodes * kSpacing) / kScale;
    world.SetWorldBox(Vector4(-100.0f / kScale, -1.0f, -10.0f / kScale),
                      Vector4(width + 100.0f / kScale, 20.0f, 10.0f / kScale));

    std::string nodes = "list int nodeHeights {\n";
    for (int i = 0; i < kNodes; ++i) {
        nodes += std::to_string(int(GroundHeight(i))) + "\n";
    }
    nodes += "}\nint nodeSpacing: " + std::to_string(kSpacing) + "\n";
    std::shared_ptr<TerrainCollision> terrain = std::make_shared<TerrainCollision>(&world);
    terrain->Load(ParsePropertyString(nodes, "level"));
    std::shared_ptr<TerrainBody> ground = std::make_shared<TerrainBody>();
    ground->CreateWithCollision(&world, terrain);
    ground->SetMaterialGroup("mg_terrain");
    world.AddBody(ground);

    const auto groundAt = [](float x) { return GroundHeight(int(x * kScale / kSpacing)) / kScale; };
    // 30 ground units in three crowds, 6 buildings, 2 airships, 6 shots,
    // 6 sensors riding on units: 50 bodies besides the ground.
    for (int i = 0; i < 30; ++i) {
        const float x = 20.0f + (i / 10) * 90.0f + (i % 10) * 1.2f;
        std::shared_ptr<Unit> unit =
            AddUnit(world, i, 0.8f + 0.1f * (i % 4), x, groundAt(x) + 2.0f + (i % 3), 1.0f + i % 3,
                    "mg_mobile_unit");
        unit->push = (i % 2 == 0 ? 1.0f : -1.0f) * (1.0f + 0.1f * (i % 5));
        level.walkers.push_back(unit);
        level.movers.push_back(unit);
    }
    for (int i = 0; i < 6; ++i) {
        const float x = 40.0f + i * 45.0f;
        AddUnit(world, 0, 2.5f, x, groundAt(x) + 1.2f, 0.0f, "mg_static_unit");
    }
    for (int i = 0; i < 2; ++i) {
        std::shared_ptr<Unit> ship =
            AddUnit(world, 2, 2.0f, 60.0f + i * 150.0f, 14.0f, 20.0f, "mg_magnet");
        ship->hoverHeight = 14.0f;
        ship->push = i == 0 ? 0.5f : -0.5f;
        level.movers.push_back(ship);
    }
    for (int i = 0; i < 6; ++i) {
        level.shots.push_back(AddUnit(world, 1, 0.3f, 30.0f + i * 40.0f, 12.0f, 0.2f, "mg_shot"));
    }
    for (int i = 0; i < 6; ++i) {
        std::shared_ptr<MultiSensorBody> sensor = std::make_shared<MultiSensorBody>();
        std::shared_ptr<Collision> shape = std::make_shared<Collision>(&world);
        shape->SetDepth(9.0f);
        shape->CreateSphere(2.0f, 0.0f, 0.0f, Matrix4::Identity());
        sensor->CreateWithCollision(&world, shape);
        sensor->SetMaterialGroup("mg_unit_sensor");
        world.AddBody(sensor);
        level.sensors.emplace_back(sensor, level.walkers[i * 5]);
    }
}

// What the components do between steps: shots are fired again every two
// seconds, walkers and airships turn round, sensors follow their units and
// are read.
void PlayFrame(Level& level, int frame) {
    if (frame % 120 == 0) {
        for (size_t i = 0; i < level.shots.size(); ++i) {
            const std::shared_ptr<Unit>& shot = level.shots[i];
            shot->SetMatrix(Matrix4::Translation(Vector4(30.0f + i * 40.0f, 12.0f, 0.0f)));
            const float velocity[3] = {6.0f, 4.0f, 0.0f};
            PhysBodySetVelocity(shot->GetPhysBody(), velocity);
        }
    }
    if (frame % 300 == 0) {
        for (const std::shared_ptr<Unit>& mover : level.movers) {
            mover->push = -mover->push;
        }
    }
    for (auto& pair : level.sensors) {
        pair.first->ClearSensed();
        pair.first->SetMatrixDirect(pair.second->GetMatrix());
    }
    level.world.PreStepBodies();
    level.world.Update(Mechanica::kStep * 1.01f);
    level.world.UpdateBodies();
}

double Percentile(std::vector<double> times, double fraction) {
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, size_t(fraction * times.size()))];
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1800;
    Level level;
    Build(level, GEARHAVEN_SOURCE_DIR "/resources/materials1.txt");
    for (int frame = 0; frame < 120; ++frame) {
        PlayFrame(level, frame);
    }
    std::vector<double> times;
    times.reserve(frames);
    for (int frame = 0; frame < frames; ++frame) {
        const double start = ThreadCpuSeconds();
        PlayFrame(level, 120 + frame);
        times.push_back(ThreadCpuSeconds() - start);
    }
    std::printf(
        "level world: %d terrain nodes, %zu bodies and the ground, %d frames of one step "
        "each\n",
        kNodes, level.world.GetBodyCount() - 1, frames);
    std::printf("CPU per frame: median %.1f us, 95th percentile %.1f us, worst %.1f us\n",
                Percentile(times, 0.5) * 1e6, Percentile(times, 0.95) * 1e6,
                Percentile(times, 1.0) * 1e6);
    return 0;
}
