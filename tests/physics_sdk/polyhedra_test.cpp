#include "collision/polyhedra.h"

#include "counting_allocator.h"
#include "polyhedra_checker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kStride = 3 * sizeof(float);

TEST(PolyhedraTest, SingleTriangleGetsOneBoundaryLoop) {
    phPolyhedra polyhedra;
    phEdge* face = polyhedra.AddFace(0, 1, 2);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->incidentFace, 1);
    polyhedra.EndFace();
    CheckPolyhedra(polyhedra);
    EXPECT_EQ(polyhedra.GetEdgeCount(), 6);
    const phEdge* boundary = polyhedra.FindEdge(1, 0);
    ASSERT_NE(boundary, nullptr);
    EXPECT_EQ(boundary->incidentFace, -1);
    EXPECT_EQ(boundary->twin, polyhedra.FindEdge(0, 1));
    // One loop of three boundary half-edges: 1->0, 0->2, 2->1.
    EXPECT_EQ(boundary->next, polyhedra.FindEdge(0, 2));
    EXPECT_EQ(boundary->next->next, polyhedra.FindEdge(2, 1));
    EXPECT_EQ(boundary->next->next->next, boundary);

    phPolyhedraStatistics statistics;
    polyhedra.GetStatistics(statistics);
    EXPECT_EQ(statistics.loopCount, 2);
    EXPECT_EQ(statistics.edgeCount, 6);
    EXPECT_EQ(statistics.vertexCount, 3);
    EXPECT_EQ(statistics.vertexIndexRange, 3);
    ASSERT_EQ(statistics.boundaryLoops.GetCount(), 1u);
    EXPECT_EQ(statistics.boundaryLoops.GetFirst()->info->incidentFace, -1);
    EXPECT_GE(polyhedra.GetMark(), 8);
}

TEST(PolyhedraTest, RefusedFacesLeaveThePolyhedraUnchanged) {
    phPolyhedra polyhedra;
    ASSERT_NE(polyhedra.AddFace(0, 1, 2), nullptr);
    struct Case {
        const char* name;
        std::vector<int32_t> indices;
    };
    const Case cases[] = {
        {"same triangle again", {0, 1, 2}},          {"rotated copy", {1, 2, 0}},
        {"equal consecutive indices", {3, 4, 4, 5}}, {"first equals last", {3, 4, 5, 3}},
        {"edge used twice", {3, 4, 5, 4, 6}},        {"two corners", {7, 8}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(polyhedra.AddFace(int(c.indices.size()), c.indices.data()), nullptr) << c.name;
        EXPECT_EQ(polyhedra.GetEdgeCount(), 3) << c.name;
        EXPECT_EQ(polyhedra.GetFaceIdCounter(), 1) << c.name;
    }
    // The reversed triangle is a different face and is accepted.
    EXPECT_NE(polyhedra.AddFace(0, 2, 1), nullptr);
}

TEST(PolyhedraTest, UserDataFollowsTheCornersAndEdgesCanBeAddedAndDeleted) {
    phPolyhedra polyhedra;
    const int32_t square[] = {0, 1, 2, 3};
    const uint64_t data[] = {10, 11, 12, 13};
    polyhedra.AddFace(4, square, data);
    EXPECT_EQ(polyhedra.FindEdge(2, 3)->userData, 12u);
    EXPECT_EQ(polyhedra.FindEdge(3, 0)->userData, 13u);
    EXPECT_EQ(polyhedra.AddHalfEdge(0, 1), nullptr);
    phEdge* added = polyhedra.AddHalfEdge(5, 6);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->incidentFace, -1);
    EXPECT_EQ(added->twin, nullptr);
}

// Vertices of a grid of cells x cells unit squares in the plane z = 0.
std::vector<float> GridVertices(int cells) {
    std::vector<float> v;
    for (int y = 0; y <= cells; ++y) {
        for (int x = 0; x <= cells; ++x) {
            v.insert(v.end(), {float(x), float(y), 0.0f});
        }
    }
    return v;
}

