#include "dynamics/island_solver.h"

#include "counting_allocator.h"
#include "dynamics/two_body_joint.h"
#include "world_test_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

phMatrix Diagonal(float x, float y, float z) {
    return phMatrix(phVector(x, 0.0f, 0.0f, 0.0f), phVector(0.0f, y, 0.0f, 0.0f),
                    phVector(0.0f, 0.0f, z, 0.0f), phVector(0.0f, 0.0f, 0.0f, 1.0f));
}

phVector Zero() { return phVector(0.0f, 0.0f, 0.0f, 0.0f); }

// The solver's own workspace, restored to the default modes afterwards.
struct SolverFixture {
    SolverFixture() : solver(phIslandSolver::Shared()) { solver.BeginIsland(); }
    ~SolverFixture() {
        solver.SetModes(0, 0);
        solver.SetVariant(false);
    }
    phIslandSolver& solver;
};

// A symmetric inverse inertia with off-diagonal terms, as a turned body
// has: the diagonal dominates, so it stays positive definite.
phMatrix TurnedInertia(std::mt19937& random) {
    std::uniform_real_distribution<float> diagonal(0.5f, 2.0f);
    std::uniform_real_distribution<float> off(-0.2f, 0.2f);
    const float xy = off(random), xz = off(random), yz = off(random);
    return phMatrix(phVector(diagonal(random), xy, xz, 0.0f),
                    phVector(xy, diagonal(random), yz, 0.0f),
                    phVector(xz, yz, diagonal(random), 0.0f), phVector(0.0f, 0.0f, 0.0f, 1.0f));
}

// A small bounded problem: bodies with full symmetric inverse inertias and
// rows of random Jacobians between them.
struct Problem {
    struct Body {
        float invMass;
        phMatrix invInertia;
    };
    struct Row {
        phJacobian jacobian;
        int body0;
        int body1;
        float rhs;
        int32_t kind;
        float lower;
        float upper;
    };
    std::vector<Body> bodies;
    std::vector<Row> rows;

    static Problem Random(std::mt19937& random) {
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        std::uniform_real_distribution<float> mass(0.5f, 2.0f);
        std::uniform_int_distribution<int> rowCount(1, 5);
        std::uniform_int_distribution<int> kind(0, 2);
        Problem problem;
        problem.bodies.push_back({0.0f, Diagonal(0.0f, 0.0f, 0.0f)});
        for (int i = 0; i < 3; ++i) {
            const float invMass = mass(random);
            problem.bodies.push_back({invMass, TurnedInertia(random)});
        }
        const int n = rowCount(random);
        for (int i = 0; i < n; ++i) {
            Row row;
            row.body0 = 1 + int(random() % 3);
            row.body1 = int(random() % 4);
            if (row.body1 == row.body0) {
                row.body1 = 0;
            }
            auto vec = [&]() { return phVector(unit(random), unit(random), unit(random), 0.0f); };
            row.jacobian.linear0 = vec();
            row.jacobian.angular0 = vec();
            if (row.body1 != 0) {
                row.jacobian.linear1 = vec();
                row.jacobian.angular1 = vec();
            }
            row.rhs = 40.0f * unit(random);
            const int k = kind(random);
            row.kind = k == 0 ? kRowUnbounded : (k == 1 ? kRowOneSided : kRowFixedBounds);
            row.lower = k == 0 ? -1e15f : (k == 1 ? 0.0f : -5.0f);
            row.upper = k == 0 ? 1e15f : (k == 1 ? 1e15f : 5.0f);
            problem.rows.push_back(row);
        }
        return problem;
    }

