#include "collision/collision_cache.h"

#include "collision/box.h"
#include "collision/collision.h"
#include "collision/convex_hull.h"
#include "collision/cylinder.h"
#include "collision/static_mesh.h"
#include "core/class_ids.h"
#include "core/hash.h"
#include "core/memory.h"
#include "core/scratch_stack.h"

#include <cmath>
#include <cstring>

struct phCollisionCache::Entry {
    phCollision* shape;
    Entry* next;
    size_t length;
    // The key record follows the entry in the same block.
    const unsigned char* Record() const { return reinterpret_cast<const unsigned char*>(this + 1); }
    unsigned char* Record() { return reinterpret_cast<unsigned char*>(this + 1); }
};

namespace {

void WriteMatrix(const phMatrix& offset, int32_t* words) {
    float floats[16];
    offset.Store(floats);
    std::memcpy(words, floats, sizeof(floats));
}

// Drops every reference to a shape, which deletes it.
void DestroyShape(phCollision* shape) {
    while (shape->GetRefCount() > 1) {
        shape->Release();
    }
    shape->Release();
}

// Sizes quantised to 1/1024 by truncation, from their absolute values.
int32_t QuantizeSize(float value, float scale) { return QuantizeFloat(std::fabs(value) * scale); }

}  // namespace

phBoxKey phMakeBoxKey(float dx, float dy, float dz, const phMatrix& offset) {
    phBoxKey key;
    key.words[0] = kCollisionBox;
    key.words[1] = QuantizeSize(dx, 0.5f);
    key.words[2] = QuantizeSize(dy, 0.5f);
    key.words[3] = QuantizeSize(dz, 0.5f);
    WriteMatrix(offset, key.words + 4);
    return key;
}

phCylinderKey phMakeCylinderKey(float radius, float height, const phMatrix& offset) {
    phCylinderKey key;
    key.words[0] = kCollisionCylinder;
    key.words[1] = QuantizeSize(radius, 1.0f);
    key.words[2] = QuantizeSize(height, 0.5f);
    WriteMatrix(offset, key.words + 3);
    return key;
}

void phMakeConvexHullKey(int pointCount, int strideInBytes, const float* points,
                         const phMatrix& offset, int32_t* record) {
    const size_t stride = static_cast<size_t>(strideInBytes) & ~size_t(3);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(points);
    record[0] = kCollisionConvexHull;
    for (int i = 0; i < pointCount; ++i) {
        float p[3];
        std::memcpy(p, bytes + static_cast<size_t>(i) * stride, sizeof(p));
        for (int k = 0; k < 3; ++k) {
            record[1 + 3 * i + k] = QuantizeFloat(p[k]);
        }
    }
    WriteMatrix(offset, record + 1 + 3 * pointCount);
}

phStaticMeshKey phMakeStaticMeshKey(const phCollisionPolygonalSoup& mesh) {
    phStaticMeshKey key;
    key.words[0] = kCollisionPolygonalSoup;
    for (int i = 0; i < 3; ++i) {
        key.words[1 + i] = static_cast<uint32_t>(QuantizeFloat(mesh.GetBoxMin()[i]));
        key.words[4 + i] = static_cast<uint32_t>(QuantizeFloat(mesh.GetBoxMax()[i]));
    }
    const uint64_t addresses[4] = {reinterpret_cast<uint64_t>(mesh.GetCollideCallback()),
                                   reinterpret_cast<uint64_t>(mesh.GetDestroyCallback()),
                                   reinterpret_cast<uint64_t>(mesh.GetRayHitCallback()),
                                   reinterpret_cast<uint64_t>(&mesh)};
    for (int i = 0; i < 4; ++i) {
        key.words[7 + 2 * i] = static_cast<uint32_t>(addresses[i]);
        key.words[8 + 2 * i] = static_cast<uint32_t>(addresses[i] >> 32);
    }
    return key;
}

uint32_t phCollisionCache::KeyOf(const void* record, size_t length) {
    return phHash(0, record, length);
}

phCollisionCache::~phCollisionCache() {
    while (m_compounds.GetCount() > 0) {
        phCollision* shape = const_cast<phCollision*>(m_compounds.First()->key);
        m_compounds.Erase(m_compounds.First());
        DestroyShape(shape);
    }
    while (m_byShape.GetCount() > 0) {
        phCollision* shape = const_cast<phCollision*>(m_byShape.First()->key);
        Remove(shape);
        DestroyShape(shape);
    }
}

phCollision* phCollisionCache::Find(const void* record, size_t length) {
    auto* node = m_byKey.Find(KeyOf(record, length));
    for (Entry* entry = node != nullptr ? node->info : nullptr; entry != nullptr;
         entry = entry->next) {
        if (entry->length == length && std::memcmp(entry->Record(), record, length) == 0) {
            entry->shape->AddRef();
            return entry->shape;
        }
    }
    return nullptr;
}

void phCollisionCache::Insert(phCollision* shape, const void* record, size_t length) {
    if (Contains(shape)) {
        return;
    }
    Entry* entry = static_cast<Entry*>(phMalloc(sizeof(Entry) + length));
    if (entry == nullptr) {
        return;
    }
    entry->shape = shape;
    entry->length = length;
    std::memcpy(entry->Record(), record, length);
    const uint32_t key = KeyOf(record, length);
    bool existed = false;
    auto* node = m_byKey.Insert(key, nullptr, &existed);
    entry->next = node->info;
    node->info = entry;
    m_byShape.Insert(shape, key);
    shape->AddRef();
}

