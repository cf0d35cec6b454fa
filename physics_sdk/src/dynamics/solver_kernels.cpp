#include "dynamics/solver_kernels.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__) || defined(__x86_64__)
#include <immintrin.h>
#define PH_SOLVER_SSE 1
#endif

namespace {

// The larger of two floats, keeping a when b is NaN.
inline float Max(float a, float b) { return a > b || std::isnan(b) ? a : b; }

void ClearAccumulators(float* accum, int bodyCount) {
    std::memset(accum, 0, sizeof(float) * 8 * size_t(bodyCount));
}

float MultiplyAScalar(const phSolverRows& rows, int count, const float* in, float* out,
                      float* accum, int bodyCount) {
    ClearAccumulators(accum, bodyCount);
    for (int j = 0; j < count; ++j) {
        const float* jacobian = rows.jacobian[j].v;
        float* a = accum + 8 * rows.bodies[j].body0;
        float* b = accum + 8 * rows.bodies[j].body1;
        const float s = in[j];
        for (int k = 0; k < 8; ++k) {
            a[k] += jacobian[k] * s;
        }
        for (int k = 0; k < 8; ++k) {
            b[k] += jacobian[8 + k] * s;
        }
    }
    float inOut = 0.0f;
    for (int i = 0; i < count; ++i) {
        const float* scaled = rows.scaled[i].v;
        const float* a = accum + 8 * rows.bodies[i].body0;
        const float* b = accum + 8 * rows.bodies[i].body1;
        float sum = 0.0f;
        for (int k = 0; k < 8; ++k) {
            sum += scaled[k] * a[k] + scaled[8 + k] * b[k];
        }
        out[i] = sum + rows.reg[i] * in[i];
        inOut += in[i] * out[i];
    }
    return inOut;
}

int FirstOutsideScalar(const float* x, const float* p, const float* lower, const float* upper,
                       float alpha, int from, int to) {
    for (int i = from; i < to; ++i) {
        const float y = x[i] + alpha * p[i];
        if (y < lower[i] || y > upper[i]) {
            return i;
        }
    }
    return to;
}

int FirstSharingScalar(const phRowBodies* bodies, int a, int b, int from, int to) {
    for (int i = from; i < to; ++i) {
        const phRowBodies& row = bodies[i];
        if ((row.body0 != 0 && (row.body0 == a || row.body0 == b)) ||
            (row.body1 != 0 && (row.body1 == a || row.body1 == b))) {
            return i;
        }
    }
    return to;
}

float DotScalar(const float* a, const float* b, int count) {
    float sum = 0.0f;
    for (int i = 0; i < count; ++i) {
        sum += a[i] * b[i];
    }
    return sum;
}

float MaxAbsScalar(const float* a, int count) {
    float largest = 0.0f;
    for (int i = 0; i < count; ++i) {
        largest = Max(largest, std::fabs(a[i]));
    }
    return largest;
}

float StepScalar(float* x, float* r, const float* p, const float* q, float alpha, int count) {
    float largest = 0.0f;
    for (int i = 0; i < count; ++i) {
        x[i] += alpha * p[i];
        r[i] -= alpha * q[i];
        largest = Max(largest, std::fabs(r[i]));
    }
    return largest;
}

float PreconditionScalar(float* z, const float* invPrecond, const float* r, int count) {
    float rz = 0.0f;
    for (int i = 0; i < count; ++i) {
        z[i] = invPrecond[i] * r[i];
        rz += r[i] * z[i];
    }
    return rz;
}

void DirectionScalar(float* p, const float* z, float beta, int count) {
    for (int i = 0; i < count; ++i) {
        p[i] = z[i] + beta * p[i];
    }
}

const phSolverKernels kScalar = {MultiplyAScalar,    FirstOutsideScalar, FirstSharingScalar,
                                 DotScalar,          MaxAbsScalar,       StepScalar,
                                 PreconditionScalar, DirectionScalar};

#ifdef PH_SOLVER_SSE

float Sum(__m128 v) {
    const __m128 high = _mm_movehl_ps(v, v);
    const __m128 pair = _mm_add_ps(v, high);
    return _mm_cvtss_f32(_mm_add_ss(pair, _mm_shuffle_ps(pair, pair, 1)));
}

// The largest of four lanes that hold no NaN.
float Largest(__m128 v) {
    const __m128 high = _mm_max_ps(v, _mm_movehl_ps(v, v));
    return _mm_cvtss_f32(_mm_max_ss(high, _mm_shuffle_ps(high, high, 1)));
}

// Adds a packed vector into four floats of an accumulator.
inline void AddVector(float* accum, __m128 v) {
    _mm_storeu_ps(accum, _mm_add_ps(_mm_loadu_ps(accum), v));
}

// The four lane products of a row's scaled Jacobian with its bodies'
// accumulators; their sum is the row's part of A in.
inline __m128 RowProducts(const phSolverRows& rows, int row, const float* accum) {
    const float* scaled = rows.scaled[row].v;
    const float* a = accum + 8 * rows.bodies[row].body0;
    const float* b = accum + 8 * rows.bodies[row].body1;
    const __m128 first = _mm_add_ps(_mm_mul_ps(_mm_load_ps(scaled), _mm_loadu_ps(a)),
                                    _mm_mul_ps(_mm_load_ps(scaled + 4), _mm_loadu_ps(a + 4)));
    const __m128 second = _mm_add_ps(_mm_mul_ps(_mm_load_ps(scaled + 8), _mm_loadu_ps(b)),
                                     _mm_mul_ps(_mm_load_ps(scaled + 12), _mm_loadu_ps(b + 4)));
    return _mm_add_ps(first, second);
}

// Four consecutive rows' part of A in from their lane products v0..v3:
// transposed, the lane products add up lane by lane; the regularisation is
// added, the result stored at out and in . out added to inOut. Both packed
// products finish their rows here, so they sum in one order.
inline void FinishFourRows(__m128 v0, __m128 v1, __m128 v2, __m128 v3, const float* reg,
                           const float* in, float* out, __m128& inOut) {
    _MM_TRANSPOSE4_PS(v0, v1, v2, v3);
    const __m128 sum = _mm_add_ps(_mm_add_ps(v0, v1), _mm_add_ps(v2, v3));
    const __m128 given = _mm_loadu_ps(in);
    const __m128 product = _mm_add_ps(sum, _mm_mul_ps(_mm_loadu_ps(reg), given));
    _mm_storeu_ps(out, product);
    inOut = _mm_add_ps(inOut, _mm_mul_ps(given, product));
}

float MultiplyASse(const phSolverRows& rows, int count, const float* in, float* out, float* accum,
                   int bodyCount) {
    ClearAccumulators(accum, bodyCount);
    // A joint's rows follow each other and act on the same two bodies: their
    // sum stays in registers until the bodies change, rather than going
    // through the accumulators in memory row by row.
    int j = 0;
    while (j < count) {
        const phRowBodies bodies = rows.bodies[j];
        __m128 linear0 = _mm_setzero_ps();
        __m128 angular0 = _mm_setzero_ps();
        __m128 linear1 = _mm_setzero_ps();
        __m128 angular1 = _mm_setzero_ps();
        do {
            const phRowBodies& next = rows.bodies[j];
            if (next.body0 != bodies.body0 || next.body1 != bodies.body1) {
                break;
            }
            const float* jacobian = rows.jacobian[j].v;
            const __m128 s = _mm_set1_ps(in[j]);
            linear0 = _mm_add_ps(linear0, _mm_mul_ps(_mm_load_ps(jacobian), s));
            angular0 = _mm_add_ps(angular0, _mm_mul_ps(_mm_load_ps(jacobian + 4), s));
            linear1 = _mm_add_ps(linear1, _mm_mul_ps(_mm_load_ps(jacobian + 8), s));
            angular1 = _mm_add_ps(angular1, _mm_mul_ps(_mm_load_ps(jacobian + 12), s));
            ++j;
        } while (j < count);
        float* a = accum + 8 * bodies.body0;
        float* b = accum + 8 * bodies.body1;
        AddVector(a, linear0);
        AddVector(a + 4, angular0);
        AddVector(b, linear1);
        AddVector(b + 4, angular1);
    }
    __m128 inOut = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        FinishFourRows(RowProducts(rows, i, accum), RowProducts(rows, i + 1, accum),
                       RowProducts(rows, i + 2, accum), RowProducts(rows, i + 3, accum),
                       rows.reg + i, in + i, out + i, inOut);
    }
    float tail = 0.0f;
    for (; i < count; ++i) {
        out[i] = Sum(RowProducts(rows, i, accum)) + rows.reg[i] * in[i];
        tail += in[i] * out[i];
    }
    return Sum(inOut) + tail;
}

