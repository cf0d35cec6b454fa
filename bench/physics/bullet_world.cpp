// Bullet (single precision) as a comparison peer, with its default solver of
// 10 iterations. Bullet multiplies the two bodies' friction coefficients, so
// each body gets the square root of the wanted pair friction of 0.5.
#include <cmath>
#include <memory>
#include <vector>

#include <btBulletDynamicsCommon.h>

#include "bench/physics/bench_world.h"
#include "bench/physics/terrain.h"

namespace bench {

namespace {

const float kStep = 1.0f / 60.0f;
const float kBodyFriction = std::sqrt(0.5f);

btVector3 ToBt(const Vec3& v) { return btVector3(v.x, v.y, v.z); }

// The terrain as Bullet's triangle mesh with its bounding-volume tree. The
// quantised tree is Bullet's compact, optimised form.
class BulletTerrain {
public:
    BulletTerrain(const TerrainMesh& terrain, bool quantised) {
        const std::vector<Vec3>& v = terrain.vertices;
        for (size_t i = 0; i < terrain.triangles.size(); i += 3) {
            mesh_.addTriangle(ToBt(v[terrain.triangles[i]]), ToBt(v[terrain.triangles[i + 1]]),
                              ToBt(v[terrain.triangles[i + 2]]));
        }
        shape_ = std::make_unique<btBvhTriangleMeshShape>(&mesh_, quantised);
    }

    btCollisionShape* Shape() { return shape_.get(); }

private:
    btTriangleMesh mesh_;
    std::unique_ptr<btBvhTriangleMeshShape> shape_;
};

class BulletWorld : public BenchWorld {
public:
    explicit BulletWorld(bool sleeping)
        : dispatcher_(&configuration_),
          world_(&dispatcher_, &broadphase_, &solver_, &configuration_),
          sleeping_(sleeping) {
        world_.setGravity(btVector3(0.0f, -9.8f, 0.0f));
    }

    ~BulletWorld() override {
        for (int i = world_.getNumConstraints() - 1; i >= 0; --i) {
            world_.removeConstraint(world_.getConstraint(i));
        }
        for (int i = world_.getNumCollisionObjects() - 1; i >= 0; --i) {
            world_.removeCollisionObject(world_.getCollisionObjectArray()[i]);
        }
    }

    void AddStaticBox(const Vec3& centre, const Vec3& size) override {
        shapes_.push_back(std::make_unique<btBoxShape>(ToBt(size) * 0.5f));
        AddBody(shapes_.back().get(), centre, 0.0f, 0.0f);
    }

    int AddBox(const Vec3& centre, const Vec3& size, float angleZ, float mass) override {
        shapes_.push_back(std::make_unique<btBoxShape>(ToBt(size) * 0.5f));
        bodies_.push_back(AddBody(shapes_.back().get(), centre, angleZ, mass));
        return static_cast<int>(bodies_.size()) - 1;
    }

    void AddTerrain(const TerrainMesh& terrain) override {
        terrain_ = std::make_unique<BulletTerrain>(terrain, true);
        AddBody(terrain_->Shape(), {}, 0.0f, 0.0f);
    }

    void AddJoint(JointKind kind, int child, int parent, const Vec3& pivot,
                  const Vec3& pin) override {
        btRigidBody* a = bodies_[child];
        const btVector3 pivotA = a->getCenterOfMassTransform().inverse() * ToBt(pivot);
        const btVector3 pinA = a->getCenterOfMassTransform().getBasis().transpose() * ToBt(pin);
        btTypedConstraint* joint = nullptr;
        if (parent < 0) {
            if (kind == JointKind::Ball) {
                joint = new btPoint2PointConstraint(*a, pivotA);
            } else {
                joint = new btHingeConstraint(*a, pivotA, pinA);
            }
        } else {
            btRigidBody* b = bodies_[parent];
            const btVector3 pivotB = b->getCenterOfMassTransform().inverse() * ToBt(pivot);
            const btVector3 pinB =
                b->getCenterOfMassTransform().getBasis().transpose() * ToBt(pin);
            if (kind == JointKind::Ball) {
                joint = new btPoint2PointConstraint(*a, *b, pivotA, pivotB);
            } else {
                joint = new btHingeConstraint(*a, *b, pivotA, pivotB, pinA, pinB);
            }
        }
        constraints_.emplace_back(joint);
        world_.addConstraint(joint, true);
    }

    void Step() override { world_.stepSimulation(kStep, 0, kStep); }

    Pose GetPose(int index) const override {
        const btTransform& t = bodies_[index]->getCenterOfMassTransform();
        Pose pose;
        pose.position = {t.getOrigin().x(), t.getOrigin().y(), t.getOrigin().z()};
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                pose.axes[row][column] = t.getBasis()[column][row];
            }
        }
        return pose;
    }

    float CastRay(const Vec3& from, const Vec3& to) override {
        btCollisionWorld::ClosestRayResultCallback hit(ToBt(from), ToBt(to));
        world_.rayTest(ToBt(from), ToBt(to), hit);
        return hit.hasHit() ? hit.m_closestHitFraction : 2.0f;
    }

private:
    btRigidBody* AddBody(btCollisionShape* shape, const Vec3& centre, float angleZ, float mass) {
        btVector3 inertia(0.0f, 0.0f, 0.0f);
        if (mass > 0.0f) {
            shape->calculateLocalInertia(mass, inertia);
        }
        btRigidBody::btRigidBodyConstructionInfo info(mass, nullptr, shape, inertia);
        info.m_startWorldTransform.setOrigin(ToBt(centre));
        info.m_startWorldTransform.setRotation(btQuaternion(btVector3(0, 0, 1), angleZ));
        info.m_friction = kBodyFriction;
        info.m_restitution = 0.0f;
        rigidBodies_.push_back(std::make_unique<btRigidBody>(info));
        btRigidBody* body = rigidBodies_.back().get();
        if (!sleeping_) {
            body->setActivationState(DISABLE_DEACTIVATION);
        }
        world_.addRigidBody(body);
        return body;
    }

    btDefaultCollisionConfiguration configuration_;
    btCollisionDispatcher dispatcher_;
    btDbvtBroadphase broadphase_;
    btSequentialImpulseConstraintSolver solver_;
    btDiscreteDynamicsWorld world_;
    bool sleeping_;
    std::vector<std::unique_ptr<btCollisionShape>> shapes_;
    std::unique_ptr<BulletTerrain> terrain_;
    std::vector<std::unique_ptr<btRigidBody>> rigidBodies_;
    std::vector<std::unique_ptr<btTypedConstraint>> constraints_;
    std::vector<btRigidBody*> bodies_;
};

class BulletEngine : public BenchEngine {
public:
    std::string Name() const override { return "Bullet"; }
    bool IsPlanar() const override { return false; }

    std::unique_ptr<BenchWorld> CreateWorld(bool sleeping) override {
        return std::make_unique<BulletWorld>(sleeping);
    }

    void BuildTerrainShape(const TerrainMesh& terrain, bool optimise) override {
        terrain_ = std::make_unique<BulletTerrain>(terrain, optimise);
    }

    void FreeTerrainShape() override { terrain_.reset(); }

private:
    std::unique_ptr<BulletTerrain> terrain_;
};

}  // namespace

std::unique_ptr<BenchEngine> MakeBulletEngine() { return std::make_unique<BulletEngine>(); }

}  // namespace bench
