#pragma once

#include <memory>
#include <vector>

#include "engine/physics/collision.h"

namespace orvel {

// The shape of an object definition, built from its "Geometry" list: a single
// primitive, or an SDK compound of one child shape per entry.
class CompoundCollision : public Collision {
public:
    explicit CompoundCollision(Mechanica* world);
    ~CompoundCollision() override;

    void Release() override;
    std::shared_ptr<Collision> Clone() const override;
    // Throws ExceptionStringNotFound("Geometry", ...) when the list is
    // missing or empty and ("Geometry #", ...) for an entry that is not a
    // struct; the primitives' own errors pass through.
    void LoadGeometry(const PropertiesPtr& definition, bool flip);

    const std::vector<std::shared_ptr<Collision>>& GetChildren() const { return children; }

private:
    // The SDK compound over the children's shapes.
    void BuildCompound();

    std::vector<std::shared_ptr<Collision>> children;
};

}  // namespace orvel
