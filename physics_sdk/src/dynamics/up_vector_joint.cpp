#include "dynamics/up_vector_joint.h"

#include "core/pool.h"

#include <cmath>

int phUpVectorJoint::Init() {
    phTwoBodyJoint::Init();
    m_kind = kJointUpVector;
    m_maxRowCount = 2;
    return 0;
}

void phUpVectorJoint::Release() {
    phPool* pool = m_pool;
    phTwoBodyJoint::Release();
    this->~phUpVectorJoint();
    pool->Free(this);
}

int phUpVectorJoint::BuildRows(phJointRowParams& params) {
    phMatrix frame0;
    phMatrix frame1;
    CalculateGlobalMatrix(frame0, frame1);
    const phVector pin = frame0[0];
    const phVector up = frame1[0];
    phVector axis = phCross(pin, up);
    const float length2 = phDot(axis, axis);
    const float stiffness = StoredStiffness();
    if (length2 <= 1e-6f) {
        AddAngularRow(0, params, frame0[1], stiffness, 0.0f, ForceSlot(0));
        AddAngularRow(1, params, frame0[2], stiffness, 0.0f, ForceSlot(1));
        return 2;
    }
    const float length = std::sqrt(length2);
    axis = axis * (1.0f / length);
    AddAngularRow(0, params, axis, stiffness, std::asin(std::fmin(length, 1.0f)), ForceSlot(0));
    AddAngularRow(1, params, phCross(axis, up), stiffness, 0.0f, ForceSlot(1));
    return 2;
}
