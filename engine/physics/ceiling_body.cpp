#include "engine/physics/ceiling_body.h"

std::shared_ptr<orvel::Body> CeilingBody::Clone() const { return std::make_shared<CeilingBody>(); }

bool CeilingBody::AcceptContact(PhysMaterial*, orvel::Body* other) {
    return other != nullptr && IsAirShipName(other->GetObjectName());
}

bool CeilingBody::IsAirShipName(PropertyKey name) {
    return name.GetName().find("AirShip") != std::string::npos;
}
