#include "engine/physics/checked_value.h"

#include <cmath>
#include <sstream>

#include "engine/core/exception.h"

namespace orvel {

namespace {

[[noreturn]] void Refuse(float value, PropertyKey key, const std::string& where,
                         const char* expected) {
    std::ostringstream text;
    text << "The value " << value << " of \"" << key.GetName() << "\" in " << where << " is not "
         << expected << ".";
    throw ExceptionGeneral(text.str());
}

}  // namespace

float CheckFinite(float value, PropertyKey key, const std::string& where) {
    if (!std::isfinite(value)) {
        Refuse(value, key, where, "a finite number");
    }
    return value;
}

float CheckNotNegative(float value, PropertyKey key, const std::string& where) {
    if (!std::isfinite(value) || value < 0.0f) {
        Refuse(value, key, where, "a finite number of 0 or more");
    }
    return value;
}

float CheckPositive(float value, PropertyKey key, const std::string& where) {
    if (!std::isfinite(value) || value <= 0.0f) {
        Refuse(value, key, where, "a finite number above 0");
    }
    return value;
}

}  // namespace orvel
