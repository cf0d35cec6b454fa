#include "dynamics/slider_joint.h"

#include "core/pool.h"

int phSliderJoint::Init() {
    phTwoBodyJoint::Init();
    m_kind = kJointSlider;
    m_maxRowCount = 6;
    return 0;
}

void phSliderJoint::Release() {
    phPool* pool = m_pool;
    phTwoBodyJoint::Release();
    this->~phSliderJoint();
    pool->Free(this);
}

int phSliderJoint::BuildRows(phJointRowParams& params) {
    phMatrix frame0;
    phMatrix frame1;
    CalculateGlobalMatrix(frame0, frame1);
    const float slide = phDot(frame0[3] - frame1[3], frame0[0]);
    const phVector onLine = frame1[3] + frame1[0] * slide;
    phPointParam pivot;
    ComputeJointPointParams(pivot, frame0[3], onLine);
    phPointParam along;
    ComputeJointPointParams(along, frame0[3] + frame0[0] * kJointArm,
                            onLine + frame1[0] * kJointArm);
    phPointParam across;
    ComputeJointPointParams(across, frame0[3] + frame0[1] * kJointArm,
                            onLine + frame1[1] * kJointArm);
    AddPointRow(0, params, frame0[1], pivot, ForceSlot(0));
    AddPointRow(1, params, frame0[2], pivot, ForceSlot(1));
    AddPointRow(2, params, frame0[1], along, ForceSlot(2));
    AddPointRow(3, params, frame0[2], along, ForceSlot(3));
    AddPointRow(4, params, frame0[2], across, ForceSlot(4));
    return 5;
}
