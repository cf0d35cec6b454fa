#include "collision/static_mesh_tree.h"

#include "collision/geometry.h"
#include "collision/mesh_builder.h"

#include <cmath>

namespace {

// The faces of the last contact query. Process-wide: the descriptor points
// into them, and they stay valid until the next query.
struct FaceBuffers {
    int faceCount;
    int indexCount;
    int32_t attributes[kTreeQueryMaxFaces];
    int32_t vertexCounts[kTreeQueryMaxFaces];
    int32_t indices[kTreeQueryMaxIndices];
};

FaceBuffers g_faces;

struct CollectState {
    phMeshCollideDesc* desc;
    const phTreeCollisionMesh* mesh;
};

int CollectFace(void* context, const float* vertices, int strideInBytes, const int32_t* indices,
                int indexCount) {
    CollectState& state = *static_cast<CollectState*>(context);
    if (g_faces.faceCount == 0) {
        state.desc->vertices = vertices;
        state.desc->vertexStrideInBytes = strideInBytes;
    }
    if (g_faces.faceCount >= kTreeQueryMaxFaces ||
        g_faces.indexCount + indexCount >= kTreeQueryMaxIndices) {
        return 0;
    }
    const phTreeFaceCallback faceCallback = state.mesh->GetFaceCallback();
    if (faceCallback != nullptr) {
        faceCallback(state.desc->callerWords[0], state.desc->callerWords[1], vertices,
                     strideInBytes, indexCount, indices);
    }
    g_faces.attributes[g_faces.faceCount] = indices[-1];
    g_faces.vertexCounts[g_faces.faceCount] = indexCount;
    ++g_faces.faceCount;
    for (int i = 0; i < indexCount; ++i) {
        g_faces.indices[g_faces.indexCount++] = indices[i];
    }
    return 1;
}

struct WalkState {
    const phMeshCollideDesc* desc;
};

int WalkFace(void* context, const float* vertices, int strideInBytes, const int32_t* indices,
             int indexCount) {
    const phMeshCollideDesc& desc = *static_cast<WalkState*>(context)->desc;
    float packed[3 * kMaxFaceVertices];
    const char* base = reinterpret_cast<const char*>(vertices);
    for (int i = 0; i < indexCount; ++i) {
        const float* v =
            reinterpret_cast<const float*>(base + size_t(indices[i]) * size_t(strideInBytes));
        desc.walkMatrix->TransformVector(phVector(v)).Store(packed + 3 * i);
    }
    desc.walkIterator(desc.callerWords[1], indexCount, packed);
    return 1;
}

int HitFace(void* context, const float* vertices, int strideInBytes, const int32_t* indices,
            int indexCount) {
    phMeshRayRecord& record = *static_cast<phMeshRayRecord*>(context);
    float t = 0.0f;
    phVector normal;
    if (RayHitsPolygon(record.p0, record.p1, vertices, strideInBytes, indices, indexCount, t,
                       normal) &&
        t < record.best) {
        record.best = t;
        record.normal = normal;
        record.attribute = indices[-1];
    }
    return 1;
}

// An unsigned draw as a float in [0, 1).
float UnitFloat(uint32_t draw) {
    return static_cast<float>(static_cast<double>(draw) * (1.0 / 4294967296.0));
}

}  // namespace

phTreeCollisionMesh::phTreeCollisionMesh(void* world, phTreeFaceCallback faceCallback)
    : m_world(world), m_faceCallback(faceCallback) {}

phTreeCollisionMesh::~phTreeCollisionMesh() { delete m_builder; }

void phTreeCollisionMesh::BeginBuild() {
    if (m_builder != nullptr) {
        return;
    }
    m_builder = new phMeshBuilder();
    m_builder->Open();
}

void phTreeCollisionMesh::AddFace(int vertexCount, const float* vertices, int strideInBytes,
                                  int attribute) {
    if (m_builder != nullptr) {
        m_builder->AddFace(vertexCount, vertices, strideInBytes, attribute);
    }
}

bool phTreeCollisionMesh::EndBuild(bool optimize) {
    if (m_builder == nullptr) {
        return false;
    }
    m_builder->Close(optimize);
    Create(*m_builder);
    delete m_builder;
    m_builder = nullptr;
    return true;
}

