#pragma once

#include <memory>

#include "engine/core/properties.h"

namespace orvel {

// A function from a real input to a degree of membership or to a mapped
// value. Sets are shared between contexts (a copied context shares them), so
// they never change once built.
class FuzzySet {
public:
    virtual ~FuzzySet() = default;

    virtual float Evaluate(float x) const = 0;

    // A new property set that describes this set, in the form that
    // FuzzyContext reads back.
    virtual PropertiesPtr Save() const = 0;
};

typedef std::shared_ptr<const FuzzySet> FuzzySetPtr;

}  // namespace orvel
