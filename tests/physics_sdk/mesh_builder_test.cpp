#include "collision/mesh_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace {

struct P {
    float x, y, z;
};

using Face = std::vector<P>;

struct BuiltFace {
    int attribute;
    std::vector<int> indices;
};

std::vector<BuiltFace> Faces(const phMeshBuilder& builder) {
    std::vector<BuiltFace> faces;
    const int32_t* run = builder.GetIndices();
    for (int f = 0; f < builder.GetFaceCount(); ++f) {
        const int length = builder.GetRunLengths()[f];
        faces.push_back({run[0], std::vector<int>(run + 1, run + length)});
        run += length;
    }
    return faces;
}

void Add(phMeshBuilder& builder, const Face& face, int attribute = 0) {
    builder.AddFace(static_cast<int>(face.size()), &face[0].x, sizeof(P), attribute);
}

P Vertex(const phMeshBuilder& builder, int i) {
    const float* v = builder.GetVertices() + 3 * i;
    return {v[0], v[1], v[2]};
}

struct D3 {
    double x, y, z;
};

D3 Sub(const P& a, const P& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3 Cross(const D3& a, const D3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const D3& a, const D3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Twice the face's area along its normal.
D3 AreaVector(const phMeshBuilder& builder, const std::vector<int>& face) {
    D3 sum = {0, 0, 0};
    const P p0 = Vertex(builder, face[0]);
    for (size_t i = 1; i + 1 < face.size(); ++i) {
        const D3 c =
            Cross(Sub(Vertex(builder, face[i]), p0), Sub(Vertex(builder, face[i + 1]), p0));
        sum = {sum.x + c.x, sum.y + c.y, sum.z + c.z};
    }
    return sum;
}

double TotalArea(const phMeshBuilder& builder) {
    double area = 0.0;
    for (const BuiltFace& face : Faces(builder)) {
        area += 0.5 * std::sqrt(Dot(AreaVector(builder, face.indices),
                                    AreaVector(builder, face.indices)));
    }
    return area;
}

// Every vertex lies in the plane of the face, and every corner turns the
// same way as the face's normal.
void ExpectPlanarConvex(const phMeshBuilder& builder, const std::vector<int>& face) {
    const D3 n = AreaVector(builder, face);
    const double length = std::sqrt(Dot(n, n));
    ASSERT_GT(length, 0.0);
    const D3 unit = {n.x / length, n.y / length, n.z / length};
    const P p0 = Vertex(builder, face[0]);
    const size_t count = face.size();
    for (size_t i = 0; i < count; ++i) {
        EXPECT_NEAR(Dot(Sub(Vertex(builder, face[i]), p0), unit), 0.0, 1e-4);
        const P a = Vertex(builder, face[(i + count - 1) % count]);
        const P b = Vertex(builder, face[i]);
        const P c = Vertex(builder, face[(i + 1) % count]);
        EXPECT_GT(Dot(Cross(Sub(b, a), Sub(c, b)), unit), 0.0) << "corner " << i;
    }
}

TEST(MeshBuilderTest, SharedEdgeGivenTwiceIsWeldedIntoOneEdge) {
    phMeshBuilder builder;
    builder.Open();
    Add(builder, {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}});
    Add(builder, {{1, 0, 0}, {0, 0, 1}, {1, 0, 1}});
    builder.Close(false);
    ASSERT_EQ(builder.GetFaceCount(), 2);
    EXPECT_EQ(builder.GetVertexCount(), 4);
    EXPECT_EQ(builder.GetIndexCount(), 8);
    const auto faces = Faces(builder);
    std::set<int> used(faces[0].indices.begin(), faces[0].indices.end());
    used.insert(faces[1].indices.begin(), faces[1].indices.end());
    EXPECT_EQ(used.size(), 4u);
}

TEST(MeshBuilderTest, WeldsVerticesWithinTheTolerance) {
    struct Case {
        float offset;
        int vertices;
    };
    for (const Case& c : {Case{0.0005f, 4}, Case{0.002f, 5}}) {
        phMeshBuilder builder;
        builder.Open();
        Add(builder, {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}});
        Add(builder, {{1 + c.offset, 0, 0}, {0, 0, 1}, {1, 0, 1}});
        builder.Close(false);
        EXPECT_EQ(builder.GetFaceCount(), 2) << c.offset;
        EXPECT_EQ(builder.GetVertexCount(), c.vertices) << c.offset;
    }
}

