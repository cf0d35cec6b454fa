#include "game/play/play_field.h"

#include <gtest/gtest.h>

namespace {

struct ScrollCase {
    float levelWidth;
    float airshipX;
    float fraction;
};

TEST(PlayFieldTest, ViewKeepsTheAirshipCentredBetweenTheEnds) {
    const ScrollCase cases[] = {
        {2400.0f, 400.0f, 0.0f},
        {2400.0f, 100.0f, 0.0f},
        {2400.0f, 1200.0f, 0.5f},
        {2400.0f, 2000.0f, 1.0f},
        {2400.0f, 2390.0f, 1.0f},
        {800.0f, 700.0f, 0.0f},
        // Narrower than the screen: drawn without scrolling.
        {500.0f, 450.0f, 0.0f},
        {0.0f, 300.0f, 0.0f},
    };
    for (const ScrollCase& c : cases) {
        EXPECT_FLOAT_EQ(ScrollFraction(c.levelWidth, c.airshipX), c.fraction)
            << c.levelWidth << " " << c.airshipX;
    }
}

TEST(PlayFieldTest, WorldShiftsByThePartBeyondTheScreen) {
    EXPECT_FLOAT_EQ(ScrollOffset(2400.0f, 0.5f), 800.0f);
    EXPECT_FLOAT_EQ(ScrollOffset(2400.0f, 1.0f), 1600.0f);
    EXPECT_FLOAT_EQ(ScrollOffset(500.0f, 1.0f), 0.0f);
}

}  // namespace
