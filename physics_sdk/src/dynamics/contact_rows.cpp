#include "dynamics/contact_rows.h"

#include "dynamics/contact_joint.h"
#include "dynamics/rigid_body.h"

#include <algorithm>
#include <cmath>

namespace {

phVector Direction(const phVector& v) { return phVector(v.x, v.y, v.z, 0.0f); }

// The contact's point on each body, relative to the body's origin, and each
// body's velocity there; a missing body stands still at the point.
struct PointFrame {
    phVector r0;
    phVector r1;
    phVector relativeVelocity;
    bool hasBody1;
};

PointFrame MakeFrame(const phRigidBody* body0, const phRigidBody* body1, const phVector& point) {
    PointFrame frame;
    frame.r0 = Direction(point - body0->Position());
    const phVector v0 = Direction(body0->Velocity() + phCross(body0->AngularVelocity(), frame.r0));
    phVector v1(0.0f, 0.0f, 0.0f, 0.0f);
    frame.hasBody1 = body1 != nullptr;
    if (frame.hasBody1) {
        frame.r1 = Direction(point - body1->Position());
        v1 = Direction(body1->Velocity() + phCross(body1->AngularVelocity(), frame.r1));
    } else {
        frame.r1 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }
    frame.relativeVelocity = v1 - v0;
    return frame;
}

void AddLinearRow(int row, phJointRowParams& params, const phVector& direction,
                  const PointFrame& frame) {
    const phVector zero(0.0f, 0.0f, 0.0f, 0.0f);
    const phVector d = Direction(direction);
    phJacobian& jacobian = params.jacobians[row];
    jacobian.linear0 = d;
    jacobian.angular0 = Direction(phCross(frame.r0, d));
    jacobian.linear1 = frame.hasBody1 ? -d : zero;
    jacobian.angular1 = frame.hasBody1 ? -Direction(phCross(frame.r1, d)) : zero;
}

void AddFrictionRow(int row, int normalRow, phJointRowParams& params, const phVector& tangent,
                    const PointFrame& frame, float staticFriction, float kineticFriction,
                    float* force) {
    AddLinearRow(row, params, tangent, frame);
    const float vt = phDot(frame.relativeVelocity, tangent);
    params.rhs[row] = vt * params.invDt;
    const float coefficient =
        std::fabs(vt) <= kContactStaticSpeed ? staticFriction : kineticFriction;
    params.bounds[row].lower = -coefficient;
    params.bounds[row].upper = coefficient;
    params.bounds[row].kind = normalRow;
    params.bounds[row].force = force;
    params.stiffness[row] = 1.0f;
}

}  // namespace

int phContactJoint::BuildRows(phJointRowParams& params) {
    const int used = m_usedCount;
    if (used == 0) {
        m_frictionRowCount = 0;
        return 0;
    }
    int rowCounter = used;
    phContactPointNode* node = m_first;
    for (int k = 0; k < used && node != nullptr; ++k, node = node->next) {
        AddPointRows(params, node->material, k, rowCounter);
    }
    m_frictionRowCount = rowCounter - used;
    return rowCounter;
}

void phContactJoint::AddPointRows(phJointRowParams& params, phMaterial& point, int normalRow,
                                  int& rowCounter) const {
    const PointFrame frame = MakeFrame(m_body0, m_body1, point.point);
    const phVector normal = Direction(point.normal);
    AddLinearRow(normalRow, params, normal, frame);
    float vn = phDot(frame.relativeVelocity, normal);
    if (vn > kContactApproachSpeed) {
        vn *= point.elasticity + 1.0f;
    }
    const float correction = std::min(point.contactData[0], kContactMaxCorrection);
    params.rhs[normalRow] = (10.0f * point.softness * correction + vn) * params.invDt;
    params.bounds[normalRow].lower = 0.0f;
    params.bounds[normalRow].kind = kRowOneSided;
    params.bounds[normalRow].force = &point.contactForces[0];
    params.stiffness[normalRow] = 1.0f;

    if (point.flags & kMaterialFriction0) {
        AddFrictionRow(rowCounter++, normalRow, params, point.tangent0, frame,
                       point.staticFriction[0], point.kineticFriction[0], &point.contactForces[1]);
    }
    if (point.flags & kMaterialFriction1) {
        AddFrictionRow(rowCounter++, normalRow, params, point.tangent1, frame,
                       point.staticFriction[1], point.kineticFriction[1], &point.contactForces[2]);
    }
}
