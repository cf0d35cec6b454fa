#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "engine/anim/easing_curve.h"

namespace {

const float TOLERANCE = 1e-6f;

struct CurveCase {
    const char* name;
    std::shared_ptr<const orvel::Parametric> curve;
    float atStart;
    float atHalf;
    float atEnd;
};

}  // namespace

TEST(EasingCurveTest, EveryCurveAtItsStartMiddleAndEnd) {
    const float sinQuarterPi = std::sqrt(0.5f);
    const CurveCase cases[] = {
        {"FirstQuadrantSin", std::make_shared<orvel::FirstQuadrantSin>(), 0.0f, sinQuarterPi, 1.0f},
        {"EaseIn", std::make_shared<orvel::EaseIn>(), 0.0f, sinQuarterPi, 1.0f},
        {"FirstQuadrantCos", std::make_shared<orvel::FirstQuadrantCos>(), 1.0f, sinQuarterPi, 0.0f},
        {"FourthQuadrantSin", std::make_shared<orvel::FourthQuadrantSin>(), 0.0f,
         1.0f - sinQuarterPi, 1.0f},
        {"EaseInEaseOut", std::make_shared<orvel::EaseInEaseOut>(), 0.0f, 0.5f, 1.0f},
    };
    for (const CurveCase& c : cases) {
        EXPECT_NEAR(c.curve->Evaluate(0.0f), c.atStart, TOLERANCE) << c.name;
        EXPECT_NEAR(c.curve->Evaluate(0.5f), c.atHalf, TOLERANCE) << c.name;
        EXPECT_NEAR(c.curve->Evaluate(1.0f), c.atEnd, TOLERANCE) << c.name;
    }
}

TEST(EasingCurveTest, CurvesMoveMonotonicallyBetweenTheirEnds) {
    const orvel::FirstQuadrantSin sin;
    const orvel::FirstQuadrantCos cos;
    const orvel::FourthQuadrantSin fourth;
    const orvel::EaseInEaseOut both;
    for (float t = 0.0f; t < 1.0f; t += 1.0f / 64.0f) {
        const float next = t + 1.0f / 64.0f;
        EXPECT_LT(sin.Evaluate(t), sin.Evaluate(next)) << t;
        EXPECT_GT(cos.Evaluate(t), cos.Evaluate(next)) << t;
        EXPECT_LT(fourth.Evaluate(t), fourth.Evaluate(next)) << t;
        EXPECT_LT(both.Evaluate(t), both.Evaluate(next)) << t;
        // Ease-in-ease-out is symmetric about its middle.
        EXPECT_NEAR(both.Evaluate(t) + both.Evaluate(1.0f - t), 1.0f, TOLERANCE) << t;
    }
}
