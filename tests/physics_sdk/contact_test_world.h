// A small stand-in for the world in the contact tests: bodies on a grid, the
// material pairs, the contact joints, and the narrow phase's questions
// answered from them.
#ifndef TESTS_PHYSICS_SDK_CONTACT_TEST_WORLD_H
#define TESTS_PHYSICS_SDK_CONTACT_TEST_WORLD_H

#include "collision/broadphase.h"
#include "collision/narrow_phase.h"
#include "dynamics/contact_joint_list.h"
#include "dynamics/material.h"
#include "dynamics/rigid_body.h"

#include <memory>
#include <utility>
#include <vector>

class ContactTestWorld : public phNarrowPhaseHost {
public:
    ContactTestWorld() { grid.SetWorldSize(phVector(-100, -100, -100), phVector(100, 100, 100)); }
    ~ContactTestWorld() {
        while (phContactJoint* contact = contacts.GetFirst()) {
            contact->Release();
        }
        for (auto& body : m_bodies) {
            body->Shutdown();
        }
    }

    // A body around shape (whose creation reference the body takes over):
    // dynamic with unit mass unless mass is 0.
    phRigidBody* AddBody(phCollision* shape, const phMatrix& matrix, float mass = 1.0f,
                         int group = 0) {
        m_bodies.push_back(std::make_unique<phRigidBody>());
        phRigidBody* body = m_bodies.back().get();
        body->Init(nullptr, &grid, shape, static_cast<uint32_t>(m_bodies.size()), group,
                   phFreezeThresholds());
        shape->Release();
        if (mass > 0.0f) {
            body->SetMass(mass, mass, mass, mass);
        }
        body->SetMatrix(matrix);
        return body;
    }

    // One collision pass over the given pairs, then the stale contacts go as
    // the island solver and the end of the step would remove them.
    void Step(const std::vector<std::pair<phRigidBody*, phRigidBody*>>& pairs) {
        stamp += 2;
        for (const auto& pair : pairs) {
            phCollidePair(*this, pair.first, pair.second);
        }
        std::vector<phContactJoint*> stale;
        for (phContactJoint* c = contacts.GetFirst(); c != nullptr; c = c->listNext) {
            if (c->RefreshMark() != stamp) {
                stale.push_back(c);
            }
        }
        for (phContactJoint* c : stale) {
            contacts.Remove(c);
        }
        while (phContactJoint* c = contacts.PopQueued()) {
            c->Release();
        }
    }

    phMaterial* FindMaterialPair(int group0, int group1) override {
        return materials.Find(group0, group1);
    }
    float StepLength() const override { return 1.0f / 60.0f; }
    uint32_t RefreshStamp() const override { return stamp; }
    bool JointsLetCollide(phRigidBody* body0, phRigidBody* body1) override {
        for (const auto& pair : jointsWithoutCollision) {
            if ((pair.first == body0 && pair.second == body1) ||
                (pair.first == body1 && pair.second == body0)) {
                return false;
            }
        }
        return true;
    }
    phContactJoint* FindContact(phRigidBody* body0, phRigidBody* body1) override {
        for (phContactJoint* c = contacts.GetFirst(); c != nullptr; c = c->listNext) {
            if ((c->Body0() == body0 && c->Body1() == body1) ||
                (c->Body0() == body1 && c->Body1() == body0)) {
                return c;
            }
        }
        return nullptr;
    }
    phContactJoint* CreateContact(phRigidBody* body0, phRigidBody* body1) override {
        return contacts.Create(body0, body1);
    }

    phBroadPhase grid;
    phMaterialPairs materials;
    phContactJointList contacts;
    std::vector<std::pair<phRigidBody*, phRigidBody*>> jointsWithoutCollision;
    uint32_t stamp = 2;

private:
    std::vector<std::unique_ptr<phRigidBody>> m_bodies;
};

inline phMatrix At(float x, float y, float z, const phMatrix& rotation = phMatrix()) {
    phMatrix m = rotation;
    m[3] = phVector(x, y, z, 1.0f);
    return m;
}

#endif