    // The system matrix as the solver defines it, in double.
    std::vector<std::vector<double>> Matrix() const {
        const size_t n = rows.size();
        std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
        auto part = [&](const Row& row, int body, int which) {
            const phJacobian& j = row.jacobian;
            if (row.body0 == body) {
                return which == 0 ? j.linear0 : j.angular0;
            }
            if (row.body1 == body && body != 0) {
                return which == 0 ? j.linear1 : j.angular1;
            }
            return Zero();
        };
        for (size_t i = 0; i < n; ++i) {
            for (size_t k = 0; k < n; ++k) {
                double sum = 0.0;
                for (size_t b = 1; b < bodies.size(); ++b) {
                    const phVector li = part(rows[i], int(b), 0), lk = part(rows[k], int(b), 0);
                    const phVector ai = part(rows[i], int(b), 1), ak = part(rows[k], int(b), 1);
                    for (int c = 0; c < 3; ++c) {
                        sum += double(li[c]) * bodies[b].invMass * lk[c];
                        for (int d = 0; d < 3; ++d) {
                            sum += double(ai[c]) * bodies[b].invInertia.row[c][d] * ak[d];
                        }
                    }
                }
                a[i][k] = sum;
            }
            a[i][i] *= 1.001;
        }
        return a;
    }

    // The largest row sum of |A^-1|: how far x may be off for a residual of 1.
    double InverseNorm() const {
        auto a = Matrix();
        const int n = int(a.size());
        for (int i = 0; i < n; ++i) {
            a[i].resize(2 * n, 0.0);
            a[i][n + i] = 1.0;
        }
        for (int c = 0; c < n; ++c) {
            int pivot = c;
            for (int r = c + 1; r < n; ++r) {
                if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) {
                    pivot = r;
                }
            }
            std::swap(a[c], a[pivot]);
            for (int r = 0; r < n; ++r) {
                if (r != c) {
                    const double f = a[r][c] / a[c][c];
                    for (int k = c; k < 2 * n; ++k) {
                        a[r][k] -= f * a[c][k];
                    }
                }
            }
        }
        double norm = 0.0;
        for (int i = 0; i < n; ++i) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k) {
                sum += std::fabs(a[i][n + k] / a[i][i]);
            }
            norm = std::fmax(norm, sum);
        }
        return norm;
    }

    // Every combination of free and clamped rows; the one whose free rows
    // solve their equations within bounds and whose clamped rows push the
    // right way is the solution of the bounded problem.
    std::vector<double> BruteForce() const {
        const auto a = Matrix();
        const int n = int(rows.size());
        int combos = 1;
        for (int i = 0; i < n; ++i) {
            combos *= 3;
        }
        for (int combo = 0; combo < combos; ++combo) {
            std::vector<int> state(n);
            bool possible = true;
            for (int i = 0, c = combo; i < n; ++i, c /= 3) {
                state[i] = c % 3;  // 0 free, 1 at lower, 2 at upper
                if (state[i] != 0 && rows[i].kind == kRowUnbounded) {
                    possible = false;
                }
            }
            if (!possible) {
                continue;
            }
            std::vector<double> x(n, 0.0);
            std::vector<int> free;
            for (int i = 0; i < n; ++i) {
                if (state[i] == 1) {
                    x[i] = rows[i].lower;
                } else if (state[i] == 2) {
                    x[i] = rows[i].upper;
                } else {
                    free.push_back(i);
                }
            }
            // Solve the free rows with the clamped ones moved to the right.
            const int m = int(free.size());
            std::vector<std::vector<double>> s(m, std::vector<double>(m + 1));
            for (int i = 0; i < m; ++i) {
                double rhs = rows[free[i]].rhs;
                for (int k = 0; k < n; ++k) {
                    if (state[k] != 0) {
                        rhs -= a[free[i]][k] * x[k];
                    }
                }
                for (int k = 0; k < m; ++k) {
                    s[i][k] = a[free[i]][free[k]];
                }
                s[i][m] = rhs;
            }
            for (int c = 0; c < m; ++c) {
                int pivot = c;
                for (int r = c + 1; r < m; ++r) {
                    if (std::fabs(s[r][c]) > std::fabs(s[pivot][c])) {
                        pivot = r;
                    }
                }
                std::swap(s[c], s[pivot]);
                for (int r = 0; r < m; ++r) {
                    if (r != c) {
                        const double f = s[r][c] / s[c][c];
                        for (int k = c; k <= m; ++k) {
                            s[r][k] -= f * s[c][k];
                        }
                    }
                }
            }
            for (int i = 0; i < m; ++i) {
                x[free[i]] = s[i][m] / s[i][i];
            }
            bool valid = true;
            for (int i = 0; i < n && valid; ++i) {
                double w = -rows[i].rhs;
                for (int k = 0; k < n; ++k) {
                    w += a[i][k] * x[k];
                }
                if (state[i] == 0) {
                    valid = x[i] >= rows[i].lower - 1e-9 && x[i] <= rows[i].upper + 1e-9;
                } else if (state[i] == 1) {
                    valid = w >= -1e-9;
                } else {
                    valid = w <= 1e-9;
                }
            }
            if (valid) {
                return x;
            }
        }
        return {};
    }
};

