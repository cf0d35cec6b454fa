#include "dynamics/world.h"

#include "body_test_shape.h"
#include "counting_allocator.h"
#include "dynamics/two_body_joint.h"
#include "world_test_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

const float kStep = 1.0f / 60.0f;

// What the callbacks saw, by body or joint (user data holds a number).
struct Record {
    std::map<int, int> transforms;
    std::map<int, int> destroyed;
    std::map<int, int> jointsDestroyed;
    std::vector<std::string> activations;
    std::vector<int> forceOrder;
    std::vector<int> leftWorld;
    // Run by the force callback of body `key`.
    std::map<int, std::function<void()>> onForce;
    // Run by the destructor callback of body `key` or joint `key`.
    std::map<int, std::function<void()>> onDestroy;
    std::map<int, std::function<void()>> onJointDestroy;
};

Record* g_record = nullptr;

int Number(PhysBody* body) {
    return int(reinterpret_cast<intptr_t>(phRigidBody::FromHandle(body)->UserData()));
}

int Number(PhysJoint* joint) {
    return int(reinterpret_cast<intptr_t>(reinterpret_cast<phTwoBodyJoint*>(joint)->UserData()));
}

void OnForce(PhysBody* body) {
    g_record->forceOrder.push_back(Number(body));
    auto action = g_record->onForce.find(Number(body));
    if (action != g_record->onForce.end()) {
        action->second();
    }
}

void OnTransform(PhysBody* body, const float*) { ++g_record->transforms[Number(body)]; }

void OnDestroy(PhysBody* body) {
    ++g_record->destroyed[Number(body)];
    auto action = g_record->onDestroy.find(Number(body));
    if (action != g_record->onDestroy.end()) {
        action->second();
    }
}

void OnJointDestroy(PhysJoint* joint) {
    ++g_record->jointsDestroyed[Number(joint)];
    auto action = g_record->onJointDestroy.find(Number(joint));
    if (action != g_record->onJointDestroy.end()) {
        action->second();
    }
}

void OnActivation(PhysBody* body, unsigned state) {
    g_record->activations.push_back(std::to_string(Number(body)) + (state ? " on" : " off"));
}

void OnLeaveWorld(PhysBody* body) { g_record->leftWorld.push_back(Number(body)); }

// A scene whose bodies report to a record.
struct RecordedScene : TestScene {
    RecordedScene() { g_record = &record; }
    // The world goes first: its bodies' callbacks still report.
    ~RecordedScene() {
        g_record = &record;
        if (world != nullptr) {
            phPhysicsWorld::Destroy(world);
            world = nullptr;
        }
        g_record = nullptr;
    }

    phRigidBody* Body(int number, const phVector& position, float mass = 1.0f,
                      bool gravity = false) {
        phRigidBody* body = Cube(position, mass, 0.1f, false);
        body->SetUserData(reinterpret_cast<void*>(intptr_t(number)));
        body->forceAndTorqueCallback = gravity ? [](PhysBody* b) {
            OnForce(b);
            ApplyGravity(b);
        } : OnForce;
        body->transformCallback = OnTransform;
        body->destructorCallback = OnDestroy;
        body->activationCallback = OnActivation;
        return body;
    }

    phTwoBodyJoint* Joint(int number, phRigidBody* child, phRigidBody* parent) {
        phTwoBodyJoint* joint = world->CreateBallJoint(child->Position(), child, parent);
        joint->SetUserData(reinterpret_cast<void*>(intptr_t(number)));
        joint->SetDestructorCallback(OnJointDestroy);
        return joint;
    }

    Record record;
};

}  // namespace

TEST(World, CreationDefaults) {
    TestScene scene;
    phPhysicsWorld& w = *scene.world;
    EXPECT_EQ(w.IslandStamp(), 2u);
    EXPECT_EQ(w.SolverPasses(), 0);
    EXPECT_EQ(w.EqualityRowMode(), 0);
    EXPECT_FLOAT_EQ(w.TimeStep(), 1.0f / 60.0f);
    EXPECT_EQ(w.LeaveWorldCallback(), nullptr);
    EXPECT_EQ(w.Materials().GroupCount(), 1);
    EXPECT_FLOAT_EQ(w.BroadPhase().WorldMin().x, -100.0f);
    EXPECT_FLOAT_EQ(w.BroadPhase().WorldMax().z, 100.0f);
    EXPECT_FLOAT_EQ(w.FreezeThresholds().linearSpeed, 0.001f);
    w.Update(0.01f);
    EXPECT_EQ(w.IslandStamp(), 4u);
    EXPECT_FLOAT_EQ(w.TimeStep(), 0.01f);
    EXPECT_FLOAT_EQ(w.InvTimeStep(), 100.0f);
}

