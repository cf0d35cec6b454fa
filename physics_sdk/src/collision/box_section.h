// The ring walk that gives a convex polyhedron's section by a plane (used
// by the box and the convex hull): from a half-edge that crosses the plane,
// go round the cut faces and emit where each crossing half-edge meets the
// plane.
#ifndef PHYSICS_SDK_COLLISION_BOX_SECTION_H
#define PHYSICS_SDK_COLLISION_BOX_SECTION_H

#include "collision/convex_collision.h"

// start runs from a vertex above the plane (dist > 0) to one on or below it
// (dist <= 0); dist holds each vertex's signed distance from the plane. Writes
// at most maxPoints points, counter-clockwise about the plane's normal, w = 1,
// and returns their count. edgeCount bounds the walk.
int phWalkSectionRing(const phConvexEdge* start, const phVector* vertices, const float* dist,
                      int edgeCount, int maxPoints, phVector* points);

#endif