// Loads a problem into the solver, every row keeping its force in forces.
void Load(phIslandSolver& solver, const Problem& problem, std::vector<float>& forces) {
    solver.BeginIsland();
    for (size_t b = 1; b < problem.bodies.size(); ++b) {
        const Problem::Body& body = problem.bodies[b];
        solver.AddBody(nullptr, body.invMass, body.invInertia, Zero(), Zero());
    }
    forces.assign(problem.rows.size(), 0.0f);
    for (size_t i = 0; i < problem.rows.size(); ++i) {
        const Problem::Row& row = problem.rows[i];
        phRowBound bound;
        bound.kind = row.kind;
        bound.lower = row.lower;
        bound.upper = row.upper;
        bound.force = &forces[i];
        solver.AddRow(row.jacobian, bound, row.rhs, 1.0f, row.body0, row.body1, 0.0f);
    }
    solver.PrepareRows();
}

// A row along x on one unit-mass body.
phJacobian AlongX(float sign = 1.0f) {
    phJacobian j;
    j.linear0 = phVector(sign, 0.0f, 0.0f, 0.0f);
    return j;
}

phJacobian AlongY() {
    phJacobian j;
    j.linear0 = phVector(0.0f, 1.0f, 0.0f, 0.0f);
    return j;
}

}  // namespace

TEST(IslandSolver, PassLimitTable) {
    struct Case {
        int mode;
        int rows;
        int passes;
    };
    const Case cases[] = {{0, 10, 10}, {0, 200, 200}, {1, 100, 29}, {1, 10, 10}, {1, 16, 16},
                          {1, 40, 24}, {1, 20, 20},   {5, 3, 3},    {5, 100, 5}, {2, 2, 2}};
    SolverFixture f;
    for (const Case& c : cases) {
        f.solver.SetModes(c.mode, 0);
        EXPECT_EQ(f.solver.PassLimit(c.rows), c.passes) << c.mode << " " << c.rows;
    }
    TestScene scene;
    scene.world->SetSolverPasses(-4);
    EXPECT_EQ(scene.world->SolverPasses(), 0);
    scene.world->SetSolverPasses(7);
    EXPECT_EQ(scene.world->SolverPasses(), 7);
}

