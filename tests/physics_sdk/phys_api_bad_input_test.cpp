// Bad input through the interface: each case is an entry point with one bad
// argument, and what must come of it. Nothing may crash, nothing non-finite
// may reach the world, and no exception may leave the interface.
#include "physics_sdk/phys.h"

#include "core/memory.h"
#include "dynamics/material.h"
#include "dynamics/world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

const float kNaN = std::nanf("");
const float kInf = INFINITY;
const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

phPhysicsWorld* Internal(PhysWorld* world) { return reinterpret_cast<phPhysicsWorld*>(world); }

void Weight(PhysBody* body) {
    float mass, ixx, iyy, izz;
    PhysBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    const float force[3] = {0.0f, -9.8f * mass, 0.0f};
    PhysBodySetForce(body, force);
}

// A unit cube of mass 1 over a static slab whose top is y = 0.
struct Scene {
    Scene() : world(PhysWorldCreate(nullptr, nullptr)) {
        box = PhysCreateBox(world, 1.0f, 1.0f, 1.0f, nullptr);
        PhysCollision* slab = PhysCreateBox(world, 20.0f, 1.0f, 20.0f, nullptr);
        ground = PhysBodyCreate(world, slab);
        PhysReleaseCollision(world, slab);
        Place(ground, 0.0f, -0.5f);
        body = PhysBodyCreate(world, box);
        PhysBodySetMassMatrix(body, 1.0f, 1.0f / 6.0f, 1.0f / 6.0f, 1.0f / 6.0f);
        PhysBodySetForceAndTorqueCallback(body, Weight);
        Place(body, 0.0f, 2.0f);
    }
    ~Scene() {
        PhysReleaseCollision(world, box);
        PhysWorldDestroy(world);
    }

    static void Place(PhysBody* body, float x, float y) {
        float matrix[16];
        std::memcpy(matrix, kIdentity, sizeof(matrix));
        matrix[12] = x;
        matrix[13] = y;
        PhysBodySetMatrix(body, matrix);
    }

    void Run(int steps) {
        for (int i = 0; i < steps; ++i) {
            PhysWorldUpdate(world, 1.0f / 60.0f);
        }
    }

    // A static mesh of two triangles, its build opened and, when asked,
    // ended with the given faces.
    PhysCollision* Mesh(int faces, bool end) {
        PhysCollision* mesh = PhysCreateTreeCollision(world, nullptr);
        PhysTreeCollisionBeginBuild(mesh);
        const float triangles[2][9] = {{0, 0, 0, 0, 0, 1, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 1, 0, 1}};
        for (int i = 0; i < faces; ++i) {
            PhysTreeCollisionAddFace(mesh, 3, triangles[i], 3 * sizeof(float), 0);
        }
        if (end) {
            PhysTreeCollisionEndBuild(mesh, 0);
        }
        return mesh;
    }

    PhysWorld* world;
    PhysCollision* box;
    PhysBody* ground;
    PhysBody* body;
};

// Everything an entry point could change: the body's state, the default
// material pair and the world box.
struct Snapshot {
    float matrix[16];
    float velocity[3];
    float omega[3];
    float mass[4];
    float force[3];
    float torque[3];
    float friction[2];
    float elasticity;
    float softness;
    float worldMin[3];
    float worldMax[3];

    explicit Snapshot(const Scene& scene) {
        std::memset(this, 0, sizeof(*this));
        PhysBodyGetMatrix(scene.body, matrix);
        PhysBodyGetVelocity(scene.body, velocity);
        PhysBodyGetAngularVelocity(scene.body, omega);
        PhysBodyGetMassMatrix(scene.body, &mass[0], &mass[1], &mass[2], &mass[3]);
        PhysBodyGetForce(scene.body, force);
        PhysBodyGetTorque(scene.body, torque);
        const phMaterial& pair = *Internal(scene.world)->Materials().Find(0, 0);
        friction[0] = pair.staticFriction[0];
        friction[1] = pair.kineticFriction[0];
        elasticity = pair.elasticity;
        softness = pair.softness;
        const phBroadPhase& grid = Internal(scene.world)->BroadPhase();
        for (int i = 0; i < 3; ++i) {
            worldMin[i] = grid.WorldMin()[i];
            worldMax[i] = grid.WorldMax()[i];
        }
    }

