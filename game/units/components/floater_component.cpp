#include "game/units/components/floater_component.h"

#include <cstdlib>

#include "engine/physics/mechanica.h"
#include "game/units/component_body.h"
#include "game/units/components/unit_physics.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey TERRAIN_IS_LETHAL("terrainIsLethal");
const PropertyKey STATIC_IS_LETHAL("staticIsLethal");
const PropertyKey CRUISING_ALTITUDE("cruisingAltitude");
const PropertyKey CRUISING_ALTITUDE_VARIANCE("cruisingAltitudeVariance");

const PropertyKey TERRAIN_GROUP("mg_terrain");
const PropertyKey STATIC_UNIT_GROUP("mg_static_unit");

// r from 0 to 32767, (r - 16383) / 16383 spreads it over about -1 to 1.
// The C library here draws up to 2^31 - 1, so the draw keeps its low 15
// bits.
const int RAND_RANGE = 32768;
const float HALF_RAND = 16383.0f;

}  // namespace

ComponentPtr FloaterComponent::Clone() const { return std::make_shared<FloaterComponent>(); }

void FloaterComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    terrainIsLethal = entry.HasProperty(TERRAIN_IS_LETHAL) && entry.GetBool(TERRAIN_IS_LETHAL);
    staticIsLethal = entry.HasProperty(STATIC_IS_LETHAL) && entry.GetBool(STATIC_IS_LETHAL);
    if (entry.HasProperty(CRUISING_ALTITUDE)) {
        cruisingAltitude = entry.GetFloat(CRUISING_ALTITUDE) / GetWorld()->GetScale();
    }
    if (entry.HasProperty(CRUISING_ALTITUDE_VARIANCE)) {
        cruisingAltitudeVariance = entry.GetFloat(CRUISING_ALTITUDE_VARIANCE);
    }
    DrawAltitude();
}

void FloaterComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const FloaterComponent&>(prototypeComponent);
    cruisingAltitude = prototype.cruisingAltitude;
    cruisingAltitudeVariance = prototype.cruisingAltitudeVariance;
    staticIsLethal = prototype.staticIsLethal;
    terrainIsLethal = prototype.terrainIsLethal;
    DrawAltitude();
}

void FloaterComponent::DrawAltitude() {
    const float u = (float(std::rand() % RAND_RANGE) - HALF_RAND) / HALF_RAND;
    altitude = (1.0f + u * cruisingAltitudeVariance) * cruisingAltitude;
}

bool FloaterComponent::HandleMessage(int id, intptr_t, void*) {
    switch (id) {
    case MESSAGE_FALL_TO_DEATH:
        falling = true;
        return true;
    case MESSAGE_DIE:
        falling = false;
        cruisingAltitude = 0.0f;
        return true;
    default:
        return false;
    }
}

// An altitude of 0 (a definition without one) gets no bias: the relative
// distance to it is not defined.
float FloaterComponent::LiftFactor(float y, float vy) const {
    if (y < altitude) {
        if (vy < kSettleSpeed && altitude != 0.0f) {
            return 1.0f + kBias * (altitude - y) / altitude;
        }
        return 1.0f;
    }
    return vy > -kSettleSpeed ? 1.0f - kBias : 1.0f;
}

void FloaterComponent::ApplyForces() {
    ComponentBody& owner = *GetOwner();
    float totalMass = 0.0f;
    SendOwnerMessage(MESSAGE_ADD_MASS, reinterpret_cast<intptr_t>(&totalMass), this);
    // The lift cancels a weight: a unit whose gravity is off (a corpse)
    // would be thrown upwards by it.
    if (falling || !owner.IsGravityOn()) {
        return;
    }
    const float k = LiftFactor(owner.GetPosition().y, VelocityOf(owner).y);
    const orvel::Vector4& g = GetWorld()->GetGravity();
    AddForceNow(owner, orvel::Vector4(-k * totalMass * g.x, -k * totalMass * g.y,
                                      -k * totalMass * g.z, 0.0f));
}

bool FloaterComponent::OnContact(PhysMaterial*, PhysContact*, orvel::Body* other) {
    const PropertyKey group = other->GetMaterialGroup();
    if (falling) {
        if (group != TERRAIN_GROUP) {
            return false;
        }
        SendOwnerMessage(MESSAGE_DIE, 0, this);
    }
    if (terrainIsLethal && group == TERRAIN_GROUP) {
        SendOwnerMessage(MESSAGE_DIE, 0, this);
    }
    if (staticIsLethal && group == STATIC_UNIT_GROUP && other->GetTeam() != GetOwnerTeam()) {
        SendOwnerMessage(MESSAGE_DIE, 0, this);
    }
    return true;
}