TEST(IslandSolver, BoundedProblemsMatchBruteForce) {
    std::mt19937 random(1234);
    SolverFixture f;
    int compared = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const Problem problem = Problem::Random(random);
        const std::vector<double> expected = problem.BruteForce();
        if (expected.empty()) {
            continue;
        }
        // The solve stops once no residual is above 0.1.
        const double slack = 0.15 * problem.InverseNorm() + 1e-3;
        for (int equalityMode : {0, 1}) {
            f.solver.SetModes(0, equalityMode);
            // The scalar variant, the SSE one and the SSE one with the
            // eight-float product (where the processor has it) each find the
            // solution; they differ only by the order and rounding of sums.
            const phSolverKernels* variants[] = {&phScalarSolverKernels(), &phSseSolverKernels(),
                                                 &phAvxSolverKernels()};
            std::vector<float> byVariant[3];
            for (int v = 0; v < 3; ++v) {
                f.solver.SetKernels(*variants[v]);
                std::vector<float>& forces = byVariant[v];
                Load(f.solver, problem, forces);
                f.solver.SolveRows();
                for (size_t i = 0; i < forces.size(); ++i) {
                    const double tolerance = slack + 1e-3 * std::fabs(expected[i]);
                    EXPECT_NEAR(forces[i], expected[i], tolerance)
                        << "trial " << trial << " row " << i << " mode " << equalityMode
                        << " variant " << v;
                }
            }
            for (int v = 1; v < 3; ++v) {
                for (size_t i = 0; i < byVariant[0].size(); ++i) {
                    EXPECT_NEAR(byVariant[0][i], byVariant[v][i],
                                1e-3 * (1.0 + std::fabs(byVariant[0][i])))
                        << "trial " << trial << " row " << i << " mode " << equalityMode
                        << " variant " << v;
                }
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 250);
}

// The SSE product with eight-float vectors adds in the SSE product's order,
// so the two give the same numbers to the bit: a simulation does not depend
// on which of them the processor runs. Rows come in runs that share their
// bodies, as a joint's do, with a tail of rows beyond the last group of four.
TEST(IslandSolver, EightFloatProductAddsAsTheSseOneDoes) {
    std::mt19937 random(99);
    std::uniform_real_distribution<float> value(-2.0f, 2.0f);
    std::uniform_int_distribution<int> pickBody(0, 5);
    std::uniform_int_distribution<int> pickRun(1, 4);
    const int bodyCount = 6;
    const int count = 23;
    phSolverArray<phRowVectors> jacobian;
    phSolverArray<phRowVectors> scaled;
    phSolverArray<phRowBodies> bodies;
    jacobian.Reserve(count);
    scaled.Reserve(count);
    bodies.Reserve(count);
    std::vector<float> reg(count);
    std::vector<float> in(count);
    for (int row = 0; row < count;) {
        const phRowBodies pair = {pickBody(random), pickBody(random)};
        for (int k = pickRun(random); k > 0 && row < count; --k, ++row) {
            for (int i = 0; i < 16; ++i) {
                jacobian[row].v[i] = i % 4 == 3 ? 0.0f : value(random);
                scaled[row].v[i] = i % 4 == 3 ? 0.0f : value(random);
            }
            bodies[row] = pair;
            reg[row] = 0.01f * std::fabs(value(random));
            in[row] = value(random);
        }
    }
    const phSolverRows rows = {&jacobian[0], &scaled[0], &bodies[0], reg.data()};
    std::vector<float> accum(8 * bodyCount);
    std::vector<float> sse(count);
    std::vector<float> wide(count);
    const float sseDot =
        phSseSolverKernels().multiplyA(rows, count, in.data(), sse.data(), accum.data(), bodyCount);
    const float wideDot = phAvxSolverKernels().multiplyA(rows, count, in.data(), wide.data(),
                                                         accum.data(), bodyCount);
    EXPECT_EQ(sseDot, wideDot);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(sse[i], wide[i]) << "position " << i;
    }
}

// Finding the rows that share a body with a removed one: both variants stop
// at the same rows, never at the static body, with an odd row at the end
// and a removed row on the static body on one side or on both.
TEST(IslandSolver, RowsSharingABodyAreFoundAlike) {
    const std::vector<phRowBodies> bodies = {{0, 3}, {2, 0}, {4, 5}, {0, 0}, {3, 3},
                                             {5, 1}, {0, 2}, {1, 4}, {2, 3}};
    const struct {
        int a;
        int b;
        std::vector<int> found;
    } cases[] = {{3, 0, {0, 4, 8}}, {0, 2, {1, 6, 8}}, {5, 1, {2, 5, 7}}, {0, 0, {}}, {6, 0, {}}};
    const int count = int(bodies.size());
    for (const auto& c : cases) {
        for (const phSolverKernels* kernels : {&phScalarSolverKernels(), &phSseSolverKernels()}) {
            std::vector<int> found;
            for (int i = kernels->firstSharing(bodies.data(), c.a, c.b, 0, count); i < count;
                 i = kernels->firstSharing(bodies.data(), c.a, c.b, i + 1, count)) {
                found.push_back(i);
            }
            EXPECT_EQ(found, c.found) << "bodies " << c.a << " and " << c.b;
        }
    }
}

