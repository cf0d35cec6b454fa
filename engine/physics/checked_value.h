#pragma once

#include <string>

#include "engine/core/property_key.h"

namespace orvel {

// Checks on numbers read from files before they reach the physics SDK,
// which would take a NaN or a negative size without a word. Each returns
// the value or throws ExceptionGeneral naming the key and where it was read.
float CheckFinite(float value, PropertyKey key, const std::string& where);
float CheckNotNegative(float value, PropertyKey key, const std::string& where);
float CheckPositive(float value, PropertyKey key, const std::string& where);

}  // namespace orvel
