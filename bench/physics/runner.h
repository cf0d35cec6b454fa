// Runs one scene in one engine: five repetitions, each of 60 warm-up steps
// followed by 600 timed steps, with the quality measures taken between the
// steps, outside the timed stretch.
#ifndef BENCH_PHYSICS_RUNNER_H
#define BENCH_PHYSICS_RUNNER_H

#include <vector>

#include "bench/physics/bench_world.h"
#include "bench/physics/quality.h"
#include "bench/physics/scene.h"
#include "bench/physics/terrain.h"

namespace bench {

struct Timing {
    double median = 0.0;  // microseconds per step (or per build)
    double p95 = 0.0;
};

struct RunResult {
    Timing timing;
    Quality quality;
};

// Median and 95th percentile (nearest rank) of the samples.
Timing Summarise(std::vector<double> samples);

RunResult RunScene(BenchEngine& engine, const SceneSpec& spec, const TerrainMesh& terrain);

}  // namespace bench

#endif
