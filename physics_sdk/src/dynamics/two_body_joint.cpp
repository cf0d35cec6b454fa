#include "dynamics/two_body_joint.h"

#include "dynamics/rigid_body.h"

#include <cmath>

namespace {

bool IsFinite(const phVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

phVector Direction(const phVector& v) { return phVector(v.x, v.y, v.z, 0.0f); }

float Clamp(float value, float lo, float hi) {
    if (!(value >= lo)) {
        return lo;
    }
    return value > hi ? hi : value;
}

}  // namespace

void phTwoBodyJoint::SetDestructorCallback(PhysJointDestructorCallback callback) {
    m_destructorCallback = callback;
}

float phTwoBodyJoint::GetStiffness() const { return (100.0f - m_stiffness) * 0.01010101f; }

void phTwoBodyJoint::SetStiffness(float stiffness) {
    m_stiffness = 100.0f - 99.0f * Clamp(stiffness, 0.0f, 1.0f);
}

int phTwoBodyJoint::Init() {
    phConstraint::Init();
    m_localFrame0 = phMatrix();
    m_localFrame1 = phMatrix();
    SetStiffness(0.9f);
    for (float& force : m_forces) {
        force = 0.0f;
    }
    m_destructorCallback = nullptr;
    return 0;
}

void phTwoBodyJoint::Release() {
    if (m_destructorCallback) {
        m_destructorCallback(Handle());
    }
}

bool phTwoBodyJoint::Attach(phRigidBody* child, phRigidBody* parent, const phVector& pivot,
                            const phVector& pin) {
    if (!child || child == parent || !IsFinite(pivot)) {
        return false;
    }
    phRigidBody* const body0 = m_body0;
    phRigidBody* const body1 = m_body1;
    m_body0 = child;
    m_body1 = parent;
    if (!SetPivotAndPin(pivot, pin)) {
        m_body0 = body0;
        m_body1 = body1;
        return false;
    }
    return true;
}

phMatrix phTwoBodyJoint::FrameFromPin(const phVector& unitPin, const phVector& pivot) {
    const phVector pin = Direction(unitPin);
    phVector third;
    if (std::fabs(pin.z) <= 0.577f) {
        third = phVector(0.0f, 0.0f, 1.0f, 0.0f) - pin * pin.z;
    } else {
        third = phVector(1.0f, 0.0f, 0.0f, 0.0f) - pin * pin.x;
    }
    third = phNormalize(third);
    const phVector second = phCross(third, pin);
    return phMatrix(pin, second, third, phVector(pivot.x, pivot.y, pivot.z, 1.0f));
}

bool phTwoBodyJoint::SetPivotAndPin(const phVector& pivot, const phVector& pin) {
    // Normalised in double so that tiny and huge pins keep their direction.
    const double x = pin.x, y = pin.y, z = pin.z;
    const double length2 = x * x + y * y + z * z;
    if (!(length2 > 0.0) || !std::isfinite(length2)) {
        return false;
    }
    const double inv = 1.0 / std::sqrt(length2);
    const phVector unitPin(float(x * inv), float(y * inv), float(z * inv), 0.0f);
    const phMatrix frame = FrameFromPin(unitPin, pivot);
    m_localFrame0 = frame * m_body0->Matrix().Inverse();
    m_localFrame1 = m_body1 ? frame * m_body1->Matrix().Inverse() : frame;
    return true;
}

void phTwoBodyJoint::CalculateGlobalMatrix(phMatrix& frame0, phMatrix& frame1) const {
    frame0 = m_localFrame0 * m_body0->Matrix();
    frame1 = m_body1 ? m_localFrame1 * m_body1->Matrix() : m_localFrame1;
}

void phTwoBodyJoint::ComputePointParams(phPointParam& out, float scale, const phVector& point0,
                                        const phVector& point1) const {
    const phVector zero(0.0f, 0.0f, 0.0f, 0.0f);
    const phVector w0 = m_body0->AngularVelocity();
    out.point0 = point0;
    out.point1 = point1;
    out.r0 = Direction(point0 - m_body0->Position());
    out.velocity0 = Direction(m_body0->Velocity() + phCross(w0, out.r0));
    out.centripetal0 = Direction(phCross(w0, phCross(w0, out.r0)));
    if (m_body1) {
        const phVector w1 = m_body1->AngularVelocity();
        out.r1 = Direction(point1 - m_body1->Position());
        out.velocity1 = Direction(m_body1->Velocity() + phCross(w1, out.r1));
        out.centripetal1 = Direction(phCross(w1, phCross(w1, out.r1)));
    } else {
        out.r1 = zero;
        out.velocity1 = zero;
        out.centripetal1 = zero;
    }
    out.scale = scale;
}

void phTwoBodyJoint::ComputeJointPointParams(phPointParam& out, const phVector& point0,
                                             const phVector& point1) const {
    ComputePointParams(out, 1.0f, point0, point1);
    out.centripetal0 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    out.centripetal1 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
}

void phTwoBodyJoint::AddLinearRow(int row, phJointRowParams& params, const phVector& direction,
                                  const phPointParam& points) const {
    const phVector zero(0.0f, 0.0f, 0.0f, 0.0f);
    const phVector d = Direction(direction);
    phJacobian& jacobian = params.jacobians[row];
    jacobian.linear0 = d;
    jacobian.angular0 = Direction(phCross(points.r0, d));
    if (m_body1) {
        jacobian.linear1 = -d;
        jacobian.angular1 = -Direction(phCross(points.r1, d));
    } else {
        jacobian.linear1 = zero;
        jacobian.angular1 = zero;
    }
}

void phTwoBodyJoint::AddPointRow(int row, phJointRowParams& params, const phVector& direction,
                                 const phPointParam& points, float* force) const {
    AddLinearRow(row, params, direction, points);
    const float centripetal =
        Clamp(phDot(points.centripetal1 - points.centripetal0, direction), -10000.0f, 10000.0f);
    params.rhs[row] = 100.0f * phDot(points.velocity1 - points.velocity0, direction) +
                      1200.0f * phDot(points.point1 - points.point0, direction) + centripetal;
    params.stiffness[row] = 1.0f;
    params.bounds[row].force = force;
}

void phTwoBodyJoint::AddAngularRow(int row, phJointRowParams& params, const phVector& axis,
                                   float stiffness, float angleError, float* force) const {
    const phVector zero(0.0f, 0.0f, 0.0f, 0.0f);
    const phVector a = Direction(axis);
    phJacobian& jacobian = params.jacobians[row];
    jacobian.linear0 = zero;
    jacobian.angular0 = a;
    const phVector w0 = m_body0->AngularVelocity();
    phVector w1 = zero;
    if (m_body1) {
        jacobian.linear1 = zero;
        jacobian.angular1 = -a;
        w1 = m_body1->AngularVelocity();
    } else {
        jacobian.linear1 = zero;
        jacobian.angular1 = zero;
    }
    params.rhs[row] = 100.0f * phDot(w1 - w0, a) + 1000.0f * angleError;
    params.stiffness[row] = stiffness;
    params.bounds[row].force = force;
}
