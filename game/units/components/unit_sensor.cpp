#include "game/units/components/unit_sensor.h"

#include "engine/core/exception.h"
#include "engine/physics/compound_collision.h"
#include "game/units/component_body.h"

namespace {

const PropertyKey MATERIAL_GROUP_NAME("materialGroupName");
const float SENSOR_DEPTH = 9.0f;

PropertyKey RequiredGroup(const orvel::Properties& holder) {
    if (!holder.HasProperty(MATERIAL_GROUP_NAME)) {
        throw orvel::ExceptionStringNotFound(MATERIAL_GROUP_NAME.GetName(), "objectFile?");
    }
    return PropertyKey::Intern(holder.GetString(MATERIAL_GROUP_NAME));
}

SensorPtr MakeSensor(const ComponentBody& owner, const std::shared_ptr<orvel::Collision>& shape,
                     PropertyKey group) {
    SensorPtr sensor = std::make_shared<orvel::MultiSensorBody>();
    sensor->CreateWithCollision(owner.GetWorld(), shape);
    sensor->SetMaterialGroup(group);
    return sensor;
}

}  // namespace

SensorPtr CreateSensorFromList(const ComponentBody& owner, const orvel::PropertiesPtr& entry,
                               const orvel::Properties& groupHolder) {
    const PropertyKey group = RequiredGroup(groupHolder);
    auto shape = std::make_shared<orvel::CompoundCollision>(owner.GetWorld());
    shape->SetDepth(SENSOR_DEPTH);
    shape->LoadGeometry(entry, owner.IsFlipped());
    return MakeSensor(owner, shape, group);
}

SensorPtr CreateSensorFromShape(const ComponentBody& owner, const orvel::PropertiesPtr& shapeEntry,
                                const orvel::Properties& groupHolder) {
    const PropertyKey group = RequiredGroup(groupHolder);
    auto shape = std::make_shared<orvel::Collision>(owner.GetWorld());
    shape->SetDepth(SENSOR_DEPTH);
    shape->Load(shapeEntry, owner.IsFlipped());
    return MakeSensor(owner, shape, group);
}

SensorPtr CopySensor(const SensorPtr& prototype) {
    if (!prototype) {
        return nullptr;
    }
    SensorPtr sensor = std::make_shared<orvel::MultiSensorBody>();
    sensor->CopyFrom(*prototype);
    return sensor;
}
