// The arithmetic of the island solver's row solve, in variants that compute
// the same thing: a scalar one and a packed SSE one that treats four rows at
// a time (with a scalar tail). They differ only in the order of the additions
// inside sums. The SSE one's product of the system matrix with a vector also
// comes with eight-float vectors for processors that have AVX2; it adds in
// the same order, so its results are the SSE product's to the bit and a
// simulation runs the same with or without it. The solver picks one table by
// processor class.
#ifndef PHYSICS_SDK_DYNAMICS_SOLVER_KERNELS_H
#define PHYSICS_SDK_DYNAMICS_SOLVER_KERNELS_H

// What the row products read of the rows, each array indexed by the row's
// position in the solve (the solver exchanges rows in place, so the active
// rows are read front to back): the Jacobians and the Jacobians seen through
// the bodies' inverse mass and inertia (the scaled Jacobians), one cache line
// a row (linear and angular part of the first body, then of the second, four
// floats a part with the fourth 0); the island indices of the two bodies; the
// regularisation terms.
struct phRowVectors {
    float v[16];
};

struct phRowBodies {
    int body0;
    int body1;
};

struct phSolverRows {
    const phRowVectors* jacobian;
    const phRowVectors* scaled;
    const phRowBodies* bodies;
    const float* reg;
};

struct phSolverKernels {
    // out = A in over the rows at positions 0..count-1; accum holds eight
    // floats (force, torque) per body. Returns in . out, summed as out is
    // formed.
    float (*multiplyA)(const phSolverRows& rows, int count, const float* in, float* out,
                       float* accum, int bodyCount);
    // The first i in [from, to) whose x + alpha p leaves [lower, upper]; to
    // when there is none.
    int (*firstOutside)(const float* x, const float* p, const float* lower, const float* upper,
                        float alpha, int from, int to);
    // The first i in [from, to) whose row acts on body a or body b; to when
    // there is none. Body 0 (the static body) is never looked for.
    int (*firstSharing)(const phRowBodies* bodies, int a, int b, int from, int to);
    float (*dot)(const float* a, const float* b, int count);
    // The largest |a[i]|; a NaN entry never becomes the largest.
    float (*maxAbs)(const float* a, int count);
    // x += alpha p, r -= alpha q; returns the largest |r| afterwards (as
    // maxAbs does).
    float (*step)(float* x, float* r, const float* p, const float* q, float alpha, int count);
    // z = invPrecond r; returns r . z.
    float (*precondition)(float* z, const float* invPrecond, const float* r, int count);
    // p = z + beta p.
    void (*direction)(float* p, const float* z, float beta, int count);
};

const phSolverKernels& phScalarSolverKernels();
// The SSE variant; the scalar one where the build has no SSE.
const phSolverKernels& phSseSolverKernels();
// The SSE variant with the eight-float product where the processor has
// AVX2, the plain SSE one where it has not.
const phSolverKernels& phAvxSolverKernels();

#endif
