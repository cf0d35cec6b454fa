#include "collision/compound.h"

#include "core/class_ids.h"
#include "core/memory.h"

#include <cmath>

namespace {

constexpr float kNoHit = 1.2f;

}  // namespace

phCompoundCollision::phCompoundCollision(int childCount, phCollision* const* children,
                                         phCollisionReleaser* releaser)
    : phCollision(0, phMatrix(), kCollisionCompound),
      m_releaser(releaser),
      m_localMin(0.0f, 0.0f, 0.0f, 1.0f),
      m_localMax(0.0f, 0.0f, 0.0f, 1.0f) {
    if (childCount > 0) {
        m_children = static_cast<phConvexCollision**>(
            phMalloc(sizeof(phConvexCollision*) * static_cast<size_t>(childCount)));
    }
    for (int i = 0; i < childCount; ++i) {
        phCollision* child = children[i];
        if (child == nullptr || !child->IsClass(kClassIdConvexCollision)) {
            continue;
        }
        phConvexCollision* convex = static_cast<phConvexCollision*>(child);
        convex->AddRef();
        m_children[m_childCount++] = convex;
        phVector boxMin;
        phVector boxMax;
        convex->CalcAABB(convex->GetOffsetMatrix(), boxMin, boxMax);
        m_localMin = phMin(m_localMin, boxMin);
        m_localMax = phMax(m_localMax, boxMax);
    }
}

phCompoundCollision::~phCompoundCollision() {
    for (int i = 0; i < m_childCount; ++i) {
        if (m_releaser != nullptr) {
            m_releaser->ReleaseCollision(m_children[i]);
        } else {
            m_children[i]->Release();
        }
    }
    phFree(m_children);
}

uint32_t phCompoundCollision::GetClassId() const { return kClassIdCompound; }

bool phCompoundCollision::IsClass(uint32_t classId) const {
    return classId == kClassIdCompound || phCollision::IsClass(classId);
}

phMatrix phCompoundCollision::GetChildMatrix(int i, const phMatrix& bodyMatrix) const {
    return m_children[i]->GetOffsetMatrix() * bodyMatrix;
}

void phCompoundCollision::CalcChildAABB(int i, const phMatrix& bodyMatrix, phVector& boxMin,
                                        phVector& boxMax) const {
    m_children[i]->CalcAABB(GetChildMatrix(i, bodyMatrix), boxMin, boxMax);
}

void phCompoundCollision::CalcAABB(const phMatrix& matrix, phVector& boxMin,
                                   phVector& boxMax) const {
    for (int j = 0; j < 3; ++j) {
        float low = matrix[3][j];
        float high = matrix[3][j];
        for (int i = 0; i < 3; ++i) {
            const float a = matrix[i][j] * m_localMin[i];
            const float b = matrix[i][j] * m_localMax[i];
            low += std::fmin(a, b);
            high += std::fmax(a, b);
        }
        boxMin[j] = low;
        boxMax[j] = high;
    }
    boxMin.w = 1.0f;
    boxMax.w = 1.0f;
}

void phCompoundCollision::ForEachPolygon(const phMatrix& globalMatrix, void* body,
                                         phPolygonIterator iterator) {
    for (int i = 0; i < m_childCount; ++i) {
        m_children[i]->ForEachPolygon(GetChildMatrix(i, globalMatrix), body, iterator);
    }
}

float phCompoundCollision::RayCast(const phVector& p0, const phVector& p1, phRayHit& hit) const {
    float best = kNoHit;
    for (int i = 0; i < m_childCount; ++i) {
        const phConvexCollision* child = m_children[i];
        const phMatrix& offset = child->GetOffsetMatrix();
        phRayHit childHit;
        const float t =
            child->RayCast(offset.UntransformVector(p0), offset.UntransformVector(p1), childHit);
        if (t < best) {
            best = t;
            hit = childHit;
            hit.normal = offset.RotateVector(childHit.normal);
            hit.normal.w = 1.0f;
        }
    }
    return best;
}

float phCompoundCollision::GetVolume() const {
    float volume = 0.0f;
    for (int i = 0; i < m_childCount; ++i) {
        volume += m_children[i]->GetVolume();
    }
    return volume;
}

phVector phCompoundCollision::VolumeBelowPlane(const phMatrix& matrix, phPlaneCallback callback,
                                               void* context) {
    phVector weighted(0.0f, 0.0f, 0.0f, 0.0f);
    float volume = 0.0f;
    for (int i = 0; i < m_childCount; ++i) {
        const phVector part =
            m_children[i]->VolumeBelowPlane(GetChildMatrix(i, matrix), callback, context);
        weighted += part * part.w;
        volume += part.w;
    }
    phVector centre = weighted * (1.0f / (volume + 1e-6f));
    centre.w = volume;
    return centre;
}
