// Public interface of the physics SDK. Everything the caller may use is
// declared here as plain C: callbacks are function pointers and objects are
// opaque handles. Internals live under physics_sdk/src and are not visible.
//
// Vectors passed in are three floats (x, y, z). Matrices are 16 floats, row
// major: rows 0 to 2 are the axes and row 3 the position; points are row
// vectors multiplied from the left.
//
// Everything runs on the caller's thread. Callbacks may call entry points;
// bodies and joints destroyed from a callback are destroyed when the world
// is done with the call that ran the callback, joints first.
//
// Bad input. Every entry point ignores a null handle or a null vector where
// it needs one, and returns its failure value: null for a handle, -1 for a
// material group, 0 for a number. A non-finite number (NaN or infinity) in a
// mass, inertia, matrix, velocity, force, torque, impulse, pivot, pin, size
// or material value is refused: the call changes nothing. When the memory
// callbacks fail, the entry point that needed memory returns its failure
// value; no exception leaves the interface.
#ifndef PHYSICS_SDK_PHYS_H
#define PHYSICS_SDK_PHYS_H

#include <math.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PhysWorld PhysWorld;
typedef struct PhysBody PhysBody;
typedef struct PhysCollision PhysCollision;
typedef struct PhysJoint PhysJoint;
typedef struct PhysMaterial PhysMaterial;
typedef struct PhysContact PhysContact;
typedef int PhysMaterialGroupId;

// Memory callbacks. The SDK takes every block of memory through one
// process-wide pair. The free callback receives the size that was passed to
// the allocation callback for that block.
typedef void* (*PhysAllocCallback)(int sizeInBytes);
typedef void (*PhysFreeCallback)(void* ptr, int sizeInBytes);

// Once per step for each body of an island being solved, right after its
// force and torque were set to zero.
typedef void (*PhysBodyForceAndTorqueCallback)(PhysBody* body);
// After each integration of the body, with its new matrix.
typedef void (*PhysBodyTransformCallback)(PhysBody* body, const float matrix[16]);
// First thing when a body is destroyed.
typedef void (*PhysBodyDestructorCallback)(PhysBody* body);
// 1 when a body becomes active, 0 when it goes to sleep.
typedef void (*PhysBodyActivationCallback)(PhysBody* body, unsigned state);
// For a body whose box has left the world box.
typedef void (*PhysBodyLeaveWorldCallback)(PhysBody* body);
typedef void (*PhysBodyIterator)(PhysBody* body);
// Vertices as x, y, z triples.
typedef void (*PhysPolygonIterator)(PhysBody* body, int vertexCount, const float* vertices);
// For each body a ray hits; the result becomes the new upper bound of the
// ray parameter.
typedef float (*PhysRayFilterCallback)(PhysBody* body, const float normal[4], int collisionId,
                                       void* userData, float intersectParam);
// Once per touching pair per step before its contacts are made; 0 skips the
// pair.
typedef int (*PhysContactBeginCallback)(PhysMaterial* material, PhysBody* body0, PhysBody* body1);
// For each new contact point of an accepted pair; 0 drops the point.
typedef int (*PhysContactProcessCallback)(PhysMaterial* material, PhysContact* contact);
// After an accepted pair's contacts were made.
typedef void (*PhysContactEndCallback)(PhysMaterial* material);
typedef void (*PhysJointDestructorCallback)(PhysJoint* joint);
// Handed to a static mesh: called for each face that a contact query of the
// mesh collects, with the query's two words, the vertices (strideInBytes
// apart) and the face's vertex indices.
typedef void (*PhysTreeCollisionFaceCallback)(void* word0, void* word1, const float* vertices,
                                              int strideInBytes, int indexCount,
                                              const int* indices);