int GridIndex(int cells, int x, int y) { return y * (cells + 1) + x; }

// Adds each cell of the grid as a quad, counter-clockwise seen from +z, and
// ends the faces. False when a quad was refused.
bool AddGridQuads(phPolyhedra& polyhedra, int cells) {
    bool added = true;
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            const int32_t quad[] = {GridIndex(cells, x, y), GridIndex(cells, x + 1, y),
                                    GridIndex(cells, x + 1, y + 1), GridIndex(cells, x, y + 1)};
            added = polyhedra.AddFace(4, quad) != nullptr && added;
        }
    }
    polyhedra.EndFace();
    return added;
}

// Adds each cell of the grid as two triangles split along the diagonal from
// (x, y) to (x + 1, y + 1), and ends the faces.
void AddGridTriangles(phPolyhedra& polyhedra, int cells) {
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            polyhedra.AddFace(GridIndex(cells, x, y), GridIndex(cells, x + 1, y),
                              GridIndex(cells, x + 1, y + 1));
            polyhedra.AddFace(GridIndex(cells, x, y), GridIndex(cells, x + 1, y + 1),
                              GridIndex(cells, x, y + 1));
        }
    }
    polyhedra.EndFace();
}

TEST(PolyhedraTest, DeleteEdgeJoinsFacesAndDeleteFaceLeavesNoDoubleBoundary) {
    const int cells = 2;
    const std::vector<float> vertices = GridVertices(cells);
    phPolyhedra polyhedra;
    ASSERT_TRUE(AddGridQuads(polyhedra, cells));
    CheckPolyhedra(polyhedra);
    EXPECT_EQ(polyhedra.GetEdgeCount(), 24);

    // Joining the two lower squares gives one loop of six.
    polyhedra.DeleteEdge(polyhedra.FindEdge(GridIndex(cells, 1, 0), GridIndex(cells, 1, 1)));
    CheckPolyhedra(polyhedra);
    EXPECT_EQ(SummarizeFaces(polyhedra, vertices.data(), kStride).faces, 3);

    // Deleting a corner square removes its two outer edges with it.
    phEdge* corner = polyhedra.FindEdge(GridIndex(cells, 1, 2), GridIndex(cells, 0, 2));
    polyhedra.DeleteFace(corner);
    CheckPolyhedra(polyhedra);
    EXPECT_EQ(polyhedra.FindEdge(GridIndex(cells, 1, 2), GridIndex(cells, 0, 2)), nullptr);
    const FaceSummary summary = SummarizeFaces(polyhedra, vertices.data(), kStride);
    EXPECT_EQ(summary.faces, 2);
    EXPECT_NEAR(summary.area, 3.0, 1e-6);
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        EXPECT_FALSE(node->info.incidentFace < 0 && node->info.twin->incidentFace < 0);
    }
}

TEST(PolyhedraTest, FaceNormalIsTwiceTheArea) {
    const float vertices[] = {0, 0, 0, 2, 0, 0, 2, 3, 0, 0, 3, 0};
    phPolyhedra polyhedra;
    const int32_t quad[] = {0, 1, 2, 3};
    phEdge* face = polyhedra.AddFace(4, quad);
    const phVector n = polyhedra.FaceNormal(face, vertices, kStride);
    EXPECT_FLOAT_EQ(n.z, 12.0f);
    EXPECT_FLOAT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.w, 0.0f);
}

