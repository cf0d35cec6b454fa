#include "engine/ui/dialog_box.h"

#include <vector>

#include <gtest/gtest.h>

using namespace orvel;

namespace {

TEST(DialogBoxTest, FrameHalvesFollowTheBoxWidth) {
    const struct {
        int x;
        int width;
        float left;
        float right;
        float half;
    } cases[] = {
        {0, 800, 0, 400, 400},
        {0, 600, 0, 300, 300},
        {20, 301, 20, 170, 150},
    };
    for (const auto& c : cases) {
        const DialogLayout layout = LayoutDialog(c.x, 100, c.width, 80, 64, 64, 16, 1);
        EXPECT_EQ(layout.frameLeftX, c.left) << "width " << c.width;
        EXPECT_EQ(layout.frameRightX, c.right) << "width " << c.width;
        EXPECT_EQ(layout.frameHalfWidth, c.half) << "width " << c.width;
        EXPECT_EQ(layout.frameTop, 100.0f);
        EXPECT_EQ(layout.frameHeight, 80.0f);
    }
}

TEST(DialogBoxTest, PortraitAndLinesAreCentredVertically) {
    const struct {
        int height, portraitHeight, lineSpacing, lineCount;
        float portraitY;
        std::vector<float> lineY;
    } cases[] = {
        // One line: the text sits (height - line spacing) / 2 below the top.
        {80, 64, 16, 1, 192, {168}},
        {114, 64, 16, 4, 175, {175, 159, 143, 127}},
        {64, 64, 13, 1, 200, {175}},
    };
    for (const auto& c : cases) {
        const DialogLayout layout =
            LayoutDialog(10, 200, 800, c.height, 48, c.portraitHeight, c.lineSpacing, c.lineCount);
        EXPECT_EQ(layout.portraitX, 10.0f);
        EXPECT_EQ(layout.portraitY, c.portraitY) << "height " << c.height;
        EXPECT_EQ(layout.textX, 10.0f + 48 + 25);
        EXPECT_EQ(layout.lineY, c.lineY) << "height " << c.height;
    }
}

}  // namespace
