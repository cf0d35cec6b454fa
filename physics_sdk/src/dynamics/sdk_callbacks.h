// The caller's callbacks that the dynamics code stores and calls. The handles
// are the opaque types of the public interface: each is the internal object
// seen from outside (a PhysBody* is a phRigidBody*, a PhysMaterial* a
// phMaterial record, a PhysJoint* a phTwoBodyJoint).
#ifndef PHYSICS_SDK_DYNAMICS_SDK_CALLBACKS_H
#define PHYSICS_SDK_DYNAMICS_SDK_CALLBACKS_H

extern "C" {

typedef struct PhysBody PhysBody;
typedef struct PhysJoint PhysJoint;
typedef struct PhysMaterial PhysMaterial;
typedef struct PhysContact PhysContact;

typedef void (*PhysBodyForceAndTorqueCallback)(PhysBody* body);
typedef void (*PhysBodyTransformCallback)(PhysBody* body, const float matrix[16]);
typedef void (*PhysBodyDestructorCallback)(PhysBody* body);
typedef void (*PhysBodyActivationCallback)(PhysBody* body, unsigned state);
typedef float (*PhysRayFilterCallback)(PhysBody* body, const float normal[4], int collisionId,
                                       void* userData, float intersectParam);
typedef int (*PhysContactBeginCallback)(PhysMaterial* material, PhysBody* body0, PhysBody* body1);
typedef int (*PhysContactProcessCallback)(PhysMaterial* material, PhysContact* contact);
typedef void (*PhysContactEndCallback)(PhysMaterial* material);
typedef void (*PhysJointDestructorCallback)(PhysJoint* joint);
}

#endif