TEST(MeshBuilderTest, DropsFacesWithoutArea) {
    const std::vector<Face> dropped = {
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}},              // collinear
        {{0, 0, 0}, {0.0004f, 0, 0}, {0, 0, 0.0004f}},  // welds into a point
        {{5, 5, 5}, {5.0002f, 5, 5}, {5, 5.0003f, 5}},  // welds into a point
        {{0, 0, 0}, {1, 0, 0}, {0, 0, 0}},              // a vertex repeated
        {{0, 0, 0}, {0.0001f, 0, 0}, {0, 0, 0.0001f}},  // area far below the limit
    };
    for (const Face& face : dropped) {
        phMeshBuilder builder;
        builder.Open();
        Add(builder, face);
        builder.Close(true);
        EXPECT_EQ(builder.GetFaceCount(), 0);
        EXPECT_EQ(builder.GetIndexCount(), 0);
    }
}

TEST(MeshBuilderTest, TinyFacesAmongOthersAreDroppedAndTheBuildEnds) {
    phMeshBuilder builder;
    builder.Open();
    Add(builder, {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}}, 1);
    Add(builder, {{3, 0, 0}, {3.0002f, 0, 0.0001f}, {3.0001f, 0, 0.0003f}}, 1);
    Add(builder, {{1, 0, 0}, {0, 0, 1}, {1, 0, 1}}, 1);
    builder.Close(true);
    ASSERT_EQ(builder.GetFaceCount(), 1);
    EXPECT_EQ(builder.GetRunLengths()[0], 5);
}

TEST(MeshBuilderTest, CleansRepeatsAndStraightCorners) {
    struct Case {
        Face face;
        int corners;
    };
    const Case cases[] = {
        // A square with a vertex in the middle of one edge.
        {{{0, 0, 0}, {0, 0, 1}, {0.5f, 0, 1}, {1, 0, 1}, {1, 0, 0}}, 4},
        // A square with one vertex given twice in a row.
        {{{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 1}, {1, 0, 0}}, 4},
        // A square whose last vertex repeats the first.
        {{{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}, {0, 0, 0}}, 4},
        // A triangle with three extra points on its edges.
        {{{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {1, 0, 1}, {2, 0, 0}, {1, 0, 0}}, 3},
        // An L-shaped hexagon keeps its reflex corner.
        {{{0, 0, 0}, {0, 0, 2}, {1, 0, 2}, {1, 0, 1}, {2, 0, 1}, {2, 0, 0}}, 6},
    };
    for (const Case& c : cases) {
        phMeshBuilder builder;
        builder.Open();
        Add(builder, c.face);
        builder.Close(false);
        ASSERT_EQ(builder.GetFaceCount(), 1);
        EXPECT_EQ(builder.GetRunLengths()[0], c.corners + 1);
    }
}

// Points of a regular polygon in the plane y = 0, counter-clockwise seen
// from above.
Face RegularPolygon(int count, float radius) {
    Face face;
    for (int i = 0; i < count; ++i) {
        const double angle = -2.0 * M_PI * i / count;
        face.push_back({float(radius * std::cos(angle)), 0.0f, float(radius * std::sin(angle))});
    }
    return face;
}

TEST(MeshBuilderTest, FacesBeyondTheLeafCodeAreRefused) {
    phMeshBuilder builder;
    builder.Open();
    Add(builder, RegularPolygon(kMaxFaceVertices, 50.0f));
    Add(builder, RegularPolygon(kMaxFaceVertices + 1, 50.0f));
    Add(builder, RegularPolygon(300, 50.0f));
    builder.Close(false);
    ASSERT_EQ(builder.GetFaceCount(), 1);
    EXPECT_EQ(builder.GetRunLengths()[0], kMaxFaceVertices + 1);
}

TEST(MeshBuilderTest, MergedPolygonsLongerThanTheLeafCodeAreCut) {
    // A 200-gon given as a fan of triangles from one of its corners: merged,
    // it is one polygon of 200 corners, which must come out in convex pieces
    // of at most 127 vertices that cover the same area.
    const Face rim = RegularPolygon(200, 50.0f);
    phMeshBuilder builder;
    builder.Open();
    for (int i = 1; i + 1 < 200; ++i) {
        Add(builder, {rim[0], rim[i], rim[i + 1]}, 7);
    }
    const double expected = 0.5 * 200 * 50.0 * 50.0 * std::sin(2.0 * M_PI / 200);
    builder.Close(true);
    ASSERT_GE(builder.GetFaceCount(), 2);
    size_t longest = 0;
    for (const BuiltFace& face : Faces(builder)) {
        EXPECT_EQ(face.attribute, 7);
        longest = std::max(longest, face.indices.size());
        ExpectPlanarConvex(builder, face.indices);
    }
    EXPECT_EQ(longest, size_t(kMaxFaceVertices));
    EXPECT_NEAR(TotalArea(builder), expected, expected * 1e-4);
}

TEST(MeshBuilderTest, OptimizingMergesCoplanarTrianglesOfOneAttribute) {
    struct Case {
        int secondAttribute;
        int faces;
        int runLength;
    };
    for (const Case& c : {Case{3, 1, 5}, Case{4, 2, 4}}) {
        phMeshBuilder builder;
        builder.Open();
        Add(builder, {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}}, 3);
        Add(builder, {{1, 0, 0}, {0, 0, 1}, {1, 0, 1}}, c.secondAttribute);
        builder.Close(true);
        ASSERT_EQ(builder.GetFaceCount(), c.faces);
        std::set<int> attributes;
        for (const BuiltFace& face : Faces(builder)) {
            EXPECT_EQ(face.indices.size() + 1, size_t(c.runLength));
            attributes.insert(face.attribute);
        }
        EXPECT_EQ(attributes, (std::set<int>{3, c.secondAttribute}));
        EXPECT_NEAR(TotalArea(builder), 1.0, 1e-6);
    }
}

