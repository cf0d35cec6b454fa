// Invariant checker for phPolyhedra: every half-edge sits under its key, has
// a twin that points back and runs the other way, and lies on a closed loop
// whose links agree; loops are either faces or boundary throughout.
#ifndef TESTS_PHYSICS_SDK_POLYHEDRA_CHECKER_H
#define TESTS_PHYSICS_SDK_POLYHEDRA_CHECKER_H

#include "collision/polyhedra.h"

#include <gtest/gtest.h>

#include <set>

inline void CheckPolyhedra(const phPolyhedra& polyhedra) {
    int count = 0;
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        ++count;
        const phEdge* e = &node->info;
        ASSERT_NE(e->twin, nullptr) << "half-edge without twin";
        ASSERT_NE(e->next, nullptr);
        ASSERT_NE(e->prev, nullptr);
        ASSERT_EQ(e->twin->twin, e);
        ASSERT_EQ(node->key, phMakeEdgeKey(e->incidentVertex, e->twin->incidentVertex));
        ASSERT_EQ(polyhedra.FindEdge(e->incidentVertex, e->twin->incidentVertex), e);
        ASSERT_EQ(e->next->incidentVertex, e->twin->incidentVertex) << "loop not connected";
        ASSERT_EQ(e->next->prev, e);
        ASSERT_EQ(e->prev->next, e);
        // The loop closes within the edge count and keeps its kind.
        const phEdge* h = e;
        int steps = 0;
        do {
            ASSERT_EQ(h->incidentFace < 0, e->incidentFace < 0) << "mixed loop";
            h = h->next;
            ++steps;
        } while (h != e && steps <= polyhedra.GetEdgeCount());
        ASSERT_EQ(h, e) << "loop does not close";
    }
    ASSERT_EQ(count, polyhedra.GetEdgeCount());
}

// Calls visit(edge) for every half-edge on a face loop (not on a boundary).
template <class Visit>
void ForEachFaceEdge(const phPolyhedra& polyhedra, Visit&& visit) {
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        if (node->info.incidentFace >= 0) {
            visit(node->info);
        }
    }
}

// Number of loops of faces (not boundary) and their total area.
struct FaceSummary {
    int faces = 0;
    int triangles = 0;
    double area = 0.0;
};

inline FaceSummary SummarizeFaces(phPolyhedra& polyhedra, const float* vertices,
                                  int strideInBytes) {
    FaceSummary summary;
    std::set<const phEdge*> seen;
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        const phEdge* e = &node->info;
        if (e->incidentFace < 0 || seen.count(e) != 0) {
            continue;
        }
        int length = 0;
        const phEdge* h = e;
        do {
            seen.insert(h);
            ++length;
            h = h->next;
        } while (h != e);
        ++summary.faces;
        summary.triangles += (length == 3) ? 1 : 0;
        summary.area += 0.5 * phLength(polyhedra.FaceNormal(e, vertices, strideInBytes));
    }
    return summary;
}

#endif
