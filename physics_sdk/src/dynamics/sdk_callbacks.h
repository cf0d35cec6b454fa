// The caller's callbacks that the dynamics code stores and calls, with the
// handles of the public interface. Each handle is the internal object seen
// from outside (a PhysBody* is a phRigidBody*, a PhysMaterial* a phMaterial
// record, a PhysJoint* a phTwoBodyJoint).
#ifndef PHYSICS_SDK_DYNAMICS_SDK_CALLBACKS_H
#define PHYSICS_SDK_DYNAMICS_SDK_CALLBACKS_H

#include "physics_sdk/phys.h"

#endif
