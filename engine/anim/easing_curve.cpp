#include "engine/anim/easing_curve.h"

#include <cmath>

namespace orvel {

namespace {
// Single-precision constants, evaluated in single precision: the curves then
// meet their end values to within float rounding (sin of HALF_PI is 1).
const float HALF_PI = 1.5707964f;
const float THREE_HALVES_PI = 4.7123895f;
const float PI = 3.1415930f;
}  // namespace

float FirstQuadrantSin::Evaluate(float t) const { return std::sin(t * HALF_PI); }

float EaseIn::Evaluate(float t) const { return std::sin(t * HALF_PI); }

float FirstQuadrantCos::Evaluate(float t) const { return std::cos(t * HALF_PI); }

float FourthQuadrantSin::Evaluate(float t) const {
    return std::sin(t * HALF_PI + THREE_HALVES_PI) + 1.0f;
}

float EaseInEaseOut::Evaluate(float t) const { return (std::cos((t + 1.0f) * PI) + 1.0f) * 0.5f; }

}  // namespace orvel
