#include "collision/mesh_builder.h"

#include "collision/mesh_builder_matrix.h"
#include "collision/polyhedra.h"
#include "core/memory.h"
#include "core/scratch_stack.h"
#include "core/tree.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// A corner whose incoming and outgoing edge directions agree this closely
// does not turn: its vertex lies on a straight edge and is removed.
constexpr double kStraightCornerDot = 0.9999;
// A face whose summed corner cross products are shorter than this (squared)
// has no area.
constexpr double kMinFaceNormalSquared = 1e-6;
// Passes of merging per attribute before the result is taken as it stands.
constexpr int kMaxMergePasses = 64;

struct Point3d {
    double x, y, z;
};

Point3d VertexAt(const float* vertices, int32_t index) {
    const float* v = vertices + size_t(index) * 3;
    return {v[0], v[1], v[2]};
}

Point3d Sub(const Point3d& a, const Point3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Point3d Cross(const Point3d& a, const Point3d& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Point3d& a, const Point3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Removes later repeats of any index; returns the new count.
int RemoveRepeatedIndices(int count, int32_t* indices) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        bool repeated = false;
        for (int j = 0; j < kept && !repeated; ++j) {
            repeated = indices[j] == indices[i];
        }
        if (!repeated) {
            indices[kept++] = indices[i];
        }
    }
    return kept;
}

// Reads the corners of a face as double points, once for all the tests
// that follow.
void LoadCorners(int count, const int32_t* indices, const float* vertices, Point3d* points) {
    for (int i = 0; i < count; ++i) {
        points[i] = VertexAt(vertices, indices[i]);
    }
}

bool HasArea(int count, const Point3d* points) {
    Point3d normal = {0.0, 0.0, 0.0};
    for (int i = 0; i < count; ++i) {
        const Point3d& a = points[i == 0 ? count - 1 : i - 1];
        const Point3d& b = points[i];
        const Point3d& c = points[i + 1 == count ? 0 : i + 1];
        const Point3d turn = Cross(Sub(b, a), Sub(c, b));
        normal = {normal.x + turn.x, normal.y + turn.y, normal.z + turn.z};
    }
    return Dot(normal, normal) >= kMinFaceNormalSquared;
}

// A corner a-b-c does not turn when its incoming and outgoing edge
// directions agree: the dot product of the two edges, each scaled by
// 1 / sqrt(|e|² + 1e-8) (a vanishing edge stays short instead of dividing
// by zero), is above kStraightCornerDot. Compared squared, so that no
// square root or division is needed.
bool IsStraightCorner(const Point3d& a, const Point3d& b, const Point3d& c) {
    const Point3d in = Sub(b, a);
    const Point3d out = Sub(c, b);
    const double along = Dot(in, out);
    return along > 0.0 && along * along > kStraightCornerDot * kStraightCornerDot *
                                               (Dot(in, in) + 1e-8) * (Dot(out, out) + 1e-8);
}

// Walks the loop lap after lap, removing corners that do not turn (each
// judged against the last corner kept), until a lap removes none. Returns
// the new count. The corners' points move along with their indices.
int RemoveStraightCorners(int count, int32_t* indices, Point3d* points) {
    bool removed = true;
    while (removed && count >= 3) {
        removed = false;
        int kept = 0;
        for (int i = 0; i < count; ++i) {
            // Entries before i are the kept ones; the one after i is still
            // the original next corner, or for the last corner the first
            // corner kept.
            const Point3d& previous = kept > 0 ? points[kept - 1] : points[count - 1];
            const Point3d& next = points[i + 1 == count ? 0 : i + 1];
            if (IsStraightCorner(previous, points[i], next)) {
                removed = true;
                continue;
            }
            if (kept != i) {
                points[kept] = points[i];
                indices[kept] = indices[i];
            }
            ++kept;
        }
        count = kept;
    }
    return count;
}

