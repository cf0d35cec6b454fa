#include "collision/static_mesh.h"

#include "core/class_ids.h"
#include "core/hash.h"

namespace {

// Serial numbers of the meshes made so far; each mesh's signature includes
// its own.
uint32_t g_meshSerial = 0;

template <class F>
uint64_t AddressWord(F function) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(function));
}

void PutAddress(uint32_t* words, uint64_t address) {
    words[0] = static_cast<uint32_t>(address);
    words[1] = static_cast<uint32_t>(address >> 32);
}

}  // namespace

phCollisionPolygonalSoup::phCollisionPolygonalSoup(const phVector& boxMin, const phVector& boxMax,
                                                   void* userData, phMeshCollideCallback collide,
                                                   phMeshRayHitCallback rayHit,
                                                   phMeshDestroyCallback destroy)
    : phCollision(0, phMatrix::Identity(), kCollisionPolygonalSoup),
      m_userData(userData),
      m_collide(collide),
      m_destroy(destroy),
      m_rayHit(rayHit),
      m_face(new phCollisionConvexPolygon()),
      m_serial(++g_meshSerial) {
    SetBox(boxMin, boxMax);
    m_signature = GetSignature();
}

phCollisionPolygonalSoup::~phCollisionPolygonalSoup() {
    m_face->Release();
    if (m_destroy != nullptr) {
        m_destroy(m_userData);
    }
}

uint32_t phCollisionPolygonalSoup::GetClassId() const { return kClassIdPolygonalSoup; }

bool phCollisionPolygonalSoup::IsClass(uint32_t classId) const {
    return classId == kClassIdPolygonalSoup || phCollision::IsClass(classId);
}

void phCollisionPolygonalSoup::SetBox(const phVector& p0, const phVector& p1) {
    m_boxMin = phMin(p0, p1);
    m_boxMax = phMax(p0, p1);
    m_boxMin.w = 1.0f;
    m_boxMax.w = 1.0f;
}

phVector phCollisionPolygonalSoup::SupportVertex(const phVector& dir) const {
    return phVector(dir.x >= 0.0f ? m_boxMax.x : m_boxMin.x,
                    dir.y >= 0.0f ? m_boxMax.y : m_boxMin.y,
                    dir.z >= 0.0f ? m_boxMax.z : m_boxMin.z, 0.0f);
}

void phCollisionPolygonalSoup::CalcAABB(const phMatrix& matrix, phVector& boxMin,
                                        phVector& boxMax) const {
    for (int i = 0; i < 3; ++i) {
        const phVector axis(matrix[0][i], matrix[1][i], matrix[2][i], 0.0f);
        boxMax[i] = matrix.RotateVector(SupportVertex(axis))[i] + matrix[3][i];
        boxMin[i] = matrix.RotateVector(SupportVertex(-axis))[i] + matrix[3][i];
    }
    boxMin.w = 1.0f;
    boxMax.w = 1.0f;
}

void phCollisionPolygonalSoup::ForEachPolygon(const phMatrix& globalMatrix, void* body,
                                              phPolygonIterator iterator) {
    if (m_collide == nullptr) {
        return;
    }
    phMeshCollideDesc desc;
    desc.boxMin = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    desc.boxMax = phVector(0.0f, 0.0f, 0.0f, 0.0f);
    desc.userData = m_userData;
    desc.callerWords[1] = body;
    desc.walkIterator = iterator;
    desc.walkMatrix = &globalMatrix;
    m_collide(desc);
}

float phCollisionPolygonalSoup::RayCast(const phVector& p0, const phVector& p1,
                                        phRayHit& hit) const {
    if (m_rayHit == nullptr) {
        return kMeshRayMiss;
    }
    phMeshRayRecord record;
    record.p0 = p0;
    record.p1 = p1;
    record.best = 2.0f;
    record.userData = m_userData;
    const float t = m_rayHit(record);
    if (t < 1.0f) {
        hit.normal = record.normal;
        hit.attribute = record.attribute;
    }
    return t;
}

uint32_t phCollisionPolygonalSoup::GetSignature() const {
    uint32_t words[14];
    words[0] = kCollisionPolygonalSoup;
    for (int i = 0; i < 3; ++i) {
        words[1 + i] = static_cast<uint32_t>(QuantizeFloat(m_boxMin[i]));
        words[4 + i] = static_cast<uint32_t>(QuantizeFloat(m_boxMax[i]));
    }
    PutAddress(words + 7, AddressWord(m_collide));
    PutAddress(words + 9, AddressWord(m_destroy));
    PutAddress(words + 11, AddressWord(m_rayHit));
    words[13] = m_serial;
    return phHash(0, words, sizeof(words));
}

bool phCollisionPolygonalSoup::UpdateSignature() {
    const uint32_t signature = GetSignature();
    if (signature == m_signature) {
        return false;
    }
    m_signature = signature;
    return true;
}

void phCollisionPolygonalSoup::Collide(phMeshCollideDesc& desc) const {
    desc.userData = m_userData;
    desc.faceCount = 0;
    if (m_collide != nullptr) {
        m_collide(desc);
    }
}
