// The root of every constraint the island solver sees: contact joints derive
// from it directly, the caller's joints through the two-body joint.
#ifndef PHYSICS_SDK_DYNAMICS_CONSTRAINT_H
#define PHYSICS_SDK_DYNAMICS_CONSTRAINT_H

#include "dynamics/joint_rows.h"
#include "dynamics/sdk_callbacks.h"

#include <cstdint>

class phRigidBody;

enum phJointKind : uint16_t {
    kJointBall = 0,
    kJointHinge = 1,
    kJointSlider = 2,
    kJointContact = 3,
    kJointUpVector = 4,
    // Left by Init; every creator sets the real kind.
    kJointUnset = 9,
};

class phConstraint {
public:
    phConstraint() = default;
    phConstraint(const phConstraint&) = delete;
    phConstraint& operator=(const phConstraint&) = delete;

    virtual void SetDestructorCallback(PhysJointDestructorCallback callback) = 0;
    virtual float GetStiffness() const { return 1.0f; }
    virtual void SetStiffness(float) {}
    // Clears the common fields; returns 0.
    virtual int Init();
    virtual ~phConstraint() = default;
    // Hands the object back to its world.
    virtual void Release() = 0;
    virtual bool IsBilateral() const { return false; }
    // Writes the constraint's rows into the block; returns the row count.
    virtual int BuildRows(phJointRowParams& params) = 0;

    phRigidBody* Body0() const { return m_body0; }
    // Null for a joint with the world.
    phRigidBody* Body1() const { return m_body1; }
    void* UserData() const { return m_userData; }
    void SetUserData(void* userData) { m_userData = userData; }
    uint16_t Kind() const { return m_kind; }
    uint16_t MaxRowCount() const { return m_maxRowCount; }

    // The joint's link into the body graph, and the island mark the solver
    // compares with its mark base (0 when the joint is linked).
    void* link = nullptr;
    uint32_t islandMark = 0;
    // The world's creation number of the constraint: sets of constraints are
    // ordered by it, so that callbacks and sums run in the same order on
    // every run whatever the addresses.
    uint32_t serial = 0;

protected:
    phRigidBody* m_body0 = nullptr;
    phRigidBody* m_body1 = nullptr;
    void* m_userData = nullptr;
    uint16_t m_maxRowCount = 6;
    uint16_t m_kind = kJointUnset;
};

#endif