TEST(PolyhedraTriangulateTest, ConvexAndLShapedFaces) {
    // Convex quadrilateral, and the L-shaped hexagon
    // (0,0) (2,0) (2,1) (1,1) (1,2) (0,2), whose corner at (1,1) is reflex.
    struct Case {
        const char* name;
        std::vector<float> vertices;
        int count;
        double area;
    };
    const Case cases[] = {
        {"convex quad", {0, 0, 0, 2, 0, 0, 2.5f, 1, 0, 0, 1, 0}, 4, 2.25},
        {"L-shaped hexagon", {0, 0, 0, 2, 0, 0, 2, 1, 0, 1, 1, 0, 1, 2, 0, 0, 2, 0}, 6, 3.0},
        {"convex octagon",
         {2, 0, 0, 3, 1, 0, 3, 2, 0, 2, 3, 0, 1, 3, 0, 0, 2, 0, 0, 1, 0, 1, 0, 0},
         8,
         7.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        phPolyhedra polyhedra;
        std::vector<int32_t> indices;
        std::vector<uint64_t> data;
        for (int i = 0; i < c.count; ++i) {
            indices.push_back(i);
            data.push_back(100 + i);
        }
        polyhedra.AddFace(c.count, indices.data(), data.data());
        polyhedra.EndFace();
        polyhedra.Triangulate(c.vertices.data(), kStride, nullptr);
        CheckPolyhedra(polyhedra);
        const FaceSummary summary = SummarizeFaces(polyhedra, c.vertices.data(), kStride);
        EXPECT_EQ(summary.faces, c.count - 2);
        EXPECT_EQ(summary.triangles, c.count - 2);
        EXPECT_NEAR(summary.area, c.area, 1e-5);
        ForEachFaceEdge(polyhedra, [&](const phEdge& e) {
            // Every triangle keeps the polygon's face id, faces the same way,
            // and each corner keeps the user word of its vertex.
            EXPECT_EQ(e.incidentFace, 1);
            EXPECT_EQ(e.userData, 100u + e.incidentVertex);
            EXPECT_GT(polyhedra.FaceNormal(&e, c.vertices.data(), kStride).z, 0.0f);
        });
    }
}

TEST(PolyhedraTriangulateTest, ConvexQuadIsCutAtItsMostConvexCorner) {
    // The corner at vertex 1 is the sharpest turn; its ear is (0, 1, 2), so
    // the diagonal runs between vertices 0 and 2.
    const float vertices[] = {0, 0, 0, 4, 0, 0, 1, 1, 0, 0, 1, 0};
    phPolyhedra polyhedra;
    const int32_t quad[] = {0, 1, 2, 3};
    polyhedra.AddFace(4, quad);
    polyhedra.EndFace();
    polyhedra.Triangulate(vertices, kStride, nullptr);
    CheckPolyhedra(polyhedra);
    EXPECT_NE(polyhedra.FindEdge(0, 2), nullptr);
    EXPECT_EQ(polyhedra.FindEdge(1, 3), nullptr);
}

TEST(PolyhedraTriangulateTest, DegenerateFaceGoesToTheLeftover) {
    // Four collinear points: no normal, so the face cannot be triangulated.
    const float vertices[] = {0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 0, 1, 0};
    phPolyhedra polyhedra;
    const int32_t line[] = {0, 1, 2, 3};
    polyhedra.AddFace(4, line);
    polyhedra.AddFace(0, 4, 1);
    polyhedra.EndFace();
    phPolyhedra leftover;
    polyhedra.Triangulate(vertices, kStride, &leftover);
    CheckPolyhedra(polyhedra);
    EXPECT_EQ(SummarizeFaces(polyhedra, vertices, kStride).faces, 1);
    EXPECT_EQ(leftover.GetEdgeCount(), 4);
    EXPECT_NE(leftover.FindEdge(0, 1), nullptr);
}

TEST(PolyhedraTest, RemoveSmallFacesDropsOnlyTinyFaces) {
    const float vertices[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1e-5f, 0};
    phPolyhedra polyhedra;
    polyhedra.AddFace(0, 1, 2);
    polyhedra.AddFace(1, 0, 3);  // a sliver below the edge 0-1
    polyhedra.EndFace();
    polyhedra.RemoveSmallFaces(vertices, kStride, 1e-4f);
    CheckPolyhedra(polyhedra);
    const FaceSummary summary = SummarizeFaces(polyhedra, vertices, kStride);
    EXPECT_EQ(summary.faces, 1);
    EXPECT_NEAR(summary.area, 0.5, 1e-6);
}

TEST(PolyhedraMergeTest, TwoTrianglesOfASquareBecomeOneQuad) {
    const float vertices[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    phPolyhedra polyhedra;
    polyhedra.AddFace(0, 1, 2);
    polyhedra.AddFace(0, 2, 3);
    polyhedra.EndFace();
    EXPECT_TRUE(polyhedra.MergeCoplanarFaces(vertices, kStride));
    CheckPolyhedra(polyhedra);
    const FaceSummary summary = SummarizeFaces(polyhedra, vertices, kStride);
    EXPECT_EQ(summary.faces, 1);
    EXPECT_NEAR(summary.area, 1.0, 1e-6);
    EXPECT_EQ(polyhedra.FindEdge(0, 2), nullptr);
    // Nothing left to merge.
    EXPECT_FALSE(polyhedra.MergeCoplanarFaces(vertices, kStride));
}

TEST(PolyhedraMergeTest, LOfThreeSquaresKeepsTheEdgeAtItsReflexCorner) {
    // Squares A (0,0)-(1,1), B (1,0)-(2,1), C (0,1)-(1,2); the merged outline
    // would have a reflex corner at (1,1), so one of the inner edges stays.
    const float vertices[] = {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0,
                              1, 1, 0, 2, 1, 0, 0, 2, 0, 1, 2, 0};
    phPolyhedra polyhedra;
    const int32_t a[] = {0, 1, 4, 3};
    const int32_t b[] = {1, 2, 5, 4};
    const int32_t c[] = {3, 4, 7, 6};
    polyhedra.AddFace(4, a);
    polyhedra.AddFace(4, b);
    polyhedra.AddFace(4, c);
    polyhedra.EndFace();
    EXPECT_TRUE(polyhedra.MergeCoplanarFaces(vertices, kStride));
    CheckPolyhedra(polyhedra);
    const FaceSummary summary = SummarizeFaces(polyhedra, vertices, kStride);
    EXPECT_EQ(summary.faces, 2);
    EXPECT_NEAR(summary.area, 3.0, 1e-6);
    const bool abKept = polyhedra.FindEdge(1, 4) != nullptr;
    const bool acKept = polyhedra.FindEdge(4, 3) != nullptr;
    EXPECT_NE(abKept, acKept);
}

TEST(PolyhedraMergeTest, FlatGridMergesIntoConvexPolygonsWithoutSpikes) {
    // Merging the faces around an interior vertex can leave its last edge
    // as a spike running out to it and straight back; the merge removes it,
    // so every merged loop is a convex polygon. The grid's vertices are
    // numbered in several orders, which changes the order of the merge.
    const int cells = 10;
    const int count = (cells + 1) * (cells + 1);
    const std::vector<float> grid = GridVertices(cells);
    std::mt19937 random(3);
    for (int order = 0; order < 8; ++order) {
        SCOPED_TRACE(order);
        std::vector<int32_t> number(count);
        for (int i = 0; i < count; ++i) {
            number[i] = i;
        }
        if (order > 0) {
            std::shuffle(number.begin(), number.end(), random);
        }
        std::vector<float> vertices(grid.size());
        for (int i = 0; i < count; ++i) {
            std::copy(&grid[3 * i], &grid[3 * i + 3], &vertices[3 * number[i]]);
        }
        phPolyhedra polyhedra;
        for (int y = 0; y < cells; ++y) {
            for (int x = 0; x < cells; ++x) {
                const int32_t quad[] = {
                    number[GridIndex(cells, x, y)], number[GridIndex(cells, x + 1, y)],
                    number[GridIndex(cells, x + 1, y + 1)], number[GridIndex(cells, x, y + 1)]};
                polyhedra.AddFace(4, quad);
            }
        }
        polyhedra.EndFace();
        polyhedra.Triangulate(vertices.data(), kStride, nullptr);
        for (int pass = 0; pass < 2; ++pass) {
            if (!polyhedra.MergeCoplanarFaces(vertices.data(), kStride)) {
                break;
            }
        }
        CheckPolyhedra(polyhedra);
        const FaceSummary summary = SummarizeFaces(polyhedra, vertices.data(), kStride);
        EXPECT_LT(summary.faces, cells * cells);
        EXPECT_NEAR(summary.area, double(cells * cells), 1e-5);
        ForEachFaceEdge(polyhedra, [&](const phEdge& e) {
            EXPECT_NE(e.next, e.twin) << "spike at vertex " << e.twin->incidentVertex;
            const phVector p = phVector(&vertices[3 * e.prev->incidentVertex]);
            const phVector v = phVector(&vertices[3 * e.incidentVertex]);
            const phVector n = phVector(&vertices[3 * e.next->incidentVertex]);
            EXPECT_GE(phCross(v - p, n - v).z, 0.0f) << "reflex corner at " << e.incidentVertex;
        });
    }
}

TEST(PolyhedraMergeTest, GentlyCurvedSurfaceMergesOnlyIntoFlatPolygons) {
    // On z = 0.001 x² neighbouring faces differ by far less than the angle
    // tolerance, and so do runs of several faces, while the surface bends a
    // few hundredths away from the plane of the first one: merged polygons
    // must stay flat all the same.
    const int cells = 30;
    std::vector<float> vertices = GridVertices(cells);
    for (size_t i = 0; i < vertices.size(); i += 3) {
        vertices[i + 2] = 0.001f * vertices[i] * vertices[i];
    }
    phPolyhedra polyhedra;
    AddGridTriangles(polyhedra, cells);
    const double area = SummarizeFaces(polyhedra, vertices.data(), kStride).area;
    for (int pass = 0; pass < 2; ++pass) {
        if (!polyhedra.MergeCoplanarFaces(vertices.data(), kStride)) {
            break;
        }
    }
    CheckPolyhedra(polyhedra);
    const FaceSummary summary = SummarizeFaces(polyhedra, vertices.data(), kStride);
    EXPECT_LT(summary.faces, 2 * cells * cells);
    EXPECT_NEAR(summary.area, area, area * 1e-6);
    double worst = 0.0;
    ForEachFaceEdge(polyhedra, [&](const phEdge& e) {
        // The corner's distance from the plane of its face.
        const phVector n = polyhedra.FaceNormal(&e, vertices.data(), kStride);
        const phVector corner = phVector(&vertices[3 * e.incidentVertex]);
        const phVector other = phVector(&vertices[3 * e.next->next->incidentVertex]);
        worst = std::max(worst, double(std::fabs(phDot(other - corner, n)) / phLength(n)));
    });
    EXPECT_LT(worst, 2e-4);
}

TEST(PolyhedraMergeTest, FacesAtAnAngleStaySeparate) {
    const float vertices[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0.05f};
    phPolyhedra polyhedra;
    polyhedra.AddFace(0, 1, 2);
    polyhedra.AddFace(0, 2, 3);
    polyhedra.EndFace();
    EXPECT_FALSE(polyhedra.MergeCoplanarFaces(vertices, kStride));
    EXPECT_EQ(SummarizeFaces(polyhedra, vertices, kStride).faces, 2);
}

TEST(PolyhedraCollapseTest, CollapseMovesTheOriginOntoTheEnd) {
    // A fan of four triangles around the centre vertex 4 of a square.
    const int32_t centre = 4;
    phPolyhedra polyhedra;
    polyhedra.AddFace(0, 1, centre);
    polyhedra.AddFace(1, 2, centre);
    polyhedra.AddFace(2, 3, centre);
    polyhedra.AddFace(3, 0, centre);
    polyhedra.EndFace();
    phEdge* edge = polyhedra.FindEdge(centre, 0);
    phEdge* keep = polyhedra.FindEdge(2, 3);  // far from the edge: must not move
    // Re-keyed from 4->2 and 2->4 to 0->2 and 2->0: same records, new keys.
    phEdge* rekeyedOut = polyhedra.FindEdge(centre, 2);
    phEdge* rekeyedIn = polyhedra.FindEdge(2, centre);
    phEdge* survivor = polyhedra.CollapseEdge(edge);
    ASSERT_NE(survivor, nullptr);
    EXPECT_EQ(survivor->incidentVertex, 0);
    CheckPolyhedra(polyhedra);
    EXPECT_EQ(polyhedra.FindEdge(2, 3), keep);
    // Two triangles are left, both now at vertex 0; vertex 4 is gone.
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        EXPECT_NE(node->info.incidentVertex, centre);
    }
    EXPECT_EQ(polyhedra.FindEdge(0, 2), rekeyedOut);
    EXPECT_EQ(polyhedra.FindEdge(2, 0), rekeyedIn);
    EXPECT_EQ(rekeyedOut->incidentVertex, 0);
    EXPECT_EQ(polyhedra.GetEdgeCount(), 10);
}

TEST(PolyhedraCollapseTest, RefusedCollapses) {
    {
        // A triangle with both sides as faces: collapsing would double edges.
        phPolyhedra polyhedra;
        polyhedra.AddFace(0, 1, 2);
        polyhedra.AddFace(1, 0, 2);
        polyhedra.EndFace();
        CheckPolyhedra(polyhedra);
        EXPECT_EQ(polyhedra.CollapseEdge(polyhedra.FindEdge(0, 1)), nullptr);
        CheckPolyhedra(polyhedra);
        EXPECT_EQ(polyhedra.GetEdgeCount(), 6);
    }
    {
        // Vertex 4 neighbours vertex 0 and already has an edge to vertex 1,
        // and it is not a corner of the triangles on either side of 0-1.
        phPolyhedra polyhedra;
        ASSERT_NE(polyhedra.AddFace(0, 1, 2), nullptr);
        ASSERT_NE(polyhedra.AddFace(1, 0, 3), nullptr);
        ASSERT_NE(polyhedra.AddFace(0, 4, 3), nullptr);
        ASSERT_NE(polyhedra.AddFace(1, 4, 5), nullptr);
        polyhedra.EndFace();
        CheckPolyhedra(polyhedra);
        const int before = polyhedra.GetEdgeCount();
        EXPECT_EQ(polyhedra.CollapseEdge(polyhedra.FindEdge(0, 1)), nullptr);
        EXPECT_EQ(polyhedra.GetEdgeCount(), before);
        CheckPolyhedra(polyhedra);
    }
}

TEST(PolyhedraSimplifyTest, FlatGridKeepsItsAreaAndOutline) {
    const int cells = 4;
    const std::vector<float> vertices = GridVertices(cells);
    phPolyhedra polyhedra;
    AddGridTriangles(polyhedra, cells);
    const int before = SummarizeFaces(polyhedra, vertices.data(), kStride).faces;
    polyhedra.SimplifyByQuadrics(vertices.data(), kStride, 0.001f);
    CheckPolyhedra(polyhedra);
    const FaceSummary summary = SummarizeFaces(polyhedra, vertices.data(), kStride);
    EXPECT_LT(summary.faces, before);
    EXPECT_NEAR(summary.area, 16.0, 1e-4);
    // The four corners stay.
    for (int corner : {GridIndex(cells, 0, 0), GridIndex(cells, cells, 0),
                       GridIndex(cells, 0, cells), GridIndex(cells, cells, cells)}) {
        bool present = false;
        for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
            present = present || node->info.incidentVertex == corner;
        }
        EXPECT_TRUE(present) << corner;
    }
    // The simplification leaves every user word cleared.
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        EXPECT_EQ(node->info.userData, 0u);
    }
}

