#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/physics/collision.h"

namespace orvel {

// The level's ground: a static mesh of one strip per pair of neighbouring
// nodes, node i at x = i * spacing with its height from "nodeHeights" (both
// pixels), the strip spanning the depth of the play field.
class TerrainCollision : public Collision {
public:
    explicit TerrainCollision(Mechanica* world);
    ~TerrainCollision() override;

    void DebugDraw() override;
    // The ground is never cloned: the result is empty.
    std::shared_ptr<Collision> Clone() const override;
    // Reads "nodeHeights" (list of int) and "nodeSpacing" (int) and builds
    // the mesh. Throws ExceptionStringNotFound for a missing key and
    // ExceptionGeneral naming the key for a spacing that is not positive.
    void Load(const PropertiesPtr& definition, bool flip = false) override;
    // The ground's surface under the x of `matrix`: turned to the slope of
    // that segment and placed on the ground at that x. Past either end (or
    // for an x that is not a number) the matrix comes back unchanged.
    Matrix4 SurfaceMatrixAt(const Matrix4& matrix) const;

    const std::vector<int32_t>& GetNodeHeights() const { return *nodeHeights; }
    int GetNodeCount() const { return nodeCount; }
    int GetNodeSpacing() const { return nodeSpacing; }

private:
    std::shared_ptr<std::vector<int32_t>> nodeHeights;
    int nodeCount = 0;
    int nodeSpacing = 0;
};

}  // namespace orvel
