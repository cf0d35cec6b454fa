#include "dynamics/island_solver.h"

#include "collision/broadphase.h"
#include "dynamics/constraint.h"
#include "dynamics/contact_joint.h"
#include "dynamics/rigid_body.h"
#include "dynamics/world.h"
#include "dynamics/world_body_graph.h"

#include <cmath>
#include <utility>

namespace {

// Rows whose diagonal J M^-1 J^t is below this (or not finite) act on no
// body that can move: they are emptied rather than divided by.
const float kMinRowMass = 1e-20f;

float Dot(const phVector& a, const phVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The larger and the smaller of two floats, taking the other one when either
// is NaN, as fmax and fmin do (a NaN p . q falls back to its floor, a NaN
// residual does not become the largest), but inlined: the library calls cost
// a tenth of the solve.
inline float Max(float a, float b) { return a > b || std::isnan(b) ? a : b; }

inline float Min(float a, float b) { return a < b || std::isnan(b) ? a : b; }

void Accumulate(phVector& sum, const float* v, float s) {
    sum.x += v[0] * s;
    sum.y += v[1] * s;
    sum.z += v[2] * s;
}

// Writes x, y, z of a vector as four floats with the fourth 0.
void Put(float* out, const phVector& v) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
    out[3] = 0.0f;
}

phVector Get(const float* in) { return phVector(in[0], in[1], in[2], 0.0f); }

// The matrix's RotateVector, inlined where every row needs it twice.
inline phVector Rotate(const phMatrix& m, const phVector& v) {
    return phVector(v.x * m.row[0].x + v.y * m.row[1].x + v.z * m.row[2].x,
                    v.x * m.row[0].y + v.y * m.row[1].y + v.z * m.row[2].y,
                    v.x * m.row[0].z + v.y * m.row[1].z + v.z * m.row[2].z, 0.0f);
}

float Dot8(const float* a, const float* b) {
    float sum = 0.0f;
    for (int k = 0; k < 8; ++k) {
        sum += a[k] * b[k];
    }
    return sum;
}

}  // namespace

phIslandSolver& phIslandSolver::Shared() {
    static phIslandSolver solver;
    return solver;
}

void phIslandSolver::ReleaseMemory() {
    m_bodies.Release();
    m_invMass.Release();
    m_invInertia.Release();
    m_force.Release();
    m_torque.Release();
    m_accum.Release();
    m_joints.Release();
    m_stack.Release();
    m_jacobian.Release();
    m_scaled.Release();
    m_rowBodies.Release();
    m_reg.Release();
    m_b.Release();
    m_bound.Release();
    m_rhs.Release();
    m_stiffness.Release();
    m_drop.Release();
    m_order.Release();
    m_position.Release();
    m_invPrecond.Release();
    m_lower.Release();
    m_upper.Release();
    m_x.Release();
    m_r.Release();
    m_z.Release();
    m_p.Release();
    m_q.Release();
    m_bodyCount = 0;
    m_jointCount = 0;
    m_rowCount = 0;
}

void phIslandSolver::SetVariant(bool simd) {
    m_kernels = simd ? &phAvxSolverKernels() : &phScalarSolverKernels();
}

int phIslandSolver::PassLimit(int rowCount) const {
    if (m_passMode <= 0) {
        return rowCount;
    }
    if (m_passMode == 1) {
        const int extra = rowCount > 16 ? rowCount - 16 : 0;
        const int budget = int(std::sqrt(double(extra))) + 20;
        return budget < rowCount ? budget : rowCount;
    }
    return m_passMode < rowCount ? m_passMode : rowCount;
}

void phIslandSolver::BeginIsland() {
    m_bodyCount = 0;
    m_jointCount = 0;
    m_rowCount = 0;
    // Entry 0: the static body that stands for every body that cannot move.
    const phVector zero(0.0f, 0.0f, 0.0f, 0.0f);
    phMatrix none(zero, zero, zero, zero);
    AddBody(nullptr, 0.0f, none, zero, zero);
}