TEST(PolyhedraSimplifyTest, OptimizeTurnsAGridOfQuadsIntoConvexPolygons) {
    ScopedCountingAllocator scope;
    {
        const int cells = 3;
        const std::vector<float> vertices = GridVertices(cells);
        phPolyhedra polyhedra;
        ASSERT_TRUE(AddGridQuads(polyhedra, cells));
        polyhedra.Optimize(vertices.data(), kStride, nullptr);
        CheckPolyhedra(polyhedra);
        const FaceSummary summary = SummarizeFaces(polyhedra, vertices.data(), kStride);
        EXPECT_NEAR(summary.area, 9.0, 1e-4);
        EXPECT_LE(summary.faces, 2);
    }
    // Every node went back to the pool, and the pool's pages to the callbacks.
    phReleaseMemoryCaches();
    EXPECT_TRUE(CountingAllocator::Blocks().empty());
}

TEST(PolyhedraSimplifyTest, ClosedBoxKeepsItsShape) {
    // A cube with each face split into four triangles around a face centre:
    // the centres are flat and collapse, the corners are not.
    std::vector<float> vertices;
    auto add = [&](float x, float y, float z) {
        vertices.insert(vertices.end(), {x, y, z});
        return int32_t(vertices.size() / 3 - 1);
    };
    int32_t corner[8];
    for (int i = 0; i < 8; ++i) {
        corner[i] = add((i & 1) ? -1.f : 1.f, (i & 2) ? -1.f : 1.f, (i & 4) ? -1.f : 1.f);
    }
    const int faces[6][4] = {{0, 4, 5, 1}, {0, 1, 3, 2}, {1, 5, 7, 3},
                             {5, 4, 6, 7}, {4, 0, 2, 6}, {6, 2, 3, 7}};
    phPolyhedra polyhedra;
    for (const auto& f : faces) {
        float c[3] = {0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            for (int a = 0; a < 3; ++a) {
                c[a] += vertices[corner[f[k]] * 3 + a] / 4;
            }
        }
        const int32_t centre = add(c[0], c[1], c[2]);
        for (int k = 0; k < 4; ++k) {
            polyhedra.AddFace(corner[f[k]], corner[f[(k + 1) % 4]], centre);
        }
    }
    polyhedra.EndFace();
    polyhedra.SimplifyByQuadrics(vertices.data(), kStride, 0.001f);
    CheckPolyhedra(polyhedra);
    const FaceSummary summary = SummarizeFaces(polyhedra, vertices.data(), kStride);
    EXPECT_NEAR(summary.area, 24.0, 1e-3);
    EXPECT_EQ(summary.faces, 12);
}