TEST(World, ALoneBodyAtRestSleepsAndAnImpulseWakesIt) {
    RecordedScene scene;
    phRigidBody* body = scene.Body(1, phVector(0.0f, 0.0f, 0.0f));
    body->SetVelocity(phVector(0.01f, 0.0f, 0.0f));
    scene.Run(10 * kStep);
    // It slept after its first step: one transform, then nothing.
    EXPECT_EQ(scene.record.transforms[1], 1);
    EXPECT_EQ(body->activeNode, nullptr);
    EXPECT_FALSE(body->IsActive());
    EXPECT_EQ(scene.record.activations, std::vector<std::string>({"1 off"}));
    scene.world->AddImpulse(body, phVector(1.0f, 0.0f, 0.0f), body->Position());
    EXPECT_TRUE(body->IsActive());
    scene.Run(3 * kStep);
    EXPECT_EQ(scene.record.transforms[1], 4);
    EXPECT_EQ(scene.record.activations, std::vector<std::string>({"1 off", "1 on"}));
}

TEST(World, FreezeThresholdsGrowWithTheIslandUpToFive) {
    struct Case {
        const char* name;
        int bodies;
        float speed;
        bool autoFreeze;
        bool sleeps;
    };
    const Case cases[] = {
        {"alone below", 1, 0.030f, true, true},
        {"alone above", 1, 0.033f, true, false},
        {"alone, spinning", 1, 0.0f, true, true},
        {"five, above one body's limit", 5, 0.04f, true, true},
        {"five, above five times it", 5, 0.071f, true, false},
        {"eight, capped at five", 8, 0.071f, true, false},
        {"five, one without auto-freeze", 5, 0.0f, false, false},
    };
    for (const Case& c : cases) {
        RecordedScene scene;
        std::vector<phRigidBody*> bodies;
        for (int i = 0; i < c.bodies; ++i) {
            phRigidBody* body = scene.Body(i + 1, phVector(float(i), 0.0f, 0.0f));
            body->SetVelocity(phVector(0.0f, 0.0f, c.speed));
            if (i > 0) {
                scene.Joint(i, body, bodies.back());
            }
            bodies.push_back(body);
        }
        bodies.back()->SetAutoFreeze(c.autoFreeze);
        scene.world->Update(kStep);
        EXPECT_EQ(bodies[0]->IsActive(), !c.sleeps) << c.name;
        EXPECT_EQ(scene.world->ActiveCount(), c.sleeps ? 0u : (c.autoFreeze ? 1u : 2u)) << c.name;
    }
}

// The squared accelerations may reach six times what the speeds may: a lone
// body (factor 1) whose squared acceleration lies between one and six times
// its threshold of 0.01 still sleeps; beyond six times it stays awake.
TEST(World, FreezeAccelerationsMayReachSixTimesTheSpeedFactor) {
    struct Case {
        const char* name;
        float linear;
        float angular;
        bool sleeps;
    };
    const Case cases[] = {
        {"linear 4 times", 0.2f, 0.0f, true},      {"linear 5.8 times", 0.24f, 0.0f, true},
        {"linear 6.8 times", 0.26f, 0.0f, false},  {"angular 4 times", 0.0f, 0.2f, true},
        {"angular 6.8 times", 0.0f, 0.26f, false},
    };
    for (const Case& c : cases) {
        RecordedScene scene;
        phRigidBody* body = scene.Body(1, phVector(0.0f, 0.0f, 0.0f));
        const phVector inertia = body->MassMatrix();
        const phVector force(c.linear * inertia.w, 0.0f, 0.0f, 0.0f);
        const phVector torque(0.0f, c.angular * inertia.y, 0.0f, 0.0f);
        scene.record.onForce[1] = [body, force, torque]() {
            body->AddForce(force);
            body->AddTorque(torque);
        };
        scene.world->Update(kStep);
        EXPECT_EQ(body->IsActive(), !c.sleeps) << c.name;
    }
}

TEST(World, StaticBodiesLeaveTheActiveSetWithoutMoving) {
    RecordedScene scene;
    phRigidBody* ground = scene.Body(1, phVector(0.0f, 0.0f, 0.0f), 0.0f);
    EXPECT_NE(ground->activeNode, nullptr);
    scene.world->Update(kStep);
    EXPECT_EQ(ground->activeNode, nullptr);
    EXPECT_EQ(scene.record.transforms[1], 0);
    EXPECT_EQ(scene.world->VisitedCount(), 1);
    scene.world->UnfreezeBody(ground);
    scene.world->Update(kStep);
    EXPECT_EQ(ground->activeNode, nullptr);
    EXPECT_EQ(scene.record.transforms[1], 0);
    EXPECT_EQ(scene.record.activations, std::vector<std::string>({"1 off", "1 on", "1 off"}));
}

