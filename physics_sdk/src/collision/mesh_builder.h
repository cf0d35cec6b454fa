// phMeshBuilder collects the faces of a static mesh while it is being built:
// a growing vertex list (three floats per vertex) and, per face, its
// attribute and its vertex indices. Each face is cleaned as it comes in
// (repeated vertices, straight corners and faces without area go). Close
// welds the vertices, cleans every face again and, when asked, rebuilds the
// faces of each attribute as a half-edge polyhedron, optimises it (triangles,
// small faces removed, edge collapses where the surface stays within the
// tolerance, coplanar faces merged) and takes its faces as convex polygons.
// The polygon soup is then built from the builder's arrays.
//
// Faces are kept as runs in one index array: the attribute first, then the
// vertex indices; the run-length array holds each face's vertex count + 1.
// A face never has more than kMaxFaceVertices vertices: a longer face given
// by the caller is dropped, and a longer polygon made by merging is cut into
// pieces, because the polygon soup's leaf code has room for no more.
#ifndef PHYSICS_SDK_COLLISION_MESH_BUILDER_H
#define PHYSICS_SDK_COLLISION_MESH_BUILDER_H

#include "core/matrix.h"

#include <cstddef>
#include <cstdint>

inline constexpr int kMaxFaceVertices = 127;
// Vertices closer than this (per coordinate) become one when the builder
// closes.
inline constexpr float kMeshWeldTolerance = 0.001f;

class phMeshBuilder {
public:
    phMeshBuilder() = default;
    ~phMeshBuilder();

    phMeshBuilder(const phMeshBuilder&) = delete;
    phMeshBuilder& operator=(const phMeshBuilder&) = delete;

    // The builder is made and deleted through the SDK's class allocator.
    static void* operator new(size_t size);
    static void operator delete(void* ptr);

    // Starts a new mesh: all counts 0 (the arrays are kept for reuse).
    void Open();

    // Appends vertexCount vertices (three floats each, strideInBytes apart),
    // each transformed by matrix, then faceCount faces. Face f has
    // faceVertexCounts[f] vertices whose indices (into the given vertices)
    // follow one another in faceIndices, and the attribute faceAttributes[f].
    // Each face is cleaned; a face with an index outside the given vertices
    // is dropped.
    void AddFaceList(const float* vertices, int vertexCount, int strideInBytes, int faceCount,
                     const int* faceVertexCounts, const int* faceIndices, const int* faceAttributes,
                     const phMatrix& matrix);
    // One face through vertexCount points, untransformed.
    void AddFace(int vertexCount, const float* vertices, int strideInBytes, int attribute);

    // Welds, cleans and compacts; with optimize, merges the faces of each
    // attribute into convex polygons, then welds and cleans once more.
    void Close(bool optimize);

    int GetFaceCount() const { return m_faces.faceCount; }
    int GetIndexCount() const { return m_faces.indexCount; }
    int GetVertexCount() const { return m_vertexCount; }
    // Per face: its vertex count + 1.
    const int32_t* GetRunLengths() const { return m_faces.runLengths.data; }
    // The runs of all faces: attribute, then the vertex indices.
    const int32_t* GetIndices() const { return m_faces.indices.data; }
    // Three floats per vertex.
    const float* GetVertices() const { return m_vertices.data; }

    // Cleans one face of the given vertex array in place: repeated indices,
    // then straight corners are removed. Returns the remaining vertex count,
    // or 0 when the face has no area, fewer than three corners or more than
    // kMaxFaceVertices.
    static int CleanFace(int count, int32_t* indices, const float* vertices);

private:
    // A growable array on the SDK's allocator; it grows by half again when
    // an append would reach its capacity.
    template <class T>
    struct GrowArray {
        T* data = nullptr;
        int capacity = 0;

        GrowArray() = default;
        GrowArray(const GrowArray&) = delete;
        GrowArray& operator=(const GrowArray&) = delete;
        ~GrowArray();
        // Makes room for count elements, keeping the first keep.
        void Reserve(int count, int keep);
    };

    // Faces as runs: per face its run length and, in the index array, its
    // attribute followed by its vertex indices.
    struct FaceList {
        int faceCount = 0;
        int indexCount = 0;
        GrowArray<int32_t> runLengths;
        GrowArray<int32_t> indices;

        void Clear() { faceCount = indexCount = 0; }
        void Append(int attribute, int count, const int32_t* vertexIndices);
        // Appends a convex polygon, cut into fans of at most
        // kMaxFaceVertices vertices when it is longer.
        void AppendConvex(int attribute, int count, const int32_t* vertexIndices);
        // Takes over the other list's arrays (the other keeps this one's).
        void Swap(FaceList& other);
    };

    void Weld();
    void CleanAndCompact();
    void MergeFaces();
    // Merges one attribute's faces once: builds them into a polyhedron,
    // optimises it and writes its faces (and those it refused) to out.
    void MergeGroupOnce(int attribute, const FaceList& group, FaceList& out) const;

    FaceList m_faces;
    int m_vertexCount = 0;
    GrowArray<float> m_vertices;
};

#endif
