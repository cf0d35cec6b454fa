// A world of sphere bodies for the tests of joints, the island solver and
// the world: bodies with a mass, gravity through the force callback, and
// stepping for a stretch of simulated time.
#ifndef TESTS_PHYSICS_SDK_WORLD_TEST_SCENE_H
#define TESTS_PHYSICS_SDK_WORLD_TEST_SCENE_H

#include "body_test_shape.h"
#include "dynamics/rigid_body.h"
#include "dynamics/world.h"

#include <cmath>

inline constexpr float kGravity = 9.8f;

// Weight along -y.
inline void ApplyGravity(PhysBody* handle) {
    phRigidBody* body = phRigidBody::FromHandle(handle);
    body->AddForce(phVector(0.0f, -kGravity * body->MassMatrix().w, 0.0f, 0.0f));
}

struct TestScene {
    TestScene() : world(phPhysicsWorld::Create()) {}
    ~TestScene() {
        if (world != nullptr) {
            phPhysicsWorld::Destroy(world);
        }
    }
    TestScene(const TestScene&) = delete;
    TestScene& operator=(const TestScene&) = delete;

    // A sphere at a position; mass 0 leaves it static. Falls under gravity
    // unless told otherwise; no damping.
    phRigidBody* Sphere(const phVector& position, float mass, float inertia = 0.1f,
                        bool gravity = true) {
        phCollision* shape = new TestSphere(0.25f);
        phRigidBody* body = world->CreateBody(shape);
        shape->Release();
        if (mass > 0.0f) {
            body->SetMass(mass, inertia, inertia, inertia);
        }
        body->SetLinearDamping(0.0f);
        body->SetAngularDamping(phVector(0.0f, 0.0f, 0.0f));
        phMatrix matrix;
        matrix[3] = phVector(position.x, position.y, position.z, 1.0f);
        body->SetMatrix(matrix);
        if (gravity) {
            body->forceAndTorqueCallback = ApplyGravity;
        }
        return body;
    }

    void Run(float seconds, float dt = 1.0f / 60.0f) {
        const int steps = int(std::lround(seconds / dt));
        for (int i = 0; i < steps; ++i) {
            world->Update(dt);
        }
    }

    phPhysicsWorld* world;
};

#endif
