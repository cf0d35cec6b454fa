#include "game/frontend/stats_bars.h"

#include <gtest/gtest.h>

TEST(StatsBarsTest, PixelsPerUnitFillTheFullLengthWithTheLargestCount) {
    struct Case {
        int32_t largest;
        float pixelsPerUnit;
    };
    // With no units (largest 0, or -1 when no type is known) every bar is
    // empty instead of infinitely long.
    const Case cases[] = {{1, 638.0f}, {2, 319.0f}, {11, 58.0f}, {0, 0.0f}, {-1, 0.0f}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(StatsPixelsPerUnit(c.largest), c.pixelsPerUnit) << c.largest;
    }
}

TEST(StatsBarsTest, BarsSplitIntoLostAndAliveAndNumbersCountUp) {
    struct Case {
        int32_t lost, got;
        float pixelsPerUnit, fraction;
        StatsBar want;
    };
    const Case cases[] = {
        // Some lost: light part then dark part, the whole as long as got.
        {1, 4, 10.0f, 1.0f, {10.0f, 30.0f, 1, 4}},
        // Nothing lost: only a dark bar.
        {0, 3, 10.0f, 1.0f, {0.0f, 30.0f, 0, 3}},
        // Everything lost: only a light bar.
        {5, 5, 2.0f, 1.0f, {10.0f, 0.0f, 5, 5}},
        // Halfway through the fill the numbers are cut down, not rounded.
        {3, 7, 5.0f, 0.5f, {15.0f, 20.0f, 1, 3}},
        // At the start everything is zero.
        {3, 7, 0.0f, 0.0f, {0.0f, 0.0f, 0, 0}},
    };
    for (const Case& c : cases) {
        const StatsBar bar = MakeStatsBar(c.lost, c.got, c.pixelsPerUnit, c.fraction);
        EXPECT_FLOAT_EQ(bar.lostLength, c.want.lostLength) << c.lost << "/" << c.got;
        EXPECT_FLOAT_EQ(bar.aliveLength, c.want.aliveLength) << c.lost << "/" << c.got;
        EXPECT_EQ(bar.lostShown, c.want.lostShown) << c.lost << "/" << c.got;
        EXPECT_EQ(bar.gotShown, c.want.gotShown) << c.lost << "/" << c.got;
    }
}
