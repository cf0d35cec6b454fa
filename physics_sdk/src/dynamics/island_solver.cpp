#include "dynamics/island_solver.h"

#include "collision/broadphase.h"
#include "dynamics/constraint.h"
#include "dynamics/contact_joint.h"
#include "dynamics/rigid_body.h"
#include "dynamics/world.h"
#include "dynamics/world_body_graph.h"

#include <cmath>

namespace {

// Rows whose diagonal J M^-1 J^t is below this (or not finite) act on no
// body that can move: they are emptied rather than divided by.
const float kMinRowMass = 1e-20f;

float Dot(const phVector& a, const phVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

phVector Scaled(const phVector& v, float s) { return phVector(v.x * s, v.y * s, v.z * s, 0.0f); }

// The larger and the smaller of two floats, taking the other one when either
// is NaN, as fmax and fmin do (a NaN p . q falls back to its floor, a NaN
// residual does not become the largest), but inlined: the library calls cost
// a tenth of the solve.
inline float Max(float a, float b) { return a > b || std::isnan(b) ? a : b; }

inline float Min(float a, float b) { return a < b || std::isnan(b) ? a : b; }

void Accumulate(phVector& sum, const phVector& v, float s) {
    sum.x += v.x * s;
    sum.y += v.y * s;
    sum.z += v.z * s;
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
    m_accumLinear.Release();
    m_accumAngular.Release();
    m_joints.Release();
    m_stack.Release();
    m_jacobian.Release();
    m_scaled.Release();
    m_body0.Release();
    m_body1.Release();
    m_bound.Release();
    m_rhs.Release();
    m_stiffness.Release();
    m_b.Release();
    m_reg.Release();
    m_invPrecond.Release();
    m_drop.Release();
    m_perm.Release();
    m_position.Release();
    m_x.Release();
    m_r.Release();
    m_z.Release();
    m_p.Release();
    m_q.Release();
    m_bodyCount = 0;
    m_jointCount = 0;
    m_rowCount = 0;
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
    m_accumLinear.Reserve(m_bodyCount);
    m_accumAngular.Reserve(m_bodyCount);
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
    m_body0.Reserve(count);
    m_body1.Reserve(count);
    m_bound.Reserve(count);
    m_rhs.Reserve(count);
    m_stiffness.Reserve(count);
    m_b.Reserve(count);
    m_reg.Reserve(count);
    m_invPrecond.Reserve(count);
    m_drop.Reserve(count);
    m_perm.Reserve(count);
    m_position.Reserve(count);
    m_x.Reserve(count);
    m_r.Reserve(count);
    m_z.Reserve(count);
    m_p.Reserve(count);
    m_q.Reserve(count);
}

void phIslandSolver::AddRow(const phJacobian& jacobian, const phRowBound& bound, float rhs,
                            float stiffness, int body0, int body1, float dropThreshold) {
    const int row = m_rowCount++;
    ReserveRows(m_rowCount);
    m_jacobian[row] = jacobian;
    m_bound[row] = bound;
    m_rhs[row] = rhs;
    m_stiffness[row] = stiffness;
    m_body0[row] = body0;
    m_body1[row] = body1;
    m_drop[row] = dropThreshold;
}

void phIslandSolver::PrepareRows() {
    for (int i = 0; i < m_rowCount; ++i) {
        const int a = m_body0[i];
        const int b = m_body1[i];
        phJacobian& j = m_jacobian[i];
        phJacobian& m = m_scaled[i];
        m.linear0 = Scaled(j.linear0, m_invMass[a]);
        m.angular0 = m_invInertia[a].RotateVector(j.angular0);
        m.angular0.w = 0.0f;
        m.linear1 = Scaled(j.linear1, m_invMass[b]);
        m.angular1 = m_invInertia[b].RotateVector(j.angular1);
        m.angular1.w = 0.0f;
        const float d = Dot(j.linear0, m.linear0) + Dot(j.angular0, m.angular0) +
                        Dot(j.linear1, m.linear1) + Dot(j.angular1, m.angular1);
        if (!(d >= kMinRowMass) || !std::isfinite(d)) {
            // Nothing this row touches can move: it asks for nothing and
            // carries no force.
            const phJacobian empty;
            j = empty;
            m = empty;
            m_b[i] = 0.0f;
            m_reg[i] = 0.0f;
            m_invPrecond[i] = 0.0f;
            m_rhs[i] = 0.0f;
            if (m_bound[i].force != nullptr) {
                *m_bound[i].force = 0.0f;
            }
            continue;
        }
        m_b[i] = m_rhs[i] - (Dot(m.linear0, m_force[a]) + Dot(m.angular0, m_torque[a]) +
                             Dot(m.linear1, m_force[b]) + Dot(m.angular1, m_torque[b]));
        m_reg[i] = 0.001f * m_stiffness[i] * d;
        m_invPrecond[i] = 1.0f / ((0.001f * m_stiffness[i] + 1.0f) * d);
    }
}

void phIslandSolver::MultiplyA(int count, const float* in, float* out) {
    const phVector zero(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i < m_bodyCount; ++i) {
        m_accumLinear[i] = zero;
        m_accumAngular[i] = zero;
    }
    for (int j = 0; j < count; ++j) {
        const phJacobian& jac = m_jacobian[j];
        Accumulate(m_accumLinear[m_body0[j]], jac.linear0, in[j]);
        Accumulate(m_accumAngular[m_body0[j]], jac.angular0, in[j]);
        Accumulate(m_accumLinear[m_body1[j]], jac.linear1, in[j]);
        Accumulate(m_accumAngular[m_body1[j]], jac.angular1, in[j]);
    }
    for (int i = 0; i < count; ++i) {
        const phJacobian& m = m_scaled[i];
        const int a = m_body0[i];
        const int b = m_body1[i];
        out[i] = Dot(m.linear0, m_accumLinear[a]) + Dot(m.angular0, m_accumAngular[a]) +
                 Dot(m.linear1, m_accumLinear[b]) + Dot(m.angular1, m_accumAngular[b]) +
                 m_reg[i] * in[i];
    }
}

float phIslandSolver::MaxResidual(int count) const {
    float largest = 0.0f;
    for (int i = 0; i < count; ++i) {
        largest = Max(largest, std::fabs(m_r[i]));
    }
    return largest;
}

float phIslandSolver::Residual(int count) {
    MultiplyA(count, &m_x[0], &m_r[0]);
    for (int i = 0; i < count; ++i) {
        m_r[i] = m_b[i] - m_r[i];
    }
    return MaxResidual(count);
}

void phIslandSolver::SwapRows(int i, int j) {
    if (i == j) {
        return;
    }
    auto swap = [i, j](auto& array) {
        auto value = array[i];
        array[i] = array[j];
        array[j] = value;
    };
    swap(m_jacobian);
    swap(m_scaled);
    swap(m_reg);
    swap(m_invPrecond);
    swap(m_drop);
    swap(m_body0);
    swap(m_body1);
    swap(m_bound);
    swap(m_rhs);
    swap(m_b);
    swap(m_perm);
    swap(m_x);
    swap(m_r);
    swap(m_z);
    swap(m_p);
}

void phIslandSolver::RestartDescent(int count, float& delta) {
    delta = 0.0f;
    for (int i = 0; i < count; ++i) {
        m_z[i] = m_invPrecond[i] * m_r[i];
        m_p[i] = m_z[i];
        delta += m_r[i] * m_z[i];
    }
}

int phIslandSolver::SolveBounded(int firstClampable, int count) {
    int active = count;
    float delta = 0.0f;
    RestartDescent(active, delta);
    const int passes = PassLimit(count);
    if (passes < 1) {
        return count;
    }
    int pass = 0;
    float residual = 0.2f;
    while (pass < passes) {
        if (residual <= kSolverResidual) {
            return active;
        }
        MultiplyA(active, &m_p[0], &m_q[0]);
        float pq = 0.0f;
        for (int i = 0; i < active; ++i) {
            pq += m_p[i] * m_q[i];
        }
        float alpha = delta / Max(pq, 1e-16f);
        int limit = -1;
        float limitBound = 0.0f;
        for (int i = firstClampable; i < active; ++i) {
            const float y = m_x[i] + alpha * m_p[i];
            float bound;
            if (y < m_bound[i].lower) {
                bound = m_bound[i].lower;
            } else if (y > m_bound[i].upper) {
                bound = m_bound[i].upper;
            } else {
                continue;
            }
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
            delta -= m_p[active] * m_r[active];
            if (delta < 1.0f) {
                delta = 0.0f;
                for (int k = 0; k < active; ++k) {
                    delta += m_r[k] * m_p[k];
                }
            }
            delta = Max(delta, 0.0f);
            MultiplyA(active, &m_p[0], &m_q[0]);
            if (MaxResidual(active) < kSolverResidual) {
                alpha = delta / 1e20f;
            } else {
                pq = 0.0f;
                for (int k = 0; k < active; ++k) {
                    pq += m_p[k] * m_q[k];
                }
                alpha = delta / Max(pq, 1e-16f);
            }
            limit = -1;
            i = firstClampable - 1;
        }
        if (limit >= 0) {
            for (int i = 0; i < active; ++i) {
                m_x[i] += alpha * m_p[i];
                m_r[i] -= alpha * m_q[i];
            }
            m_x[limit] = limitBound;
            --active;
            SwapRows(limit, active);
            RestartDescent(active, delta);
            residual = MaxResidual(active);
            pass = 0;
            continue;
        }
        for (int i = 0; i < active; ++i) {
            m_x[i] += alpha * m_p[i];
            m_r[i] -= alpha * m_q[i];
        }
        residual = MaxResidual(active);
        if (residual > kSolverResidual) {
            float rz = 0.0f;
            for (int i = 0; i < active; ++i) {
                m_z[i] = m_invPrecond[i] * m_r[i];
                rz += m_r[i] * m_z[i];
            }
            const float beta = rz / Max(delta, 1e-17f);
            for (int i = 0; i < active; ++i) {
                m_p[i] = m_z[i] + beta * m_p[i];
            }
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
            const bool atLower = m_x[i] <= m_bound[i].lower;
            const bool atUpper = m_x[i] >= m_bound[i].upper;
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
        if (m_bound[i].force != nullptr) {
            *m_bound[i].force = m_x[i];
        }
    }
}

void phIslandSolver::SolveRows() {
    int count = m_rowCount;
    int equality = 0;
    for (int i = 0; i < count; ++i) {
        m_perm[i] = i;
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
            m_x[i] = Min(Max(m_x[i], m_bound[i].lower), m_bound[i].upper);
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
        m_position[m_perm[i]] = i;
    }
    for (int i = bounded; i < count;) {
        const float normal = Max(m_x[m_position[m_bound[i].kind]], 0.0f);
        const float lo = m_bound[i].lower * normal;
        const float hi = m_bound[i].upper * normal;
        if (Min(hi, -lo) <= m_drop[i]) {
            // Dropped this step: it keeps no force for the next one.
            if (m_bound[i].force != nullptr) {
                *m_bound[i].force = 0.0f;
            }
            --count;
            SwapRows(i, count);
            continue;
        }
        m_bound[i].lower = lo;
        m_bound[i].upper = hi;
        m_bound[i].kind = kRowFixedBounds;
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
        const phJacobian& j = m_jacobian[i];
        const float x = m_x[i];
        Accumulate(m_force[m_body0[i]], j.linear0, x);
        Accumulate(m_torque[m_body0[i]], j.angular0, x);
        Accumulate(m_force[m_body1[i]], j.linear1, x);
        Accumulate(m_torque[m_body1[i]], j.angular1, x);
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