TEST(IslandSolver, WarmStartThatSolvesTheRowsIsKept) {
    SolverFixture f;
    f.solver.AddBody(nullptr, 1.0f, Diagonal(1.0f, 1.0f, 1.0f), Zero(), Zero());
    float force = 5.0f;
    phRowBound bound;
    bound.force = &force;
    // A = 1, b = 5: the stored 5 already solves it, so nothing runs.
    f.solver.AddRow(AlongX(), bound, 5.0f, 0.0f, 1, 0, 0.0f);
    f.solver.PrepareRows();
    f.solver.SolveRows();
    EXPECT_EQ(force, 5.0f);
    EXPECT_FLOAT_EQ(f.solver.BodyForce(1).x, 5.0f);
}

TEST(IslandSolver, FrictionRowsAreBoundedByTheirNormalRowOrDropped) {
    struct Case {
        const char* name;
        float normalRhs;  // the normal row's target acceleration
        float pull;       // what the friction row asks for
        float drop;       // the friction drop threshold
        bool kept;
        float friction;  // expected friction force when kept
    };
    const Case cases[] = {
        {"sticks below the limit", 10.0f, 2.0f, 0.25f, true, 2.0f},
        {"slides at the limit", 10.0f, 30.0f, 0.25f, true, 5.0f},
        {"no normal force", -10.0f, 2.0f, 0.25f, false, 0.0f},
        {"limit under the threshold", 10.0f, 2.0f, 6.0f, false, 0.0f},
    };
    for (int mode : {0, 1}) {
        // With the friction row added first, the rows change places before
        // friction is bounded, and each must take its own records along. The
        // normal row's drop threshold would drop any friction row: only the
        // friction row's own may count.
        for (bool frictionFirst : {false, true}) {
            for (const Case& c : cases) {
                SolverFixture f;
                f.solver.SetModes(0, mode);
                f.solver.AddBody(nullptr, 1.0f, Diagonal(1.0f, 1.0f, 1.0f), Zero(), Zero());
                // The normal row starts from last step's force (the one-solve
                // mode bounds friction by it); a stale friction force from an
                // earlier step must not survive a drop.
                float forces[2] = {std::fmax(c.normalRhs, 0.0f), 123.0f};
                phRowBound normal;
                normal.kind = kRowOneSided;
                normal.lower = 0.0f;
                normal.force = &forces[0];
                phRowBound friction;
                friction.kind = frictionFirst ? 1 : 0;
                friction.lower = -0.5f;
                friction.upper = 0.5f;
                friction.force = &forces[1];
                if (frictionFirst) {
                    f.solver.AddRow(AlongX(), friction, c.pull, 0.0f, 1, 0, c.drop);
                    f.solver.AddRow(AlongY(), normal, c.normalRhs, 0.0f, 1, 0, 100.0f);
                } else {
                    f.solver.AddRow(AlongY(), normal, c.normalRhs, 0.0f, 1, 0, 100.0f);
                    f.solver.AddRow(AlongX(), friction, c.pull, 0.0f, 1, 0, c.drop);
                }
                f.solver.PrepareRows();
                f.solver.SolveRows();
                const std::string where = std::string(c.name) + " mode " + std::to_string(mode) +
                                          (frictionFirst ? " friction first" : " normal first");
                EXPECT_EQ(f.solver.RowCount(), c.kept ? 2 : 1) << where;
                EXPECT_NEAR(forces[1], c.friction, 0.11f) << where;
                EXPECT_NEAR(f.solver.BodyForce(1).x, c.friction, 0.11f) << where;
                EXPECT_NEAR(forces[0], std::fmax(c.normalRhs, 0.0f), 0.11f) << where;
            }
        }
    }
}

