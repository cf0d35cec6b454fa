// The dynamics half of a world step. From each awake body not yet handled in
// the step the solver gathers the island that joints and contacts connect to
// it, runs the members' force callbacks and damping, asks every joint of the
// island for its rows and solves for the row forces with a bounded,
// preconditioned conjugate-gradient method started from the forces of the
// previous step. The forces go into the members' accumulators; the members
// are integrated, and an island whose members all barely move goes to sleep.
//
// Rows are accelerations: a row asks J a = rhs of the accelerations a of its
// two bodies, with a = M^-1 (F + J^t x) for the applied forces F and the row
// forces x. The system solved is A x = b with A = J M^-1 J^t + diag(c), a
// small regularisation c per row that the row's stiffness value scales.
//
// One workspace serves the whole process (one world steps at a time); its
// arrays grow through the SDK's memory callbacks as islands need, and are
// given back with the last world.
#ifndef PHYSICS_SDK_DYNAMICS_ISLAND_SOLVER_H
#define PHYSICS_SDK_DYNAMICS_ISLAND_SOLVER_H

#include "core/matrix.h"
#include "core/memory.h"
#include "core/vector.h"
#include "dynamics/joint_rows.h"
#include "dynamics/solver_kernels.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

class phConstraint;
class phPhysicsWorld;
class phRigidBody;
struct phConstraintLink;

// A growing array of plain data whose blocks come through the memory
// callbacks, its first element on a cache line. Growth doubles the capacity
// and keeps the contents.
template <class T>
class phSolverArray {
    static_assert(std::is_trivially_copyable<T>::value, "plain data only");
    static constexpr size_t kLine = 64;

public:
    phSolverArray() = default;
    ~phSolverArray() { Release(); }
    phSolverArray(const phSolverArray&) = delete;
    phSolverArray& operator=(const phSolverArray&) = delete;

    // Makes room for at least count elements.
    void Reserve(int count) {
        if (count <= m_capacity) {
            return;
        }
        int capacity = m_capacity > 0 ? m_capacity : 64;
        while (capacity < count) {
            capacity *= 2;
        }
        void* block = phMalloc(sizeof(T) * size_t(capacity) + kLine);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        const uintptr_t start =
            (reinterpret_cast<uintptr_t>(block) + kLine - 1) & ~uintptr_t(kLine - 1);
        T* data = reinterpret_cast<T*>(start);
        if (m_data != nullptr) {
            std::memcpy(static_cast<void*>(data), m_data, sizeof(T) * size_t(m_capacity));
            phFree(m_block);
        }
        m_block = block;
        m_data = data;
        m_capacity = capacity;
    }
    void Release() {
        phFree(m_block);
        m_block = nullptr;
        m_data = nullptr;
        m_capacity = 0;
    }
    int Capacity() const { return m_capacity; }
    T& operator[](int i) { return m_data[i]; }
    const T& operator[](int i) const { return m_data[i]; }

private:
    void* m_block = nullptr;
    T* m_data = nullptr;
    int m_capacity = 0;
};

// Residual tolerances: rows whose largest residual is at most the first are
// not solved at all; the iteration ends once it is at most the second.
inline constexpr float kSolverSkipResidual = 0.0001f;
inline constexpr float kSolverResidual = 0.1f;
// The friction drop constant: a friction row whose force limit is at most
// this over the sum of its bodies' inverse masses is dropped.
inline constexpr float kSolverFrictionDrop = 0.25f;

class phIslandSolver {
public:
    phIslandSolver() = default;
    phIslandSolver(const phIslandSolver&) = delete;
    phIslandSolver& operator=(const phIslandSolver&) = delete;

    // The process-wide workspace.
    static phIslandSolver& Shared();
    // Gives every array back (when the last world goes).
    void ReleaseMemory();

    // The whole dynamics half of a step of the world, whose step length is
    // already stored.
    void SolveIslands(phPhysicsWorld& world);

