// The world: every body, joint and material pair of one simulation, the
// broadphase grid, the pools, and the settings of the step. One update is one
// step followed by the destruction of what callbacks asked to destroy during
// it, joints before bodies.
//
// Sets of bodies and joints are ordered by creation (each body's id, each
// constraint's serial), never by address, so that callbacks and the sums of
// the solver run in the same order on every run.
//
// Destruction is deferred while the world is busy: during an update, a body
// walk, a ray cast, or another destruction (whose callbacks may ask for more).
// Deferred requests go into sets, so an object asked for twice is destroyed
// once; when the outermost busy scope ends the sets are drained, joints first,
// until both are empty.
#ifndef PHYSICS_SDK_DYNAMICS_WORLD_H
#define PHYSICS_SDK_DYNAMICS_WORLD_H

#include "collision/broadphase.h"
#include "collision/collision_cache.h"
#include "collision/narrow_phase.h"
#include "core/pool.h"
#include "core/tree.h"
#include "core/vector.h"
#include "dynamics/contact_joint_list.h"
#include "dynamics/material.h"
#include "dynamics/rigid_body.h"
#include "dynamics/sdk_callbacks.h"

#include <cstdint>

class phCollision;
class phConstraint;
class phTwoBodyJoint;

// Set on a body while it is being destroyed: further requests are ignored.
inline constexpr uint32_t kBodyDestroying = 1u << 3;

// The process-wide default step: 1/60 s.
inline constexpr float kDefaultTimeStep = 1.0f / 60.0f;

class phPhysicsWorld : public phNarrowPhaseHost, private phBroadPhasePairHandler {
public:
    // Worlds live in blocks of the memory callbacks.
    static phPhysicsWorld* Create();
    // Destroys every body (and with them every joint) and frees the world.
    static void Destroy(phPhysicsWorld* world);
    // Number of worlds alive in the process.
    static int LiveCount();

    phPhysicsWorld(const phPhysicsWorld&) = delete;
    phPhysicsWorld& operator=(const phPhysicsWorld&) = delete;

    // One step of the given length, then the deferred destruction.
    void Update(float step);
    // True while an update, a body walk, a ray cast or a destruction runs:
    // the caller's callbacks are on the stack.
    bool Busy() const { return m_busyDepth > 0; }

    // A new dynamic-capable body (static until it gets a mass) around the
    // shape, awake and in the active set.
    phRigidBody* CreateBody(phCollision* shape);
    void DestroyBody(phRigidBody* body);
    void FreezeBody(phRigidBody* body);
    void UnfreezeBody(phRigidBody* body);
    // Applies an impulse through the body and wakes it.
    void AddImpulse(phRigidBody* body, const phVector& deltaVelocity, const phVector& point);
    // Calls the iterator for every body in creation order; bodies created
    // during the walk are not visited.
    void ForEachBody(PhysBodyIterator iterator);
    void RayCast(const phVector& p0, const phVector& p1, PhysRayFilterCallback filter,
                 void* userData);

    // Joint creators; null when the joint is refused (missing child, child as
    // its own parent, degenerate pin or pivot).
    phTwoBodyJoint* CreateBallJoint(const phVector& pivot, phRigidBody* child, phRigidBody* parent);
    phTwoBodyJoint* CreateHingeJoint(const phVector& pivot, const phVector& pin, phRigidBody* child,
                                     phRigidBody* parent);
    phTwoBodyJoint* CreateSliderJoint(const phVector& pivot, const phVector& pin,
                                      phRigidBody* child, phRigidBody* parent);
    phTwoBodyJoint* CreateUpVectorJoint(const phVector& pin, phRigidBody* body);
    void DestroyJoint(phConstraint* joint);

    phBroadPhase& BroadPhase() { return m_broadphase; }
    phMaterialPairs& Materials() { return m_materials; }
    phCollisionCache& Shapes() { return m_shapes; }
    // Gives one reference to a shape back through the shape cache, so that a
    // cached shape whose last user went leaves the cache.
    void ReleaseShape(phCollision* shape) { m_shapes.ReleaseCollision(shape); }
    // Gives a body a new shape; the old one goes back through the cache.
    void SetBodyShape(phRigidBody* body, phCollision* shape);
    void SetWorldSize(const phVector& min, const phVector& max);

