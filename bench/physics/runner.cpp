#include "bench/physics/runner.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>

namespace bench {

namespace {

const int kRepetitions = 5;
const int kWarmUpSteps = 60;
const int kTimedSteps = 600;
// The top of a stack is compared with its start after 10 s of 1/60 s steps.
const int kDriftStep = 600;
// Terrain scenes at rest first run this many untimed steps to settle.
const int kSettleSteps = 600;
const int kRaysPerStep = 1000;
const int kWarmUpBuilds = 1;
const int kTimedBuilds = 20;
// A repetition of a slow build stops after this many microseconds, keeping
// at least one timed build.
const double kBuildBudget = 2e6;

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

std::vector<Pose> Poses(const BenchWorld& world, const SceneRecord& record) {
    std::vector<Pose> poses;
    poses.reserve(record.sizes.size());
    for (size_t i = 0; i < record.sizes.size(); ++i) {
        poses.push_back(world.GetPose(static_cast<int>(i)));
    }
    return poses;
}

// A fixed pseudo-random sequence, so every engine casts the same rays.
class RaySource {
public:
    float Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) * (1.0f / 16777216.0f);
    }

private:
    uint32_t state_ = 12345u;
};

// Vertical rays from above the terrain to below it, at random places over
// the inner part of the grid (or along the profile for a planar engine).
void CastRays(BenchWorld& world, const TerrainMesh& terrain, bool planar, RaySource& source,
              std::vector<double>& samples, bool timed) {
    const float half = 0.5f * terrain.cells * terrain.spacing - 1.0f;
    std::vector<Vec3> starts(kRaysPerStep);
    for (Vec3& start : starts) {
        const float x = (2.0f * source.Next() - 1.0f) * half;
        const float z = (2.0f * source.Next() - 1.0f) * half;
        start = {x, 30.0f, planar ? 0.0f : z};
    }
    volatile float sink = 0.0f;
    const Clock::time_point begin = Clock::now();
    for (const Vec3& start : starts) {
        sink = sink + world.CastRay(start, {start.x, -10.0f, start.z});
    }
    const Clock::time_point end = Clock::now();
    if (timed) {
        samples.push_back(Microseconds(begin, end));
    }
}

RunResult RunTerrainBuild(BenchEngine& engine, const SceneSpec& spec, const TerrainMesh& terrain) {
    std::vector<double> samples;
    for (int rep = 0; rep < kRepetitions; ++rep) {
        double spent = 0.0;
        for (int build = 0; build < kWarmUpBuilds + kTimedBuilds; ++build) {
            const Clock::time_point begin = Clock::now();
            engine.BuildTerrainShape(terrain, spec.optimise);
            const Clock::time_point end = Clock::now();
            engine.FreeTerrainShape();
            const double time = Microseconds(begin, end);
            spent += time;
            if (build >= kWarmUpBuilds) {
                samples.push_back(time);
            }
            if (build >= kWarmUpBuilds && spent > kBuildBudget) {
                break;
            }
        }
    }
    RunResult result;
    result.timing = Summarise(samples);
    return result;
}

Quality MeasureStep(const SceneSpec& spec, const SceneRecord& record, const BenchWorld& world,
                    int step) {
    Quality quality;
    const std::vector<Pose> poses = Poses(world, record);
    if (spec.kind == SceneKind::Chain) {
        quality.maxJointError = JointError(record, poses);
    } else {
        quality.maxPenetration = Penetration(record, poses);
    }
    if (spec.kind == SceneKind::Stack && step + 1 == kDriftStep) {
        quality.topDrift =
            Distance(poses[record.topBody].position, record.start[record.topBody].position);
    }
    return quality;
}

}  // namespace

Timing Summarise(std::vector<double> samples) {
    Timing timing;
    if (samples.empty()) {
        return timing;
    }
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    timing.median = n % 2 == 1 ? samples[n / 2] : 0.5 * (samples[n / 2 - 1] + samples[n / 2]);
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * n));
    timing.p95 = samples[std::max<size_t>(rank, 1) - 1];
    return timing;
}

RunResult RunScene(BenchEngine& engine, const SceneSpec& spec, const TerrainMesh& terrain) {
    if (spec.kind == SceneKind::TerrainBuild) {
        return RunTerrainBuild(engine, spec, terrain);
    }
    std::vector<double> samples;
    samples.reserve(kRepetitions * kTimedSteps);
    RunResult result;
    for (int rep = 0; rep < kRepetitions; ++rep) {
        std::unique_ptr<BenchWorld> world = engine.CreateWorld(spec.sleeping);
        const SceneRecord record = BuildScene(spec, terrain, engine.IsPlanar(), *world);
        const bool rays = spec.kind == SceneKind::RayCast;
        if (spec.atRest || rays) {
            for (int step = 0; step < kSettleSteps; ++step) {
                world->Step();
            }
        }
        RaySource source;
        for (int step = 0; step < kWarmUpSteps + kTimedSteps; ++step) {
            const bool timed = step >= kWarmUpSteps;
            if (rays) {
                world->Step();
                CastRays(*world, terrain, engine.IsPlanar(), source, samples, timed);
                continue;
            }
            const Clock::time_point begin = Clock::now();
            world->Step();
            const Clock::time_point end = Clock::now();
            if (timed) {
                samples.push_back(Microseconds(begin, end));
            }
            result.quality.Merge(MeasureStep(spec, record, *world, step));
        }
        if (spec.kind == SceneKind::Pyramid) {
            Quality standing;
            standing.standing = Standing(record, Poses(*world, record)) ? 1 : 0;
            result.quality.Merge(standing);
        }
    }
    result.timing = Summarise(samples);
    return result;
}

}  // namespace bench