// A height field of cells x 3 unit cells, as triangles, starting at x0: flat
// for the first third, then rolling hills with slopes up to 0.3.
std::vector<float> TerrainVertices(float x0, int cells) {
    std::vector<float> v;
    for (int y = 0; y <= 3; ++y) {
        for (int x = 0; x <= cells; ++x) {
            const float height = x < cells / 3 ? 0.0f : float(std::sin((x - cells / 3) * 0.3));
            v.insert(v.end(), {x0 + float(x), float(y), height});
        }
    }
    return v;
}

void AddTerrainTriangles(phPolyhedra& polyhedra, int cells) {
    const int row = cells + 1;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < cells; ++x) {
            const int32_t a = y * row + x;
            polyhedra.AddFace(a, a + 1, a + row + 1);
            polyhedra.AddFace(a, a + row + 1, a + row);
        }
    }
    polyhedra.EndFace();
}

TEST(PolyhedraSimplifyTest, TerrainFarFromTheOriginSimplifiesAsAtTheOrigin) {
    // Collapse costs are differences of large numbers far from the origin;
    // the same terrain must simplify the same way wherever it lies, without
    // folding a face or losing area.
    const int cells = 60;
    const double outline = 3.0 * cells;
    int facesAtOrigin = -1;
    for (const float x0 : {0.0f, 4000.0f, -3600.0f}) {
        SCOPED_TRACE(x0);
        const std::vector<float> vertices = TerrainVertices(x0, cells);
        phPolyhedra polyhedra;
        AddTerrainTriangles(polyhedra, cells);
        const double before = SummarizeFaces(polyhedra, vertices.data(), kStride).area;
        polyhedra.SimplifyByQuadrics(vertices.data(), kStride, 0.001f);
        CheckPolyhedra(polyhedra);
        const FaceSummary summary = SummarizeFaces(polyhedra, vertices.data(), kStride);
        EXPECT_LT(summary.faces, 4 * cells);
        EXPECT_NEAR(summary.area, before, before * 1e-3);
        double projected = 0.0;
        ForEachFaceEdge(polyhedra, [&](const phEdge& e) {
            const phVector n = polyhedra.FaceNormal(&e, vertices.data(), kStride);
            // Each face is counted once per corner.
            projected += 0.5 * n.z / 3.0;
            EXPECT_GT(n.z, 0.9f * phLength(n)) << "face " << e.incidentFace << " turned";
        });
        EXPECT_NEAR(projected, outline, 1e-3);
        if (facesAtOrigin < 0) {
            facesAtOrigin = summary.faces;
        }
        EXPECT_EQ(summary.faces, facesAtOrigin);
    }
}

}  // namespace