    void SetSolverPasses(int mode) { m_passMode = mode < 1 ? 0 : mode; }
    int SolverPasses() const { return m_passMode; }
    void SetEqualityRowMode(int mode) { m_equalityMode = mode; }
    int EqualityRowMode() const { return m_equalityMode; }
    void SetLeaveWorldCallback(PhysBodyLeaveWorldCallback callback) { m_leaveWorld = callback; }
    PhysBodyLeaveWorldCallback LeaveWorldCallback() const { return m_leaveWorld; }
    float TimeStep() const { return m_timeStep; }
    float InvTimeStep() const { return m_invTimeStep; }
    const phFreezeThresholds& FreezeThresholds() const { return m_freeze; }

    // The island mark base: 2 at creation, 2 more after every step.
    uint32_t IslandStamp() const { return m_islandStamp; }
    size_t BodyCount() const { return m_bodies.GetCount(); }
    size_t ActiveCount() const { return m_active.GetCount(); }
    int ConstraintCount() const { return m_constraintCount; }
    int VisitedCount() const { return m_visited; }

    // The island solver's view of the active set: the first body, and the
    // first body after a given id (found by key, so that the set may change
    // under the walk).
    phRigidBody* FirstActive() const;
    phRigidBody* NextActiveAfter(uint32_t id) const;
    // Takes the body out of the active set without any callback.
    void RemoveFromActiveSet(phRigidBody* body);
    void AddVisited(int count) { m_visited += count; }
    // A contact the collision pass of this step did not refresh: it takes no
    // part in the solve and is destroyed at the end of the step.
    void QueueStaleContact(phContactJoint* contact) { m_contacts.Remove(contact); }

    // The narrow phase's questions.
    phMaterial* FindMaterialPair(int group0, int group1) override;
    float StepLength() const override { return m_timeStep; }
    uint32_t RefreshStamp() const override { return m_islandStamp; }
    bool JointsLetCollide(phRigidBody* body0, phRigidBody* body1) override;
    phContactJoint* FindContact(phRigidBody* body0, phRigidBody* body1) override;
    phContactJoint* CreateContact(phRigidBody* body0, phRigidBody* body1) override;

private:
    phPhysicsWorld();
    ~phPhysicsWorld();

    template <class Joint>
    Joint* NewJoint(phPool& pool);
    phTwoBodyJoint* LinkJoint(phTwoBodyJoint* joint);

    void Step(float step);
    // Each overlapping pair of the broadphase goes to the narrow phase.
    void OnPair(phBroadPhaseBody* body0, phBroadPhaseBody* body1) override;
    void DestroyBodyNow(phRigidBody* body);
    void DestroyConstraintNow(phConstraint* constraint);
    void DrainDestroyQueues();
    void EndBusy();

    phBroadPhase m_broadphase;
    phTree<uint32_t, phRigidBody*> m_bodies;
    phTree<uint32_t, phRigidBody*> m_active;
    phMaterialPairs m_materials;
    phCollisionCache m_shapes;
    phContactJointList m_contacts;
    phPool m_bodyPool;
    phPool m_linkPool;
    phPool m_ballPool;
    phPool m_hingePool;
    phPool m_sliderPool;
    phPool m_upVectorPool;
    uint32_t m_islandStamp = 2;
    int m_passMode = 0;
    int m_equalityMode = 0;
    // The solver's SSE variant, chosen at creation by processor class.
    bool m_simdSolver = false;
    int m_constraintCount = 0;
    int m_visited = 0;
    uint32_t m_nextBodyId = 1;
    uint32_t m_nextConstraintSerial = 1;
    float m_timeStep = kDefaultTimeStep;
    float m_invTimeStep = 1.0f / kDefaultTimeStep;
    phFreezeThresholds m_freeze;
    PhysBodyLeaveWorldCallback m_leaveWorld = nullptr;
    phTree<uint32_t, phRigidBody*> m_bodyQueue;
    phTree<uint32_t, phConstraint*> m_jointQueue;
    int m_busyDepth = 0;
    bool m_inUpdate = false;
};

#endif