TEST(IslandSolver, EveryRowGetsItsForceBackAfterTheSwaps) {
    // Row 0 ends clamped at 0 in the first solve; the friction row then moves
    // in front of the bounded rows' end, and must still get its force.
    SolverFixture f;
    f.solver.AddBody(nullptr, 1.0f, Diagonal(1.0f, 1.0f, 1.0f), Zero(), Zero());
    f.solver.AddBody(nullptr, 1.0f, Diagonal(1.0f, 1.0f, 1.0f), Zero(), Zero());
    float forces[3] = {0.0f, 0.0f, 40.0f};
    phRowBound oneSided;
    oneSided.kind = kRowOneSided;
    oneSided.lower = 0.0f;
    phRowBound away = oneSided;
    away.force = &forces[0];
    phRowBound normal = oneSided;
    normal.force = &forces[1];
    phRowBound friction;
    friction.kind = 1;
    friction.lower = -1.0f;
    friction.upper = 1.0f;
    friction.force = &forces[2];
    f.solver.AddRow(AlongY(), away, -10.0f, 0.0f, 2, 0, 0.25f);
    f.solver.AddRow(AlongY(), normal, 10.0f, 0.0f, 1, 0, 0.25f);
    f.solver.AddRow(AlongX(), friction, 3.0f, 0.0f, 1, 0, 0.25f);
    f.solver.PrepareRows();
    f.solver.SolveRows();
    EXPECT_NEAR(forces[0], 0.0f, 1e-6f);
    EXPECT_NEAR(forces[1], 10.0f, 0.1f);
    EXPECT_NEAR(forces[2], 3.0f, 0.1f);
}

TEST(IslandSolver, RowOnBodiesThatCannotMoveIsEmpty) {
    SolverFixture f;
    f.solver.AddBody(nullptr, 1.0f, Diagonal(1.0f, 1.0f, 1.0f), Zero(), Zero());
    float forces[2] = {9.0f, 0.0f};
    phRowBound still;
    still.force = &forces[0];
    phRowBound moving;
    moving.force = &forces[1];
    f.solver.AddRow(AlongX(), still, 50.0f, 1.0f, 0, 0, 0.0f);
    f.solver.AddRow(AlongX(), moving, 2.0f, 1.0f, 1, 0, 0.0f);
    f.solver.PrepareRows();
    f.solver.SolveRows();
    EXPECT_EQ(forces[0], 0.0f);
    EXPECT_NEAR(forces[1], 2.0f, 0.1f);
    EXPECT_TRUE(std::isfinite(f.solver.BodyForce(1).x));
}

TEST(IslandSolver, FreeFallFollowsTheIntegratorsRecurrence) {
    TestScene scene;
    phRigidBody* body = scene.Cube(phVector(0.0f, 50.0f, 0.0f), 2.0f);
    body->SetAutoFreeze(false);
    body->SetVelocity(phVector(1.0f, 3.0f, 0.0f));
    const double dt = 1.0 / 60.0;
    const double damping = body->LinearDampingFactor();
    double y = 50.0, vy = 3.0, x = 0.0, vx = 1.0;
    for (int i = 0; i < 120; ++i) {
        scene.world->Update(float(dt));
        // Damping, then velocity from the force, then position from the new
        // velocity.
        vy = vy * damping - kGravity * dt;
        y += vy * dt;
        vx = vx * damping;
        x += vx * dt;
    }
    EXPECT_NEAR(body->Position().y, y, 1e-3);
    EXPECT_NEAR(body->Velocity().y, vy, 1e-4);
    EXPECT_NEAR(body->Position().x, x, 1e-4);
}

