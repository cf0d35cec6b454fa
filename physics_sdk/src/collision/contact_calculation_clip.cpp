#include "collision/contact_calculation.h"

#include "core/scratch_stack.h"

#include <algorithm>
#include <cmath>

namespace {

// Written points are at least this far apart (squared).
constexpr float kClipPointSpacing = 0.002f;
// Merged points lie closer than this (squared).
constexpr float kMergeDistance = 0.005f;
// Smallest magnitude of a crossing's denominator.
constexpr float kClipDenominator = 1e-10f;

// Twice the polygon's area along n: negative when it winds clockwise about n.
float WindingAbout(const phVector& n, int count, const phVector* polygon) {
    phVector area(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0, j = count - 1; i < count; j = i++) {
        area += phCross(polygon[j], polygon[i]);
    }
    return phDot(area, n);
}

// Keeps the part of the polygon (or segment, count 2) on the side of the
// plane through start with normal clipNormal where the value is >= 0.
// Returns the new count; out has room for count + 1 points.
int ClipByPlane(const phVector& clipNormal, const phVector& start, int count, const phVector* in,
                phVector* out) {
    int written = 0;
    if (count == 2) {
        const float va = phDot(clipNormal, in[0] - start);
        const float vb = phDot(clipNormal, in[1] - start);
        if (va < 0.0f && vb < 0.0f) {
            return 0;
        }
        for (int k = 0; k < 2; ++k) {
            const phVector& a = in[k];
            const phVector& b = in[1 - k];
            const float value = k == 0 ? va : vb;
            if (value >= 0.0f) {
                out[written++] = a;
            } else {
                float den = phDot(b - a, clipNormal);
                if (std::fabs(den) < kClipDenominator) {
                    den = std::copysign(kClipDenominator, den);
                }
                out[written++] = a - (b - a) * (value / den);
            }
        }
        return written;
    }
    for (int i = 0; i < count; ++i) {
        const phVector& a = in[i];
        const phVector& b = in[(i + 1) % count];
        const float va = phDot(clipNormal, a - start);
        const float vb = phDot(clipNormal, b - start);
        if (va >= 0.0f) {
            out[written++] = a;
        }
        if ((va >= 0.0f) != (vb >= 0.0f)) {
            float den = phDot(b - a, clipNormal);
            if (std::fabs(den) < kClipDenominator) {
                den = std::copysign(kClipDenominator, den);
            }
            phVector crossing = a - (b - a) * (va / den);
            crossing.w = 1.0f;
            out[written++] = crossing;
        }
    }
    return written;
}

}  // namespace

int ClipContactPolygons(const phVector& plane, int32_t faceAttribute, float penetration, int countA,
                        const phVector* polygonA, int countB, const phVector* polygonB,
                        phContactPoint* out, int capacity) {
    if (countA < 3 && countB < 3) {
        return 0;
    }
    // The clipping polygon is A unless A is the segment.
    const bool clipByA = countA >= 3;
    const int clipperCount = clipByA ? countA : countB;
    const phVector* clipper = clipByA ? polygonA : polygonB;
    const int subjectCount = clipByA ? countB : countA;
    const phVector* subject = clipByA ? polygonB : polygonA;
    if (subjectCount < 2) {
        return 0;
    }
    const phVector n(plane.x, plane.y, plane.z, 0.0f);

    // Edge planes point inward only for a polygon that winds counter-clockwise
    // about the normal: a clockwise one is walked backwards.
    const bool reversed = WindingAbout(n, clipperCount, clipper) < 0.0f;
    const int room = subjectCount + clipperCount + 2;
    phScratchArray<phVector> bufferA(room);
    phScratchArray<phVector> bufferB(room);
    phVector* current = bufferA.Data();
    phVector* next = bufferB.Data();
    std::copy(subject, subject + subjectCount, current);
    int count = subjectCount;
    for (int i = 0; i < clipperCount && count > 0; ++i) {
        // Edges from the last vertex to the first, then onward.
        const int startIndex = (i + clipperCount - 1) % clipperCount;
        const phVector& from = clipper[reversed ? i : startIndex];
        const phVector& to = clipper[reversed ? startIndex : i];
        phVector clipNormal = phCross(n, to - from);
        clipNormal.w = 0.0f;
        count = ClipByPlane(clipNormal, from, count, current, next);
        std::swap(current, next);
    }

    int written = 0;
    for (int i = 0; i < count && written < capacity; ++i) {
        bool farEnough = true;
        for (int j = 0; j < written && farEnough; ++j) {
            farEnough = phLengthSquared(current[i] - out[j].position) >= kClipPointSpacing;
        }
        if (!farEnough) {
            continue;
        }
        phContactPoint& point = out[written++];
        point.position = phVector(current[i].x, current[i].y, current[i].z, 1.0f);
        point.normal = plane;
        point.penetration = penetration;
        point.faceAttribute = faceAttribute;
    }
    return written;
}

int MergeContacts(int count, phContactPoint* contacts) {
    for (int i = 0; i < count; ++i) {
        phContactPoint& kept = contacts[i];
        phVector sum(kept.normal.x, kept.normal.y, kept.normal.z, 0.0f);
        int j = i + 1;
        while (j < count) {
            if (phLengthSquared(contacts[j].position - kept.position) < kMergeDistance) {
                sum += contacts[j].normal;
                contacts[j] = contacts[--count];
            } else {
                ++j;
            }
        }
        const float lengthSquared = phDot(sum, sum);
        if (lengthSquared > 1e-12f) {
            const float scale = 1.0f / std::sqrt(lengthSquared);
            kept.normal = phVector(sum.x * scale, sum.y * scale, sum.z * scale, kept.normal.w);
        }
    }
    return count;
}
