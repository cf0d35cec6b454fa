#pragma once

#include <cstdint>
#include <memory>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "engine/physics/matrix4.h"
#include "engine/physics/vector4.h"
#include "physics_sdk/phys.h"

namespace orvel {

class Mechanica;

// One collision shape of the play plane with the parameters it was made
// from, so that every unit made from a prototype gets a copy of its own.
// Shapes are flat: every one is `depth` pixels thick along z.
//
// Kinds, by the "type" of a definition:
// - "BOX": a box of the extent.
// - "SPHERE": a disc in the play plane whose radius is the extent's x.
// - "CAPSULE": a rounded bar, the convex hull of twenty points.
// - "CYLINDER": a box of the extent (a side view of a cylinder).
// Sizes are pixels; the world's scale turns them into world units.
class Collision {
public:
    static constexpr float kDefaultDepth = 10.0f;

    explicit Collision(Mechanica* world);
    virtual ~Collision();
    Collision(const Collision&) = delete;
    Collision& operator=(const Collision&) = delete;

    // Drops the SDK shape; every create operation does this first.
    virtual void Release();
    // The size of the shape's box as it sits in its body, offset included
    // (w = 0); zero without an SDK shape.
    virtual Vector4 GetExtent() const;
    virtual void DebugDraw();
    // A shape of its own with the same parameters.
    virtual std::shared_ptr<Collision> Clone() const;
    // Reads a primitive's "type", "extent", "position", "rotation" (degrees)
    // and "lineColour"; `flip` mirrors position and rotation in x. Throws
    // ExceptionStringNotFound for a missing "type" or "extent" and
    // ExceptionGeneral naming the key for an extent that is not positive,
    // an unknown type or a position or rotation that is not finite.
    virtual void Load(const PropertiesPtr& definition, bool flip);
    // Sizes in world units; `matrix` places the shape in its body.
    virtual void CreateBox(float x, float y, float z, const Matrix4& matrix);
    virtual void CreateSphere(float x, float y, float z, const Matrix4& matrix);
    virtual void CreateCapsule(float width, float height, const Matrix4& matrix);
    virtual void CreateCylinder(float width, float height, const Matrix4& matrix);

    // Thickness in pixels; sensors use 9 so that they sit inside the units.
    void SetDepth(float pixels) { depth = pixels; }
    float GetDepth() const { return depth; }
    Mechanica* GetWorld() const { return world; }
    // Null once the world has gone.
    PhysCollision* GetPhysCollision() const { return collision; }
    PropertyKey GetType() const { return type; }
    const Matrix4& GetOffset() const { return offset; }
    // BOX and SPHERE use 0 to 2 (x, y, z size), CAPSULE and CYLINDER 3 and 4
    // (width, height).
    float GetDimension(int i) const { return dimensions[i]; }
    int32_t GetLineColour() const { return lineColour; }

protected:
    friend class Mechanica;
    // Hands the SDK shape back without touching anything else.
    void DropPhysCollision();
    // The depth in world units.
    float WorldDepth() const;
    void StoreDimensions(float d0, float d1, float d2, float d3, float d4);

    Mechanica* world;
    std::weak_ptr<const bool> worldLife;
    PhysCollision* collision = nullptr;
    Matrix4 offset;
    float dimensions[5] = {};
    float depth = kDefaultDepth;
    PropertyKey type;
    int32_t reserved = 0;
    int32_t lineColour = -1;

private:
    // The matrix as the source's create operation got it (before the quarter
    // turn of a disc), which Clone passes on.
    Matrix4 createMatrix;
};

}  // namespace orvel
