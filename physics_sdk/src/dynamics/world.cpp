#include "dynamics/world.h"

#include "collision/collision.h"
#include "collision/contact_calculation_solver.h"
#include "core/memory.h"
#include "dynamics/ball_joint.h"
#include "dynamics/body_ray_filter.h"
#include "dynamics/constraint.h"
#include "dynamics/hinge_joint.h"
#include "dynamics/island_solver.h"
#include "dynamics/slider_joint.h"
#include "dynamics/up_vector_joint.h"
#include "dynamics/world_body_graph.h"
#include "platform/cpu.h"
#include "platform/fpu_precision.h"

#include <new>

namespace {

const size_t kPoolPage = 256;
int g_liveWorlds = 0;

void ActivationCallback(phRigidBody* body, unsigned state) {
    if (body->activationCallback != nullptr) {
        body->activationCallback(body->Handle(), state);
    }
}

}  // namespace

phPhysicsWorld* phPhysicsWorld::Create() {
    void* memory = phMalloc(sizeof(phPhysicsWorld));
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    phPhysicsWorld* world = new (memory) phPhysicsWorld();
    ++g_liveWorlds;
    return world;
}

void phPhysicsWorld::Destroy(phPhysicsWorld* world) {
    world->~phPhysicsWorld();
    phFree(world);
    if (--g_liveWorlds == 0) {
        phIslandSolver::Shared().ReleaseMemory();
    }
}

int phPhysicsWorld::LiveCount() { return g_liveWorlds; }

phPhysicsWorld::phPhysicsWorld()
    : m_bodyPool(sizeof(phRigidBody), kPoolPage),
      m_linkPool(sizeof(phConstraintLink), kPoolPage),
      m_ballPool(sizeof(phBallJoint), kPoolPage),
      m_hingePool(sizeof(phHingeJoint), kPoolPage),
      m_sliderPool(sizeof(phSliderJoint), kPoolPage),
      m_upVectorPool(sizeof(phUpVectorJoint), kPoolPage) {
    // The contact search's process-wide tables are laid once, by the first
    // world.
    InitContactSolverTables();
    m_simdSolver = phProcessorClass() == kProcessorClassSse;
    SetWorldSize(phVector(-100.0f, -100.0f, -100.0f), phVector(100.0f, 100.0f, 100.0f));
}

phPhysicsWorld::~phPhysicsWorld() {
    ++m_busyDepth;
    while (m_bodies.GetCount() > 0) {
        DestroyBodyNow(m_bodies.First()->info);
        DrainDestroyQueues();
    }
    --m_busyDepth;
    m_materials.RemoveAll();
}

void phPhysicsWorld::SetWorldSize(const phVector& min, const phVector& max) {
    m_broadphase.SetWorldSize(phVector(min.x, min.y, min.z, 1.0f),
                              phVector(max.x, max.y, max.z, 1.0f));
}

void phPhysicsWorld::Update(float step) {
    ++m_busyDepth;
    m_inUpdate = true;
    try {
        Step(step);
    } catch (...) {
        // A failing allocator ends the step where it was; the world must not
        // stay busy, or it could never be updated or destroyed again.
        m_inUpdate = false;
        --m_busyDepth;
        throw;
    }
    m_inUpdate = false;
    EndBusy();
}

void phPhysicsWorld::Step(float step) {
    m_visited = 0;
    phFpuPrecisionGuard precision(kFpuPrecision24);
    m_timeStep = step;
    m_invTimeStep = 1.0f / step;
    m_broadphase.UpdatePairs(*this);
    phIslandSolver& solver = phIslandSolver::Shared();
    solver.SetModes(m_passMode, m_equalityMode);
    solver.SetVariant(m_simdSolver);
    solver.SolveIslands(*this);
    while (phContactJoint* contact = m_contacts.PopQueued()) {
        DestroyConstraintNow(contact);
    }
    m_islandStamp += 2;
}