int phIslandSolver::AddBody(phRigidBody* body, float invMass, const phMatrix& invInertia,
                            const phVector& force, const phVector& torque) {
    const int index = m_bodyCount++;
    m_bodies.Reserve(m_bodyCount);
    m_invMass.Reserve(m_bodyCount);
    m_invInertia.Reserve(m_bodyCount);
    m_force.Reserve(m_bodyCount);
    m_torque.Reserve(m_bodyCount);
    m_accum.Reserve(8 * m_bodyCount);
    m_bodies[index] = body;
    m_invMass[index] = invMass;
    m_invInertia[index] = invInertia;
    m_force[index] = force;
    m_torque[index] = torque;
    return index;
}

void phIslandSolver::ReserveRows(int count) {
    m_jacobian.Reserve(count);
    m_scaled.Reserve(count);
    m_rowBodies.Reserve(count);
    m_reg.Reserve(count);
    m_b.Reserve(count);
    m_bound.Reserve(count);
    m_rhs.Reserve(count);
    m_stiffness.Reserve(count);
    m_drop.Reserve(count);
    m_order.Reserve(count);
    m_position.Reserve(count);
    m_invPrecond.Reserve(count);
    m_lower.Reserve(count);
    m_upper.Reserve(count);
    m_x.Reserve(count);
    m_r.Reserve(count);
    m_z.Reserve(count);
    m_p.Reserve(count);
    m_q.Reserve(count);
}

void phIslandSolver::AddRow(const phJacobian& jacobian, const phRowBound& bound, float rhs,
                            float stiffness, int body0, int body1, float dropThreshold) {
    const int row = m_rowCount++;
    // The row arrays grow together, so one capacity speaks for all.
    if (m_rowCount > m_jacobian.Capacity()) {
        ReserveRows(m_rowCount);
    }
    float* j = m_jacobian[row].v;
    Put(j, jacobian.linear0);
    Put(j + 4, jacobian.angular0);
    Put(j + 8, jacobian.linear1);
    Put(j + 12, jacobian.angular1);
    m_rowBodies[row].body0 = body0;
    m_rowBodies[row].body1 = body1;
    m_bound[row] = bound;
    m_rhs[row] = rhs;
    m_stiffness[row] = stiffness;
    m_drop[row] = dropThreshold;
}

void phIslandSolver::PrepareRows() {
    for (int i = 0; i < m_rowCount; ++i) {
        float* j = m_jacobian[i].v;
        float* m = m_scaled[i].v;
        const int a = m_rowBodies[i].body0;
        const int b = m_rowBodies[i].body1;
        const phVector linear0 = Get(j);
        const phVector angular0 = Get(j + 4);
        const phVector linear1 = Get(j + 8);
        const phVector angular1 = Get(j + 12);
        const phVector mLinear0 = linear0 * m_invMass[a];
        const phVector mAngular0 = Rotate(m_invInertia[a], angular0);
        const phVector mLinear1 = linear1 * m_invMass[b];
        const phVector mAngular1 = Rotate(m_invInertia[b], angular1);
        const float d = Dot(linear0, mLinear0) + Dot(angular0, mAngular0) + Dot(linear1, mLinear1) +
                        Dot(angular1, mAngular1);
        if (!(d >= kMinRowMass) || !std::isfinite(d)) {
            // Nothing this row touches can move: it asks for nothing and
            // carries no force.
            for (int k = 0; k < 16; ++k) {
                j[k] = 0.0f;
                m[k] = 0.0f;
            }
            m_reg[i] = 0.0f;
            m_b[i] = 0.0f;
            m_invPrecond[i] = 0.0f;
            m_rhs[i] = 0.0f;
            if (m_bound[i].force != nullptr) {
                *m_bound[i].force = 0.0f;
            }
            continue;
        }
        Put(m, mLinear0);
        Put(m + 4, mAngular0);
        Put(m + 8, mLinear1);
        Put(m + 12, mAngular1);
        m_b[i] = m_rhs[i] - (Dot(mLinear0, m_force[a]) + Dot(mAngular0, m_torque[a]) +
                             Dot(mLinear1, m_force[b]) + Dot(mAngular1, m_torque[b]));
        m_reg[i] = 0.001f * m_stiffness[i] * d;
        m_invPrecond[i] = 1.0f / ((0.001f * m_stiffness[i] + 1.0f) * d);
    }
}

