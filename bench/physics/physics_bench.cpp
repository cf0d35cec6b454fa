// Physics benchmark: the same scenes in our SDK (with its defaults and with
// the game's solver settings), in Box2D (planar equivalents) and in Bullet,
// in one run. Prints the time per step of each engine with the ratios of
// ours to each peer, then the quality measures.
//
// Usage: physics_bench [--engine NAME] [word ...]
// Words select the scenes whose label contains one of them (for example
// "stack" or "terrain 400"); --engine keeps only the engines whose name
// starts with NAME (for profiling one engine).
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

struct Options {
    std::string engine;
    std::vector<std::string> words;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--engine" && i + 1 < argc) {
            options.engine = argv[++i];
        } else {
            options.words.push_back(arg);
        }
    }
    return options;
}

bool Selected(const SceneSpec& spec, const Options& options) {
    if (options.words.empty()) {
        return true;
    }
    const std::string label = spec.Label();
    for (const std::string& word : options.words) {
        if (label.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool Kept(const bench::BenchEngine& engine, const Options& options) {
    return engine.Name().compare(0, options.engine.size(), options.engine) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    struct Candidate {
        std::unique_ptr<bench::BenchEngine> engine;
        bool ours;
    };
    std::vector<Candidate> candidates;
#ifdef GEARHAVEN_BENCH_OUR_SDK
    candidates.push_back({bench::MakePhysEngine(false), true});
    candidates.push_back({bench::MakePhysEngine(true), true});
#else
    std::cerr << "physics_bench: built without our SDK's entry points; peers only\n";
#endif
    candidates.push_back({bench::MakeBox2dEngine(), false});
    candidates.push_back({bench::MakeBulletEngine(), false});

    std::vector<std::unique_ptr<bench::BenchEngine>> engines;
    bench::ReportColumns columns;
    for (Candidate& candidate : candidates) {
        if (!Kept(*candidate.engine, options)) {
            continue;
        }
        (candidate.ours ? columns.ours : columns.peers).push_back(static_cast<int>(engines.size()));
        engines.push_back(std::move(candidate.engine));
    }
    for (const auto& engine : engines) {
        columns.engines.push_back(engine->IsPlanar() ? engine->Name() + " (planar)"
                                                     : engine->Name());
    }

    const bench::TerrainMesh terrain = bench::MakeTerrain();
    std::cout << "Time per step (per build for the terrain build), " << terrain.TriangleCount()
              << "-triangle terrain; Box2D runs planar equivalents (terrain: a chain along the "
                 "profile at z = 0).\n\n";
    bench::PrintTimingHeader(columns, std::cout);
    std::vector<bench::ReportRow> rows;
    for (const SceneSpec& spec : AllScenes()) {
        if (!Selected(spec, options)) {
            continue;
        }
        bench::ReportRow row;
        row.spec = spec;
        for (const auto& engine : engines) {
            std::cerr << spec.Label() << " (sleep " << (spec.sleeping ? "on" : "off") << "): "
                      << engine->Name() << "\n";
            row.results.push_back(bench::RunScene(*engine, spec, terrain));
        }
        bench::PrintTimingRow(columns, row, std::cout);
        rows.push_back(row);
    }
    std::cout << "\nQuality (worst over 5 repetitions):\n\n";
    bench::PrintQualityTable(columns, rows, std::cout);
    return 0;
}