    // Settings of the row solve: the pass-limit mode (0: n passes, 1: a
    // budget growing with the square root of n, k > 1: k passes) and the
    // equality-row mode (0: the bounded rows are solved before friction is
    // bounded by them; otherwise all rows in one solve).
    void SetModes(int passMode, int equalityMode) {
        m_passMode = passMode;
        m_equalityMode = equalityMode;
    }
    int PassLimit(int rowCount) const;
    // The arithmetic variant: the packed one (with the widest product the
    // processor has) or the scalar one.
    void SetVariant(bool simd);
    void SetKernels(const phSolverKernels& kernels) { m_kernels = &kernels; }

    // The row solve of one island, open for tests: start an island, add the
    // bodies (entry 0 is the static body) and the rows, prepare, solve.
    void BeginIsland();
    int AddBody(phRigidBody* body, float invMass, const phMatrix& invInertia, const phVector& force,
                const phVector& torque);
    void AddRow(const phJacobian& jacobian, const phRowBound& bound, float rhs, float stiffness,
                int body0, int body1, float dropThreshold);
    void PrepareRows();
    void SolveRows();
    int SolveBounded(int firstClampable, int count);
    // SolveBounded until no clamped row would rather leave its bound; returns
    // the number of rows that stayed free (the clamped ones follow them).
    int SolveClamped(int firstClampable, int count);
    float Residual(int count);
    // out = A in; returns in . out.
    float MultiplyA(int count, const float* in, float* out);
    void SwapRows(int i, int j);

    int BodyCount() const { return m_bodyCount; }
    int RowCount() const { return m_rowCount; }
    const phVector& BodyForce(int body) const { return m_force[body]; }

private:
    // Gathers the island of the seed, prepares its bodies and rows and
    // solves them; returns the body count plus one.
    int BuildIsland(phPhysicsWorld& world, phRigidBody* seed, uint32_t markBase);
    void GatherIsland(phPhysicsWorld& world, phRigidBody* seed, uint32_t markBase);
    void PrepareBodies();
    void BuildJointRows(phPhysicsWorld& world, uint32_t markBase);
    void ApplyRowForces();
    void ReserveRows(int count);
    int IslandIndex(const phRigidBody* body, uint32_t markBase) const;
    void WriteBack(int from, int to);
    // Takes the share of the row at position removed (just swapped out of
    // the active rows) out of q = A p of the active rows.
    void RemoveFromProduct(int removed, int active);
    phSolverRows Rows() const;
    void RestartDescent(int count, float& delta);

    int m_passMode = 0;
    int m_equalityMode = 0;
    const phSolverKernels* m_kernels = &phScalarSolverKernels();

    int m_bodyCount = 0;
    phSolverArray<phRigidBody*> m_bodies;
    phSolverArray<float> m_invMass;
    phSolverArray<phMatrix> m_invInertia;
    phSolverArray<phVector> m_force;
    phSolverArray<phVector> m_torque;
    phSolverArray<float> m_accum;

    int m_jointCount = 0;
    phSolverArray<phConstraint*> m_joints;
    phSolverArray<phConstraintLink*> m_stack;

    // Per row, indexed by the row's position in the solve: row exchanges
    // move everything the solve reads, so that the active rows lie front to
    // back. The order keeps each position's row number in the island, which
    // a friction row names its normal row by; the position array is its
    // inverse, made when friction is bounded.
    int m_rowCount = 0;
    phSolverArray<phRowVectors> m_jacobian;
    phSolverArray<phRowVectors> m_scaled;
    phSolverArray<phRowBodies> m_rowBodies;
    phSolverArray<float> m_reg;
    phSolverArray<float> m_b;
    phSolverArray<phRowBound> m_bound;
    phSolverArray<float> m_drop;
    phSolverArray<int> m_order;
    phSolverArray<int> m_position;
    phSolverArray<float> m_invPrecond;
    phSolverArray<float> m_lower;
    phSolverArray<float> m_upper;
    phSolverArray<float> m_x;
    phSolverArray<float> m_r;
    phSolverArray<float> m_z;
    phSolverArray<float> m_p;
    phSolverArray<float> m_q;
    // Read only while the rows are prepared, before any exchange.
    phSolverArray<float> m_rhs;
    phSolverArray<float> m_stiffness;

    phJointRowParams m_params;
};

#endif
