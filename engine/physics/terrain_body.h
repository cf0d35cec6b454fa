#pragma once

#include "engine/physics/body.h"

namespace orvel {

// The level's ground, walls and other static bodies that nothing moves.
class TerrainBody : public Body {
public:
    std::shared_ptr<Body> Clone() const override;
    void ApplyForces() override {}
    void OnTransform(const Matrix4&) override {}
    void OnTeleport(bool) override {}

    // The ground's surface under the x of `matrix` when the collision is a
    // terrain; otherwise the matrix unchanged.
    Matrix4 SurfaceMatrixAt(const Matrix4& matrix) const;
};

}  // namespace orvel
