#include "dynamics/contact_joint.h"

#include "core/pool.h"
#include "dynamics/body_math.h"
#include "dynamics/contact_joint_list.h"
#include "dynamics/rigid_body.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

// Tangential speeds up to sqrt(0.01) take their tangents from the normal.
constexpr float kSlidingSpeedSquared = 0.01f;
// A stored point this close (squared) is taken at once.
constexpr float kSamePointDistance = 1e-6f;
// Beyond this |n.z| the first tangent is built from the x axis.
constexpr float kTangentAxisSwitch = 0.577f;
constexpr size_t kPointPageKilobytes = 4;

phPool& PointPool() {
    static phPool pool(sizeof(phContactPointNode),
                       phPool::ElementsPerPage(sizeof(phContactPointNode), kPointPageKilobytes));
    return pool;
}

phVector Direction(const phVector& v) { return phVector(v.x, v.y, v.z, 0.0f); }

phVector PointVelocity(const phRigidBody* body, const phVector& point) {
    if (body == nullptr) {
        return phVector(0.0f, 0.0f, 0.0f, 0.0f);
    }
    return Direction(body->Velocity() +
                     phCross(body->AngularVelocity(), Direction(point - body->Position())));
}

// Unit tangents of a point from the tangential part of the relative velocity,
// or from the normal alone when the point barely slides.
void SetTangents(phMaterial& record, const phVector& relativeVelocity) {
    const phVector n = Direction(record.normal);
    const phVector t = relativeVelocity - n * phDot(relativeVelocity, n);
    const float speedSquared = phDot(t, t);
    phVector tangent;
    if (speedSquared > kSlidingSpeedSquared) {
        tangent = t * (1.0f / std::sqrt(speedSquared));
    } else {
        const phVector axis =
            std::fabs(n.z) <= kTangentAxisSwitch ? phVector(0, 0, 1, 0) : phVector(1, 0, 0, 0);
        const phVector c = Direction(phCross(n, axis));
        tangent = c * phFastInvSqrt(phDot(c, c));
    }
    record.tangent0 = Direction(tangent);
    const phVector second = phCross(n, tangent);
    record.tangent1 = phVector(second.x, second.y, second.z, record.normal.w);
}

}  // namespace

size_t phContactPointNodeCount() { return PointPool().GetLiveCount(); }

phContactJoint::~phContactJoint() { EmptyPoints(); }

int phContactJoint::Init() {
    phConstraint::Init();
    EmptyPoints();
    m_kind = kJointContact;
    m_maxRowCount = 3;
    m_frictionRowCount = 0;
    m_refreshMark = 0;
    m_flag = 1;
    return 0;
}

void phContactJoint::Release() {
    EmptyPoints();
    if (owner != nullptr) {
        owner->Recycle(this);
    }
}

void phContactJoint::SetBodies(phRigidBody* body0, phRigidBody* body1) {
    m_body0 = body0;
    m_body1 = body1;
}

void phContactJoint::EmptyPoints() {
    while (m_first != nullptr) {
        phContactPointNode* node = m_first;
        m_first = node->next;
        node->material.~phMaterial();
        PointPool().Free(node);
    }
    m_last = nullptr;
    m_lastUsed = nullptr;
    m_pointCount = 0;
    m_usedCount = 0;
}

phContactPointNode* phContactJoint::NewNode() {
    void* memory = PointPool().Allocate();
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    phContactPointNode* node = static_cast<phContactPointNode*>(memory);
    new (&node->material) phMaterial();
    node->prev = nullptr;
    node->next = nullptr;
    return node;
}

void phContactJoint::Unlink(phContactPointNode* node) {
    (node->prev != nullptr ? node->prev->next : m_first) = node->next;
    (node->next != nullptr ? node->next->prev : m_last) = node->prev;
    node->prev = nullptr;
    node->next = nullptr;
}

void phContactJoint::InsertAfter(phContactPointNode* node, phContactPointNode* after) {
    node->prev = after;
    node->next = after != nullptr ? after->next : m_first;
    (node->next != nullptr ? node->next->prev : m_last) = node;
    (after != nullptr ? after->next : m_first) = node;
}

void phContactJoint::Update(const phMaterial& pair, const phContactPoint* points, int count,
                            uint32_t stamp) {
    m_usedCount = 0;
    m_lastUsed = nullptr;
    m_refreshMark = stamp;
    for (int i = 0; i < count; ++i) {
        const phContactPoint& point = points[i];
        phContactPointNode* node = nullptr;
        if (m_usedCount == m_pointCount) {
            node = NewNode();
            InsertAfter(node, m_last);
            ++m_pointCount;
        } else {
            // The nearest unused stored point; the first one when no distance
            // compares (a point far out enough to square to infinity or NaN).
            float nearest = 1e30f;
            phContactPointNode* first = m_lastUsed != nullptr ? m_lastUsed->next : m_first;
            node = first;
            for (phContactPointNode* candidate = first; candidate != nullptr;
                 candidate = candidate->next) {
                const float distance = phLengthSquared(candidate->material.point - point.position);
                if (distance < nearest) {
                    nearest = distance;
                    node = candidate;
                    if (distance < kSamePointDistance) {
                        break;
                    }
                }
            }
        }
        phMaterial& record = node->material;
        record.point = point.position;
        record.normal = point.normal;
        std::memset(record.contactData, 0, sizeof(record.contactData));
        record.contactData[0] = point.penetration;
        std::memcpy(&record.contactData[1], &point.faceAttribute, sizeof(point.faceAttribute));
        phMaterialCopyFromPair(record, pair);
        SetTangents(record, PointVelocity(m_body1, point.position) -
                                PointVelocity(m_body0, point.position));
        if (phMaterialProcessContact(pair, record, Handle())) {
            if (node != (m_lastUsed != nullptr ? m_lastUsed->next : m_first)) {
                Unlink(node);
                InsertAfter(node, m_lastUsed);
            }
            m_lastUsed = node;
            ++m_usedCount;
        }
    }
    m_maxRowCount = static_cast<uint16_t>(3 * m_usedCount);
}
