#include "game/units/components/pusher_component.h"

#include <cmath>

#include "engine/core/exception.h"
#include "engine/physics/compound_collision.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/multi_sensor_body.h"
#include "game/units/component_body.h"

namespace {

const PropertyKey PUSH_MAGNITUDE("pushMagnitude");
const PropertyKey RANGE("range");
const PropertyKey GEOMETRY("Geometry");
const PropertyKey MATERIAL_GROUP_NAME("materialGroupName");

// Sensors sit a pixel inside the 10-pixel-deep units they watch.
const float SENSOR_DEPTH = 9.0f;

void Require(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        throw orvel::ExceptionStringNotFound(key.GetName(), "objectFile?");
    }
}

// The length of d; in the play plane z is 0 and drops out.
float Length(const orvel::Vector4& d) {
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

}  // namespace

ComponentPtr PusherComponent::Clone() const { return std::make_shared<PusherComponent>(); }

void PusherComponent::Load(const orvel::PropertiesPtr& entry) {
    Require(*entry, PUSH_MAGNITUDE);
    pushMagnitude = entry->GetFloat(PUSH_MAGNITUDE);
    range = entry->HasProperty(RANGE) ? entry->GetFloat(RANGE) / GetWorld()->GetScale() : 0.0f;
    if (!entry->HasProperty(GEOMETRY)) {
        return;
    }
    auto shape = std::make_shared<orvel::CompoundCollision>(GetWorld());
    shape->SetDepth(SENSOR_DEPTH);
    shape->LoadGeometry(entry, IsOwnerFlipped());
    Require(*entry, MATERIAL_GROUP_NAME);
    sensor = std::make_shared<orvel::MultiSensorBody>();
    sensor->CreateWithCollision(GetWorld(), shape);
    sensor->SetMaterialGroup(PropertyKey::Intern(entry->GetString(MATERIAL_GROUP_NAME)));
}

void PusherComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const PusherComponent&>(prototypeComponent);
    if (prototype.sensor) {
        sensor = std::make_shared<orvel::MultiSensorBody>();
        sensor->CopyFrom(*prototype.sensor);
    }
    pushMagnitude = prototype.pushMagnitude;
    range = prototype.range;
}

void PusherComponent::OnFreeze() {
    if (sensor) {
        sensor->Freeze();
    }
}

void PusherComponent::OnUnfreeze() {
    if (sensor) {
        sensor->Unfreeze();
    }
}

void PusherComponent::OnTransform(const orvel::Matrix4& matrix) {
    if (sensor) {
        sensor->SetMatrix(matrix);
    }
}

void PusherComponent::OnSetPosition(const orvel::Vector4& position) {
    if (sensor) {
        sensor->SetPosition(position);
    }
}

// Only bodies the world holds are pushed: the world clears their force
// after each frame, while a body outside it (an airship's spar) would keep
// every push and gather them without end.
void PusherComponent::Update() {
    if (!sensor) {
        return;
    }
    const int team = GetOwnerTeam();
    if (team != 0) {
        sensor->PruneOutsideWorld();
        const orvel::Vector4 from = GetOwner()->GetPosition();
        for (const orvel::SensedBody& record : sensor->GetSensed()) {
            if (record.body->GetTeam() != team) {
                Push(*record.body, from);
            }
        }
    }
    sensor->ClearSensed();
}

// A body right at the centre has no direction to go and is left alone.
void PusherComponent::Push(orvel::Body& body, const orvel::Vector4& from) const {
    const orvel::Vector4 to = body.GetPosition();
    const orvel::Vector4 d(to.x - from.x, to.y - from.y, to.z - from.z, 0.0f);
    const float distance = Length(d);
    if (distance == 0.0f) {
        return;
    }
    float strength = body.GetMass() * pushMagnitude;
    if (range != 0.0f) {
        if (distance >= range) {
            return;
        }
        strength *= (range - distance) / range;
    }
    const float scale = strength / distance;
    body.AddForce(orvel::Vector4(d.x * scale, d.y * scale, d.z * scale, 0.0f));
}