// Appends every face of the polyhedra, in the order of its half-edge tree,
// as a convex polygon of the given attribute. Straight corners go first, so
// that a long merged polygon with many vertices on its straight edges is cut
// into pieces only when its true corners need it.
template <class FaceList>
void AppendPolyhedraFaces(phPolyhedra& polyhedra, const float* vertices, int attribute,
                          FaceList& out) {
    phScratchArray<int32_t> loop(static_cast<size_t>(polyhedra.GetEdgeCount()));
    phScratchArray<Point3d> points(static_cast<size_t>(polyhedra.GetEdgeCount()));
    const uint32_t mark = static_cast<uint32_t>(polyhedra.IncrementMark());
    for (auto* node = polyhedra.First(); node != nullptr; node = phPolyhedra::Next(node)) {
        phEdge* edge = &node->info;
        if (edge->incidentFace <= 0 || edge->mark == mark) {
            continue;
        }
        int count = 0;
        phEdge* h = edge;
        do {
            h->mark = mark;
            loop[count++] = h->incidentVertex;
            h = h->next;
        } while (h != edge && h != nullptr && count < polyhedra.GetEdgeCount());
        LoadCorners(count, loop.Data(), vertices, points.Data());
        count = RemoveStraightCorners(count, loop.Data(), points.Data());
        if (count >= 3) {
            out.AppendConvex(attribute, count, loop.Data());
        }
    }
}

// Copies count points into out, 12 bytes apart. This is what the identity
// transform gives: each coordinate back, a zero as +0, hence the added 0.
void CopyPoints(float* out, const float* in, int inStrideInBytes, int count) {
    const char* source = reinterpret_cast<const char*>(in);
    for (int i = 0; i < count; ++i) {
        float p[3];
        std::memcpy(p, source + size_t(i) * size_t(inStrideInBytes), sizeof(p));
        for (int a = 0; a < 3; ++a) {
            out[size_t(i) * 3 + a] = p[a] + 0.0f;
        }
    }
}

}  // namespace

template <class T>
phMeshBuilder::GrowArray<T>::~GrowArray() {
    phFree(data);
}

template <class T>
void phMeshBuilder::GrowArray<T>::Reserve(int count, int keep) {
    if (count <= capacity) {
        return;
    }
    const long long grown = (long long)capacity + capacity / 2 + 16;
    const int newCapacity =
        static_cast<int>(grown > count ? (grown > INT_MAX ? count : grown) : count);
    T* block = static_cast<T*>(phMalloc(sizeof(T) * size_t(newCapacity)));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    if (keep > 0) {
        std::memcpy(block, data, sizeof(T) * size_t(keep));
    }
    phFree(data);
    data = block;
    capacity = newCapacity;
}

void phMeshBuilder::FaceList::Append(int attribute, int count, const int32_t* vertexIndices) {
    runLengths.Reserve(faceCount + 1, faceCount);
    indices.Reserve(indexCount + count + 1, indexCount);
    runLengths.data[faceCount++] = count + 1;
    indices.data[indexCount++] = attribute;
    std::memcpy(indices.data + indexCount, vertexIndices, sizeof(int32_t) * size_t(count));
    indexCount += count;
}

void phMeshBuilder::FaceList::AppendConvex(int attribute, int count, const int32_t* vertexIndices) {
    if (count <= kMaxFaceVertices) {
        Append(attribute, count, vertexIndices);
        return;
    }
    // A fan of pieces around the first vertex: each piece is the first vertex
    // and a run of consecutive ones, and the next piece starts where this one
    // ended, so the pieces tile the polygon and each stays convex.
    int32_t piece[kMaxFaceVertices];
    piece[0] = vertexIndices[0];
    for (int start = 1; start < count - 1;) {
        int end = start + kMaxFaceVertices - 2;
        if (end > count - 1) {
            end = count - 1;
        }
        const int length = end - start + 1;
        std::memcpy(piece + 1, vertexIndices + start, sizeof(int32_t) * size_t(length));
        Append(attribute, length + 1, piece);
        start = end;
    }
}

void phMeshBuilder::FaceList::Swap(FaceList& other) {
    std::swap(faceCount, other.faceCount);
    std::swap(indexCount, other.indexCount);
    std::swap(runLengths.data, other.runLengths.data);
    std::swap(runLengths.capacity, other.runLengths.capacity);
    std::swap(indices.data, other.indices.data);
    std::swap(indices.capacity, other.indices.capacity);
}

phMeshBuilder::~phMeshBuilder() = default;

