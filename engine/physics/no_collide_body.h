#pragma once

#include "engine/physics/body.h"

namespace orvel {

// A static body that only mobile units (group "mg_mobile_unit") touch.
class NoCollideBody : public Body {
public:
    std::shared_ptr<Body> Clone() const override;
    void ApplyForces() override {}
    void OnTransform(const Matrix4&) override {}
    void OnTeleport(bool) override {}
    bool AcceptContact(PhysMaterial* material, Body* other) override;
};

}  // namespace orvel
