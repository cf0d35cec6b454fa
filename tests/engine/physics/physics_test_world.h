#pragma once

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "engine/physics/collision.h"
#include "engine/physics/flat_body.h"
#include "engine/physics/material_groups.h"
#include "engine/physics/mechanica.h"

// A body of the play field for tests: it applies gravity and its force
// accumulator each step, keeps to the plane when asked, and counts what the
// world and the SDK ask of it.
class ProbeBody : public orvel::FlatBody {
public:
    bool flat = false;
    bool gravity = true;
    bool accept = true;
    bool keepContacts = true;
    bool preStepResult = true;
    bool updateResult = true;
    int forceCalls = 0;
    int transformCalls = 0;
    int teleports = 0;
    int acceptCalls = 0;
    int contactCalls = 0;
    int contactEndCalls = 0;
    int preSteps = 0;
    int updates = 0;
    int draws = 0;
    orvel::Body* lastOther = nullptr;

    void ApplyForces() override {
        ++forceCalls;
        if (flat) {
            FlattenMotion();
        }
        ApplyAccumulatedForce();
        if (gravity) {
            ApplyGravity();
        }
    }
    void OnTransform(const orvel::Matrix4&) override { ++transformCalls; }
    void Draw() override { ++draws; }
    void OnTeleport(bool) override { ++teleports; }
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override {
        ++acceptCalls;
        lastOther = other;
        return accept && FlatBody::AcceptContact(material, other);
    }
    bool OnContact(PhysMaterial*, PhysContact*, orvel::Body*) override {
        ++contactCalls;
        return keepContacts;
    }
    void OnContactEnd(PhysMaterial*, orvel::Body*) override { ++contactEndCalls; }
    bool PreStep() override {
        ++preSteps;
        return preStepResult && FlatBody::PreStep();
    }
    bool Update() override {
        ++updates;
        return updateResult && FlatBody::Update();
    }
    void SetObjectName(PropertyKey name) { objectName = name; }
};

// A box body of w x h world units (depth 10 pixels) at (x, y), with the mass
// given (0: immovable) and, when named, a material group.
template <typename BodyType = ProbeBody>
std::shared_ptr<BodyType> MakeBox(orvel::Mechanica& world, float w, float h, float x, float y,
                                  float mass, PropertyKey group = PropertyKey()) {
    std::shared_ptr<orvel::Collision> shape = std::make_shared<orvel::Collision>(&world);
    shape->CreateBox(w, h, 0.0f, orvel::Matrix4::Identity());
    std::shared_ptr<BodyType> body = std::make_shared<BodyType>();
    body->CreateWithCollision(&world, shape);
    body->SetMatrix(orvel::Matrix4::Translation(orvel::Vector4(x, y, 0.0f)));
    if (mass > 0.0f) {
        body->SetMass(mass);
    }
    if (group != PropertyKey()) {
        body->SetMaterialGroup(group);
    }
    world.AddBody(body);
    return body;
}

// A world as a level has it: 30 pixels a world unit and the game's
// material file applied.
inline std::unique_ptr<orvel::Mechanica> MakeGameWorld() {
    std::unique_ptr<orvel::Mechanica> world(new orvel::Mechanica());
    world->SetScale(30.0f);
    orvel::LoadMaterialGroups(*world, "resources/materials1.txt");
    return world;
}

// Runs `frames` frames of 1/60 s as the in-game frame does.
inline void RunFrames(orvel::Mechanica& world, int frames) {
    for (int i = 0; i < frames; ++i) {
        world.PreStepBodies();
        world.Update(orvel::Mechanica::kStep);
        world.UpdateBodies();
    }
}