void phPhysicsWorld::EndBusy() {
    if (--m_busyDepth == 0) {
        ++m_busyDepth;
        DrainDestroyQueues();
        --m_busyDepth;
    }
}

void phPhysicsWorld::DrainDestroyQueues() {
    for (;;) {
        if (m_jointQueue.GetCount() > 0) {
            phTree<uint32_t, phConstraint*>::Node* node = m_jointQueue.First();
            phConstraint* joint = node->info;
            m_jointQueue.Erase(node);
            DestroyConstraintNow(joint);
        } else if (m_bodyQueue.GetCount() > 0) {
            phTree<uint32_t, phRigidBody*>::Node* node = m_bodyQueue.First();
            phRigidBody* body = node->info;
            m_bodyQueue.Erase(node);
            DestroyBodyNow(body);
        } else {
            return;
        }
    }
}

phRigidBody* phPhysicsWorld::CreateBody(phCollision* shape) {
    void* memory = m_bodyPool.Allocate();
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    phRigidBody* body = new (memory) phRigidBody();
    const uint32_t id = m_nextBodyId++;
    body->Init(this, &m_broadphase, shape, id, 0, m_freeze);
    m_bodies.Insert(id, body);
    body->activeNode = m_active.Insert(id, body);
    return body;
}

void phPhysicsWorld::DestroyBody(phRigidBody* body) {
    if ((body->Flags() & kBodyDestroying) != 0) {
        return;
    }
    if (Busy()) {
        m_bodyQueue.Insert(body->Id(), body);
        return;
    }
    ++m_busyDepth;
    DestroyBodyNow(body);
    EndBusy();
}

void phPhysicsWorld::DestroyBodyNow(phRigidBody* body) {
    if (phTree<uint32_t, phRigidBody*>::Node* queued = m_bodyQueue.Find(body->Id())) {
        m_bodyQueue.Erase(queued);
    }
    body->SetFlags(body->Flags() | kBodyDestroying);
    if (body->destructorCallback != nullptr) {
        body->destructorCallback(body->Handle());
    }
    while (body->constraintLinks != nullptr) {
        DestroyConstraintNow(body->constraintLinks->constraint);
    }
    // The shape goes back through the cache: one more reference for the
    // body's own release, handed back there.
    phCollision* shape = body->Shape();
    shape->AddRef();
    body->Shutdown();
    m_shapes.ReleaseCollision(shape);
    if (body->activeNode != nullptr) {
        if (body->IsActive()) {
            ActivationCallback(body, 0);
        }
        RemoveFromActiveSet(body);
    }
    m_bodies.Erase(m_bodies.Find(body->Id()));
    body->~phRigidBody();
    m_bodyPool.Free(body);
}

void phPhysicsWorld::DestroyJoint(phConstraint* joint) {
    // A joint without a link is being destroyed already.
    if (joint->link == nullptr) {
        return;
    }
    if (Busy()) {
        m_jointQueue.Insert(joint->serial, joint);
        return;
    }
    ++m_busyDepth;
    DestroyConstraintNow(joint);
    EndBusy();
}

void phPhysicsWorld::DestroyConstraintNow(phConstraint* constraint) {
    if (phTree<uint32_t, phConstraint*>::Node* queued = m_jointQueue.Find(constraint->serial)) {
        m_jointQueue.Erase(queued);
    }
    --m_constraintCount;
    phRigidBody* bodies[2] = {constraint->Body0(), constraint->Body1()};
    for (phRigidBody* body : bodies) {
        if (body != nullptr && (body->Flags() & kBodyAutoFreeze) != 0 &&
            body->activeNode == nullptr) {
            UnfreezeBody(body);
        }
    }
    phUnlinkConstraint(m_linkPool, constraint);
    constraint->Release();
}

void phPhysicsWorld::FreezeBody(phRigidBody* body) {
    if (body->activeNode != nullptr) {
        RemoveFromActiveSet(body);
    }
    if (body->IsActive()) {
        ActivationCallback(body, 0);
    }
    body->SetFlags(body->Flags() & ~kBodyActive);
}

