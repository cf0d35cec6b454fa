#pragma once

#include <memory>

#include "engine/core/properties.h"
#include "engine/physics/multi_sensor_body.h"

class ComponentBody;

// The sensors that components hang on their unit: a shooter's sight, a
// warhead's blast area, a bunker's door. A sensor is a little thinner than
// the units (9 pixels, not 10) so that it sits inside what it watches, and
// it is mirrored with a flipped unit.
typedef std::shared_ptr<orvel::MultiSensorBody> SensorPtr;

// A sensor over the "Geometry" list of `entry`, in the material group named
// by `groupHolder`'s "materialGroupName". Throws ExceptionStringNotFound
// when that key is missing.
SensorPtr CreateSensorFromList(const ComponentBody& owner, const orvel::PropertiesPtr& entry,
                               const orvel::Properties& groupHolder);
// A sensor over one shape struct (its "type", "extent" and the rest), in the
// same way.
SensorPtr CreateSensorFromShape(const ComponentBody& owner, const orvel::PropertiesPtr& shape,
                                const orvel::Properties& groupHolder);
// A sensor of its own with the prototype's shape and group; null for null.
SensorPtr CopySensor(const SensorPtr& prototype);
