// Geometry helpers shared by the ray casts and the contact code: segment
// against box, closest points on segments, and a segment against a convex
// polygon of an indexed vertex array. Tolerances are absolute.
#ifndef PHYSICS_SDK_COLLISION_GEOMETRY_H
#define PHYSICS_SDK_COLLISION_GEOMETRY_H

#include "core/vector.h"

#include <emmintrin.h>

#include <cstring>

// Clips the segment p0-p1 to the box. Returns false when the segment lies
// wholly outside; otherwise true, with each end that was outside moved onto
// the box. The planes are tried in the order max x, min x, max z, min z,
// max y, min y.
bool ClipSegmentToBox(phVector& p0, phVector& p1, const phVector& boxMin, const phVector& boxMax);

// A segment p0 + t (p1 - p0), 0 <= t <= 1, made ready for many box tests:
// its inverse direction is worked out once, so each box costs a few packed
// operations and no divide or branch per axis. It crosses a box when a part
// of positive length lies strictly inside it, as for ClipSegmentToBox; along
// an axis on which it does not move it must lie strictly between the box's
// faces. A NaN box coordinate on an axis of motion leaves that axis out.
class phSegmentSlabs {
public:
    phSegmentSlabs(const phVector& p0, const phVector& p1);

    bool CrossesBox(const float* boxMin, const float* boxMax) const {
        float enter = 0.0f;
        return CrossesBox(boxMin, boxMax, 0.0f, enter);
    }
    // The same test against the box grown by margin on every side; enter is
    // the parameter where the segment comes into it (0 when it starts inside).
    bool CrossesBox(const float* boxMin, const float* boxMax, float margin, float& enter) const {
        const __m128 grow = _mm_set1_ps(margin);
        const __m128 lo = _mm_sub_ps(Load3(boxMin), grow);
        const __m128 hi = _mm_add_ps(Load3(boxMax), grow);
        // Axes without motion: the start must lie strictly inside; lane 3 and
        // the moving axes always pass here.
        const __m128 inside =
            _mm_and_ps(_mm_cmpgt_ps(m_origin, lo), _mm_cmplt_ps(m_origin, hi));
        if (_mm_movemask_ps(_mm_or_ps(inside, m_movingOrSpare)) != 0xF) {
            return false;
        }
        const __m128 t0 = _mm_mul_ps(_mm_sub_ps(lo, m_origin), m_inverse);
        const __m128 t1 = _mm_mul_ps(_mm_sub_ps(hi, m_origin), m_inverse);
        // Axes without motion take the whole range [0, 1].
        const __m128 zero = _mm_setzero_ps();
        const __m128 one = _mm_set1_ps(1.0f);
        __m128 near = _mm_max_ps(_mm_and_ps(_mm_min_ps(t0, t1), m_moving), zero);
        __m128 far = _mm_min_ps(
            _mm_or_ps(_mm_and_ps(_mm_max_ps(t0, t1), m_moving), _mm_andnot_ps(m_moving, one)), one);
        near = _mm_max_ps(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(1, 0, 3, 2)));
        near = _mm_max_ss(near, _mm_shuffle_ps(near, near, _MM_SHUFFLE(2, 3, 0, 1)));
        far = _mm_min_ps(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(1, 0, 3, 2)));
        far = _mm_min_ss(far, _mm_shuffle_ps(far, far, _MM_SHUFFLE(2, 3, 0, 1)));
        enter = _mm_cvtss_f32(near);
        return _mm_comilt_ss(near, far) != 0;
    }

private:
    // x, y and z of three floats, 0 in the fourth lane.
    static __m128 Load3(const float* p) {
        long long xy;
        std::memcpy(&xy, p, sizeof(xy));
        return _mm_movelh_ps(_mm_castsi128_ps(_mm_cvtsi64_si128(xy)), _mm_load_ss(p + 2));
    }

    __m128 m_origin;
    __m128 m_inverse;
    // All bits set in the lanes of the axes the segment moves along.
    __m128 m_moving;
    // The same, with the unused fourth lane set too.
    __m128 m_movingOrSpare;
};

// The point of segment a-b nearest to q, w taken from a. A segment whose ends
// coincide gives a.
phVector ClosestPointOnSegment(const phVector& q, const phVector& a, const phVector& b);

// One point of segment a0-a1 and one of b0-b1 that are closest to each other;
// parallel or degenerate segments give their midpoints.
void ClosestPointsOfSegments(const phVector& a0, const phVector& a1, const phVector& b0,
                             const phVector& b1, phVector& onA, phVector& onB);

// True when the segment p0-p1 enters the convex polygon from its front side
// (the side its counter-clockwise vertices face). Vertex i's three floats
// start at i * strideInBytes bytes. On a hit, t is the segment parameter and
// normal the polygon's (unnormalised) normal with w = 1. A hit on an edge
// counts, within a tolerance relative to the polygon's size; the inside test
// runs in double precision so that long thin polygons keep their middle.
bool RayHitsPolygon(const phVector& p0, const phVector& p1, const float* vertices,
                    int strideInBytes, const int* indices, int indexCount, float& t,
                    phVector& normal);

#endif