// World. A world starts with a box of -100..+100 on each axis and a step of
// 1/60 s. Update and destroy are refused from inside the world's callbacks.
PhysWorld* PhysWorldCreate(PhysAllocCallback alloc, PhysFreeCallback free);
// Destroys every body, joint and shape of the world, shapes whose creator
// reference was never released included.
void PhysWorldDestroy(PhysWorld* world);
// Advances the world by step, clamped into [0.001, 1/60] (a NaN step is the
// smallest), in as many equal sub-steps as the default step needs.
void PhysWorldUpdate(PhysWorld* world, float step);
float PhysWorldGetTimeStep(const PhysWorld* world);
// A box so large that the broadphase's cells would leave the float range is
// refused.
void PhysWorldSetSize(PhysWorld* world, const float min[3], const float max[3]);
// 0 (or below): as many solver passes as rows; 1: a budget that grows with
// the square root of the row count; k > 1: at most k passes.
void PhysWorldSetSolverPasses(PhysWorld* world, int mode);
// 0: bounded rows are solved before friction is bounded by them; other
// values solve all rows at once.
void PhysWorldSetEqualityRowMode(PhysWorld* world, int mode);
void PhysWorldSetBodyLeaveWorldCallback(PhysWorld* world, PhysBodyLeaveWorldCallback callback);
void PhysWorldFreezeBody(PhysWorld* world, PhysBody* body);
void PhysWorldUnfreezeBody(PhysWorld* world, PhysBody* body);
// Bodies in creation order.
void PhysWorldForEachBodyDo(PhysWorld* world, PhysBodyIterator iterator);
void PhysWorldRayCast(PhysWorld* world, const float p0[3], const float p1[3],
                      PhysRayFilterCallback filter, void* userData);

// Material groups and pairs. A new pair has static friction 0.9, kinetic
// friction 0.5, elasticity 0.4 and softness 0.1, and collides.
PhysMaterialGroupId PhysMaterialCreateGroupId(PhysWorld* world);
void PhysMaterialSetDefaultCollidable(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, int state);
void PhysMaterialSetCollisionCallback(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, void* userData,
                                      PhysContactBeginCallback begin,
                                      PhysContactProcessCallback process,
                                      PhysContactEndCallback end);
// A static coefficient below 0.01 switches friction off for the pair; else
// kinetic is clamped into [0.01, 2], static to at most 2 and raised to the
// kinetic one. The solver drops a friction row whose bound is too weak to
// matter: about a coefficient of 0.1 for a body resting on a static one, so
// friction weaker than that acts as none.
void PhysMaterialSetDefaultFriction(PhysWorld* world, PhysMaterialGroupId id0,
                                    PhysMaterialGroupId id1, float staticFriction,
                                    float kineticFriction);
// Clamped into [0.01, 2].
void PhysMaterialSetDefaultElasticity(PhysWorld* world, PhysMaterialGroupId id0,
                                      PhysMaterialGroupId id1, float elasticity);
// Clamped into [0.01, 1]: how fast an overlap is pushed apart.
void PhysMaterialSetDefaultSoftness(PhysWorld* world, PhysMaterialGroupId id0,
                                    PhysMaterialGroupId id1, float softness);
void PhysMaterialGetContactPositionAndNormal(const PhysMaterial* material, float position[3],
                                             float normal[3]);
void PhysMaterialSetContactFrictionState(PhysMaterial* material, int state, int index);
void PhysMaterialSetContactTangentDirection(PhysMaterial* material, const float direction[3]);

// Collision shapes. Boxes, cylinders, hulls and static meshes are shared:
// asking twice for the same shape gives the same one with one more
// reference. The offset matrix places the shape in its body (identity when
// null). A creator returns null for a degenerate shape; sizes and
// coordinates above 1e6 m count as degenerate.
//
// A box of full sizes dx, dy, dz along its x, y and z axes, centred on its
// origin; null when a size is 0.
PhysCollision* PhysCreateBox(PhysWorld* world, float dx, float dy, float dz,
                             const float offset[16]);
// A solid cylinder whose axis is its x axis: height along x, centred on its
// origin; null when the radius or the height is 0.
PhysCollision* PhysCreateCylinder(PhysWorld* world, float radius, float height,
                                  const float offset[16]);
// The convex hull of count points, strideInBytes apart (at least 12); null
// for fewer than four points or points that span no volume.
PhysCollision* PhysCreateConvexHull(PhysWorld* world, int count, const float* points,
                                    int strideInBytes, const float offset[16]);
// A new compound of convex parts (boxes, cylinders, hulls); never shared.
// Null when any part is missing or not convex.
PhysCollision* PhysCreateCompoundCollision(PhysWorld* world, int count,
                                           PhysCollision* const* parts);
// A new, empty static mesh; its faces are given between a begin and an end
// of a build. Faces are one-sided: the front is the side from which the
// vertices run counter-clockwise; bodies behind a face and rays from behind
// pass through it.
PhysCollision* PhysCreateTreeCollision(PhysWorld* world, PhysTreeCollisionFaceCallback callback);
void PhysTreeCollisionBeginBuild(PhysCollision* tree);
// One face through vertexCount (at least 3) points, strideInBytes apart,
// counter-clockwise seen from the front.
void PhysTreeCollisionAddFace(PhysCollision* tree, int vertexCount, const float* vertices,
                              int strideInBytes, int faceAttribute);