void phTreeCollisionMesh::CollideCallback(phMeshCollideDesc& desc) {
    const phTreeCollisionMesh& mesh = *static_cast<const phTreeCollisionMesh*>(desc.userData);
    if (desc.walkIterator != nullptr) {
        phVector boxMin;
        phVector boxMax;
        mesh.GetAABB(boxMin, boxMax);
        WalkState walk = {&desc};
        mesh.ForAllSectors(boxMin, boxMax, WalkFace, &walk);
        return;
    }
    g_faces.faceCount = 0;
    g_faces.indexCount = 0;
    desc.vertices = nullptr;
    desc.vertexStrideInBytes = 0;
    CollectState state = {&desc, &mesh};
    mesh.ForAllSectors(desc.boxMin, desc.boxMax, CollectFace, &state);
    desc.faceCount = g_faces.faceCount;
    desc.faceAttributes = g_faces.attributes;
    desc.faceVertexCounts = g_faces.vertexCounts;
    desc.faceIndices = g_faces.indices;
}

float phTreeCollisionMesh::RayHitCallback(phMeshRayRecord& record) {
    const phTreeCollisionMesh& mesh = *static_cast<const phTreeCollisionMesh*>(record.userData);
    record.best = 2.0f;
    mesh.ForAllSectorsRayHit(record.p0, record.p1, HitFace, &record);
    if (record.best < 1.0f) {
        const phVector& n = record.normal;
        record.normal = n * (1.0f / std::sqrt(phDot(n, n) + 1e-8f));
        record.normal.w = 0.0f;
    }
    return record.best;
}

void phTreeCollisionMesh::DestroyCallback(void* userData) {
    static_cast<phTreeCollisionMesh*>(userData)->Release();
}

void phTreeCollisionKeyBox(uint32_t draw0, uint32_t draw1, uint32_t draw2, phVector& boxMin,
                           phVector& boxMax) {
    const float r0 = UnitFloat(draw0);
    const float r1 = UnitFloat(draw1);
    const float r2 = UnitFloat(draw2);
    boxMin = phVector(-(r1 + 0.1f), r0 - 0.1f, r2 - 0.1f, 1.0f);
    boxMax = phVector(r1 + 0.1f, 0.1f - r0, 0.1f - r2, 1.0f);
}

phCollisionPolygonalSoup* phCreateTreeCollision(void* world, phTreeFaceCallback faceCallback,
                                                uint32_t draw0, uint32_t draw1, uint32_t draw2) {
    phVector boxMin;
    phVector boxMax;
    phTreeCollisionKeyBox(draw0, draw1, draw2, boxMin, boxMax);
    phTreeCollisionMesh* mesh = new phTreeCollisionMesh(world, faceCallback);
    return new phCollisionPolygonalSoup(boxMin, boxMax, mesh, phTreeCollisionMesh::CollideCallback,
                                        phTreeCollisionMesh::RayHitCallback,
                                        phTreeCollisionMesh::DestroyCallback);
}

phTreeCollisionMesh* phGetTreeCollisionMesh(const phCollisionPolygonalSoup& shape) {
    if (shape.GetCollideCallback() != phTreeCollisionMesh::CollideCallback) {
        return nullptr;
    }
    return static_cast<phTreeCollisionMesh*>(shape.GetMeshUserData());
}

void phTreeCollisionBeginBuild(phCollisionPolygonalSoup& shape) {
    if (phTreeCollisionMesh* mesh = phGetTreeCollisionMesh(shape)) {
        mesh->BeginBuild();
    }
}

void phTreeCollisionAddFace(phCollisionPolygonalSoup& shape, int vertexCount, const float* vertices,
                            int strideInBytes, int faceAttribute) {
    if (phTreeCollisionMesh* mesh = phGetTreeCollisionMesh(shape)) {
        mesh->AddFace(vertexCount, vertices, strideInBytes, faceAttribute);
    }
}

bool phTreeCollisionEndBuild(phCollisionPolygonalSoup& shape, int optimize) {
    phTreeCollisionMesh* mesh = phGetTreeCollisionMesh(shape);
    if (mesh == nullptr || !mesh->EndBuild(optimize != 0)) {
        return false;
    }
    phVector boxMin;
    phVector boxMax;
    mesh->GetAABB(boxMin, boxMax);
    shape.SetBox(boxMin, boxMax);
    return shape.UpdateSignature();
}