phSolverRows phIslandSolver::Rows() const {
    return phSolverRows{&m_jacobian[0], &m_scaled[0], &m_rowBodies[0], &m_reg[0]};
}

float phIslandSolver::MultiplyA(int count, const float* in, float* out) {
    return m_kernels->multiplyA(Rows(), count, in, out, &m_accum[0], m_bodyCount);
}

void phIslandSolver::RemoveFromProduct(int removed, int active) {
    // The removed row's force p times its Jacobian is what it added to its
    // bodies' accumulators; the active rows that share a body see it through
    // their scaled Jacobians. The static body's scaled Jacobians are 0.
    const float* jacobian = m_jacobian[removed].v;
    const float s = m_p[removed];
    float first[8];
    float second[8];
    for (int k = 0; k < 8; ++k) {
        first[k] = jacobian[k] * s;
        second[k] = jacobian[8 + k] * s;
    }
    int a = m_rowBodies[removed].body0;
    int b = m_rowBodies[removed].body1;
    if (a == b) {
        for (int k = 0; k < 8; ++k) {
            first[k] += second[k];
        }
        b = 0;
    }
    if (a == 0 && b == 0) {
        return;
    }
    const phSolverKernels& kernels = *m_kernels;
    for (int i = kernels.firstSharing(&m_rowBodies[0], a, b, 0, active); i < active;
         i = kernels.firstSharing(&m_rowBodies[0], a, b, i + 1, active)) {
        const phRowBodies& row = m_rowBodies[i];
        const bool first0 = row.body0 != 0 && row.body0 == a;
        const bool second0 = row.body0 != 0 && row.body0 == b;
        const bool first1 = row.body1 != 0 && row.body1 == a;
        const bool second1 = row.body1 != 0 && row.body1 == b;
        const float* scaled = m_scaled[i].v;
        float d = 0.0f;
        if (first0) {
            d += Dot8(scaled, first);
        } else if (second0) {
            d += Dot8(scaled, second);
        }
        if (first1) {
            d += Dot8(scaled + 8, first);
        } else if (second1) {
            d += Dot8(scaled + 8, second);
        }
        m_q[i] -= d;
    }
}

float phIslandSolver::Residual(int count) {
    MultiplyA(count, &m_x[0], &m_r[0]);
    for (int i = 0; i < count; ++i) {
        m_r[i] = m_b[i] - m_r[i];
    }
    return m_kernels->maxAbs(&m_r[0], count);
}

void phIslandSolver::SwapRows(int i, int j) {
    if (i == j) {
        return;
    }
    std::swap(m_jacobian[i], m_jacobian[j]);
    std::swap(m_scaled[i], m_scaled[j]);
    std::swap(m_rowBodies[i], m_rowBodies[j]);
    std::swap(m_reg[i], m_reg[j]);
    std::swap(m_b[i], m_b[j]);
    std::swap(m_bound[i], m_bound[j]);
    std::swap(m_drop[i], m_drop[j]);
    std::swap(m_order[i], m_order[j]);
    std::swap(m_invPrecond[i], m_invPrecond[j]);
    std::swap(m_lower[i], m_lower[j]);
    std::swap(m_upper[i], m_upper[j]);
    std::swap(m_x[i], m_x[j]);
    std::swap(m_r[i], m_r[j]);
    std::swap(m_z[i], m_z[j]);
    std::swap(m_p[i], m_p[j]);
}

void phIslandSolver::RestartDescent(int count, float& delta) {
    delta = m_kernels->precondition(&m_z[0], &m_invPrecond[0], &m_r[0], count);
    std::memcpy(&m_p[0], &m_z[0], sizeof(float) * size_t(count));
}

