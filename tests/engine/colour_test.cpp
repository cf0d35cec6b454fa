#include "engine/core/colour.h"

#include <allegro.h>
#include <gtest/gtest.h>

using namespace orvel;

TEST(ColourTest, ComponentsComeBackAndMatchTheGraphicsLibrary) {
    const int cases[][4] = {
        {0, 0, 0, 0},   {255, 255, 255, 255}, {255, 0, 0, 0}, {0, 255, 0, 0},
        {0, 0, 255, 0}, {0, 0, 0, 255},       {1, 2, 3, 4},   {200, 100, 50, 128},
    };
    for (const auto& c : cases) {
        const int32_t colour = MakeColour(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(colour, makeacol32(c[0], c[1], c[2], c[3]));
        EXPECT_EQ(GetRed(colour), c[0]);
        EXPECT_EQ(GetGreen(colour), c[1]);
        EXPECT_EQ(GetBlue(colour), c[2]);
        EXPECT_EQ(GetAlpha(colour), c[3]);
    }
}

TEST(ColourTest, ComponentsStayInTheirOwnByte) {
    const int32_t colour = MakeColour(256 + 7, -1, 0, 0);
    EXPECT_EQ(GetRed(colour), 7);
    EXPECT_EQ(GetGreen(colour), 255);
    EXPECT_EQ(GetBlue(colour), 0);
    EXPECT_EQ(GetAlpha(colour), 0);
}
