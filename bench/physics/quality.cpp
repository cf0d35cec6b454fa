#include "bench/physics/quality.h"

#include <algorithm>
#include <cmath>

namespace bench {

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Axis(const Pose& pose, int i) { return {pose.axes[i][0], pose.axes[i][1], pose.axes[i][2]}; }

Vec3 ToWorld(const Pose& pose, const Vec3& local) {
    Vec3 p = pose.position;
    const float l[3] = {local.x, local.y, local.z};
    for (int i = 0; i < 3; ++i) {
        p.x += l[i] * pose.axes[i][0];
        p.y += l[i] * pose.axes[i][1];
        p.z += l[i] * pose.axes[i][2];
    }
    return p;
}

struct Box {
    Pose pose;
    float half[3];
};

Box MakeBox(const Pose& pose, const Vec3& size) {
    return {pose, {0.5f * size.x, 0.5f * size.y, 0.5f * size.z}};
}

float Radius(const Box& box, const Vec3& axis) {
    float r = 0.0f;
    for (int i = 0; i < 3; ++i) {
        r += box.half[i] * std::fabs(Dot(Axis(box.pose, i), axis));
    }
    return r;
}

// Penetration depth of two boxes by the separating-axis test: the smallest
// overlap over the fifteen candidate axes, or 0 when one of them separates.
float BoxOverlap(const Box& a, const Box& b) {
    const Vec3 d = Sub(b.pose.position, a.pose.position);
    float depth = 1e30f;
    auto test = [&](Vec3 axis) {
        const float length = std::sqrt(Dot(axis, axis));
        if (length < 1e-5f) {
            return true;
        }
        axis = {axis.x / length, axis.y / length, axis.z / length};
        const float overlap = Radius(a, axis) + Radius(b, axis) - std::fabs(Dot(d, axis));
        depth = std::min(depth, overlap);
        return overlap > 0.0f;
    };
    for (int i = 0; i < 3; ++i) {
        if (!test(Axis(a.pose, i)) || !test(Axis(b.pose, i))) {
            return 0.0f;
        }
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            if (!test(Cross(Axis(a.pose, i), Axis(b.pose, j)))) {
                return 0.0f;
            }
        }
    }
    return depth;
}

float BoundingRadius(const Box& box) {
    return std::sqrt(box.half[0] * box.half[0] + box.half[1] * box.half[1] +
                     box.half[2] * box.half[2]);
}

// Deepest corner below the terrain surface, measured vertically. A planar
// body is measured against the profile at z = 0, which is what its engine
// collides with. A body beyond the terrain's edge has nothing to sink into.
float TerrainDepth(const TerrainMesh& terrain, const Box& box, bool planar) {
    const float edge = terrain.origin + terrain.cells * terrain.spacing;
    const Vec3& c = box.pose.position;
    if (c.x < terrain.origin || c.x > edge || (!planar && (c.z < terrain.origin || c.z > edge))) {
        return 0.0f;
    }
    float depth = 0.0f;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec3 local = {(corner & 1 ? 1 : -1) * box.half[0], (corner & 2 ? 1 : -1) * box.half[1],
                            (corner & 4 ? 1 : -1) * box.half[2]};
        const Vec3 p = ToWorld(box.pose, local);
        depth = std::max(depth, terrain.HeightAt(p.x, planar ? 0.0f : p.z) - p.y);
    }
    return depth;
}

}  // namespace

void Quality::Merge(const Quality& other) {
    maxPenetration = std::max(maxPenetration, other.maxPenetration);
    topDrift = std::max(topDrift, other.topDrift);
    if (other.standing >= 0) {
        standing = standing < 0 ? other.standing : std::min(standing, other.standing);
    }
    maxJointError = std::max(maxJointError, other.maxJointError);
}

float Distance(const Vec3& a, const Vec3& b) {
    const Vec3 d = Sub(a, b);
    return std::sqrt(Dot(d, d));
}

float Penetration(const SceneRecord& record, const std::vector<Pose>& poses) {
    std::vector<Box> boxes;
    boxes.reserve(poses.size());
    for (size_t i = 0; i < poses.size(); ++i) {
        boxes.push_back(MakeBox(poses[i], record.sizes[i]));
    }
    float deepest = 0.0f;
    std::vector<Box> statics;
    for (size_t i = 0; i < record.staticPoses.size(); ++i) {
        statics.push_back(MakeBox(record.staticPoses[i], record.staticSizes[i]));
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        for (const Box& fixed : statics) {
            deepest = std::max(deepest, BoxOverlap(boxes[i], fixed));
        }
        if (record.terrain != nullptr) {
            deepest = std::max(deepest, TerrainDepth(*record.terrain, boxes[i], record.planar));
        }
        const float ri = BoundingRadius(boxes[i]);
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            const float reach = ri + BoundingRadius(boxes[j]);
            const Vec3 d = Sub(boxes[j].pose.position, boxes[i].pose.position);
            if (Dot(d, d) < reach * reach) {
                deepest = std::max(deepest, BoxOverlap(boxes[i], boxes[j]));
            }
        }
    }
    return deepest;
}

float JointError(const SceneRecord& record, const std::vector<Pose>& poses) {
    float worst = 0.0f;
    Pose world;
    for (const JointRecord& joint : record.joints) {
        const Pose& child = poses[joint.child];
        const Pose& parent = joint.parent < 0 ? world : poses[joint.parent];
        const Vec3 a = ToWorld(child, joint.childAnchor);
        const Vec3 b = ToWorld(parent, joint.parentAnchor);
        worst = std::max(worst, Distance(a, b));
        if (joint.hinge) {
            const Vec3 pinA = ToWorld(child, {joint.childAnchor.x + joint.childPin.x,
                                              joint.childAnchor.y + joint.childPin.y,
                                              joint.childAnchor.z + joint.childPin.z});
            const Vec3 pinB = ToWorld(parent, {joint.parentAnchor.x + joint.parentPin.x,
                                               joint.parentAnchor.y + joint.parentPin.y,
                                               joint.parentAnchor.z + joint.parentPin.z});
            worst = std::max(worst, Distance(pinA, pinB));
        }
    }
    return worst;
}

bool Standing(const SceneRecord& record, const std::vector<Pose>& poses) {
    for (size_t i = 0; i < poses.size(); ++i) {
        if (Distance(poses[i].position, record.start[i].position) > 0.5f) {
            return false;
        }
    }
    return true;
}

}  // namespace bench
