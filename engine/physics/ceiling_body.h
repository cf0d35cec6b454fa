#pragma once

#include "engine/physics/body.h"

// The level's ceiling and side walls: static bodies that only airships
// touch, so that they cannot fly out of the level while everything else
// (shots, falling units) passes.
class CeilingBody : public orvel::Body {
public:
    std::shared_ptr<orvel::Body> Clone() const override;
    void ApplyForces() override {}
    void OnTransform(const orvel::Matrix4&) override {}
    void OnTeleport(bool) override {}
    // true only for an airship of any kind and side.
    bool AcceptContact(PhysMaterial* material, orvel::Body* other) override;

    // Whether an object name names an airship ("GoodAirShip",
    // "GoodAirShip_AI", "BadAirShip", ...): every name that holds "AirShip".
    static bool IsAirShipName(PropertyKey name);
};
