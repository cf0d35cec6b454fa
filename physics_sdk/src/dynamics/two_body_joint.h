// The base of the caller's joints: a joint frame kept on each of its two
// bodies (on the world when there is no second body), a stiffness, the row
// forces the solver keeps from step to step, and the helpers from which each
// joint builds its rows.
//
// Every row is a spring-damper target on the acceleration: a point row asks
// for the relative acceleration of two points along a direction that closes
// 1200 times their separation and 100 times their relative speed, plus the
// difference of their centripetal accelerations; an angular row asks for 1000
// times the angle error plus 100 times the relative angular speed. The
// solver's regularisation, scaled by a row's stiffness value, softens it:
// point rows use 1, angular rows the joint's stored stiffness, from 1 (the
// stiffest) to 100 (the softest).
#ifndef PHYSICS_SDK_DYNAMICS_TWO_BODY_JOINT_H
#define PHYSICS_SDK_DYNAMICS_TWO_BODY_JOINT_H

#include "core/matrix.h"
#include "core/vector.h"
#include "dynamics/constraint.h"

// The motion of one pair of points, one meant to lie on each body.
struct phPointParam {
    phVector r0;
    phVector r1;
    phVector point0;
    phVector point1;
    phVector velocity0;
    phVector velocity1;
    phVector centripetal0;
    phVector centripetal1;
    float scale = 0.0f;
};

class phTwoBodyJoint : public phConstraint {
public:
    static const int kForceSlots = 6;

    void SetDestructorCallback(PhysJointDestructorCallback callback) override;
    // (100 - stored) / 99.
    float GetStiffness() const override;
    // s clamped into [0, 1] (NaN as 0), stored as 100 - 99 s.
    void SetStiffness(float stiffness) override;
    // Identity frames, stiffness 0.9, no forces, no destructor callback.
    int Init() override;
    // Calls the destructor callback.
    void Release() override;
    bool IsBilateral() const override { return true; }

    PhysJoint* Handle() { return reinterpret_cast<PhysJoint*>(this); }

    // Links the joint to its bodies and sets its frame. Refuses (returning
    // false and linking nothing) a missing child, a child that is its own
    // parent, a zero-length or non-finite pin and a non-finite pivot: any of
    // them would spread NaN through the child's whole island.
    bool Attach(phRigidBody* child, phRigidBody* parent, const phVector& pivot,
                const phVector& pin);

    // The world frame with the pin as its first row, two perpendicular unit
    // directions and the pivot as origin, stored in each body's space. False,
    // changing nothing, for a pin that cannot be normalised.
    bool SetPivotAndPin(const phVector& pivot, const phVector& pin);
    // The frames in world space: each local frame times its body's matrix (the
    // second stays a fixed world frame without a second body).
    void CalculateGlobalMatrix(phMatrix& frame0, phMatrix& frame1) const;
    const phMatrix& LocalFrame0() const { return m_localFrame0; }
    const phMatrix& LocalFrame1() const { return m_localFrame1; }
    float StoredStiffness() const { return m_stiffness; }
    float* ForceSlot(int index) { return &m_forces[index]; }

    void ComputePointParams(phPointParam& out, float scale, const phVector& point0,
                            const phVector& point1) const;
    // The point frame from which the joints build their own point rows: that
    // of ComputePointParams without the centripetal accelerations. A step
    // turns a link by a large angle, and an acceleration fed forward across
    // the velocity adds speed in an explicit step (|v + a dt| > |v|), which
    // nothing takes out again: a chain whose tip whips round gains energy
    // until it tears. Left out, the inward pull comes from the spring and
    // damper terms a step later, and the rows only take energy out.
    void ComputeJointPointParams(phPointParam& out, const phVector& point0,
                                 const phVector& point1) const;
    // Only the Jacobian of the row: (d, r0 x d) for the first body and
    // (-d, -(r1 x d)) for the second.
    void AddLinearRow(int row, phJointRowParams& params, const phVector& direction,
                      const phPointParam& points) const;
    void AddPointRow(int row, phJointRowParams& params, const phVector& direction,
                     const phPointParam& points, float* force) const;
    void AddAngularRow(int row, phJointRowParams& params, const phVector& axis, float stiffness,
                       float angleError, float* force) const;

    // The frame of a unit pin: the pin, a second direction and the third (the
    // part of world z perpendicular to the pin unless the pin is close to z).
    static phMatrix FrameFromPin(const phVector& unitPin, const phVector& pivot);

private:
    phMatrix m_localFrame0;
    phMatrix m_localFrame1;
    float m_stiffness = 10.9f;
    float m_forces[kForceSlots] = {};
    PhysJointDestructorCallback m_destructorCallback = nullptr;
};

#endif
