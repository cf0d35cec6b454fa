// A slider: the child's pivot is held on the parent's pin line, at the
// point across from it, and so are points 16 units along the pin and along
// the first cross axis; the child only slides along the pin, without turning.
#ifndef PHYSICS_SDK_DYNAMICS_SLIDER_JOINT_H
#define PHYSICS_SDK_DYNAMICS_SLIDER_JOINT_H

#include "dynamics/joints.h"
#include "dynamics/two_body_joint.h"

class phPool;

class phSliderJoint : public phTwoBodyJoint {
public:
    // The joint goes back to this pool when it is released.
    explicit phSliderJoint(phPool* pool) : m_pool(pool) {}

    int Init() override;
    // Runs the destructor callback and gives the object back to its pool.
    void Release() override;
    int BuildRows(phJointRowParams& params) override;

private:
    phPool* m_pool;
};

#endif