// The lane sums of RowProducts, in the same order of additions, from
// eight-float loads: each lane adds the first body's linear and angular
// products, then the second body's.
__attribute__((target("avx2"))) inline __m128 RowProductsAvx(const phSolverRows& rows, int row,
                                                             const float* accum) {
    const float* scaled = rows.scaled[row].v;
    const __m256 a =
        _mm256_mul_ps(_mm256_load_ps(scaled), _mm256_loadu_ps(accum + 8 * rows.bodies[row].body0));
    const __m256 b = _mm256_mul_ps(_mm256_load_ps(scaled + 8),
                                   _mm256_loadu_ps(accum + 8 * rows.bodies[row].body1));
    const __m128 first = _mm_add_ps(_mm256_castps256_ps128(a), _mm256_extractf128_ps(a, 1));
    const __m128 second = _mm_add_ps(_mm256_castps256_ps128(b), _mm256_extractf128_ps(b, 1));
    return _mm_add_ps(first, second);
}

// The SSE product with eight-float vectors where the processor has AVX2: a
// body's force and torque accumulators form one vector, and so do a row's
// two Jacobian parts for one body. Every lane adds in the order of the SSE
// product (no fused multiply-adds), so the two give the same results to the
// bit.
__attribute__((target("avx2"))) float MultiplyAAvx(const phSolverRows& rows, int count,
                                                   const float* in, float* out, float* accum,
                                                   int bodyCount) {
    ClearAccumulators(accum, bodyCount);
    int j = 0;
    while (j < count) {
        const phRowBodies bodies = rows.bodies[j];
        __m256 first = _mm256_setzero_ps();
        __m256 second = _mm256_setzero_ps();
        do {
            const phRowBodies& next = rows.bodies[j];
            if (next.body0 != bodies.body0 || next.body1 != bodies.body1) {
                break;
            }
            const float* jacobian = rows.jacobian[j].v;
            const __m256 s = _mm256_set1_ps(in[j]);
            first = _mm256_add_ps(first, _mm256_mul_ps(_mm256_load_ps(jacobian), s));
            second = _mm256_add_ps(second, _mm256_mul_ps(_mm256_load_ps(jacobian + 8), s));
            ++j;
        } while (j < count);
        float* a = accum + 8 * bodies.body0;
        _mm256_storeu_ps(a, _mm256_add_ps(_mm256_loadu_ps(a), first));
        float* b = accum + 8 * bodies.body1;
        _mm256_storeu_ps(b, _mm256_add_ps(_mm256_loadu_ps(b), second));
    }
    __m128 inOut = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        FinishFourRows(RowProductsAvx(rows, i, accum), RowProductsAvx(rows, i + 1, accum),
                       RowProductsAvx(rows, i + 2, accum), RowProductsAvx(rows, i + 3, accum),
                       rows.reg + i, in + i, out + i, inOut);
    }
    float tail = 0.0f;
    for (; i < count; ++i) {
        out[i] = Sum(RowProductsAvx(rows, i, accum)) + rows.reg[i] * in[i];
        tail += in[i] * out[i];
    }
    return Sum(inOut) + tail;
}

