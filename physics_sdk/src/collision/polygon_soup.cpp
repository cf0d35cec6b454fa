// Tree build: the leaves are split recursively at the median of their box
// maxima along the axis where the box centres spread most, which gives
// exactly F - 1 nodes and a depth of about log2 F. The split runs over an
// explicit stack and hands out node slots in the order a recursive split
// would (a node, then its whole back side, then its front side).
//
// Queries walk the tree over an explicit stack sized from the tree's depth:
// a node's pending siblings number at most one per level above it, so the
// stack never holds more entries than the tree has levels.
#include "collision/polygon_soup.h"

#include "collision/geometry.h"
#include "collision/mesh_builder.h"
#include "core/class_ids.h"
#include "core/float_order_key.h"
#include "core/memory.h"
#include "core/scratch_stack.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <optional>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the stored forms are written as the host's little-endian words");

namespace {

const char kFileHeader[5] = {'a', 'a', 'b', 'b', '\n'};
// Trees up to this deep walk a segment with a stack on the frame.
const int kRayStackOnFrame = 64;

// A face waiting for its place in the tree: its padded box, and, computed
// once for all the levels that use them, its box centre in double and its
// box maximum as an order key.
struct Leaf {
    double centre[3];
    float boxMin[3];
    float boxMax[3];
    uint32_t maxKey[3];
    uint32_t code;
};

// Ranges up to this size find their median with the standard selection.
constexpr int kSmallSelection = 8;
// Rounds of pivoting after which a range that shrinks too slowly is left to
// the standard selection.
constexpr int kMaxSelectionRounds = 48;

// A range of leaves waiting for its node: the node's slot is taken when the
// range is popped, and its child word written into the parent then.
struct SplitRange {
    int first;
    int count;
    int parent;
    bool front;
    int level;
};

template <class T>
T* AllocateArray(size_t count) {
    if (count == 0) {
        return nullptr;
    }
    T* block = static_cast<T*>(phMalloc(sizeof(T) * count));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

// Boxes that only touch overlap: each difference is compared with >= 0, so
// a difference of -0.0 counts as touching too.
bool BoxesOverlap(const float* aMin, const float* aMax, const phVector& bMin,
                  const phVector& bMax) {
    for (int i = 0; i < 3; ++i) {
        if (!(bMax[i] - aMin[i] >= 0.0f) || !(aMax[i] - bMin[i] >= 0.0f)) {
            return false;
        }
    }
    return true;
}

// Axis along which the leaf box centres spread most: var = k·Σc² - (Σc)².
// Gathers the leaves' maximum keys along each axis into maxima on the way.
int SplitAxis(const Leaf* leaves, const int32_t* order, int count, uint32_t* const maxima[3]) {
    double sum[3] = {0.0, 0.0, 0.0};
    double sumSquares[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < count; ++i) {
        const Leaf& leaf = leaves[order[i]];
        const double* centre = leaf.centre;
        for (int a = 0; a < 3; ++a) {
            maxima[a][i] = leaf.maxKey[a];
            sum[a] += centre[a];
            sumSquares[a] += centre[a] * centre[a];
        }
    }
    double var[3];
    for (int a = 0; a < 3; ++a) {
        var[a] = count * sumSquares[a] - sum[a] * sum[a];
    }
    if (var[0] > var[1] && var[0] > var[2]) {
        return 0;
    }
    if (var[2] <= var[0]) {
        return 1;
    }
    return var[2] > var[1] ? 2 : 1;
}

// Copies the keys to target, those for which inFront holds to the front and
// the others to the back, and returns the number in front. Every key is
// written at both ends and only the end it belongs to moves on, so nothing
// branches on the keys and no step waits on the one before it.
template <class InFront>
int SplitKeys(const uint32_t* keys, int count, uint32_t* target, InFront inFront) {
    int front = 0;
    int back = count - 1;
    for (int i = 0; i < count; ++i) {
        const uint32_t key = keys[i];
        const bool moves = inFront(key);
        target[front] = key;
        target[back] = key;
        front += int(moves);
        back -= int(!moves);
    }
    return front;
}

// The k-th smallest key, counting from 0, using the two buffers of count
// keys each. Each round splits the range at the median of its first, middle
// and last key without branching on the keys, as a comparison-driven
// selection does at every step, mispredicting about half the time.
uint32_t SelectKey(const uint32_t* keys, int count, int k, uint32_t* target, uint32_t* spare) {
    const uint32_t* source = keys;
    for (int round = 0; count > kSmallSelection && round < kMaxSelectionRounds; ++round) {
        const uint32_t a = source[0];
        const uint32_t b = source[count / 2];
        const uint32_t c = source[count - 1];
        const uint32_t pivot = std::max(std::min(a, b), std::min(std::max(a, b), c));
        int below = SplitKeys(source, count, target, [pivot](uint32_t key) { return key < pivot; });
        if (below == 0) {
            // The pivot is the smallest key: split off the keys equal to it.
            below =
                SplitKeys(source, count, target, [pivot](uint32_t key) { return key <= pivot; });
            if (k < below) {
                return pivot;
            }
        }
        if (k < below) {
            source = target;
            count = below;
        } else {
            source = target + below;
            count -= below;
            k -= below;
        }
        std::swap(target, spare);
    }
    std::copy(source, source + count, target);
    std::nth_element(target, target + k, target + count);
    return target[k];
}

// Moves the leaves whose box maximum along the axis lies below the median
// maximum to the front, keeping their order, and returns their number (half
// the range when that is none or all). maxima and the two selection buffers
// hold count keys each.
int SplitLeaves(const Leaf* leaves, int32_t* order, int count, uint32_t* const axisMaxima[3],
                uint32_t* selection, uint32_t* spare) {
    if (count == 2) {
        return 1;
    }
    const uint32_t* maxima = axisMaxima[SplitAxis(leaves, order, count, axisMaxima)];
    const uint32_t split = SelectKey(maxima, count, count / 2, selection, spare);
    // Swaps each leaf below the split with the first one not below it, by
    // selection instead of a branch, as the keys are.
    int left = 0;
    for (int i = 0; i < count; ++i) {
        const bool below = maxima[i] < split;
        const int32_t leaf = order[i];
        const int32_t atLeft = order[left];
        order[left] = below ? leaf : atLeft;
        order[i] = below ? atLeft : leaf;
        left += int(below);
    }
    return (left == 0 || left == count) ? count / 2 : left;
}

void UniteBox(const float* boxMin, const float* boxMax, phAABBNode& node) {
    for (int a = 0; a < 3; ++a) {
        node.boxMin[a] = std::min(node.boxMin[a], boxMin[a]);
        node.boxMax[a] = std::max(node.boxMax[a], boxMax[a]);
    }
}

// A node's box is the union of its children's. Every node comes before its
// child nodes, so walking from the last node back to the root finds the
// children's boxes ready. The union is the same as one taken over the
// node's leaves in any order: the padded boxes never hold a -0, the one
// value whose pick among equals would show. childLeaves holds, per node and
// side, the leaf there, or -1 for a child node.
void BoundNodes(const Leaf* leaves, const int32_t* childLeaves, phAABBNode* nodes, int count) {
    for (int i = count - 1; i >= 0; --i) {
        phAABBNode& node = nodes[i];
        for (int a = 0; a < 3; ++a) {
            node.boxMin[a] = INFINITY;
            node.boxMax[a] = -INFINITY;
        }
        const uint32_t children[2] = {node.back, node.front};
        for (int side = 0; side < 2; ++side) {
            const int32_t leaf = childLeaves[2 * i + side];
            if (leaf >= 0) {
                UniteBox(leaves[leaf].boxMin, leaves[leaf].boxMax, node);
            } else {
                const phAABBNode& child = nodes[children[side] / 2];
                UniteBox(child.boxMin, child.boxMax, node);
            }
        }
    }
}

// The tight box of a face's vertices.
void FaceBox(const float* vertices, const int32_t* indices, int count, float* boxMin,
             float* boxMax) {
    for (int a = 0; a < 3; ++a) {
        boxMin[a] = boxMax[a] = vertices[size_t(indices[0]) * 3 + a];
    }
    for (int i = 1; i < count; ++i) {
        const float* v = vertices + size_t(indices[i]) * 3;
        for (int a = 0; a < 3; ++a) {
            boxMin[a] = std::min(boxMin[a], v[a]);
            boxMax[a] = std::max(boxMax[a], v[a]);
        }
    }
}

// The segment against two boxes at once, each in its own lane: lane by lane
// the very operations of phSegmentSlabs::CrossesBox, so each box passes
// exactly when that test would pass it. Bit a of kMoving is set when the
// segment moves along axis a; the walk is made once for each pattern, so
// that each axis takes only its own half of the test.
template <int kMoving>
class SegmentSlabPairs {
public:
    SegmentSlabPairs(const phVector& p0, const phVector& p1) {
        for (int a = 0; a < 3; ++a) {
            m_origin[a] = _mm_set1_ps(p0[a]);
            m_inverse[a] = _mm_set1_ps(Moves(a) ? 1.0f / (p1[a] - p0[a]) : 0.0f);
        }
    }

    // Bit 0 for the first box of the pair, bit 1 for the second.
    template <class Pair>
    int Crosses(const Pair& pair) const {
        const __m128 zero = _mm_setzero_ps();
        const __m128 one = _mm_set1_ps(1.0f);
        __m128 near = zero;
        __m128 far = one;
        __m128 inside = _mm_castsi128_ps(_mm_set1_epi32(-1));
        for (int a = 0; a < 3; ++a) {
            const __m128 lo = LoadPair(pair.lo[a]);
            const __m128 hi = LoadPair(pair.hi[a]);
            if (Moves(a)) {
                const __m128 t0 = _mm_mul_ps(_mm_sub_ps(lo, m_origin[a]), m_inverse[a]);
                const __m128 t1 = _mm_mul_ps(_mm_sub_ps(hi, m_origin[a]), m_inverse[a]);
                // near never falls below 0 nor far rises above 1, so these
                // clamp as the single test does; a NaN bound (the first
                // operand) leaves the axis out, as there.
                near = _mm_max_ps(_mm_min_ps(t0, t1), near);
                far = _mm_min_ps(_mm_max_ps(t0, t1), far);
            } else {
                // Without motion the start must lie strictly inside.
                inside = _mm_and_ps(inside, _mm_and_ps(_mm_cmpgt_ps(m_origin[a], lo),
                                                       _mm_cmplt_ps(m_origin[a], hi)));
            }
        }
        return _mm_movemask_ps(_mm_and_ps(inside, _mm_cmplt_ps(near, far))) & 3;
    }

private:
    static constexpr bool Moves(int axis) { return (kMoving >> axis) & 1; }

    static __m128 LoadPair(const float* p) {
        long long pair;
        std::memcpy(&pair, p, sizeof(pair));
        return _mm_castsi128_ps(_mm_cvtsi64_si128(pair));
    }

    __m128 m_origin[3];
    __m128 m_inverse[3];
};

}  // namespace

phAABBPolygonSoup::~phAABBPolygonSoup() {
    phFree(m_nodes);
    phFree(m_leafBoxes);
    phFree(m_firstLeafBox);
    phFree(m_rayNodeBlock);
}

uint32_t phAABBPolygonSoup::GetClassId() const { return kClassIdAABBPolygonSoup; }

bool phAABBPolygonSoup::IsClass(uint32_t classId) const {
    return classId == kClassIdAABBPolygonSoup || phPolygonSoupDatabase::IsClass(classId);
}

void phAABBPolygonSoup::Clear() {
    FreeArrays();
    phFree(m_nodes);
    phFree(m_leafBoxes);
    phFree(m_firstLeafBox);
    phFree(m_rayNodeBlock);
    m_nodes = nullptr;
    m_rayNodes = nullptr;
    m_rayNodeBlock = nullptr;
    m_leafBoxes = nullptr;
    m_firstLeafBox = nullptr;
    m_nodeCount = 0;
    m_depth = 0;
}

bool phAABBPolygonSoup::Create(const phMeshBuilder& builder) {
    Clear();
    const int faceCount = builder.GetFaceCount();
    const int indexCount = builder.GetIndexCount();
    const int vertexCount = builder.GetVertexCount();
    if (faceCount < 1) {
        return true;
    }
    if (indexCount > kSoupMaxIndexCount) {
        return false;
    }
    const int32_t* runLengths = builder.GetRunLengths();
    const int32_t* indices = builder.GetIndices();
    const float* vertices = builder.GetVertices();

    phScratchArray<Leaf> leaves(static_cast<size_t>(faceCount));
    int position = 0;
    for (int f = 0; f < faceCount; ++f) {
        const int count = runLengths[f] - 1;
        if (count < 1 || count > kMaxFaceVertices || position + count + 1 > indexCount) {
            return false;
        }
        Leaf& leaf = leaves[f];
        leaf.code = phMakeLeafCode(position + 1, count);
        FaceBox(vertices, indices + position + 1, count, leaf.boxMin, leaf.boxMax);
        for (int a = 0; a < 3; ++a) {
            leaf.boxMin[a] -= kSoupBoxPadding;
            leaf.boxMax[a] += kSoupBoxPadding;
            leaf.centre[a] = 0.5 * (double(leaf.boxMin[a]) + double(leaf.boxMax[a]));
            leaf.maxKey[a] = phFloatOrderKey(leaf.boxMax[a]);
        }
        position += count + 1;
    }

    m_vertices = AllocateArray<float>(size_t(vertexCount) * 3);
    std::memcpy(m_vertices, vertices, sizeof(float) * 3 * size_t(vertexCount));
    m_vertexCount = vertexCount;
    m_indices = AllocateArray<int32_t>(size_t(indexCount));
    std::memcpy(m_indices, indices, sizeof(int32_t) * size_t(indexCount));
    m_indexCount = indexCount;
    m_nodeCount = std::max(faceCount - 1, 1);
    m_nodes = AllocateArray<phAABBNode>(size_t(m_nodeCount));
    std::memset(m_nodes, 0, sizeof(phAABBNode) * size_t(m_nodeCount));

    if (faceCount == 1) {
        const Leaf& leaf = leaves[0];
        for (int a = 0; a < 3; ++a) {
            m_nodes[0].boxMin[a] = leaf.boxMin[a];
            m_nodes[0].boxMax[a] = leaf.boxMax[a];
        }
        m_nodes[0].back = leaf.code;
        m_depth = 1;
        CacheLeafBoxes();
        return true;
    }

    // The split permutes leaf numbers, not the leaves themselves.
    phScratchArray<int32_t> order(static_cast<size_t>(faceCount));
    for (int f = 0; f < faceCount; ++f) {
        order[f] = f;
    }
    phScratchArray<int32_t> childLeaves(size_t(m_nodeCount) * 2);
    phScratchArray<uint32_t> maximaX(static_cast<size_t>(faceCount));
    phScratchArray<uint32_t> maximaY(static_cast<size_t>(faceCount));
    phScratchArray<uint32_t> maximaZ(static_cast<size_t>(faceCount));
    uint32_t* const maxima[3] = {maximaX.Data(), maximaY.Data(), maximaZ.Data()};
    phScratchArray<uint32_t> selection(static_cast<size_t>(faceCount));
    phScratchArray<uint32_t> spare(static_cast<size_t>(faceCount));
    phScratchArray<SplitRange> stack(static_cast<size_t>(faceCount));
    int top = 0;
    int nextNode = 0;
    stack[top++] = {0, faceCount, -1, false, 1};
    while (top > 0) {
        const SplitRange range = stack[--top];
        const int index = nextNode++;
        if (range.parent >= 0) {
            phAABBNode& parent = m_nodes[range.parent];
            (range.front ? parent.front : parent.back) = uint32_t(index) * 2;
        }
        m_depth = std::max(m_depth, range.level);
        int32_t* first = order.Data() + range.first;
        phAABBNode& node = m_nodes[index];
        const int left =
            SplitLeaves(leaves.Data(), first, range.count, maxima, selection.Data(), spare.Data());
        const int right = range.count - left;
        childLeaves[2 * index] = left == 1 ? first[0] : -1;
        childLeaves[2 * index + 1] = right == 1 ? first[left] : -1;
        if (right == 1) {
            node.front = leaves[first[left]].code;
        } else {
            stack[top++] = {range.first + left, right, index, true, range.level + 1};
        }
        if (left == 1) {
            node.back = leaves[first[0]].code;
        } else {
            stack[top++] = {range.first, left, index, false, range.level + 1};
        }
    }
    BoundNodes(leaves.Data(), childLeaves.Data(), m_nodes, m_nodeCount);
    CacheLeafBoxes();
    return true;
}

void phAABBPolygonSoup::CacheLeafBoxes() {
    float reach = 0.0f;
    for (int a = 0; a < 3 && m_nodeCount > 0; ++a) {
        reach = std::max(reach, std::max(std::fabs(m_nodes[0].boxMin[a]),
                                         std::fabs(m_nodes[0].boxMax[a])));
    }
    m_rayFaceMargin = 1e-3f * (1.0f + reach);
    m_firstLeafBox = AllocateArray<int32_t>(size_t(m_nodeCount));
    int leafCount = 0;
    for (int i = 0; i < m_nodeCount; ++i) {
        m_firstLeafBox[i] = leafCount;
        leafCount += int(phIsLeafCode(m_nodes[i].back)) + int(phIsLeafCode(m_nodes[i].front));
    }
    m_leafBoxes = AllocateArray<LeafBox>(size_t(leafCount));
    LeafBox* box = m_leafBoxes;
    for (int i = 0; i < m_nodeCount; ++i) {
        for (const uint32_t child : {m_nodes[i].back, m_nodes[i].front}) {
            if (phIsLeafCode(child)) {
                FaceBox(m_vertices, m_indices + phLeafIndexPosition(child),
                        phLeafVertexCount(child), box->boxMin, box->boxMax);
                ++box;
            }
        }
    }
    CacheRayNodes();
}

void phAABBPolygonSoup::CacheRayNodes() {
    if (m_nodeCount == 0) {
        return;
    }
    const size_t align = alignof(RayNode);
    m_rayNodeBlock = AllocateArray<char>(sizeof(RayNode) * size_t(m_nodeCount) + align - 1);
    const uintptr_t base = reinterpret_cast<uintptr_t>(m_rayNodeBlock);
    m_rayNodes = reinterpret_cast<RayNode*>((base + align - 1) & ~uintptr_t(align - 1));
    // The nodes in the order a walk from the root meets them, each after its
    // parent; filled in reverse, every child's boxes are ready before its
    // parent's. A tree read from a file may number its nodes in any order.
    phScratchArray<int32_t> order(static_cast<size_t>(m_nodeCount));
    phScratchArray<int32_t> stack(static_cast<size_t>(m_nodeCount));
    int count = 0;
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const int index = stack[--top];
        order[count++] = index;
        for (const uint32_t child : {m_nodes[index].back, m_nodes[index].front}) {
            if (child != kSoupNoChild && !phIsLeafCode(child)) {
                stack[top++] = int32_t(child / 2);
            }
        }
    }
    for (int k = count - 1; k >= 0; --k) {
        FillRayNode(order[k]);
    }
    for (int a = 0; a < 3; ++a) {
        float lo = 0.0f;
        float hi = 0.0f;
        UniteRayBoxes(m_rayNodes[0], a, lo, hi);
        m_rayRoot.lo[a][0] = m_rayRoot.lo[a][1] = lo;
        m_rayRoot.hi[a][0] = m_rayRoot.hi[a][1] = hi;
    }
}

