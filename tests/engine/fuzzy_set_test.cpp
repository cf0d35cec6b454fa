#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/fuzzy/fuzzy_set_linear.h"
#include "engine/fuzzy/fuzzy_set_multi_linear.h"

using orvel::FuzzySetLinear;
using orvel::FuzzySetMultiLinear;
using orvel::PointF;

namespace {

struct Sample {
    float x;
    float expected;
};

const float TOLERANCE = 1e-6f;

void ExpectTable(const orvel::FuzzySet& set, const std::vector<Sample>& table) {
    for (const Sample& sample : table) {
        EXPECT_NEAR(set.Evaluate(sample.x), sample.expected, TOLERANCE) << "at x = " << sample.x;
    }
}

std::string WhatOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const orvel::Exception& e) {
        return e.What();
    }
    return "(nothing thrown)";
}

}  // namespace

TEST(FuzzySetLinearTest, RisingSetClampsOutsideItsRange) {
    const FuzzySetLinear rising(10.0f, 0.0f);
    ExpectTable(rising, {{-3.0f, 0.0f},
                         {0.0f, 0.0f},
                         {2.5f, 0.25f},
                         {5.0f, 0.5f},
                         {10.0f, 1.0f},
                         {12.0f, 1.0f},
                         {1e30f, 1.0f},
                         {-1e30f, 0.0f}});
}

TEST(FuzzySetLinearTest, FallingSetWhenTrueValueIsBelowFalseValue) {
    const FuzzySetLinear falling(0.0f, 10.0f);
    ExpectTable(
        falling,
        {{-5.0f, 1.0f}, {0.0f, 1.0f}, {2.5f, 0.75f}, {5.0f, 0.5f}, {10.0f, 0.0f}, {15.0f, 0.0f}});
}

TEST(FuzzySetLinearTest, NegativeAndOffsetRanges) {
    const FuzzySetLinear set(-2.0f, -6.0f);
    ExpectTable(set, {{-7.0f, 0.0f}, {-6.0f, 0.0f}, {-5.0f, 0.25f}, {-2.0f, 1.0f}, {0.0f, 1.0f}});
}

TEST(FuzzySetLinearTest, RefusesValuesThatGiveNoFiniteNonZeroSlope) {
    const float inf = INFINITY;
    const float nan = NAN;
    const struct {
        float trueValue;
        float falseValue;
    } cases[] = {{3.0f, 3.0f}, {0.0f, -0.0f}, {nan, 1.0f},    {1.0f, nan},
                 {inf, 0.0f},  {0.0f, -inf},  {3e38f, -3e38f}};
    for (const auto& c : cases) {
        EXPECT_EQ(WhatOf([&] { FuzzySetLinear(c.trueValue, c.falseValue); }),
                  "Error: A linear fuzzy set needs different, finite trueValue and falseValue.")
            << c.trueValue << " " << c.falseValue;
    }
}

TEST(FuzzySetMultiLinearTest, InterpolatesAndHoldsTheEndValues) {
    const FuzzySetMultiLinear set({PointF(0, 0), PointF(10, 1), PointF(20, 0.5f)});
    ExpectTable(set, {{-1e30f, 0.0f},
                      {-1.0f, 0.0f},
                      {0.0f, 0.0f},
                      {5.0f, 0.5f},
                      {10.0f, 1.0f},
                      {15.0f, 0.75f},
                      {20.0f, 0.5f},
                      {25.0f, 0.5f},
                      {1e30f, 0.5f}});
}

TEST(FuzzySetMultiLinearTest, IsNotClampedToTheUnitRange) {
    // The mapping from a slider fraction to a range modifier, and back.
    const FuzzySetMultiLinear range({PointF(0, 0.5f), PointF(0.5f, 1), PointF(1, 2)});
    const FuzzySetMultiLinear width({PointF(0.5f, 0), PointF(1, 0.5f), PointF(2, 1)});
    ExpectTable(range, {{0.0f, 0.5f}, {0.25f, 0.75f}, {0.75f, 1.5f}, {1.0f, 2.0f}, {3.0f, 2.0f}});
    ExpectTable(width, {{0.5f, 0.0f}, {1.5f, 0.75f}, {2.0f, 1.0f}});
    for (float fraction = 0.0f; fraction <= 1.0f; fraction += 0.125f) {
        EXPECT_NEAR(width.Evaluate(range.Evaluate(fraction)), fraction, TOLERANCE);
    }
}

TEST(FuzzySetMultiLinearTest, TwoPointsAtOneXMakeAStep) {
    const FuzzySetMultiLinear set({PointF(0, 0), PointF(10, 1), PointF(10, 5), PointF(20, 0)});
    ExpectTable(set, {{5.0f, 0.5f}, {9.5f, 0.95f}, {10.0f, 5.0f}, {15.0f, 2.5f}, {30.0f, 0.0f}});
    for (float x = -5.0f; x <= 25.0f; x += 0.5f) {
        EXPECT_TRUE(std::isfinite(set.Evaluate(x))) << "at x = " << x;
    }
}

TEST(FuzzySetMultiLinearTest, SinglePointIsAConstant) {
    const FuzzySetMultiLinear set({PointF(3, 0.25f)});
    ExpectTable(set, {{-100.0f, 0.25f}, {3.0f, 0.25f}, {100.0f, 0.25f}});
}

TEST(FuzzySetMultiLinearTest, RefusesNoPointsAndPointsOutOfOrder) {
    EXPECT_EQ(WhatOf([] { FuzzySetMultiLinear(std::vector<PointF>()); }),
              "Error: A multi-linear fuzzy set needs at least one point.");
    EXPECT_EQ(WhatOf([] {
                  FuzzySetMultiLinear({PointF(0, 0), PointF(5, 1), PointF(4, 0)});
              }),
              "Error: The points of a multi-linear fuzzy set must be in increasing x; point 2 "
              "is not.");
    EXPECT_EQ(WhatOf([] {
                  FuzzySetMultiLinear({PointF(NAN, 0), PointF(5, 1)});
              }),
              "Error: The points of a multi-linear fuzzy set must be in increasing x; point 1 "
              "is not.");
}
