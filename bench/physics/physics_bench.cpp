// Physics benchmark: the same scenes in our SDK (with its defaults and with
// the game's solver settings), in Box2D (planar equivalents) and in Bullet,
// in one run. Prints the time per step of each engine with the ratios of
// ours to each peer, then the quality measures.
//
// Usage: physics_bench [word ...] runs only the scenes whose label contains
// one of the words (for example "stack" or "terrain 400").
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/physics/bench_world.h"
#include "bench/physics/report.h"
#include "bench/physics/runner.h"
#include "bench/physics/scene.h"
#include "bench/physics/terrain.h"

namespace {

using bench::JointKind;
using bench::SceneKind;
using bench::SceneSpec;

std::vector<SceneSpec> AllScenes() {
    std::vector<SceneSpec> scenes;
    for (bool sleeping : {true, false}) {
        for (int boxes : {5, 10, 20}) {
            scenes.push_back({SceneKind::Stack, boxes, JointKind::Ball, sleeping, false, false});
        }
    }
    for (bool sleeping : {true, false}) {
        for (int rows : {10, 20, 30}) {
            scenes.push_back({SceneKind::Pyramid, rows, JointKind::Ball, sleeping, false, false});
        }
    }
    for (int bodies : {100, 400}) {
        for (bool sleeping : {true, false}) {
            scenes.push_back({SceneKind::Terrain, bodies, JointKind::Ball, sleeping, false, false});
        }
        for (bool sleeping : {true, false}) {
            scenes.push_back({SceneKind::Terrain, bodies, JointKind::Ball, sleeping, true, false});
        }
    }
    for (bool sleeping : {true, false}) {
        for (JointKind joint : {JointKind::Ball, JointKind::Hinge}) {
            for (int links : {10, 50}) {
                scenes.push_back({SceneKind::Chain, links, joint, sleeping, false, false});
            }
        }
    }
    scenes.push_back({SceneKind::RayCast, 100, JointKind::Ball, true, true, false});
    scenes.push_back({SceneKind::TerrainBuild, 0, JointKind::Ball, true, false, false});
    scenes.push_back({SceneKind::TerrainBuild, 0, JointKind::Ball, true, false, true});
    return scenes;
}

bool Selected(const SceneSpec& spec, int argc, char** argv) {
    if (argc < 2) {
        return true;
    }
    const std::string label = spec.Label();
    for (int i = 1; i < argc; ++i) {
        if (label.find(argv[i]) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::unique_ptr<bench::BenchEngine>> engines;
    bench::ReportColumns columns;
#ifdef GEARHAVEN_BENCH_OUR_SDK
    engines.push_back(bench::MakePhysEngine(false));
    engines.push_back(bench::MakePhysEngine(true));
    columns.ours = {0, 1};
#else
    std::cerr << "physics_bench: built without our SDK's entry points; peers only\n";
#endif
    columns.peers.push_back(static_cast<int>(engines.size()));
    engines.push_back(bench::MakeBox2dEngine());
    columns.peers.push_back(static_cast<int>(engines.size()));
    engines.push_back(bench::MakeBulletEngine());
    for (const auto& engine : engines) {
        columns.engines.push_back(engine->IsPlanar() ? engine->Name() + " (planar)"
                                                     : engine->Name());
    }

    const bench::TerrainMesh terrain = bench::MakeTerrain();
    std::vector<bench::ReportRow> rows;
    for (const SceneSpec& spec : AllScenes()) {
        if (!Selected(spec, argc, argv)) {
            continue;
        }
        bench::ReportRow row;
        row.spec = spec;
        for (const auto& engine : engines) {
            std::cerr << spec.Label() << " (sleep " << (spec.sleeping ? "on" : "off") << "): "
                      << engine->Name() << "\n";
            row.results.push_back(bench::RunScene(*engine, spec, terrain));
        }
        rows.push_back(row);
    }

    std::cout << "Time per step (per build for the terrain build), " << terrain.TriangleCount()
              << "-triangle terrain; Box2D runs planar equivalents (terrain: a chain along the "
                 "profile at z = 0).\n\n";
    bench::PrintTimingTable(columns, rows, std::cout);
    std::cout << "\nQuality (worst over 5 repetitions):\n\n";
    bench::PrintQualityTable(columns, rows, std::cout);
    return 0;
}