// Growing each face box before the union gives the very bounds the face test
// uses, so no face it would pass is cut off.
void phAABBPolygonSoup::FillRayNode(int index) {
    RayNode& ray = m_rayNodes[index];
    int leafBox = m_firstLeafBox[index];
    for (int side = 0; side < 2; ++side) {
        const uint32_t child = side == 0 ? m_nodes[index].back : m_nodes[index].front;
        ray.child[side] = child;
        for (int a = 0; a < 3; ++a) {
            float& lo = ray.boxes.lo[a][side];
            float& hi = ray.boxes.hi[a][side];
            lo = 0.0f;
            hi = 0.0f;
            if (phIsLeafCode(child)) {
                const LeafBox& face = m_leafBoxes[leafBox];
                lo = face.boxMin[a] - m_rayFaceMargin;
                hi = face.boxMax[a] + m_rayFaceMargin;
            } else if (child != kSoupNoChild) {
                UniteRayBoxes(m_rayNodes[child / 2], a, lo, hi);
            }
        }
        leafBox += int(phIsLeafCode(child));
    }
}

void phAABBPolygonSoup::UniteRayBoxes(const RayNode& node, int axis, float& lo, float& hi) {
    bool first = true;
    for (int side = 0; side < 2; ++side) {
        if (node.child[side] == kSoupNoChild) {
            continue;
        }
        const float childLo = node.boxes.lo[axis][side];
        const float childHi = node.boxes.hi[axis][side];
        lo = first ? childLo : std::min(lo, childLo);
        hi = first ? childHi : std::max(hi, childHi);
        first = false;
    }
}

