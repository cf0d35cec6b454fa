#include "dynamics/rigid_body.h"

#include "collision/broadphase.h"
#include "collision/collision.h"
#include "core/class_ids.h"
#include "dynamics/body_math.h"

#include <cmath>

namespace {

// Damping values as stored per-step factors and back.
float DampingFactor(float damping) {
    if (!(damping >= 0.0f)) {
        damping = 0.0f;
    }
    if (damping > 1.0f) {
        damping = 1.0f;
    }
    return 1.0f - (damping * 0.0199f + 0.0001f);
}

float DampingFromFactor(float factor) { return (1.0f - factor - 0.0001f) * 50.25126f; }

float ClampInertia(float inertia, float mass) {
    const float value = std::fabs(inertia);
    const float lo = 0.01f * mass;
    const float hi = 100.0f * mass;
    if (!(value >= lo)) {
        return lo;
    }
    return value > hi ? hi : value;
}

// Largest rotation of one step, and the angular speed below which a body keeps
// its rotation (both in radians).
const float kMaxStepAngle = 45.0f * 3.14159265f / 180.0f;
const float kMinAngularSpeed = 0.0125f * 3.14159265f / 180.0f;

}  // namespace

void phRigidBody::Init(phPhysicsWorld* world, phBroadPhase* broadphase, phCollision* shape,
                       uint32_t id, int materialGroup, const phFreezeThresholds& thresholds) {
    m_world = world;
    m_broadphase = broadphase;
    m_flags = kBodyActive | kBodyAutoFreeze;
    m_id = id;
    m_matrix = phMatrix();
    m_shapeMatrix = phMatrix();
    m_rotation = phQuaternion();
    m_freeze = thresholds;
    SetLinearDamping(0.1f);
    SetAngularDamping(phVector(0.1f, 0.1f, 0.1f));
    shape->AddRef();
    m_shape = shape;
    m_materialGroup = materialGroup;
    SetMassMatrix(2e15f, 1e15f, 1e15f, 1e15f);
    m_broadphase->AddBodyToRoot(this);
    SetMatrix(phMatrix());
}

void phRigidBody::Shutdown() {
    m_broadphase->RemoveBodyFromCell(this);
    m_shape->Release();
    m_shape = nullptr;
}

void phRigidBody::SetMass(float mass, float ixx, float iyy, float izz) {
    float m = std::fabs(mass);
    if (!(m >= 0.01f)) {
        SetMassMatrix(1.5e15f, ixx, iyy, izz);
        return;
    }
    SetMassMatrix(m, ClampInertia(ixx, m), ClampInertia(iyy, m), ClampInertia(izz, m));
}

void phRigidBody::GetMass(float& mass, float& ixx, float& iyy, float& izz) const {
    if (m_mass.w > 5e14f) {
        mass = ixx = iyy = izz = 0.0f;
        return;
    }
    mass = m_mass.w;
    ixx = m_mass.x;
    iyy = m_mass.y;
    izz = m_mass.z;
}

void phRigidBody::SetMassMatrix(float mass, float ixx, float iyy, float izz) {
    if (m_shape->IsClass(kClassIdPolygonalSoup) || !(mass < kInfiniteMass)) {
        m_mass = phVector(kInfiniteMass, kInfiniteMass, kInfiniteMass, kInfiniteMass);
        m_invMass = phVector(0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    m_mass = phVector(ixx, iyy, izz, mass);
    m_invMass = phVector(1.0f / ixx, 1.0f / iyy, 1.0f / izz, 1.0f / mass);
}

void phRigidBody::SetLinearDamping(float damping) { m_linearDamping = DampingFactor(damping); }

float phRigidBody::GetLinearDamping() const { return DampingFromFactor(m_linearDamping); }

void phRigidBody::SetAngularDamping(const phVector& damping) {
    m_angularDamping = phVector(DampingFactor(damping.x), DampingFactor(damping.y),
                                DampingFactor(damping.z), 1.0f);
}

phVector phRigidBody::GetAngularDamping() const {
    return phVector(DampingFromFactor(m_angularDamping.x), DampingFromFactor(m_angularDamping.y),
                    DampingFromFactor(m_angularDamping.z), 1.0f);
}

void phRigidBody::ApplyDamping() {
    m_velocity *= m_linearDamping;
    const phVector local = m_matrix.UnrotateVector(m_omega);
    const float w = m_omega.w;
    m_omega = m_matrix.RotateVector(phCompProduct(local, m_angularDamping));
    m_omega.w = w;
}

void phRigidBody::SetMatrix(const phMatrix& matrix) {
    m_matrix = matrix;
    m_rotation = phRotationFromMatrix(m_matrix);
    UpdateMatrix();
}

void phRigidBody::SetShape(phCollision* shape) {
    shape->AddRef();
    m_shape->Release();
    m_shape = shape;
    if (m_shape->IsClass(kClassIdPolygonalSoup)) {
        SetMassMatrix(m_mass.w, m_mass.x, m_mass.y, m_mass.z);
    }
    m_rotation = phRotationFromMatrix(m_matrix);
    UpdateMatrix();
}

void phRigidBody::SetAutoFreeze(bool state) {
    if (state) {
        m_flags |= kBodyAutoFreeze;
    } else {
        m_flags &= ~kBodyAutoFreeze;
    }
}

void phRigidBody::UpdateMatrix() {
    if (m_shape->HasOffset()) {
        m_shapeMatrix = m_shape->GetOffsetMatrix() * m_matrix;
    } else {
        m_shapeMatrix = m_matrix;
    }
    m_shape->CalcAABB(m_shapeMatrix, m_boxMin, m_boxMax);
    m_broadphase->UpdateBodyCell(this);
}

void phRigidBody::LimitSpin(float dt) {
    // Non-finite components cannot be scaled back into range: drop them.
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(m_omega[i])) {
            m_omega[i] = 0.0f;
        }
    }
    const double speed = std::sqrt(double(m_omega.x) * m_omega.x + double(m_omega.y) * m_omega.y +
                                   double(m_omega.z) * m_omega.z);
    const double stepAngle = speed * dt;
    if (!(stepAngle > kMaxStepAngle)) {
        return;
    }
    // The speed is cut by 0.8 as many times as it takes to bring one step's
    // turn within the limit, in one scale.
    const double cuts = std::ceil(std::log(stepAngle / kMaxStepAngle) / std::log(1.25));
    double scale = std::pow(0.8, cuts);
    while (stepAngle * scale > kMaxStepAngle) {
        scale *= 0.8;
    }
    m_omega *= float(scale);
}

