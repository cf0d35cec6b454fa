#include "dynamics/material.h"

#include <cmath>

namespace {

// Clamps into [lo, hi]; NaN becomes lo.
float Clamp(float value, float lo, float hi) {
    if (!(value >= lo)) {
        return lo;
    }
    return value > hi ? hi : value;
}

PhysMaterial* Handle(phMaterial& material) { return reinterpret_cast<PhysMaterial*>(&material); }

}  // namespace

void phMaterial::GetContactPositionAndNormal(float position[3], float normalOut[3]) const {
    point.Store(position);
    normal.Store(normalOut);
}

void phMaterial::SetContactFrictionState(int state, int index) {
    const uint32_t bit = index == 0 ? kMaterialFriction0 : kMaterialFriction1;
    if (state != 0) {
        flags |= bit;
    } else {
        flags &= ~bit;
    }
}

void phMaterial::SetContactTangentDirection(const float dir[3]) {
    const phVector c = phCross(phVector(dir), normal);
    const float lengthSquared = phDot(c, c);
    if (!(lengthSquared > 1e-6f)) {
        return;
    }
    tangent1 = c * (1.0f / std::sqrt(lengthSquared));
    tangent1.w = 1.0f;
    tangent0 = phCross(normal, tangent1);
    tangent0.w = normal.w;
}

phMaterialPairs::phMaterialPairs() { CreateGroup(); }

uint32_t phMaterialPairs::PairKey(int id0, int id1) {
    const uint32_t a = uint32_t(id0);
    const uint32_t b = uint32_t(id1);
    return a > b ? (a << 16) + b : (b << 16) + a;
}

int phMaterialPairs::CreateGroup() {
    if (m_groupCount >= kMaxMaterialGroups) {
        return -1;
    }
    // The count grows only once every pair is in, so that a failing
    // allocator leaves no group without its pairs.
    const int id = m_groupCount;
    const phMaterial defaults;
    for (int u = 0; u <= id; ++u) {
        m_pairs.Insert(PairKey(id, u), defaults);
    }
    m_groupCount = id + 1;
    return id;
}

phMaterial* phMaterialPairs::Find(int id0, int id1) {
    if (id0 < 0 || id1 < 0 || id0 >= m_groupCount || id1 >= m_groupCount) {
        return nullptr;
    }
    phTree<uint32_t, phMaterial>::Node* node = m_pairs.Find(PairKey(id0, id1));
    return node ? &node->info : nullptr;
}

void phMaterialPairs::RemoveAll() {
    m_pairs.Clear();
    m_groupCount = 0;
    CreateGroup();
}

void phMaterialPairs::SetCollidable(int id0, int id1, int state) {
    if (phMaterial* pair = Find(id0, id1)) {
        if (state != 0) {
            pair->flags |= kMaterialCollidable;
        } else {
            pair->flags &= ~kMaterialCollidable;
        }
    }
}

void phMaterialPairs::SetCollisionCallback(int id0, int id1, void* userData,
                                           PhysContactBeginCallback begin,
                                           PhysContactProcessCallback process,
                                           PhysContactEndCallback end) {
    if (phMaterial* pair = Find(id0, id1)) {
        pair->userData = userData;
        pair->beginCallback = begin;
        pair->processCallback = process;
        pair->endCallback = end;
    }
}

void phMaterialPairs::SetFriction(int id0, int id1, float staticFriction, float kineticFriction) {
    phMaterial* pair = Find(id0, id1);
    if (!pair) {
        return;
    }
    float s = std::fabs(staticFriction);
    if (!(s >= 0.01f)) {
        pair->flags &= ~(kMaterialFriction0 | kMaterialFriction1);
        return;
    }
    const float k = Clamp(std::fabs(kineticFriction), 0.01f, 2.0f);
    if (s > 2.0f) {
        s = 2.0f;
    }
    if (k > s) {
        s = k;
    }
    pair->staticFriction[0] = pair->staticFriction[1] = s;
    pair->kineticFriction[0] = pair->kineticFriction[1] = k;
}

void phMaterialPairs::SetElasticity(int id0, int id1, float elasticity) {
    if (phMaterial* pair = Find(id0, id1)) {
        pair->elasticity = Clamp(elasticity, 0.01f, 2.0f);
    }
}

void phMaterialPairs::SetSoftness(int id0, int id1, float softness) {
    if (phMaterial* pair = Find(id0, id1)) {
        pair->softness = Clamp(softness, 0.01f, 1.0f);
    }
}

bool phMaterialBeginContact(phMaterial& pair, float timeStep, PhysBody* body0, PhysBody* body1) {
    if (!(pair.flags & kMaterialCollidable)) {
        return false;
    }
    pair.timeStep = timeStep;
    return !pair.beginCallback || pair.beginCallback(Handle(pair), body0, body1) != 0;
}

void phMaterialCopyFromPair(phMaterial& contact, const phMaterial& pair) {
    const uint32_t pairBits = kMaterialCollidable | kMaterialFriction0 | kMaterialFriction1;
    contact.softness = pair.softness;
    contact.elasticity = pair.elasticity;
    contact.staticFriction[0] = pair.staticFriction[0];
    contact.staticFriction[1] = pair.staticFriction[1];
    contact.kineticFriction[0] = pair.kineticFriction[0];
    contact.kineticFriction[1] = pair.kineticFriction[1];
    contact.flags = (contact.flags & ~pairBits) | (pair.flags & pairBits);
    contact.timeStep = pair.timeStep;
    contact.userData = pair.userData;
}

bool phMaterialProcessContact(const phMaterial& pair, phMaterial& contact,
                              PhysContact* contactJoint) {
    if (!pair.processCallback) {
        return true;
    }
    const int accepted = pair.processCallback(Handle(contact), contactJoint);
    return accepted != 0 && (contact.flags & kMaterialCollidable) != 0;
}

void phMaterialEndContact(phMaterial& pair) {
    if (pair.endCallback) {
        pair.endCallback(Handle(pair));
    }
}