TEST(World, FreezeAndUnfreeze) {
    RecordedScene scene;
    phRigidBody* body = scene.Body(1, phVector(0.0f, 0.0f, 0.0f), 1.0f, true);
    scene.world->FreezeBody(body);
    scene.world->FreezeBody(body);
    scene.Run(3 * kStep);
    EXPECT_EQ(scene.record.transforms[1], 0);
    scene.world->UnfreezeBody(body);
    scene.world->UnfreezeBody(body);
    scene.Run(3 * kStep);
    EXPECT_EQ(scene.record.transforms[1], 3);
    EXPECT_EQ(scene.record.activations, std::vector<std::string>({"1 off", "1 on"}));
}

TEST(World, DestroyingAJointWakesItsSleepingBodies) {
    RecordedScene scene;
    phRigidBody* a = scene.Body(1, phVector(0.0f, 0.0f, 0.0f));
    phRigidBody* b = scene.Body(2, phVector(1.0f, 0.0f, 0.0f));
    phTwoBodyJoint* joint = scene.Joint(1, b, a);
    scene.world->Update(kStep);
    EXPECT_EQ(scene.world->ActiveCount(), 0u);
    scene.world->DestroyJoint(joint);
    EXPECT_EQ(scene.world->ActiveCount(), 2u);
    EXPECT_EQ(scene.record.jointsDestroyed[1], 1);
    EXPECT_EQ(scene.world->ConstraintCount(), 0);
}

TEST(World, LeavingTheWorldCallsItsCallbackOnce) {
    RecordedScene scene;
    scene.world->SetLeaveWorldCallback(OnLeaveWorld);
    phRigidBody* body = scene.Body(1, phVector(95.0f, 0.0f, 0.0f));
    body->SetVelocity(phVector(60.0f, 0.0f, 0.0f));
    scene.Run(60 * kStep);
    EXPECT_EQ(scene.record.leftWorld, std::vector<int>({1}));
    EXPECT_EQ(body->Flags() & (kBodyActive | kBodyAutoFreeze), 0u);
    EXPECT_EQ(body->activeNode, nullptr);
    // Without the callback nothing tests the box: the body keeps moving.
    RecordedScene free;
    phRigidBody* runaway = free.Body(1, phVector(95.0f, 0.0f, 0.0f));
    runaway->SetVelocity(phVector(60.0f, 0.0f, 0.0f));
    free.Run(60 * kStep);
    EXPECT_GT(runaway->Position().x, 150.0f);
}

TEST(World, CallbacksRunInCreationOrderWhateverTheAddresses) {
    RecordedScene scene;
    std::vector<phRigidBody*> bodies;
    for (int i = 1; i <= 6; ++i) {
        bodies.push_back(scene.Body(i, phVector(float(i), 0.0f, 0.0f), 1.0f, true));
    }
    // Freed slots are reused, so the later bodies sit at lower addresses.
    for (int i = 0; i < 5; ++i) {
        scene.world->DestroyBody(bodies[i]);
    }
    for (int i = 7; i <= 11; ++i) {
        scene.Body(i, phVector(float(i), 0.0f, 0.0f), 1.0f, true);
    }
    scene.world->Update(kStep);
    EXPECT_EQ(scene.record.forceOrder, std::vector<int>({6, 7, 8, 9, 10, 11}));
}

TEST(World, DestroyingInsideAnUpdateWaitsForItsEnd) {
    RecordedScene scene;
    phRigidBody* a = scene.Body(1, phVector(0.0f, 0.0f, 0.0f), 1.0f, true);
    scene.Body(2, phVector(5.0f, 0.0f, 0.0f), 1.0f, true);
    scene.record.onForce[1] = [&] {
        scene.world->DestroyBody(a);
        scene.world->DestroyBody(a);
        EXPECT_EQ(scene.record.destroyed[1], 0);
    };
    scene.world->Update(kStep);
    // Its transform callback still ran in that step; then it went, once.
    EXPECT_EQ(scene.record.transforms[1], 1);
    EXPECT_EQ(scene.record.destroyed[1], 1);
    EXPECT_EQ(scene.world->BodyCount(), 1u);
}

