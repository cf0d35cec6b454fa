#include "engine/physics/compound_collision.h"

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"

namespace orvel {

namespace {

const PropertyKey kGeometry("Geometry");
const char* const kObjectFile = "objectFile?";

// Entry i of the list, which must be a struct.
PropertiesPtr GeometryEntry(const AnyVector& geometry, size_t i) {
    if (geometry.At(i).type != PROPERTY_STRUCT || !geometry.GetStruct(i)) {
        throw ExceptionStringNotFound("Geometry #", kObjectFile);
    }
    return geometry.GetStruct(i);
}

}  // namespace

CompoundCollision::CompoundCollision(Mechanica* world) : Collision(world) {}

CompoundCollision::~CompoundCollision() { CompoundCollision::Release(); }

void CompoundCollision::Release() {
    Collision::Release();
    children.clear();
}

void CompoundCollision::BuildCompound() {
    std::vector<PhysCollision*> parts;
    for (const std::shared_ptr<Collision>& child : children) {
        parts.push_back(child->GetPhysCollision());
    }
    collision = PhysCreateCompoundCollision(world->GetPhysWorld(), int(parts.size()), parts.data());
}

std::shared_ptr<Collision> CompoundCollision::Clone() const {
    if (children.empty()) {
        return Collision::Clone();
    }
    std::shared_ptr<CompoundCollision> copy = std::make_shared<CompoundCollision>(world);
    copy->reserved = reserved;
    copy->lineColour = lineColour;
    copy->depth = depth;
    for (const std::shared_ptr<Collision>& child : children) {
        copy->children.push_back(child->Clone());
    }
    copy->BuildCompound();
    return copy;
}

void CompoundCollision::LoadGeometry(const PropertiesPtr& definition, bool flip) {
    Release();
    if (!definition->HasProperty(kGeometry)) {
        throw ExceptionStringNotFound(kGeometry.GetName(), kObjectFile);
    }
    const AnyVectorPtr geometry = definition->GetList(kGeometry);
    if (geometry->Empty()) {
        throw ExceptionStringNotFound(kGeometry.GetName(), kObjectFile);
    }
    if (geometry->Size() == 1) {
        Load(GeometryEntry(*geometry, 0), flip);
        return;
    }
    for (size_t i = 0; i < geometry->Size(); ++i) {
        const PropertiesPtr entry = GeometryEntry(*geometry, i);
        std::shared_ptr<Collision> child = std::make_shared<Collision>(world);
        child->SetDepth(depth);
        child->Load(entry, flip);
        children.push_back(child);
    }
    BuildCompound();
}

}  // namespace orvel
