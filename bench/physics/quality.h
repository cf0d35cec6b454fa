// Quality measures taken beside the timing, so that a fast engine that lets
// boxes sink or stacks wander is seen as such. They are computed here from
// the bodies' poses alone, the same way for every engine.
#ifndef BENCH_PHYSICS_QUALITY_H
#define BENCH_PHYSICS_QUALITY_H

#include <vector>

#include "bench/physics/bench_world.h"
#include "bench/physics/scene.h"

namespace bench {

struct Quality {
    float maxPenetration = -1.0f;  // metres; below 0 when not measured
    float topDrift = -1.0f;        // metres the stack's top box moved in 10 s
    int standing = -1;             // pyramid: 1 stands, 0 fell, -1 not measured
    float maxJointError = -1.0f;   // metres between the two anchors of a joint

    // Keeps the worse of each measure.
    void Merge(const Quality& other);
};

// Deepest overlap among the boxes, the ground and the terrain.
float Penetration(const SceneRecord& record, const std::vector<Pose>& poses);
// Largest distance between a joint's two anchors (and, for a hinge, between
// points one metre along the two pins).
float JointError(const SceneRecord& record, const std::vector<Pose>& poses);
float Distance(const Vec3& a, const Vec3& b);
// True when every box is within half a metre of where it started.
bool Standing(const SceneRecord& record, const std::vector<Pose>& poses);

}  // namespace bench

#endif