namespace {

// Picks the n-th half-edge in key order.
phEdge* NthEdge(phPolyhedra& polyhedra, int n) {
    auto* node = polyhedra.First();
    for (int i = 0; i < n; ++i) {
        node = phPolyhedra::Next(node);
    }
    return &node->info;
}

TEST(PolyhedraCollapseTest, RandomCollapsesKeepTheInvariants) {
    std::mt19937 random(11);
    int collapses = 0;
    for (int round = 0; round < 6; ++round) {
        const int cells = 5;
        phPolyhedra polyhedra;
        AddGridTriangles(polyhedra, cells);
        for (int step = 0; step < 40 && polyhedra.GetEdgeCount() > 0; ++step) {
            phEdge* edge = NthEdge(polyhedra, int(random() % polyhedra.GetEdgeCount()));
            const int32_t gone = edge->incidentVertex;
            const int32_t kept = edge->twin->incidentVertex;
            const int before = polyhedra.GetEdgeCount();
            phEdge* survivor = polyhedra.CollapseEdge(edge);
            CheckPolyhedra(polyhedra);
            if (HasFatalFailure()) {
                return;
            }
            if (survivor == nullptr) {
                EXPECT_EQ(polyhedra.GetEdgeCount(), before);
                continue;
            }
            ++collapses;
            EXPECT_EQ(survivor->incidentVertex, kept);
            EXPECT_LT(polyhedra.GetEdgeCount(), before);
            for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
                ASSERT_NE(node->info.incidentVertex, gone);
            }
        }
    }
    // Most random picks are allowed; the refusals are the exception.
    EXPECT_GT(collapses, 100);
}

TEST(PolyhedraTest, RandomFaceDeletionsKeepTheInvariants) {
    std::mt19937 random(5);
    const int cells = 4;
    phPolyhedra polyhedra;
    ASSERT_TRUE(AddGridQuads(polyhedra, cells));
    for (int step = 0; step < 30 && polyhedra.GetEdgeCount() > 0; ++step) {
        phEdge* edge = NthEdge(polyhedra, int(random() % polyhedra.GetEdgeCount()));
        if (edge->incidentFace < 0) {
            continue;
        }
        polyhedra.DeleteFace(edge);
        CheckPolyhedra(polyhedra);
        if (HasFatalFailure()) {
            return;
        }
    }
}

}  // namespace