int phIslandSolver::SolveBounded(int firstClampable, int count) {
    const phSolverKernels& kernels = *m_kernels;
    int active = count;
    float delta = 0.0f;
    RestartDescent(active, delta);
    const int passes = PassLimit(count);
    if (passes < 1) {
        return count;
    }
    int pass = 0;
    float residual = 0.2f;
    // The largest |r| of the active rows, or -1 when it is not known. Taking
    // a row out leaves it as it was unless that row held it, so most
    // removals need no pass over r.
    float largest = -1.0f;
    auto removeFromLargest = [this, &largest](int removed) {
        if (!(std::fabs(m_r[removed]) < largest)) {
            largest = -1.0f;
        }
    };
    auto largestResidual = [this, &kernels, &largest, &active]() {
        if (largest < 0.0f) {
            largest = kernels.maxAbs(&m_r[0], active);
        }
        return largest;
    };
    while (pass < passes) {
        if (residual <= kSolverResidual) {
            return active;
        }
        float alpha = delta / Max(MultiplyA(active, &m_p[0], &m_q[0]), 1e-16f);
        int limit = -1;
        float limitBound = 0.0f;
        for (int i = kernels.firstOutside(&m_x[0], &m_p[0], &m_lower[0], &m_upper[0], alpha,
                                          firstClampable, active);
             i < active; i = kernels.firstOutside(&m_x[0], &m_p[0], &m_lower[0], &m_upper[0], alpha,
                                                  i + 1, active)) {
            const float y = m_x[i] + alpha * m_p[i];
            const float bound = y < m_lower[i] ? m_lower[i] : m_upper[i];
            const float reduced = (bound - m_x[i]) / m_p[i];
            if (pass != 0 || reduced >= 1e-7f) {
                alpha = reduced;
                limit = i;
                limitBound = bound;
                continue;
            }
            // The row sits at its bound already: clamp it at once and take it
            // out of the active rows, then scan again with the step of the
            // remaining rows.
            m_x[i] = bound;
            --active;
            SwapRows(i, active);
            std::swap(m_q[i], m_q[active]);
            delta -= m_p[active] * m_r[active];
            if (delta < 1.0f) {
                delta = kernels.dot(&m_r[0], &m_p[0], active);
            }
            delta = Max(delta, 0.0f);
            RemoveFromProduct(active, active);
            removeFromLargest(active);
            if (largestResidual() < kSolverResidual) {
                alpha = delta / 1e20f;
            } else {
                alpha = delta / Max(kernels.dot(&m_p[0], &m_q[0], active), 1e-16f);
            }
            limit = -1;
            i = firstClampable - 1;
        }
        residual = kernels.step(&m_x[0], &m_r[0], &m_p[0], &m_q[0], alpha, active);
        largest = residual;
        if (limit >= 0) {
            m_x[limit] = limitBound;
            --active;
            SwapRows(limit, active);
            removeFromLargest(active);
            RestartDescent(active, delta);
            residual = largestResidual();
            pass = 0;
            continue;
        }
        if (residual > kSolverResidual) {
            const float rz = kernels.precondition(&m_z[0], &m_invPrecond[0], &m_r[0], active);
            const float beta = rz / Max(delta, 1e-17f);
            kernels.direction(&m_p[0], &m_z[0], beta, active);
            delta = rz;
        }
        ++pass;
    }
    return active;
}

int phIslandSolver::SolveClamped(int firstClampable, int count) {
    // A row that reached a bound on the way is clamped for the rest of the
    // solve, but the solution may lie inside its bounds after all: such rows
    // are set free again and the rows solved once more, until every clamped
    // row pushes against its bound.
    int free = count;
    for (int round = 0; round <= count; ++round) {
        free = SolveBounded(firstClampable, count);
        if (free == count || Residual(count) <= kSolverSkipResidual) {
            return free;
        }
        int released = 0;
        for (int i = free; i < count; ++i) {
            const bool atLower = m_x[i] <= m_lower[i];
            const bool atUpper = m_x[i] >= m_upper[i];
            if ((atLower && m_r[i] > kSolverResidual) || (atUpper && m_r[i] < -kSolverResidual)) {
                ++released;
            }
        }
        if (released == 0) {
            return free;
        }
    }
    return free;
}

