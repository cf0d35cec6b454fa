#pragma once

#include <vector>

#include "engine/core/watcher.h"
#include "engine/physics/body.h"

namespace orvel {

// One body that touched a sensor: the first contact point's position and
// normal as the SDK gave them.
struct SensedBody {
    Body* body = nullptr;
    Vector4 position;
    Vector4 normal;
};

// A sensor: records every body that touches it, buildings included, and
// drops every contact, so it never pushes anything. Its owner moves it with SetMatrixDirect and
// empties it with ClearSensed once it has read what the last step found. A
// recorded body that goes away leaves the list at once.
class MultiSensorBody : public Body, public Watcher {
public:
    ~MultiSensorBody() override;

    // The SDK never pairs two bodies of infinite mass, so a sensor gets a
    // nominal mass of 1 and could see buildings; it never moves by itself,
    // as ApplyForces holds it still and its contacts are all dropped.
    void CreateWithCollision(Mechanica* world,
                             const std::shared_ptr<Collision>& collision) override;
    std::shared_ptr<Body> Clone() const override;
    // Holds the sensor still: only its owner moves it.
    void ApplyForces() override;
    void OnTransform(const Matrix4&) override {}
    void OnTeleport(bool) override {}
    // Records `other` once and drops the contact.
    bool OnContact(PhysMaterial* material, PhysContact* contact, Body* other) override;
    virtual void ClearSensed();

    void OnWatchedGoingAway(Watched* watched) override;

    const std::vector<SensedBody>& GetSensed() const { return sensed; }
    // The first recorded body of another team than `team`; null for team 0.
    Body* FindEnemy(int team) const;
    // The first recorded body of `team`; null for team 0.
    Body* FindFriend(int team) const;
    // Forgets every recorded body that the sensor's world no longer holds.
    void PruneOutsideWorld();

private:
    bool IsSensed(const Body* other) const;

    std::vector<SensedBody> sensed;
};

}  // namespace orvel
