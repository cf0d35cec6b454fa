#include "game/units/components/fuzzy_steering.h"

#include <cmath>

#include "engine/core/properties.h"
#include "engine/fuzzy/fuzzy_set.h"

namespace {

const PropertyKey VERTICAL_THRUST("verticalThrust");
const PropertyKey HORIZONTAL_THRUST("horizontalThrust");
const PropertyKey MAX_VERTICAL_VELOCITY("maxVerticalVelocity");
const PropertyKey MAX_HORIZONTAL_VELOCITY("maxHorizontalVelocity");
const PropertyKey DISTANCE_CONTEXT("distanceContext");
const PropertyKey SPEED_CONTEXT("speedContext");
const PropertyKey DISTANT_X("distantX");
const PropertyKey APPROACH_VELOCITY("approachVelocity");

float FloatOr(const orvel::Properties& entry, PropertyKey key) {
    return entry.HasProperty(key) ? entry.GetFloat(key) : 0.0f;
}

}  // namespace

void FuzzySteering::Load(const orvel::Properties& entry) {
    verticalThrust = FloatOr(entry, VERTICAL_THRUST);
    horizontalThrust = FloatOr(entry, HORIZONTAL_THRUST);
    maxVerticalVelocity = FloatOr(entry, MAX_VERTICAL_VELOCITY);
    maxHorizontalVelocity = FloatOr(entry, MAX_HORIZONTAL_VELOCITY);
    if (entry.HasProperty(DISTANCE_CONTEXT)) {
        distanceContext.Load(DISTANCE_CONTEXT, entry);
    }
    if (entry.HasProperty(SPEED_CONTEXT)) {
        speedContext.Load(SPEED_CONTEXT, entry);
    }
}

float FuzzySteering::Distant(float dx) const {
    return std::fabs(distanceContext.GetFuzzySet(DISTANT_X)->Evaluate(dx));
}

orvel::Vector4 FuzzySteering::WantedVelocity(float dx, float targetY, float y,
                                             float distant) const {
    const float height = (1.0f - distant) * targetY + kCruisingHeight * distant;
    const orvel::FuzzySet* approach = distanceContext.GetFuzzySet(APPROACH_VELOCITY);
    return orvel::Vector4(approach->Evaluate(dx) * maxHorizontalVelocity,
                          approach->Evaluate(height - y) * maxVerticalVelocity, 0.0f, 0.0f);
}
