#include "dynamics/solver_kernels.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__) || defined(__x86_64__)
#include <emmintrin.h>
#define PH_SOLVER_SSE 1
#endif

namespace {

// The larger of two floats, keeping a when b is NaN.
inline float Max(float a, float b) { return a > b || std::isnan(b) ? a : b; }

void ClearAccumulators(float* accum, int bodyCount) {
    std::memset(accum, 0, sizeof(float) * 8 * size_t(bodyCount));
}

float RowDot(const phSolverRow& row, const float* accum) {
    const float* a = accum + 8 * row.body0;
    const float* b = accum + 8 * row.body1;
    float sum = 0.0f;
    for (int k = 0; k < 8; ++k) {
        sum += row.scaled[k] * a[k] + row.scaled[8 + k] * b[k];
    }
    return sum;
}

void MultiplyAScalar(const phSolverRow* rows, const int* order, int count, const float* in,
                     float* out, float* accum, int bodyCount) {
    ClearAccumulators(accum, bodyCount);
    for (int j = 0; j < count; ++j) {
        const phSolverRow& row = rows[order[j]];
        float* a = accum + 8 * row.body0;
        float* b = accum + 8 * row.body1;
        const float s = in[j];
        for (int k = 0; k < 8; ++k) {
            a[k] += row.jacobian[k] * s;
        }
        for (int k = 0; k < 8; ++k) {
            b[k] += row.jacobian[8 + k] * s;
        }
    }
    for (int i = 0; i < count; ++i) {
        const phSolverRow& row = rows[order[i]];
        out[i] = RowDot(row, accum) + row.reg * in[i];
    }
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

void StepScalar(float* x, float* r, const float* p, const float* q, float alpha, int count) {
    for (int i = 0; i < count; ++i) {
        x[i] += alpha * p[i];
        r[i] -= alpha * q[i];
    }
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

const phSolverKernels kScalar = {MultiplyAScalar, DotScalar,          MaxAbsScalar,
                                 StepScalar,      PreconditionScalar, DirectionScalar};

#ifdef PH_SOLVER_SSE

float Sum(__m128 v) {
    const __m128 high = _mm_movehl_ps(v, v);
    const __m128 pair = _mm_add_ps(v, high);
    return _mm_cvtss_f32(_mm_add_ss(pair, _mm_shuffle_ps(pair, pair, 1)));
}

// Adds s times four floats of a Jacobian into four floats of an accumulator.
inline void AddScaled(float* accum, const float* jacobian, __m128 s) {
    _mm_storeu_ps(accum, _mm_add_ps(_mm_loadu_ps(accum), _mm_mul_ps(_mm_loadu_ps(jacobian), s)));
}

// The four lane products of a row's scaled Jacobian with its bodies'
// accumulators; their sum is the row's part of A in.
inline __m128 RowProducts(const phSolverRow& row, const float* accum) {
    const float* a = accum + 8 * row.body0;
    const float* b = accum + 8 * row.body1;
    const __m128 first = _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(row.scaled), _mm_loadu_ps(a)),
                                    _mm_mul_ps(_mm_loadu_ps(row.scaled + 4), _mm_loadu_ps(a + 4)));
    const __m128 second = _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(row.scaled + 8), _mm_loadu_ps(b)),
                                     _mm_mul_ps(_mm_loadu_ps(row.scaled + 12), _mm_loadu_ps(b + 4)));
    return _mm_add_ps(first, second);
}

void MultiplyASse(const phSolverRow* rows, const int* order, int count, const float* in,
                  float* out, float* accum, int bodyCount) {
    ClearAccumulators(accum, bodyCount);
    for (int j = 0; j < count; ++j) {
        const phSolverRow& row = rows[order[j]];
        const __m128 s = _mm_set1_ps(in[j]);
        float* a = accum + 8 * row.body0;
        float* b = accum + 8 * row.body1;
        AddScaled(a, row.jacobian, s);
        AddScaled(a + 4, row.jacobian + 4, s);
        AddScaled(b, row.jacobian + 8, s);
        AddScaled(b + 4, row.jacobian + 12, s);
    }
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const phSolverRow& r0 = rows[order[i]];
        const phSolverRow& r1 = rows[order[i + 1]];
        const phSolverRow& r2 = rows[order[i + 2]];
        const phSolverRow& r3 = rows[order[i + 3]];
        __m128 v0 = RowProducts(r0, accum);
        __m128 v1 = RowProducts(r1, accum);
        __m128 v2 = RowProducts(r2, accum);
        __m128 v3 = RowProducts(r3, accum);
        // Transposed, the four rows' lane products add up lane by lane.
        _MM_TRANSPOSE4_PS(v0, v1, v2, v3);
        const __m128 sum = _mm_add_ps(_mm_add_ps(v0, v1), _mm_add_ps(v2, v3));
        const __m128 reg = _mm_setr_ps(r0.reg, r1.reg, r2.reg, r3.reg);
        _mm_storeu_ps(out + i, _mm_add_ps(sum, _mm_mul_ps(reg, _mm_loadu_ps(in + i))));
    }
    for (; i < count; ++i) {
        const phSolverRow& row = rows[order[i]];
        out[i] = Sum(RowProducts(row, accum)) + row.reg * in[i];
    }
}

float DotSse(const float* a, const float* b, int count) {
    __m128 sum = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i)));
    }
    float total = Sum(sum);
    for (; i < count; ++i) {
        total += a[i] * b[i];
    }
    return total;
}

float MaxAbsSse(const float* a, int count) {
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    __m128 largest = _mm_setzero_ps();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        // maxps gives its second operand when the first is NaN.
        largest = _mm_max_ps(_mm_and_ps(_mm_loadu_ps(a + i), magnitude), largest);
    }
    const __m128 high = _mm_max_ps(largest, _mm_movehl_ps(largest, largest));
    float result = _mm_cvtss_f32(_mm_max_ss(high, _mm_shuffle_ps(high, high, 1)));
    for (; i < count; ++i) {
        result = Max(result, std::fabs(a[i]));
    }
    return result;
}

void StepSse(float* x, float* r, const float* p, const float* q, float alpha, int count) {
    const __m128 a = _mm_set1_ps(alpha);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        _mm_storeu_ps(x + i, _mm_add_ps(_mm_loadu_ps(x + i), _mm_mul_ps(a, _mm_loadu_ps(p + i))));
        _mm_storeu_ps(r + i, _mm_sub_ps(_mm_loadu_ps(r + i), _mm_mul_ps(a, _mm_loadu_ps(q + i))));
    }
    StepScalar(x + i, r + i, p + i, q + i, alpha, count - i);
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

const phSolverKernels kSse = {MultiplyASse, DotSse,          MaxAbsSse,
                              StepSse,      PreconditionSse, DirectionSse};

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