TEST(World, EveryObjectIsDestroyedOnceWhateverItsCallbacksDo) {
    struct Case {
        const char* name;
        bool inUpdate;
        // Sets up the destruction: bodies 1 to 3 (1-2 and 2-3 joined by
        // joints 1 and 2) and what their callbacks do.
        std::function<void(RecordedScene&, phRigidBody**, phTwoBodyJoint**)> start;
        // The callbacks stay for the world's own destruction.
        bool byWorld = false;
    };
    const Case cases[] = {
        {"a body's destructor destroys a queued body", true,
         [](RecordedScene& s, phRigidBody** b, phTwoBodyJoint**) {
             s.record.onDestroy[1] = [&s, b] { s.world->DestroyBody(b[2]); };
             s.record.onForce[1] = [&s, b] {
                 s.world->DestroyBody(b[0]);
                 s.world->DestroyBody(b[2]);
             };
         }},
        {"a joint's destructor destroys its own body", true,
         [](RecordedScene& s, phRigidBody** b, phTwoBodyJoint** j) {
             s.record.onJointDestroy[1] = [&s, b] { s.world->DestroyBody(b[1]); };
             s.record.onForce[1] = [&s, j] { s.world->DestroyJoint(j[0]); };
         }},
        {"a joint's destructor destroys its own body, directly", false,
         [](RecordedScene& s, phRigidBody** b, phTwoBodyJoint** j) {
             s.record.onJointDestroy[1] = [&s, b] {
                 s.world->DestroyBody(b[1]);
                 s.world->DestroyBody(b[0]);
             };
             s.world->DestroyJoint(j[0]);
         }},
        {"a body dies with its joints while they are queued", true,
         [](RecordedScene& s, phRigidBody** b, phTwoBodyJoint** j) {
             s.record.onJointDestroy[1] = [&s, b, j] {
                 s.world->DestroyJoint(j[1]);
                 s.world->DestroyBody(b[1]);
             };
             s.record.onForce[2] = [&s, b, j] {
                 s.world->DestroyBody(b[1]);
                 s.world->DestroyJoint(j[1]);
                 s.world->DestroyJoint(j[0]);
             };
         }},
        {"a body's destructor destroys the other bodies, directly", false,
         [](RecordedScene& s, phRigidBody** b, phTwoBodyJoint**) {
             s.record.onDestroy[2] = [&s, b] {
                 s.world->DestroyBody(b[0]);
                 s.world->DestroyBody(b[2]);
                 s.world->DestroyBody(b[1]);
             };
             s.world->DestroyBody(b[1]);
         }},
        {"destructors run by the world's destruction destroy other objects", false,
         [](RecordedScene& s, phRigidBody** b, phTwoBodyJoint** j) {
             s.record.onDestroy[1] = [&s, b, j] {
                 s.world->DestroyBody(b[2]);
                 s.world->DestroyJoint(j[1]);
             };
             s.record.onJointDestroy[1] = [&s, b] { s.world->DestroyBody(b[1]); };
         },
         true},
    };
    for (const Case& c : cases) {
        ScopedCountingAllocator allocator;
        {
            RecordedScene scene;
            phRigidBody* bodies[3];
            for (int i = 0; i < 3; ++i) {
                bodies[i] = scene.Body(i + 1, phVector(float(i), 0.0f, 0.0f), 1.0f, true);
            }
            phTwoBodyJoint* joints[2] = {scene.Joint(1, bodies[1], bodies[0]),
                                         scene.Joint(2, bodies[2], bodies[1])};
            c.start(scene, bodies, joints);
            if (c.inUpdate) {
                scene.world->Update(kStep);
            }
            if (!c.byWorld) {
                scene.record.onDestroy.clear();
                scene.record.onJointDestroy.clear();
                scene.record.onForce.clear();
                scene.Run(2 * kStep);
            }
            phPhysicsWorld::Destroy(scene.world);
            scene.world = nullptr;
            for (int i = 1; i <= 3; ++i) {
                EXPECT_EQ(scene.record.destroyed[i], 1) << c.name << " body " << i;
            }
            for (int i = 1; i <= 2; ++i) {
                EXPECT_EQ(scene.record.jointsDestroyed[i], 1) << c.name << " joint " << i;
            }
        }
        phReleaseMemoryCaches();
        EXPECT_TRUE(CountingAllocator::Blocks().empty()) << c.name;
    }
}