TEST(MeshBuilderTest, OptimizingKeepsAttributesApartInTheOrderTheyFirstAppear) {
    // A flat strip of unit squares, two triangles each, whose attributes
    // interleave: each attribute's squares merge among themselves only, and
    // the faces come out grouped by attribute, 7 first, then 2, then 5.
    const int attributes[] = {7, 2, 7, 7, 5, 2, 2, 7};
    phMeshBuilder builder;
    builder.Open();
    for (int i = 0; i < 8; ++i) {
        const float x0 = float(i);
        const float x1 = float(i + 1);
        Add(builder, {{x0, 0, 0}, {x0, 0, 1}, {x1, 0, 1}}, attributes[i]);
        Add(builder, {{x0, 0, 0}, {x1, 0, 1}, {x1, 0, 0}}, attributes[i]);
    }
    builder.Close(true);
    const std::vector<int> order = {7, 2, 5};
    size_t group = 0;
    double area[3] = {0.0, 0.0, 0.0};
    for (const BuiltFace& face : Faces(builder)) {
        while (group < order.size() && order[group] != face.attribute) {
            ++group;
        }
        ASSERT_LT(group, order.size()) << "attribute " << face.attribute << " out of order";
        const D3 n = AreaVector(builder, face.indices);
        area[group] += 0.5 * std::sqrt(Dot(n, n));
    }
    EXPECT_NEAR(area[0], 4.0, 1e-6);
    EXPECT_NEAR(area[1], 3.0, 1e-6);
    EXPECT_NEAR(area[2], 1.0, 1e-6);
    EXPECT_LT(builder.GetFaceCount(), 16);
}

// The game's terrain: a strip of quads along x from x = start, one unit deep
// in z, on a height profile; each quad faces up.
void AddTerrainStrip(phMeshBuilder& builder, const std::vector<float>& heights, int attribute,
                     float start = 0.0f) {
    for (size_t i = 0; i + 1 < heights.size(); ++i) {
        const float x0 = start + float(i);
        const float x1 = start + float(i + 1);
        Add(builder,
            {{x0, heights[i], 0},
             {x0, heights[i], 1},
             {x1, heights[i + 1], 1},
             {x1, heights[i + 1], 0}},
            attribute);
    }
}

double StripArea(const std::vector<float>& heights) {
    double area = 0.0;
    for (size_t i = 0; i + 1 < heights.size(); ++i) {
        const double dy = heights[i + 1] - heights[i];
        area += std::sqrt(1.0 + dy * dy);
    }
    return area;
}