// Welds the faces (and merges coplanar ones when optimize is set) and builds
// the mesh's search tree.
void PhysTreeCollisionEndBuild(PhysCollision* tree, int optimize);
void PhysReleaseCollision(PhysWorld* world, PhysCollision* collision);
void PhysCollisionCalculateAABB(const PhysCollision* collision, const float matrix[16],
                                float min[3], float max[3]);

// Bodies. A new body is static (no mass), awake, at the identity, with
// linear and angular damping 0.1. Setting its matrix, velocity, angular
// velocity or mass wakes a sleeping body.
//
// Null for a static mesh whose build is still open or that holds no face.
PhysBody* PhysBodyCreate(PhysWorld* world, PhysCollision* collision);
void PhysBodyDestroy(PhysWorld* world, PhysBody* body);
void PhysBodySetUserData(PhysBody* body, void* userData);
void* PhysBodyGetUserData(const PhysBody* body);
PhysWorld* PhysBodyGetWorld(const PhysBody* body);
void PhysBodySetTransformCallback(PhysBody* body, PhysBodyTransformCallback callback);
void PhysBodySetForceAndTorqueCallback(PhysBody* body, PhysBodyForceAndTorqueCallback callback);
void PhysBodySetDestructorCallback(PhysBody* body, PhysBodyDestructorCallback callback);
// The absolute values are taken. A mass below 0.01 makes the body static;
// otherwise each inertia is clamped into [0.01 mass, 100 mass].
void PhysBodySetMassMatrix(PhysBody* body, float mass, float ixx, float iyy, float izz);
// All four read 0 for a static body.
void PhysBodyGetMassMatrix(const PhysBody* body, float* mass, float* ixx, float* iyy, float* izz);
void PhysBodySetMatrix(PhysBody* body, const float matrix[16]);
void PhysBodyGetMatrix(const PhysBody* body, float matrix[16]);
void PhysBodySetForce(PhysBody* body, const float force[3]);
void PhysBodyAddForce(PhysBody* body, const float force[3]);
void PhysBodyGetForce(const PhysBody* body, float force[3]);
void PhysBodySetTorque(PhysBody* body, const float torque[3]);
void PhysBodyGetTorque(const PhysBody* body, float torque[3]);
void PhysBodySetVelocity(PhysBody* body, const float velocity[3]);
void PhysBodyGetVelocity(const PhysBody* body, float velocity[3]);
void PhysBodySetAngularVelocity(PhysBody* body, const float omega[3]);
void PhysBodyGetAngularVelocity(const PhysBody* body, float omega[3]);
// Damping is clamped into [0, 1] and taken off the velocity each step as the
// factor 1 - (0.0199 damping + 0.0001): damping 0 still damps a little.
void PhysBodySetLinearDamping(PhysBody* body, float damping);
float PhysBodyGetLinearDamping(const PhysBody* body);
// Per body axis, as linear damping.
void PhysBodySetAngularDamping(PhysBody* body, const float damping[3]);
void PhysBodyGetAngularDamping(const PhysBody* body, float damping[3]);
// A static mesh makes the body static; one whose build is open or that holds
// no face is refused.
void PhysBodySetCollision(PhysBody* body, PhysCollision* collision);
void PhysBodySetMaterialGroupId(PhysBody* body, PhysMaterialGroupId id);
void PhysBodySetAutoFreeze(PhysBody* body, int state);
void PhysBodyAddImpulse(PhysBody* body, const float deltaVelocity[3], const float point[3]);
void PhysBodyForEachPolygonDo(PhysBody* body, PhysPolygonIterator iterator);

// Joints. A creator returns null for a joint it refuses: no child, a child
// that is its own parent, a zero-length pin, a non-finite pivot or pin.
PhysJoint* PhysJointCreateBall(PhysWorld* world, const float pivot[3], PhysBody* child,
                               PhysBody* parent);
PhysJoint* PhysJointCreateHinge(PhysWorld* world, const float pivot[3], const float pin[3],
                                PhysBody* child, PhysBody* parent);
PhysJoint* PhysJointCreateSlider(PhysWorld* world, const float pivot[3], const float pin[3],
                                 PhysBody* child, PhysBody* parent);