int FirstOutsideSse(const float* x, const float* p, const float* lower, const float* upper,
                    float alpha, int from, int to) {
    const __m128 a = _mm_set1_ps(alpha);
    int i = from;
    for (; i + 4 <= to; i += 4) {
        const __m128 y = _mm_add_ps(_mm_loadu_ps(x + i), _mm_mul_ps(a, _mm_loadu_ps(p + i)));
        const __m128 outside = _mm_or_ps(_mm_cmplt_ps(y, _mm_loadu_ps(lower + i)),
                                         _mm_cmpgt_ps(y, _mm_loadu_ps(upper + i)));
        const int mask = _mm_movemask_ps(outside);
        if (mask != 0) {
            return i + __builtin_ctz(unsigned(mask));
        }
    }
    return FirstOutsideScalar(x, p, lower, upper, alpha, i, to);
}

static_assert(sizeof(phRowBodies) == 2 * sizeof(int), "two rows' bodies fill one vector");

// Two rows' body pairs a vector: most rows share no body with the one that
// is looked for, and four compares pass over them at once.
int FirstSharingSse(const phRowBodies* bodies, int a, int b, int from, int to) {
    // The static body matches nothing: -1 is no body's index.
    const __m128i first = _mm_set1_epi32(a != 0 ? a : -1);
    const __m128i second = _mm_set1_epi32(b != 0 ? b : -1);
    int i = from;
    for (; i + 2 <= to; i += 2) {
        const __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bodies + i));
        const __m128i hit =
            _mm_or_si128(_mm_cmpeq_epi32(pair, first), _mm_cmpeq_epi32(pair, second));
        const int mask = _mm_movemask_ps(_mm_castsi128_ps(hit));
        if (mask != 0) {
            return i + ((mask & 3) != 0 ? 0 : 1);
        }
    }
    return FirstSharingScalar(bodies, a, b, i, to);
}