void phIslandSolver::WriteBack(int from, int to) {
    for (int i = from; i < to; ++i) {
        float* force = m_bound[i].force;
        if (force != nullptr) {
            *force = m_x[i];
        }
    }
}

void phIslandSolver::SolveRows() {
    int count = m_rowCount;
    int equality = 0;
    for (int i = 0; i < count; ++i) {
        m_order[i] = i;
        m_lower[i] = m_bound[i].lower;
        m_upper[i] = m_bound[i].upper;
        m_x[i] = m_bound[i].force != nullptr ? *m_bound[i].force : 0.0f;
    }
    for (int i = 0; i < count; ++i) {
        if (m_bound[i].kind == kRowUnbounded) {
            SwapRows(i, equality++);
        }
    }
    int bounded = equality;
    for (int i = equality; i < count; ++i) {
        const int32_t kind = m_bound[i].kind;
        if (kind == kRowFixedBounds) {
            m_x[i] = Min(Max(m_x[i], m_lower[i]), m_upper[i]);
        } else if (kind == kRowOneSided) {
            m_x[i] = Max(m_x[i], 0.0f);
        } else {
            continue;
        }
        SwapRows(i, bounded++);
    }
    int free = bounded;
    if (m_equalityMode == 0) {
        if (Residual(bounded) > kSolverSkipResidual) {
            free = SolveClamped(equality, bounded);
        }
        WriteBack(0, bounded);
        if (count == bounded) {
            ApplyRowForces();
            return;
        }
    }
    // Friction rows name their normal row by its first position; find where
    // it is now.
    for (int i = 0; i < count; ++i) {
        m_position[m_order[i]] = i;
    }
    for (int i = bounded; i < count;) {
        const phRowBound bound = m_bound[i];
        const float normal = Max(m_x[m_position[bound.kind]], 0.0f);
        const float lo = bound.lower * normal;
        const float hi = bound.upper * normal;
        if (Min(hi, -lo) <= m_drop[i]) {
            // Dropped this step: it keeps no force for the next one.
            if (bound.force != nullptr) {
                *bound.force = 0.0f;
            }
            --count;
            SwapRows(i, count);
            continue;
        }
        m_lower[i] = lo;
        m_upper[i] = hi;
        m_x[i] = Min(Max(m_x[i], lo), hi);
        ++i;
    }
    int solved = count;
    for (int k = bounded - 1; k >= free; --k) {
        --solved;
        SwapRows(k, solved);
    }
    if (Residual(solved) > kSolverSkipResidual) {
        SolveClamped(equality, solved);
    }
    // Every row still in use gets its force back, wherever the swaps left it.
    WriteBack(0, count);
    m_rowCount = count;
    ApplyRowForces();
}

void phIslandSolver::ApplyRowForces() {
    for (int i = 0; i < m_rowCount; ++i) {
        const float* j = m_jacobian[i].v;
        const float x = m_x[i];
        Accumulate(m_force[m_rowBodies[i].body0], j, x);
        Accumulate(m_torque[m_rowBodies[i].body0], j + 4, x);
        Accumulate(m_force[m_rowBodies[i].body1], j + 8, x);
        Accumulate(m_torque[m_rowBodies[i].body1], j + 12, x);
    }
}

int phIslandSolver::IslandIndex(const phRigidBody* body, uint32_t markBase) const {
    // A body that cannot move, or one that is not in this island (a joint
    // made by a callback may reach into an island solved earlier in the
    // step), stands still for this island.
    if (body == nullptr || body->IsStatic() || body->islandMark != markBase + 1) {
        return 0;
    }
    return body->islandIndex;
}

