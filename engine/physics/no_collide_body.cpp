#include "engine/physics/no_collide_body.h"

namespace orvel {

namespace {

const PropertyKey kMobileUnit("mg_mobile_unit");

}  // namespace

std::shared_ptr<Body> NoCollideBody::Clone() const { return std::make_shared<NoCollideBody>(); }

bool NoCollideBody::AcceptContact(PhysMaterial*, Body* other) {
    return other != nullptr && other->GetMaterialGroup() == kMobileUnit;
}

}  // namespace orvel
