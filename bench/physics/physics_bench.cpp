// Physics benchmark: the same scenes in our SDK (with its defaults and with
// the game's solver settings), in Box2D (planar equivalents) and in Bullet,
// in one run. Prints the time per step of each engine with the ratios of
// ours to each peer, then the quality measures.
//
// Usage: physics_bench [--engine NAME] [word ...]
// Words select the scenes whose label contains one of them (for example
// "stack" or "terrain 400"); --engine keeps only the engines whose name
// starts with NAME, in any letter case (for profiling one engine). A word that
// selects no scene and a name that keeps no engine are refused.
#include <algorithm>
#include <cctype>
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

const char USAGE[] =
    "usage: physics_bench [--engine NAME] [word ...]\n"
    "  word           run only the scenes whose label contains one of the words,\n"
    "                 for example \"stack\" or \"terrain 400\" (default: every scene)\n"
    "  --engine NAME  run only the engines whose name starts with NAME, in any\n"
    "                 letter case: ours, ours (game), Box2D, Bullet\n"
    "  --help         print this and end\n";

struct Options {
    bool help = false;
    std::string engine;
    std::vector<std::string> words;
};

// False, with the reason in `error`, when the command line cannot be used.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--engine") {
            if (i + 1 >= argc) {
                error = "--engine needs a name";
                return false;
            }
            options.engine = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            options.words.push_back(arg);
        }
    }
    return true;
}

bool Selected(const SceneSpec& spec, const std::vector<std::string>& words) {
    if (words.empty()) {
        return true;
    }
    const std::string label = spec.Label();
    for (const std::string& word : words) {
        if (label.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool Kept(const bench::BenchEngine& engine, const Options& options) {
    return Lower(engine.Name()).compare(0, options.engine.size(), Lower(options.engine)) == 0;
}

// The first word that selects no scene; empty when every word selects one.
std::string UnknownWord(const std::vector<SceneSpec>& scenes,
                        const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        const bool selects = std::any_of(scenes.begin(), scenes.end(), [&](const SceneSpec& spec) {
            return Selected(spec, {word});
        });
        if (!selects) {
            return word;
        }
    }
    return std::string();
}

int Refuse(const std::string& error) {
    std::cerr << "physics_bench: " << error << "\n" << USAGE;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        return Refuse(error);
    }
    if (options.help) {
        std::cout << USAGE;
        return 0;
    }
    const std::vector<SceneSpec> scenes = AllScenes();
    const std::string unknownWord = UnknownWord(scenes, options.words);
    if (!unknownWord.empty()) {
        std::vector<std::string> seen;
        std::string labels;
        for (const SceneSpec& spec : scenes) {
            if (std::find(seen.begin(), seen.end(), spec.Label()) == seen.end()) {
                seen.push_back(spec.Label());
                labels += "\n  " + spec.Label();
            }
        }
        return Refuse("\"" + unknownWord + "\" selects no scene; the scenes are:" + labels);
    }
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
    if (engines.empty()) {
        return Refuse("no engine's name starts with \"" + options.engine + "\"");
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
    for (const SceneSpec& spec : scenes) {
        if (!Selected(spec, options.words)) {
            continue;
        }
        bench::ReportRow row;
        row.spec = spec;
        for (const auto& engine : engines) {
            std::cerr << spec.Label() << " (sleep " << (spec.sleeping ? "on" : "off")
                      << "): " << engine->Name() << "\n";
            row.results.push_back(bench::RunScene(*engine, spec, terrain));
        }
        bench::PrintTimingRow(columns, row, std::cout);
        rows.push_back(row);
    }
    std::cout << "\nQuality (worst over 5 repetitions):\n\n";
    bench::PrintQualityTable(columns, rows, std::cout);
    return 0;
}
