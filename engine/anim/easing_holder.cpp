#include "engine/anim/easing_holder.h"

#include "engine/core/exception.h"

namespace orvel {

namespace {

// The curve's value for the elapsed part of the duration. A zero duration
// would divide 0 by 0; an animation of no length is already at its end.
float EasedFraction(const Parametric* curve, float elapsed, float duration) {
    if (curve == nullptr) {
        throw ExceptionGeneral("An animation was read before it was given an easing curve.");
    }
    const float t = duration == 0.0f ? 1.0f : elapsed / duration;
    return curve->Evaluate(t);
}

}  // namespace

ParametricHolder::ParametricHolder(float start, float end, float duration,
                                   const ParametricPtr& curve)
    : start(start), end(end), duration(duration), curve(curve) {}

void ParametricHolder::Set(float newStart, float newEnd, float newDuration,
                           const ParametricPtr& newCurve) {
    elapsed = 0.0f;
    start = newStart;
    end = newEnd;
    duration = newDuration;
    curve = newCurve;
}

float ParametricHolder::GetValue() const {
    const float e = EasedFraction(curve.get(), elapsed, duration);
    return start + (end - start) * e;
}

void ParametricPointHolder::Set(float newStartX, float newStartY, float newEndX, float newEndY,
                                float newDuration, const ParametricPtr& newCurve) {
    elapsed = 0.0f;
    startX = newStartX;
    startY = newStartY;
    endX = newEndX;
    endY = newEndY;
    duration = newDuration;
    curve = newCurve;
}

PointF ParametricPointHolder::GetPoint() const {
    const float e = EasedFraction(curve.get(), elapsed, duration);
    return PointF(startX + (endX - startX) * e, startY + (endY - startY) * e);
}

}  // namespace orvel