bool phCollisionCache::Contains(const phCollision* shape) const {
    return m_byShape.Find(shape) != nullptr;
}

void phCollisionCache::Remove(phCollision* shape) {
    auto* shapeNode = m_byShape.Find(shape);
    if (shapeNode == nullptr) {
        return;
    }
    auto* keyNode = m_byKey.Find(shapeNode->info);
    m_byShape.Erase(shapeNode);
    if (keyNode == nullptr) {
        return;
    }
    Entry** link = &keyNode->info;
    while (*link != nullptr && (*link)->shape != shape) {
        link = &(*link)->next;
    }
    if (*link != nullptr) {
        Entry* entry = *link;
        *link = entry->next;
        phFree(entry);
    }
    if (keyNode->info == nullptr) {
        m_byKey.Erase(keyNode);
    }
}

void phCollisionCache::ReleaseCollision(phCollision* shape) {
    if (shape == nullptr) {
        return;
    }
    if (!Contains(shape)) {
        if (shape->GetRefCount() == 1) {
            if (auto* node = m_compounds.Find(shape)) {
                m_compounds.Erase(node);
            }
        }
        shape->Release();
        return;
    }
    if (shape->GetRefCount() > 2) {
        shape->Release();
        return;
    }
    // The cache's reference is the last one left after this release.
    Remove(shape);
    while (shape->GetRefCount() > 1) {
        shape->Release();
    }
    shape->Release();
}

void phCollisionCache::Rekey(phCollision* shape, const void* record, size_t length) {
    auto* shapeNode = m_byShape.Find(shape);
    if (shapeNode == nullptr) {
        return;
    }
    auto* keyNode = m_byKey.Find(shapeNode->info);
    for (Entry* entry = keyNode != nullptr ? keyNode->info : nullptr; entry != nullptr;
         entry = entry->next) {
        if (entry->shape == shape) {
            if (entry->length == length && std::memcmp(entry->Record(), record, length) == 0) {
                return;
            }
            break;
        }
    }
    // Re-entered under the new record; the cache's reference carries over.
    Remove(shape);
    Insert(shape, record, length);
    shape->Release();
}

phCollision* phCollisionCache::CreateBox(float dx, float dy, float dz, const phMatrix& offset) {
    const phBoxKey key = phMakeBoxKey(dx, dy, dz, offset);
    if (phCollision* shared = Find(&key, sizeof(key))) {
        return shared;
    }
    phCollision* shape = new phCollisionBox(KeyOf(&key, sizeof(key)), dx, dy, dz, offset);
    Insert(shape, &key, sizeof(key));
    return shape;
}

phCollision* phCollisionCache::CreateCylinder(float radius, float height, const phMatrix& offset) {
    const phCylinderKey key = phMakeCylinderKey(radius, height, offset);
    if (phCollision* shared = Find(&key, sizeof(key))) {
        return shared;
    }
    phCollision* shape = new phCollisionCylinder(KeyOf(&key, sizeof(key)), radius, height, offset);
    Insert(shape, &key, sizeof(key));
    return shape;
}

phCollision* phCollisionCache::CreateConvexHull(int pointCount, int strideInBytes,
                                                const float* points, const phMatrix& offset) {
    if (pointCount < 0) {
        pointCount = 0;
    }
    const size_t words = 3 * static_cast<size_t>(pointCount) + 17;
    phScratchArray<int32_t> key(words);
    phMakeConvexHullKey(pointCount, strideInBytes, points, offset, key.Data());
    const size_t length = words * sizeof(int32_t);
    if (phCollision* shared = Find(key.Data(), length)) {
        return shared;
    }
    phCollisionConvexHull* shape = new phCollisionConvexHull(KeyOf(key.Data(), length), pointCount,
                                                             strideInBytes, points, offset);
    if (shape->GetFaceCount() == 0) {
        // The points span no volume.
        shape->Release();
        return nullptr;
    }
    Insert(shape, key.Data(), length);
    return shape;
}

phCollision* phCollisionCache::CreateCompound(int count, phCollision* const* parts) {
    // A compound holds convex parts only. A part that is missing or not
    // convex makes the whole request fail, so that the caller learns of it
    // rather than getting a body without that part.
    if (count <= 0) {
        return nullptr;
    }
    for (int i = 0; i < count; ++i) {
        if (parts[i] == nullptr || !parts[i]->IsClass(kClassIdConvexCollision)) {
            return nullptr;
        }
    }
    phCompoundCollision* compound = new phCompoundCollision(count, parts, this);
    try {
        m_compounds.Insert(compound, 0);
    } catch (...) {
        compound->Release();
        throw;
    }
    return compound;
}

void phCollisionCache::AddStaticMesh(phCollisionPolygonalSoup* mesh) {
    const phStaticMeshKey key = phMakeStaticMeshKey(*mesh);
    Insert(mesh, &key, sizeof(key));
}

void phCollisionCache::UpdateStaticMesh(phCollisionPolygonalSoup* mesh) {
    const phStaticMeshKey key = phMakeStaticMeshKey(*mesh);
    Rekey(mesh, &key, sizeof(key));
}
