#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "engine/anim/easing_holder.h"
#include "engine/core/exception.h"

using orvel::ParametricHolder;
using orvel::ParametricPointHolder;

namespace {

const float TOLERANCE = 1e-6f;

// t itself, so that expected values are plain linear interpolation.
class Identity : public orvel::Parametric {
public:
    float Evaluate(float t) const override { return t; }
};

}  // namespace

TEST(EasingHolderTest, PointHolderFollowsItsCurveAndIsNotClamped) {
    ParametricPointHolder path;
    path.Set(10.0f, 100.0f, 30.0f, 60.0f, 0.5f, std::make_shared<Identity>());
    const struct {
        float elapsed;
        float x;
        float y;
    } table[] = {
        {0.0f, 10.0f, 100.0f}, {0.25f, 20.0f, 80.0f}, {0.5f, 30.0f, 60.0f},
        {0.75f, 40.0f, 40.0f}, {1.0f, 50.0f, 20.0f},  {-0.25f, 0.0f, 120.0f},
    };
    for (const auto& row : table) {
        path.SetElapsed(row.elapsed);
        EXPECT_NEAR(path.GetPoint().x, row.x, 1e-4f) << row.elapsed;
        EXPECT_NEAR(path.GetPoint().y, row.y, 1e-4f) << row.elapsed;
    }
}

TEST(EasingHolderTest, PointHolderPastItsDurationReadsTheCurvePastOne) {
    // The fall of a money bag: cos runs on past its zero, below the end point.
    ParametricPointHolder fall;
    fall.Set(0.0f, 0.0f, 0.0f, 200.0f, 1.0f, std::make_shared<orvel::FirstQuadrantCos>());
    fall.SetElapsed(1.0f);
    EXPECT_NEAR(fall.GetPoint().y, 0.0f, 1e-4f);
    fall.SetElapsed(2.0f);
    EXPECT_NEAR(fall.GetPoint().y, -200.0f, 1e-4f);
    fall.SetElapsed(1.5f);
    EXPECT_NEAR(fall.GetPoint().y, 200.0f * std::cos(1.5f * 1.5707964f), 1e-3f);
}

TEST(EasingHolderTest, SetRestartsTheAnimation) {
    ParametricPointHolder path;
    path.Set(0.0f, 0.0f, 10.0f, 10.0f, 1.0f, std::make_shared<Identity>());
    path.SetElapsed(0.5f);
    path.Set(5.0f, 5.0f, 15.0f, 25.0f, 2.0f, std::make_shared<Identity>());
    EXPECT_EQ(path.GetElapsed(), 0.0f);
    EXPECT_EQ(path.GetDuration(), 2.0f);
    EXPECT_EQ(path.GetPoint(), orvel::PointF(5.0f, 5.0f));

    ParametricHolder fade(0.0f, 255.0f, 0.4f, std::make_shared<Identity>());
    fade.SetElapsed(0.3f);
    fade.Set(10.0f, 20.0f, 1.0f, std::make_shared<Identity>());
    EXPECT_EQ(fade.GetElapsed(), 0.0f);
    EXPECT_EQ(fade.GetValue(), 10.0f);
}

TEST(EasingHolderTest, ScalarHolderGoesFromStartToEnd) {
    ParametricHolder fill(0.0f, 638.0f, 2.0f, std::make_shared<orvel::EaseInEaseOut>());
    EXPECT_EQ(fill.GetStart(), 0.0f);
    EXPECT_EQ(fill.GetEnd(), 638.0f);
    EXPECT_EQ(fill.GetDuration(), 2.0f);
    const struct {
        float elapsed;
        float value;
    } table[] = {{0.0f, 0.0f}, {1.0f, 319.0f}, {2.0f, 638.0f}};
    for (const auto& row : table) {
        fill.SetElapsed(row.elapsed);
        EXPECT_NEAR(fill.GetValue(), row.value, 1e-3f) << row.elapsed;
    }
    // A falling value: start above end.
    ParametricHolder fade(255.0f, 0.0f, 1.0f, std::make_shared<Identity>());
    fade.SetElapsed(0.2f);
    EXPECT_NEAR(fade.GetValue(), 204.0f, 1e-3f);
}

TEST(EasingHolderTest, ZeroDurationIsAlreadyAtTheEnd) {
    ParametricPointHolder path;
    path.Set(1.0f, 2.0f, 3.0f, 4.0f, 0.0f, std::make_shared<orvel::FirstQuadrantSin>());
    for (float elapsed : {0.0f, 0.5f}) {
        path.SetElapsed(elapsed);
        EXPECT_NEAR(path.GetPoint().x, 3.0f, TOLERANCE);
        EXPECT_NEAR(path.GetPoint().y, 4.0f, TOLERANCE);
    }
    ParametricHolder value(5.0f, 9.0f, 0.0f, std::make_shared<orvel::EaseIn>());
    EXPECT_NEAR(value.GetValue(), 9.0f, TOLERANCE);
    value.SetElapsed(-0.0f);
    EXPECT_FALSE(std::isnan(value.GetValue()));
}

TEST(EasingHolderTest, OneCurveServesManyHolders) {
    const orvel::ParametricPtr curve = std::make_shared<orvel::EaseIn>();
    ParametricHolder a(0.0f, 1.0f, 1.0f, curve);
    ParametricHolder b(0.0f, 10.0f, 2.0f, curve);
    a.SetElapsed(0.5f);
    b.SetElapsed(1.0f);
    EXPECT_NEAR(a.GetValue() * 10.0f, b.GetValue(), 1e-5f);
}

TEST(EasingHolderTest, HolderWithoutACurveThrowsInsteadOfCrashing) {
    const ParametricHolder value;
    const ParametricPointHolder path;
    EXPECT_THROW(value.GetValue(), orvel::ExceptionGeneral);
    EXPECT_THROW(path.GetPoint(), orvel::ExceptionGeneral);
}
