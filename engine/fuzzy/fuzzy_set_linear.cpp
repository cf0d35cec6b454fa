#include "engine/fuzzy/fuzzy_set_linear.h"

#include <cmath>

#include "engine/core/exception.h"

namespace orvel {

FuzzySetLinear::FuzzySetLinear(float trueValue, float falseValue)
    : slope(1.0f / (trueValue - falseValue)), falseValue(falseValue) {
    // Equal values give an infinite slope, a NaN value a NaN slope, and an
    // infinite value (or a difference too large for a float) a zero slope.
    if (!std::isfinite(slope) || slope == 0.0f) {
        throw ExceptionGeneral(
            "A linear fuzzy set needs different, finite trueValue and falseValue.");
    }
}

float FuzzySetLinear::Evaluate(float x) const {
    const float m = (x - falseValue) * slope;
    if (m > 1.0f) {
        return 1.0f;
    }
    if (m < 0.0f) {
        return 0.0f;
    }
    return m;
}

PropertiesPtr FuzzySetLinear::Save() const {
    PropertiesPtr properties = std::make_shared<Properties>();
    properties->SetString("type", "FUZZY_SET_Linear");
    properties->SetFloat("falseValue", falseValue);
    properties->SetFloat("trueValue", 1.0f / slope + falseValue);
    return properties;
}

}  // namespace orvel
