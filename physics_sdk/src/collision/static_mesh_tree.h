// The tree collision: a static mesh shape whose faces live in an AABB
// polygon soup (phTreeCollisionMesh) held as the shape's user data. Its
// faces are given between a begin and an end of a build through a mesh
// builder; the end of the build closes the builder, builds the soup, gives
// the shape the soup's box and recomputes the shape's signature. The shape's
// collide, ray-hit and destroy callbacks query and finally release the
// soup.
#ifndef PHYSICS_SDK_COLLISION_STATIC_MESH_TREE_H
#define PHYSICS_SDK_COLLISION_STATIC_MESH_TREE_H

#include "collision/polygon_soup.h"
#include "collision/static_mesh.h"

#include <cstdint>

class phMeshBuilder;

// Called for each face a contact query collects: the query's two caller
// words, the vertex array, its stride, the face's vertex count and indices.
typedef void (*phTreeFaceCallback)(void* word0, void* word1, const float* vertices,
                                   int strideInBytes, int indexCount, const int32_t* indices);

// Limits of one contact query's face buffers; faces beyond them are dropped.
inline constexpr int kTreeQueryMaxFaces = 4096;
inline constexpr int kTreeQueryMaxIndices = 16384;

class phTreeCollisionMesh : public phAABBPolygonSoup {
public:
    phTreeCollisionMesh(void* world, phTreeFaceCallback faceCallback);
    // Deletes a builder left open.
    ~phTreeCollisionMesh() override;

    // Opens a new builder; ignored while a build is open.
    void BeginBuild();
    // Adds one face through vertexCount points; ignored without an open
    // build.
    void AddFace(int vertexCount, const float* vertices, int strideInBytes, int attribute);
    // Closes the builder (merging coplanar faces when optimize is set),
    // builds the soup from it and deletes it. Returns false, changing
    // nothing, when no build is open.
    bool EndBuild(bool optimize);
    bool IsBuilding() const { return m_builder != nullptr; }

    void* GetWorld() const { return m_world; }
    phTreeFaceCallback GetFaceCallback() const { return m_faceCallback; }

    // The shape's callbacks; their user data is the tree mesh.
    static void CollideCallback(phMeshCollideDesc& desc);
    static float RayHitCallback(phMeshRayRecord& record);
    static void DestroyCallback(void* userData);

private:
    void* m_world;
    phMeshBuilder* m_builder = nullptr;
    phTreeFaceCallback m_faceCallback;
};

// The box that keys a new, empty tree collision, from three draws of the
// SDK's pseudo-random sequence (each taken as a float in [0, 1)):
// min = (-(r1 + 0.1), r0 - 0.1, r2 - 0.1), max = -min. Only x is sure to
// run from min to max; the shape's box takes the smaller and the larger
// corner on each axis, which makes it a box around the origin.
void phTreeCollisionKeyBox(uint32_t draw0, uint32_t draw1, uint32_t draw2, phVector& boxMin,
                           phVector& boxMax);

// A new, empty tree collision for the world: a tree mesh (one reference,
// held by the shape) and the static mesh shape over it, keyed by the box of
// the three draws. The shape starts with one reference, the caller's.
phCollisionPolygonalSoup* phCreateTreeCollision(void* world, phTreeFaceCallback faceCallback,
                                                uint32_t draw0, uint32_t draw1, uint32_t draw2);

// The tree mesh of a tree collision; null for any other static mesh.
phTreeCollisionMesh* phGetTreeCollisionMesh(const phCollisionPolygonalSoup& shape);

// The build of a tree collision. Calls on a shape that is not a tree
// collision, an AddFace or EndBuild without BeginBuild and a second
// BeginBuild are ignored.
void phTreeCollisionBeginBuild(phCollisionPolygonalSoup& shape);
void phTreeCollisionAddFace(phCollisionPolygonalSoup& shape, int vertexCount, const float* vertices,
                            int strideInBytes, int faceAttribute);
// Ends the build, gives the shape the soup's box and recomputes its
// signature. Returns true when the signature changed, so that the shape
// cache moves the shape to its new key.
bool phTreeCollisionEndBuild(phCollisionPolygonalSoup& shape, int optimize);

#endif