namespace {

std::vector<std::string>* g_log = nullptr;

std::string Name(PhysBody* body) {
    return std::to_string(reinterpret_cast<intptr_t>(phRigidBody::FromHandle(body)->UserData()));
}

void LogForce(PhysBody* body) {
    g_log->push_back("force " + Name(body));
    ApplyGravity(body);
}

void LogTransform(PhysBody* body, const float*) { g_log->push_back("move " + Name(body)); }

}  // namespace

TEST(IslandSolver, StaticBodiesNeverJoinIslands) {
    struct Case {
        const char* name;
        bool sharedJoint;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        // Each pendulum hangs from the static body alone: two islands, each
        // solved and moved before the next starts.
        {"two islands", false, {"force 1", "move 1", "force 2", "move 2"}},
        // Linked to each other as well: one island.
        {"one island", true, {"force 1", "force 2", "move 1", "move 2"}},
    };
    for (const Case& c : cases) {
        TestScene scene;
        std::vector<std::string> log;
        g_log = &log;
        phRigidBody* anchor = scene.Cube(phVector(0.0f, 0.0f, 0.0f), 0.0f);
        phRigidBody* bodies[2] = {scene.Cube(phVector(1.0f, 0.0f, 0.0f), 1.0f),
                                  scene.Cube(phVector(-1.0f, 0.0f, 0.0f), 1.0f)};
        for (int i = 0; i < 2; ++i) {
            bodies[i]->SetUserData(reinterpret_cast<void*>(intptr_t(i + 1)));
            bodies[i]->forceAndTorqueCallback = LogForce;
            bodies[i]->transformCallback = LogTransform;
            scene.world->CreateBallJoint(phVector(0.0f, 0.0f, 0.0f), bodies[i], anchor);
        }
        if (c.sharedJoint) {
            scene.world->CreateBallJoint(phVector(0.0f, 0.0f, 0.0f), bodies[1], bodies[0]);
        }
        scene.world->Update(1.0f / 60.0f);
        EXPECT_EQ(log, c.expected) << c.name;
        // The static body left the active set without being moved.
        EXPECT_EQ(anchor->activeNode, nullptr) << c.name;
        EXPECT_EQ(scene.world->VisitedCount(), 3) << c.name;
        g_log = nullptr;
    }
}

TEST(IslandSolver, LargeIslandsGrowTheWorkspaceThroughTheCallbacks) {
    ScopedCountingAllocator allocator;
    ASSERT_TRUE(allocator.Installed());
    {
        TestScene scene;
        scene.world->SetSolverPasses(1);
        // 5600 links in one chain: more than 511 bodies and 16384 rows.
        std::vector<phTwoBodyJoint*> joints;
        phRigidBody* parent = nullptr;
        const int links = 5600;
        for (int i = 0; i < links; ++i) {
            phRigidBody* link = scene.Cube(phVector(0.0f, -0.1f * float(i) - 0.05f, 0.0f), 1.0f,
                                           0.01f, true, 0.05f);
            joints.push_back(
                scene.world->CreateBallJoint(phVector(0.0f, -0.1f * float(i), 0.0f), link, parent));
            parent = link;
        }
        scene.Run(0.1f);
        EXPECT_EQ(scene.world->VisitedCount(), links);
        float worst = 0.0f;
        for (const phTwoBodyJoint* joint : joints) {
            phMatrix frame0, frame1;
            joint->CalculateGlobalMatrix(frame0, frame1);
            worst = std::fmax(worst, phLength(frame0[3] - frame1[3]));
        }
        EXPECT_LT(worst, 0.05f);
        EXPECT_GE(phIslandSolver::Shared().RowCount(), 3 * links);
        EXPECT_GT(CountingAllocator::Blocks().size(), 0u);
    }
    phReleaseMemoryCaches();
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
}
