// Geometry helpers shared by the ray casts and the contact code: segment
// against box, closest points on segments, and a segment against a convex
// polygon of an indexed vertex array. Tolerances are absolute.
#ifndef PHYSICS_SDK_COLLISION_GEOMETRY_H
#define PHYSICS_SDK_COLLISION_GEOMETRY_H

#include "core/vector.h"

// Clips the segment p0-p1 to the box. Returns false when the segment lies
// wholly outside; otherwise true, with each end that was outside moved onto
// the box. The planes are tried in the order max x, min x, max z, min z,
// max y, min y.
bool ClipSegmentToBox(phVector& p0, phVector& p1, const phVector& boxMin, const phVector& boxMax);

// A segment p0 + t (p1 - p0), 0 <= t <= 1, made ready for many box tests:
// its inverse direction is worked out once, so each box costs six multiplies
// and no divide. It crosses a box when a part of positive length lies
// strictly inside it, as for ClipSegmentToBox.
class phSegmentSlabs {
public:
    phSegmentSlabs(const phVector& p0, const phVector& p1);
    bool CrossesBox(const float* boxMin, const float* boxMax) const;

private:
    float m_origin[3];
    float m_inverse[3];
    bool m_moves[3];
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