void phPhysicsWorld::UnfreezeBody(phRigidBody* body) {
    if (body->activeNode == nullptr) {
        body->activeNode = m_active.Insert(body->Id(), body);
    }
    if (!body->IsActive()) {
        ActivationCallback(body, 1);
    }
    body->SetFlags(body->Flags() | kBodyActive);
}

void phPhysicsWorld::RemoveFromActiveSet(phRigidBody* body) {
    m_active.Erase(static_cast<phTree<uint32_t, phRigidBody*>::Node*>(body->activeNode));
    body->activeNode = nullptr;
}

phRigidBody* phPhysicsWorld::FirstActive() const {
    phTree<uint32_t, phRigidBody*>::Node* node = m_active.First();
    return node != nullptr ? node->info : nullptr;
}

phRigidBody* phPhysicsWorld::NextActiveAfter(uint32_t id) const {
    phTree<uint32_t, phRigidBody*>::Node* node = m_active.GetRoot();
    phRigidBody* next = nullptr;
    while (node != nullptr) {
        if (id < node->key) {
            next = node->info;
            node = node->left;
        } else {
            node = node->right;
        }
    }
    return next;
}

void phPhysicsWorld::AddImpulse(phRigidBody* body, const phVector& deltaVelocity,
                                const phVector& point) {
    if (body->AddImpulse(deltaVelocity, point)) {
        UnfreezeBody(body);
    }
}

void phPhysicsWorld::ForEachBody(PhysBodyIterator iterator) {
    if (m_bodies.GetCount() == 0) {
        return;
    }
    ++m_busyDepth;
    // Destruction is deferred, so no node goes away under the walk; bodies
    // created by the iterator come after the last id and are left out.
    phTree<uint32_t, phRigidBody*>::Node* last = m_bodies.First();
    for (phTree<uint32_t, phRigidBody*>::Node* node = last; node != nullptr;
         node = phTree<uint32_t, phRigidBody*>::Next(node)) {
        last = node;
    }
    const uint32_t lastId = last->key;
    for (phTree<uint32_t, phRigidBody*>::Node* node = m_bodies.First();
         node != nullptr && node->key <= lastId;
         node = phTree<uint32_t, phRigidBody*>::Next(node)) {
        iterator(node->info->Handle());
    }
    EndBusy();
}

void phPhysicsWorld::RayCast(const phVector& p0, const phVector& p1, PhysRayFilterCallback filter,
                             void* userData) {
    if (filter == nullptr) {
        return;
    }
    ++m_busyDepth;
    phBodyRayFilter handler(filter, userData);
    m_broadphase.RayCastGrid(phVector(p0.x, p0.y, p0.z, 1.0f), phVector(p1.x, p1.y, p1.z, 1.0f),
                             handler);
    EndBusy();
}

template <class Joint>
Joint* phPhysicsWorld::NewJoint(phPool& pool) {
    void* memory = pool.Allocate();
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    Joint* joint = new (memory) Joint(&pool);
    joint->Init();
    return joint;
}

phTwoBodyJoint* phPhysicsWorld::LinkJoint(phTwoBodyJoint* joint) {
    joint->serial = m_nextConstraintSerial++;
    phLinkConstraint(m_linkPool, joint, joint->Body0(), joint->Body1());
    ++m_constraintCount;
    return joint;
}

phTwoBodyJoint* phPhysicsWorld::CreateBallJoint(const phVector& pivot, phRigidBody* child,
                                                phRigidBody* parent) {
    if (child == nullptr) {
        return nullptr;
    }
    phVector pin = pivot - child->Position();
    if (phDot(pin, pin) < 0.001f) {
        pin = child->Matrix()[0];
    }
    phBallJoint* joint = NewJoint<phBallJoint>(m_ballPool);
    if (!joint->Attach(child, parent, pivot, pin)) {
        joint->~phBallJoint();
        m_ballPool.Free(joint);
        return nullptr;
    }
    return LinkJoint(joint);
}

