#include "collision/box_section.h"

namespace {

// Points closer than this (squared) are one point: a vertex on the plane is
// met once from each face around it.
constexpr float kSamePointSquared = 1e-12f;

// The point where a -> b meets the plane, from the signed distances
// da > 0 >= db, w = 1.
phVector Crossing(const phVector& a, const phVector& b, float da, float db) {
    phVector p = a + (b - a) * (da / (da - db));
    p.w = 1.0f;
    return p;
}

}  // namespace

int phWalkSectionRing(const phConvexEdge* start, const phVector* vertices, const float* dist,
                      int edgeCount, int maxPoints, phVector* points) {
    // Each crossing half-edge runs from above the plane to below; its face is
    // left through the first half-edge that ends above, whose twin is the
    // crossing half-edge of the next face. Following the face loops
    // (counter-clockwise from outside) keeps the points counter-clockwise
    // about the plane's normal.
    int count = 0;
    const phConvexEdge* e = start;
    for (int steps = 0; steps < edgeCount; ++steps) {
        const int a = e->vertex;
        const int b = e->twin->vertex;
        const phVector p = Crossing(vertices[a], vertices[b], dist[a], dist[b]);
        if (count == 0 || phLengthSquared(p - points[count - 1]) > kSamePointSquared) {
            if (count == maxPoints) {
                break;
            }
            points[count++] = p;
        }
        const phConvexEdge* g = e->next;
        for (int walked = 0; g != e && dist[g->twin->vertex] <= 0.0f && walked < edgeCount;
             ++walked) {
            g = g->next;
        }
        e = g->twin;
        if (e == start) {
            break;
        }
    }
    while (count > 1 && phLengthSquared(points[count - 1] - points[0]) <= kSamePointSquared) {
        --count;
    }
    return count;
}