void phRigidBody::Integrate(float dt) {
    const float w = m_force.w;
    m_force = m_force * m_invMass.w;
    m_force.w = w;
    m_velocity += m_force * dt;
    m_matrix[3] += m_velocity * dt;

    const phVector localTorque = m_matrix.UnrotateVector(m_torque);
    m_torque = m_matrix.RotateVector(phCompProduct(localTorque, m_invMass));
    m_omega += m_torque * dt;
    LimitSpin(dt);

    const phVector rate = m_matrix.UnrotateVector(m_omega) * 1.05f;
    const float rate2 = phDot(rate, rate);
    if (rate2 > kMinAngularSpeed * kMinAngularSpeed) {
        const float invRate = phFastInvSqrt(rate2);
        const phVector axis = rate * invRate;
        const float angle = rate2 * invRate * dt;
        const phQuaternion turned = m_rotation * phQuaternion::FromAxisAngle(axis, angle);
        const float invLength = phFastInvSqrt(turned.DotProduct(turned));
        m_rotation = phQuaternion(turned.x * invLength, turned.y * invLength, turned.z * invLength,
                                  turned.w * invLength);
        m_matrix = phMatrix(m_rotation, m_matrix[3]);
    }

    if (transformCallback) {
        float matrix[16];
        m_matrix.Store(matrix);
        transformCallback(Handle(), matrix);
    }
    UpdateMatrix();
}

phMatrix phRigidBody::WorldInverseInertia() const {
    phMatrix result;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            result[i][j] = m_matrix[0][i] * m_invMass.x * m_matrix[0][j] +
                           m_matrix[1][i] * m_invMass.y * m_matrix[1][j] +
                           m_matrix[2][i] * m_invMass.z * m_matrix[2][j];
        }
    }
    return result;
}

bool phRigidBody::AddImpulse(const phVector& deltaVelocity, const phVector& point) {
    if (IsStatic()) {
        return false;
    }
    const phVector r = point - m_matrix[3];
    const phMatrix inertia = WorldInverseInertia();
    // [r] as rows: [r] v = r x v.
    const phMatrix cross(phVector(0.0f, -r.z, r.y, 0.0f), phVector(r.z, 0.0f, -r.x, 0.0f),
                         phVector(-r.y, r.x, 0.0f, 0.0f), phVector(0.0f, 0.0f, 0.0f, 1.0f));
    // K = E / m + [r] J [r]t, a symmetric 3x3 kept as a 4x4 with an identity
    // last row and column.
    phMatrix k;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            float sum = 0.0f;
            for (int a = 0; a < 3; ++a) {
                for (int b = 0; b < 3; ++b) {
                    sum += cross[i][a] * inertia[a][b] * cross[j][b];
                }
            }
            k[i][j] = sum + (i == j ? m_invMass.w : 0.0f);
        }
    }
    const phMatrix kInverse = k.Inverse4x4();
    const phVector impulse = kInverse.RotateVector(deltaVelocity);
    m_velocity += impulse * m_invMass.w;
    m_omega += inertia.RotateVector(phCross(r, impulse));
    return true;
}

float phRigidBody::RayHit(const phVector& p0, const phVector& p1, phVector& normal,
                          int& attribute) const {
    phRayHit hit;
    const float t = m_shape->RayCast(m_shapeMatrix.UntransformVector(p0),
                                     m_shapeMatrix.UntransformVector(p1), hit);
    if (t < 1.0f) {
        normal = m_shapeMatrix.RotateVector(hit.normal);
        attribute = hit.attribute;
    }
    return t;
}