void phIslandSolver::GatherIsland(phPhysicsWorld& world, phRigidBody* seed, uint32_t markBase) {
    const uint32_t building = markBase + 1;
    auto enter = [this, building](phRigidBody* body) {
        if (body->islandMark != building) {
            body->islandMark = building;
            body->islandIndex = m_bodyCount;
            AddBody(body, 0.0f, phMatrix(), phVector(), phVector());
        }
    };
    enter(seed);
    if (seed->constraintLinks == nullptr) {
        return;
    }
    int depth = 0;
    m_stack.Reserve(1);
    m_stack[depth++] = seed->constraintLinks;
    while (depth > 0) {
        phConstraintLink* ring = m_stack[--depth];
        phConstraintLink* link = ring;
        do {
            enter(link->body);
            phRigidBody* other = link->twin != nullptr ? link->twin->body : nullptr;
            // Marks from the step's base upward are in this island or were
            // solved earlier in the step: neither is entered again.
            if (other != nullptr && !other->IsStatic() && other->islandMark < building) {
                enter(other);
                m_stack.Reserve(depth + 1);
                m_stack[depth++] = link->twin;
            }
            phConstraint* constraint = link->constraint;
            if (constraint->Kind() == kJointContact) {
                phContactJoint* contact = static_cast<phContactJoint*>(constraint);
                if (contact->RefreshMark() != markBase) {
                    contact->islandMark = building;
                    contact->SetRefreshMark(markBase);
                    world.QueueStaleContact(contact);
                }
            }
            if (constraint->islandMark < building) {
                constraint->islandMark = building;
                m_joints.Reserve(m_jointCount + 1);
                m_joints[m_jointCount++] = constraint;
            }
            link = link->next;
        } while (link != ring);
    }
}

void phIslandSolver::PrepareBodies() {
    for (int i = 1; i < m_bodyCount; ++i) {
        phRigidBody* body = m_bodies[i];
        body->SetForce(phVector(0.0f, 0.0f, 0.0f));
        body->SetTorque(phVector(0.0f, 0.0f, 0.0f));
        if (body->forceAndTorqueCallback != nullptr) {
            body->forceAndTorqueCallback(body->Handle());
        }
        body->ApplyDamping();
        phVector omega = body->AngularVelocity();
        omega.w = 1.0f;
        body->SetAngularVelocity(omega);
        if ((body->Flags() & kBodyGyroscopic) != 0) {
            const phVector w = body->Matrix().UnrotateVector(omega);
            const phVector& inertia = body->MassMatrix();
            const phVector local((inertia.y - inertia.z) * w.y * w.z,
                                 (inertia.z - inertia.x) * w.z * w.x,
                                 (inertia.x - inertia.y) * w.x * w.y, 0.0f);
            body->AddTorque(body->Matrix().RotateVector(local));
        }
        m_invMass[i] = body->InvMassMatrix().w;
        m_invInertia[i] = body->WorldInverseInertia();
        m_force[i] = body->Force();
        m_torque[i] = body->Torque();
    }
}

void phIslandSolver::BuildJointRows(phPhysicsWorld& world, uint32_t markBase) {
    m_params.world = &world;
    m_params.dt = world.TimeStep();
    m_params.invDt = world.InvTimeStep();
    for (int j = 0; j < m_jointCount; ++j) {
        phConstraint* joint = m_joints[j];
        const int maxRows =
            joint->MaxRowCount() < kMaxJointRows ? joint->MaxRowCount() : kMaxJointRows;
        for (int k = 0; k < maxRows; ++k) {
            m_params.bounds[k] = phRowBound();
        }
        int rows = joint->BuildRows(m_params);
        rows = rows < 0 ? 0 : (rows > kMaxJointRows ? kMaxJointRows : rows);
        const int a = IslandIndex(joint->Body0(), markBase);
        const int b = IslandIndex(joint->Body1(), markBase);
        const float invMassSum = m_invMass[a] + m_invMass[b];
        const float drop = invMassSum > 0.0f ? kSolverFrictionDrop / invMassSum : 0.0f;
        const int first = m_rowCount;
        for (int k = 0; k < rows; ++k) {
            phRowBound bound = m_params.bounds[k];
            if (bound.kind >= 0) {
                bound.kind += first;
            }
            AddRow(m_params.jacobians[k], bound, m_params.rhs[k], m_params.stiffness[k], a, b,
                   drop);
        }
    }
}

