// The rows through which every constraint hands its equations to the island
// solver: one Jacobian, bound record, right-hand side and stiffness value per
// row, written straight into the solver's parameter block.
#ifndef PHYSICS_SDK_DYNAMICS_JOINT_ROWS_H
#define PHYSICS_SDK_DYNAMICS_JOINT_ROWS_H

#include "core/vector.h"

#include <cstdint>

class phPhysicsWorld;

inline constexpr int kMaxJointRows = 48;

// Row kinds held in a bound record.
inline constexpr int32_t kRowUnbounded = -1;
inline constexpr int32_t kRowOneSided = -2;
inline constexpr int32_t kRowFixedBounds = -3;

// One row's Jacobian: linear and angular parts for the first body, then for
// the second; the fourth components are 0.
struct phJacobian {
    phVector linear0 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    phVector angular0 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    phVector linear1 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    phVector angular1 = phVector(0.0f, 0.0f, 0.0f, 0.0f);
};

// A row's bounds; the defaults are those of an unbounded (equality) row. A
// kind of 0 or more marks a friction row and names its normal row. `force`
// is where the joint keeps the row's force from step to step.
struct phRowBound {
    float lower = -1e15f;
    float upper = 1e15f;
    int32_t kind = kRowUnbounded;
    float* force = nullptr;
};

struct phJointRowParams {
    phPhysicsWorld* world = nullptr;
    float dt = 0.0f;
    float invDt = 0.0f;
    phJacobian jacobians[kMaxJointRows];
    phRowBound bounds[kMaxJointRows];
    float rhs[kMaxJointRows] = {};
    float stiffness[kMaxJointRows] = {};
};

#endif
