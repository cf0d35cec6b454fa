// An up-vector joint: two angular rows pull the body's pin back to a fixed
// world direction; the body turns freely about the pin.
#ifndef PHYSICS_SDK_DYNAMICS_UP_VECTOR_JOINT_H
#define PHYSICS_SDK_DYNAMICS_UP_VECTOR_JOINT_H

#include "dynamics/two_body_joint.h"

class phPool;

class phUpVectorJoint : public phTwoBodyJoint {
public:
    // The joint goes back to this pool when it is released.
    explicit phUpVectorJoint(phPool* pool) : m_pool(pool) {}

    int Init() override;
    // Runs the destructor callback and gives the object back to its pool.
    void Release() override;
    bool IsBilateral() const override { return false; }
    int BuildRows(phJointRowParams& params) override;

private:
    phPool* m_pool;
};

#endif