int phIslandSolver::BuildIsland(phPhysicsWorld& world, phRigidBody* seed, uint32_t markBase) {
    BeginIsland();
    GatherIsland(world, seed, markBase);
    PrepareBodies();
    if (m_jointCount > 0) {
        BuildJointRows(world, markBase);
        if (m_rowCount > 0) {
            PrepareRows();
            SolveRows();
            for (int i = 1; i < m_bodyCount; ++i) {
                m_bodies[i]->SetForce(m_force[i]);
                m_bodies[i]->SetTorque(m_torque[i]);
            }
        }
    }
    return m_bodyCount;
}

void phIslandSolver::SolveIslands(phPhysicsWorld& world) {
    const uint32_t markBase = world.IslandStamp();
    const float dt = world.TimeStep();
    const phVector worldMin = world.BroadPhase().WorldMin();
    const phVector worldMax = world.BroadPhase().WorldMax();
    phRigidBody* body = world.FirstActive();
    while (body != nullptr) {
        const uint32_t id = body->Id();
        if (body->IsStatic()) {
            world.FreezeBody(body);
            world.AddVisited(1);
        } else if (body->islandMark < markBase + 2) {
            const int count = BuildIsland(world, body, markBase) - 1;
            world.AddVisited(count);
            const float k = float(std::fmin(std::pow(double(count), 1.1), 5.0));
            const float ka = 6.0f * k;
            bool atRest = true;
            for (int i = 1; i <= count; ++i) {
                phRigidBody* member = m_bodies[i];
                member->Integrate(dt);
                if (atRest) {
                    const phFreezeThresholds& t = member->FreezeThresholds();
                    atRest = (member->Flags() & kBodyAutoFreeze) != 0 &&
                             phLengthSquared(member->Force()) < ka * t.linearAcceleration &&
                             phLengthSquared(member->Torque()) < ka * t.angularAcceleration &&
                             phLengthSquared(member->Velocity()) < k * t.linearSpeed &&
                             phLengthSquared(member->AngularVelocity()) < k * t.angularSpeed;
                }
                member->islandMark = markBase + 2;
                if (!member->IsActive() && member->activationCallback != nullptr) {
                    member->activationCallback(member->Handle(), 1);
                }
                member->SetFlags(member->Flags() | kBodyActive);
                if (i > 1 && member->activeNode != nullptr) {
                    if ((member->Flags() & kBodyAutoFreeze) != 0) {
                        world.RemoveFromActiveSet(member);
                    } else {
                        atRest = false;
                    }
                }
            }
            if (atRest) {
                for (int i = 1; i <= count; ++i) {
                    phRigidBody* member = m_bodies[i];
                    member->SetFlags(member->Flags() & ~kBodyActive);
                    if (member->activationCallback != nullptr) {
                        member->activationCallback(member->Handle(), 0);
                    }
                }
                if ((m_bodies[1]->Flags() & kBodyAutoFreeze) != 0 &&
                    m_bodies[1]->activeNode != nullptr) {
                    world.RemoveFromActiveSet(m_bodies[1]);
                }
            }
            PhysBodyLeaveWorldCallback leaveWorld = world.LeaveWorldCallback();
            if (leaveWorld != nullptr) {
                for (int i = 1; i <= count; ++i) {
                    phRigidBody* member = m_bodies[i];
                    if (phBroadPhase::BoxesOverlap(member->BoxMin(), member->BoxMax(), worldMin,
                                                   worldMax)) {
                        continue;
                    }
                    world.FreezeBody(member);
                    member->SetAutoFreeze(false);
                    leaveWorld(member->Handle());
                }
            }
        }
        body = world.NextActiveAfter(id);
    }
}