    bool operator==(const Snapshot& other) const {
        return std::memcmp(this, &other, sizeof(*this)) == 0;
    }
};

bool g_finite = true;
void CheckFinite(PhysBody* body) {
    float matrix[16], velocity[3], omega[3];
    PhysBodyGetMatrix(body, matrix);
    PhysBodyGetVelocity(body, velocity);
    PhysBodyGetAngularVelocity(body, omega);
    for (float v : matrix) {
        g_finite = g_finite && std::isfinite(v);
    }
    for (int i = 0; i < 3; ++i) {
        g_finite = g_finite && std::isfinite(velocity[i]) && std::isfinite(omega[i]);
    }
}

bool WorldIsFinite(PhysWorld* world) {
    g_finite = true;
    PhysWorldForEachBodyDo(world, CheckFinite);
    return g_finite;
}

}  // namespace

TEST(PhysBadInput, NonFiniteNumbersAreRefusedAndChangeNothing) {
    struct Case {
        const char* call;
        void (*apply)(Scene&);
    };
    const Case cases[] = {
        {"SetMassMatrix NaN mass", [](Scene& s) { PhysBodySetMassMatrix(s.body, kNaN, 1, 1, 1); }},
        {"SetMassMatrix inf inertia",
         [](Scene& s) { PhysBodySetMassMatrix(s.body, 1, kInf, 1, 1); }},
        {"SetMatrix NaN position",
         [](Scene& s) {
             float m[16];
             std::memcpy(m, kIdentity, sizeof(m));
             m[13] = kNaN;
             PhysBodySetMatrix(s.body, m);
         }},
        {"SetMatrix inf rotation",
         [](Scene& s) {
             float m[16];
             std::memcpy(m, kIdentity, sizeof(m));
             m[5] = kInf;
             PhysBodySetMatrix(s.body, m);
         }},
        {"SetVelocity NaN",
         [](Scene& s) {
             const float v[3] = {0, kNaN, 0};
             PhysBodySetVelocity(s.body, v);
         }},
        {"SetAngularVelocity inf",
         [](Scene& s) {
             const float w[3] = {kInf, 0, 0};
             PhysBodySetAngularVelocity(s.body, w);
         }},
        {"SetForce NaN",
         [](Scene& s) {
             const float f[3] = {kNaN, 0, 0};
             PhysBodySetForce(s.body, f);
         }},
        {"AddForce inf",
         [](Scene& s) {
             const float f[3] = {0, 0, -kInf};
             PhysBodyAddForce(s.body, f);
         }},
        {"SetTorque NaN",
         [](Scene& s) {
             const float t[3] = {0, kNaN, 0};
             PhysBodySetTorque(s.body, t);
         }},
        {"AddImpulse NaN velocity",
         [](Scene& s) {
             const float dv[3] = {kNaN, 0, 0};
             const float p[3] = {0, 2, 0};
             PhysBodyAddImpulse(s.body, dv, p);
         }},
        {"AddImpulse inf point",
         [](Scene& s) {
             const float dv[3] = {1, 0, 0};
             const float p[3] = {0, kInf, 0};
             PhysBodyAddImpulse(s.body, dv, p);
         }},
        {"SetDefaultFriction NaN",
         [](Scene& s) { PhysMaterialSetDefaultFriction(s.world, 0, 0, kNaN, 0.5f); }},
        {"SetDefaultElasticity NaN",
         [](Scene& s) { PhysMaterialSetDefaultElasticity(s.world, 0, 0, kNaN); }},
        {"SetDefaultSoftness inf",
         [](Scene& s) { PhysMaterialSetDefaultSoftness(s.world, 0, 0, kInf); }},
        {"WorldSetSize inf",
         [](Scene& s) {
             const float lo[3] = {-10, -10, -10};
             const float hi[3] = {10, kInf, 10};
             PhysWorldSetSize(s.world, lo, hi);
         }},
        {"WorldSetSize whose cells overflow",
         [](Scene& s) {
             const float lo[3] = {-100, -100, -100};
             const float hi[3] = {100, 3.4e38f, 100};
             PhysWorldSetSize(s.world, lo, hi);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        Scene scene;
        const Snapshot before(scene);
        c.apply(scene);
        EXPECT_TRUE(Snapshot(scene) == before);
        scene.Run(30);
        EXPECT_TRUE(WorldIsFinite(scene.world));
        // A ray across the whole float range walks the grid safely.
        const float p0[3] = {-3e38f, -3e38f, 0};
        const float p1[3] = {3e38f, 3e38f, 0};
        PhysWorldRayCast(
            scene.world, p0, p1, [](PhysBody*, const float*, int, void*, float t) { return t; },
            nullptr);
    }
}

TEST(PhysBadInput, DegenerateShapesBodiesAndJointsAreRefused) {
    struct Case {
        const char* call;
        void* (*create)(Scene&);
    };
    const Case cases[] = {
        {"CreateBox zero size",
         [](Scene& s) -> void* { return PhysCreateBox(s.world, 1, 0, 1, nullptr); }},
        {"CreateBox NaN size",
         [](Scene& s) -> void* { return PhysCreateBox(s.world, kNaN, 1, 1, nullptr); }},
        {"CreateBox 1e18 long",
         [](Scene& s) -> void* { return PhysCreateBox(s.world, 1e18f, 1, 1, nullptr); }},
        {"CreateBox NaN offset",
         [](Scene& s) -> void* {
             float m[16];
             std::memcpy(m, kIdentity, sizeof(m));
             m[12] = kNaN;
             return PhysCreateBox(s.world, 1, 1, 1, m);
         }},
        {"CreateCylinder radius 0",
         [](Scene& s) -> void* { return PhysCreateCylinder(s.world, 0, 1, nullptr); }},
        {"CreateCylinder inf height",
         [](Scene& s) -> void* { return PhysCreateCylinder(s.world, 1, kInf, nullptr); }},
        {"CreateConvexHull three points",
         [](Scene& s) -> void* {
             const float p[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
             return PhysCreateConvexHull(s.world, 3, p, 12, nullptr);
         }},
        {"CreateConvexHull four coplanar points",
         [](Scene& s) -> void* {
             const float p[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
             return PhysCreateConvexHull(s.world, 4, p, 12, nullptr);
         }},
        {"CreateConvexHull NaN point",
         [](Scene& s) -> void* {
             const float p[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, kNaN};
             return PhysCreateConvexHull(s.world, 4, p, 12, nullptr);
         }},
        {"CreateConvexHull null points",
         [](Scene& s) -> void* { return PhysCreateConvexHull(s.world, 4, nullptr, 12, nullptr); }},
        {"CreateCompoundCollision no parts",
         [](Scene& s) -> void* { return PhysCreateCompoundCollision(s.world, 0, nullptr); }},
        {"CreateCompoundCollision only a mesh and a null",
         [](Scene& s) -> void* {
             PhysCollision* mesh = s.Mesh(2, true);
             PhysCollision* parts[2] = {mesh, nullptr};
             void* compound = PhysCreateCompoundCollision(s.world, 2, parts);
             PhysReleaseCollision(s.world, mesh);
             return compound;
         }},
        {"CreateCompoundCollision a box and a mesh",
         [](Scene& s) -> void* {
             PhysCollision* box = PhysCreateBox(s.world, 1, 1, 1, nullptr);
             PhysCollision* mesh = s.Mesh(2, true);
             PhysCollision* parts[2] = {box, mesh};
             void* compound = PhysCreateCompoundCollision(s.world, 2, parts);
             PhysReleaseCollision(s.world, mesh);
             PhysReleaseCollision(s.world, box);
             return compound;
         }},
        {"CreateCompoundCollision a box and a null",
         [](Scene& s) -> void* {
             PhysCollision* box = PhysCreateBox(s.world, 1, 1, 1, nullptr);
             PhysCollision* parts[2] = {box, nullptr};
             void* compound = PhysCreateCompoundCollision(s.world, 2, parts);
             PhysReleaseCollision(s.world, box);
             return compound;
         }},
        {"BodyCreate on a mesh whose build never ended",
         [](Scene& s) -> void* {
             PhysCollision* mesh = s.Mesh(2, false);
             void* body = PhysBodyCreate(s.world, mesh);
             PhysReleaseCollision(s.world, mesh);
             return body;
         }},
        {"BodyCreate on a mesh that holds no face",
         [](Scene& s) -> void* {
             PhysCollision* mesh = s.Mesh(0, true);
             void* body = PhysBodyCreate(s.world, mesh);
             PhysReleaseCollision(s.world, mesh);
             return body;
         }},
        {"JointCreateBall NaN pivot",
         [](Scene& s) -> void* {
             const float pivot[3] = {0, kNaN, 0};
             return PhysJointCreateBall(s.world, pivot, s.body, nullptr);
         }},
        {"JointCreateHinge inf pin",
         [](Scene& s) -> void* {
             const float pivot[3] = {0, 2, 0};
             const float pin[3] = {kInf, 0, 0};
             return PhysJointCreateHinge(s.world, pivot, pin, s.body, nullptr);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        Scene scene;
        EXPECT_EQ(c.create(scene), nullptr);
        scene.Run(10);
        EXPECT_TRUE(WorldIsFinite(scene.world));
    }
}

TEST(PhysBadInput, NullHandlesAreIgnored) {
    // Each call gives a null handle where one is expected; the result is the
    // entry point's failure value (true for those that return nothing).
    struct Case {
        const char* call;
        bool (*apply)(Scene&);
    };
    static const float v[3] = {1, 2, 3};
    const Case cases[] = {
        {"WorldUpdate",
         [](Scene&) {
             PhysWorldUpdate(nullptr, 0.01f);
             return true;
         }},
        {"WorldGetTimeStep", [](Scene&) { return PhysWorldGetTimeStep(nullptr) == 0.0f; }},
        {"WorldSetSize",
         [](Scene&) {
             PhysWorldSetSize(nullptr, v, v);
             return true;
         }},
        {"WorldSetSize null corner",
         [](Scene& s) {
             PhysWorldSetSize(s.world, nullptr, v);
             return true;
         }},
        {"WorldSetSolverPasses",
         [](Scene&) {
             PhysWorldSetSolverPasses(nullptr, 1);
             return true;
         }},
        {"WorldFreezeBody",
         [](Scene& s) {
             PhysWorldFreezeBody(s.world, nullptr);
             return true;
         }},
        {"WorldUnfreezeBody",
         [](Scene&) {
             PhysWorldUnfreezeBody(nullptr, nullptr);
             return true;
         }},
        {"WorldForEachBodyDo",
         [](Scene& s) {
             PhysWorldForEachBodyDo(s.world, nullptr);
             return true;
         }},
        {"WorldRayCast",
         [](Scene&) {
             PhysWorldRayCast(nullptr, v, v, nullptr, nullptr);
             return true;
         }},
        {"MaterialCreateGroupId", [](Scene&) { return PhysMaterialCreateGroupId(nullptr) == -1; }},
        {"MaterialSetDefaultFriction",
         [](Scene&) {
             PhysMaterialSetDefaultFriction(nullptr, 0, 0, 1, 1);
             return true;
         }},
        {"MaterialGetContactPositionAndNormal",
         [](Scene&) {
             float p[3], n[3];
             PhysMaterialGetContactPositionAndNormal(nullptr, p, n);
             return true;
         }},
        {"MaterialSetContactTangentDirection",
         [](Scene&) {
             PhysMaterialSetContactTangentDirection(nullptr, v);
             return true;
         }},
        {"CreateBox", [](Scene&) { return PhysCreateBox(nullptr, 1, 1, 1, nullptr) == nullptr; }},
        {"CreateTreeCollision",
         [](Scene&) { return PhysCreateTreeCollision(nullptr, nullptr) == nullptr; }},
        {"TreeCollisionBeginBuild",
         [](Scene&) {
             PhysTreeCollisionBeginBuild(nullptr);
             return true;
         }},
        {"TreeCollisionAddFace",
         [](Scene&) {
             PhysTreeCollisionAddFace(nullptr, 3, nullptr, 12, 0);
             return true;
         }},
        {"TreeCollisionEndBuild",
         [](Scene&) {
             PhysTreeCollisionEndBuild(nullptr, 1);
             return true;
         }},
        {"ReleaseCollision",
         [](Scene& s) {
             PhysReleaseCollision(s.world, nullptr);
             return true;
         }},
        {"CollisionCalculateAABB",
         [](Scene&) {
             float lo[3], hi[3];
             PhysCollisionCalculateAABB(nullptr, kIdentity, lo, hi);
             return true;
         }},
        {"BodyCreate null world",
         [](Scene& s) { return PhysBodyCreate(nullptr, s.box) == nullptr; }},
        {"BodyCreate null collision",
         [](Scene& s) { return PhysBodyCreate(s.world, nullptr) == nullptr; }},
        {"BodyDestroy",
         [](Scene& s) {
             PhysBodyDestroy(s.world, nullptr);
             return true;
         }},
        {"BodyGetUserData", [](Scene&) { return PhysBodyGetUserData(nullptr) == nullptr; }},
        {"BodyGetWorld", [](Scene&) { return PhysBodyGetWorld(nullptr) == nullptr; }},
        {"BodySetMassMatrix",
         [](Scene&) {
             PhysBodySetMassMatrix(nullptr, 1, 1, 1, 1);
             return true;
         }},
        {"BodyGetMassMatrix",
         [](Scene&) {
             float m, x, y, z;
             PhysBodyGetMassMatrix(nullptr, &m, &x, &y, &z);
             return true;
         }},
        {"BodySetMatrix",
         [](Scene&) {
             PhysBodySetMatrix(nullptr, kIdentity);
             return true;
         }},
        {"BodyGetMatrix",
         [](Scene&) {
             float m[16];
             PhysBodyGetMatrix(nullptr, m);
             return true;
         }},
        {"BodyGetMatrix null out",
         [](Scene& s) {
             PhysBodyGetMatrix(s.body, nullptr);
             return true;
         }},
        {"BodySetVelocity",
         [](Scene&) {
             PhysBodySetVelocity(nullptr, v);
             return true;
         }},
        {"BodySetVelocity null vector",
         [](Scene& s) {
             PhysBodySetVelocity(s.body, nullptr);
             return true;
         }},
        {"BodyAddForce",
         [](Scene&) {
             PhysBodyAddForce(nullptr, v);
             return true;
         }},
        {"BodyGetLinearDamping", [](Scene&) { return PhysBodyGetLinearDamping(nullptr) == 0.0f; }},
        {"BodySetCollision",
         [](Scene& s) {
             PhysBodySetCollision(s.body, nullptr);
             return true;
         }},
        {"BodyAddImpulse",
         [](Scene&) {
             PhysBodyAddImpulse(nullptr, v, v);
             return true;
         }},
        {"BodyForEachPolygonDo",
         [](Scene&) {
             PhysBodyForEachPolygonDo(nullptr, nullptr);
             return true;
         }},
        {"JointCreateBall null world",
         [](Scene& s) { return PhysJointCreateBall(nullptr, v, s.body, nullptr) == nullptr; }},
        {"JointCreateUpVector null pin",
         [](Scene& s) { return PhysJointCreateUpVector(s.world, nullptr, s.body) == nullptr; }},
        {"JointGetStiffness", [](Scene&) { return PhysJointGetStiffness(nullptr) == 0.0f; }},
        {"JointGetUserData", [](Scene&) { return PhysJointGetUserData(nullptr) == nullptr; }},
        {"JointDestroy",
         [](Scene& s) {
             PhysJointDestroy(s.world, nullptr);
             return true;
         }},
        {"WorldDestroy",
         [](Scene&) {
             PhysWorldDestroy(nullptr);
             return true;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        Scene scene;
        const Snapshot before(scene);
        EXPECT_TRUE(c.apply(scene));
        EXPECT_TRUE(Snapshot(scene) == before);
    }
}

TEST(PhysBadInput, SettingTheStateOfASleepingBodyWakesIt) {
    struct Case {
        const char* call;
        void (*apply)(PhysBody*);
        // What the body must have done one second later.
        bool (*moved)(const float matrix[16]);
    };
    const Case cases[] = {
        {"SetVelocity",
         [](PhysBody* b) {
             const float v[3] = {4, 0, 0};
             PhysBodySetVelocity(b, v);
         },
         [](const float m[16]) { return m[12] > 0.5f; }},
        {"SetAngularVelocity",
         [](PhysBody* b) {
             const float w[3] = {0, 3, 0};
             PhysBodySetAngularVelocity(b, w);
         },
         [](const float m[16]) { return std::fabs(m[2]) > 0.1f; }},
        {"SetMatrix in the air", [](PhysBody* b) { Scene::Place(b, 0.0f, 3.0f); },
         [](const float m[16]) { return m[13] < 1.0f; }},
        {"SetMassMatrix", [](PhysBody* b) { PhysBodySetMassMatrix(b, 2, 0.4f, 0.4f, 0.4f); },
         [](const float m[16]) { return std::fabs(m[13] - 0.5f) < 0.05f; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        Scene scene;
        Scene::Place(scene.body, 0.0f, 0.5f);
        scene.Run(120);
        ASSERT_EQ(Internal(scene.world)->ActiveCount(), 0u);
        c.apply(scene.body);
        EXPECT_EQ(Internal(scene.world)->ActiveCount(), 1u);
        scene.Run(60);
        float matrix[16];
        PhysBodyGetMatrix(scene.body, matrix);
        EXPECT_TRUE(c.moved(matrix));
    }
}

namespace {

// Memory callbacks that fail on request, with the blocks they hand out
// counted so that a leak shows.
struct FailingAllocator {
    static bool& Failing() {
        static bool failing = false;
        return failing;
    }
    static std::map<void*, int>& Blocks() {
        static std::map<void*, int> blocks;
        return blocks;
    }
    static void* Alloc(int size) {
        if (Failing()) {
            return nullptr;
        }
        void* ptr = std::malloc(size_t(size));
        Blocks()[ptr] = size;
        return ptr;
    }
    static void Free(void* ptr, int) {
        Blocks().erase(ptr);
        std::free(ptr);
    }
};

}  // namespace

TEST(PhysBadInput, AFailingAllocatorMakesEntryPointsReturnTheirFailureValue) {
    phReleaseMemoryCaches();
    ASSERT_TRUE(phSetMemoryCallbacks(FailingAllocator::Alloc, FailingAllocator::Free));
    FailingAllocator::Failing() = true;
    EXPECT_EQ(PhysWorldCreate(FailingAllocator::Alloc, FailingAllocator::Free), nullptr);
    FailingAllocator::Failing() = false;

    struct Case {
        const char* call;
        bool (*apply)(PhysWorld*, PhysCollision* box);
    };
    const Case cases[] = {
        {"CreateBox", [](PhysWorld* w,
                         PhysCollision*) { return PhysCreateBox(w, 2, 3, 4, nullptr) == nullptr; }},
        {"CreateCylinder",
         [](PhysWorld* w, PhysCollision*) {
             return PhysCreateCylinder(w, 1, 2, nullptr) == nullptr;
         }},
        {"CreateConvexHull",
         [](PhysWorld* w, PhysCollision*) {
             const float p[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};
             return PhysCreateConvexHull(w, 4, p, 12, nullptr) == nullptr;
         }},
        {"CreateTreeCollision",
         [](PhysWorld* w, PhysCollision*) {
             return PhysCreateTreeCollision(w, nullptr) == nullptr;
         }},
        {"BodyCreate",
         [](PhysWorld* w, PhysCollision* box) { return PhysBodyCreate(w, box) == nullptr; }},
        {"MaterialCreateGroupId",
         [](PhysWorld* w, PhysCollision*) { return PhysMaterialCreateGroupId(w) == -1; }},
        {"WorldUpdate",
         [](PhysWorld* w, PhysCollision*) {
             PhysWorldUpdate(w, 1.0f / 60.0f);
             return true;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        PhysWorld* world = PhysWorldCreate(FailingAllocator::Alloc, FailingAllocator::Free);
        ASSERT_NE(world, nullptr);
        PhysCollision* box = PhysCreateBox(world, 1, 1, 1, nullptr);
        // Two boxes touching, so that a step has contacts to make.
        for (int i = 0; i < 2; ++i) {
            PhysBody* body = PhysBodyCreate(world, box);
            PhysBodySetMassMatrix(body, 1, 1, 1, 1);
            float m[16];
            std::memcpy(m, kIdentity, sizeof(m));
            m[13] = 0.95f * float(i);
            PhysBodySetMatrix(body, m);
        }
        FailingAllocator::Failing() = true;
        EXPECT_TRUE(c.apply(world, box));
        FailingAllocator::Failing() = false;
        // The world carries on once memory is there again.
        PhysWorldUpdate(world, 1.0f / 60.0f);
        EXPECT_TRUE(WorldIsFinite(world));
        PhysReleaseCollision(world, box);
        PhysWorldDestroy(world);
        EXPECT_TRUE(FailingAllocator::Blocks().empty());
    }
    phSetMemoryCallbacks(nullptr, nullptr);
}

TEST(PhysBadInput, DestroyingTheWorldDestroysShapesNeverReleased) {
    phReleaseMemoryCaches();
    ASSERT_TRUE(phSetMemoryCallbacks(FailingAllocator::Alloc, FailingAllocator::Free));
    PhysWorld* world = PhysWorldCreate(FailingAllocator::Alloc, FailingAllocator::Free);
    PhysCollision* box = PhysCreateBox(world, 1, 1, 1, nullptr);
    PhysCollision* parts[1] = {box};
    ASSERT_NE(PhysCreateCompoundCollision(world, 1, parts), nullptr);
    PhysCollision* mesh = PhysCreateTreeCollision(world, nullptr);
    PhysTreeCollisionBeginBuild(mesh);
    PhysWorldDestroy(world);
    EXPECT_TRUE(FailingAllocator::Blocks().empty());
    phSetMemoryCallbacks(nullptr, nullptr);
}

TEST(PhysBadInput, TheLargestBoxesMeetWithoutLeavingTheFloatRange) {
    // Two boxes of the largest accepted length at one place, one of them
    // spinning: every distance the contacts compare stays a number.
    PhysWorld* world = PhysWorldCreate(nullptr, nullptr);
    EXPECT_EQ(PhysCreateBox(world, 2e6f, 1, 1, nullptr), nullptr);
    PhysCollision* rod = PhysCreateBox(world, 1e6f, 1, 1, nullptr);
    ASSERT_NE(rod, nullptr);
    PhysBody* still = PhysBodyCreate(world, rod);
    PhysBody* spinning = PhysBodyCreate(world, rod);
    PhysReleaseCollision(world, rod);
    PhysBodySetMassMatrix(spinning, 1, 1, 1, 1);
    const float spin[3] = {0, 5, 0};
    PhysBodySetAngularVelocity(spinning, spin);
    for (int i = 0; i < 10; ++i) {
        PhysWorldUpdate(world, 1.0f / 60.0f);
    }
    EXPECT_TRUE(WorldIsFinite(world));
    EXPECT_NE(still, nullptr);
    PhysWorldDestroy(world);
}
