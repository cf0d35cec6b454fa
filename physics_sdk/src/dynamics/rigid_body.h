// A rigid body: a collision shape, a diagonal inertia in the body's own frame,
// a rotation kept both as a matrix and as a unit quaternion, velocities,
// force and torque accumulators, damping, auto-freeze thresholds and the
// caller's callbacks. A body is static exactly when its inverse mass is 0.
#ifndef PHYSICS_SDK_DYNAMICS_RIGID_BODY_H
#define PHYSICS_SDK_DYNAMICS_RIGID_BODY_H

#include "collision/broadphase_body.h"
#include "core/matrix.h"
#include "core/quaternion.h"
#include "core/vector.h"
#include "dynamics/sdk_callbacks.h"

#include <cstdint>

class phBroadPhase;
class phCollision;
class phPhysicsWorld;
struct phConstraintLink;

inline constexpr uint32_t kBodyActive = 1u << 0;
inline constexpr uint32_t kBodyAutoFreeze = 1u << 1;
inline constexpr uint32_t kBodyGyroscopic = 1u << 2;

// The SDK's infinite mass: a body with this mass is static.
inline constexpr float kInfiniteMass = 1e15f;

// Squared-magnitude bounds under which a body may fall asleep.
struct phFreezeThresholds {
    float linearAcceleration = 0.01f;
    float angularAcceleration = 0.01f;
    float linearSpeed = 0.001f;
    float angularSpeed = 0.001f;
};

class phRigidBody : public phBroadPhaseBody {
public:
    phRigidBody() = default;
    phRigidBody(const phRigidBody&) = delete;
    phRigidBody& operator=(const phRigidBody&) = delete;

    // Sets up a new body around a shape (taking a reference to it): awake and
    // auto-freezing, at the identity, static (mass 2e15), default damping,
    // entered in the grid's root cell and refitted into its own cell.
    void Init(phPhysicsWorld* world, phBroadPhase* broadphase, phCollision* shape, uint32_t id,
              int materialGroup, const phFreezeThresholds& thresholds);
    // Leaves the grid and releases the shape.
    void Shutdown();

    // The caller's view of the body, and back.
    PhysBody* Handle() { return reinterpret_cast<PhysBody*>(this); }
    static phRigidBody* FromHandle(PhysBody* body) { return reinterpret_cast<phRigidBody*>(body); }

    // Mass as the caller sets it: m = |mass|; each inertia |I| clamped into
    // [0.01 m, 100 m]; a mass below 0.01 makes the body static.
    void SetMass(float mass, float ixx, float iyy, float izz);
    // The stored values; all 0 for a static body.
    void GetMass(float& mass, float& ixx, float& iyy, float& izz) const;
    // Stores the values as given, except that a static-mesh shape or a mass of
    // at least the infinite mass makes the body static.
    void SetMassMatrix(float mass, float ixx, float iyy, float izz);
    // (Ixx, Iyy, Izz, mass) and their inverses (all 0 for a static body).
    const phVector& MassMatrix() const { return m_mass; }
    const phVector& InvMassMatrix() const { return m_invMass; }

    // Damping d is clamped into [0, 1] and stored as the per-step factor
    // 1 - (0.0199 d + 0.0001); the getters read d back.
    void SetLinearDamping(float damping);
    float GetLinearDamping() const;
    void SetAngularDamping(const phVector& damping);
    phVector GetAngularDamping() const;
    float LinearDampingFactor() const { return m_linearDamping; }
    const phVector& AngularDampingFactors() const { return m_angularDamping; }
    // The per-step damping of the solver: velocity times the linear factor,
    // angular velocity times each body axis's factor.
    void ApplyDamping();

    const phMatrix& Matrix() const { return m_matrix; }
    const phQuaternion& Rotation() const { return m_rotation; }
    const phVector& Position() const { return m_matrix[3]; }
    // Copies the matrix, takes the rotation from it and refits the box.
    void SetMatrix(const phMatrix& matrix);
    // The shape's global matrix: offset matrix times body matrix.
    const phMatrix& ShapeMatrix() const { return m_shapeMatrix; }

