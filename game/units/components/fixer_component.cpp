#include "game/units/components/fixer_component.h"

#include "engine/core/exception.h"
#include "engine/physics/compound_collision.h"
#include "engine/physics/multi_sensor_body.h"
#include "game/units/component_body.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"

namespace {

const PropertyKey FIX_POINTS("fixPoints");
const PropertyKey TIME_BETWEEN_FIXES("timeBetweenFixes");
const PropertyKey GEOMETRY("Geometry");
const PropertyKey MATERIAL_GROUP_NAME("materialGroupName");

// Sensors sit a pixel inside the 10-pixel-deep units they watch.
const float SENSOR_DEPTH = 9.0f;

void Require(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        throw orvel::ExceptionStringNotFound(key.GetName(), "objectFile?");
    }
}

}  // namespace

ComponentPtr FixerComponent::Clone() const { return std::make_shared<FixerComponent>(); }

void FixerComponent::Load(const orvel::PropertiesPtr& entry) {
    for (PropertyKey key : {FIX_POINTS, TIME_BETWEEN_FIXES, GEOMETRY, MATERIAL_GROUP_NAME}) {
        Require(*entry, key);
    }
    fixPoints = entry->GetInt(FIX_POINTS);
    timeBetweenFixes = entry->GetFloat(TIME_BETWEEN_FIXES);
    auto shape = std::make_shared<orvel::CompoundCollision>(GetWorld());
    shape->SetDepth(SENSOR_DEPTH);
    shape->LoadGeometry(entry, IsOwnerFlipped());
    sensor = std::make_shared<orvel::MultiSensorBody>();
    sensor->CreateWithCollision(GetWorld(), shape);
    sensor->SetMaterialGroup(PropertyKey::Intern(entry->GetString(MATERIAL_GROUP_NAME)));
}

// A bought engineer is a clone of the factory's prototype, so it takes the
// prototype's stock of fix points with the rest.
void FixerComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const FixerComponent&>(prototypeComponent);
    if (prototype.sensor) {
        sensor = std::make_shared<orvel::MultiSensorBody>();
        sensor->CopyFrom(*prototype.sensor);
    }
    timer = prototype.timer;
    timeBetweenFixes = prototype.timeBetweenFixes;
    fixPoints = prototype.fixPoints;
}

void FixerComponent::OnFreeze() {
    if (sensor) {
        sensor->Freeze();
    }
}

void FixerComponent::OnUnfreeze() {
    if (sensor) {
        sensor->Unfreeze();
    }
}

void FixerComponent::OnTransform(const orvel::Matrix4& matrix) {
    if (sensor) {
        sensor->SetMatrixDirect(matrix);
    }
}

void FixerComponent::OnSetPosition(const orvel::Vector4& position) {
    if (sensor) {
        sensor->SetPosition(position);
    }
}

void FixerComponent::PreStep() { timer += GetFrameTime(); }

// A dead repairer lies still: its corpse neither repairs nor walks.
void FixerComponent::Update() {
    if (!sensor) {
        return;
    }
    if (!GetOwner()->IsDead()) {
        sensor->PruneOutsideWorld();
        if (orvel::Body* patient = FindPatient()) {
            SendOwnerMessage(MESSAGE_STOP);
            if (timer >= timeBetweenFixes) {
                Repair(patient);
            }
        } else {
            SendOwnerMessage(MESSAGE_MOVE, 0, this);
        }
    }
    sensor->ClearSensed();
}

orvel::Body* FixerComponent::FindPatient() {
    const int team = GetOwnerTeam();
    if (team == 0) {
        return nullptr;
    }
    for (const orvel::SensedBody& record : sensor->GetSensed()) {
        orvel::Body* body = record.body;
        if (body != GetOwner() && body->GetTeam() == team &&
            SendEventTo(body, EVENT_QUERY_DAMAGED, 0) != 0) {
            return body;
        }
    }
    return nullptr;
}

// One point healed, one fix point spent, and the interval starts again.
void FixerComponent::Repair(orvel::Body* patient) {
    SendEventTo(patient, EVENT_HEAL, 1);
    timer = 0.0f;
    --fixPoints;
    if (fixPoints <= 0) {
        SendOwnerMessage(MESSAGE_DIE);
    }
}
