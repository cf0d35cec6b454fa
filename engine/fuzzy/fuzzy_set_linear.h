#pragma once

#include "engine/fuzzy/fuzzy_set.h"

namespace orvel {

// Membership that grows linearly from 0 at falseValue to 1 at trueValue and
// is held at 0 and 1 beyond them. With trueValue below falseValue the set
// falls instead of rising.
class FuzzySetLinear : public FuzzySet {
public:
    // Throws ExceptionGeneral unless trueValue and falseValue are different
    // finite numbers: equal values would give an infinite slope and every
    // evaluation would be NaN.
    FuzzySetLinear(float trueValue, float falseValue);

    float Evaluate(float x) const override;
    PropertiesPtr Save() const override;

private:
    float slope;
    float falseValue;
};

}  // namespace orvel
