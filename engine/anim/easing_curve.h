#pragma once

#include <memory>

namespace orvel {

// An easing curve: maps the fraction t of an animation's time (0 at its start,
// 1 at its end) to the fraction of the way from the start value to the end
// value. Curves hold no state, so one curve object may serve many holders.
class Parametric {
public:
    virtual ~Parametric() = default;
    virtual float Evaluate(float t) const = 0;
};

typedef std::shared_ptr<const Parametric> ParametricPtr;

// sin(t pi/2): leaves the start fast and slows into the end; 0 to 1.
class FirstQuadrantSin : public Parametric {
public:
    float Evaluate(float t) const override;
};

// The same curve as FirstQuadrantSin under the name its users know it by.
class EaseIn : public Parametric {
public:
    float Evaluate(float t) const override;
};

// cos(t pi/2): falls from 1 to 0, slowly at first.
class FirstQuadrantCos : public Parametric {
public:
    float Evaluate(float t) const override;
};

// sin(t pi/2 + 3pi/2) + 1, that is 1 - cos(t pi/2): leaves the start slowly
// and speeds into the end; 0 to 1.
class FourthQuadrantSin : public Parametric {
public:
    float Evaluate(float t) const override;
};

// (cos((t + 1) pi) + 1) / 2: slow at both ends, 0.5 halfway; 0 to 1.
class EaseInEaseOut : public Parametric {
public:
    float Evaluate(float t) const override;
};

}  // namespace orvel