TEST(World, DestroyingFromTheBodyWalkOrARayFilterIsDeferred) {
    RecordedScene scene;
    for (int i = 1; i <= 4; ++i) {
        scene.Body(i, phVector(float(i) * 2.0f, 0.0f, 0.0f));
    }
    static phPhysicsWorld* world;
    static int visited;
    world = scene.world;
    visited = 0;
    scene.world->ForEachBody([](PhysBody* body) {
        ++visited;
        world->DestroyBody(phRigidBody::FromHandle(body));
        // A body made during the walk is not visited.
        phCollision* shape = new TestSphere(0.25f);
        world->CreateBody(shape)->SetUserData(reinterpret_cast<void*>(intptr_t(100)));
        shape->Release();
    });
    EXPECT_EQ(visited, 4);
    EXPECT_EQ(scene.world->BodyCount(), 4u);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(scene.record.destroyed[i], 1);
    }
    for (int i = 1; i <= 3; ++i) {
        scene.Body(10 + i, phVector(float(i) * 2.0f, 5.0f, 0.0f));
    }
    visited = 0;
    scene.world->RayCast(
        phVector(-10.0f, 5.0f, 0.0f), phVector(10.0f, 5.0f, 0.0f),
        [](PhysBody* body, const float*, int, void*, float) {
            ++visited;
            world->DestroyBody(phRigidBody::FromHandle(body));
            return 1.0f;
        },
        nullptr);
    EXPECT_EQ(visited, 3);
    EXPECT_EQ(scene.world->BodyCount(), 4u);
    EXPECT_EQ(scene.record.destroyed[12], 1);
}

TEST(World, AJointMadeInACallbackDoesNotReopenASolvedIsland) {
    RecordedScene scene;
    phRigidBody* first = scene.Body(1, phVector(0.0f, 0.0f, 0.0f), 1.0f, true);
    phRigidBody* second = scene.Body(2, phVector(3.0f, 0.0f, 0.0f), 1.0f, true);
    scene.record.onForce[2] = [&] { scene.Joint(1, second, first); };
    scene.world->Update(kStep);
    EXPECT_EQ(scene.record.transforms[1], 1);
    EXPECT_EQ(scene.record.transforms[2], 1);
    EXPECT_EQ(scene.world->VisitedCount(), 2);
    scene.record.onForce.clear();
    scene.world->Update(kStep);
    EXPECT_EQ(scene.record.transforms[1], 2);
    EXPECT_EQ(scene.world->VisitedCount(), 2);
}

TEST(World, CallbacksMayFreezeUnfreezeAndCreateDuringTheIslandPass) {
    RecordedScene scene;
    std::vector<phRigidBody*> bodies;
    for (int i = 1; i <= 4; ++i) {
        bodies.push_back(scene.Body(i, phVector(float(i) * 3.0f, 0.0f, 0.0f), 1.0f, true));
    }
    scene.record.onForce[1] = [&] {
        scene.world->FreezeBody(bodies[1]);
        scene.world->FreezeBody(bodies[0]);
        scene.world->UnfreezeBody(bodies[1]);
        scene.Body(5, phVector(20.0f, 0.0f, 0.0f), 1.0f, true);
    };
    scene.world->Update(kStep);
    EXPECT_EQ(scene.record.forceOrder, std::vector<int>({1, 2, 3, 4, 5}));
    scene.record.onForce.clear();
    scene.world->Update(kStep);
    EXPECT_EQ(scene.record.transforms[1], 1);
    EXPECT_EQ(scene.record.transforms[5], 2);
}

TEST(World, DestroyingTheLastWorldGivesEveryBlockBack) {
    ScopedCountingAllocator allocator;
    ASSERT_TRUE(allocator.Installed());
    phPhysicsWorld* first = phPhysicsWorld::Create();
    phPhysicsWorld* second = phPhysicsWorld::Create();
    for (phPhysicsWorld* world : {first, second}) {
        phCollision* shape = new TestSphere(0.5f);
        phRigidBody* a = world->CreateBody(shape);
        phRigidBody* b = world->CreateBody(shape);
        shape->Release();
        a->SetMass(1.0f, 1.0f, 1.0f, 1.0f);
        b->SetMass(1.0f, 1.0f, 1.0f, 1.0f);
        world->CreateHingeJoint(phVector(0.0f, 0.0f, 0.0f), phVector(0.0f, 0.0f, 1.0f), a, b);
        world->Update(kStep);
    }
    EXPECT_EQ(phPhysicsWorld::LiveCount(), 2);
    phPhysicsWorld::Destroy(first);
    phPhysicsWorld::Destroy(second);
    EXPECT_EQ(phPhysicsWorld::LiveCount(), 0);
    phReleaseMemoryCaches();
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
}