PhysJoint* PhysJointCreateUpVector(PhysWorld* world, const float pin[3], PhysBody* body);
void PhysJointSetUserData(PhysJoint* joint, void* userData);
void* PhysJointGetUserData(const PhysJoint* joint);
void PhysJointSetStiffness(PhysJoint* joint, float stiffness);
float PhysJointGetStiffness(const PhysJoint* joint);
void PhysJointSetDestructorCallback(PhysJoint* joint, PhysJointDestructorCallback callback);
void PhysJointDestroy(PhysWorld* world, PhysJoint* joint);

// Vector and matrix helpers on four-float vectors and row-major matrices.
static inline void PhysVectorScale(float out[4], const float a[4], float s) {
    out[0] = a[0] * s;
    out[1] = a[1] * s;
    out[2] = a[2] * s;
    out[3] = a[3];
}

static inline void PhysVectorAdd(float out[4], const float a[4], const float b[4]) {
    out[0] = a[0] + b[0];
    out[1] = a[1] + b[1];
    out[2] = a[2] + b[2];
    out[3] = a[3];
}

static inline void PhysVectorAddTo(float a[4], const float b[4]) {
    a[0] += b[0];
    a[1] += b[1];
    a[2] += b[2];
}

static inline void PhysVectorCross(float out[4], const float a[4], const float b[4]) {
    const float x = a[1] * b[2] - a[2] * b[1];
    const float y = a[2] * b[0] - a[0] * b[2];
    const float z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = a[3];
}

// out = a b: a is applied first. out may be a or b.
static inline void PhysMatrixMultiply(float out[16], const float a[16], const float b[16]) {
    float product[16];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            product[i * 4 + j] = a[i * 4 + 0] * b[0 * 4 + j] + a[i * 4 + 1] * b[1 * 4 + j] +
                                 a[i * 4 + 2] * b[2 * 4 + j] + a[i * 4 + 3] * b[3 * 4 + j];
        }
    }
    for (int i = 0; i < 16; ++i) {
        out[i] = product[i];
    }
}

static inline void PhysMatrixRotationX(float out[16], float angle) {
    const float c = cosf(angle);
    const float s = sinf(angle);
    const float m[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) {
        out[i] = m[i];
    }
}

static inline void PhysMatrixRotateVector(float out[4], const float m[16], const float v[4]) {
    const float x = v[0] * m[0] + v[1] * m[4] + v[2] * m[8];
    const float y = v[0] * m[1] + v[1] * m[5] + v[2] * m[9];
    const float z = v[0] * m[2] + v[1] * m[6] + v[2] * m[10];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = 1.0f;
}

static inline void PhysMatrixUnrotateVector(float out[4], const float m[16], const float v[4]) {
    const float x = v[0] * m[0] + v[1] * m[1] + v[2] * m[2];
    const float y = v[0] * m[4] + v[1] * m[5] + v[2] * m[6];
    const float z = v[0] * m[8] + v[1] * m[9] + v[2] * m[10];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = 1.0f;
}

static inline void PhysMatrixUntransformPoint(float out[4], const float m[16], const float p[4]) {
    const float d[4] = {p[0] - m[12], p[1] - m[13], p[2] - m[14], 1.0f};
    PhysMatrixUnrotateVector(out, m, d);
}

static inline void PhysMatrixRigidInverse(float out[16], const float m[16]) {
    float inverse[16];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            inverse[i * 4 + j] = m[j * 4 + i];
        }
        inverse[i * 4 + 3] = 0.0f;
    }
    for (int j = 0; j < 3; ++j) {
        inverse[12 + j] = -(m[12] * m[j * 4 + 0] + m[13] * m[j * 4 + 1] + m[14] * m[j * 4 + 2]);
    }
    inverse[15] = 1.0f;
    for (int i = 0; i < 16; ++i) {
        out[i] = inverse[i];
    }
}

// Box of count points read with a byte stride (x, y, z at the start of each).
static inline void PhysPointCloudBox(float min[4], float max[4], const float* points, int count,
                                     int strideInBytes) {
    const char* bytes = (const char*)points;
    for (int k = 0; k < 3; ++k) {
        min[k] = max[k] = points[k];
    }
    for (int i = 1; i < count; ++i) {
        const float* p = (const float*)(bytes + (long)i * strideInBytes);
        for (int k = 0; k < 3; ++k) {
            min[k] = p[k] < min[k] ? p[k] : min[k];
            max[k] = p[k] > max[k] ? p[k] : max[k];
        }
    }
    min[3] = 1.0f;
    max[3] = 1.0f;
}

#ifdef __cplusplus
}
#endif

#endif
