// A ball-and-socket joint: three point rows hold the child's pivot on the
// parent's (or on the world), and the child turns freely about it.
#ifndef PHYSICS_SDK_DYNAMICS_BALL_JOINT_H
#define PHYSICS_SDK_DYNAMICS_BALL_JOINT_H

#include "dynamics/two_body_joint.h"

class phPool;

class phBallJoint : public phTwoBodyJoint {
public:
    // The joint goes back to this pool when it is released.
    explicit phBallJoint(phPool* pool) : m_pool(pool) {}

    int Init() override;
    // Runs the destructor callback and gives the object back to its pool.
    void Release() override;
    int BuildRows(phJointRowParams& params) override;

private:
    phPool* m_pool;
};

#endif
