// A world of small cubes for the tests of joints, the island solver and the
// world: bodies with a mass, gravity through the force callback, and stepping
// for a stretch of simulated time.
#ifndef TESTS_PHYSICS_SDK_WORLD_TEST_SCENE_H
#define TESTS_PHYSICS_SDK_WORLD_TEST_SCENE_H

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
    // gameSettings: the solver settings the game runs with (the square-root
    // pass budget and all rows in one solve).
    explicit TestScene(bool gameSettings = false) : world(phPhysicsWorld::Create()) {
        if (gameSettings) {
            world->SetSolverPasses(1);
            world->SetEqualityRowMode(1);
        }
    }
    ~TestScene() {
        if (world != nullptr) {
            phPhysicsWorld::Destroy(world);
        }
    }
    TestScene(const TestScene&) = delete;
    TestScene& operator=(const TestScene&) = delete;

    // A cube of the given side at a position; mass 0 leaves it static.
    // Falls under gravity unless told otherwise; no damping.
    phRigidBody* Cube(const phVector& position, float mass, float inertia = 0.1f,
                      bool gravity = true, float side = 0.5f) {
        phCollision* shape = world->Shapes().CreateBox(side, side, side, phMatrix());
        phRigidBody* body = world->CreateBody(shape);
        world->ReleaseShape(shape);
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
