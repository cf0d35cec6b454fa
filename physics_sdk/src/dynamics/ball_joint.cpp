#include "dynamics/ball_joint.h"

#include "core/pool.h"

int phBallJoint::Init() {
    phTwoBodyJoint::Init();
    m_kind = kJointBall;
    m_maxRowCount = 6;
    return 0;
}

void phBallJoint::Release() {
    phPool* pool = m_pool;
    phTwoBodyJoint::Release();
    this->~phBallJoint();
    pool->Free(this);
}

int phBallJoint::BuildRows(phJointRowParams& params) {
    phMatrix frame0;
    phMatrix frame1;
    CalculateGlobalMatrix(frame0, frame1);
    phPointParam pivot;
    ComputeJointPointParams(pivot, frame0[3], frame1[3]);
    for (int i = 0; i < 3; ++i) {
        AddPointRow(i, params, frame0[i], pivot, ForceSlot(i));
    }
    return 3;
}
