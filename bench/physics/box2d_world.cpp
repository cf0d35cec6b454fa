// Box2D as a comparison peer. It is two-dimensional, so every scene becomes
// its planar equivalent: boxes are rectangles in the x-y plane, the terrain
// is a chain along its profile at z = 0, and both joint kinds are revolute
// joints about z.
#include <cmath>
#include <vector>

#include <box2d/box2d.h>

#include "bench/physics/bench_world.h"
#include "bench/physics/terrain.h"

namespace bench {

namespace {

const float kStep = 1.0f / 60.0f;
const int kVelocityIterations = 8;
const int kPositionIterations = 3;
const float kFriction = 0.5f;

class Box2dWorld : public BenchWorld {
public:
    explicit Box2dWorld(bool sleeping) : world_(b2Vec2(0.0f, -9.8f)) {
        world_.SetAllowSleeping(sleeping);
        b2BodyDef def;
        anchor_ = world_.CreateBody(&def);
    }

    void AddStaticBox(const Vec3& centre, const Vec3& size) override {
        b2BodyDef def;
        def.position.Set(centre.x, centre.y);
        b2Body* body = world_.CreateBody(&def);
        b2PolygonShape shape;
        shape.SetAsBox(0.5f * size.x, 0.5f * size.y);
        AddFixture(body, &shape, 0.0f);
    }

    int AddBox(const Vec3& centre, const Vec3& size, float angleZ, float mass) override {
        b2BodyDef def;
        def.type = b2_dynamicBody;
        def.position.Set(centre.x, centre.y);
        def.angle = angleZ;
        b2Body* body = world_.CreateBody(&def);
        b2PolygonShape shape;
        shape.SetAsBox(0.5f * size.x, 0.5f * size.y);
        AddFixture(body, &shape, mass / (size.x * size.y));
        bodies_.push_back(body);
        return static_cast<int>(bodies_.size()) - 1;
    }

    void AddTerrain(const TerrainMesh& terrain) override { AddTerrainBody(terrain); }

    b2Body* AddTerrainBody(const TerrainMesh& terrain) {
        // Chain edges collide only with what lies on their right-hand side,
        // so the profile is walked from +x to -x to make that side the top.
        std::vector<b2Vec2> points;
        const std::vector<Vec3> profile = terrain.Profile();
        for (auto p = profile.rbegin(); p != profile.rend(); ++p) {
            points.emplace_back(p->x, p->y);
        }
        b2ChainShape chain;
        chain.CreateChain(points.data(), static_cast<int32>(points.size()), points.front(),
                          points.back());
        b2BodyDef def;
        b2Body* body = world_.CreateBody(&def);
        AddFixture(body, &chain, 0.0f);
        return body;
    }

    void DestroyBody(b2Body* body) { world_.DestroyBody(body); }

    void AddJoint(JointKind, int child, int parent, const Vec3& pivot, const Vec3&) override {
        b2RevoluteJointDef def;
        b2Body* parentBody = parent < 0 ? anchor_ : bodies_[parent];
        def.Initialize(parentBody, bodies_[child], b2Vec2(pivot.x, pivot.y));
        world_.CreateJoint(&def);
    }

    void Step() override { world_.Step(kStep, kVelocityIterations, kPositionIterations); }

    Pose GetPose(int index) const override {
        const b2Body* body = bodies_[index];
        const b2Vec2 p = body->GetPosition();
        const float c = std::cos(body->GetAngle());
        const float s = std::sin(body->GetAngle());
        Pose pose;
        pose.position = {p.x, p.y, 0.0f};
        pose.axes[0][0] = c;
        pose.axes[0][1] = s;
        pose.axes[1][0] = -s;
        pose.axes[1][1] = c;
        return pose;
    }

    float CastRay(const Vec3& from, const Vec3& to) override {
        ClosestHit hit;
        world_.RayCast(&hit, b2Vec2(from.x, from.y), b2Vec2(to.x, to.y));
        return hit.fraction;
    }

private:
    class ClosestHit : public b2RayCastCallback {
    public:
        float ReportFixture(b2Fixture*, const b2Vec2&, const b2Vec2&, float f) override {
            fraction = f;
            return f;
        }
        float fraction = 2.0f;
    };

    void AddFixture(b2Body* body, const b2Shape* shape, float density) {
        b2FixtureDef def;
        def.shape = shape;
        def.density = density;
        def.friction = kFriction;
        def.restitution = 0.0f;
        body->CreateFixture(&def);
    }

    b2World world_;
    b2Body* anchor_;
    std::vector<b2Body*> bodies_;
};

class Box2dEngine : public BenchEngine {
public:
    std::string Name() const override { return "Box2D"; }
    bool IsPlanar() const override { return true; }

    std::unique_ptr<BenchWorld> CreateWorld(bool sleeping) override {
        return std::make_unique<Box2dWorld>(sleeping);
    }

    // Building a chain has nothing to optimise: both variants are the same.
    void BuildTerrainShape(const TerrainMesh& terrain, bool) override {
        terrain_ = world_.AddTerrainBody(terrain);
    }

    void FreeTerrainShape() override { world_.DestroyBody(terrain_); }

private:
    Box2dWorld world_{true};
    b2Body* terrain_ = nullptr;
};

}  // namespace

std::unique_ptr<BenchEngine> MakeBox2dEngine() { return std::make_unique<Box2dEngine>(); }

}  // namespace bench