TEST(MeshBuilderTest, OptimizedTerrainStripKeepsItsAreaWithPlanarConvexFaces) {
    std::vector<float> hills;
    for (int i = 0; i <= 120; ++i) {
        hills.push_back(
            i < 30 ? 0.0f : (i < 50 ? 0.25f * (i - 30) : (i < 80 ? 5.0f : 5.0f - 0.1f * (i - 80))));
    }
    std::vector<float> bumpy;
    for (int i = 0; i <= 60; ++i) {
        bumpy.push_back(float(std::sin(i * 0.3)) * 2.0f);
    }
    // Long gentle hills: the faces of a whole slope agree in their normals
    // while the slope bends away from any one plane.
    std::vector<float> gentle;
    for (int i = 0; i <= 200; ++i) {
        gentle.push_back(float(std::sin(i * 0.05)));
    }
    // Far from the origin the optimisation must keep the surface as well.
    for (const auto& [heights, start] :
         {std::pair{hills, 0.0f}, std::pair{bumpy, 0.0f}, std::pair{gentle, 0.0f},
          std::pair{hills, 4000.0f}, std::pair{bumpy, -3600.0f}, std::pair{gentle, 4000.0f}}) {
        SCOPED_TRACE(start);
        phMeshBuilder builder;
        builder.Open();
        AddTerrainStrip(builder, heights, 2, start);
        builder.Close(true);
        ASSERT_GT(builder.GetFaceCount(), 0);
        EXPECT_LT(builder.GetFaceCount(), int(heights.size()));
        for (const BuiltFace& face : Faces(builder)) {
            EXPECT_EQ(face.attribute, 2);
            EXPECT_LE(face.indices.size(), size_t(kMaxFaceVertices));
            ExpectPlanarConvex(builder, face.indices);
            EXPECT_GT(AreaVector(builder, face.indices).y, 0.0);
        }
        EXPECT_NEAR(TotalArea(builder), StripArea(heights), StripArea(heights) * 1e-4);
    }
}

TEST(MeshBuilderTest, FlatTerrainStripBecomesOneQuad) {
    phMeshBuilder builder;
    builder.Open();
    AddTerrainStrip(builder, std::vector<float>(301, 1.5f), 0);
    builder.Close(true);
    ASSERT_EQ(builder.GetFaceCount(), 1);
    ASSERT_EQ(builder.GetRunLengths()[0], 5);
    EXPECT_NEAR(TotalArea(builder), 300.0, 1e-3);
}

TEST(MeshBuilderTest, FlatGridMergesIntoFewerConvexFaces) {
    phMeshBuilder builder;
    builder.Open();
    for (int i = 0; i < 10; ++i) {
        for (int k = 0; k < 10; ++k) {
            const float x = float(i);
            const float z = float(k);
            Add(builder, {{x, 2, z}, {x, 2, z + 1}, {x + 1, 2, z + 1}, {x + 1, 2, z}});
        }
    }
    builder.Close(true);
    EXPECT_LT(builder.GetFaceCount(), 100);
    for (const BuiltFace& face : Faces(builder)) {
        ExpectPlanarConvex(builder, face.indices);
    }
    EXPECT_NEAR(TotalArea(builder), 100.0, 1e-3);
}

TEST(MeshBuilderTest, FaceListIsTransformedAndUnsafeFacesAreDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float vertices[] = {0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0, 1, nan, 0, 0};
    const int counts[] = {3, 3, 3, 3};
    const int indices[] = {0, 1, 2, 2, 1, 3, 0, 1, 9, 0, 1, 4};
    const int attributes[] = {5, 6, 7, 8};
    phMatrix matrix;
    matrix[3] = phVector(10.0f, 20.0f, 30.0f);
    phMeshBuilder builder;
    builder.Open();
    builder.AddFaceList(vertices, 5, 12, 4, counts, indices, attributes, matrix);
    builder.Close(false);
    const auto faces = Faces(builder);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].attribute, 5);
    EXPECT_EQ(faces[1].attribute, 6);
    for (int v : faces[0].indices) {
        const P p = Vertex(builder, v);
        EXPECT_GE(p.x, 10.0f);
        EXPECT_EQ(p.y, 20.0f);
        EXPECT_GE(p.z, 30.0f);
    }
}

TEST(MeshBuilderTest, OpenStartsAnEmptyMesh) {
    phMeshBuilder builder;
    builder.Open();
    Add(builder, {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}});
    builder.Open();
    Add(builder, {{0, 0, 0}, {0, 0, 2}, {2, 0, 0}});
    builder.Close(false);
    EXPECT_EQ(builder.GetFaceCount(), 1);
    EXPECT_EQ(builder.GetVertexCount(), 3);
}

}  // namespace
