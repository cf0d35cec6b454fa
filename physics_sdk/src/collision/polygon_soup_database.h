// phPolygonSoupDatabase: the base of the SDK's polygon soups. It owns the
// soup's vertex array (three floats per vertex) and its index array, which
// holds one run per face: the face attribute, then the face's vertex
// indices. The queries and the stored forms belong to the subclasses; the
// base answers every query with nothing.
#ifndef PHYSICS_SDK_COLLISION_POLYGON_SOUP_DATABASE_H
#define PHYSICS_SDK_COLLISION_POLYGON_SOUP_DATABASE_H

#include "collision/polygon_soup_stream.h"
#include "core/ref.h"
#include "core/vector.h"

#include <cstdint>

// Called for each face a query finds: vertices is the soup's whole vertex
// array (strideInBytes apart), indices points at the face's first vertex
// index (its attribute is indices[-1]) and indexCount is its vertex count.
// Returning 0 ends the query.
typedef int (*phSoupFaceCallback)(void* context, const float* vertices, int strideInBytes,
                                  const int32_t* indices, int indexCount);

// Hands a block of raw bytes to the caller (writing) or asks the caller to
// fill it (reading).
typedef void (*phSoupSerializeCallback)(void* userData, void* buffer, int sizeInBytes);

class phPolygonSoupDatabase : public phRef {
public:
    phPolygonSoupDatabase() = default;
    // Frees the vertex and index arrays.
    ~phPolygonSoupDatabase() override;

    uint32_t GetClassId() const override;
    bool IsClass(uint32_t classId) const override;

    // The stored forms. Reading returns false when the data is refused.
    virtual bool ReadFromStream(phFileStream&) { return false; }
    virtual void WriteToStream(phFileStream&) const {}
    virtual void DumpText(phFileStream&) const {}
    virtual void Serialize(phSoupSerializeCallback callback, void* userData) const = 0;
    virtual bool Deserialize(phSoupSerializeCallback callback, void* userData) = 0;

    // The soup's box; the base leaves both untouched.
    virtual void GetAABB(phVector&, phVector&) const {}
    // Every face whose box overlaps the box boxMin-boxMax.
    virtual void ForAllSectors(const phVector&, const phVector&, phSoupFaceCallback, void*) const {}
    // Every face near the segment p0-p1.
    virtual void ForAllSectorsRayHit(const phVector&, const phVector&, phSoupFaceCallback,
                                     void*) const {}

    int GetVertexCount() const { return m_vertexCount; }
    int GetVertexStride() const { return m_vertexStride; }
    const float* GetVertices() const { return m_vertices; }
    int GetIndexCount() const { return m_indexCount; }
    const int32_t* GetIndices() const { return m_indices; }

protected:
    // Frees both arrays and sets the counts to 0.
    void FreeArrays();

    int32_t m_vertexCount = 0;
    int32_t m_vertexStride = 3 * sizeof(float);
    float* m_vertices = nullptr;
    int32_t m_indexCount = 0;
    int32_t* m_indices = nullptr;
};

#endif