phTwoBodyJoint* phPhysicsWorld::CreateHingeJoint(const phVector& pivot, const phVector& pin,
                                                 phRigidBody* child, phRigidBody* parent) {
    phHingeJoint* joint = NewJoint<phHingeJoint>(m_hingePool);
    if (!joint->Attach(child, parent, pivot, pin)) {
        joint->~phHingeJoint();
        m_hingePool.Free(joint);
        return nullptr;
    }
    return LinkJoint(joint);
}

phTwoBodyJoint* phPhysicsWorld::CreateSliderJoint(const phVector& pivot, const phVector& pin,
                                                  phRigidBody* child, phRigidBody* parent) {
    phSliderJoint* joint = NewJoint<phSliderJoint>(m_sliderPool);
    if (!joint->Attach(child, parent, pivot, pin)) {
        joint->~phSliderJoint();
        m_sliderPool.Free(joint);
        return nullptr;
    }
    return LinkJoint(joint);
}

phTwoBodyJoint* phPhysicsWorld::CreateUpVectorJoint(const phVector& pin, phRigidBody* body) {
    if (body == nullptr) {
        return nullptr;
    }
    phUpVectorJoint* joint = NewJoint<phUpVectorJoint>(m_upVectorPool);
    joint->SetStiffness(0.995f);
    if (!joint->Attach(body, nullptr, body->Position(), pin)) {
        joint->~phUpVectorJoint();
        m_upVectorPool.Free(joint);
        return nullptr;
    }
    return LinkJoint(joint);
}

void phPhysicsWorld::SetBodyShape(phRigidBody* body, phCollision* shape) {
    phCollision* old = body->Shape();
    old->AddRef();
    body->SetShape(shape);
    m_shapes.ReleaseCollision(old);
}

void phPhysicsWorld::OnPair(phBroadPhaseBody* body0, phBroadPhaseBody* body1) {
    phCollidePair(*this, static_cast<phRigidBody*>(body0), static_cast<phRigidBody*>(body1));
}

phMaterial* phPhysicsWorld::FindMaterialPair(int group0, int group1) {
    return m_materials.Find(group0, group1);
}

bool phPhysicsWorld::JointsLetCollide(phRigidBody* body0, phRigidBody* body1) {
    // The caller's joints have their switch for collisions between their
    // bodies off: bodies joined directly never collide.
    phRigidBody* ringBody = body0->IsStatic() ? body1 : body0;
    phRigidBody* other = ringBody == body0 ? body1 : body0;
    phConstraintLink* ring = ringBody->constraintLinks;
    if (ring == nullptr) {
        return true;
    }
    phConstraintLink* link = ring;
    do {
        const phConstraint* constraint = link->constraint;
        if (constraint->Kind() != kJointContact && link->twin != nullptr &&
            link->twin->body == other) {
            return false;
        }
        link = link->next;
    } while (link != ring);
    return true;
}

phContactJoint* phPhysicsWorld::FindContact(phRigidBody* body0, phRigidBody* body1) {
    phRigidBody* ringBody = body0->IsStatic() ? body1 : body0;
    phRigidBody* other = ringBody == body0 ? body1 : body0;
    phConstraintLink* ring = ringBody->constraintLinks;
    if (ring == nullptr) {
        return nullptr;
    }
    phConstraintLink* link = ring;
    do {
        phConstraint* constraint = link->constraint;
        if (constraint->Kind() == kJointContact && link->twin != nullptr &&
            link->twin->body == other) {
            return static_cast<phContactJoint*>(constraint);
        }
        link = link->next;
    } while (link != ring);
    return nullptr;
}

phContactJoint* phPhysicsWorld::CreateContact(phRigidBody* body0, phRigidBody* body1) {
    phContactJoint* contact = m_contacts.Create(body0, body1);
    contact->serial = m_nextConstraintSerial++;
    phLinkConstraint(m_linkPool, contact, body0, body1);
    ++m_constraintCount;
    return contact;
}