    phCollision* Shape() const { return m_shape; }
    // Takes a reference to the new shape and releases the old one; a static
    // mesh makes the body static.
    void SetShape(phCollision* shape);

    const phVector& Velocity() const { return m_velocity; }
    const phVector& AngularVelocity() const { return m_omega; }
    void SetVelocity(const phVector& velocity) { m_velocity = velocity; }
    void SetAngularVelocity(const phVector& omega) { m_omega = omega; }
    // Accumulators. After a step they hold the step's linear and angular
    // accelerations until they are cleared for the next force callback.
    const phVector& Force() const { return m_force; }
    const phVector& Torque() const { return m_torque; }
    void SetForce(const phVector& force) { m_force = phVector(force.x, force.y, force.z, 1.0f); }
    void AddForce(const phVector& force) { m_force += force; }
    void SetTorque(const phVector& torque) {
        m_torque = phVector(torque.x, torque.y, torque.z, 1.0f);
    }
    void AddTorque(const phVector& torque) { m_torque += torque; }

    // Explicit integration of one step: velocities from the accumulators,
    // then position and rotation from the new velocities; calls the transform
    // callback and refits the box.
    void Integrate(float dt);
    // Rt diag(1/I) R, with R the rotation of the body matrix.
    phMatrix WorldInverseInertia() const;
    // Applies an impulse at a world point that changes the point's velocity
    // by deltaVelocity. Returns false, changing nothing, for a static body;
    // otherwise the world must wake the body.
    bool AddImpulse(const phVector& deltaVelocity, const phVector& point);

    uint32_t Flags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    void SetAutoFreeze(bool state);
    const phFreezeThresholds& FreezeThresholds() const { return m_freeze; }
    uint32_t Id() const { return m_id; }
    phPhysicsWorld* World() const { return m_world; }
    int MaterialGroup() const { return m_materialGroup; }
    void SetMaterialGroup(int group) { m_materialGroup = group; }
    void* UserData() const { return m_userData; }
    void SetUserData(void* userData) { m_userData = userData; }

    PhysBodyActivationCallback activationCallback = nullptr;
    PhysBodyDestructorCallback destructorCallback = nullptr;
    PhysBodyTransformCallback transformCallback = nullptr;
    PhysBodyForceAndTorqueCallback forceAndTorqueCallback = nullptr;

    // Kept by the world and the island solver: the ring of the body's
    // constraint links, its node in the world's active set (null outside it),
    // the island mark and the body's index in the island being solved.
    phConstraintLink* constraintLinks = nullptr;
    void* activeNode = nullptr;
    uint32_t islandMark = 0;
    int islandIndex = 0;

    // The grid's view.
    bool IsActive() const override { return (m_flags & kBodyActive) != 0; }
    bool IsStatic() const override { return m_invMass.w == 0.0f; }
    float RayHit(const phVector& p0, const phVector& p1, phVector& normal,
                 int& attribute) const override;

private:
    // The shape's global matrix and world box under the current matrix, and
    // the grid cell of that box.
    void UpdateMatrix();
    void LimitSpin(float dt);

    phMatrix m_matrix;
    phQuaternion m_rotation;
    phVector m_velocity = phVector(0.0f, 0.0f, 0.0f, 1.0f);
    phVector m_omega = phVector(0.0f, 0.0f, 0.0f, 1.0f);
    phVector m_force = phVector(0.0f, 0.0f, 0.0f, 1.0f);
    phVector m_torque = phVector(0.0f, 0.0f, 0.0f, 1.0f);
    phVector m_mass = phVector(kInfiniteMass, kInfiniteMass, kInfiniteMass, kInfiniteMass);
    phVector m_invMass = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    phVector m_angularDamping;
    phMatrix m_shapeMatrix;
    phFreezeThresholds m_freeze;
    float m_linearDamping = 1.0f;
    int m_materialGroup = 0;
    uint32_t m_flags = 0;
    uint32_t m_id = 0;
    phPhysicsWorld* m_world = nullptr;
    phBroadPhase* m_broadphase = nullptr;
    void* m_userData = nullptr;
    phCollision* m_shape = nullptr;
};

#endif
