#pragma once

#include "engine/anim/easing_curve.h"
#include "engine/core/vector2x.h"

namespace orvel {

// An animated value: moves from a start to an end over a duration along an
// easing curve. The owner advances the elapsed time itself (by its frame time
// step) and decides what to do once it passes the duration: the value is not
// clamped, so an elapsed time past the duration reads the curve past 1.
// A duration of 0 means the animation is over: the value is the curve at 1.
// Reading the value of a holder without a curve throws ExceptionGeneral.
class ParametricHolder {
public:
    ParametricHolder() = default;
    ParametricHolder(float start, float end, float duration, const ParametricPtr& curve);

    // Replaces the animation and restarts it (elapsed time 0).
    void Set(float start, float end, float duration, const ParametricPtr& curve);

    float GetValue() const;

    float GetElapsed() const { return elapsed; }
    void SetElapsed(float seconds) { elapsed = seconds; }
    float GetStart() const { return start; }
    float GetEnd() const { return end; }
    float GetDuration() const { return duration; }

private:
    float elapsed = 0.0f;
    float start = 0.0f;
    float end = 0.0f;
    float duration = 0.0f;
    ParametricPtr curve;
};

// The same for a point: both coordinates move along one curve.
class ParametricPointHolder {
public:
    // Replaces the animation and restarts it (elapsed time 0).
    void Set(float startX, float startY, float endX, float endY, float duration,
             const ParametricPtr& curve);

    PointF GetPoint() const;

    float GetElapsed() const { return elapsed; }
    void SetElapsed(float seconds) { elapsed = seconds; }
    float GetDuration() const { return duration; }

private:
    float elapsed = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
    float startX = 0.0f;
    float startY = 0.0f;
    float duration = 0.0f;
    ParametricPtr curve;
};

}  // namespace orvel