void phAABBPolygonSoup::GetAABB(phVector& boxMin, phVector& boxMax) const {
    if (m_nodeCount == 0) {
        boxMin = phVector(0.0f, 0.0f, 0.0f, 0.0f);
        boxMax = phVector(0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    boxMin = phVector(m_nodes[0].boxMin);
    boxMax = phVector(m_nodes[0].boxMax);
}

template <class EnterNode, class VisitFace>
void phAABBPolygonSoup::WalkFaces(EnterNode&& enter, VisitFace&& visit) const {
    if (m_nodeCount == 0 || !enter(m_nodes[0])) {
        return;
    }
    // A child node is tested before it is pushed, so the stack holds only
    // nodes the query enters; the faces come in the same order as when each
    // node is tested as it is popped.
    phScratchArray<int32_t> stack(static_cast<size_t>(m_depth) + 1);
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const int index = stack[--top];
        const phAABBNode& node = m_nodes[index];
        int leafBox = m_firstLeafBox[index];
        for (int side = 0; side < 2; ++side) {
            const uint32_t child = side == 0 ? node.back : node.front;
            if (child == kSoupNoChild) {
                continue;
            }
            if (!phIsLeafCode(child)) {
                if (enter(m_nodes[child / 2])) {
                    stack[top++] = int32_t(child / 2);
                }
                continue;
            }
            if (!visit(m_indices + phLeafIndexPosition(child), phLeafVertexCount(child),
                       m_leafBoxes[leafBox++])) {
                return;
            }
        }
    }
}

void phAABBPolygonSoup::ForAllSectors(const phVector& boxMin, const phVector& boxMax,
                                      phSoupFaceCallback callback, void* context) const {
    WalkFaces(
        [&](const phAABBNode& node) {
            return BoxesOverlap(node.boxMin, node.boxMax, boxMin, boxMax);
        },
        [&](const int32_t* face, int count, const LeafBox& box) {
            return !BoxesOverlap(box.boxMin, box.boxMax, boxMin, boxMax) ||
                   callback(context, m_vertices, m_vertexStride, face, count) != 0;
        });
}

void phAABBPolygonSoup::ForAllSectorsRayHit(const phVector& p0, const phVector& p1,
                                            phSoupFaceCallback callback, void* context) const {
    if (m_nodeCount == 0) {
        return;
    }
    int moving = 0;
    for (int a = 0; a < 3; ++a) {
        moving |= int(p1[a] - p0[a] != 0.0f) << a;
    }
    switch (moving) {
        case 0:
            return WalkRay<0>(p0, p1, callback, context);
        case 1:
            return WalkRay<1>(p0, p1, callback, context);
        case 2:
            return WalkRay<2>(p0, p1, callback, context);
        case 3:
            return WalkRay<3>(p0, p1, callback, context);
        case 4:
            return WalkRay<4>(p0, p1, callback, context);
        case 5:
            return WalkRay<5>(p0, p1, callback, context);
        case 6:
            return WalkRay<6>(p0, p1, callback, context);
        default:
            return WalkRay<7>(p0, p1, callback, context);
    }
}

template <int kMoving>
void phAABBPolygonSoup::WalkRay(const phVector& p0, const phVector& p1, phSoupFaceCallback callback,
                                void* context) const {
    const SegmentSlabPairs<kMoving> segment(p0, p1);
    if ((segment.Crosses(m_rayRoot) & 1) == 0) {
        return;
    }
    // As in WalkFaces, a child is tested before it is pushed; a node's stack
    // entries number at most one per level above it. Most trees are shallow
    // enough for a stack on the frame.
    const RayNode* shallow[kRayStackOnFrame];
    std::optional<phScratchArray<const RayNode*>> deep;
    const RayNode** stack = shallow;
    if (m_depth >= kRayStackOnFrame) {
        deep.emplace(static_cast<size_t>(m_depth) + 1);
        stack = deep->Data();
    }
    int top = 0;
    stack[top++] = m_rayNodes;
    while (top > 0) {
        const RayNode& node = *stack[--top];
        const int crossed = segment.Crosses(node.boxes);
        for (int side = 0; side < 2; ++side) {
            const uint32_t child = node.child[side];
            if (child == kSoupNoChild || (crossed & (1 << side)) == 0) {
                continue;
            }
            if (!phIsLeafCode(child)) {
                stack[top++] = m_rayNodes + child / 2;
            } else if (callback(context, m_vertices, m_vertexStride,
                                m_indices + phLeafIndexPosition(child),
                                phLeafVertexCount(child)) == 0) {
                return;
            }
        }
    }
}

void phAABBPolygonSoup::WriteToStream(phFileStream& stream) const {
    stream.Write(kFileHeader, 1, sizeof(kFileHeader));
    Serialize(
        [](void* userData, void* buffer, int sizeInBytes) {
            static_cast<phFileStream*>(userData)->Write(buffer, 1, size_t(sizeInBytes));
        },
        &stream);
    stream.Flush();
}

bool phAABBPolygonSoup::ReadFromStream(phFileStream& stream) {
    char header[sizeof(kFileHeader)];
    if (stream.Read(header, 1, sizeof(header)) != sizeof(header) ||
        std::memcmp(header, kFileHeader, 4) != 0) {
        return false;
    }
    return ReadBody(
        [&stream](void* buffer, size_t bytes) { return stream.Read(buffer, 1, bytes) == bytes; });
}

void phAABBPolygonSoup::Serialize(phSoupSerializeCallback callback, void* userData) const {
    int32_t count = m_vertexCount;
    callback(userData, &count, sizeof(count));
    if (count > 0) {
        callback(userData, m_vertices, int(sizeof(float) * 3) * count);
    }
    count = m_indexCount;
    callback(userData, &count, sizeof(count));
    if (count > 0) {
        callback(userData, m_indices, int(sizeof(int32_t)) * count);
    }
    count = m_nodeCount;
    callback(userData, &count, sizeof(count));
    for (int i = 0; i < m_nodeCount; ++i) {
        phAABBNode node = m_nodes[i];
        callback(userData, &node, sizeof(node));
    }
}

bool phAABBPolygonSoup::Deserialize(phSoupSerializeCallback callback, void* userData) {
    return ReadBody([callback, userData](void* buffer, size_t bytes) {
        callback(userData, buffer, int(bytes));
        return true;
    });
}

template <class ReadBytes>
bool phAABBPolygonSoup::ReadBody(ReadBytes&& read) {
    Clear();
    int32_t vertexCount = 0;
    int32_t indexCount = 0;
    int32_t nodeCount = 0;
    bool ok = read(&vertexCount, sizeof(vertexCount)) && vertexCount >= 0 &&
              vertexCount <= kSoupMaxIndexCount;
    if (ok) {
        m_vertices = AllocateArray<float>(size_t(vertexCount) * 3);
        m_vertexCount = vertexCount;
        ok = vertexCount == 0 || read(m_vertices, sizeof(float) * 3 * size_t(vertexCount));
    }
    ok = ok && read(&indexCount, sizeof(indexCount)) && indexCount >= 0 &&
         indexCount <= kSoupMaxIndexCount;
    if (ok) {
        m_indices = AllocateArray<int32_t>(size_t(indexCount));
        m_indexCount = indexCount;
        ok = indexCount == 0 || read(m_indices, sizeof(int32_t) * size_t(indexCount));
    }
    // Every node names at least one face of at least one index.
    ok = ok && read(&nodeCount, sizeof(nodeCount)) && nodeCount >= 0 && nodeCount <= indexCount;
    if (ok) {
        m_nodes = AllocateArray<phAABBNode>(size_t(nodeCount));
        m_nodeCount = nodeCount;
        for (int i = 0; i < nodeCount && ok; ++i) {
            ok = read(&m_nodes[i], sizeof(phAABBNode));
        }
    }
    ok = ok && Validate();
    if (!ok) {
        Clear();
        return false;
    }
    CacheLeafBoxes();
    return true;
}

bool phAABBPolygonSoup::Validate() {
    if (m_nodeCount == 0) {
        return true;
    }
    // Each node other than the root must be named exactly once: then the
    // walk from the root is a tree and cannot loop.
    phScratchArray<uint8_t> named(static_cast<size_t>(m_nodeCount));
    std::memset(named.Data(), 0, size_t(m_nodeCount));
    for (int i = 0; i < m_nodeCount; ++i) {
        for (const uint32_t child : {m_nodes[i].back, m_nodes[i].front}) {
            if (child == kSoupNoChild) {
                continue;
            }
            if (phIsLeafCode(child)) {
                const int count = phLeafVertexCount(child);
                const int position = phLeafIndexPosition(child);
                if (count < 1 || position < 1 || position + count > m_indexCount) {
                    return false;
                }
                for (int k = 0; k < count; ++k) {
                    const int32_t v = m_indices[position + k];
                    if (v < 0 || v >= m_vertexCount) {
                        return false;
                    }
                }
                continue;
            }
            const uint32_t index = child / 2;
            if (index < 1 || index >= uint32_t(m_nodeCount) || named[index] != 0) {
                return false;
            }
            named[index] = 1;
        }
    }

    struct Entry {
        int32_t node;
        int32_t level;
    };
    phScratchArray<Entry> stack(static_cast<size_t>(m_nodeCount));
    int top = 0;
    stack[top++] = {0, 1};
    m_depth = 0;
    while (top > 0) {
        const Entry entry = stack[--top];
        m_depth = std::max(m_depth, entry.level);
        const phAABBNode& node = m_nodes[entry.node];
        for (const uint32_t child : {node.back, node.front}) {
            if (child != kSoupNoChild && !phIsLeafCode(child)) {
                stack[top++] = {int32_t(child / 2), entry.level + 1};
            }
        }
    }
    return true;
}

void phAABBPolygonSoup::DumpText(phFileStream& stream) const {
    stream.Print("Vertex Count %d\n", m_vertexCount);
    for (int i = 0; i < m_vertexCount; ++i) {
        const float* v = m_vertices + size_t(i) * 3;
        stream.Print("%d: %f %f %f\n", i, double(v[0]), double(v[1]), double(v[2]));
    }
    stream.Print("\n");
    stream.Print("Index Count %d\n", m_indexCount);
    for (int i = 0; i < m_indexCount; ++i) {
        stream.Print("%d ", m_indices[i]);
        if (i % 8 == 7) {
            stream.Print("\n");
        }
    }
    stream.Print("\n\n");
    stream.Print("Nodes Count %d\n", m_nodeCount);
    for (int i = 0; i < m_nodeCount; ++i) {
        const phAABBNode& node = m_nodes[i];
        stream.Print("node: %d\n", i);
        stream.Print("min %f %f %f\n", double(node.boxMin[0]), double(node.boxMin[1]),
                     double(node.boxMin[2]));
        stream.Print("max %f %f %f\n", double(node.boxMax[0]), double(node.boxMax[1]),
                     double(node.boxMax[2]));
        const uint32_t children[2] = {node.back, node.front};
        const char* const names[2] = {"backNode", "frontNode"};
        for (int c = 0; c < 2; ++c) {
            if (children[c] == kSoupNoChild) {
                continue;
            }
            if (phIsLeafCode(children[c])) {
                stream.Print("leaf %d %d\n", phLeafVertexCount(children[c]),
                             phLeafIndexPosition(children[c]));
            } else {
                stream.Print("%s %d\n", names[c], int(children[c] / 2));
            }
        }
        stream.Print("\n");
    }
}
