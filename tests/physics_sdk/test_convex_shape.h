// A convex shape for tests: its polyhedron comes from a vertex list and faces
// given counter-clockwise from outside; the support vertex is found by brute
// force.
#ifndef TESTS_PHYSICS_SDK_TEST_CONVEX_SHAPE_H
#define TESTS_PHYSICS_SDK_TEST_CONVEX_SHAPE_H

#include "collision/convex_collision.h"
#include "core/memory.h"

#include <map>
#include <utility>
#include <vector>

class TestConvexShape : public phConvexCollision {
public:
    TestConvexShape(const std::vector<phVector>& vertices,
                    const std::vector<std::vector<int>>& faces, const phMatrix& offset = phMatrix())
        : phConvexCollision(0, offset, kCollisionConvexHull) {
        size_t edgeCount = 0;
        for (const auto& face : faces) {
            edgeCount += face.size();
        }
        auto* vertexArray = static_cast<phVector*>(phMalloc(sizeof(phVector) * vertices.size()));
        for (size_t i = 0; i < vertices.size(); ++i) {
            vertexArray[i] = vertices[i];
        }
        auto* edges = static_cast<phConvexEdge*>(phMalloc(sizeof(phConvexEdge) * edgeCount));
        std::map<std::pair<int, int>, phConvexEdge*> byEnds;
        size_t next = 0;
        for (const auto& face : faces) {
            const size_t first = next;
            for (size_t i = 0; i < face.size(); ++i) {
                phConvexEdge& e = edges[next + i];
                e.mark = 0;
                e.vertex = face[i];
                e.twin = nullptr;
                e.next = &edges[first + (i + 1) % face.size()];
                e.prev = &edges[first + (i + face.size() - 1) % face.size()];
                byEnds[{face[i], face[(i + 1) % face.size()]}] = &e;
            }
            next += face.size();
        }
        for (auto& [ends, edge] : byEnds) {
            edge->twin = byEnds.at({ends.second, ends.first});
        }
        SetPolyhedron(vertexArray, static_cast<int>(vertices.size()), edges,
                      static_cast<int>(edgeCount));
        CalculateVolumeAndCentre();
    }

    float RayCast(const phVector&, const phVector&, phRayHit&) const override { return 1.2f; }
    uint32_t GetSignature() const override { return 0; }

    phVector SupportVertex(const phVector& dir) const override {
        int best = 0;
        for (int i = 1; i < m_vertexCount; ++i) {
            if (phDot(m_vertices[i], dir) > phDot(m_vertices[best], dir)) {
                best = i;
            }
        }
        return m_vertices[best];
    }
};

// An axis-aligned box of the given half sizes centred on c.
inline TestConvexShape* MakeTestBox(const phVector& half, const phVector& c = phVector(0, 0, 0)) {
    std::vector<phVector> corners;
    for (int i = 0; i < 8; ++i) {
        corners.push_back(phVector(c.x + ((i & 1) ? -half.x : half.x),
                                   c.y + ((i & 2) ? -half.y : half.y),
                                   c.z + ((i & 4) ? -half.z : half.z)));
    }
    return new TestConvexShape(
        corners,
        {{0, 4, 5, 1}, {0, 1, 3, 2}, {1, 5, 7, 3}, {5, 4, 6, 7}, {4, 0, 2, 6}, {6, 2, 3, 7}});
}

#endif