float DotSse(const float* a, const float* b, int count) {
    __m128 sum = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i)));
    }
    return Sum(sum) + DotScalar(a + i, b + i, count - i);
}

float MaxAbsSse(const float* a, int count) {
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 largest = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        // maxps gives its second operand when the first is NaN.
        largest = _mm_max_ps(_mm_and_ps(_mm_loadu_ps(a + i), magnitude), largest);
    }
    return Max(Largest(largest), MaxAbsScalar(a + i, count - i));
}

float StepSse(float* x, float* r, const float* p, const float* q, float alpha, int count) {
    const __m128 a = _mm_set1_ps(alpha);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 largest = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm_storeu_ps(x + i, _mm_add_ps(_mm_loadu_ps(x + i), _mm_mul_ps(a, _mm_loadu_ps(p + i))));
        const __m128 rv = _mm_sub_ps(_mm_loadu_ps(r + i), _mm_mul_ps(a, _mm_loadu_ps(q + i)));
        _mm_storeu_ps(r + i, rv);
        largest = _mm_max_ps(_mm_and_ps(rv, magnitude), largest);
    }
    return Max(Largest(largest), StepScalar(x + i, r + i, p + i, q + i, alpha, count - i));
}

float PreconditionSse(float* z, const float* invPrecond, const float* r, int count) {
    __m128 sum = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 rv = _mm_loadu_ps(r + i);
        const __m128 zv = _mm_mul_ps(_mm_loadu_ps(invPrecond + i), rv);
        _mm_storeu_ps(z + i, zv);
        sum = _mm_add_ps(sum, _mm_mul_ps(rv, zv));
    }
    return Sum(sum) + PreconditionScalar(z + i, invPrecond + i, r + i, count - i);
}

void DirectionSse(float* p, const float* z, float beta, int count) {
    const __m128 b = _mm_set1_ps(beta);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm_storeu_ps(p + i, _mm_add_ps(_mm_loadu_ps(z + i), _mm_mul_ps(b, _mm_loadu_ps(p + i))));
    }
    DirectionScalar(p + i, z + i, beta, count - i);
}

const phSolverKernels kSse = {MultiplyASse, FirstOutsideSse, FirstSharingSse, DotSse,
                              MaxAbsSse,    StepSse,         PreconditionSse, DirectionSse};

// The SSE table with the eight-float product, which is where the time goes.
const phSolverKernels kAvx = {MultiplyAAvx, FirstOutsideSse, FirstSharingSse, DotSse,
                              MaxAbsSse,    StepSse,         PreconditionSse, DirectionSse};

#endif

}  // namespace

const phSolverKernels& phScalarSolverKernels() { return kScalar; }

const phSolverKernels& phSseSolverKernels() {
#ifdef PH_SOLVER_SSE
    return kSse;
#else
    return kScalar;
#endif
}

const phSolverKernels& phAvxSolverKernels() {
#ifdef PH_SOLVER_SSE
    static const bool hasAvx = __builtin_cpu_supports("avx2");
    return hasAvx ? kAvx : kSse;
#else
    return kScalar;
#endif
}
