// A hinge: the pivots are held together by three point rows, and two more
// rows hold a second pair of points, 16 units along the pin, in the plane
// across it; the child only turns about the pin.
#ifndef PHYSICS_SDK_DYNAMICS_HINGE_JOINT_H
#define PHYSICS_SDK_DYNAMICS_HINGE_JOINT_H

#include "dynamics/joints.h"
#include "dynamics/two_body_joint.h"

class phPool;

class phHingeJoint : public phTwoBodyJoint {
public:
    // The joint goes back to this pool when it is released.
    explicit phHingeJoint(phPool* pool) : m_pool(pool) {}

    int Init() override;
    // Runs the destructor callback and gives the object back to its pool.
    void Release() override;
    int BuildRows(phJointRowParams& params) override;

private:
    phPool* m_pool;
};

#endif
