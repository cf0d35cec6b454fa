// phAABBPolygonSoup: the faces of a static mesh under a binary tree of
// axis-aligned boxes. It answers two queries: every face whose box overlaps
// a given box, and every face in a tree leaf that a given segment passes
// through. It is built once from a closed mesh builder, and can write itself
// to a file stream or through a callback, read itself back, and dump itself
// as text.
//
// The tree has one leaf per face. Each node holds its box and two child
// words: 0 for no child, an even word 2·i for the node at index i of the
// node array, or an odd leaf code (p << 8) | (n << 1) | 1 for the face whose
// n vertex indices start at position p of the index array (its attribute is
// at p - 1). The root is node 0, so no child word ever names it; a mesh of
// F >= 2 faces has F - 1 nodes, and a mesh of one face has one node whose
// front child is empty. Node boxes are the faces' boxes grown by
// kSoupBoxPadding, so that contact queries near a face still reach it.
#ifndef PHYSICS_SDK_COLLISION_POLYGON_SOUP_H
#define PHYSICS_SDK_COLLISION_POLYGON_SOUP_H

#include "collision/polygon_soup_database.h"

#include <cstdint>

class phMeshBuilder;

inline constexpr float kSoupBoxPadding = 0.125f;
inline constexpr uint32_t kSoupNoChild = 0;
// The leaf code keeps 24 bits for the index position.
inline constexpr int kSoupMaxIndexCount = 1 << 24;

struct phAABBNode {
    float boxMin[3];
    float boxMax[3];
    uint32_t back;
    uint32_t front;
};
static_assert(sizeof(phAABBNode) == 32, "a node is stored as one 32-byte block");

inline uint32_t phMakeLeafCode(int position, int vertexCount) {
    return (uint32_t(position) << 8) | (uint32_t(vertexCount) << 1) | 1u;
}
inline bool phIsLeafCode(uint32_t child) { return (child & 1u) != 0; }
inline int phLeafVertexCount(uint32_t code) { return int((code >> 1) & 127u); }
inline int phLeafIndexPosition(uint32_t code) { return int(code >> 8); }

class phAABBPolygonSoup : public phPolygonSoupDatabase {
public:
    phAABBPolygonSoup() = default;
    // Frees the node array (the base frees the rest).
    ~phAABBPolygonSoup() override;

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    // Builds the soup from a closed builder, replacing what it held. Returns
    // false, leaving the soup empty, when the builder holds a face the leaf
    // code cannot name (more than 127 vertices, or an index array too long).
    bool Create(const phMeshBuilder& builder);

    // The file form: "aabb" and a line feed, then the counts and arrays as
    // little-endian 32-bit words. Reading refuses (returns false and leaves
    // the soup empty) a wrong header, a short stream and any count, index or
    // child word that does not fit the arrays.
    bool ReadFromStream(phFileStream& stream) override;
    void WriteToStream(phFileStream& stream) const override;
    void DumpText(phFileStream& stream) const override;
    // The file form without the header, one callback per item.
    void Serialize(phSoupSerializeCallback callback, void* userData) const override;
    bool Deserialize(phSoupSerializeCallback callback, void* userData) override;

    // The root's box; zeros when there is no tree.
    void GetAABB(phVector& boxMin, phVector& boxMax) const override;
    // Calls back for every face whose tight box overlaps the query box;
    // boxes that only touch overlap.
    void ForAllSectors(const phVector& boxMin, const phVector& boxMax, phSoupFaceCallback callback,
                       void* context) const override;
    // Calls back for every face whose own box, grown by a margin larger than
    // the face test's tolerance, the segment crosses (so every face the
    // segment can hit), walking only the nodes whose faces' boxes so grown
    // it crosses; the callback keeps the nearest hit itself.
    void ForAllSectorsRayHit(const phVector& p0, const phVector& p1, phSoupFaceCallback callback,
                             void* context) const override;

    int GetNodeCount() const { return m_nodeCount; }
    const phAABBNode* GetNodes() const { return m_nodes; }
    // Nodes on the longest path from the root down (0 without a tree).
    int GetDepth() const { return m_depth; }

private:
    // Frees everything the soup holds.
    void Clear();
    // Reads the counts and arrays through read(buffer, bytes) -> bool, then
    // checks them.
    template <class ReadBytes>
    bool ReadBody(ReadBytes&& read);
    // Checks every child word against the arrays and measures the depth.
    bool Validate();
    // Works out the tight box of every leaf's face once, for the box query
    // and the segment query, and the segment query's margin around them.
    void CacheLeafBoxes();
    // Makes the segment query's copy of the tree from the nodes and the
    // cached face boxes.
    void CacheRayNodes();
    // Walks the tree from the root, entering the nodes for which enter(node)
    // is true and handing each face of their leaves to visit(face, count,
    // its tight box); stops when visit returns false.
    template <class EnterNode, class VisitFace>
    void WalkFaces(EnterNode&& enter, VisitFace&& visit) const;
    // The segment query for the segments that move along the axes whose bits
    // kMoving sets (bit 0 for x).
    template <int kMoving>
    void WalkRay(const phVector& p0, const phVector& p1, phSoupFaceCallback callback,
                 void* context) const;

    // The tight box of each leaf's face (min x, y, z, max x, y, z), node by
    // node, back before front: the faces never move, and the box query
    // tests every face it meets.
    // The segment query skips a face whose box, grown by m_rayFaceMargin,
    // the segment does not cross: the face test cannot hit it there.
    struct LeafBox {
        float boxMin[3];
        float boxMax[3];
    };

    // The boxes of two children, tight around their faces and grown by
    // m_rayFaceMargin: per axis, the back child's bound and the front's side
    // by side, so that the segment query tests both in one pass.
    struct RayBoxPair {
        float lo[3][2];
        float hi[3][2];
    };
    // The segment query's node. The padded node boxes reach 0.125 past the
    // faces on every side, so a ray would enter about twice as many of them;
    // a node and both its children's boxes fit one cache line.
    struct alignas(64) RayNode {
        RayBoxPair boxes;
        uint32_t child[2];
    };

    // Fills ray node index from its faces and its child nodes' ray nodes.
    void FillRayNode(int index);
    // The union of the boxes of the node's children on one axis, into lo and
    // hi (left as they are when it has none).
    static void UniteRayBoxes(const RayNode& node, int axis, float& lo, float& hi);

    phAABBNode* m_nodes = nullptr;
    LeafBox* m_leafBoxes = nullptr;
    // m_rayNodes[i] mirrors m_nodes[i] (for the nodes the root reaches); the
    // block starts in m_rayNodeBlock, which phMalloc aligns to 16 bytes only.
    RayNode* m_rayNodes = nullptr;
    void* m_rayNodeBlock = nullptr;
    // The union of the root's children's boxes in m_rayNodes, in both halves.
    RayBoxPair m_rayRoot = {};
    // Per node, the position in m_leafBoxes of its first leaf's box.
    int32_t* m_firstLeafBox = nullptr;
    int32_t m_nodeCount = 0;
    int32_t m_depth = 0;
    // Larger than the face test's edge tolerance (a small fraction of the
    // face's size) and the rounding at the mesh's coordinates.
    float m_rayFaceMargin = 0.0f;
};

#endif
