#include "collision/narrow_phase.h"

#include "collision/broadphase.h"
#include "collision/compound.h"
#include "core/class_ids.h"
#include "core/scratch_stack.h"
#include "dynamics/contact_joint.h"
#include "dynamics/material.h"
#include "dynamics/rigid_body.h"

#include <algorithm>

namespace {

constexpr float kDuplicateDistance = 0.005f;

bool IsCompound(const phCollision* shape) { return shape->IsClass(kClassIdCompound); }
bool IsConvex(const phCollision* shape) { return shape->IsClass(kClassIdConvexCollision); }

// The contacts of one convex shape against a non-compound one.
int CollideConvexSides(const phContactSide& convex, const phContactSide& other, phContactPoint* out,
                       int capacity) {
    if (IsConvex(other.shape)) {
        return CalculateConvexToConvexContacts(convex, other, out, capacity);
    }
    return CalculateConvexToMeshContacts(convex, other, out, capacity);
}

void NegateNormals(phContactPoint* points, int count) {
    for (int i = 0; i < count; ++i) {
        phVector& n = points[i].normal;
        n = phVector(-n.x, -n.y, -n.z, -n.w);
    }
}

// The points that go to the contact: duplicates out, the first few kept.
int ThinOut(phContactPoint* points, int count) {
    return std::min(phRemoveDuplicateContacts(points, count), kMaxPairContacts);
}

}  // namespace

int phRemoveDuplicateContacts(phContactPoint* points, int count) {
    for (int i = 0; i < count; ++i) {
        int j = i + 1;
        while (j < count) {
            if (phLengthSquared(points[j].position - points[i].position) < kDuplicateDistance) {
                points[j] = points[--count];
            } else {
                ++j;
            }
        }
    }
    return count;
}

int phCollideConvexBody(phRigidBody* convex, phRigidBody* other, phContactPoint* out,
                        int capacity) {
    return CollideConvexSides(phContactSide::FromBody(convex), phContactSide::FromBody(other), out,
                              capacity);
}

int phCollideCompoundBody(phRigidBody* compound, phRigidBody* other, phContactPoint* out,
                          int capacity) {
    const phCompoundCollision& shape = *static_cast<phCompoundCollision*>(compound->Shape());
    const phMatrix& matrix = compound->ShapeMatrix();
    const phContactSide otherSide = phContactSide::FromBody(other);
    const phCompoundCollision* otherCompound =
        IsCompound(other->Shape()) ? static_cast<phCompoundCollision*>(other->Shape()) : nullptr;
    int count = 0;
    for (int i = 0; i < shape.GetChildCount() && count <= kCompoundGatherLimit; ++i) {
        phVector partMin;
        phVector partMax;
        shape.CalcChildAABB(i, matrix, partMin, partMax);
        if (!phBroadPhase::BoxesOverlap(partMin, partMax, other->BoxMin(), other->BoxMax())) {
            continue;
        }
        phContactSide part;
        part.body = compound;
        part.shape = shape.GetChild(i);
        part.matrix = shape.GetChildMatrix(i, matrix);
        if (otherCompound == nullptr) {
            count += CollideConvexSides(part, otherSide, out + count, capacity - count);
            continue;
        }
        const phMatrix& otherMatrix = other->ShapeMatrix();
        for (int k = 0; k < otherCompound->GetChildCount() && count <= kCompoundGatherLimit; ++k) {
            phVector otherMin;
            phVector otherMax;
            otherCompound->CalcChildAABB(k, otherMatrix, otherMin, otherMax);
            if (!phBroadPhase::BoxesOverlap(partMin, partMax, otherMin, otherMax)) {
                continue;
            }
            phContactSide otherPart;
            otherPart.body = other;
            otherPart.shape = otherCompound->GetChild(k);
            otherPart.matrix = otherCompound->GetChildMatrix(k, otherMatrix);
            count += CollideConvexSides(part, otherPart, out + count, capacity - count);
        }
    }
    return count;
}

phContactJoint* phUpdatePairContact(phNarrowPhaseHost& host, const phMaterial& pair,
                                    phRigidBody* body0, phRigidBody* body1, phContactPoint* points,
                                    int count) {
    if (body0->IsStatic()) {
        std::swap(body0, body1);
        NegateNormals(points, count);
    }
    phContactJoint* contact = host.FindContact(body0, body1);
    if (contact == nullptr) {
        contact = host.CreateContact(body0, body1);
    } else if (contact->Body0() != body0) {
        NegateNormals(points, count);
    }
    if (contact != nullptr) {
        contact->Update(pair, points, count, host.RefreshStamp());
    }
    return contact;
}

void phCollidePair(phNarrowPhaseHost& host, phRigidBody* body0, phRigidBody* body1) {
    if (!host.JointsLetCollide(body0, body1)) {
        return;
    }
    phMaterial* pair = host.FindMaterialPair(body0->MaterialGroup(), body1->MaterialGroup());
    if (pair == nullptr ||
        !phMaterialBeginContact(*pair, host.StepLength(), body0->Handle(), body1->Handle())) {
        return;
    }
    phScratchArray<phContactPoint> points(kNarrowPhaseCapacity);
    phContactPoint* out = points.Data();
    const phCollision* shape0 = body0->Shape();
    const phCollision* shape1 = body1->Shape();
    int count = -1;
    phRigidBody* first = body0;
    phRigidBody* second = body1;
    if (IsCompound(shape0)) {
        count = phCollideCompoundBody(body0, body1, out, kNarrowPhaseCapacity);
    } else if (IsCompound(shape1)) {
        std::swap(first, second);
        count = phCollideCompoundBody(body1, body0, out, kNarrowPhaseCapacity);
    } else if (IsConvex(shape0)) {
        count = phCollideConvexBody(body0, body1, out, kNarrowPhaseCapacity);
    } else if (IsConvex(shape1)) {
        std::swap(first, second);
        count = phCollideConvexBody(body1, body0, out, kNarrowPhaseCapacity);
    }
    if (count >= 0) {
        phUpdatePairContact(host, *pair, first, second, out, ThinOut(out, count));
    }
    phMaterialEndContact(*pair);
}
