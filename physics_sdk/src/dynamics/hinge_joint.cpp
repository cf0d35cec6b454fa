#include "dynamics/hinge_joint.h"

#include "core/pool.h"

int phHingeJoint::Init() {
    phTwoBodyJoint::Init();
    m_kind = kJointHinge;
    m_maxRowCount = 6;
    return 0;
}

void phHingeJoint::Release() {
    phPool* pool = m_pool;
    phTwoBodyJoint::Release();
    this->~phHingeJoint();
    pool->Free(this);
}

int phHingeJoint::BuildRows(phJointRowParams& params) {
    phMatrix frame0;
    phMatrix frame1;
    CalculateGlobalMatrix(frame0, frame1);
    phPointParam pivot;
    ComputeJointPointParams(pivot, frame0[3], frame1[3]);
    phPointParam axis;
    ComputeJointPointParams(axis, frame0[3] + frame0[0] * kJointArm,
                            frame1[3] + frame1[0] * kJointArm);
    for (int i = 0; i < 3; ++i) {
        AddPointRow(i, params, frame0[i], pivot, ForceSlot(i));
    }
    AddPointRow(3, params, frame0[1], axis, ForceSlot(3));
    AddPointRow(4, params, frame0[2], axis, ForceSlot(4));
    return 5;
}