void* phMeshBuilder::operator new(size_t size) {
    void* block = phClassAlloc(size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void phMeshBuilder::operator delete(void* ptr) { phClassFree(ptr); }

void phMeshBuilder::Open() {
    m_faces.Clear();
    m_vertexCount = 0;
}

int phMeshBuilder::CleanFace(int count, int32_t* indices, const float* vertices) {
    if (count > kMaxFaceVertices) {
        return 0;
    }
    // Repeats are removed once: what is left has no repeated vertex, so a
    // face that still has fewer than three corners is dropped here instead
    // of being tried again and again.
    count = RemoveRepeatedIndices(count, indices);
    if (count < 3) {
        return 0;
    }
    Point3d points[kMaxFaceVertices];
    LoadCorners(count, indices, vertices, points);
    if (!HasArea(count, points)) {
        return 0;
    }
    count = RemoveStraightCorners(count, indices, points);
    return count < 3 ? 0 : count;
}

void phMeshBuilder::AddFaceList(const float* vertices, int vertexCount, int strideInBytes,
                                int faceCount, const int* faceVertexCounts, const int* faceIndices,
                                const int* faceAttributes, const phMatrix& matrix) {
    if (vertices == nullptr || vertexCount <= 0 || vertexCount > INT_MAX / 3 - m_vertexCount) {
        return;
    }
    const int base = m_vertexCount;
    m_vertices.Reserve((base + vertexCount) * 3, base * 3);
    float* added = m_vertices.data + size_t(base) * 3;
    if (std::memcmp(&matrix, &phIdentityMatrix(), sizeof(phMatrix)) == 0) {
        CopyPoints(added, vertices, strideInBytes, vertexCount);
    } else {
        TransformPoints(matrix, added, 12, vertices, strideInBytes, vertexCount);
    }
    m_vertexCount += vertexCount;

    // A vertex that is not a finite point is stored as the origin, and every
    // face that uses it is dropped: the welder sorts by coordinate and must
    // never meet a NaN.
    phScratchArray<bool> finite(static_cast<size_t>(vertexCount));
    for (int v = 0; v < vertexCount; ++v) {
        float* p = added + size_t(v) * 3;
        finite[v] = std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
        if (!finite[v]) {
            p[0] = p[1] = p[2] = 0.0f;
        }
    }

    int32_t face[kMaxFaceVertices];
    const int* next = faceIndices;
    for (int f = 0; f < faceCount; ++f) {
        const int count = faceVertexCounts[f];
        if (count < 0) {
            return;
        }
        const int* given = next;
        next += count;
        if (count > kMaxFaceVertices) {
            continue;
        }
        bool usable = true;
        for (int i = 0; i < count && usable; ++i) {
            usable = given[i] >= 0 && given[i] < vertexCount && finite[given[i]];
            face[i] = base + given[i];
        }
        if (!usable) {
            continue;
        }
        const int cleaned = CleanFace(count, face, m_vertices.data);
        if (cleaned > 0) {
            m_faces.Append(faceAttributes[f], cleaned, face);
        }
    }
}

void phMeshBuilder::AddFace(int vertexCount, const float* vertices, int strideInBytes,
                            int attribute) {
    if (vertexCount <= 0 || vertexCount > kMaxFaceVertices) {
        return;
    }
    int indices[kMaxFaceVertices];
    for (int i = 0; i < vertexCount; ++i) {
        indices[i] = i;
    }
    AddFaceList(vertices, vertexCount, strideInBytes, 1, &vertexCount, indices, &attribute,
                phIdentityMatrix());
}

void phMeshBuilder::Close(bool optimize) {
    Weld();
    CleanAndCompact();
    if (optimize && m_faces.faceCount > 0) {
        MergeFaces();
        Weld();
        CleanAndCompact();
    }
}

void phMeshBuilder::Weld() {
    if (m_vertexCount == 0) {
        return;
    }
    phScratchArray<int32_t> remap(static_cast<size_t>(m_vertexCount));
    const int unique = VertexListToIndexList(m_vertices.data, 12, 12, 0, m_vertexCount,
                                             remap.Data(), kMeshWeldTolerance);
    if (unique <= 0) {
        return;
    }
    m_vertexCount = unique;
    int32_t* run = m_faces.indices.data;
    for (int f = 0; f < m_faces.faceCount; ++f) {
        const int length = m_faces.runLengths.data[f];
        for (int k = 1; k < length; ++k) {
            run[k] = remap[run[k]];
        }
        run += length;
    }
}

void phMeshBuilder::CleanAndCompact() {
    int32_t* indices = m_faces.indices.data;
    int32_t* runLengths = m_faces.runLengths.data;
    int in = 0;
    int out = 0;
    int kept = 0;
    for (int f = 0; f < m_faces.faceCount; ++f) {
        const int length = runLengths[f];
        const int32_t attribute = indices[in];
        const int count = CleanFace(length - 1, indices + in + 1, m_vertices.data);
        if (count > 0) {
            indices[out] = attribute;
            std::memmove(indices + out + 1, indices + in + 1, sizeof(int32_t) * size_t(count));
            runLengths[kept++] = count + 1;
            out += count + 1;
        }
        in += length;
    }
    m_faces.faceCount = kept;
    m_faces.indexCount = out;
}

void phMeshBuilder::MergeFaces() {
    // The faces are merged a group of one attribute at a time, the groups in
    // the order their attributes first appear and each group's faces in
    // their order. The faces are numbered by group in one pass and sorted by
    // group, then by place, instead of the list being scanned again
    // for every attribute.
    const int faceCount = m_faces.faceCount;
    phScratchArray<int> starts(static_cast<size_t>(faceCount));
    phScratchArray<int> groupOf(static_cast<size_t>(faceCount));
    phScratchArray<int> byGroup(static_cast<size_t>(faceCount));
    phTree<int32_t, int> groupNumbers;
    int groupCount = 0;
    int position = 0;
    for (int f = 0; f < faceCount; ++f) {
        starts[f] = position;
        bool existed = false;
        groupOf[f] =
            groupNumbers.Insert(m_faces.indices.data[position], groupCount, &existed)->info;
        groupCount += existed ? 0 : 1;
        byGroup[f] = f;
        position += m_faces.runLengths.data[f];
    }
    std::sort(byGroup.Data(), byGroup.Data() + faceCount, [&groupOf](int a, int b) {
        return groupOf[a] != groupOf[b] ? groupOf[a] < groupOf[b] : a < b;
    });

    FaceList merged;
    for (int k = 0; k < faceCount;) {
        const int first = byGroup[k];
        const int32_t attribute = m_faces.indices.data[starts[first]];
        FaceList group;
        for (; k < faceCount && groupOf[byGroup[k]] == groupOf[first]; ++k) {
            const int f = byGroup[k];
            group.Append(attribute, m_faces.runLengths.data[f] - 1,
                         m_faces.indices.data + starts[f] + 1);
        }
        FaceList result;
        for (int pass = 0; pass < kMaxMergePasses; ++pass) {
            result.Clear();
            MergeGroupOnce(attribute, group, result);
            const bool settled = result.faceCount == group.faceCount || result.faceCount == 0;
            group.Swap(result);
            if (settled) {
                break;
            }
        }
        const int32_t* run = group.indices.data;
        for (int face = 0; face < group.faceCount; ++face) {
            const int length = group.runLengths.data[face];
            merged.Append(attribute, length - 1, run + 1);
            run += length;
        }
    }
    m_faces.Swap(merged);
}

void phMeshBuilder::MergeGroupOnce(int attribute, const FaceList& group, FaceList& out) const {
    phPolyhedra polyhedra;
    phPolyhedra leftover;
    const int32_t* run = group.indices.data;
    for (int f = 0; f < group.faceCount; ++f) {
        const int length = group.runLengths.data[f];
        if (polyhedra.AddFace(length - 1, run + 1) == nullptr) {
            out.Append(attribute, length - 1, run + 1);
        }
        run += length;
    }
    polyhedra.EndFace();
    polyhedra.Optimize(m_vertices.data, 12, &leftover);
    AppendPolyhedraFaces(polyhedra, m_vertices.data, attribute, out);
    AppendPolyhedraFaces(leftover, m_vertices.data, attribute, out);
}
